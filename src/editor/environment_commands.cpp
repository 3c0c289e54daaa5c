// The commands that change the work environment: the option dialogs that write settings, the settings
// kept aside and in files, the file history, the cover-code choice and its definition file.

#include "editor/environment_commands.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/file_commands.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kSwitch = 101010100;            // "Umgebung wählen / neu"
constexpr std::int64_t kAssistant = 101010200;         // "Umgebung einrichten (Assistent)"
constexpr std::int64_t kFunctions = 109110700;         // "Funktionen einrichten"
constexpr std::int64_t kShowSettings = 101010301;      // "Einstellungen anzeigen"
constexpr std::int64_t kDefaults = 101010302;          // "Voreinstellungen übernehmen"
constexpr std::int64_t kKeepAside = 101010303;         // "Zwischenspeichern"
constexpr std::int64_t kTakeBack = 101010304;          // "Laden aus Zwischenspeicher"
constexpr std::int64_t kWriteFile = 101010305;         // "in Datei schreiben"
constexpr std::int64_t kReadFile = 101010306;          // "aus Datei einlesen"
constexpr std::int64_t kClearHistory = 101010500;      // "File-History leeren"
constexpr std::int64_t kLanguage = 110010000;          // "Sprache (Language)"
constexpr std::int64_t kResetFonts = 110020104;        // "Schriften zurücksetzen"
constexpr std::int64_t kCursorScreen = 110020300;      // "Cursor, Bildschirm"
constexpr std::int64_t kResetColours = 110020505;      // "Farben zurücksetzen"
constexpr std::int64_t kMarginWidth = 110020601;       // "Breite der Randfelder"
constexpr std::int64_t kColumnWidth = 110020602;       // "Spaltenbreite"
constexpr std::int64_t kRowHeight = 110020603;         // "Zeilenhöhe"
constexpr std::int64_t kResetSizes = 110020604;        // "Höhe und Breite zurücksetzen"
constexpr std::int64_t kToolSize = 110020701;          // "Grösse der Symbole"
constexpr std::int64_t kMargins = 110030000;           // "Inhalt der Randfelder"
constexpr std::int64_t kCoverCode = 110040100;         // "Deckungscode wählen"
constexpr std::int64_t kConversion = 110040200;        // "Umrechnungsoptionen"
constexpr std::int64_t kDefineCode = 110040300;        // "Deckungscode definieren"
constexpr std::int64_t kEditCode = 110040400;          // "Aktuellen Code editieren"
constexpr std::int64_t kDecimals = 110050000;          // "Dezimalstellen"
constexpr std::int64_t kDelimiter = 110060100;         // "Trennzeichen"
constexpr std::int64_t kExportEncoding = 110060300;    // "Codierung (Export)"
constexpr std::int64_t kChecks = 110070000;            // "Datenprüfung"
constexpr std::int64_t kQuickSearchSetup = 110080100;  // "Schnellsuche einrichten"
constexpr std::int64_t kQuickSearch = 110080200;       // "Schnellsuche (ein/aus)"
constexpr std::int64_t kOverview = 110080300;          // "Übersicht gemäss Eingabe (ein/aus)"

constexpr const char* kLanguages[] = {"Deutsch", "Français", "Italiano", "Latine", "English"};

// The settings changed: every object of the run takes them at once.
Status applied(Session& session) {
    session.applySettings();
    return {};
}

Status chooseLanguage(Session& session) {
    const std::string& current = session.settings().Sprache;
    int choice = 0;
    const std::string_view letters = "DFILE";
    if (!current.empty())
        if (const std::size_t at = letters.find(static_cast<char>(current[0])); at != std::string_view::npos)
            choice = static_cast<int>(at);
    if (!TRadioDlg::Execute(session.ui(), session.catalogue(), "DlgSprachEinst", "", "", choice)) return {};
    if (choice < 0 || choice > 4) return commandFailed();
    session.settings().Sprache = kLanguages[choice];
    session.showCommandNumbers = false;  // the menus are translated anew, without numbers
    return applied(session);
}

Status chooseDecimals(Session& session) {
    auto& d = session.settings().Diversa.Decimals;
    if (const auto n =
            askWholeNumber(session, "Anzahl eingeben", "Fliesskomma-Werte: auf wieviele Stellen?", d, 0, 15))
        d = *n;
    return applied(session);
}

