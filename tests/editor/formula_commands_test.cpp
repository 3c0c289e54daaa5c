// "Felder auswerten, transformieren" on the table: which cells a formula reaches, the refusals before
// it runs, the count of NAs, one undo step, and a formula answered anew after a compile error.

#include <gtest/gtest.h>

#include "support/editor_fixture.h"

namespace tav {
namespace {

constexpr std::int64_t kEvaluate = 106010000;

struct FormulaCommand : ::testing::Test, testing::EditorFixture {};

using Lines = std::vector<std::string>;

TEST_F(FormulaCommand, SpeciesCellsOfTheMarkedReleves) {
    openLines({"I;Nr;;1;2;3", "A;s0;;1;;3", "K;Kommentar;;x;y;z", "A;s1;;+;4.50;2"});
    session.buffer().mark(MarkSet::McoR, 1);
    session.buffer().mark(MarkSet::McoR, 2);
    // Braun-Blanquet codes are no numbers: the formula runs after "Yes".
    ui.addToken("Y");
    ui.addToken("x*2+1");
    ASSERT_TRUE(execute(kEvaluate, 4).ok());
    // Only the marked releves; the comment row is named once; the cover code "+" is no number.
    EXPECT_EQ(rowLines('A'), (Lines{"A;s0;;1;1;7", "K;Kommentar;;x;y;z", "A;s1;;+;10;5"}));
    EXPECT_EQ(ui.messages().at(0).second, "Nicht-numerische Felder. Ich kann nichts rechnen.\rKommentar");
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(rowLines('A'), (Lines{"A;s0;;1;;3", "K;Kommentar;;x;y;z", "A;s1;;+;4.50;2"}));
}

TEST_F(FormulaCommand, HeaderRowsAfterARefusedFormula) {
    openLines({"F;Wert;;2;abc;;0", "T;Ort;;a;b;c;d", "A;s;;1;;;"});
    // The header part needs a marked row.
    EXPECT_FALSE(execute(kEvaluate, 2).ok());
    EXPECT_EQ(lastMessage(), "Keine Zeilen markiert.\rBitte zuerst die gewünschten Zeilen markieren.");
    session.buffer().mark(MarkSet::MroK, 0);
    // A formula that does not compile is asked again; the second answer is used.
    ui.addToken("ln(x");
    ui.addToken("ln(x)");
    ASSERT_TRUE(execute(kEvaluate, 2).ok());
    EXPECT_EQ(rowLines('K').front(), "F;Wert;;0.69314718;NA;NA;NA");
    EXPECT_EQ(lastMessage(), "3 NAs erzeugt.");
}

}  // namespace
}  // namespace tav
