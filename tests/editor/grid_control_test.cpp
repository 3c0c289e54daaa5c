// The grid controllers without a display: placing the cursor and the window, committing typed text,
// marking clicks, the cursor keys, the selection rectangle and what the editing commands do with it.

#include "editor/grid_control.h"

#include <gtest/gtest.h>

#include "support/editor_fixture.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    Editor() { openSample("dune.tab"); }
    TEditBuffer& b() { return session.buffer(); }
    std::vector<int> marked(MarkSet set) { return b().marks(set).elements(); }
};

TEST(GridControl, DownFromTheLastRowAddsARowOnlyBehindData) {
    Editor e;
    const int rows = e.b().GetRowCount('A');
    setCursor(e.session, 4, 'N', 'N', false, false, 0, rows - 1);
    moveCursor(e.session, CursorKey::Down);
    EXPECT_EQ(e.b().GetRowCount('A'), rows + 1);
    EXPECT_EQ(e.session.cursorRow, rows);
    // The new row is empty: moving on stays there.
    moveCursor(e.session, CursorKey::Down);
    EXPECT_EQ(e.b().GetRowCount('A'), rows + 1);
    EXPECT_EQ(e.session.cursorRow, rows);
    // Without the end check (a double click below the table) a row is always added, and a releve
    // past the last one.
    setCursor(e.session, 4, 'N', 'N', false, false, e.b().GetColCount(), rows + 1);
    EXPECT_EQ(e.b().GetRowCount('A'), rows + 2);
    EXPECT_EQ(e.b().GetColCount(), 21);
    EXPECT_EQ(e.session.cursorCol, 20);
}

TEST(GridControl, TheWindowFollowsTheCursor) {
    Editor e;
    e.b().InsRows('A', e.b().GetRowCount('A'), 470);  // 500 species rows
    for (int g : {3, 4}) e.session.grid(g).visibleRows = 20;
    setCursor(e.session, 4, 'C', 'N', false, false, 0, 300);
    // The page starts two screens above the target, the screen shows it on its middle line.
    EXPECT_EQ(e.session.windowStart.speciesRow, 260);
    EXPECT_EQ(e.session.screenTop.speciesRow, 290);
    // Within the page nothing reloads; 'D' keeps the cursor one line lower on screen.
    setCursor(e.session, 4, 'D', 'N', false, false, 0, 301);
    EXPECT_EQ(e.session.windowStart.speciesRow, 260);
    EXPECT_EQ(e.session.screenTop.speciesRow, 290);
    // 'E' puts it on the last line; at the end the screen is full down to the last row.
    setCursor(e.session, 4, 'E', 'N', false, false, 0, 350);
    EXPECT_EQ(e.session.screenTop.speciesRow, 331);
    setCursor(e.session, 4, 'C', 'N', false, false, 0, 499);
    EXPECT_EQ(e.session.screenTop.speciesRow, 480);
    // A window of one line still works.
    e.session.grid(3).visibleRows = e.session.grid(4).visibleRows = 1;
    setCursor(e.session, 4, 'C', 'N', false, false, 0, 0);
    EXPECT_EQ(e.session.screenTop.speciesRow, 0);
    EXPECT_EQ(e.session.windowStart.speciesRow, 0);
}

TEST(GridControl, TypedTextIsCommittedByTheNextMoveAndUndoneInSteps) {
    Editor e;
    const std::string original = e.savedTable();
    setCursor(e.session, 4, 'N', 'N', false, false, 2, 0);
    typeText(e.session, "2a;x\n");
    EXPECT_EQ(editorText(e.session), "2a;x\n");
    EXPECT_EQ(e.b().Get('A', 2, 0), "");  // not yet in the table
    moveCursor(e.session, CursorKey::Right);
    EXPECT_EQ(e.b().Get('A', 2, 0), "2a,x");
    setCursor(e.session, 3, 'N', 'N', false, false, 0, 1);
    typeText(e.session, "Agrostis");
    // A command sees what was typed.
    ASSERT_TRUE(e.run("BEARB KOPIEREN;").ok());
    EXPECT_EQ(e.b().GetZl('A', 1), "Agrostis");
    EXPECT_EQ(e.b().clipBuffer().back(), "Agrostis");
    // Esc drops what was typed since the cursor came.
    typeText(e.session, "wrong");
    escapeEdit(e.session);
    moveCursor(e.session, CursorKey::Down);
    EXPECT_EQ(e.b().GetZl('A', 1), "Agrostis");
    ASSERT_TRUE(e.run("BEARB RÜCK;;BEARB RÜCK;").ok());
    EXPECT_EQ(e.savedTable(), original);
}

