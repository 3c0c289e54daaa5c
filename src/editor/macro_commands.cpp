// The commands of the macros and of the eight macro variables.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/caption_path.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/file_commands.h"
#include "editor/grid_control.h"
#include "editor/macro_collection.h"
#include "editor/macro_commands.h"
#include "editor/session.h"
#include "editor/statements.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kRunMacro = 109100100;          // "Makro ausführen"
constexpr std::int64_t kChooseCollection = 109100200;  // "Makrosammlung wählen"
constexpr std::int64_t kRunStepwise = 109100300;       // "Schrittweise ausführen"
constexpr std::int64_t kRunOverFiles = 109100400;      // "Auf mehrere Dateien anwenden"
constexpr std::int64_t kCheckAndSave = 109100500;      // "Prüfen und speichern"
constexpr std::int64_t kLoadRecording = 109090300;     // "Gespeicherte Aufzeichnungen laden"
constexpr std::int64_t kRegisterCursor = 102180100;    // "Cursor-Position registrieren"
constexpr std::int64_t kGoToRegistered = 102180200;    // "zu registrierter Position"
constexpr std::int64_t kRegisterText = 102180300;      // "Manuell registrieren"
constexpr std::int64_t kRegisterCell = 102180400;      // "Feldinhalt registrieren"
constexpr std::int64_t kInsertVariable = 102180500;    // "Inhalt einsetzen"
constexpr std::int64_t kRegisterMarks = 102180600;     // "Anzahl markierte Zl. od. Sp. registrieren"

std::optional<std::vector<std::string>> askFiles(Session& session, std::string_view caption, bool multi,
                                                 std::string_view initial = {}) {
    DialogRequest r;
    r.kind = DialogKind::OpenFile;
    r.name = caption;
    r.caption = caption;
    r.multi = multi;
    r.initial = initial;
    const std::optional<std::string> answer = session.ui().dialog(r);
    if (!answer) return std::nullopt;
    std::vector<std::string> files;
    for (const std::string& f : splitFields(*answer, "|"))
        if (!f.empty()) files.push_back(f);
    if (files.empty()) return std::nullopt;
    return files;
}

// The collection the settings name, with the messages when it cannot be used.
std::optional<MacroCollection> openCollection(Session& session) {
    const std::string& file = session.settings().MakroName;
    if (file.empty() || !fileExists(file)) {
        session.ui().showError("Makro-Datei " + file + " nicht gefunden. Bitte wählen.");
        return std::nullopt;
    }
    Result<MacroCollection> read = MacroCollection::read(file);
    if (!read) {
        session.ui().showError("Makro-Datei " + file + ": " + read.status().plain());
        return std::nullopt;
    }
    if (read.value().offered().empty()) {
        session.ui().showError(session.catalogue().GetLangMsg("MsgNoData"));
        return std::nullopt;
    }
    return std::move(read.value());
}

// The macro the user picks from the collection's offered entries.
const MacroEntry* chooseMacro(Session& session, const MacroCollection& collection) {
    const std::vector<const MacroEntry*> offered = collection.offered();
    std::vector<std::string> lines;
    for (const MacroEntry* e : offered) lines.push_back(e->listText());
    int chosen = 0;
    if (!TListDlg::Execute(session.ui(), "Makros", lines, false, chosen)) return nullptr;
    if (chosen < 0 || chosen >= static_cast<int>(offered.size())) return nullptr;
    return offered[static_cast<std::size_t>(chosen)];
}

Status runChosenMacro(Session& session, Dispatcher& dispatcher, bool stepwise) {
    const std::optional<MacroCollection> collection = openCollection(session);
    if (!collection) return commandFailed();
    const MacroEntry* entry = chooseMacro(session, *collection);
    if (!entry) return {};  // cancelled
    return runMacro(session, dispatcher, *collection, *entry, stepwise);
}

Status chooseCollection(Session& session) {
    const auto files = askFiles(session, "Makrosammlung wählen", false, session.settings().MakroName);
    if (!files) return {};
    session.settings().MakroName = files->front();
    return {};
}

Status runOverFiles(Session& session, Dispatcher& dispatcher) {
    const auto files = askFiles(session, "Mehrere Dateien wählen", true);
    if (!files) return {};
    if (!CheckSaved(session)) return {};
    const std::optional<MacroCollection> collection = openCollection(session);
    if (!collection) return commandFailed();
    const MacroEntry* entry = chooseMacro(session, *collection);
    if (!entry) return {};
    return runMacroOverFiles(session, dispatcher, *collection, entry->macroText(), *files);
}

