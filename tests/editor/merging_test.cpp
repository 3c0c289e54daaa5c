// Merging rows and releves: groups into their first item, the formats, the question about invalid covers
// (answered before anything changes), one undo step.

#include <gtest/gtest.h>

#include "editor/command_registry.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

struct Merging : ::testing::Test, testing::EditorFixture {};

using Lines = std::vector<std::string>;

TEST_F(Merging, MarkedRowsTogetherOrPairwise) {
    openLines({"T;Ort;;a;b;c", "A;r1;;1;;", "A;r2;;;2;", "A;r3;;3;;4", "A;r4;;;;5"});
    // Pairwise: the first half with the second, 1+3 and 2+4; the first value stays, empty ones are filled.
    for (int r = 0; r < 4; ++r) session.buffer().mark(MarkSet::MroA, r);
    // A locked grid asks first; "No" leaves the table alone.
    session.gridLocked[3] = true;
    ui.addToken("N");
    ASSERT_TRUE(execute(103080200, 3).ok());
    EXPECT_EQ(rowLines('A').size(), 4u);
    ui.addToken("Y");
    ASSERT_TRUE(execute(103080200, 3).ok());
    session.gridLocked[3] = false;
    EXPECT_EQ(rowLines('A'), (Lines{"A;r1;;1;;4", "A;r2;;;2;5"}));
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(rowLines('A').size(), 4u);
    // A merge needs two rows.
    session.buffer().mark(MarkSet::MroA, 1);
    EXPECT_FALSE(execute(103080100, 3).ok());
    EXPECT_EQ(lastMessage(), "Bitte zuerst die Zeilen markieren, die verschmolzen werden sollen.");
    session.buffer().mark(MarkSet::MroA, 3);
    ASSERT_TRUE(execute(103080100, 3).ok());
    EXPECT_EQ(rowLines('A'), (Lines{"A;r1;;1;;", "A;r2;;;2;5", "A;r3;;3;;4"}));
}

TEST_F(Merging, WithADelimiter) {
    openLines({"T;Ort;;a;b", "T;Name;;x;", "T;Zusatz;;y;z", "A;s;;1;"});
    session.buffer().mark(MarkSet::MroK, 1);
    session.buffer().mark(MarkSet::MroK, 2);
    // ";" would split the fields: Yes puts "," in its place.
    ui.addToken(" ; ");
    ui.addToken("Y");
    ASSERT_TRUE(execute(103080500, 1).ok());
    EXPECT_EQ(rowLines('K'), (Lines{"T;Ort;;a;b", "T;Name , Zusatz;;x , y;z"}));
}

TEST_F(Merging, FormattedFieldsSideBySide) {
    openLines({"T;Gebiet;;A;B", "I;Nr;;1;12", "A;s;;1;"});
    session.buffer().mark(MarkSet::MroK, 0);
    session.buffer().mark(MarkSet::MroK, 1);
    ui.addToken("ok");  // the format table as proposed: ten characters, left-aligned, filled with "*"
    ASSERT_TRUE(execute(103080600, 1).ok());
    EXPECT_EQ(rowLines('K'), (Lines{"T;Gebiet;;A*********1*********;B*********12********"}));
}

TEST_F(Merging, DoubleRowNames) {
    openLines({"T;Ort;;a;b", "A;Poa;;1;", "A;Carex;;;2", "A;Poa;;;3", "K;Poa;;x;"});
    ASSERT_TRUE(execute(103080300, 3).ok());  // the comment row of the same name is another row type
    EXPECT_EQ(rowLines('A'), (Lines{"A;Poa;;1;3", "A;Carex;;;2", "K;Poa;;x;"}));
    EXPECT_EQ(lastMessage(), "1 doppelte Zeile(n) verschmolzen.");
    ASSERT_TRUE(execute(103080400, 3).ok());  // type and margin ignored
    EXPECT_EQ(rowLines('A'), (Lines{"A;Poa;;1;3", "A;Carex;;;2"}));
}

TEST_F(Merging, SynonymsOfTheSpeciesDatabase) {
    ASSERT_TRUE(session.useSpeciesDb(std::string(TAVOLEX_SAMPLES) + "/arten.adb", false).ok());
    openLines({"T;Ort;;a;b;c", "A;Elymus repens;;1;;", "A;Agropyron repens;;;2;", "A;Unbekannt;;1;;",
               "A;Unbekannt;;;1;", "A;Triticum repens /K;;;;3"});
    // All additions ignored: three names of one taxon; names the database does not know are nobody's
    // synonyms, even when they are equal.
    ui.addToken("#1");
    ASSERT_TRUE(execute(103060100, 3).ok());
    EXPECT_EQ(session.buffer().MroA().elements(), (std::vector<int>{0, 1, 4}));
    EXPECT_EQ(lastMessage(), "3 synonyme Zeile(n) gefunden.");
    ui.addToken("#1");
    ASSERT_TRUE(execute(103080800, 3).ok());
    EXPECT_EQ(rowLines('A'), (Lines{"A;Elymus repens;;1;2;3", "A;Unbekannt;;1;;", "A;Unbekannt;;;1;"}));
    // With the layer addition kept, the /K row is another group.
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    ui.addToken("#0");
    ASSERT_TRUE(execute(103060100, 3).ok());
    EXPECT_EQ(session.buffer().MroA().elements(), (std::vector<int>{0, 1}));
}

TEST_F(Merging, ReleveFormatsAndTheQuestionBeforeAnyChange) {
    openLines({"I;Fläche;;10;20;5", "T;Ort;;A;;B", "A;s1;;1;3;", "A;s2;;xx;;r"});
    const Lines before = rowLines('A');
    for (int c = 0; c < 3; ++c) session.buffer().mark(MarkSet::McoR, c);
    // Header values summed, the largest cover code; one invalid cover: No leaves everything as it was.
    ui.addToken("4;2");
    ui.addToken("N");
    ASSERT_TRUE(execute(104040100, 4).ok());
    EXPECT_EQ(session.buffer().GetColCount(), 3);
    EXPECT_EQ(rowLines('A'), before);
    ui.addToken("4;2");
    ui.addToken("Y");
    ASSERT_TRUE(execute(104040100, 4).ok());
    ASSERT_EQ(session.buffer().GetColCount(), 1);
    EXPECT_EQ(session.buffer().GetRow('K', 0), "I;Fläche;;35");
    EXPECT_EQ(session.buffer().GetRow('K', 1), "T;Ort;;A");  // the first value
    EXPECT_EQ(session.buffer().GetRow('A', 0), "A;s1;;3");
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(rowLines('A'), before);
    // Equal releves merge into the first of them.
    openLines({"T;Ort;;A;B;A", "A;s1;;1;2;1"});
    ui.addToken("0;0");
    ASSERT_TRUE(execute(104040200, 4).ok());
    EXPECT_EQ(rowLines('A'), (Lines{"A;s1;;1;2"}));
}

}  // namespace
}  // namespace tav
