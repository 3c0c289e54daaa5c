// The evaluations of "Berechnen" on a table: parameters of each releve over the marked rows as new
// header rows (one undo step), dates, the chain sum, normalising, transformations, running sums and the
// table of statistics per category.

#include <gtest/gtest.h>

#include "support/editor_fixture.h"

namespace tav {
namespace {

constexpr std::int64_t kColumns = 106030100;
constexpr std::int64_t kRows = 106020000;

struct Statistics : ::testing::Test, testing::EditorFixture {};

using Lines = std::vector<std::string>;

TEST_F(Statistics, ParametersOfEachReleve) {
    openLines({"F;a;;1;5", "F;b;;2;", "F;c;;3;x", "F;d;;4;7", "A;s;;1;1"});
    markHeaderRows({0, 1, 2, 3});
    ui.addToken("#1");                          // statistical parameters
    ui.addToken("#1001000000000000000100000");  // mean, sd; median … count from the right group
    ui.addToken("#000000");                     // no basic operation
    ASSERT_TRUE(execute(kColumns, 2).ok());
    const Lines shown = rowLines('K');
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[4], "F;Arithmetisches Mittel;;2.5;6");
    EXPECT_EQ(shown[5], "F;Standardabweichung;;1.29099445;1.41421356");
    EXPECT_EQ(shown[6], "F;Anzahl Werte;;4;2");
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(rowLines('K').size(), 4u);
    // Basic operations in the order of the marked rows.
    ui.addToken("#01");
    ui.addToken("#001011");  // difference, product, quotient
    ASSERT_TRUE(execute(kColumns, 2).ok());
    EXPECT_EQ(rowLines('K').at(4), "F;Differenz a - b - c ...;;-8;-2");
    EXPECT_EQ(rowLines('K').at(5), "F;Produkt;;24;35");
    EXPECT_EQ(rowLines('K').at(6), "F;Quotient a / b / c ...;;0.04166667;0.71428571");
    // Too few rows.
    session.buffer().ClearM();
    markHeaderRows({0});
    ui.addToken("#1");
    EXPECT_FALSE(execute(kColumns, 2).ok());
    EXPECT_EQ(lastMessage(), "Zu wenige Zeilen markiert.\rBitte mindestens zwei Zeilen markieren.");
}

TEST_F(Statistics, DatesChainSumAndNormalising) {
    openLines({"D;Von;;01.06.2020;x", "D;Bis;;11.06.2020;02.06.2020", "F;p;;2;6", "F;q;;3;0", "A;s;;1;"});
    markHeaderRows({1, 0});
    ui.addToken("#001");
    ui.addToken("#01");  // difference
    ASSERT_TRUE(execute(kColumns, 2).ok());
    EXPECT_EQ(rowLines('K').back(), "I;Differenz (Tage);;-10;NA");
    session.buffer().ClearM();
    markHeaderRows({2, 3});
    ui.addToken("#0001");
    ui.addToken("+-");
    ASSERT_TRUE(execute(kColumns, 2).ok());
    EXPECT_EQ(rowLines('K').back(), "F;Kettenrechnung;;-1;6");
    session.buffer().ClearM();
    markHeaderRows({2, 3});
    ui.addToken("#00001");
    ui.addToken("#01");  // proportions of each releve's sum
    ASSERT_TRUE(execute(kColumns, 2).ok());
    const Lines shown = rowLines('K');
    EXPECT_EQ(shown[shown.size() - 2], "F;Anteil p;;0.4;1");
    EXPECT_EQ(shown.back(), "F;Anteil q;;0.6;0");
}

TEST_F(Statistics, TransformationsRunningSumsAndCategories) {
    openLines({"T;Typ;;a;b;a;b", "F;h;;1;4;4;x", "F;k;;5;5;5;5", "A;s;;1;;3;"});
    markHeaderRows({1, 2});
    ui.addToken("#00001");
    ui.addToken("#0000001");  // uniform transformation of the ranks
    ASSERT_TRUE(execute(kRows, 2).ok());
    const Lines shown = rowLines('K');
    EXPECT_EQ(shown[3], "F;h uniformtransformiert;;0;1;1;NA");
    EXPECT_EQ(shown[4], "F;k uniformtransformiert;;0;0;0;0");  // a constant row gives 0, not 0/0
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    ui.addToken("#001");
    ASSERT_TRUE(execute(kRows, 2).ok());
    EXPECT_EQ(rowLines('K').at(3), "F;h kumuliert;;1;5;9;9");
    EXPECT_EQ(lastMessage(), "1 nicht lesbare Werte übersprungen.");
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    // Mean and count of each marked row per value of "Typ".
    session.buffer().ClearM();
    markHeaderRows({1});
    ui.addToken("#1");
    ui.addToken("1");
    ui.addToken("#1000000000000000000100000");
    ui.addToken("#000000");
    ASSERT_TRUE(execute(kRows, 2).ok());
    EXPECT_EQ(ui.lastDialog().caption, "Auswertung Kategorien");
    EXPECT_EQ(ui.lastDialog().items, (Lines{"Zeile;Typ;Arithmetisches Mittel;Anzahl Werte",
                                            "h;a;2.50000000;2.00000000", "h;b;4.00000000;1.00000000"}));
}

}  // namespace
}  // namespace tav
namespace tav {
namespace {

TEST_F(Statistics, Classing) {
    openLines({"F;w;;0.25;0.2;-0.25;x", "F;g;;-0.2;0.2;0;0.05", "A;s;;1;;;"});
    markHeaderRows({0});
    // By width 0.1: each bound computed from its index, so 0.2 stays in (0.1, 0.2].
    ui.addToken("#0001");
    ui.addToken("0;0.1;10;10;10;;0;0");
    ASSERT_TRUE(execute(106020000, 2).ok());
    EXPECT_EQ(rowLines('K').at(2), "F;Klassenmitte w;;0.25;0.15;-0.25;NA");
    EXPECT_EQ(rowLines('K').at(3), "T;Klasse w;;0.2 - 0.3;0.1 - 0.2;-0.3 - -0.2;NA");
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    // By limits: the last limit belongs to no class; 0 as a class of its own.
    session.buffer().ClearM();
    markHeaderRows({1});
    ui.addToken("#0001");
    ui.addToken("4;;;;;-0.2  -0.1  0  0.1  0.2;1;0");
    ASSERT_TRUE(execute(106020000, 2).ok());
    EXPECT_EQ(rowLines('K').at(3), "T;Klasse g;;-0.2 - -0.1;NA;0;0 - 0.1");
}

}  // namespace
}  // namespace tav
namespace tav {
namespace {

TEST_F(Statistics, MoreCategoryFunctions) {
    openLines({"T;Typ;;a;b;a;b", "F;h;;1;4;3;x", "A;s;;1;;;"});
    markHeaderRows({1});
    ui.addToken("#00001");  // ranks within the categories
    ui.addToken("1");
    ASSERT_TRUE(execute(106080300, 2).ok());
    EXPECT_EQ(rowLines('K').back(), "F;Rang in Kategorie h;;1;1;2;NA");
    ui.addToken("#0001");  // deviation from the category mean
    ui.addToken("1");
    ASSERT_TRUE(execute(106080300, 2).ok());
    EXPECT_EQ(rowLines('K').back(), "F;Abweichung vom Kategorienmittel h;;-1;0;1;NA");
    ui.addToken("#01");  // the category's number
    ui.addToken("1");
    ASSERT_TRUE(execute(106080300, 2).ok());
    EXPECT_EQ(rowLines('K').back(), "I;Kategorienschlüssel;;1;2;1;2");
}

}  // namespace
}  // namespace tav
