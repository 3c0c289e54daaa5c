#include "editor/file_commands.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/file_io.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kNew = 101020000;                                // "Neu"
constexpr std::int64_t kOpen = 101030000;                               // "Öffnen"
constexpr std::int64_t kReopen = 101040000;                             // "Wieder öffnen"
constexpr std::int64_t kClose = 101050000;                              // "Schliessen"
constexpr std::int64_t kSave = 101060000;                               // "Speichern"
constexpr std::int64_t kSaveAs = 101070000;                             // "Speichern unter"
constexpr std::int64_t kSaveTemplate = 101080000;                       // "Speichern als Vorlage"
constexpr std::int64_t kTemporary = 101120100;                          // "Tabelle temporär machen"
constexpr std::int64_t kHistory[] = {101160000, 101170000, 101180000};  // "1", "2", "3"

constexpr std::size_t kShortPath = 32;

Status outcome(bool ok) {
    return ok ? Status() : commandFailed();
}

std::string folderOf(const std::string& file) {
    return std::filesystem::path(file).parent_path().string();
}

std::string withoutFolder(const std::string& file) {
    return std::filesystem::path(file).filename().string();
}

bool isUnnamed(const std::string& name) {
    return name.empty() || name == kUnnamedTable;
}

bool saveAsTemplate(Session& session) {
    auto& settings = session.settings();
    const std::string& env = settings.settingsPath();
    if (env.empty() || isNoSettingsFile(env)) {
        session.ui().showError(
            "Speichern als Vorlage: ohne Arbeitsumgebung gibt es keine Vorlage (Umgebung wählen / neu).");
        return false;
    }
    const Status stored =
        session.buffer().StoreFile(kLayoutNative, settings.templateFilePath(), session.progress(), false);
    session.report(stored);
    if (!stored) return false;
    if (!isUnnamed(session.fileName())) {
        settings.VorName = session.fileName();
    } else if (!settings.VorName.empty()) {
        const std::filesystem::path p(settings.VorName);
        const std::string file = p.filename().string();
        if (!file.starts_with("modified_"))
            settings.VorName = (p.parent_path() / ("modified_" + file)).string();
    } else {
        settings.VorName = std::string(kUnnamedTable);
    }
    session.buffer().BuildKopf();
    return true;
}

bool reopen(Session& session) {
    std::vector<std::string> entries;
    for (const std::string& e : session.settings().FileHistory)
        if (!e.empty()) entries.push_back(e);
    if (entries.empty()) return OpenTab(session, kLayoutNative, true, "");
    std::vector<std::string> lines;
    for (const std::string& e : entries) lines.push_back(withoutFolder(e) + "          ( " + e + " )");
    int chosen = 0;
    if (!TListDlg::Execute(session.ui(), "Datei wählen", lines, false, chosen)) return true;
    if (chosen < 0 || chosen >= static_cast<int>(entries.size())) return true;
    return OpenTab(session, kLayoutNative, false, entries[static_cast<std::size_t>(chosen)]);
}

Status makeTemporary(Session& session) {
    std::string argument;
    // Only a macro gives the name; the user's command just drops it.
    if (session.macroAnswers().NextMacroAnswer(argument)) argument = "-";
    session.setFileName(temporaryName(session.fileName(), argument));
    return {};
}

// ---- templates kept in the header-field list

constexpr std::string_view kTemplateKey = "$/Vorlage";

struct StoredTemplate {
    std::string name;
    std::vector<std::string> fields;  // triples: row type, row name, margin
};

// The lines of the header-field list, or nothing with a message when there is none.
std::optional<std::vector<std::string>> fieldListLines(Session& session) {
    const std::string& file = session.settings().AngName;
    const Catalogue& cat = session.catalogue();
    if (file.empty() || !fileExists(file)) {
        session.ui().showError(cat.GetMsg("File") + " \"" + file + "\": " + cat.GetMsg("NotFoundLC"));
        return std::nullopt;
    }
    Result<std::string> bytes = readWholeFile(file);
    if (!bytes) {
        session.ui().showError(file + ": " + bytes.status().plain());
        return std::nullopt;
    }
    const std::string text = decodeFileText(bytes.value());
    std::vector<std::string> lines;
    for (std::string_view line : splitLines(text)) lines.emplace_back(line);
    return lines;
}

