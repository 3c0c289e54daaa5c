#include "species/name_lookup.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "species/name_text.h"

namespace tav {

namespace {

constexpr std::string_view kLayerMarks[] = {" /K", " /S", " /B"};

int keyOfRow(const TArtDb& db, int row) {
    return static_cast<int>(db.SQLarten().integer(row, art::kPrim).value_or(-1));
}

std::string beforeSlash(std::string_view s) {
    return std::string(trimBlanks(s.substr(0, s.find('/'))));
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

bool isNameMode(char mode) {
    return std::string_view("ALSZzm").find(mode) != std::string_view::npos;
}

bool allowsSeveral(char mode) {
    return std::string_view("fimt").find(mode) != std::string_view::npos;
}

// A line of a listing or choice list reduced to the name it shows: the marks "-" and "=" of the listings
// and the column text after "//" are no part of a name.
std::string nameOfLine(std::string_view line) {
    std::string_view s = trimLeft(line);
    if (!s.empty() && (s.front() == '=' || s.front() == '-')) s = trimLeft(s.substr(1));
    s = s.substr(0, s.find("//"));
    return std::string(trimBlanks(s));
}

// The line with a layer mark placed after the name, before any " // " column, so that cutting the column
// off later keeps the mark.
std::string withLayerMark(const std::string& line, std::string_view mark) {
    const std::size_t column = line.find(" // ");
    if (column == std::string::npos) return line + std::string(mark);
    return line.substr(0, column) + std::string(mark) + line.substr(column);
}

// When authors are ignored, a chosen line stands for the plain name of its record (with the layer mark
// the line carries); a line that names no record stays as it is.
std::string plainNameOfLine(TArtDb& db, const std::string& line) {
    const std::string text = nameOfLine(line);
    if (text.empty()) return line;
    TMenge found = db.Search(text, false);
    if (found.empty()) found = db.Search(text, true);
    if (found.empty()) return line;
    return db.GetLatPlain(found.elements().front()) + GetZusatz(text);
}

// The suffix " // <column>" of the column modes.
std::string columnSuffix(const TArtDb& db, char mode, int n, int p) {
    switch (mode) {
        case 'F':
        case 'f':
            return " // " + db.GetFam(p);
        case 'I':
        case 'i':
            return " // " + db.GetInfo(p, n);
        case 'N':
            return " // " + (n >= 1 && n <= 12 ? db.field(p, art::kSys01 + n - 1) : std::string());
        case 'R':
            return " // " + std::to_string(p);
        case 'T':
        case 't':
            return " // " + db.GetTriv(p, n);
        default:
            return {};
    }
}

std::string titleOf(char mode) {
    if (mode == 'X') return "Aggregate";
    if (mode == 'Y') return "Synonyme";
    if (allowsSeveral(mode)) return "Arten wählen";
    return "Artnamen wählen";
}

// Restores the reference system when GetSysName leaves, whichever way.
struct SystemGuard {
    TArtDb& db;
    int saved;
    ~SystemGuard() { db.setSystEinst(saved); }
};

}  // namespace

bool CheckArtDb(const TArtDb* db, UiPort& ui, const Catalogue& cat) {
    if (db && db->CheckArtDb()) return true;
    ui.showError(cat.GetLangMsg("MsgNoSpecListA"));
    return false;
}

int LocateInfo(TArtDb& db, char OC, int n, std::string_view s) {
    int column = -1;
    if (OC == 'I' && n >= 0 && n < 8) column = art::kInfo01 + n;
    if (OC == 'N' && n >= 0 && n < 12) column = art::kSys01 + n;
    if (OC == 'T' && n >= 0 && n < 8) column = art::kTriv01 + n;
    const auto number = parseInteger(beforeSlash(s));
    if (!number || *number == 0) return -1;
    if (*number < 0) return static_cast<int>(-*number);
    if (column < 0 || column >= db.SQLarten().fieldCount()) return -1;
    for (int row = 0; row < db.SQLarten().count(); ++row)
        if (parseInteger(trimBlanks(db.SQLarten().text(row, column))) == number) return keyOfRow(db, row);
    return -1;
}

int LocateLike(TArtDb& db, UiPort& ui, char OC, int n, std::string_view s) {
    int column = art::kPrim;
    if (OC == 'I') column = n >= 1 && n <= 8 ? art::kInfo01 + n - 1 : -1;
    if (OC == 'T') column = n >= 1 && n <= 8 ? art::kTriv01 + n - 1 : -1;
    const std::string text = beforeSlash(s);
    TMenge found;
    if (column >= 0 && column < db.SQLarten().fieldCount()) {
        // The prefix grows while it still begins some value: a typing error late in the text still
        // leaves the records that match up to it.
        const std::size_t length = charLength(text);
        for (std::size_t k = 1; k <= length; ++k) {
            TMenge m = db.DoSearch(upperFold(charLeft(text, k)), column, nullptr);
            if (m.empty()) break;
            found = std::move(m);
        }
    }
    if (found.empty()) {
        ui.showInfo(text + " nicht gefunden.");
        return -1;
    }
    std::vector<std::string> items;
    std::vector<int> keys;
    for (int p : found.elements()) {
        items.push_back(db.field(p, column) + ";       " + db.field(p, art::kGenus) + " " +
                        db.field(p, art::kSpecies) + " " + db.field(p, art::kAutor) + ";" +
                        std::to_string(p));
        keys.push_back(p);
    }
    items.emplace_back("< nichts einsetzen >;       ;-1");
    items.emplace_back("< ABBRECHEN >;       ;-9");
    keys.push_back(-1);
    keys.push_back(-9);
    const auto pick = ui.pickFromList("Auswahl", items, false);
    if (!pick) return -9;
    return keys[static_cast<std::size_t>(pick->front())];
}

std::string AskZusatz(TArtDb& db, UiPort& ui) {
    std::optional<std::string> answer;
    if (db.Settings().Rem && !db.Settings().Zusatzlist.empty()) {
        std::vector<std::string> entries;
        for (FieldReader list(db.Settings().Zusatzlist); auto field = list.next();)
            if (const std::string_view entry = trimBlanks(*field); !entry.empty())
                entries.emplace_back(entry);
        if (const auto pick = ui.pickFromList("Zusatz wählen", entries, false))
            answer = entries[static_cast<std::size_t>(pick->front())];
    } else {
        answer = ui.inputText("Zusatz anfügen", "Zusatz-Text", "");
    }
    if (!answer) return {};
    std::string z(trimLeft(*answer));
    if (z.empty()) return {};
    if (z.front() != '/') z.insert(z.begin(), '/');
    return " " + z;
}

std::string ChooseName(TArtDb& db, UiPort& ui, const Catalogue& cat, char mode, bool offerLayers, int n,
                       std::string_view name, std::vector<int>* selection, std::vector<std::string>* lines) {
    if (selection) selection->clear();
    if (!CheckArtDb(&db, ui, cat)) return {};
    std::vector<std::string> items;
    if (mode == 'X') {
        if (db.SearchAggr('A', name, &items) < 0) {
            ui.showInfo(cat.GetLangMsg("MsgNoAggr"));
            return {};
        }
    } else {
        struct Entry {
            std::string line;
            int key;
        };
        std::vector<Entry> entries;
        char status = ' ';
        for (int p : db.Ma().elements())
            entries.push_back(
                {mode == 'Y' ? db.GetSysStates(p, status) : db.GetLat(p) + columnSuffix(db, mode, n, p), p});
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return textLess(a.line, b.line); });
        entries.erase(std::unique(entries.begin(), entries.end(),
                                  [](const Entry& a, const Entry& b) { return a.line == b.line; }),
                      entries.end());
        const bool layers = offerLayers && db.Settings().Layers;
        for (const Entry& e : entries) {
            if (layers && db.HasLayers(e.key)) {
                for (std::string_view mark : kLayerMarks) items.push_back(withLayerMark(e.line, mark));
            } else {
                items.push_back(e.line);
            }
        }
    }
    const bool several = allowsSeveral(mode);
    const auto pick = ui.pickFromList(titleOf(mode), items, several);
    if (!pick) return {};
    std::vector<std::string> chosen;
    for (int k : *pick) {
        std::string line = items[static_cast<std::size_t>(k)];
        if (db.Settings().OhneAutor) line = plainNameOfLine(db, line);
        chosen.push_back(std::move(line));
    }
    if (selection) *selection = *pick;
    if (lines && several) *lines = chosen;
    return chosen.front();
}