Status checkAndSave(Session& session) {
    const CollectionCheck check = checkCollection(session.buffer(), [&session](std::string_view command) {
        return findByCaptionPath(upperFold(command), session.catalogue()) != nullptr;
    });
    if (!check.errors.empty()) {
        int line = 0;
        TListDlg::Execute(session.ui(), "Fehlerliste", check.errors, false, line);
        return commandFailed();
    }
    if (check.lines.empty()) {
        session.ui().showError(session.catalogue().GetLangMsg("MsgNoData"));
        return commandFailed();
    }
    DialogRequest r;
    r.kind = DialogKind::SaveFile;
    r.name = "Makrosammlung speichern";
    r.caption = r.name;
    r.initial = session.settings().MakroName;
    const std::optional<std::string> file = session.ui().dialog(r);
    if (!file || file->empty()) return {};
    if (ConfirmOverwrite(session.ui(), *file) != 'Y') return {};
    std::string text;
    for (const std::string& line : check.lines) text += line + "\r\n";
    if (Status written = writeFileAtomically(*file, encodeTextFile(text)); !written) {
        session.ui().showError("Makro-Datei " + *file + ": " + written.plain());
        return commandFailed();
    }
    session.settings().MakroName = *file;
    return {};
}

Status loadRecording(Session& session) {
    const auto files = askFiles(session, "Gespeicherte Aufzeichnungen laden", false);
    if (!files) return {};
    Result<std::string> bytes = readWholeFile(files->front());
    if (!bytes) {
        session.ui().showError(files->front() + ": " + bytes.status().plain());
        return commandFailed();
    }
    RecordingList& list = session.recordingList();
    list.clear();
    const std::string text = decodeFileText(bytes.value());
    for (std::string_view line : splitLines(text)) list.RecordLine(std::string(line));
    list.RecordLine(std::string());
    return {};
}

// ---- variables

// The variable a command works with, 0 … 7; nothing when the question was cancelled.
std::optional<std::size_t> askVariable(Session& session) {
    const DlgDef def = session.catalogue().GetDlgDef("DlgVar");
    DialogRequest r;
    r.kind = DialogKind::Radio;
    r.name = "DlgVar";
    r.caption = def.caption();
    r.groups = {def.groupCaption()};
    for (std::size_t i = 0; i < session.variables.size(); ++i) {
        std::string item = def.item(static_cast<int>(i));
        if (item.empty()) item = "Variable " + std::to_string(i + 1);
        if (!session.variables[i].empty()) item += ": " + session.variables[i];
        r.items.push_back(std::move(item));
    }
    r.initial = "0";
    const std::optional<std::string> answer = session.ui().dialog(r);
    if (!answer) return std::nullopt;
    const auto i = parseInteger(*answer);
    if (!i || *i < 0 || *i >= static_cast<std::int64_t>(session.variables.size())) return std::nullopt;
    return static_cast<std::size_t>(*i);
}

// The part a grid shows: the header part in grids 1 and 2, the species part in 3 and 4.
char partOfGrid(int grid) {
    return grid == 3 || grid == 4 ? 'A' : 'K';
}

bool cursorInTable(const Session& session) {
    const TEditBuffer& b = session.buffer();
    const int grid = session.activeGrid;
    if (grid < 1 || grid > 4) return false;
    const bool nameGrid = grid == 1 || grid == 3;
    return session.cursorRow >= 0 && session.cursorRow < b.GetRowCount(partOfGrid(grid)) &&
           (nameGrid || (session.cursorCol >= 0 && session.cursorCol < b.GetColCount()));
}

Status withVariable(Session& session, const std::function<Status(std::string&)>& action) {
    const std::optional<std::size_t> v = askVariable(session);
    if (!v) return {};
    return action(session.variables[*v]);
}

Status registerCursor(Session& session) {
    return withVariable(session, [&session](std::string& var) {
        const int grid = session.activeGrid;
        const int col = grid == 1 || grid == 3 ? session.windowStart.releve : session.cursorCol;
        var = std::to_string(grid) + ' ' + std::to_string(col + 1) + ' ' +
              std::to_string(session.cursorRow + 1);
        return Status();
    });
}

Status goToRegistered(Session& session) {
    return withVariable(session, [&session](std::string& var) {
        std::vector<std::int64_t> n;
        for (const std::string& word : splitFields(trimBlanks(var), " "))
            if (!word.empty()) {
                const auto i = parseInteger(word);
                if (!i) return Status();
                n.push_back(*i);
            }
        if (n.size() != 3 || n[0] < 1 || n[0] > 4) return Status();
        const TEditBuffer& b = session.buffer();
        const int grid = static_cast<int>(n[0]);
        if (n[1] < 1 || n[1] > b.GetColCount() || n[2] < 1 || n[2] > b.GetRowCount(partOfGrid(grid)))
            return Status();
        setCursor(session, grid, 'C', 'C', true, false, static_cast<int>(n[1] - 1),
                  static_cast<int>(n[2] - 1));
        return Status();
    });
}