TEST(GridControl, MarkingClicks) {
    struct Click {
        bool rows;
        int index;
        int modifiers;
        std::vector<int> rowsMarked, columnsMarked;
    };
    // One sequence of clicks on the species rows and releves of grid 4.
    const Click clicks[] = {
        {true, 5, kNoModifier, {5}, {}},
        {true, 8, kShift, {5, 6, 7, 8}, {}},                        // range from the anchor
        {true, 2, kShift, {2, 3, 4, 5}, {}},                        // Shift alone starts over from the anchor
        {true, 4, kCtrl, {2, 3, 5}, {}},                            // Ctrl toggles
        {true, 10, kCtrl, {2, 3, 5, 10}, {}},                       // … without clearing the others
        {true, 13, kShift | kCtrl, {2, 3, 5, 10, 11, 12, 13}, {}},  // from the nearest mark below
        {false, 3, kNoModifier, {}, {3}},                           // columns after rows: the row marks go
        {false, 1, kShift, {}, {1, 2, 3}},
        {true, 7, kNoModifier, {7}, {}},
        {true, 9, kNoModifier, {9}, {}},
        {true, 12, kDoubleClick, {7, 8, 9, 10, 11, 12}, {}},  // Shift with the previous anchor
    };
    Editor e;
    for (const Click& c : clicks) {
        markClick(e.session, 4, c.rows, c.index, c.modifiers);
        EXPECT_EQ(e.marked(MarkSet::MroA), c.rowsMarked) << c.index;
        EXPECT_EQ(e.marked(MarkSet::McoR), c.columnsMarked) << c.index;
    }
    // The cursor went to the last clicked row; marked rows are painted in both grids of their part.
    EXPECT_EQ(e.session.cursorRow, 12);
    EXPECT_TRUE(cellMarked(e.session, 3, 0, 8));
    EXPECT_TRUE(cellMarked(e.session, 4, 5, 8));
    EXPECT_FALSE(cellMarked(e.session, 2, 5, 8));
    // The menu forms act on the cursor row: "Zeile anwählen" is a Shift click while nothing is marked.
    ASSERT_TRUE(e.run("BEARB CURSOR MARKIERUNG;").ok());
    e.session.cursorRow = 3;
    ASSERT_TRUE(e.run("ZEILEN ZEILEN*MARK MANUELL ZEILE;").ok());
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 6);
    ASSERT_TRUE(e.run("ZEILEN ZEILEN*MARK MANUELL BEREICH;").ok());
    EXPECT_EQ(e.marked(MarkSet::MroA), (std::vector<int>{3, 4, 5, 6}));
    ASSERT_TRUE(e.run("ZEILEN ZEILEN*MARK MANUELL EINZELN;").ok());
    EXPECT_EQ(e.marked(MarkSet::MroA), (std::vector<int>{3, 4, 5}));
}