bool LookupName(TArtDb& db, UiPort& ui, const Catalogue& cat, char mode, int n,
                std::vector<std::string>& lines, std::string& name, const TMenge* preferSet, bool usePrefer,
                bool seq, bool quiet, std::vector<int>* selection) {
    // 1. Nothing to look up.
    name = std::string(trimLeft(name));
    if (name.empty()) return false;
    if (!CheckArtDb(&db, ui, cat)) return false;

    // 2. Candidates.
    if (mode == 'm') {
        TMenge all;
        for (FieldReader names(name); auto field = names.next();)
            if (const std::string_view part = trimBlanks(*field); !part.empty())
                all.Oder(db.Search(part, quiet));
        db.setMa(all);
    } else if (isNameMode(mode)) {
        db.Search(name, quiet);
    } else {
        db.SearchInfo(mode, n, name, seq);
    }

    // 3. Narrowing for the name modes.
    if (isNameMode(mode)) {
        if (mode == 'L' && db.Ma().empty() && db.Settings().OhneAutor) db.Search(name, true);
        if (usePrefer && preferSet && db.Ma().Count() > 1) {
            TMenge preferred = db.Ma();
            preferred.Und(*preferSet);
            // When the input filter keeps none of them, all candidates stay.
            if (!preferred.empty()) db.setMa(preferred);
        }
        db.RedToFilter();
    }

    std::string replacement;
    const int found = db.Ma().Count();
    const bool exceptQuietChoice = mode == 'A' || mode == 'S' || mode == 'Z' || mode == 'z';
    if (found == 0) {
        // 4. Nothing found.
        if (mode != 'z') ui.showInfo(cat.GetMsg("NotFound"));
    } else if (found > 1 || (quiet && !exceptQuietChoice)) {
        // 5. A choice. Mode "z" serves callers without a user (the export asks it for the fields of a
        // unique record quietly), so a quiet unique result is no reason for a choice there.
        if (mode != 'z')
            replacement = ChooseName(db, ui, cat, mode, !db.LayerRem(GetZusatz(name)), n, name, selection,
                                     mode == 'm' ? &lines : nullptr);
    } else {
        // 6. Exactly one record.
        const int p = db.Ma().elements().front();
        replacement = db.Settings().OhneAutor ? db.GetLatPlain(p) : db.GetLat(p);
        if (db.Settings().Layers && db.HasLayers(p) && !db.LayerRem(GetZusatz(name)))
            replacement = ChooseName(db, ui, cat, mode, true, n, name, selection, nullptr);
    }

    // 7. The listings and the record window.
    if (!replacement.empty()) {
        if (mode == 'A') {
            replacement = ChooseName(db, ui, cat, 'X', false, n, replacement, selection, nullptr);
        } else if (mode == 'S') {
            if (db.SearchSyn('S', replacement) >= 0)
                replacement = ChooseName(db, ui, cat, 'Y', false, n, replacement, selection, nullptr);
        } else if (mode == 'Z' || mode == 'z') {
            lines.clear();
            // A full name finds its record with the authors; a plain name (authors ignored) needs the
            // reduction to the record of exactly that plain name.
            TMenge m = db.Search(replacement, false);
            if (m.empty()) {
                db.Search(replacement, true);
                db.RedToMatchOhneAutor(replacement);
                m = db.Ma();
            }
            if (!m.empty()) {
                const int p = m.elements().front();
                const auto& fields = db.SQLarten().fields();
                for (int f = 0; f < static_cast<int>(fields.size()); ++f)
                    lines.push_back(fields[static_cast<std::size_t>(f)].name + ";" + db.field(p, f));
            }
            if (mode == 'Z') {
                DialogRequest r;
                r.kind = DialogKind::Grid;
                r.name = "Stammdatensatz";
                r.caption = "Stammdatensatz";
                r.items = lines;
                ui.dialog(r);
                replacement.clear();
            }
        }
    }

    // 8. The replacement as a name.
    bool result = !replacement.empty();
    if (result) {
        replacement = nameOfLine(replacement);
        // A heading line of a listing names nothing: the name keeps its text.
        if (replacement.empty()) result = false;
    }
    if (replacement.empty()) replacement = RmZusatz("1", name);

    // 9. The additions of the input, normalised and checked.
    std::string z = GetZusatz(name);
    if (!CheckZusatz(z, db.Settings().Rem, db.Settings().Zusatzlist)) {
        ui.showInfo("Ungültiger Zusatz");
        result = false;
    }
    name = replacement + z;
    return result;
}

