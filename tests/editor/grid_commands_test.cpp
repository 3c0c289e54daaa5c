// The grids' editing commands through statements: deleting, cutting and copying marked rows and
// releves (and their complement), new rows and releves, the cursor to a number, complement and random
// choice of the marks; each change one undo step that gives the table back.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    Editor() {
        openSample("dune.tab");
        session.activeGrid = 4;
    }
    TEditBuffer& b() { return session.buffer(); }
    std::string saved() { return savedTable(); }
    std::vector<std::string> names(char part) {
        std::vector<std::string> out;
        for (int r = 0; r < b().GetRowCount(part); ++r) out.emplace_back(b().GetZl(part, r));
        return out;
    }
};

TEST(GridCommands, DeletingMarkedRowsTakesThoseRows) {
    Editor e;
    const std::string original = e.saved();
    std::vector<std::string> expected = e.names('A');
    // Marked apart from each other: removing one by one from the first would shift the second.
    e.b().mark(MarkSet::MroA, 1);
    e.b().mark(MarkSet::MroA, 4);
    ASSERT_TRUE(e.run("BEARB LÖSCHEN;").ok());
    expected.erase(expected.begin() + 4);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(e.names('A'), expected);
    EXPECT_FALSE(e.b().CheckM());
    EXPECT_TRUE(e.session.modified());
    const std::string changed = e.saved();
    ASSERT_TRUE(e.run("BEARB RÜCK;").ok());
    EXPECT_EQ(e.saved(), original);
    ASSERT_TRUE(e.run("BEARB WIDERRUFEN;").ok());
    EXPECT_EQ(e.saved(), changed);
}

TEST(GridCommands, CutCopyAndComplement) {
    Editor e;
    const int releves = e.b().GetColCount();
    const std::string third = e.b().GetCol(2);
    e.b().mark(MarkSet::McoR, 2);
    e.b().mark(MarkSet::McoR, 3);
    ASSERT_TRUE(e.run("BEARB AUSSCHNEIDEN;").ok());
    EXPECT_EQ(e.b().GetColCount(), releves - 2);
    ASSERT_EQ(e.b().clipBuffer().size(), 3u);
    EXPECT_EQ(e.b().clipBuffer()[0], "Col");
    EXPECT_EQ(e.b().clipBuffer()[1], third);

    // Copying changes nothing: the table stays unmodified, with its history.
    ASSERT_TRUE(e.session.saveTable(e.dir.file("s.tab"), noProgress()).ok());
    e.b().Put('A', "3", 0, 0);
    e.session.setModified(false);
    e.b().mark(MarkSet::MroA, 0);
    ASSERT_TRUE(e.run("BEARB KOPIEREN;").ok());
    EXPECT_FALSE(e.session.modified());
    EXPECT_TRUE(e.session.undoList().canUndo());
    EXPECT_EQ(e.b().clipBuffer()[0], "Row");
    // Without marks the cursor cell is copied, also to the system's clipboard.
    e.b().ClearM();
    e.session.cursorCol = 0;
    e.session.cursorRow = 0;
    ASSERT_TRUE(e.run("BEARB KOPIEREN;").ok());
    EXPECT_EQ(e.ui.clipboardText(), "3");

    // The complement of one marked species row: all others go.
    const std::string kept(e.b().GetZl('A', 2));
    e.b().mark(MarkSet::MroA, 2);
    ASSERT_TRUE(e.run("BEARB K*LÖSCHEN;").ok());
    EXPECT_EQ(e.names('A'), std::vector<std::string>{kept});
}

TEST(GridCommands, NewRowsAndReleves) {
    Editor e;
    const std::vector<std::string> before = e.names('A');
    e.session.cursorRow = 2;
    ASSERT_TRUE(e.run("ZEILEN NEUE DANACH;3").ok());
    ASSERT_EQ(e.names('A').size(), before.size() + 3);
    EXPECT_EQ(e.names('A')[2], before[2]);
    EXPECT_EQ(e.names('A')[3], "");
    EXPECT_EQ(e.b().GetTyp('A', 3), 'A');
    EXPECT_EQ(e.session.cursorRow, 3);

    const int releves = e.b().GetColCount();
    e.session.cursorCol = 0;
    ASSERT_TRUE(e.run("SPALTEN NEUE DAVOR;2").ok());
    EXPECT_EQ(e.b().GetColCount(), releves + 2);
    EXPECT_EQ(e.b().GetCol(0), e.b().GetCol(1));  // both empty
    // Not in a name grid, and not a count that is no number.
    e.session.activeGrid = 3;
    EXPECT_FALSE(e.run("SPALTEN NEUE DAVOR;2").ok());
    e.session.activeGrid = 4;
    EXPECT_FALSE(e.run("ZEILEN NEUE DAVOR;null").ok());
    // A locked grid asks first; No leaves the table.
    e.session.gridLocked[3] = true;
    ASSERT_TRUE(e.run("ZEILEN NEUE DAVOR;N").ok());
    EXPECT_EQ(e.names('A').size(), before.size() + 3);
}