TEST(GridControl, CursorKeys) {
    Editor e;
    auto& opt = e.session.settings().CurScrEinst;
    opt = {};
    const int last = e.b().GetColCount() - 1;
    setCursor(e.session, 4, 'N', 'N', false, false, last, 2);
    moveCursor(e.session, CursorKey::Right);
    EXPECT_EQ(e.session.activeGrid, 4);  // without the row change the cursor stays
    EXPECT_EQ(e.session.cursorCol, last);
    opt.AutoZlWechsel = true;
    moveCursor(e.session, CursorKey::Right);
    EXPECT_EQ(e.session.activeGrid, 3);
    EXPECT_EQ(e.session.cursorRow, 3);
    moveCursor(e.session, CursorKey::Left);  // back to the end of the row above
    EXPECT_EQ(e.session.activeGrid, 4);
    EXPECT_EQ(e.session.cursorRow, 2);
    EXPECT_EQ(e.session.cursorCol, last);
    // Ctrl+Left with the copy option carries the value along.
    opt.Copy = true;
    const std::string value(e.b().Get('A', last, 2));
    moveCursor(e.session, CursorKey::Left, kCtrl);
    EXPECT_EQ(e.b().Get('A', last - 1, 2), value);
    EXPECT_TRUE(e.session.modified());
    // Enter: with the CR option like Down, otherwise it switches the editing inside the text.
    moveCursor(e.session, CursorKey::Enter);
    EXPECT_TRUE(e.session.grid(4).insideEditor);
    opt.CR = true;
    moveCursor(e.session, CursorKey::Enter);
    EXPECT_EQ(e.session.cursorRow, 3);
    // Through the menu, as a macro moves.
    ASSERT_TRUE(e.run("BEARB CURSOR VERSCHIEBEN GANZ*LINKS;;BEARB CURSOR VERSCHIEBEN NACH*UNTEN;").ok());
    EXPECT_EQ(e.session.cursorCol, 0);
    EXPECT_EQ(e.session.cursorRow, 4);
    ASSERT_TRUE(e.run("BEARB CURSOR WECHSELN;").ok());
    EXPECT_EQ(e.session.activeGrid, 2);
}

TEST(GridControl, ASelectionFollowsShiftAndScopesTheCommands) {
    Editor e;
    setCursor(e.session, 4, 'N', 'N', false, false, 1, 1);
    moveCursor(e.session, CursorKey::Right, kShift);
    moveCursor(e.session, CursorKey::Down, kShift);
    ASSERT_TRUE(e.session.grid(4).selOn);
    EXPECT_EQ(e.session.grid(4).sel, (CellRect{1, 1, 2, 2}));
    EXPECT_TRUE(inSelection(e.session, 4, 2, 2));
    EXPECT_FALSE(inSelection(e.session, 4, 3, 2));
    EXPECT_TRUE(cellMarked(e.session, 4, 2, 2));
    EXPECT_FALSE(cellMarked(e.session, 4, 3, 2));
    EXPECT_FALSE(cellMarked(e.session, 2, 2, 2));  // selections belong to their grid
    const std::string right(e.b().Get('A', 3, 1)), below(e.b().Get('A', 1, 3));
    // Cut, closing the gap to the left: the cells right of the rectangle move in.
    ASSERT_TRUE(e.run("BEARB F*ENTFERNEN AUSSCHNEIDEN*LINKS;").ok());
    EXPECT_EQ(e.b().Get('A', 1, 1), right);
    EXPECT_EQ(e.b().clipBuffer().front(), "Range");
    EXPECT_EQ(e.b().clipBuffer().size(), 3u);
    EXPECT_FALSE(e.session.anySelection());
    ASSERT_TRUE(e.run("BEARB RÜCK;").ok());
    // Deleting upwards.
    setCursor(e.session, 4, 'N', 'N', false, false, 1, 1);
    resetSelection(e.session, 4, true);
    setSelection(e.session, 4, 2, 2);
    ASSERT_TRUE(e.run("BEARB F*ENTFERNEN LÖSCHEN*OBEN;").ok());
    EXPECT_EQ(e.b().Get('A', 1, 1), below);
    // New fields: as many as the selection holds, shifting right.
    setCursor(e.session, 2, 'N', 'N', false, false, 0, 0);
    resetSelection(e.session, 2, true);
    setSelection(e.session, 2, 2, 0);
    const std::string first(e.b().Get('K', 0, 0));
    ASSERT_TRUE(e.run("BEARB F*ENTFERNEN NEU*RECHTS;").ok());
    EXPECT_EQ(e.b().Get('K', 0, 0), "");
    EXPECT_EQ(e.b().Get('K', 2, 0), "");
    EXPECT_EQ(e.b().Get('K', 3, 0), first);
}

