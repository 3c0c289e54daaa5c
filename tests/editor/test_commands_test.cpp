// The tests of rows and the spatial indices on a table: the windows' lines, the question about invalid
// values, the category tests and the dispersion and association indices.

#include <gtest/gtest.h>

#include "support/editor_fixture.h"

namespace tav {
namespace {

struct RowTests : ::testing::Test, testing::EditorFixture {
    const std::vector<std::string>& shown() const { return ui.lastDialog().items; }
};

using Lines = std::vector<std::string>;

TEST_F(RowTests, AgainstZeroAndAssociation) {
    openLines({"F;d;;1;2;3;x", "F;e;;2;1;4;3", "A;s;;1;;;"});
    session.settings().Diversa.Decimals = 4;
    markHeaderRows({0});
    // "Zeilen auswerten" › test against 0: the sign test and the mean; "x" is left out after "Yes".
    ui.addToken("#000000001");
    ui.addToken("#10001");
    ui.addToken("Y");
    ASSERT_TRUE(execute(106020000, 2).ok());
    EXPECT_EQ(ui.lastDialog().caption, "Test gegen 0");
    EXPECT_EQ(shown(), (Lines{";Vorzeichentest approx.;Arithmetisches Mittel", "d;0.0416;2.0000"}));
    // Association of the two rows: the correlation and the number of pairs.
    markHeaderRows({1});
    ui.addToken("#00000001");
    ui.addToken("#000000101");
    ui.addToken("Y");
    ASSERT_TRUE(execute(106020000, 2).ok());
    EXPECT_EQ(shown(), (Lines{";Korrelationskoeffizient;Anzahl Wertepaare", "d - e;0.6547;3.0000"}));
    // "No" to the question about invalid values shows nothing.
    ui.addToken("#00000001");
    ui.addToken("#000000101");
    ui.addToken("N");
    ASSERT_TRUE(execute(106020000, 2).ok());
    EXPECT_EQ(ui.lastDialog().kind, DialogKind::YesNoCancel);
}

TEST_F(RowTests, CategoriesAgainstTheRest) {
    openLines({"T;Typ;;a;b;a;B", "F;h;;5;1;7;2", "A;s;;1;;3;"});
    session.settings().Diversa.Decimals = 2;
    markHeaderRows({1});
    ui.addToken("#1");         // against the rest
    ui.addToken("1");          // categories of "Typ"
    ui.addToken("#00001001");  // mean of the class, count of the class
    ASSERT_TRUE(execute(106080200, 2).ok());
    // "b" and "B" are one category.
    EXPECT_EQ(shown(), (Lines{"Typ;Werte;Arithmetisches Mittel der Klasse;Anzahl Werte der Klasse",
                              "Kategorien vs. Gesamt", "A;h;6.00;2.00", "B;h;1.50;2.00",
                              "Einzelne Kategorien", "A vs. B;h;6.00;2.00"}));
}

TEST_F(RowTests, SpatialIndices) {
    openLines({"F;n;;2;2;2;2", "A;s0;;1;1;;", "A;s1;;1;1;;", "A;s2;;;1;1;1"});
    session.buffer().mark(MarkSet::MroK, 0);
    for (int r : {0, 1, 2}) session.buffer().mark(MarkSet::MroA, r);
    ui.addToken("#1");
    ASSERT_TRUE(execute(106100000, 4).ok());
    EXPECT_EQ(shown().back(), "s2;0.33333333");
    EXPECT_EQ(shown()[5], "n;0");
    ui.addToken("#01");
    ASSERT_TRUE(execute(106100000, 4).ok());
    // Always together: index 1, chi-square (|4 − 0| − 2)² · 4 / 16.
    EXPECT_EQ(shown()[8], "s0 - s1;1;1;2;0;0;2;4");
}

}  // namespace
}  // namespace tav
namespace tav {
namespace {

TEST_F(RowTests, PairedRows) {
    openLines({"F;a;;1;2;5", "F;b;;3;2;1", "F;c;;2;4;6", "F;d;;1;1;1", "A;s;;1;;"});
    session.settings().Diversa.Decimals = 2;
    markHeaderRows({0, 1, 2, 3});
    // The pairs a–c and b–d; the differences of each pair against 0, described by their mean.
    ui.addToken("#00001");
    ui.addToken("1");  // the pair list as proposed
    ui.addToken("#00001");
    ASSERT_TRUE(execute(106030200, 2).ok());
    EXPECT_EQ(ui.lastDialog().caption, "Test Zeilen");
    EXPECT_EQ(shown(), (Lines{";;Arithmetisches Mittel", "1 a;3 c;-1.33", "2 b;4 d;1.00"}));
    // Paired with one chosen row: the sum of each pair as a new header row named after both rows.
    session.buffer().ClearM();
    markHeaderRows({0, 1});
    ui.addToken("#01");
    ui.addToken("4");   // row d
    ui.addToken("#1");  // the sum
    ASSERT_TRUE(execute(106030300, 2).ok());
    const TEditBuffer& b = session.buffer();
    EXPECT_EQ(b.GetRow('K', 4), "F;Summe a d;;2;3;6");
    EXPECT_EQ(b.GetRow('K', 5), "F;Summe b d;;4;3;2");
}

}  // namespace
}  // namespace tav
namespace tav {
namespace {

TEST_F(RowTests, PairedSamples) {
    // Two visits (Jahr) of the same plots (Fläche); the second visit of plot p3 is missing.
    openLines(
        {"T;Jahr;;2020;2020;2020;2021;2021", "T;Fläche;;p1;p2;p3;p2;p1", "F;h;;5;7;9;4;1", "A;s;;1;;;;"});
    session.settings().Diversa.Decimals = 2;
    markHeaderRows({2});
    ui.addToken("#01");     // paired test
    ui.addToken("1");       // samples by "Jahr"
    ui.addToken("2");       // element identifier "Fläche"
    ui.addToken("#00001");  // the mean of the differences
    ASSERT_TRUE(execute(106080200, 2).ok());
    EXPECT_EQ(shown(), (Lines{"Jahr;Werte;Arithmetisches Mittel", "2020 vs. 2021;h;3.50"}));
}

}  // namespace
}  // namespace tav