TEST(GridCommands, CursorAndMarks) {
    Editor e;
    ASSERT_TRUE(e.run("BEARB CURSOR ZU;7;BEARB CURSOR Z*SPALTE;5").ok());
    EXPECT_EQ(e.session.cursorRow, 6);
    EXPECT_EQ(e.session.cursorCol, 4);
    EXPECT_FALSE(e.run("BEARB CURSOR ZU;9999").ok());

    const int species = e.b().GetRowCount('A');
    e.b().mark(MarkSet::MroA, 0);
    ASSERT_TRUE(e.run("ZEILEN ZEILEN*MARK KOMPLEMENT;").ok());
    EXPECT_EQ(e.b().MroA().Count(), species - 1);
    EXPECT_FALSE(e.b().MroA().Element(0));
    // A random choice among the marked rows.
    ASSERT_TRUE(e.run("ZEILEN ZEILEN*MARK ZUFALL;5").ok());
    EXPECT_EQ(e.b().MroA().Count(), 5);
    EXPECT_FALSE(e.b().MroA().Element(0));
    // Among all releves when none is marked.
    ASSERT_TRUE(e.run("SPALTEN MARK ZUFALL;3").ok());
    EXPECT_EQ(e.b().McoR().Count(), 3);
}

TEST(GridCommands, Numbering) {
    Editor e;
    TEditBuffer& b = e.b();
    const int releves = b.GetColCount();
    auto row = [&b](int r) {
        std::vector<std::string> out;
        for (int c = 0; c < b.GetColCount(); ++c) out.emplace_back(b.Get('K', c, r));
        return out;
    };
    e.session.activeGrid = 2;
    e.session.cursorRow = 3;  // "Management", a text row
    ASSERT_TRUE(e.run("ZEILEN NUMMERN DURCH;").ok());
    EXPECT_EQ(b.GetTyp('K', 3), 'I');
    EXPECT_EQ(row(3).front(), "1");
    EXPECT_EQ(row(3).back(), std::to_string(releves));
    // Random: each number once.
    ASSERT_TRUE(e.run("ZEILEN NUMMERN ZUF;").ok());
    std::vector<std::string> drawn = row(3);
    std::vector<int> seen;
    for (const std::string& t : drawn) seen.push_back(std::stoi(t));
    std::sort(seen.begin(), seen.end());
    for (int k = 0; k < releves; ++k) EXPECT_EQ(seen[static_cast<std::size_t>(k)], k + 1);
    // Going on from the cursor: from the integer there, or from the largest to its left.
    b.Put('K', "40", 2, 3);
    e.session.cursorCol = 2;
    ASSERT_TRUE(e.run("ZEILEN NUMMERN WEITER;").ok());
    EXPECT_EQ(row(3)[3], "41");
    EXPECT_EQ(row(3).back(), std::to_string(40 + releves - 3));
    b.Put('K', "", 2, 3);
    ASSERT_TRUE(e.run("ZEILEN NUMMERN WEITER;").ok());
    EXPECT_EQ(row(3)[2], std::to_string(std::max(std::stoi(row(3)[0]), std::stoi(row(3)[1])) + 1));
    // Only an integer row goes on; only one row at a time.
    e.session.cursorRow = 4;  // "Use", text
    EXPECT_FALSE(e.run("ZEILEN NUMMERN WEITER;").ok());
    EXPECT_EQ(e.lastMessage(), "Falscher Zeilentyp: muss ganzzahlig sein.");
    e.session.activeGrid = 1;
    EXPECT_FALSE(e.run("ZEILEN NUMMERN DURCH;").ok());
    EXPECT_EQ(e.lastMessage(), "Funktion nur für 1 Kopfdatenzeile verfügbar.");

    // Cumulative classes over the one marked numeric row: a new class once the sum passes 10.
    b.mark(MarkSet::MroK, 1);  // "A1", soil thickness
    const int headerRows = b.GetRowCount('K');
    ASSERT_TRUE(e.run("ZEILEN NUMMERN KUMUL;10").ok());
    ASSERT_EQ(b.GetRowCount('K'), headerRows + 1);
    EXPECT_EQ(b.GetZl('K', headerRows), "Klasse");
    double sum = 0;
    int expected = 1;
    for (int c = 0; c < releves; ++c) {
        const double v = std::stod(std::string(b.Get('K', c, 1)));
        sum += v;
        if (sum > 10) {
            ++expected;
            sum = v;
        }
        EXPECT_EQ(b.Get('K', c, headerRows), std::to_string(expected)) << c;
    }

    // A column of row numbers in the species part.
    e.session.activeGrid = 4;
    e.session.cursorCol = 1;
    ASSERT_TRUE(e.run("SPALTEN DURCH ZEILENNUMMERN;").ok());
    EXPECT_EQ(b.Get('A', 1, 0), "1");
    EXPECT_EQ(b.Get('A', 1, b.GetRowCount('A') - 1), std::to_string(b.GetRowCount('A')));
}