std::vector<StoredTemplate> storedTemplates(const std::vector<std::string>& lines) {
    std::vector<StoredTemplate> out;
    for (const std::string& line : lines) {
        std::vector<std::string> f = splitFields(line);
        if (f.size() < 2 || f[1] != kTemplateKey) continue;
        StoredTemplate t;
        t.name = f.size() > 3 ? f[3] : std::string();
        t.fields.assign(f.begin() + std::min<std::ptrdiff_t>(4, static_cast<std::ptrdiff_t>(f.size())),
                        f.end());
        out.push_back(std::move(t));
    }
    return out;
}

// Writes the chosen template as the template table: one header row per triple.
bool writeTemplateTable(Session& session, const StoredTemplate& chosen) {
    auto& settings = session.settings();
    if (settings.settingsPath().empty() || isNoSettingsFile(settings.settingsPath())) {
        session.ui().showError(
            "Vorlage setzen: ohne Arbeitsumgebung gibt es keine Vorlage (Umgebung wählen / neu).");
        return false;
    }
    std::string text;
    for (std::size_t i = 0; i < chosen.fields.size(); i += 3) {
        const std::string type = chosen.fields[i].empty() ? std::string(" ") : chosen.fields[i];
        const std::string name = i + 1 < chosen.fields.size() ? chosen.fields[i + 1] : std::string();
        const std::string margin = i + 2 < chosen.fields.size() ? chosen.fields[i + 2] : std::string();
        text += type + ';' + name + ';' + margin + "\r\n";
    }
    if (Status written = writeFileAtomically(settings.templateFilePath(), encodeTextFile(text)); !written) {
        session.ui().showError(settings.templateFilePath() + ": " + written.plain());
        return false;
    }
    settings.VorName = chosen.name.empty() ? std::string("NoName") : chosen.name;
    return true;
}

bool setTemplate(Session& session) {
    const auto lines = fieldListLines(session);
    const std::vector<StoredTemplate> stored =
        lines ? storedTemplates(*lines) : std::vector<StoredTemplate>{};
    std::vector<std::string> items;
    for (const StoredTemplate& t : stored) items.push_back(t.name);
    items.emplace_back();
    items.emplace_back("< leere Vorlage >");
    items.emplace_back("Kopfdaten im Editor ---> Vorlage");
    int chosen = 0;
    if (!TListDlg::Execute(session.ui(), "Vorlage setzen", items, false, chosen)) return true;
    const int n = static_cast<int>(stored.size());
    if (chosen == n + 2) return saveAsTemplate(session);
    if (chosen == n + 1) return writeTemplateTable(session, StoredTemplate{});
    if (chosen >= 0 && chosen < n)
        return writeTemplateTable(session, stored[static_cast<std::size_t>(chosen)]);
    return true;
}

// Appends the header rows of the table as a template to the header-field list. Every line the list had
// is kept (an empty one as a blank), and the list as it was becomes the backup.
bool editorToFieldList(Session& session) {
    const auto lines = fieldListLines(session);
    if (!lines) return false;
    const std::string current = std::filesystem::path(session.fileName()).stem().string();
    const std::optional<std::string> name =
        session.ui().inputText("Wie soll die Vorlage heissen?", "bitte Text eingeben", current);
    if (!name) return true;
    std::string text;
    for (const std::string& line : *lines) text += (line.empty() ? std::string(" ") : line) + "\r\n";
    std::string entry = "T;" + std::string(kTemplateKey) + ";;" + *name;
    const TEditBuffer& b = session.buffer();
    for (int r = 0; r < b.GetRowCount('K'); ++r)
        entry += ';' + std::string(1, b.GetTyp('K', r)) + ';' + std::string(b.GetZl('K', r)) + ';' +
                 std::string(b.GetP('K', r));
    text += entry + "\r\n";
    const std::string& file = session.settings().AngName;
    if (Status written = writeFileAtomically(file, encodeTextFile(text), replaceExtension(file, ".~ta"));
        !written) {
        session.ui().showError(file + ": " + written.plain());
        return false;
    }
    return true;
}