// One character of the user's; nothing for an empty answer or a cancelled question.
std::optional<char32_t> askCharacter(Session& session, std::string_view promptKey) {
    const std::optional<std::string> answer = session.ui().inputText("MsgWhichChar", promptKey, "");
    if (!answer || answer->empty()) return std::nullopt;
    std::size_t pos = 0;
    const char32_t c = nextCodePoint(*answer, pos);
    if (c == U';' || c == U'\r' || c == U'\n') return std::nullopt;
    return c;
}

Status chooseDelimiter(Session& session) {
    auto& d = session.settings().Diversa;
    int choice = d.QualiEinst != 0 ? 3 : d.DelimEinst == '\t' ? 0 : d.DelimEinst == ';' ? 1 : 2;
    if (!TRadioDlg::Execute(session.ui(), session.catalogue(), "DlgDelimEinst", "", "", choice)) return {};
    std::int32_t delimiter = '\t', qualifier = 0;
    switch (choice) {
        case 0:
            break;
        case 1:
            delimiter = ';';
            break;
        case 2:
        case 3:
            if (const auto c = askCharacter(session, "MsgDelimitor"))
                delimiter = static_cast<std::int32_t>(*c);
            if (choice == 3)
                if (const auto q = askCharacter(session, "MsgQualifier"))
                    qualifier = static_cast<std::int32_t>(*q);
            break;
        default:
            return commandFailed();
    }
    if (qualifier == delimiter) {
        session.ui().showError("Trennzeichen: das Textzeichen darf nicht das Trennzeichen sein.");
        return commandFailed();
    }
    d.DelimEinst = delimiter;
    d.QualiEinst = qualifier;
    return applied(session);
}

// A radio dialog over a setting held as a 0-based index (offset 0) or a 1-based choice (offset 1).
template <typename T>
Status chooseIndex(Session& session, std::string_view dialog, T& setting, int offset) {
    int choice = static_cast<int>(setting) - offset;
    if (!TRadioDlg::Execute(session.ui(), session.catalogue(), dialog, "", "", choice)) return {};
    if (choice < 0) return commandFailed();
    setting = static_cast<T>(choice + offset);
    return applied(session);
}

// A two-group check dialog over a settings group kept as a flag string.
Status chooseFlags(Session& session, std::string_view group1, std::string_view group2,
                   const std::function<void(std::string&)>& write,
                   const std::function<void(std::string_view)>& read) {
    std::string flags;
    write(flags);
    const bool answered =
        group2.empty() ? TCheckDlg::Execute(session.ui(), session.catalogue(), group1, "", "", flags)
                       : TDCheckDlg::Execute(session.ui(), session.catalogue(), group1, group2, "", flags);
    if (!answered) return {};
    read(flags);
    return applied(session);
}

Status toggle(Session& session, std::int32_t& setting) {
    setting = setting == 1 ? 0 : 1;
    return applied(session);
}

Status showSettings(Session& session) {
    const std::vector<std::string> lines = session.settings().settingsLines("111");
    int line = 0;
    TListDlg::Execute(session.ui(), "Einstellungen", lines, false, line);
    return {};
}

// The settings now in the record become the environment's: written to its file, kept aside anew, laid
// onto the run, with a new table.
Status renew(Session& session) {
    auto& settings = session.settings();
    Status written = settings.WriteIniSettings();
    session.report(written);
    session.settingsSnapshot = settings.record();
    session.applySettings();
    session.report(session.newTable());
    return written.ok() ? Status() : commandFailed();
}

Status takeBack(Session& session) {
    if (!CheckSaved(session)) return {};
    session.settings().record() = session.settingsSnapshot;
    return renew(session);
}

std::optional<std::string> askSettingsFile(Session& session, DialogKind kind) {
    DialogRequest r;
    r.kind = kind;
    r.name = "Tavolex-Umgebung";
    r.caption = r.name;
    r.initial = session.settings().settingsPath();
    std::optional<std::string> answer = session.ui().dialog(r);
    if (!answer || answer->empty()) return std::nullopt;
    return answer->substr(0, answer->find('|'));
}

Status writeSettingsFile(Session& session) {
    const std::optional<std::string> file = askSettingsFile(session, DialogKind::SaveFile);
    if (!file) return {};
    if (ConfirmOverwrite(session.ui(), *file) != 'Y') return {};
    Status s = session.settings().WriteToFile(*file, "111");
    session.report(s);
    return s.ok() ? Status() : commandFailed();
}