TEST(GridCommands, DateAndTime) {
    Editor e;
    e.session.activeGrid = 2;
    e.session.cursorRow = 3;
    e.session.cursorCol = 0;
    // Not a date row: asked first.
    ASSERT_TRUE(e.run("BEARB F*BEARB DATUM;N").ok());
    EXPECT_EQ(e.b().Get('K', 0, 3), "SF");
    ASSERT_TRUE(e.run("BEARB F*BEARB DATUM;Y").ok());
    const std::string date(e.b().Get('K', 0, 3));
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[2], '.');
    EXPECT_EQ(date[5], '.');
    // The time as hh:mm:ss, which a time row reads.
    e.b().PutTyp('K', 'Z', 3);
    ASSERT_TRUE(e.run("BEARB F*BEARB ZEIT;").ok());
    const std::string time(e.b().Get('K', 0, 3));
    ASSERT_EQ(time.size(), 8u);
    EXPECT_EQ(time[2], ':');
    EXPECT_EQ(time[5], ':');
    e.session.activeGrid = 4;
    EXPECT_FALSE(e.run("BEARB F*BEARB ZEIT;").ok());
}

TEST(GridCommands, RowTypesAndFilling) {
    Editor e;
    TEditBuffer& b = e.b();
    e.session.activeGrid = 2;
    e.session.cursorRow = 4;
    ASSERT_TRUE(e.run("ZEILEN ZEILENTYP;2").ok());  // "Float (F)"
    EXPECT_EQ(b.GetTyp('K', 4), 'F');
    b.mark(MarkSet::MroA, 0);
    b.mark(MarkSet::MroA, 2);
    e.session.activeGrid = 4;
    ASSERT_TRUE(e.run("ZEILEN ZEILENTYP;1").ok());  // "K", a comment row
    EXPECT_EQ(b.GetTyp('A', 0), 'K');
    EXPECT_EQ(b.GetTyp('A', 1), 'A');
    EXPECT_EQ(b.GetTyp('A', 2), 'K');
    EXPECT_FALSE(b.CheckM());

    // The cursor cell across its row, and down its column.
    e.session.cursorRow = 1;
    e.session.cursorCol = 2;
    b.Put('A', "3", 2, 1);
    ASSERT_TRUE(e.run("ZEILEN ZEILE(N);").ok());
    for (int c = 0; c < b.GetColCount(); ++c) EXPECT_EQ(b.Get('A', c, 1), "3") << c;
    ASSERT_TRUE(e.run("SPALTEN SPALTE(N);").ok());
    for (int r = 0; r < b.GetRowCount('A'); ++r) EXPECT_EQ(b.Get('A', 2, r), "3") << r;
    // Marked releves each with the first header value, after the question which part.
    b.mark(MarkSet::McoR, 5);
    const std::string first(b.Get('K', 5, 0));
    ASSERT_TRUE(e.run("SPALTEN SPALTE(N);Y").ok());
    for (int r = 0; r < b.GetRowCount('K'); ++r) EXPECT_EQ(b.Get('K', 5, r), first) << r;
    // One undo step gives the column back.
    ASSERT_TRUE(e.run("BEARB RÜCK;").ok());
    EXPECT_NE(b.Get('K', 5, 1), first);
}

