// The diversity commands on small tables of numeric covers: the index rows, the turnover rows of the
// releves and of each species row (with the question before many rows), the window of alpha, beta and
// gamma diversity for the whole table, per category and per group, and a table of one releve.

#include <gtest/gtest.h>

#include <iostream>

#include "core/numbers.h"
#include "core/text.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

constexpr std::int64_t kIndices = 107040100, kAlphaBetaGamma = 107040200;
constexpr std::int64_t kTurnoverReleves = 107040300, kTurnoverEachRow = 107040400;

struct DiversityCommands : ::testing::Test, testing::EditorFixture {
    DiversityCommands() {
        session.settings().DeckEinst = 3;  // the covers are numbers
        session.applySettings();
        session.settings().Diversa.Decimals = 6;
    }
    void TearDown() override {
        if (HasFailure()) {
            for (const auto& m : ui.messages()) std::cerr << "message: " << m.second << "\n";
            for (const auto& c : ui.cancelledDialogs()) std::cerr << "cancelled: " << c << "\n";
        }
    }
    void tokens(std::initializer_list<const char*> list) {
        for (const char* t : list) ui.addToken(t);
    }
    // The header rows the command added behind the first `before` ones.
    Lines added(std::size_t before) const {
        const Lines all = rowLines('K');
        return Lines(all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end());
    }
    Lines window() const {
        const DialogRequest& r = ui.lastDialog();
        EXPECT_EQ(r.caption, "Diversität der Aufnahmen");
        return r.items;
    }
};

const std::string kTitle =
    ";Alpha-Diversität;Gamma-Diversität;mittl. Anzahl Unterschiedliche;mittl. Anteil "
    "Unterschiedliche;Whittaker "
    "Beta (Gamma / Alpha)";

TEST_F(DiversityCommands, IndicesOfEachReleve) {
    // a: weights 1 … 4; b: nothing (an invalid cover counts as absent); c: one species of weight 4; the
    // row of type 'K' in the species part is no species.
    openLines({"T;Nr;;a;b;c", "A;s1;;1;;", "A;s2;;2;x;", "A;s3;;3;;4", "A;s4;;4;;", "K;layer;;9;9;9"});
    tokens({"#11111"});
    ASSERT_TRUE(execute(kIndices, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;Shannon Index;;1.279854;0;0", "F;Shannon Equitability;;0.92322;0;0",
                               "F;McIntosh Index;;5.477226;0;4", "F;McIntosh Dominance;;0.661445;0;0",
                               "F;McIntosh Eveness;;0.904555;0;0"}));
    EXPECT_EQ(lastMessage().rfind("1 mal eine ungültige Deckung", 0), 0u) << lastMessage();

    // Chosen flags only, in flag order; marked species rows are the rows considered, and the marks go.
    session.buffer().mark(MarkSet::MroA, 0);
    session.buffer().mark(MarkSet::MroA, 1);
    tokens({"#10001"});
    ASSERT_TRUE(execute(kIndices, 4).ok());
    EXPECT_EQ(added(6), (Lines{"F;Shannon Index;;0.636514;0;0", "F;McIntosh Eveness;;0.869409;0;0"}));
    EXPECT_TRUE(session.buffer().MroA().empty());

    // The command is one undo step; a cancelled dialog changes nothing.
    ASSERT_TRUE(session.undoList().undo());
    EXPECT_EQ(rowLines('K').size(), 6u);
    ASSERT_TRUE(execute(kIndices, 4).ok());
    EXPECT_EQ(rowLines('K').size(), 6u);
}

TEST_F(DiversityCommands, TurnoverOfTheReleves) {
    openLines({"T;Nr;;a;b;c", "A;A;;1;;", "A;B;;1;1;", "A;C;;;1;"});
    tokens({"#111111111"});
    ASSERT_TRUE(execute(kTurnoverReleves, 4).ok());
    // a → b: a = 1, b = 1, c = 1; b → c: both species gone.
    EXPECT_EQ(added(1),
              (Lines{"F;neu aufgetreten;;NA;1;0", "F;verschwunden;;NA;1;2", "F;Gemeinsame;;NA;1;0",
                     "F;Unterschiedliche;;NA;2;2", "F;Gesamtzahl;;NA;3;2",
                     "F;Anteil neu Aufgetretene;;NA;0.333333;0", "F;Anteil Verschwundene;;NA;0.333333;1",
                     "F;Anteil Gemeinsame;;NA;0.333333;0", "F;Turnover;;NA;0.5;1"}));
}

