// Running a command of the registry: the recording line it writes first, then its handler or the
// message that it is not available.

#include "editor/dispatch.h"

#include <gtest/gtest.h>

#include "editor/command_registry.h"
#include "editor/session.h"
#include "platform/script_ui.h"
#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::TempDir;

constexpr std::int64_t kRecordToggle = 109090100;
constexpr std::int64_t kClearRecording = 109090200;
constexpr std::int64_t kScatter = 109050100;  // "Streudiagramm", a command not built

struct Editor : testing::EditorFixture {
    Status execute(std::int64_t number, CommandSource source = CommandSource::Menu) {
        return dispatcher.execute(session, *commands::find(number), source);
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& [kind, text] : ui.messages()) out.push_back(text);
        return out;
    }
};

TEST(Dispatch, RecordingLines) {
    Editor run;
    // Room for the cursor: after every command it is kept inside the table.
    run.session.buffer().InsRows('A', 0, 20);
    run.session.buffer().InsCols(0, 20);
    run.session.activeGrid = 4;
    run.session.cursorCol = 2;
    run.session.cursorRow = 11;
    run.session.buffer().mark(MarkSet::MroA, 1);
    run.session.buffer().mark(MarkSet::MroA, 4);
    ASSERT_TRUE(run.execute(kRecordToggle).ok());
    // The command is recorded before it runs, even when it then says it is not available.
    EXPECT_FALSE(run.execute(kScatter).ok());
    EXPECT_EQ(run.messages().back(), "Streudiagramm: noch nicht verfügbar.");

    run.session.buffer().mark(MarkSet::MroK, 0);
    run.session.buffer().mark(MarkSet::McoL, 0);
    run.session.buffer().mark(MarkSet::McoR, 6);
    run.session.buffer().mark(MarkSet::McoR, 2);
    run.session.grid(4).selOn = true;
    (void)run.execute(kScatter, CommandSource::Button);

    // The name grids have one column: theirs is the first releve of the window.
    run.session.buffer().ClearM();
    run.session.grid(4).selOn = false;
    run.session.activeGrid = 3;
    run.session.windowStart.releve = 9;
    (void)run.execute(kScatter);

    EXPECT_EQ(run.session.recordingList().lines(),
              (std::vector<std::string>{
                  "Menu;109090100;Aufzeichnen (ein/aus);CursorPos 4,3,12;MarkedSpecies 2,5",
                  "Menu;109050100;Streudiagramm;CursorPos 4,3,12;MarkedSpecies 2,5",
                  "Button;109050100;Streudiagramm;CursorPos 4,3,12;MarkedHeader 1;MarkedSpecies 2,5;"
                  "MarkedLeft 1;MarkedCols 3,7;MarkedRange",
                  "Menu;109050100;Streudiagramm;CursorPos 3,10,12",
              }));
}

TEST(Dispatch, RecordingOnAndOff) {
    Editor run;
    (void)run.execute(kScatter);  // off: nothing
    ASSERT_TRUE(run.execute(kRecordToggle).ok());
    ASSERT_TRUE(run.execute(kClearRecording).ok());  // empties the list, then records an empty line
    (void)run.execute(kScatter);
    ASSERT_TRUE(run.execute(kRecordToggle).ok());  // switching off is not recorded
    (void)run.execute(kScatter);
    EXPECT_EQ(run.session.recordingList().lines(),
              (std::vector<std::string>{"", "Menu;109050100;Streudiagramm;CursorPos 1,1,1"}));
    EXPECT_FALSE(run.session.recordingList().on());
    // The choice dialogs record only while recording is on.
    EXPECT_FALSE(run.session.ui().RecordLine);
}

TEST(Dispatch, CommandsThatAreNotImplementedSayWhichFeature) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {101150000, "Druckausgabe"},       {106110000, "Zeitreihen"},         {106160000, "Transpose3d"},
        {109010700, "Artenliste löschen"}, {109030300, "Datenmenge löschen"}, {109060400, "Grids paarweise"},
        {110060200, "Codierung Tabellen"},
    };
    for (const auto& [number, name] : cases) {
        Editor run;
        EXPECT_FALSE(run.execute(number).ok()) << number;
        EXPECT_EQ(run.messages(),
                  std::vector<std::string>{std::string(name) + ": noch nicht implementiert."});
    }
}

TEST(Dispatch, BuiltCommands) {
    Editor run;
    ASSERT_TRUE(run.execute(111020000).ok());  // "Version"
    EXPECT_EQ(run.messages().back().rfind("Tavolex, Version ", 0), 0u) << run.messages().back();

    run.session.buffer().mark(MarkSet::McoR, 0);
    ASSERT_TRUE(run.execute(102170900).ok());  // "Markierung aufheben"
    EXPECT_FALSE(run.session.buffer().CheckM());

    // A handler added later replaces the message that the command is not available.
    run.dispatcher.add(kScatter, [](Session& s, const CommandEntry&) {
        s.ui().showInfo("sortiert");
        return Status();
    });
    EXPECT_TRUE(run.dispatcher.available(kScatter));
    ASSERT_TRUE(run.execute(kScatter).ok());
    EXPECT_EQ(run.messages().back(), "sortiert");
}

TEST(Dispatch, InvalidCoversAreReportedOnceAfterTheCommand) {
    Editor run;
    int redrawn = 0;
    run.dispatcher.redisplay = [&redrawn](Session&, const CommandEntry&) { ++redrawn; };
    run.dispatcher.add(kScatter, [](Session& s, const CommandEntry&) {
        for (int i = 0; i < 3; ++i) ++s.coverCounts.CodeErrCt;
        return Status();
    });
    ASSERT_TRUE(run.execute(kScatter).ok());
    ASSERT_TRUE(run.execute(kScatter).ok());
    const std::vector<std::string> shown = run.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].rfind("3 mal eine ungültige Deckung", 0), 0u) << shown[1];
    EXPECT_EQ(redrawn, 2);
}

TEST(Dispatch, ACopyButtonWithASelection) {
    Editor run;
    ASSERT_TRUE(run.execute(kRecordToggle).ok());
    run.session.recordingList().clear();
    run.session.activeGrid = 4;
    run.session.cursorCol = 6;
    run.session.cursorRow = 2;
    run.session.grid(4).selOn = true;
    (void)run.execute(102030000, CommandSource::Button);
    EXPECT_EQ(run.session.recordingList().lines(),
              std::vector<std::string>{"Button;102030000;Kopieren;CursorPos 4,7,3;MarkedRange"});
}

TEST(Dispatch, ANewTableRecordsTheFirstCellOfTheFirstGrid) {
    Editor run;
    run.session.activeGrid = 4;
    run.session.cursorCol = 5;
    run.session.cursorRow = 7;
    run.session.grid(4).selOn = true;
    ASSERT_TRUE(run.session.newTable().ok());
    ASSERT_TRUE(run.execute(kRecordToggle).ok());
    EXPECT_EQ(run.session.recordingList().lines(),
              std::vector<std::string>{"Menu;109090100;Aufzeichnen (ein/aus);CursorPos 1,1,1"});
}

}  // namespace
}  // namespace tav
