// Sorting rows and columns: typed keys, only the marked items permuted, the rank row, value sorting,
// one undo step, and the commands answered from statements.

#include "editor/sorting.h"

#include <gtest/gtest.h>

#include "editor/command_registry.h"
#include "support/editor_fixture.h"
#include "table/cell_stats.h"

namespace tav {
namespace {

struct Sorting : ::testing::Test, testing::EditorFixture {
    std::vector<std::string> names(char part) {
        std::vector<std::string> out;
        for (int r = 0; r < session.buffer().GetRowCount(part); ++r)
            out.emplace_back(session.buffer().GetZl(part, r));
        return out;
    }
    std::vector<std::string> row(char part, int r) {
        std::vector<std::string> out;
        for (int c = 0; c < session.buffer().GetColCount(); ++c)
            out.emplace_back(session.buffer().Get(part, c, r));
        return out;
    }
    Status sort(char part, char mode, int criterion, int keyRow = 0) {
        SortRequest r;
        r.part = part;
        r.mode = mode;
        r.criterion = criterion;
        r.keyRow = keyRow;
        return sortTable(session, r);
    }
};

using Names = std::vector<std::string>;

TEST_F(Sorting, OnlyMarkedRowsMoveAmongTheirPlaces) {
    // Frequencies: s2 1, s5 3, s7 2; the others stay where they are.
    openLines({"T;Ort;;a;b;c", "A;s0;;1;1;1", "A;s1;;;;", "A;s2;;1;;", "A;s3;;;;", "A;s4;;1;1;",
               "A;s5;;1;1;1", "A;s6;;;;", "A;s7;;;1;1"});
    for (int r : {2, 5, 7}) session.buffer().mark(MarkSet::MroA, r);
    ASSERT_TRUE(sort('A', 'R', 45).ok());
    EXPECT_EQ(names('A'), (Names{"s0", "s1", "s5", "s3", "s4", "s7", "s6", "s2"}));
    EXPECT_TRUE(session.buffer().MroA().empty());
    // With nothing marked, criterion 1 reverses the part; equal keys keep their order.
    ASSERT_TRUE(sort('A', 'R', 1).ok());
    EXPECT_EQ(names('A'), (Names{"s2", "s6", "s7", "s4", "s3", "s5", "s1", "s0"}));
    ASSERT_TRUE(sort('A', 'R', 45).ok());
    EXPECT_EQ(names('A'), (Names{"s5", "s0", "s7", "s4", "s2", "s6", "s3", "s1"}));
}

TEST_F(Sorting, ColumnsByTypedKeyRows) {
    openLines({"F;Wert;;3;-5;NA;1", "D;Datum;;01.02.2019;15.01.2019;x;",
               "Z;Zeit;;12:30:00;23:00:00;08:00:00;", "T;Name;;c;a;d;b", "A;s;;1;;;"});
    // Numbers by value (a negative one too), the unreadable "NA" first as missing.
    ASSERT_TRUE(sort('K', 'C', 2, 0).ok());
    EXPECT_EQ(row('K', 3), (Names{"d", "a", "b", "c"}));
    EXPECT_EQ(row('K', 0), (Names{"NA", "-5", "1", "3"}));
    // Dates: the invalid one first, then by day; times by seconds.
    ASSERT_TRUE(sort('K', 'C', 2, 1).ok());
    EXPECT_EQ(row('K', 1), (Names{"x", "", "15.01.2019", "01.02.2019"}));  // missing ones keep their order
    ASSERT_TRUE(sort('K', 'C', 2, 2).ok());
    EXPECT_EQ(row('K', 2), (Names{"", "08:00:00", "12:30:00", "23:00:00"}));
}

TEST_F(Sorting, RankRowOverTheSortedColumns) {
    openLines({"T;Name;;x;b;a;a;c", "A;s;;1;;;;"});
    // Only columns 1 to 4 are sorted; column 0 stays, and each rank stands over its own column.
    for (int c : {1, 2, 3, 4}) session.buffer().mark(MarkSet::McoR, c);
    ASSERT_TRUE(sort('K', 'S', 2, 0).ok());
    EXPECT_EQ(row('K', 0), (Names{"x", "a", "a", "b", "c"}));
    ASSERT_EQ(names('K').back(), "Rang");
    EXPECT_EQ(session.buffer().GetTyp('K', 1), 'I');
    EXPECT_EQ(row('K', 1), (Names{"", "1", "1", "2", "3"}));
    // "Spalten rangieren" asks the criterion as "Spalten sortieren" does and adds the rank row.
    openLines({"T;Name;;b;a;c", "A;s;;1;;"});
    session.cursorRow = 0;
    ui.addToken("#1");
    ASSERT_TRUE(execute(104060000, 2).ok());
    EXPECT_EQ(row('K', 0), (Names{"a", "b", "c"}));
    EXPECT_EQ(row('K', 1), (Names{"1", "2", "3"}));
}

TEST_F(Sorting, ValuesInsideHeaderRows) {
    openLines({"T;Werte;;9;;10;a", "T;Spalte;;z;y;;", "T;Zwei;;b;x;;", "A;s;;1;;;"});
    session.buffer().mark(MarkSet::MroK, 0);
    ASSERT_TRUE(sort('K', 'C', 51).ok());
    EXPECT_EQ(row('K', 0), (Names{"10", "9", "a", ""}));
    // 50: inside every column, over the marked rows (all when none), empties last.
    ASSERT_TRUE(sort('K', 'C', 50).ok());
    EXPECT_EQ(row('K', 0), (Names{"10", "9", "a", ""}));
    EXPECT_EQ(row('K', 1), (Names{"b", "x", "", ""}));
    EXPECT_EQ(row('K', 2), (Names{"z", "y", "", ""}));
}

TEST_F(Sorting, CoverSumsBeyondAThousandPercent) {
    // 50 % in 30 releves is 1 500 % and comes before 50 % in 10 releves.
    std::string wide = "A;wide;", narrow = "A;narrow;", head = "T;Nr;";
    for (int c = 0; c < 30; ++c) {
        head += ";" + std::to_string(c);
        wide += ";4";
        narrow += c < 10 ? ";4" : ";";
    }
    openLines({head, narrow, wide});
    ASSERT_TRUE(sort('A', 'R', 47).ok());
    EXPECT_EQ(names('A'), (Names{"wide", "narrow"}));
}

TEST_F(Sorting, ScoresByTheChosenAxis) {
    openLines({"T;Nr;;1", "A;p;;1", "A;q;;1", "A;r;;1"});
    session.buffer().PutScores('A', {"0;PC1;PC2", "A0;0.1;3", "A1;0.5;-2", "A2;0.3;1"});
    ui.addToken("2");  // the axis PC2
    std::string axis;
    SortRequest r;
    r.criterion = 52;
    ASSERT_TRUE(session.buffer().GetSpScoreItem(axis, r.scoreItem));
    ASSERT_TRUE(sortTable(session, r).ok());
    EXPECT_EQ(names('A'), (Names{"q", "r", "p"}));
}

TEST_F(Sorting, SpeciesInTheOrderOfAFile) {
    openLines({"T;Ort;;1", "A;a;;1", "A;b;;1", "A;c;;1", "A;d;;1", "A;e;;1"});
    testing::writeBytes(dir.file("ref.tab"),
                        "T;Ort;;r1;r2;r3\r\nA;c;;1;;\r\nA;e;;1;1;\r\nA;b;;;1;\r\nA;x;;;;1\r\nA;d;;;;\r\n");
    auto runWith = [&](std::int64_t number) {
        ui.addToken(dir.file("ref.tab"));
        return dispatcher.execute(session, *commands::find(number), CommandSource::Menu);
    };
    // By the species of the file: its order first, the others after them.
    ASSERT_TRUE(runWith(103120100).ok());
    EXPECT_EQ(names('A'), (Names{"c", "e", "b", "d", "a"}));
    // By its releves: those of the first releve (found in several before found only there), then the
    // second; species without an entry keep their order below.
    ASSERT_TRUE(runWith(103120200).ok());
    EXPECT_EQ(names('A'), (Names{"e", "c", "b", "d", "a"}));
}

TEST_F(Sorting, CommandsFromStatementsAreOneUndoStep) {
    openSample("dune.tab");
    const std::string before = savedTable();
    session.activeGrid = 3;
    // "nach Häufigkeit, Stetigkeit oder Deckung ..." › "Anzahl Vorkommen": the most frequent first.
    ASSERT_TRUE(run("ZEILEN ZEILEN*SORTIEREN;#01 #1").ok());
    CellStats stats(session.buffer(), session.coverInterpreter());
    for (int r = 1; r < session.buffer().GetRowCount('A'); ++r)
        EXPECT_GE(stats.GetFreq('A', nullptr, r - 1, true), stats.GetFreq('A', nullptr, r, true));
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(savedTable(), before);
    // Releves by species richness, richest first.
    session.activeGrid = 4;
    ASSERT_TRUE(run("SPALTEN SPALTEN*SORTIEREN;#01 #1").ok());
    for (int c = 1; c < session.buffer().GetColCount(); ++c)
        EXPECT_GE(stats.GetZahl('A', nullptr, c - 1, true), stats.GetZahl('A', nullptr, c, true));
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(savedTable(), before);
}

}  // namespace
}  // namespace tav