bool GetSysName(TArtDb& db, UiPort& ui, const Catalogue& cat, int system, std::string_view name,
                std::string& result) {
    result = std::string(name);
    if (system < 1 || system > 12) return true;
    SystemGuard guard{db, db.Settings().SystEinst};
    db.setSystEinst(system);

    db.Search(name, db.Settings().OhneAutor);
    if (db.Settings().OhneAutor) db.RedToMatchOhneAutor(name);
    TMenge valid;
    for (int p : db.Ma().elements()) {
        const int v = db.ScanSyn('S', p);
        if (v >= 0) valid.Add(v);
    }
    if (valid.empty()) return true;
    const std::string z = GetZusatz(name);
    if (valid.Count() == 1) {
        result = db.GetLat(valid.elements().front()) + z;
        return true;
    }
    db.setMa(valid);
    const std::string chosen = ChooseName(db, ui, cat, 'L', false, 0, name);
    if (chosen.empty()) return false;
    result = nameOfLine(chosen) + z;
    return true;
}

bool ReadInputFilter(TArtDb& db, const std::string& tableFile, TMenge& set, Progress& progress) {
    const Result<std::string> bytes = readWholeFile(tableFile);
    if (!bytes) return false;
    const std::string text = decodeFileText(bytes.value());
    set.Clear();
    int count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string::npos) eol = text.size();
        const std::string_view line = std::string_view(text).substr(pos, eol - pos);
        // A line ends with CR LF, LF or CR.
        pos = eol + (text.compare(eol, 2, "\r\n") == 0 ? 2 : 1);
        ++count;
        if (count % 100 == 0)
            progress.setStatus("einlesen: " + tableFile + ". Zeile: " + std::to_string(count));
        if (line.empty() || line.front() != 'A') continue;
        const std::string_view speciesName = fieldAt(line, 1);
        if (trimBlanks(speciesName).empty()) continue;
        db.Search(speciesName, db.Settings().OhneAutor);
        if (db.Settings().OhneAutor) db.RedToMatchOhneAutor(speciesName);
        if (db.Ma().Count() == 1) set.Add(db.Ma().elements().front());
    }
    progress.setStatus("einlesen: " + tableFile + ". Zeile: " + std::to_string(count));
    return true;
}

}  // namespace tav
