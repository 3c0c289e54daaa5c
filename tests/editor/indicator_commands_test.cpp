// The indicator commands over a small generated species database with a generated indicator list:
// means of the releves (with synonyms merged into their taxon and species without value left out),
// values with variance data, density maxima, shares, counts and ranks of categories and of composite
// values, values derived from header rows that the indicator import reads back, the choice of the list
// and the joining of indicator files on the species name.

#include <gtest/gtest.h>

#include <iostream>

#include "core/numbers.h"
#include "core/text.h"
#include "support/artdb_fixture.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;
using testing::SpeciesRecord;

constexpr std::int64_t kMeanValues = 108010000, kCategorical = 108020000, kComposite = 108030000;
constexpr std::int64_t kDerive = 108040000, kSelectList = 108110000, kMergeFiles = 109010600;
constexpr std::int64_t kScaleFile = 108120000, kSpeciesScores = 108060000, kHistogram = 108080000,
                       kAffinities = 108100000;

// Generated test data, not real indicator values: N a number, V its variance, K a code.
const std::string kIndicatorList =
    "Zeigerwerte\tgeneriert\r\nArt s 60 t r\tN s 8 f f\tV s 8 f f\tK s 8 f f\r\n"
    "Aa alpha\t2\t1\t5x3\r\nBb beta\t6\t1\t5\r\nCc gamma\t\t\t\r\nDd delta\t4\t1\t7x\r\n"
    "Hh aggregat\t8\t\t\r\n";

struct IndicatorCommands : ::testing::Test, testing::EditorFixture {
    IndicatorCommands() {
        session.settings().DeckEinst = 3;  // the covers are numbers
        session.settings().Pruef.OhneAutor = false;
        session.applySettings();
        session.settings().Diversa.Decimals = 4;
        testing::writeBytes(
            dir.file("liste.txt"),
            testing::speciesListText(
                "Artenliste\tgeneriert",
                {SpeciesRecord("1", "Aa", "alpha", "", "Testaceae", "101"),
                 SpeciesRecord("2", "Bb", "beta", "", "Testaceae", "102"),
                 SpeciesRecord("3", "Cc", "gamma", "", "Testaceae", "103"),
                 SpeciesRecord("4", "Dd", "delta", "", "Testaceae", "104"),
                 SpeciesRecord("5", "Bb", "synonymus", "", "Testaceae", "105").synonymOf("102").status("S"),
                 SpeciesRecord("6", "Ee", "aggregat", "", "Testaceae", "106").status("Z").members("101, 104"),
                 SpeciesRecord("7", "Gg", "minor", "", "Testaceae", "107"),
                 SpeciesRecord("8", "Hh", "aggregat", "", "Testaceae", "108").status("Z").members("107")}));
        EXPECT_TRUE(session.useSpeciesDb(dir.file("arten.adb"), true).ok());
        EXPECT_TRUE(session.importSpeciesList(dir.file("liste.txt"), U'\t', noProgress()).ok());
        importList(kIndicatorList, 1);
    }
    void importList(const std::string& text, int number) {
        testing::writeBytes(dir.file("zw.txt"), text);
        ui.addToken(std::to_string(number));
        EXPECT_TRUE(session.speciesDb()->ImportZw(dir.file("zw.txt"), U'\t', noProgress(), true).ok());
    }
    void TearDown() override {
        EXPECT_EQ(ui.tokensLeft(), 0u);
        if (HasFailure()) {
            for (const auto& m : ui.messages()) std::cerr << "message: " << m.second << "\n";
            for (const auto& c : ui.cancelledDialogs()) std::cerr << "cancelled: " << c << "\n";
        }
    }
    void tokens(std::initializer_list<const char*> list) {
        for (const char* t : list) ui.addToken(t);
    }
    Lines added(std::size_t before) const {
        const Lines all = rowLines('K');
        return Lines(all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end());
    }
};

// Releve a: Aa 1, Bb 3, Cc 5 (no value); b: only Cc; c: Aa 1 and the synonym of Bb 3 beside Bb 0.
const Lines kTable = {"T;Nr;;a;b;c", "A;Aa alpha;;1;;1", "A;Bb beta;;3;;", "A;Cc gamma;;5;2;",
                      "A;Bb synonymus;;;;3"};

