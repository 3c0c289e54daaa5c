// The window's state through statements: grid locks with the question they raise, the active grid,
// and the check marks of the toggles.

#include "editor/window_commands.h"

#include <gtest/gtest.h>

#include "editor/command_registry.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "editor/statements.h"
#include "platform/script_ui.h"
#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    bool checked(std::int64_t number) const { return isChecked(session, *commands::find(number)); }
};

TEST(WindowCommands, GridLocks) {
    Editor e;
    EXPECT_TRUE(GridEditable(e.session, 0));
    ASSERT_TRUE(e.run("OPTIONEN GITTER 3.;").ok());
    EXPECT_TRUE(e.session.gridLocked[2]);
    EXPECT_TRUE(e.checked(110110000));
    EXPECT_TRUE(e.checked(110110300));
    EXPECT_FALSE(e.checked(110110400));
    // An unlocked grid needs no question; a locked one goes ahead only on Yes.
    EXPECT_TRUE(GridEditable(e.session, 4));
    for (const auto& [answer, editable] :
         {std::pair{"Y", true}, std::pair{"N", false}, std::pair{"C", false}}) {
        e.ui.addToken(answer);
        EXPECT_EQ(GridEditable(e.session, 3), editable) << answer;
        e.ui.addToken(answer);
        EXPECT_EQ(GridEditable(e.session, 0), editable) << answer;
    }
    ASSERT_TRUE(e.run("OPTIONEN GITTER 3.;").ok());
    EXPECT_FALSE(e.checked(110110000));
    EXPECT_TRUE(GridEditable(e.session, 0));
}

TEST(WindowCommands, ActiveGridAndToggles) {
    Editor e;
    ASSERT_TRUE(e.run("BEARB CURSOR IN DECKUNGEN;").ok());
    EXPECT_EQ(e.session.activeGrid, 4);
    ASSERT_TRUE(e.run("BEARB CURSOR IN ARTNAMEN;").ok());
    EXPECT_EQ(e.session.activeGrid, 3);

    EXPECT_FALSE(e.checked(110080200));
    ASSERT_TRUE(e.run("OPTIONEN SCHNELL S*AUS;;MODULE AUFZ ANWEISUNG;;MODULE AUFZ AUFZ;").ok());
    EXPECT_TRUE(e.checked(110080200));
    EXPECT_TRUE(e.checked(109090400));
    EXPECT_TRUE(e.checked(109090100));
    // Choosing a language shows the menus without numbers again.
    ASSERT_TRUE(e.run("OPTIONEN SPRACHE;0").ok());
    EXPECT_FALSE(e.checked(109090400));
}

// The boundary between the grids from a macro: from the size the desktop shows while the settings hold
// none, the height for the part the cursor is in.
TEST(WindowCommands, GridBoundaries) {
    Editor e;
    auto& b = e.session.settings().BildEinst;
    b.G1Width = 0;
    b.G1HeightK = b.G1HeightA = 0;
    e.session.shownLeftWidth = 320;
    e.session.shownUpperHeight = 180;
    e.session.activeGrid = 4;
    ASSERT_TRUE(e.run("BEARB CURSOR BEGRENZUNG NACH*RECHTS;;BEARB CURSOR BEGRENZUNG NACH*RECHTS;;BEARB "
                      "CURSOR BEGRENZUNG NACH*OBEN;")
                    .ok());
    EXPECT_EQ(b.G1Width, 420);
    EXPECT_EQ(b.G1HeightA, 155);
    EXPECT_EQ(b.G1HeightK, 0);
}

}  // namespace
}  // namespace tav