// A new table with the header rows of a stored template.
bool fieldListToEditor(Session& session) {
    const auto lines = fieldListLines(session);
    if (!lines) return false;
    const std::vector<StoredTemplate> stored = storedTemplates(*lines);
    std::vector<std::string> items;
    for (const StoredTemplate& t : stored) items.push_back(t.name);
    int chosen = 0;
    if (!TListDlg::Execute(session.ui(), "Vorlage aus Angabendatenbank --> Editor", items, false, chosen))
        return true;
    if (chosen < 0 || chosen >= static_cast<int>(stored.size())) return true;
    if (!OpenTab(session, kLayoutNative, false, "")) return false;
    const StoredTemplate& t = stored[static_cast<std::size_t>(chosen)];
    TEditBuffer& b = session.buffer();
    for (std::size_t i = 0; i < t.fields.size(); i += 3) {
        const int row = b.GetRowCount('K');
        b.InsRow('K', row);
        std::string line = t.fields[i] + ';' + (i + 1 < t.fields.size() ? t.fields[i + 1] : std::string()) +
                           ';' + (i + 2 < t.fields.size() ? t.fields[i + 2] : std::string());
        if (!b.PutRow('K', line, row))
            b.PutZl('K', i + 1 < t.fields.size() ? t.fields[i + 1] : std::string(), row);
    }
    return true;
}

}  // namespace

std::string temporaryName(std::string_view current, std::string_view argument) {
    std::string text(argument);
    if (text.empty() || text == "-") return std::string(kUnnamedTable);
    const bool before = text.front() == '*';
    const bool prefix = !before && text.back() == '*';
    if (before) text.erase(0, 1);
    if (prefix) text.pop_back();
    std::replace(text.begin(), text.end(), '*', ' ');
    const std::filesystem::path p{std::string(current)};
    if (before) return (p.parent_path() / (p.stem().string() + text + p.extension().string())).string();
    if (prefix) return (p.parent_path() / (text + p.filename().string())).string();
    return text;
}

void PutFileHist(Session& session) {
    const std::string name = session.fileName();
    if (isUnnamed(name)) return;
    auto& history = session.settings().FileHistory;
    std::size_t at = history.size() - 1;
    for (std::size_t i = history.size(); i-- > 0;)
        if (history[i] == name) {
            at = i;
            break;
        }
    for (std::size_t i = at; i > 0; --i) history[i] = history[i - 1];
    history[0] = name;
}

std::string GetFileHist(const Session& session, int n, bool shorten) {
    for (const std::string& e : session.settings().FileHistory) {
        if (e.empty() || --n > 0) continue;
        if (!shorten || charLength(e) <= kShortPath) return e;
        const std::filesystem::path p(e);
        auto part = p.begin();
        std::filesystem::path first = *part;
        if (p.has_root_directory() && ++part != p.end()) first /= *part;
        return first.string() + "/.../" + p.filename().string();
    }
    return {};
}

bool CheckSaved(Session& session) {
    PutFileHist(session);
    if (!session.modified()) return true;
    const char answer = AskYesNoCancel(
        session.ui(), "\"" + session.fileName() + "\" " + session.catalogue().GetLangMsg("MsgFileChanged"));
    if (answer == 'N') return true;
    if (answer != 'Y') return false;
    if (SaveTab(session, false)) return true;
    session.setModified(true);
    return false;
}