TEST(GridControl, FillingAndNumberingASelection) {
    Editor e;
    setCursor(e.session, 2, 'N', 'N', false, false, 2, 3);
    resetSelection(e.session, 2, true);
    setSelection(e.session, 2, 4, 4);
    const std::string management(e.b().Get('K', 2, 3)), use(e.b().Get('K', 2, 4));
    const std::string beyond(e.b().Get('K', 5, 3));
    ASSERT_TRUE(e.run("ZEILEN ZEILE(N);").ok());
    for (int c = 2; c <= 4; ++c) {
        EXPECT_EQ(e.b().Get('K', c, 3), management);
        EXPECT_EQ(e.b().Get('K', c, 4), use);
    }
    EXPECT_EQ(e.b().Get('K', 5, 3), beyond);
    // Numbering writes only the selected cells and keeps the row type.
    setCursor(e.session, 2, 'N', 'N', false, false, 5, 3);
    resetSelection(e.session, 2, false);
    resetSelection(e.session, 2, true);
    setSelection(e.session, 2, 7, 3);
    ASSERT_TRUE(e.run("ZEILEN NUMMERN DURCH;").ok());
    EXPECT_EQ(e.b().Get('K', 5, 3), "1");
    EXPECT_EQ(e.b().Get('K', 7, 3), "3");
    EXPECT_EQ(e.b().Get('K', 8, 3), "HF");
    EXPECT_EQ(e.b().GetTyp('K', 3), 'T');
}

TEST(GridControl, ThePenReplacesTheCellWithAKey) {
    Editor e;
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 0);
    EXPECT_FALSE(acceptKey(e.session, U'3'));  // the pen is off
    e.session.settings().CurScrEinst.pen = true;
    EXPECT_FALSE(acceptKey(e.session, U'\u00e4'));
    EXPECT_TRUE(acceptKey(e.session, U'3'));
    EXPECT_EQ(e.b().Get('A', 0, 0), "3");
}

TEST(GridControl, ASecondClickWithThePenStepsTheValue) {
    Editor e;
    e.session.settings().CurScrEinst.pen = true;
    cellClick(e.session, 4, 2, 0);  // Achillea, third releve: empty
    EXPECT_EQ(e.session.cursorCol, 2);
    EXPECT_EQ(e.b().Get('A', 2, 0), "");
    cellClick(e.session, 4, 2, 0);
    const std::string first(e.b().Get('A', 2, 0));
    EXPECT_FALSE(first.empty());
    cellClick(e.session, 4, 2, 0, kCtrl);  // backwards
    EXPECT_EQ(e.b().Get('A', 2, 0), "");
    // Header values step by the type of their row: percentages along the number cycle.
    e.b().PutTyp('K', 'P', 2);
    cellClick(e.session, 2, 0, 2);
    cellClick(e.session, 2, 0, 2);
    EXPECT_EQ(e.b().Get('K', 0, 2), "2");  // from "1"
    // Each step is one undo step.
    ASSERT_TRUE(e.session.undoList().undo());
    EXPECT_EQ(e.b().Get('K', 0, 2), "1");
    // A click elsewhere ends the marks.
    e.b().mark(MarkSet::MroA, 3);
    cellClick(e.session, 4, 5, 5);
    EXPECT_FALSE(e.b().CheckM());
}

TEST(GridControl, TextCopiedInAnotherProgramIsPasted) {
    Editor e;
    // Rows copied here stay the clip while the clipboard does not change.
    e.b().mark(MarkSet::MroA, 0);
    ASSERT_TRUE(e.run("BEARB KOPIEREN;").ok());
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 2);
    ASSERT_TRUE(e.run("BEARB EINFÜGEN;").ok());
    EXPECT_EQ(e.b().GetZl('A', 2), "Achillea millefolium");
    // A spreadsheet's cells: tabs between fields, a ";" inside one.
    e.ui.setClipboardText("a\tb\r\nc;d\te\r\n");
    setCursor(e.session, 4, 'N', 'N', false, true, 0, 0);
    ASSERT_TRUE(e.run("BEARB EINFÜGEN;").ok());
    EXPECT_EQ(e.b().Get('A', 0, 0), "a");
    EXPECT_EQ(e.b().Get('A', 1, 0), "b");
    EXPECT_EQ(e.b().Get('A', 0, 1), "c,d");
    EXPECT_EQ(e.b().Get('A', 1, 1), "e");
}

}  // namespace
}  // namespace tav
