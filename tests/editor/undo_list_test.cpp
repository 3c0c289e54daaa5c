// Undo and redo from the buffer's change records: steps undone and redone give the table byte for byte,
// the caps of the list, a step taken back when its operation fails, and the commands that undo.

#include "editor/undo_list.h"

#include <gtest/gtest.h>

#include <numeric>

#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    Editor() { openSample("dune.tab"); }
    TEditBuffer& b() { return session.buffer(); }
    UndoList& undo() { return session.undoList(); }
    std::string saved() { return savedTable(); }
};

TEST(UndoList, UndoThenRedoGivesTheTableByteForByte) {
    Editor e;
    const std::string original = e.saved();
    // One step of every kind of change, the last a step of several changes.
    const std::vector<std::function<void(TEditBuffer&)>> steps = {
        [](TEditBuffer& b) { b.Put('A', "5", 3, 2); },
        [](TEditBuffer& b) { b.PutZl('K', "Neue Zeile", 0); },
        [](TEditBuffer& b) { b.InsRows('A', 4, 3); },
        [](TEditBuffer& b) { b.DelCol(1, true, false); },
        [](TEditBuffer& b) { b.InsCols(0, 2); },
        [](TEditBuffer& b) {
            std::vector<std::int32_t> order(static_cast<std::size_t>(b.GetRowCount('A')));
            std::iota(order.rbegin(), order.rend(), 0);
            b.permute(Area::Species, order);
        },
        [](TEditBuffer& b) {
            b.PutTyp('K', 'N', 1);
            b.DelRow('A', 0, true, false);
            b.Put('K', "x;y", 0, 0);
        },
    };
    for (const auto& step : steps) {
        e.undo().begin();
        step(e.b());
        e.undo().end();
    }
    ASSERT_EQ(e.undo().size(), steps.size());
    const std::string changed = e.saved();
    ASSERT_NE(changed, original);

    while (e.undo().undo()) {
    }
    EXPECT_EQ(e.saved(), original);
    EXPECT_FALSE(e.undo().canUndo());
    while (e.undo().redo()) {
    }
    EXPECT_EQ(e.saved(), changed);
    // Half-way back, then a new step: the undone steps cannot be redone any more.
    ASSERT_TRUE(e.undo().undo());
    ASSERT_TRUE(e.undo().undo());
    e.b().Put('A', "r", 0, 0);
    EXPECT_EQ(e.undo().size(), steps.size() - 1);
    EXPECT_FALSE(e.undo().canRedo());
}

TEST(UndoList, CapsMarksAndNewTables) {
    Editor e;
    // A change outside any command is a step of its own; marks are no step.
    for (int i = 0; i < static_cast<int>(UndoList::kMaxEntries); ++i)
        e.b().Put('A', std::to_string(i % 5), 0, 0);
    e.b().mark(MarkSet::MroA, 2);
    EXPECT_EQ(e.undo().size(), UndoList::kMaxEntries);
    e.b().Put('A', "+", 0, 0);
    EXPECT_EQ(e.undo().size(), UndoList::kMaxEntries + 1 - UndoList::kDropped);
    // Undo keeps its records; it never copies the table.
    EXPECT_EQ(e.undo().records(), e.undo().size());

    // A table read anew, or saved, starts without history.
    ASSERT_TRUE(e.session.newTable().ok());
    EXPECT_EQ(e.undo().size(), 0u);
    e.b().Put('A', "1", 0, 0);
    ASSERT_TRUE(e.session.saveTable(e.dir.file("s.tab"), noProgress()).ok());
    EXPECT_FALSE(e.undo().canUndo());
}

