// The diagnostic species commands on small tables: the table window of "Kennartentabelle" with its
// measures and tests, the questions it asks, a one-releve table; the hierarchical table; and "Beste
// Kennarten selektieren" with its three ways of thinning (one undo step each).

#include <gtest/gtest.h>

#include <iostream>

#include "support/editor_fixture.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

constexpr std::int64_t kTable = 106130000, kHierarchy = 106140000, kBest = 101120900;

struct Diagnostic : ::testing::Test, testing::EditorFixture {
    Diagnostic() {
        session.settings().DeckEinst = 3;  // the covers are numbers
        session.applySettings();
    }
    void TearDown() override {
        if (HasFailure())
            for (const auto& m : ui.messages()) std::cerr << "message: " << m.second << "\n";
    }
    void tokens(std::initializer_list<const char*> list) {
        for (const char* t : list) ui.addToken(t);
    }
    // The lines of the last table window.
    Lines shown() const {
        const DialogRequest& r = ui.lastDialog();
        Lines out = r.items;
        for (int k = 0; k < r.lineCount && r.lineAt; ++k) out.push_back(r.lineAt(k));
        return out;
    }
    // Ten releves in the groups 1 (four) and 2 (six); s has the weights 2, 3, 4 in group 1 and 6 in
    // group 2, t is in every releve.
    void openWorkedCase() {
        openLines({"T;Nr;;1;2;3;4;5;6;7;8;9;10", "T;Gruppe;;1;1;1;1;2;2;2;2;2;2", "A;s;;2;3;4;;6;;;;;",
                   "A;t;;1;1;1;1;1;1;1;1;1;1", "K;Schicht;;x;;;;;;;;;"});
        session.settings().Diversa.Decimals = 6;
        markHeaderRows({1});
    }
};

TEST_F(Diagnostic, TableOfTheChosenMeasures) {
    openWorkedCase();
    // Phi, IndVal.PA, IndVal, the index with constancy inside and outside; presence for the tests.
    tokens({"#1111", "#000011", "#1"});
    ASSERT_TRUE(execute(kTable, 2).ok());
    const DialogRequest& r = ui.lastDialog();
    EXPECT_EQ(r.caption, "Kennartentabelle");
    EXPECT_EQ(r.tableKind, 23);
    EXPECT_FALSE(r.modal);
    const Lines lines = shown();
    ASSERT_EQ(lines.size(), 7u);  // four head lines, the titles, two species (the 'K' row is no species)
    EXPECT_EQ(lines[0], "Gruppe;1;1;1;1;1;1;2;2;2;2;2;2");
    EXPECT_EQ(lines[2], "Anzahl innen;4;4;4;4;4;4;6;6;6;6;6;6");
    EXPECT_EQ(lines[4],
              "Resultate;Phi-Koeffizient;IndVal.PA;IndVal;Tavolex-Kennartindex;Stet.innen;Stet.aussen;"
              "Phi-Koeffizient;IndVal.PA;IndVal;Tavolex-Kennartindex;Stet.innen;Stet.aussen");
    EXPECT_EQ(lines[5],
              "s;0.583333;0.613636;0.519231;0.381041;0.750000;0.166667;"
              "-0.583333;0.030303;0.051282;-0.381041;0.166667;0.750000");
    // A species in every releve: phi 0, the index 0.
    EXPECT_EQ(lines[6],
              "t;0.000000;0.500000;0.500000;0.000000;1.000000;1.000000;"
              "0.000000;0.500000;0.500000;0.000000;1.000000;1.000000");
    EXPECT_FALSE(session.buffer().CheckM());  // the marks are cleared
    EXPECT_FALSE(session.modified());
}

TEST_F(Diagnostic, TestsBetweenTheGroups) {
    openWorkedCase();
    // Phi and the binomial test of each group against the rest, on presence.
    tokens({"#1000001", "#1", "#1"});
    ASSERT_TRUE(execute(kTable, 2).ok());
    const Lines lines = shown();
    EXPECT_EQ(lines[4],
              "Resultate;Phi-Koeffizient;Binomialtest approx.;Phi-Koeffizient;Binomialtest approx.");
    EXPECT_EQ(lines[1], "Anzahl gesamt;10;10;10;10");
    // Each group a p-value, as the category tests give it.
    const std::vector<std::string> s = splitFields(lines[5]);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_FALSE(s[2].empty());
    EXPECT_FALSE(s[4].empty());
}

TEST_F(Diagnostic, QuestionsAndRefusals) {
    openWorkedCase();
    // Without marked header rows the command says what is missing.
    session.buffer().ClearM();
    EXPECT_FALSE(execute(kTable, 2).ok());
    EXPECT_EQ(ui.messages().back().first, MessageKind::Error);
    EXPECT_EQ(lastMessage(), session.catalogue().GetLangMsg("MsgMarkCat"));
    EXPECT_FALSE(execute(kHierarchy, 2).ok());
    EXPECT_EQ(lastMessage(), session.catalogue().GetLangMsg("MsgMarkCat"));
    // A cancelled dialog ends without a window.
    markHeaderRows({1});
    tokens({"#0001"});  // the frequencies dialog gets no answer
    ASSERT_TRUE(execute(kTable, 2).ok());
    EXPECT_NE(ui.lastDialog().kind, DialogKind::Grid);
    // An invalid cover asks first; No shows nothing.
    session.buffer().Put('A', "zz", 3, 0);
    markHeaderRows({1});
    tokens({"#1", "#1", "N"});
    ASSERT_TRUE(execute(kTable, 2).ok());
    EXPECT_EQ(ui.lastDialog().kind, DialogKind::YesNoCancel);
    EXPECT_NE(ui.lastDialog().caption.find("1 ungültige Deckungen werden ignoriert."), std::string::npos);
}

