// The margin commands: items written into the marked rows (separators refused), numbers, clearing,
// listing into a file; row types adjusted to the contents.

#include <gtest/gtest.h>

#include "editor/command_registry.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

struct MarginItems : ::testing::Test, testing::EditorFixture {};

TEST_F(MarginItems, ItemsNumbersClearingAndListing) {
    openLines({"T;Ort;;a", "T;Datum;;12.05.2020", "A;s0;;1", "A;s1;;", "A;s2;;2"});
    TEditBuffer& b = session.buffer();
    b.mark(MarkSet::MroA, 0);
    b.mark(MarkSet::MroA, 2);
    // A remark for the marked rows; a text with a separator is refused and changes nothing.
    ui.addToken("#1");
    ui.addToken("a,b");
    ASSERT_TRUE(execute(103040400, 3).ok());
    EXPECT_EQ(lastMessage(), "Komma (,) und Strichpunkt (;) sind in Randfeldern nicht zulässig.");
    EXPECT_EQ(b.ReadP('A', 'R', 0), "");
    ui.addToken("#1");
    ui.addToken("Trockenrasen");
    ASSERT_TRUE(execute(103040400, 3).ok());
    EXPECT_EQ(b.ReadP('A', 'R', 0), "Trockenrasen");
    EXPECT_EQ(b.ReadP('A', 'R', 2), "Trockenrasen");
    EXPECT_EQ(b.ReadP('A', 'R', 1), "");
    // Numbers in order for all rows when none is marked.
    b.ClearM();
    ui.addToken("#01");
    ASSERT_TRUE(execute(103040400, 3).ok());
    EXPECT_EQ(b.ReadP('A', 'N', 1), "    2");
    // Listing the remarks and numbers of the species rows into a file.
    ui.addToken("#00101010000");
    ui.addToken(dir.file("rand.txt"));
    ASSERT_TRUE(execute(103040200, 3).ok());
    EXPECT_EQ(testing::readBytes(dir.file("rand.txt")),
              "Inhalt der Randfelder;;\r\ns0;Trockenrasen;    1\r\ns1;    2\r\ns2;Trockenrasen;    3\r\n");
    // Clearing the species remarks.
    ui.addToken("#001");
    ASSERT_TRUE(execute(103040500, 3).ok());
    EXPECT_EQ(b.ReadP('A', 'R', 0), "");
    EXPECT_EQ(b.ReadP('A', 'N', 0), "    1");
}

TEST_F(MarginItems, RowTypesFollowTheContents) {
    openLines({"T;Fläche;;12;7", "T;Datum;;12.05.2020;", "T;Zeit;;08:30:00;", "T;Anteil;;0.5;2", "A;s;;1;"});
    ASSERT_TRUE(execute(103030000, 1).ok());
    const TEditBuffer& b = session.buffer();
    EXPECT_EQ(std::string({b.GetTyp('K', 0), b.GetTyp('K', 1), b.GetTyp('K', 2), b.GetTyp('K', 3)}), "IDZF");
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(b.GetTyp('K', 0), 'T');
}

}  // namespace
}  // namespace tav
