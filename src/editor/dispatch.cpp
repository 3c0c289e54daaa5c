#include "editor/dispatch.h"

#include <array>
#include <string_view>
#include <utility>

#include "editor/command_handlers.h"
#include "editor/command_registry.h"
#include "editor/command_support.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "editor/sorting.h"
#include "editor/tool_bar.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kRecordToggle = 109090100;    // "Aufzeichnen (ein/aus)"
constexpr std::int64_t kClearRecording = 109090200;  // "Liste leeren"
constexpr std::int64_t kClearMarks = 102170900;      // "Markierung aufheben"
constexpr std::int64_t kVersion = 111020000;         // "Version"

// The commands that are kept in the menus but not implemented, with the name their message shows.
constexpr std::array<std::pair<std::int64_t, std::string_view>, 7> kNotImplementedNames{{
    {101150000, "Druckausgabe"},
    {106110000, "Zeitreihen"},
    {106160000, "Transpose3d"},
    {109010700, "Artenliste löschen"},
    {109030300, "Datenmenge löschen"},
    {109060400, "Grids paarweise"},
    {110060200, "Codierung Tabellen"},
}};

void appendMarks(std::string& line, std::string_view label, const TMenge& set) {
    if (set.empty()) return;
    line += ';';
    line += label;
    char sep = ' ';
    for (int i : set.elements()) {
        line += sep;
        line += std::to_string(i + 1);
        sep = ',';
    }
}

// Recording on also makes the choice dialogs write their lines into the list.
void setRecording(Session& session, bool on) {
    RecordingList& list = session.recordingList();
    list.setOn(on);
    if (on)
        session.ui().RecordLine = [&list](const std::string& line) { list.RecordLine(line); };
    else
        session.ui().RecordLine = nullptr;
}

Status toggleRecording(Session& session, const CommandEntry& entry) {
    setRecording(session, !session.recordingList().on());
    // Switched on, the command records itself; switched off, it is not recorded.
    if (session.recordingList().on())
        session.recordingList().RecordLine(recordingLine(session, entry, CommandSource::Menu));
    return {};
}

Status clearRecording(Session& session, const CommandEntry&) {
    session.recordingList().clear();
    session.recordingList().RecordLine(std::string());
    return {};
}

// "Markierung aufheben": all marks and all selections.
Status clearAllMarks(Session& session, const CommandEntry&) {
    clearMarks(session);
    return {};
}

Status showVersion(Session& session, const CommandEntry&) {
    session.ui().showInfo(session.catalogue().GetMsg("Release"));
    return {};
}

}  // namespace

bool isRecorded(const CommandEntry& entry) {
    return !entry.has(kNeverRecorded);
}

std::string recordingLine(const Session& session, const CommandEntry& entry, CommandSource source) {
    const TEditBuffer& buffer = session.buffer();
    std::string line = source == CommandSource::Button ? "Button;" : "Menu;";
    line += std::to_string(entry.number);
    line += ';';
    line += menuCaption(session.catalogue(), entry.number, entry.caption, false);
    // The name grids have one data column; their column is the first releve of the window.
    const int grid = session.activeGrid;
    const int col = grid == 1 || grid == 3 ? session.windowStart.releve : session.cursorCol;
    line += ";CursorPos " + std::to_string(grid) + ',' + std::to_string(col + 1) + ',' +
            std::to_string(session.cursorRow + 1);
    if (buffer.CheckM()) {
        appendMarks(line, "MarkedHeader", buffer.MroK());
        appendMarks(line, "MarkedSpecies", buffer.MroA());
        appendMarks(line, "MarkedLeft", buffer.McoL());
        appendMarks(line, "MarkedCols", buffer.McoR());
    }
    if (session.anySelection()) line += ";MarkedRange";
    return line;
}

Dispatcher::Dispatcher() {
    add(kRecordToggle, toggleRecording);
    add(kClearRecording, clearRecording);
    add(kClearMarks, clearAllMarks);
    add(kVersion, showVersion);
    addFileCommands(*this);
    addEnvironmentCommands(*this);
    addWindowCommands(*this);
    addToolBarCommands(*this);
    addSortCommands(*this);
    addGridCommands(*this);
    addCursorCommands(*this);
    addFindCommands(*this);
    addFieldCommands(*this);
    addSpeciesListCommands(*this);
    addMarkingRuleCommands(*this);
    addMergeCommands(*this);
    addMarginCommands(*this);
    addValidationCommands(*this);
    addFieldListCommands(*this);
    addFormulaCommands(*this);
    addStatisticsCommands(*this);
    addTestCommands(*this);
    addPairedRowCommands(*this);
    addSimilarityCommands(*this);
    addDiversityCommands(*this);
    addMacroCommands(*this);
    addDiagnosticCommands(*this);
    addOccurrenceCommands(*this);
    addIndicatorCommands(*this);
}

void Dispatcher::addUnnumbered(std::string_view caption, CommandHandler handler) {
    for (const CommandEntry& e : commands::allCommands())
        if (e.number == 0 && e.caption == caption) unnumbered_[&e] = handler;
}

const CommandHandler* Dispatcher::handlerOf(const CommandEntry& entry) const {
    if (entry.number == 0) {
        const auto h = unnumbered_.find(&entry);
        return h == unnumbered_.end() ? nullptr : &h->second;
    }
    const auto h = handlers_.find(entry.number);
    return h == handlers_.end() ? nullptr : &h->second;
}

bool Dispatcher::available(const CommandEntry& entry) const {
    return !entry.has(kSubmenu) && !entry.has(kNotImplemented) && handlerOf(entry) != nullptr;
}

void Dispatcher::add(std::int64_t number, CommandHandler handler) {
    handlers_[number] = std::move(handler);
}

void Dispatcher::add(std::int64_t number, SessionHandler handler) {
    handlers_[number] = [h = std::move(handler)](Session& s, const CommandEntry&) { return h(s); };
}

Status Dispatcher::execute(Session& session, const CommandEntry& entry, CommandSource source) {
    if (entry.has(kSubmenu)) return {};
    if (session.recordingList().on() && isRecorded(entry))
        session.recordingList().RecordLine(recordingLine(session, entry, source));
    if (entry.has(kNotImplemented)) {
        std::string_view name = entry.caption;
        for (const auto& [number, shownName] : kNotImplementedNames)
            if (number == entry.number) name = shownName;
        ShowNotImplemented(session.ui(), name);
        return commandFailed();
    }
    const CommandHandler* handler = handlerOf(entry);
    if (!handler) {
        session.ui().showError(menuCaption(session.catalogue(), entry.number, entry.caption, false) +
                               ": noch nicht verfügbar.");
        return commandFailed();
    }
    if (session.commitEdit) session.commitEdit();
    session.coverCounts = {};
    // What the command changes is one undo step. Running a macro is not: each of its statements is.
    const bool step = entry.owner != Owner::Macros;
    if (step) session.undoList().begin();
    const Status done = (*handler)(session, entry);
    if (step) session.undoList().end();
    settleCursor(session);
    session.coverCounts.CheckErrCount(session.coverInterpreter(), session.ui());
    session.coverCounts = {};
    if (redisplay) redisplay(session, entry);
    return done;
}

}  // namespace tav
