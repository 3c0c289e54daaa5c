// The pages the grids hold and the window caption.

#include "editor/grid_window.h"

#include <gtest/gtest.h>

#include "platform/script_ui.h"
#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

TEST(GridWindow, Pages) {
    struct Case {
        int first, total, visible;
        PageSpan page;
    };
    const Case cases[] = {
        {0, 1000, 20, {0, 80}},                            // four screens
        {0, 1000, 5, {0, 30}},                             // at least 30
        {990, 1000, 20, {980, 20}},                        // the start keeps a full screen at the end
        {-5, 1000, 20, {0, 80}},    {0, 10, 20, {0, 10}},  // a short table
        {3, 0, 20, {0, 0}},                                // an empty one
        {7, 100, 0, {7, 30}},                              // a window of no full row counts as one
    };
    for (const Case& c : cases)
        EXPECT_EQ(pageSpan(c.first, c.total, c.visible), c.page)
            << c.first << " " << c.total << " " << c.visible;
}

TEST(GridWindow, ReloadAndCaption) {
    testing::EditorFixture editor;
    Session& session = editor.session;
    ASSERT_EQ(
        session.openTable(std::string(TAVOLEX_SAMPLES) + "/dune.tab", kLayoutNative, noProgress()).value(),
        ReadResult::Ok);
    const int releves = session.buffer().GetColCount();
    const GridPages pages = reloadWindow(session, {releves, 1, 2}, {2, 3, 4});
    EXPECT_EQ(pages.releves, (PageSpan{releves - 4, 4}));
    EXPECT_EQ(pages.headerRows.first, 1);
    EXPECT_EQ(pages.speciesRows.first, 2);
    EXPECT_EQ(session.windowStart.releve, releves - 4);

    session.settings().VorName = "/irgendwo/Vorlage.tab";
    EXPECT_EQ(windowCaption(session),
              "TAVOLEX     Tabelle dune.tab     Umgebung      Arten NoName.adb     Angaben      Vorlage "
              "Vorlage.tab");
}

TEST(GridWindow, CellGeometry) {
    struct Case {
        int font, x, y, margin;
        CellGeometry expected;
    };
    const Case cases[] = {
        {16, 0, 0, 1, {24, 84, 80, 24}},     // defaults from the font
        {-16, 0, 0, 0, {24, 84, 26, 4}},     // a negative font height counts by its size; narrow margins
        {16, 60, 20, 2, {20, 60, 160, 20}},  // sizes of the settings
        {16, 0, 30, 3, {30, 105, 320, 30}},  // the column width follows a set row height
    };
    for (const Case& c : cases)
        EXPECT_EQ(cellGeometry(c.font, c.x, c.y, c.margin), c.expected) << c.font << " " << c.margin;
}

TEST(GridWindow, ArrangementOfGridsBarsAndTrackBars) {
    // A client of 1000 × 700 with grid 1 at 300 × 200, a unit of 4, scroll bars 16 thick, tool bar 40.
    const GridArrangement a = arrangeGrids(1000, 700, 300, 200, 4, 16, 40);
    EXPECT_EQ(a.grid[0], (PixelBox{0, 0, 300, 200}));
    EXPECT_EQ(a.grid[1], (PixelBox{304, 0, 675, 200}));    // up to the scroll bar and 5 pixels
    EXPECT_EQ(a.grid[2], (PixelBox{0, 204, 300, 432}));    // as high as grid 4
    EXPECT_EQ(a.grid[3], (PixelBox{304, 204, 675, 432}));  // down to the scroll bar and the tool bar
    EXPECT_EQ(a.hScroll, (PixelBox{304, 638, 675, 16}));
    EXPECT_EQ(a.vScrollTop, (PixelBox{981, 0, 16, 200}));
    EXPECT_EQ(a.vScrollBottom, (PixelBox{981, 204, 16, 432}));
    EXPECT_EQ(a.trackHMax, 97);
    EXPECT_EQ(a.trackHPos, 30);
    EXPECT_EQ(a.trackVMax, 126);
    EXPECT_EQ(a.trackVPos, 40);
    // Grid 1 never takes the whole client, and nothing gets a negative size in a tiny window.
    const GridArrangement small = arrangeGrids(100, 60, 500, 500, 4, 16, 40);
    EXPECT_EQ(small.grid[0].width, 70);
    EXPECT_EQ(small.grid[0].height, 30);
    for (const PixelBox& g : small.grid) {
        EXPECT_GE(g.width, 0);
        EXPECT_GE(g.height, 0);
    }
}

}  // namespace
}  // namespace tav