Status registerText(Session& session) {
    return withVariable(session, [&session](std::string& var) {
        DialogRequest r;
        r.kind = DialogKind::Text;
        r.name = "Zu speichernder Text";
        r.caption = r.name;
        r.items = {"Text"};
        r.initial = var;
        if (const std::optional<std::string> text = session.ui().dialog(r)) var = *text;
        return Status();
    });
}

Status registerCell(Session& session) {
    return withVariable(session, [&session](std::string& var) {
        if (!cursorInTable(session)) return Status();
        const int grid = session.activeGrid;
        const char part = partOfGrid(grid);
        const bool nameGrid = grid == 1 || grid == 3;
        var = std::string(nameGrid ? session.buffer().GetZl(part, session.cursorRow)
                                   : session.buffer().Get(part, session.cursorCol, session.cursorRow));
        return Status();
    });
}

Status insertVariable(Session& session) {
    return withVariable(session, [&session](std::string& var) {
        if (!cursorInTable(session)) {
            session.ui().showError("Inhalt einsetzen: der Cursor steht in keiner Zelle der Tabelle.");
            return commandFailed();
        }
        // Typed text rules: ";" would shift the fields of the file and a line break split the line.
        std::string text = var;
        for (char& c : text) {
            if (c == ';') c = ',';
            if (c == '\r' || c == '\n') c = ' ';
        }
        const int grid = session.activeGrid;
        const char part = partOfGrid(grid);
        if (grid == 1 || grid == 3)
            session.buffer().PutZl(part, text, session.cursorRow);
        else
            session.buffer().Put(part, text, session.cursorCol, session.cursorRow);
        return Status();
    });
}

Status registerMarks(Session& session) {
    return withVariable(session, [&session](std::string& var) {
        const TEditBuffer& b = session.buffer();
        const int left = b.McoL().Count(), cols = b.McoR().Count(), header = b.MroK().Count(),
                  species = b.MroA().Count();
        var = std::to_string(left + cols + header + species) + ' ' + std::to_string(left) + ' ' +
              std::to_string(cols) + ' ' + std::to_string(header) + ' ' + std::to_string(species);
        return Status();
    });
}

}  // namespace

Status runMacro(Session& session, Dispatcher& dispatcher, const MacroCollection& collection,
                const MacroEntry& entry, bool stepwise) {
    const std::string running = session.catalogue().GetLangMsg("MsgMakro");
    session.stepMode = stepwise;
    if (stepwise)
        session.ui().showInfo(running);
    else
        session.progress().setStatus(running);
    const Status ran = runMacroText(session, dispatcher, entry.macroText(), &collection);
    session.progress().hideStatus();
    session.stepMode = false;
    session.abortRequested = false;
    if (ran) session.ui().showInfo(session.catalogue().GetLangMsg("MsgMakroE"));
    return ran;
}

void addMacroCommands(Dispatcher& d) {
    d.add(kRunMacro, [&d](Session& s, const CommandEntry&) { return runChosenMacro(s, d, false); });
    d.add(kRunStepwise, [&d](Session& s, const CommandEntry&) { return runChosenMacro(s, d, true); });
    d.add(kChooseCollection, [](Session& s, const CommandEntry&) { return chooseCollection(s); });
    d.add(kRunOverFiles, [&d](Session& s, const CommandEntry&) { return runOverFiles(s, d); });
    d.add(kCheckAndSave, [](Session& s, const CommandEntry&) { return checkAndSave(s); });
    d.add(kLoadRecording, [](Session& s, const CommandEntry&) { return loadRecording(s); });
    d.add(kRegisterCursor, [](Session& s, const CommandEntry&) { return registerCursor(s); });
    d.add(kGoToRegistered, [](Session& s, const CommandEntry&) { return goToRegistered(s); });
    d.add(kRegisterText, [](Session& s, const CommandEntry&) { return registerText(s); });
    d.add(kRegisterCell, [](Session& s, const CommandEntry&) { return registerCell(s); });
    d.add(kInsertVariable, [](Session& s, const CommandEntry&) { return insertVariable(s); });
    d.add(kRegisterMarks, [](Session& s, const CommandEntry&) { return registerMarks(s); });
}

}  // namespace tav