TEST_F(IndicatorCommands, MeanAndWeightedMeanOfEachReleve) {
    openLines(kTable);
    const Lines speciesBefore = rowLines('A');
    // Mean and weighted mean of the first indicator.
    tokens({"#1", "1", "#101"});
    ASSERT_TRUE(execute(kMeanValues, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;N;;4;NA;4", "F;gew_N;;5;NA;5"}));
    EXPECT_EQ(rowLines('A'), speciesBefore);  // the species part is unchanged
    EXPECT_EQ(rowLines('K').front(), "T;Nr;;a;b;c");

    // The layers of a taxon count once, with their weights added: Aa 2 (weight 1 + 1), Bb 6 (weight 6).
    openLines({"T;Nr;;a", "A;Aa alpha;;1", "A;Aa alpha /B;;1", "A;Bb beta;;6"});
    tokens({"#1", "1", "#101"});
    ASSERT_TRUE(execute(kMeanValues, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;N;;4", "F;gew_N;;5"}));
}

TEST_F(IndicatorCommands, FillingMissingValues) {
    // Ee (no value) includes Aa (2) and Dd (4); Gg (no value) includes nothing and belongs to Hh (8); Cc
    // has neither.
    const Lines table = {"T;Nr;;a;b;c", "A;Ee aggregat;;1;;", "A;Gg minor;;;1;", "A;Cc gamma;;;;1"};
    struct Case {
        const char* fill;
        const char* row;
    };
    for (const Case& c :
         {Case{"#1", "F;gew_N;;NA;NA;NA"}, Case{"#01", "F;gew_N;;3;NA;NA"}, Case{"#001", "F;gew_N;;NA;8;NA"},
          Case{"#0001", "F;gew_N;;3;8;NA"}, Case{"#00001", "F;gew_N;;3;8;NA"}}) {
        openLines(table);
        tokens({"#01", c.fill, "1", "#001"});
        ASSERT_TRUE(execute(kMeanValues, 4).ok());
        EXPECT_EQ(added(1), (Lines{c.row})) << c.fill;
    }
}

TEST_F(IndicatorCommands, VarianceDataAndDensityMaxima) {
    openLines(kTable);
    // Interpolated with the preset options (minimal spread 0.1; variance 1 gives spread 1): Aa 2 and
    // Bb 6 with equal spreads give 4; releve b has no pair.
    tokens({"#000001", "1", "2", "OK"});
    ASSERT_TRUE(execute(kMeanValues, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;gew_N;;4;NA;4"}));
    // Ranges: two maxima of equal height in the order of their positions, each with its spread; the second
    // of a releve with one species is missing.
    openLines({"T;Nr;;a;b", "A;Aa alpha;;1;1", "A;Bb beta;;1;", "A;Bb synonymus;;1;"});
    tokens({"#001", "1", "OK", "#101", "2"});
    ASSERT_TRUE(execute(kMeanValues, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;N_1;;2;2", "F;N_s_1;;0.11;0.11", "F;N_2;;6;NA", "F;N_s_2;;0.11;NA"}));
}

TEST_F(IndicatorCommands, CategoricalSharesCountsAndRanks) {
    openLines(kTable);
    // Shares by cover of the codes of K; Cc has none and forms "NA".
    tokens({"#1", "3", "#10"});
    ASSERT_TRUE(execute(kCategorical, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;gew_K_Anteil_5;;0.3333;0;0.75", "F;gew_K_Anteil_5x3;;0.1111;0;0.25",
                               "F;gew_K_Anteil_NA;;0.5556;1;0"}));
    // Counts, leaving out nothing.
    openLines(kTable);
    tokens({"#001", "3"});
    ASSERT_TRUE(execute(kCategorical, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;Anzahl_K_5;;1;0;1", "F;Anzahl_K_5x3;;1;0;1", "F;Anzahl_K_NA;;1;1;0"}));
    // Ranks: two of three categories, without the species lacking a value; b has none.
    openLines(kTable);
    tokens({"#01", "3", "#01", "2", "0.001"});
    ASSERT_TRUE(execute(kCategorical, 4).ok());
    EXPECT_EQ(added(1), (Lines{"T;K_Rang_1;;5;;5", "F;K_Wert_1;;0.5;;0.5", "T;K_Rang_2;;5x3;;5x3",
                               "F;K_Wert_2;;0.5;;0.5"}));
}

TEST_F(IndicatorCommands, ClassesOfNumericValues) {
    openLines(kTable);
    tokens({"#00001", "1", "0 3 6"});
    ASSERT_TRUE(execute(kCategorical, 4).ok());
    EXPECT_EQ(added(1),
              (Lines{"F;Anzahl_N_Klasse_1;;1;0;1", "F;Anzahl_N_Klasse_2;;1;0;1", "F;Anzahl_N_NA;;1;1;0"}));
}

TEST_F(IndicatorCommands, CompositeValuesSplitIntoComponents) {
    openLines({"T;Nr;;a", "A;Aa alpha;;1", "A;Dd delta;;1"});
    // The preset option row: single characters, hierarchical, all levels: "5x3" counts for "5", "5x"
    // and "5x3", "7x" for "7" and "7x".
    tokens({"#001", "3", "OK"});
    ASSERT_TRUE(execute(kComposite, 4).ok());
    EXPECT_EQ(added(1), (Lines{"F;Anzahl_K_5;;1", "F;Anzahl_K_5x;;1", "F;Anzahl_K_5x3;;1", "F;Anzahl_K_7;;1",
                               "F;Anzahl_K_7x;;1"}));
}

TEST_F(IndicatorCommands, DerivedValuesImportAgain) {
    openLines({"T;Nr;;a;b;c", "F;pH;;4;6;x", "A;Aa alpha;;1;3;2", "A;Bb beta;;;1;", "A;Dd delta;;;;1"});
    markHeaderRows({1});
    tokens({"#001", "OK"});
    ASSERT_TRUE(execute(kDerive, 1).ok());
    const DialogRequest& w = ui.lastDialog();
    ASSERT_EQ(w.caption, "Zeigerwerte");
    // Aa: 4 (weight 1) and 6 (weight 3), the third releve's value is no number; Dd has none.
    EXPECT_EQ(w.items, (Lines{"Zeigerwerte;", "Species s 128 t r;gew_pH s 16", "Aa alpha;5.5", "Bb beta;6",
                              "Dd delta;NA"}));
    std::string file;
    for (const std::string& l : w.items) file += l + "\r\n";
    testing::writeBytes(dir.file("herleitung.txt"), file);
    ui.addToken("2");
    const Status imported =
        session.speciesDb()->ImportZw(dir.file("herleitung.txt"), U';', noProgress(), true);
    ASSERT_TRUE(imported.ok()) << ::testing::PrintToString(testing::messageTexts(imported));
    double x = 0;
    std::string text;
    EXPECT_TRUE(session.speciesDb()->GetZw(1, 1, x, text));
    EXPECT_DOUBLE_EQ(x, 5.5);
    EXPECT_FALSE(session.speciesDb()->GetZw(4, 1, x, text));

    // Without a marked header row nothing is derived.
    session.buffer().ClearM();
    ASSERT_TRUE(execute(kDerive, 1).ok());
    EXPECT_EQ(ui.messages().back().first, MessageKind::Error);
}

TEST_F(IndicatorCommands, ChoosingTheList) {
    importList("Zeigerwerte\tzweite\r\nArt s 60 t r\tQ s 8 f f\r\nAa alpha\t9\r\n", 2);
    EXPECT_EQ(session.speciesDb()->ZWi(), 2);
    tokens({"1"});
    ASSERT_TRUE(execute(kSelectList, 4).ok());
    EXPECT_EQ(session.speciesDb()->ZWi(), 1);
    EXPECT_EQ(session.speciesDb()->SQLzw().fields()[1].name, "N");
}

TEST_F(IndicatorCommands, JoiningFilesOnTheSpeciesName) {
    session.settings().Diversa.DelimEinst = ';';
    testing::writeBytes(dir.file("eins.txt"),
                        "Zeigerwerte;\r\nArt s 60 t r;N s 8\r\nAa alpha;2\r\nBb beta;6\r\n");
    testing::writeBytes(dir.file("zwei.txt"),
                        "Zeigerwerte;\r\nArt s 60 t r;R s 8\r\nBb beta;7\r\nCc gamma;1\r\n");
    testing::writeBytes(dir.file("keine.txt"), "Etwas anderes\r\n");
    const std::string files = dir.file("eins.txt") + " " + dir.file("keine.txt") + " " + dir.file("zwei.txt");
    ui.addToken(files.c_str());
    ui.addToken("ja");
    ASSERT_TRUE(execute(kMergeFiles, 4).ok());
    EXPECT_EQ(ui.lastDialog().items, (Lines{"Zeigerwerte;;", "Art s 60 t r;N s 8;R s 8", "Aa alpha;2;",
                                            "Bb beta;6;7", "Cc gamma;;1"}));
}

TEST_F(IndicatorCommands, SpeciesScoresInTheMargins) {
    openLines({"T;Nr;;a;b;c", "F;pH;;4;6;x", "F;N Wert;;1;;3", "A;Aa alpha;;1;3;2", "A;Bb beta;;;1;",
               "A;Dd delta;;;;1"});
    markHeaderRows({1, 2});
    ASSERT_TRUE(execute(kSpeciesScores, 3).ok());
    // Aa: pH of a (weight 1) and b (weight 3), c is no number; N of a (1) and c (2). Dd has no pH.
    EXPECT_EQ(rowLines('A'), (Lines{"A;Aa alpha;,S0 pH 5.5 NWert 2.3333;1;3;2",
                                    "A;Bb beta;,S0 pH 6 NWert NA;;1;", "A;Dd delta;,S0 pH NA NWert 3;;;1"}));
    session.undoList().undo();
    EXPECT_EQ(rowLines('A')[0], "A;Aa alpha;;1;3;2");
}

TEST_F(IndicatorCommands, QuantileHistogramOfTheOccurrences) {
    openLines({"T;Nr;;a;b;c;d", "F;pH;;4;6;x;5", "A;Aa alpha;;1;3;2;1", "A;Bb beta;;;1;;"});
    markHeaderRows({1});
    // The median and the occurrences per unit below and above it; Bb's single value gives bins without
    // width.
    tokens({"0.5", "1", "OK"});
    ASSERT_TRUE(execute(kHistogram, 1).ok());
    EXPECT_EQ(ui.lastDialog().caption, "Zeigerwerte");
    EXPECT_EQ(ui.lastDialog().items,
              (Lines{"Species s 128 t r;pH&Quantil0.5 s 16;pH&Anzahl_pro_1_1 s 16;pH&Anzahl_pro_1_2 s 16",
                     "Aa alpha;5;2;1", "Bb beta;6;NA;NA"}));
    tokens({"0 1", "1"});
    EXPECT_FALSE(execute(kHistogram, 1).ok());  // no bound between 0 and 1
}

TEST_F(IndicatorCommands, AffinitiesToCategoriesOfReleves) {
    openLines({"T;Nr;;a;b;c", "I;Typ;;x;x;y", "A;Aa alpha;;1;1;1", "A;Bb beta;;;;2", "A;Dd delta;;;;"});
    tokens({"2", "OK"});
    ASSERT_TRUE(execute(kAffinities, 4).ok());
    EXPECT_EQ(ui.lastDialog().items,
              (Lines{"Zeigerwerte;;", "Species s 128 t r;x_Affinität s 16;y_Affinität s 16", "Aa alpha;1;1",
                     "Bb beta;0;3", "Dd delta;NA;NA"}));
    // An invalid cover asks whether to go on; No shows nothing.
    openLines({"T;Nr;;a;b;c", "I;Typ;;x;x;y", "A;Aa alpha;;1;?;1"});
    tokens({"2", "nein"});
    ASSERT_TRUE(execute(kAffinities, 4).ok());
    EXPECT_EQ(ui.lastDialog().caption, "Ungültige Deckungen angetroffen. Weiter?");
}

TEST_F(IndicatorCommands, ScalingAFile) {
    session.settings().Diversa.DelimEinst = ';';
    // The option table keeps its presets in a script: every column is scaled by its own largest value;
    // texts that are no numbers stay.
    testing::writeBytes(dir.file("werte.txt"),
                        "Zeigerwerte;;;;\r\nArt s 60 t r;N s 8;S s 8;V s 8;T s 8\r\n"
                        "Aa alpha;2;1;4;x\r\nBb beta;8;NA;16;y\r\n");
    tokens({dir.file("werte.txt").c_str(), "#0001", "OK"});
    ASSERT_TRUE(execute(kScaleFile, 4).ok());
    const DialogRequest& shown = ui.lastDialog();
    EXPECT_EQ(shown.caption, "Zeigerwerte skaliert");
    EXPECT_EQ(shown.items, (Lines{"Zeigerwerte;;;; skaliert;;;;", "Art s 60 t r;N s 8;S s 8;V s 8;T s 8",
                                  "Aa alpha;0.25;1;0.25;x", "Bb beta;1;NA;1;y"}));

    // A file without the title is refused.
    testing::writeBytes(dir.file("leer.txt"), "Etwas anderes\r\n");
    tokens({dir.file("leer.txt").c_str()});
    EXPECT_FALSE(execute(kScaleFile, 4).ok());
    EXPECT_EQ(lastMessage(), "Die Datei " + dir.file("leer.txt") + " enthält keine Zeigerwerte.");
}

}  // namespace
}  // namespace tav
