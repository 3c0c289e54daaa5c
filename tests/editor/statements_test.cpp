// Running macro statements: caption paths, the answers of their dialogs, and where a failed run is marked.

#include "editor/statements.h"

#include <gtest/gtest.h>

#include "editor/dispatch.h"
#include "editor/session.h"
#include "platform/script_ui.h"
#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::TempDir;

constexpr std::int64_t kSortRows = 103110000;

TEST(Statements, RunsUntilTheEndOrTheFirstFailure) {
    struct Case {
        const char* text;
        bool macro;          // the first field is a header
        const char* result;  // "" when the run succeeds; else the marked text of the failure
        int sorted;          // how often the stand-in sort got its answer
    };
    const Case cases[] = {
        {"ZEILEN SORT;0;HILFE VERS;", false, "", 1},
        {"Kopf;ZEILEN SORT;0", true, "", 1},
        {"ZEILEN SORT;0; ;;GIBTS NICHT;", false, "", 1},      // a blank command ends the run
        {"ZEILEN SORT;0;&WAS;;ZEILEN SORT;1", false, "", 2},  // unknown control statements do nothing
        {"GIBTS NICHT;x;ZEILEN SORT;0", false, "GIBTS NICHT;x <-- ERROR ;ZEILEN SORT;0", 0},
        {"ZEILEN SORT;0;HILFE;", false, "ZEILEN SORT;0;HILFE; <-- ERROR ", 1},                // a submenu
        {"ZEILEN SORT;9;ZEILEN SORT;0", false, "ZEILEN SORT;9 <-- ERROR ;ZEILEN SORT;0", 0},  // refused
        {"ZEILEN SORT;+;ZEILEN SORT", false, "", 0},  // the user answers, and cancels: the run goes on
        {"DATEI DRUCK;;ZEILEN SORT;0", false, "DATEI DRUCK; <-- ERROR ;ZEILEN SORT;0", 0},
        {"&SUB;andere;ZEILEN SORT;0", false, "&SUB;andere <-- ERROR ;ZEILEN SORT;0", 0},
        // A recorded line is no statement: its fields are not caption paths.
        {"Button;102030000;Kopieren;CursorPos 4,7,3", false,
         "Button;102030000 <-- ERROR ;Kopieren;CursorPos 4,7,3", 0},
    };
    for (const Case& c : cases) {
        testing::EditorFixture editor;
        Session& session = editor.session;
        Dispatcher& dispatcher = editor.dispatcher;
        // A stand-in with one dialog of two items; cancelled, it does nothing, as a command does.
        int sorted = 0;
        dispatcher.add(kSortRows, [&sorted](Session& s, const CommandEntry&) {
            if (s.ui().radioDialog("DlgSprachEinst", 2, 0)) ++sorted;
            return Status();
        });
        const Status s =
            c.macro ? runMacroText(session, dispatcher, c.text) : runStatements(session, dispatcher, c.text);
        EXPECT_EQ(sorted, c.sorted) << c.text;
        EXPECT_FALSE(session.macroAnswers().running()) << c.text;
        if (*c.result == 0) {
            EXPECT_TRUE(s.ok()) << c.text << ": " << s.plain();
            continue;
        }
        ASSERT_FALSE(s.ok()) << c.text;
        const std::string shown = s.plain();
        EXPECT_EQ(shown.substr(shown.rfind("\n\n") + 2), c.result) << shown;
    }
}

}  // namespace
}  // namespace tav