TEST(UndoList, RollbackTakesBackOnlyTheFailedPart) {
    Editor e;
    const std::string before = e.b().GetRow('A', 0);
    e.undo().begin();
    e.b().Put('A', "3", 0, 0);
    e.undo().begin();
    e.b().Put('A', "4", 1, 0);
    e.b().DelRow('A', 5, true, false);
    e.undo().rollback();
    e.undo().end();
    ASSERT_EQ(e.undo().size(), 1u);
    EXPECT_EQ(e.b().Get('A', 0, 0), "3");
    ASSERT_TRUE(e.undo().undo());
    EXPECT_EQ(e.b().GetRow('A', 0), before);
}

TEST(UndoList, CommandsUndoAndRedo) {
    Editor e;
    const std::string before(e.b().Get('A', 0, 0));
    e.session.activeGrid = 4;
    ASSERT_TRUE(e.run("BEARB VARIABLE MANUELL;0 9;BEARB VARIABLE INHALT;0;BEARB RÜCK;").ok());
    EXPECT_EQ(e.b().Get('A', 0, 0), before);
    ASSERT_TRUE(e.run("BEARB WIDERRUFEN;").ok());
    EXPECT_EQ(e.b().Get('A', 0, 0), "9");
    ASSERT_TRUE(e.run("BEARB WIDERRUFEN;").ok());
    EXPECT_EQ(e.lastMessage(), e.session.catalogue().GetLangMsg("MsgNoRedo"));
    ASSERT_TRUE(e.run("BEARB RÜCK;;BEARB RÜCK;").ok());
    EXPECT_EQ(e.lastMessage(), e.session.catalogue().GetLangMsg("MsgNoUndo"));
    EXPECT_EQ(e.b().Get('A', 0, 0), before);
}

TEST(UndoList, ManyRowsAndRelevesDeletedInOnePass) {
    Editor e;
    const std::string original = e.saved();
    const int releves = e.b().GetColCount();
    const int species = e.b().GetRowCount('A');
    const std::string lastName(e.b().GetZl('A', species - 1));
    const std::string secondName(e.b().GetZl('A', 1));
    e.undo().begin();
    // Unsorted, doubled and outside positions are taken as the rows they name, once.
    e.b().DelRows('A', {0, 2, 3, 4, 2, -1, species + 5});
    e.b().DelCols({1, 2, 5});
    e.undo().end();
    EXPECT_EQ(e.b().GetRowCount('A'), species - 4);
    EXPECT_EQ(e.b().GetZl('A', 0), secondName);  // rows 0, 2, 3 and 4 went, not their successors
    EXPECT_EQ(e.b().GetColCount(), releves - 3);
    // One record for each run of neighbours: rows {0}, {2, 3, 4}; releves {1, 2}, {5}.
    EXPECT_EQ(e.undo().records(), 4u);
    const std::string changed = e.saved();
    ASSERT_TRUE(e.undo().undo());
    EXPECT_EQ(e.saved(), original);
    ASSERT_TRUE(e.undo().redo());
    EXPECT_EQ(e.saved(), changed);

    // Removing every row of a part leaves one empty row, every releve one empty releve; undone as
    // one step.
    const std::string before = e.saved();
    std::vector<int> all(static_cast<std::size_t>(e.b().GetRowCount('A')));
    std::iota(all.begin(), all.end(), 0);
    std::vector<int> allColumns(static_cast<std::size_t>(e.b().GetColCount()));
    std::iota(allColumns.begin(), allColumns.end(), 0);
    e.undo().begin();
    e.b().DelRows('A', all);
    e.b().DelCols(allColumns);
    e.undo().end();
    ASSERT_EQ(e.b().GetRowCount('A'), 1);
    EXPECT_TRUE(e.b().isEmptyRow('A', 0));
    EXPECT_EQ(e.b().GetTyp('A', 0), 'A');
    ASSERT_EQ(e.b().GetColCount(), 1);
    EXPECT_TRUE(e.b().isEmptyCol(0));
    ASSERT_TRUE(e.undo().undo());
    EXPECT_EQ(e.saved(), before);
    EXPECT_EQ(e.b().GetZl('A', e.b().GetRowCount('A') - 1), lastName);
}

}  // namespace
}  // namespace tav