Status readSettingsFile(Session& session) {
    const std::optional<std::string> file = askSettingsFile(session, DialogKind::OpenFile);
    if (!file) return {};
    if (!fileExists(*file)) {
        session.ui().showError(session.catalogue().GetMsg("File") + " \"" + *file +
                               "\": " + session.catalogue().GetMsg("NotFoundLC"));
        return commandFailed();
    }
    if (!CheckSaved(session)) return {};
    auto& settings = session.settings();
    const RProjectSettings before = settings.record();
    settings.SetDefaults();
    if (Status read = settings.ReadFromFile(*file); !read) {
        settings.record() = before;  // a file that cannot be read changes nothing
        session.report(read);
        return commandFailed();
    }
    return renew(session);
}

// Writes the cover-code definition template, empty or with the values of the system in use, to the
// first work file and opens it as the table.
Status openCoverTemplate(Session& session, bool withValues) {
    if (!CheckSaved(session)) return {};
    const std::string file = session.settings().workFilePath(WorkFile::Tp1);
    if (Status written = session.coverInterpreter().WriteToFile(withValues, file); !written) {
        session.report(written);
        return commandFailed();
    }
    const Result<ReadResult> read = session.openTable(file, kLayoutNative, session.progress());
    session.report(read.status());
    return read.value() == ReadResult::Ok ? Status() : commandFailed();
}

Status switchTo(Session& session, const std::string& file) {
    if (!CheckSaved(session)) return {};
    Status s = session.switchEnvironment(file);
    session.report(s);
    return s.ok() ? Status() : commandFailed();
}

Status chooseEnvironment(Session& session) {
    const std::optional<std::string> file = askSettingsFile(session, DialogKind::OpenFile);
    if (!file) return {};
    return switchTo(session, *file);
}

bool makeFolder(Session& session, const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!ec || std::filesystem::is_directory(folder)) return true;
    session.ui().showError("Das Verzeichnis " + folder + " kann nicht erstellt werden.");
    return false;
}

// The standard environment in the data folder, with the parts the user ticks: a species database from
// the program's species list, its indicator values, the sample releve database.
Status standardEnvironment(Session& session) {
    std::string boxes = "111";
    if (!TCheckDlg::Execute(session.ui(), session.catalogue(), "DlgStandardProj", "", "", boxes)) return {};
    auto& settings = session.settings();
    if (Status s = switchTo(session, settings.defaultEnvironmentPath()); !s) return s;
    if (settings.settingsPath() != settings.defaultEnvironmentPath()) return {};  // the table was kept
    const std::string data = settings.dataFolder();
    if (!makeFolder(session, data + "/Rdata/TavLink")) return commandFailed();
    const bool species = boxes.size() > 0 && boxes[0] == '1';
    const bool indicators = boxes.size() > 1 && boxes[1] == '1';
    const bool releves = boxes.size() > 2 && boxes[2] == '1';
    if (species || indicators) {
        const std::string folder = data + "/Artenliste";
        if (!makeFolder(session, folder)) return commandFailed();
        settings.SystEinst = 1;
        settings.ZeiEinst = 1;
        const std::string db = folder + "/ArtList.adb";
        if (species && ConfirmOverwrite(session.ui(), db) == 'Y') {
            const std::string list = settings.programFolder() + "/Daten/ArtList.txt";
            if (!fileExists(list)) {
                session.ui().showError(session.catalogue().GetMsg("File") + " \"" + list +
                                       "\": " + session.catalogue().GetMsg("NotFoundLC"));
                return commandFailed();
            }
            Status made = session.useSpeciesDb(db, true);
            if (made) made.merge(session.importSpeciesList(list, U'\t', session.progress()));
            session.report(made);
            if (!made) return commandFailed();
        } else {
            settings.ArtListName = db;
        }
    }
    // Indicator values and the releve database are set up by modules the program does not have yet.
    if (indicators) session.ui().showError("Zeigerwerte einrichten: noch nicht verfügbar.");
    if (releves) session.ui().showError("Verbreitungsatlas einrichten: noch nicht verfügbar.");
    session.applySettings();
    return indicators || releves ? commandFailed() : Status();
}