TEST(GridCommands, Paste) {
    Editor e;
    TEditBuffer& b = e.b();
    const std::vector<std::string> before = e.names('A');
    // Two species rows cut and pasted before the cursor row: they come back marked, in their order.
    b.mark(MarkSet::MroA, 0);
    b.mark(MarkSet::MroA, 1);
    ASSERT_TRUE(e.run("BEARB AUSSCHNEIDEN;").ok());
    e.session.cursorRow = 3;
    ASSERT_TRUE(e.run("BEARB EINFÜGEN;").ok());
    std::vector<std::string> expected(before.begin() + 2, before.end());
    expected.insert(expected.begin() + 3, before.begin(), before.begin() + 2);
    EXPECT_EQ(e.names('A'), expected);
    EXPECT_EQ(b.MroA().elements(), (std::vector<int>{3, 4}));
    // Whole rows cannot be pasted shifting fields.
    EXPECT_FALSE(e.run("BEARB F*ENTFERNEN E*RECHTS;").ok());

    // A cell copied and pasted elsewhere; a new field shifts the row to the right.
    b.ClearM();
    e.session.cursorRow = 0;
    e.session.cursorCol = 0;
    const std::string cell(b.Get('A', 0, 0));
    const std::string second(b.Get('A', 1, 0));
    ASSERT_TRUE(e.run("BEARB KOPIEREN;").ok());
    e.session.cursorCol = 4;
    ASSERT_TRUE(e.run("BEARB EINFÜGEN;").ok());
    EXPECT_EQ(b.Get('A', 4, 0), cell);
    const int releves = b.GetColCount();
    e.session.cursorCol = 0;
    ASSERT_TRUE(e.run("BEARB F*ENTFERNEN N*RECHTS;").ok());
    EXPECT_EQ(b.Get('A', 0, 0), "");
    EXPECT_EQ(b.Get('A', 1, 0), cell);
    EXPECT_EQ(b.Get('A', 2, 0), second);
    EXPECT_EQ(b.GetColCount(), releves + 1);
}

TEST(GridCommands, NextEntry) {
    Editor e;
    TEditBuffer& b = e.b();
    b.Clear();
    b.InsCols(0, 3);
    b.InsRows('A', 0, 3);
    ASSERT_TRUE(b.PutRow('A', "A;Carex;;;1;", 0));
    ASSERT_TRUE(b.PutRow('A', "A;Poa;;;;", 1));
    ASSERT_TRUE(b.PutRow('A', "A;Juncus;;1;1;2", 2));
    e.session.activeGrid = 4;
    auto at = [&e] {
        return std::to_string(e.session.activeGrid) + "," + std::to_string(e.session.cursorCol) + "," +
               std::to_string(e.session.cursorRow);
    };
    e.session.cursorCol = 1;
    e.session.cursorRow = 0;
    // Right in reading order: past the empty cells of row 0, the name "Poa" of row 1.
    ASSERT_TRUE(e.run("BEARB CURSOR NÄCHSTER RECHTS;").ok());
    EXPECT_EQ(at(), "3,1,1");
    // The next differing entry to the right of "Poa" is its empty first releve.
    ASSERT_TRUE(e.run("BEARB CURSOR NÄCHSTER*ABW RECHTS;").ok());
    EXPECT_EQ(at(), "4,0,1");
    // Down the column; at its end the question whether to go on from the top.
    e.session.cursorCol = 1;
    e.session.cursorRow = 2;
    ASSERT_TRUE(e.run("BEARB CURSOR NÄCHSTER UNTEN;N").ok());
    EXPECT_EQ(at(), "4,1,2");
    ASSERT_TRUE(e.run("BEARB CURSOR NÄCHSTER UNTEN;Y").ok());
    EXPECT_EQ(at(), "4,1,0");
    // With marked releves, left and right go from mark to mark.
    b.mark(MarkSet::McoR, 0);
    e.session.cursorCol = 1;
    e.session.cursorRow = 0;
    ASSERT_TRUE(e.run("BEARB CURSOR NÄCHSTER RECHTS;").ok());
    EXPECT_EQ(at(), "4,0,1");
    ASSERT_TRUE(e.run("BEARB CURSOR NÄCHSTER LINKS;").ok());
    EXPECT_EQ(at(), "4,0,0");
}

}  // namespace
}  // namespace tav
