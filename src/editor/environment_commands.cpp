// The commands that change the work environment: the option dialogs that write settings, the settings
// kept aside and in files, the file history, the cover-code choice and its definition file.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/dispatch.h"
#include "editor/file_commands.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

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

Status failed() {
    Status s;
    s.fail();
    return s;
}

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
    if (choice < 0 || choice > 4) return failed();
    session.settings().Sprache = kLanguages[choice];
    session.showCommandNumbers = false;  // the menus are translated anew, without numbers
    return applied(session);
}

// A whole number from a text dialog; nothing when cancelled, a message and nothing when it is no such
// number.
std::optional<int> askNumber(Session& session, std::string_view caption, std::string_view prompt, int current,
                             int low, int high) {
    DialogRequest r;
    r.kind = DialogKind::Text;
    r.name = caption;
    r.caption = caption;
    r.items = {std::string(prompt)};
    r.initial = std::to_string(current);
    const std::optional<std::string> answer = session.ui().dialog(r);
    if (!answer) return std::nullopt;
    const auto n = parseInteger(trimBlanks(*answer));
    if (!n || *n < low || *n > high) {
        session.ui().showError(std::string(caption) + ": \"" + *answer + "\" ist keine ganze Zahl von " +
                               std::to_string(low) + " bis " + std::to_string(high) + ".");
        session.macroAnswers().refuse();
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

Status chooseDecimals(Session& session) {
    auto& d = session.settings().Diversa.Decimals;
    if (const auto n =
            askNumber(session, "Anzahl eingeben", "Fliesskomma-Werte: auf wieviele Stellen?", d, 0, 15))
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
            return failed();
    }
    if (qualifier == delimiter) {
        session.ui().showError("Trennzeichen: das Textzeichen darf nicht das Trennzeichen sein.");
        return failed();
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
    if (choice < 0) return failed();
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
    return written.ok() ? Status() : failed();
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
    return s.ok() ? Status() : failed();
}

Status readSettingsFile(Session& session) {
    const std::optional<std::string> file = askSettingsFile(session, DialogKind::OpenFile);
    if (!file) return {};
    if (!fileExists(*file)) {
        session.ui().showError(session.catalogue().GetMsg("File") + " \"" + *file +
                               "\": " + session.catalogue().GetMsg("NotFoundLC"));
        return failed();
    }
    if (!CheckSaved(session)) return {};
    auto& settings = session.settings();
    const RProjectSettings before = settings.record();
    settings.SetDefaults();
    if (Status read = settings.ReadFromFile(*file); !read) {
        settings.record() = before;  // a file that cannot be read changes nothing
        session.report(read);
        return failed();
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
        return failed();
    }
    const Result<ReadResult> read = session.openTable(file, kLayoutNative, session.progress());
    session.report(read.status());
    return read.value() == ReadResult::Ok ? Status() : failed();
}

}  // namespace

void addEnvironmentCommands(Dispatcher& d) {
    using H = std::function<Status(Session&)>;
    auto add = [&d](std::int64_t number, H h) {
        d.add(number, [h = std::move(h)](Session& s, const CommandEntry&) { return h(s); });
    };
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
        if (const auto n = askNumber(s, "Spaltenbreite", "Breite in Pixel", x, 1, 2000)) x = *n;
        return applied(s);
    });
    add(kRowHeight, [](Session& s) {
        auto& y = s.settings().BildEinst.DimCells.Y;
        if (const auto n = askNumber(s, "Zeilenhöhe", "Höhe in Pixel", y, 1, 2000)) y = *n;
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
