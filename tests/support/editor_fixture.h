#pragma once
// An editor without a window: a session over ScriptUi with the program's catalogue and default settings
// in a temporary data folder, and the dispatcher that runs commands and statements on it.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "editor/command_registry.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "editor/statements.h"
#include "platform/script_ui.h"
#include "support/test_files.h"

namespace tav::testing {

inline StartOptions editorStartOptions(const TempDir& dir) {
    StartOptions o;
    o.catalogueFile = std::string(TAVOLEX_SOURCE) + "/data/tavolex.$ms";
    o.dataFolder = dir.path();
    o.settingsSource = SettingsSource::Defaults;
    return o;
}

struct EditorFixture {
    TempDir dir;
    ScriptUi ui;
    Session session{ui, 1};
    Dispatcher dispatcher;

    EditorFixture() { EXPECT_TRUE(session.start(editorStartOptions(dir)).ok()); }
    // Starts over an empty settings file of the folder (so there is a work environment).
    explicit EditorFixture(const std::string& settingsFile) {
        StartOptions o = editorStartOptions(dir);
        writeBytes(dir.file(settingsFile), "");
        o.settingsSource = SettingsSource::File;
        o.settingsFile = dir.file(settingsFile);
        EXPECT_TRUE(session.start(o).ok());
    }
    Status run(std::string_view statements, const MacroCollection* collection = nullptr) {
        return runStatements(session, dispatcher, statements, collection);
    }
    // Opens a sample table of the repository as the table.
    void openSample(const std::string& name) {
        EXPECT_EQ(
            session.openTable(std::string(TAVOLEX_SAMPLES) + "/" + name, kLayoutNative, noProgress()).value(),
            ReadResult::Ok);
    }
    // Opens a table given as its lines (";" between type, name, margin and the cells).
    void openLines(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        writeBytes(dir.file("lines.tab"), text);
        EXPECT_EQ(session.openTable(dir.file("lines.tab"), kLayoutNative, noProgress()).value(),
                  ReadResult::Ok);
    }
    // Runs a command as its menu item does, with the given grid active (no macro runs, so rules report).
    Status execute(std::int64_t number, int grid) {
        session.activeGrid = grid;
        return dispatcher.execute(session, *commands::find(number), CommandSource::Menu);
    }
    // The table as its file.
    std::string savedTable() {
        const std::string file = dir.file("probe.tab");
        EXPECT_TRUE(session.buffer().StoreFile(kLayoutNative, file, noProgress(), false).ok());
        return readBytes(file);
    }
    void markHeaderRows(std::initializer_list<int> rows) {
        for (int r : rows) session.buffer().mark(MarkSet::MroK, r);
    }
    // The rows of a part as the table file writes them.
    std::vector<std::string> rowLines(char part) const {
        std::vector<std::string> out;
        for (int r = 0; r < session.buffer().GetRowCount(part); ++r)
            out.push_back(session.buffer().GetRow(part, r));
        return out;
    }
    std::string lastMessage() const {
        return ui.messages().empty() ? std::string() : ui.messages().back().second;
    }
};

}  // namespace tav::testing
