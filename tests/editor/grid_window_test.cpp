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

}  // namespace
}  // namespace tav