bool OpenTab(Session& session, int layout, bool ask, const std::string& name) {
    if (!CheckSaved(session)) return false;
    std::string file = name;
    auto& settings = session.settings();
    if (ask) {
        const std::optional<std::string> chosen =
            askFile(session, DialogKind::OpenFile,
                    layout == kLayoutNative ? "Tabelle öffnen" : "Textdatei öffnen", settings.InitialDir);
        if (!chosen) return false;
        file = *chosen;
        settings.InitialDir = folderOf(file);
    } else if (!name.empty()) {
        settings.InitialDir = folderOf(name);
    }
    if (file.empty()) {
        session.report(session.newTable());
        return true;
    }
    if (session.settings().Diversa.Vorlage == 1 && !setTemplate(session)) return false;
    const Catalogue& cat = session.catalogue();
    if (!fileExists(file)) {
        session.ui().showError(cat.GetMsg("File") + " \"" + file + "\": " + cat.GetMsg("NotFoundLC"));
        session.report(session.newTable());
        return false;
    }
    if (::access(file.c_str(), W_OK) != 0) {
        session.ui().showInfo("Die Datei " + file +
                              " ist schreibgeschützt.\nIch kann sie nicht öffnen. Bitte freigeben.");
        session.report(session.newTable());
        return false;
    }
    const Result<ReadResult> read = session.openTable(file, layout, session.progress());
    session.report(read.status());
    return read.value() == ReadResult::Ok;
}

bool SaveTab(Session& session, bool saveAs) {
    if (session.commitEdit) session.commitEdit();
    std::string name = session.fileName();
    if (saveAs || isUnnamed(name)) {
        const std::optional<std::string> chosen = askFile(session, DialogKind::SaveFile, "Tabelle speichern",
                                                          isUnnamed(name) ? std::string() : name);
        if (!chosen) return false;
        session.settings().InitialDir = folderOf(*chosen);
        if (ConfirmOverwrite(session.ui(), *chosen) != 'Y') return false;
        name = *chosen;
    }
    const Status saved = session.saveTable(name, session.progress());
    session.report(saved);
    return saved.ok();
}

void addFileCommands(Dispatcher& d) {
    auto opens = [](bool ask) {
        return [ask](Session& s, const CommandEntry&) { return outcome(OpenTab(s, kLayoutNative, ask, "")); };
    };
    d.add(kNew, opens(false));
    d.add(kClose, opens(false));
    d.add(kOpen, opens(true));
    d.add(kReopen, [](Session& s, const CommandEntry&) { return outcome(reopen(s)); });
    d.add(kSave, [](Session& s, const CommandEntry&) { return outcome(SaveTab(s, false)); });
    d.add(kSaveAs, [](Session& s, const CommandEntry&) {
        const bool saved = SaveTab(s, true);
        PutFileHist(s);
        return outcome(saved);
    });
    d.add(kSaveTemplate, [](Session& s, const CommandEntry&) {
        if (s.commitEdit) s.commitEdit();
        return outcome(saveAsTemplate(s));
    });
    d.addUnnumbered("Vorlage setzen",
                    [](Session& s, const CommandEntry&) { return outcome(setTemplate(s)); });
    d.addUnnumbered("Editor --> Vorlage in den Angaben",
                    [](Session& s, const CommandEntry&) { return outcome(editorToFieldList(s)); });
    d.addUnnumbered("Vorlage in den Angaben ---> Editor",
                    [](Session& s, const CommandEntry&) { return outcome(fieldListToEditor(s)); });
    d.addUnnumbered("Vorlage jedesmal erfragen (ein/aus)", [](Session& s, const CommandEntry&) {
        auto& ask = s.settings().Diversa.Vorlage;
        ask = ask == 1 ? 0 : 1;
        return Status();
    });
    d.add(kTemporary, [](Session& s, const CommandEntry&) { return makeTemporary(s); });
    for (int n = 1; n <= 3; ++n)
        d.add(kHistory[n - 1], [n](Session& s, const CommandEntry&) {
            const std::string file = GetFileHist(s, n, false);
            if (file.empty()) return Status();  // the item is hidden
            return outcome(OpenTab(s, kLayoutNative, false, file));
        });
}

}  // namespace tav
