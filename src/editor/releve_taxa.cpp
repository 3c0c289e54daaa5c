#include "editor/releve_taxa.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "table/cell_stats.h"

namespace tav {

namespace {

constexpr std::int64_t kShowList = 107050100;         // "Arten in akt. Spalte anzeigen" (F5)
constexpr std::int64_t kByEntry = 107050200;          // "Nach Eingabe sortiert anzeigen (ein/aus)"
constexpr std::int64_t kListContents = 107050300;     // "Inhalte für Auflistung von Arten"
constexpr std::int64_t kResetContents = 107050400;    // "Inhalte zurücksetzen"
constexpr std::int64_t kListsIntoHeader = 107010100;  // "Artenlisten in die Kopfdaten"
constexpr std::string_view kContentsInMargin = "Inhalte in Randspalte setzen";  // no number
constexpr std::int64_t kFilterSet = 110090100;     // "Eingabefilter" › "Setzen"
constexpr std::int64_t kFilterClear = 110090200;   // … › "Löschen"
constexpr std::int64_t kFilterToggle = 110090300;  // … › "Eingabefilter (ein/aus)"

constexpr const char* kColumnTitles[kListColumnCount] = {"Frequenz",   "Freq. Auswahl",     "Deckung",
                                                         "Stetigkeit", "Lateinischer Name", "Datensatz-Nr",
                                                         "Familie",    "Species scores"};

std::string percentText(double x) {
    return formatNumber(x * 100.0, 0) + "%";
}

// The species database's record for a name, -1 without one (or when the name is not unique).
int recordOf(Session& s, std::string_view name) {
    const std::vector<SpeciesMatch> found = s.lookupSpecies(std::string(name));
    return found.size() == 1 ? found.front().key : -1;
}

bool shownColumn(const Session& s, int column) {
    const std::string& flags = s.speciesListColumns;
    return static_cast<std::size_t>(column) < flags.size() && flags[static_cast<std::size_t>(column)] == '1';
}

// The shown columns of species row r for the chosen releves (one releve: its cover as entered).
std::vector<std::string> listFields(Session& s, CellStats& stats, const TMenge& chosen, bool oneReleve,
                                    int r) {
    const TEditBuffer& b = s.buffer();
    const CellStats::Summary& all = s.margins().summary();
    const int cols = b.GetColCount();
    const std::string_view name = b.GetZl('A', r);
    const int record =
        shownColumn(s, kListLatinName) || shownColumn(s, kListRecord) || shownColumn(s, kListFamily)
            ? recordOf(s, name)
            : -1;
    const TArtDb* db = s.speciesDb();
    std::vector<std::string> out;
    for (int c = 0; c < kListColumnCount; ++c) {
        if (!shownColumn(s, c)) continue;
        std::string field;
        switch (c) {
            case kListFrequency:
                field = std::to_string(all.rowFreq[static_cast<std::size_t>(r)]);
                break;
            case kListFreqSelection:
                field = std::to_string(stats.GetFreq('A', &chosen, r, true));
                break;
            case kListCover:
                field = oneReleve ? std::string(b.Get('A', chosen.elements().front(), r))
                                  : formatNumber(stats.GetRowDeck('A', &chosen, r, true), 1);
                break;
            case kListConstancy:
                field = percentText(
                    cols > 0 ? static_cast<double>(all.rowFreq[static_cast<std::size_t>(r)]) / cols : 0.0);
                break;
            case kListLatinName:
                if (record >= 0 && db) field = db->GetLat(record);
                break;
            case kListRecord:
                if (record >= 0) field = std::to_string(record);
                break;
            case kListFamily:
                if (record >= 0 && db) field = db->GetFam(record);
                break;
            case kListScores:
                field = b.ReadP('A', 'S', r);
                break;
            default:
                break;
        }
        out.push_back(std::move(field));
    }
    return out;
}

}  // namespace

SpeciesList speciesList(Session& s) {
    const TEditBuffer& b = s.buffer();
    SpeciesList out;
    const int cols = b.GetColCount(), rows = b.GetRowCount('A');
    const bool nameGrid = s.activeGrid == 1 || s.activeGrid == 3;
    TMenge chosen;
    if (!b.McoR().empty()) {
        chosen = b.McoR();
        out.caption = "Arten in den ausgewählten Aufnahmen";
    } else if (nameGrid || s.activeGrid < 1 || cols == 0) {
        if (cols > 0) chosen.Fill(0, cols - 1);
        out.caption = "Arten in der Tabelle";
    } else {
        chosen.Add(std::clamp(s.cursorCol, 0, cols - 1));
        out.caption = "Arten in der Aufnahme";
    }
    const bool oneReleve = out.caption == "Arten in der Aufnahme";
    std::string title = "Art";
    for (int c = 0; c < kListColumnCount; ++c)
        if (shownColumn(s, c)) title += std::string(";") + kColumnTitles[c];
    out.lines.push_back(title);

    CellStats stats(b, s.coverInterpreter());
    // The species present in the chosen releves, in the order of the table; with the entry list, the
    // entered ones first.
    std::vector<int> present;
    for (int r = 0; r < rows; ++r)
        if (b.GetTyp('A', r) == 'A' && stats.GetFreq('A', &chosen, r, false) > 0) present.push_back(r);
    if (oneReleve && s.settings().Diversa.UeberEingabe != 0 && s.entryList.releve == s.cursorCol) {
        std::vector<int> ordered;
        for (const std::string& entry : s.entryList.names) {
            const std::string name = entry.substr(0, entry.rfind(';'));
            for (int r : present)
                if (b.GetZl('A', r) == name &&
                    std::find(ordered.begin(), ordered.end(), r) == ordered.end()) {
                    ordered.push_back(r);
                    break;
                }
        }
        for (int r : present)
            if (std::find(ordered.begin(), ordered.end(), r) == ordered.end()) ordered.push_back(r);
        present = std::move(ordered);
    }
    for (int r : present) {
        std::string line(b.GetZl('A', r));
        for (const std::string& field : listFields(s, stats, chosen, oneReleve, r)) line += ";" + field;
        out.lines.push_back(line);
    }
    return out;
}

std::string listContentsMargin(Session& s, int row) {
    const TEditBuffer& b = s.buffer();
    if (row < 0 || row >= b.GetRowCount('A') || b.GetTyp('A', row) != 'A') return {};
    TMenge chosen = b.McoR();
    if (chosen.empty() && b.GetColCount() > 0) chosen.Fill(0, b.GetColCount() - 1);
    CellStats stats(b, s.coverInterpreter());
    std::string out;
    for (const std::string& field : listFields(s, stats, chosen, false, row)) {
        if (!out.empty()) out += "  ";
        out += field;
    }
    return out;
}

void noteEntry(Session& s, int col, int row) {
    if (s.settings().Diversa.UeberEingabe == 0) return;
    EntryList& e = s.entryList;
    const int releves = s.buffer().GetColCount();
    if (e.releve != col || e.releves != releves) {
        e.names.clear();
        e.releve = col;
        e.releves = releves;
    }
    e.names.push_back(std::string(s.buffer().GetZl('A', row)) + ";" + std::to_string(e.names.size() + 1));
}

namespace {

// A new header row "Artenliste" holding in each releve the names of its species, ", "-separated.
Status listsIntoHeader(Session& s) {
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount();
    std::vector<std::string> lists(static_cast<std::size_t>(cols));
    for (int r = 0; r < b.GetRowCount('A'); ++r) {
        if (b.GetTyp('A', r) != 'A') continue;
        const std::string name(b.GetZl('A', r));
        for (int c = 0; c < cols; ++c) {
            if (trimBlanks(b.Get('A', c, r)).empty()) continue;
            std::string& l = lists[static_cast<std::size_t>(c)];
            if (!l.empty()) l += ", ";
            l += name;
        }
    }
    const int at = b.GetRowCount('K');
    b.InsRow('K', at);
    b.PutZl('K', "Artenliste", at);
    b.PutTyp('K', 'T', at);
    for (int c = 0; c < cols; ++c) b.Put('K', lists[static_cast<std::size_t>(c)], c, at);
    return {};
}

Status showList(Session& s) {
    SpeciesList list = speciesList(s);
    std::string res;
    TGridDlg::Execute(s.ui(), list.caption, list.lines, 1, res);
    return {};
}

Status chooseContents(Session& s) {
    DialogRequest r;
    r.kind = DialogKind::Check;
    r.name = "Inhalte für Auflistung von Arten";
    r.caption = r.name;
    r.items.assign(std::begin(kColumnTitles), std::end(kColumnTitles));
    r.initial = s.speciesListColumns;
    const std::optional<std::string> answer = s.ui().dialog(r);
    if (!answer) return {};
    std::string flags = *answer;
    flags.resize(kListColumnCount, '0');
    for (char& c : flags) c = c == '1' ? '1' : '0';
    s.speciesListColumns = flags;
    return {};
}

// Every species row of a table file whose name the species database knows exactly once joins the
// filter; while it is on, looking names up offers only those.
Status setFilter(Session& s) {
    if (!s.speciesDb()) {
        s.ui().showInfo("Keine Artenliste aktiv");
        return {};
    }
    const std::optional<std::string> chosen = askFile(s, DialogKind::OpenFile, "Eingabefilter setzen");
    if (!chosen) return {};
    const std::string& file = *chosen;
    Result<std::string> bytes = readWholeFile(file);
    if (!bytes.ok()) {
        s.report(bytes.status());
        return commandFailed();
    }
    const std::string text = decodeFileText(bytes.value());
    TMenge filter;
    int line = 0;
    s.inputFilterOn = false;  // the lookups below see the whole database
    for (const std::string& l : splitFields(text, "\n")) {
        ++line;
        if (line % 100 == 0) s.progress().setStatus("einlesen: " + file + ". Zeile: " + std::to_string(line));
        if (l.empty() || l.front() != 'A') continue;
        const std::vector<std::string> fields = splitFields(l, ";");
        if (fields.size() < 2) continue;
        const std::vector<SpeciesMatch> found = s.lookupSpecies(std::string(trimBlanks(fields[1])));
        if (found.size() == 1) filter.Add(found.front().key);
    }
    s.progress().hideStatus();
    s.inputFilter = filter;
    s.inputFilterOn = true;
    return {};
}

}  // namespace

void addSpeciesListCommands(Dispatcher& d) {
    d.add(kShowList, showList);
    d.add(kByEntry, [](Session& s) {
        auto& on = s.settings().Diversa.UeberEingabe;
        on = on ? 0 : 1;
        return Status();
    });
    d.add(kListContents, chooseContents);
    d.add(kResetContents, [](Session& s) {
        s.speciesListColumns = kDefaultSpeciesListColumns;
        s.listContentsInMargin = false;
        return Status();
    });
    d.add(kListsIntoHeader, listsIntoHeader);
    d.addUnnumbered(kContentsInMargin, [](Session& s, const CommandEntry&) {
        s.listContentsInMargin = true;
        return Status();
    });
    d.add(kFilterSet, setFilter);
    d.add(kFilterClear, [](Session& s) {
        s.inputFilter.Clear();
        s.inputFilterOn = false;
        return Status();
    });
    d.add(kFilterToggle, [](Session& s) {
        // Without a filter set the switch first reads one, and is on when that worked.
        if (s.inputFilter.empty()) return setFilter(s);
        s.inputFilterOn = !s.inputFilterOn;
        return Status();
    });
}

void followSpeciesList(Session& s) {
    const DialogState open = s.ui().dialogState(DialogKind::Grid);
    if (open.closeCode != 0 || !open.caption.starts_with("Arten in ")) return;
    showList(s);
}

}  // namespace tav