TEST_F(Diagnostic, OneReleveShowsNoUndefinedNumber) {
    openLines({"T;Gruppe;;1", "A;s;;3", "A;t;;"});
    markHeaderRows({0});
    tokens({"#1111111", "#111111111", "#11111", "#11111111111", "#11", "#1"});
    ASSERT_TRUE(execute(kTable, 2).ok());
    const Lines lines = shown();
    ASSERT_EQ(lines.size(), 7u);
    for (const std::string& l : lines) {
        EXPECT_EQ(l.find("nan"), std::string::npos) << l;
        EXPECT_EQ(l.find("inf"), std::string::npos) << l;
    }
    const std::vector<std::string> titles = splitFields(lines[4]), s = splitFields(lines[5]);
    ASSERT_EQ(titles.size(), s.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (titles[i] == "log (Stet.innen / Stet.aussen)" || titles[i] == "Tavolex-Kennartindex") {
            EXPECT_EQ(s[i], "NA") << titles[i];
        }
    }
}

TEST_F(Diagnostic, HierarchicalTable) {
    openLines({"T;Stufe 1;;1;1;1;2;2;2", "T;Stufe 2;;a;a;a;c;c;d", "A;s1;;1;1;;;;", "A;s2;;;;;;;1",
               "A;s0;;1;1;1;;;", "A;s4;;;;;1;1;", "A;s3;;;;;1;;1"});
    session.settings().Diversa.Decimals = 4;
    markHeaderRows({0, 1});
    // Phi assigns, the frequency inside fills the table, no test; presence.
    tokens({"#1", "#1", "#1", "#1"});
    ASSERT_TRUE(execute(kHierarchy, 2).ok());
    EXPECT_EQ(ui.lastDialog().caption, "Kennartentabelle");
    EXPECT_EQ(shown(), (Lines{"Gruppe;Art;Phi-Koeffizient;1.A;2.C;2.D", "1;s0;1.0000;3;0 ***;0 ***",
                              "1;s1;0.7071;2;0 ***;0 ***", "2;s3;0.7071;0 ***;1;1",
                              "2.C;s4;1.0000;0 ***;2;0 ***", "2.D;s2;1.0000;0 ***;0 ***;1"}));
    EXPECT_FALSE(session.buffer().CheckM());
    // IndVal with the Wilcoxon test of the assigned group.
    markHeaderRows({0, 1});
    tokens({"#001", "#01", "#001", "#1"});
    ASSERT_TRUE(execute(kHierarchy, 2).ok());
    const Lines lines = shown();
    EXPECT_EQ(lines[0], "Gruppe;Art;IndVal;Wilcoxon-Test approx.;1.A;2.C;2.D");
    EXPECT_EQ(splitFields(lines[1]).size(), 7u);
    // A permutation test asks for its draws and statistics: 1000 draws of the hits.
    markHeaderRows({0, 1});
    tokens({"#1", "#1", "#0001", "#100001", "#1"});
    ASSERT_TRUE(execute(kHierarchy, 2).ok());
    EXPECT_EQ(shown()[0], "Gruppe;Art;Phi-Koeffizient;Permutation 1000x (Treffer);1.A;2.C;2.D");
}

TEST_F(Diagnostic, BestDiagnosticSpeciesSelected) {
    struct Case {
        const char* what;
        const char* mode;
        const char* bounds;
        Lines species;
    };
    const Case cases[] = {
        // Per releve the two best: mid-ranks 4, 1, 2.5, 2.5 keep only the 5 in the first column; in the
        // second the text "r" counts as 0.
        {"best per releve", "#01", "2 0", {"A;a;;5;0.2", "A;b;;;", "A;c;;;0.5", "A;d;;;"}},
        {"best and worst per releve", "#01", "1 1", {"A;a;;5;", "A;b;;1;", "A;c;;;0.5", "A;d;;;-1"}},
        // Per species the best one: the higher of its two values.
        {"best per species", "#001", "1 0", {"A;a;;5;", "A;b;;1;", "A;c;;3;", "A;d;;3;"}},
        // Values strictly inside the range go; the text "r" counts as 0.
        {"range", "#1", "   -0.1    +0.1", {"A;a;;5;0.2", "A;b;;1;", "A;c;;3;0.5", "A;d;;3;-1"}},
        {"range without an upper bound", "#1", "0.3 x", {"A;a;;;0.2", "A;b;;;r", "A;c;;;", "A;d;;;-1"}},
    };
    for (const Case& c : cases) {
        openLines({"T;Nr;;1;2", "A;a;;5;0.2", "A;b;;1;r", "A;c;;3;0.5", "A;d;;3;-1"});
        tokens({c.mode, c.bounds});
        ASSERT_TRUE(execute(kBest, 4).ok()) << c.what;
        EXPECT_EQ(rowLines('A'), c.species) << c.what;
        EXPECT_TRUE(session.modified()) << c.what;
        ASSERT_TRUE(session.undoList().undo());
        EXPECT_EQ(rowLines('A')[1], "A;b;;1;r") << c.what;
    }
    // Counts that are no numbers are refused.
    tokens({"#01", "zwei 0"});
    EXPECT_FALSE(execute(kBest, 4).ok());
    EXPECT_EQ(lastMessage(), session.catalogue().GetMsg("InvalidNumber") + ": zwei 0");
}

}  // namespace
}  // namespace tav