Status assistant(Session& session) {
    int choice = 0;
    if (!TRadioDlg::Execute(session.ui(), session.catalogue(), "DlgNoProject", "", "", choice)) return {};
    if (choice == 2) return chooseEnvironment(session);
    return standardEnvironment(session);
}

Status setUpFunctions(Session& session) {
    RExtern& e = session.settings().Extern;
    std::string fields = e.Name + ";" + e.Dir + ";" + e.Cmd + ";";
    // The buttons beside the fields: choose the file or folder, insert the default settings, write the
    // start script for the definitions and exchange folder shown.
    auto button = [&session](std::string_view command, int field, std::vector<std::string>& values) {
        values.resize(std::max<std::size_t>(values.size(), 3));
        if (command == "GetExternDefaults") {
            const auto defaults = externDefaults(session);
            std::copy(defaults.begin(), defaults.end(), values.begin());
            return true;
        }
        if (command == "WriteRFirst") {
            writeFirstStartScript(session, values[0], values[1]);
            return false;
        }
        if (field >= static_cast<int>(values.size())) return false;
        std::optional<std::string> chosen =
            inputFormButton(session, command, values[static_cast<std::size_t>(field)]);
        if (!chosen) return false;
        values[static_cast<std::size_t>(field)] = *chosen;
        return true;
    };
    if (!TInputDlg::Execute(session.ui(), session.catalogue(), "DlgExtFunc", "DlgExtFuncCmds", fields,
                            button))
        return {};
    const std::vector<std::string> parts = splitFields(fields);
    e.Name = parts.size() > 0 ? parts[0] : std::string();
    e.Dir = parts.size() > 1 ? parts[1] : std::string();
    e.Cmd = parts.size() > 2 ? parts[2] : std::string();
    return applied(session);
}

std::string folderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

}  // namespace

std::optional<std::string> inputFormButton(Session& session, std::string_view command,
                                           const std::string& field) {
    DialogRequest r;
    r.name = command;
    r.caption = command;
    if (command == "FindDir") {
        r.kind = DialogKind::Folder;
        r.initial = field;
    } else if (command == "FindFileTab" || command == "FindFileExe") {
        r.kind = DialogKind::OpenFile;
        r.initial = folderOf(field);
    } else {
        return std::nullopt;
    }
    std::optional<std::string> answer = session.ui().dialog(r);
    if (!answer || answer->empty()) return std::nullopt;
    std::string chosen = answer->substr(0, answer->find('|'));
    if (command == "FindFileExe")
        chosen =
            (std::filesystem::path(chosen).parent_path() / std::filesystem::path(chosen).stem()).string();
    return chosen;
}

std::array<std::string, 3> externDefaults(const Session& session) {
    RExtern e;
    session.settings().SetExternDefaults(e);
    return {e.Name, e.Dir, e.Cmd};
}

bool writeFirstStartScript(Session& session, const std::string& definitions, const std::string& exchange) {
    const std::string folder = folderOf(definitions);
    const std::string templ = (std::filesystem::path(folder) / "tavFirst.R").string();
    Result<std::string> bytes = readWholeFile(templ);
    if (!bytes) {
        session.ui().showError(templ + ": " + bytes.status().plain());
        return false;
    }
    DialogRequest r;
    r.kind = DialogKind::SaveFile;
    r.name = "tavFirst.R";
    r.caption = r.name;
    r.initial = "tavFirst.R";
    const std::optional<std::string> target = session.ui().dialog(r);
    if (!target || target->empty() || ConfirmOverwrite(session.ui(), *target) != 'Y') return false;
    auto slashes = [](std::string s) {
        std::replace(s.begin(), s.end(), '\\', '/');
        return s;
    };
    const std::string text = decodeFileText(bytes.value());
    std::string out;
    for (std::string_view line : splitLines(text)) {
        if (line.find("sourcedir <- ") != std::string_view::npos)
            out += "sourcedir <- \"" + slashes(folder) + "\"";
        else if (line.find("workdir <- ") != std::string_view::npos)
            out += "workdir <- \"" + slashes(exchange) + "\"";
        else
            out += line;
        out += "\r\n";
    }
    if (Status written = writeFileAtomically(*target, encodeTextFile(out)); !written) {
        session.ui().showError(*target + ": " + written.plain());
        return false;
    }
    return true;
}