TEST_F(DiversityCommands, TurnoverForEachSpeciesRow) {
    openLines({"T;Nr;;a;b;c", "A;A;;1;;", "A;B;;1;1;", "A;C;;;1;"});
    tokens({"#000000011"});
    ASSERT_TRUE(execute(kTurnoverEachRow, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;A Anteil Gemeinsame;;NA;0;NA", "F;A Turnover;;NA;1;NA",
                               "F;B Anteil Gemeinsame;;NA;1;0", "F;B Turnover;;NA;0;1",
                               "F;C Anteil Gemeinsame;;NA;0;0", "F;C Turnover;;NA;1;1"}));

    // 12 species rows and all nine quantities would add 108 rows: the user is asked first.
    Lines many = {"T;Nr;;a;b"};
    for (int r = 0; r < 12; ++r) many.push_back("A;s" + std::to_string(r) + ";;1;");
    openLines(many);
    tokens({"#111111111", "N"});
    ASSERT_TRUE(execute(kTurnoverEachRow, 4).ok());
    EXPECT_EQ(ui.lastDialog().kind, DialogKind::YesNoCancel);
    EXPECT_NE(ui.lastDialog().caption.find("108"), std::string::npos) << ui.lastDialog().caption;
    EXPECT_EQ(rowLines('K').size(), 1u);
    // Esc while the rows are written takes them all back.
    Progress escaped;
    escaped.requestAbort();
    session.setProgress(&escaped);
    tokens({"#111111111", "Y"});
    EXPECT_FALSE(execute(kTurnoverEachRow, 4).ok());
    session.setProgress(nullptr);
    EXPECT_EQ(lastMessage(), "Bearbeitung abgebrochen");
    EXPECT_EQ(rowLines('K').size(), 1u);
    EXPECT_FALSE(session.undoList().canUndo());
    tokens({"#111111111", "Y"});
    ASSERT_TRUE(execute(kTurnoverEachRow, 4).ok());
    EXPECT_EQ(rowLines('K').size(), 109u);
    EXPECT_EQ(rowLines('K')[108], "F;s11 Turnover;;NA;1");
}

TEST_F(DiversityCommands, AlphaBetaGammaWholeTablePerCategoryAndPerGroup) {
    // a {A, B}, b {B, C}, c {C, D}, d {A}; categories of "Typ": x = {a, c}, y = {b, d} ("X" and "x" are
    // one category).
    openLines({"T;Nr;;a;b;c;d", "T;Typ;;x;y;X;y", "A;A;;1;;;1", "A;B;;1;1;;", "A;C;;;1;1;", "A;D;;;;1;"});
    session.settings().Diversa.Decimals = 4;
    const Lines before = rowLines('K');
    tokens({"#1"});
    ASSERT_TRUE(execute(kAlphaBetaGamma, 4).ok());
    // d over the six pairs: 2, 4, 1, 2, 3, 3; turnover 1/2, 1, 1/3, 1/2, 1, 1.
    EXPECT_EQ(window(), (Lines{kTitle, "Aufnahmen;1.7500;4.0000;2.5000;0.7222;2.2857"}));

    tokens({"#01", "2"});
    ASSERT_TRUE(execute(kAlphaBetaGamma, 4).ok());
    EXPECT_EQ(window(), (Lines{kTitle, "X;2.0000;4.0000;NA;NA;2.0000", "Y;1.5000;3.0000;NA;NA;2.0000"}));

    // Groups: x = {A, B, C, D}, y = {A, B, C}: one pair, so both means are missing.
    tokens({"#001", "2"});
    ASSERT_TRUE(execute(kAlphaBetaGamma, 4).ok());
    EXPECT_EQ(window(), (Lines{kTitle, ";3.5000;4.0000;NA;NA;1.1429", "", "Gruppen:;X;Y"}));
    EXPECT_EQ(rowLines('K'), before) << "the table stays as it was";
}

TEST_F(DiversityCommands, OneReleveShowsNoNaNOrInfinity) {
    openLines({"T;Nr;;a", "A;A;;3", "A;B;;"});
    tokens({"#11111"});
    ASSERT_TRUE(execute(kIndices, 4).ok());
    tokens({"#111111111"});
    ASSERT_TRUE(execute(kTurnoverReleves, 4).ok());
    tokens({"#111111111"});
    ASSERT_TRUE(execute(kTurnoverEachRow, 4).ok());
    // Every cell is "NA" or a number (the number reader takes neither "nan" nor "inf").
    for (const std::string& line : added(1)) {
        const std::string cell = splitFields(line).at(3);
        EXPECT_TRUE(cell == "NA" || parseNumber(cell)) << line;
    }
    EXPECT_EQ(rowLines('K')[2], "F;Shannon Equitability;;0");
    EXPECT_EQ(rowLines('K')[23], "F;A Turnover;;NA");
    tokens({"#1"});
    ASSERT_TRUE(execute(kAlphaBetaGamma, 4).ok());
    EXPECT_EQ(window()[1], "Aufnahmen;1.000000;1.000000;NA;NA;1.000000");
}

}  // namespace
}  // namespace tav