void addEnvironmentCommands(Dispatcher& d) {
    using H = std::function<Status(Session&)>;
    auto add = [&d](std::int64_t number, H h) {
        d.add(number, [h = std::move(h)](Session& s, const CommandEntry&) { return h(s); });
    };
    add(kSwitch, chooseEnvironment);
    add(kAssistant, assistant);
    add(kFunctions, setUpFunctions);
    add(kShowSettings, showSettings);
    add(kDefaults, [](Session& s) {
        s.settings().SetDefaults();
        return applied(s);
    });
    add(kKeepAside, [](Session& s) {
        s.settingsSnapshot = s.settings().record();
        return Status();
    });
    add(kTakeBack, takeBack);
    add(kWriteFile, writeSettingsFile);
    add(kReadFile, readSettingsFile);
    add(kClearHistory, [](Session& s) {
        s.settings().FileHistory = {};
        return Status();
    });
    add(kLanguage, chooseLanguage);
    add(kDecimals, chooseDecimals);
    add(kDelimiter, chooseDelimiter);
    add(kExportEncoding,
        [](Session& s) { return chooseIndex(s, "DlgCodeEinst", s.settings().Diversa.ExportEncoding, 0); });
    add(kCoverCode, [](Session& s) { return chooseIndex(s, "DlgDeckEinst", s.settings().DeckEinst, 1); });
    add(kConversion,
        [](Session& s) { return chooseIndex(s, "DlgGesDeckEinst", s.settings().GesDeckEinst, 1); });
    add(kMarginWidth,
        [](Session& s) { return chooseIndex(s, "DlgRandBreite", s.settings().Diversa.RandBreite, 0); });
    add(kToolSize,
        [](Session& s) { return chooseIndex(s, "DlgToolSize", s.settings().BildEinst.ToolSize, 0); });
    add(kDefineCode, [](Session& s) { return openCoverTemplate(s, false); });
    add(kEditCode, [](Session& s) { return openCoverTemplate(s, true); });
    add(kCursorScreen, [](Session& s) {
        auto& st = s.settings();
        return chooseFlags(
            s, "DlgCursEinst", "DlgSchirmEinst", [&st](std::string& f) { st.SetCurScrEinst(f); },
            [&st](std::string_view f) { st.GetCurScrEinst(f); });
    });
    add(kMargins, [](Session& s) {
        auto& st = s.settings();
        return chooseFlags(
            s, "DlgEditorStandard", "DlgEditorExtended", [&st](std::string& f) { st.SetEditorMargin(f); },
            [&st](std::string_view f) { st.GetEditorMargin(f); });
    });
    add(kChecks, [](Session& s) {
        auto& st = s.settings();
        return chooseFlags(
            s, "DlgPrfSet", "DlgPrfArt", [&st](std::string& f) { st.SetPruef(f); },
            [&st](std::string_view f) { st.GetPruef(f); });
    });
    add(kQuickSearchSetup, [](Session& s) {
        auto& st = s.settings();
        return chooseFlags(
            s, "DlgSchnellEinst", "", [&st](std::string& f) { st.SetSchnellEinst(f); },
            [&st](std::string_view f) { st.GetSchnellEinst(f); });
    });
    add(kQuickSearch, [](Session& s) { return toggle(s, s.settings().Diversa.Schnellsuche); });
    add(kOverview, [](Session& s) { return toggle(s, s.settings().Diversa.UeberEingabe); });
    add(kColumnWidth, [](Session& s) {
        auto& x = s.settings().BildEinst.DimCells.X;
        if (const auto n = askWholeNumber(s, "Spaltenbreite", "Breite in Pixel", x, 1, 2000)) x = *n;
        return applied(s);
    });
    add(kRowHeight, [](Session& s) {
        auto& y = s.settings().BildEinst.DimCells.Y;
        if (const auto n = askWholeNumber(s, "Zeilenhöhe", "Höhe in Pixel", y, 1, 2000)) y = *n;
        return applied(s);
    });
    add(kResetSizes, [](Session& s) {
        s.settings().BildEinst.DimCells = {};
        return applied(s);
    });
    add(kResetFonts, [](Session& s) {
        s.settings().SetMainFontDefaults();
        return applied(s);
    });
    add(kResetColours, [](Session& s) {
        s.settings().SetColorDefaults();
        return applied(s);
    });
}

}  // namespace tav
