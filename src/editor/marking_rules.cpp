// Marking by rules: empty rows and releves, rows without data or without a name, rows and releves whose
// values agree or differ, aggregate taxa, name additions, duplicate row names and duplicate releves, the
// row type; writing the marks into the margins and a header row, and marking the rows the margins
// name; splitting header values into new rows, a date row into its parts; a random sample of releves
// written into a header row.

#include <algorithm>
#include <unordered_map>

#include "core/file_io.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "species/art_db.h"
#include "species/name_text.h"
#include "table/cell_stats.h"
#include "values/typed_values.h"

namespace tav {

namespace {

constexpr std::int64_t kEmptyRows = 103050400;         // "Leere Zeilen"
constexpr std::int64_t kRowsWithoutData = 103050500;   // "Zeilen ohne Daten"
constexpr std::int64_t kRowsWithoutName = 103050600;   // "Zeilen ohne Kopf"
constexpr std::int64_t kDoubleRows = 103050700;        // "Doppelte Zeilenköpfe"
constexpr std::int64_t kSurplusRows = 103050800;       // "Ueberzählige Zeilenköpfe"
constexpr std::int64_t kSameRows = 103050900;          // "Gleich in (mark.) Spalten"
constexpr std::int64_t kDifferentRows = 103051000;     // "Abweichend in (mark.) Spalten"
constexpr std::int64_t kRowType = 103051200;           // "Bestimmter Zeilentyp"
constexpr std::int64_t kLabelledRows = 103051300;      // "Bezeichnete Zeilen"
constexpr std::int64_t kAggregates = 103060200;        // "Arten markieren" › "Aggregierte Taxa"
constexpr std::int64_t kAdditions = 103060400;         // … › "Zusatz (/...)"
constexpr std::int64_t kLabelRows = 103070000;         // "Markierte Zeilen bezeichnen"
constexpr std::int64_t kSplitDate = 103100500;         // "Kopfdaten aufteilen" › "Datum zerlegen"
constexpr std::int64_t kEmptyColumns = 104020400;      // "Leere Spalten"
constexpr std::int64_t kDoubleColumns = 104020500;     // "Doppelte Spalten"
constexpr std::int64_t kSurplusColumns = 104020600;    // "Ueberzählige Spalten"
constexpr std::int64_t kSameColumns = 104020700;       // "Gleich in (mark.) Zeilen"
constexpr std::int64_t kDifferentColumns = 104020800;  // "Abweichend in (mark.) Zl."
constexpr std::int64_t kLabelColumns = 104030100;      // "Spalten bezeichnen" › "Markierte Spalten"
constexpr std::int64_t kRandomColumnsRow = 104030200;  // "Spalten bezeichnen" › "Zufallswahl"
constexpr std::int64_t kSplitLeft = 103100100;         // "Kopfdaten aufteilen" › "zeichenweise von links"
constexpr std::int64_t kSplitRight = 103100200;        // … › "zeichenweise von rechts"
constexpr std::int64_t kSplitDelimiter = 103100300;    // … › "an Trennzeichen"
constexpr std::int64_t kSplitDigits = 103100400;       // … › "nach Ziffern/Zeichen"
constexpr std::int64_t kHeaderRowsInFile = 103051400;  // "Zeilen markieren" › "Kopfzeilen in Datei"
constexpr std::int64_t kNumberCategories = 103140400;  // "Kategorien durchnummerieren"
constexpr std::int64_t kDummyRows = 103100700;  // "Kopfdaten aufteilen" › "kategorienweise (dummy variables)"
constexpr std::int64_t kValuesByCategory = 103100800;  // … › "Kategorienweise Werte auf separate Zl."
constexpr std::int64_t kChosenCategories = 104021000;  // "Spalten markieren" › "Bestimmte Kategorien"
constexpr std::int64_t kStratified = 104030300;  // "Spalten bezeichnen" › "Stratifizierte Zufallswahl"
constexpr std::string_view kDoubleIgnoringEmpty = "Doppel, leere Felder ignorieren";
constexpr std::string_view kDifferentIgnoringEmpty = "Abweichend, leere Felder ignorieren";

// What a rule found, in an information box unless a macro runs: the count (or "Keine") and the label.
void report(Session& s, int count, std::string_view label, bool rows) {
    if (s.macroAnswers().running()) return;
    const std::string n = count > 0 ? std::to_string(count) : std::string(rows ? "Keine " : "Keine");
    s.ui().showInfo(n + std::string(label) + (rows ? " gefunden." : "gefunden."));
}

// Row rules over the data rows of the active part; the reference releves are the marked ones (their
// marks end), else all.
Status markRows(Session& s, char mode) {
    TEditBuffer& b = s.buffer();
    const char part = mode == 'A' || mode == 'Z' ? 'A' : activePart(s);
    const TMenge releves = b.McoR();
    const TMenge* ref = releves.empty() ? nullptr : &releves;
    const int refCount = releves.empty() ? b.GetColCount() : releves.Count();
    std::string flags;
    char aggregate = 0;
    std::string_view label;
    if (mode == 'A') {
        if (!s.speciesDb()) {
            s.ui().showInfo("Keine Artenliste aktiv");
            return commandFailed();
        }
        int choice = 2;
        if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgAggrSel", "", "", choice)) return {};
        aggregate = static_cast<char>('0' + choice);
        label = choice == 0   ? " zusammenfassende Taxa"
                : choice == 1 ? " eingeschlossene Taxa"
                              : " aggregierte Taxa";
    } else if (mode == 'Z') {
        if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgZusatz", "", "", flags)) return {};
        label = " Zeile(n) mit Zusatz";
    }
    CellStats stats(b, s.coverInterpreter());
    TMenge found;
    for (int r = 0; r < b.GetRowCount(part); ++r) {
        if (!b.IsDataRow(part, r)) continue;
        const std::string_view name = b.GetZl(part, r);
        bool hit = false;
        switch (mode) {
            case 'L':
                hit = trimBlanks(name).empty() && stats.GetFreq(part, ref, r, false) == 0;
                break;
            case 'D':
                hit = stats.GetFreq(part, ref, r, false) < 1;
                break;
            case 'K':
                hit = trimBlanks(name).empty();
                break;
            case 'U':
            case 'W': {
                const int matches = stats.GetMatchesInRow(part, ref, r);
                hit = mode == 'U' ? matches == refCount - 1 : matches < refCount - 1;
                break;
            }
            case 'A': {
                const std::string c = s.speciesDb()->CheckAggr(name);
                const bool upper = c == "Z", included = c == "E" || c == "U";
                hit = aggregate == '0' ? upper : aggregate == '1' ? included : upper || included;
                break;
            }
            case 'Z':
                hit = HasZusatz(flags, name);
                break;
            default:
                break;
        }
        if (hit) found.Add(r);
    }
    b.setMarks(rowMarkSet(part), found);
    if (mode == 'L' || mode == 'D' || mode == 'U' || mode == 'W') b.setMarks(MarkSet::McoR, TMenge());
    static const std::unordered_map<char, std::string_view> kLabels = {{'L', " leere Zeile(n)"},
                                                                       {'D', " Zeile(n) ohne Daten"},
                                                                       {'K', " Zeile(n) mit leerem Kopf"},
                                                                       {'U', " übereinstimmende Zeile(n)"},
                                                                       {'W', " abweichende Zeile(n)"}};
    if (const auto l = kLabels.find(mode); l != kLabels.end()) label = l->second;
    s.lastMarking = 1;
    report(s, found.Count(), label, true);
    return {};
}

// Column rules over the releves; the reference rows are the marked rows of the active part (their marks
// end), else all its rows.
Status markColumns(Session& s, char mode) {
    TEditBuffer& b = s.buffer();
    const char part = activePart(s);
    const TMenge rows = part == 'K' ? b.MroK() : b.MroA();
    const TMenge* ref = rows.empty() ? nullptr : &rows;
    const int refCount = rows.empty() ? b.GetRowCount(part) : rows.Count();
    CellStats stats(b, s.coverInterpreter());
    TMenge found;
    for (int c = 0; c < b.GetColCount(); ++c) {
        bool hit = false;
        if (mode == 'N') {
            hit = stats.GetZahl(part, ref, c, false) < 1;
        } else {
            const int matches = stats.GetMatchesInCol(mode == 'I' ? 'I' : 'W', part, ref, c);
            hit = mode == 'U' ? matches == refCount - 1 : matches < refCount - 1;
        }
        if (hit) found.Add(c);
    }
    b.setMarks(rowMarkSet(part), TMenge());
    b.setMarks(MarkSet::McoR, found);
    s.lastMarking = 2;
    const std::string_view label = mode == 'N'   ? " leere Spalte(n) "
                                   : mode == 'U' ? " übereinstimmende Spalte(n) "
                                                 : " abweichende Spalte(n) ";
    report(s, found.Count(), label, false);
    return {};
}

// Duplicate row names of the active part (in the header part with their row type): 'D' every member of
// a group, 'U' the second and later ones.
Status markDoubleRows(Session& s, char mode) {
    TEditBuffer& b = s.buffer();
    const char part = activePart(s);
    s.progress().setStatus(s.catalogue().GetMsg("FindDups"));
    std::unordered_map<std::string, int> first;
    TMenge found;
    for (int r = 0; r < b.GetRowCount(part); ++r) {
        std::string key(b.GetZl(part, r));
        if (part == 'K') key.insert(key.begin(), b.GetTyp(part, r));
        const auto [at, fresh] = first.try_emplace(std::move(key), r);
        if (fresh) continue;
        found.Add(r);
        if (mode == 'D') found.Add(at->second);
    }
    s.progress().hideStatus();
    b.ClearM();
    b.setMarks(rowMarkSet(part), found);
    s.lastMarking = 1;
    const std::string kind = mode == 'D' ? " doppelte" : " überzählige";
    if (!s.macroAnswers().running())
        s.ui().showInfo(found.empty() ? "Keine" + kind + " Zeilen gefunden."
                                      : std::to_string(found.Count()) + kind + " Zeile(n) gefunden.");
    return {};
}

// Duplicate releves by their values in the reference rows: 64-bit hashes, confirmed cell by cell.
// 'D' every member, 'U' the second and later ones, 'L' like 'D' without releves that are empty there.
Status markDoubleColumns(Session& s, char mode) {
    TEditBuffer& b = s.buffer();
    const char part = activePart(s);
    const std::vector<int> rows = markedOrAll(part == 'K' ? b.MroK() : b.MroA(), b.GetRowCount(part));
    // One pass over the filled cells of the reference rows: per releve a hash of (row, text) in row order
    // and whether it holds anything there.
    std::vector<char> isReference(static_cast<std::size_t>(b.GetRowCount(part)), 0);
    for (int r : rows) isReference[static_cast<std::size_t>(r)] = 1;
    const auto cols = static_cast<std::size_t>(b.GetColCount());
    std::vector<std::uint64_t> hash(cols, 1469598103934665603ull);
    std::vector<char> filled(cols, 0);
    b.forEachFilled(part, [&](const FilledCell& cell) {
        if (!isReference[static_cast<std::size_t>(cell.row)]) return;
        std::uint64_t& h = hash[static_cast<std::size_t>(cell.col)];
        h = (h ^ static_cast<std::uint64_t>(cell.row)) * 1099511628211ull;
        for (const char ch : cell.text) h = (h ^ static_cast<unsigned char>(ch)) * 1099511628211ull;
        h = (h ^ ';') * 1099511628211ull;
        filled[static_cast<std::size_t>(cell.col)] = 1;
    });
    auto same = [&](int x, int y) {
        for (int r : rows)
            if (b.Get(part, x, r) != b.Get(part, y, r)) return false;
        return true;
    };
    s.progress().setStatus(s.catalogue().GetMsg("FindDups"));
    std::unordered_map<std::uint64_t, std::vector<int>> firsts;
    TMenge found;
    for (int c = 0; c < b.GetColCount(); ++c) {
        if (mode == 'L' && !filled[static_cast<std::size_t>(c)]) continue;
        std::vector<int>& candidates = firsts[hash[static_cast<std::size_t>(c)]];
        int original = -1;
        for (int f : candidates)
            if (same(f, c)) {
                original = f;
                break;
            }
        if (original < 0) {
            candidates.push_back(c);
            continue;
        }
        found.Add(c);
        if (mode != 'U') found.Add(original);
    }
    s.progress().hideStatus();
    b.ClearM();
    b.setMarks(MarkSet::McoR, found);
    s.lastMarking = 2;
    if (!s.macroAnswers().running())
        s.ui().showInfo((found.empty() ? std::string("Keine") : std::to_string(found.Count())) +
                        (mode == 'U' ? " überzählige" : " doppelte") + " Spalten gefunden.");
    return {};
}

// "Bestimmter Zeilentyp": the rows of the type chosen from the part's types.
Status markRowType(Session& s) {
    TEditBuffer& b = s.buffer();
    const char part = activePart(s);
    const std::string_view dialog = part == 'K' ? "DlgZlTypK" : "DlgZlTypA";
    int choice = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), dialog, "", "", choice)) return {};
    // Each item names its type letter in parentheses: "Int. (I) - ganze Zahlen".
    const DlgDef def = s.catalogue().GetDlgDef(dialog);
    if (choice < 0 || choice >= def.itemCount()) return {};
    const std::string& item = def.item(choice);
    const std::size_t open = item.find('(');
    if (open == std::string::npos || open + 1 >= item.size()) return {};
    const char type = item[open + 1];
    TMenge found;
    for (int r = 0; r < b.GetRowCount(part); ++r)
        if (b.GetTyp(part, r) == type) found.Add(r);
    b.ClearM();
    b.setMarks(rowMarkSet(part), found);
    s.lastMarking = 1;
    return {};
}

// "Datum zerlegen": day, month, year, day of the year and running day number of the cursor row's dates
// in five new header rows ("NA" where a value is no date); the cursor goes to the first of them.
Status splitDate(Session& s) {
    if (s.activeGrid > 2) {
        s.ui().showInfo("Nur in den Kopfdaten möglich.");
        return commandFailed();
    }
    TEditBuffer& b = s.buffer();
    const int row = s.cursorRow;
    const int at = b.GetRowCount('K');
    static constexpr const char* kNames[] = {"Tag", "Monat", "Jahr", "Tag im Jahr", "Tag nach Christus"};
    b.InsRows('K', at, 5);
    for (int k = 0; k < 5; ++k) {
        b.PutZl('K', kNames[k], at + k);
        b.PutTyp('K', 'I', at + k);
    }
    for (int c = 0; c < b.GetColCount(); ++c) {
        std::string text(trimBlanks(b.Get('K', c, row)));
        RDatum d;
        std::int32_t key = 0;
        const bool ok = !text.empty() && DatumVal(false, true, text, d, key);
        const std::int32_t values[] = {d.Tag, d.Monat, d.Jahr, d.TagImJahr, d.TagNr};
        for (int k = 0; k < 5; ++k) b.Put('K', ok ? std::to_string(values[k]) : std::string("NA"), c, at + k);
    }
    s.activeGrid = 1;
    s.cursorRow = at;
    return {};
}

// "Spalten bezeichnen" › "Zufallswahl": a random sample of releves (from the marked ones when any are
// marked; never more than there are), marked and written as 1 and 0 into a header row.
Status randomColumnsRow(Session& s) {
    TEditBuffer& b = s.buffer();
    const int count = b.GetColCount();
    const std::optional<int> n =
        askWholeNumber(s, "Zahl eingeben", "Wieviele Spalten?", 1, 1, std::max(count, 1));
    if (!n) return {};
    TMenge m = b.McoR();
    m.Zufallswahl(std::min(*n, m.empty() ? count : m.Count()), count, s.random());
    b.setMarks(MarkSet::McoR, m);
    std::vector<std::string> values;
    for (int c = 0; c < count; ++c) values.push_back(m.Element(c) ? "1" : "0");
    appendHeaderRow(b, "Gewählte Spalten", 'I', values);
    return {};
}

// The parts of one value: 'L' the first n characters and the rest, 'R' the rest and the last n, 'T' the
// pieces between the delimiters, 'Z' the runs of digits and of other characters (a decimal point and a
// sign in front belong to a number when asked; blanks around the parts removed when asked).
std::vector<std::string> splitValue(std::string_view v, char mode, int n, std::string_view delimiter,
                                    std::string_view flags) {
    switch (mode) {
        case 'L':
            return {charLeft(v, static_cast<std::size_t>(n)),
                    charMid(v, static_cast<std::size_t>(n), v.size())};
        case 'R': {
            const std::size_t len = charLength(v);
            const std::size_t keep =
                len > static_cast<std::size_t>(n) ? len - static_cast<std::size_t>(n) : 0;
            return {charLeft(v, keep), charMid(v, keep, v.size())};
        }
        case 'T':
            return splitFields(v, delimiter);
        default: {
            const bool point = flags.size() > 0 && flags[0] == '1',
                       sign = flags.size() > 1 && flags[1] == '1', trim = flags.size() > 2 && flags[2] == '1';
            std::vector<std::string> parts;
            int kind = -1;  // 1 a number, 0 other characters
            for (std::size_t i = 0; i < v.size(); ++i) {
                const char c = v[i];
                const bool digitNext = i + 1 < v.size() && isDigit(v[i + 1]);
                const bool number = isDigit(c) || (point && c == '.' && kind == 1 && digitNext) ||
                                    (sign && (c == '+' || c == '-') && kind != 1 && digitNext);
                if (const int k = number ? 1 : 0; k != kind) {
                    parts.emplace_back();
                    kind = k;
                }
                parts.back() += c;
            }
            if (trim)
                for (std::string& p : parts) p = std::string(trimBlanks(p));
            return parts;
        }
    }
}

// "Kopfdaten aufteilen": the values of the cursor's header row split into new header rows named after
// it ("<name> 1", "<name> 2", …) at the end of the header part.
Status splitHeader(Session& s, char mode) {
    if (s.activeGrid > 2) {
        s.ui().showInfo("Nur in den Kopfdaten möglich.");
        return commandFailed();
    }
    TEditBuffer& b = s.buffer();
    const int row = s.cursorRow;
    int n = 0;
    std::string delimiter, flags;
    if (mode == 'L' || mode == 'R') {
        const std::optional<int> k = askWholeNumber(
            s, s.catalogue().GetLangMsg("MsgWhichCharStr"),
            mode == 'L' ? "Anzahl Zeichen von links" : "Anzahl Zeichen von rechts", 1, 0, 1000);
        if (!k) return {};
        n = *k;
    } else if (mode == 'T') {
        const std::optional<std::string> d = askText(s, s.catalogue().GetLangMsg("MsgDelimitor"),
                                                     s.catalogue().GetLangMsg("MsgDelimitor"), ",");
        if (!d || d->empty()) return {};
        delimiter = *d;
    } else if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgSplitAngZ", "", "", flags)) {
        return {};
    }
    std::vector<std::vector<std::string>> parts;
    std::size_t width = 0;
    for (int c = 0; c < b.GetColCount(); ++c) {
        parts.push_back(splitValue(b.Get('K', c, row), mode, n, delimiter, flags));
        width = std::max(width, parts.back().size());
    }
    const std::string name(b.GetZl('K', row));
    for (std::size_t k = 0; k < width; ++k) {
        std::vector<std::string> values;
        for (const auto& p : parts) values.push_back(k < p.size() ? p[k] : std::string());
        appendHeaderRow(b, name + " " + std::to_string(k + 1), 'T', values);
    }
    return {};
}

// "Kopfzeilen in Datei": the header rows whose names are header rows of a chosen table file (its lines
// before the first species line).
Status markHeaderRowsInFile(Session& s) {
    const auto file = askFile(s, DialogKind::OpenFile, "Kopfzeilen in Datei");
    if (!file) return {};
    Result<std::string> bytes = readWholeFile(*file);
    if (!bytes) return bytes.status();
    std::unordered_map<std::string, bool> names;
    const std::string text = decodeFileText(bytes.value());
    for (std::string_view line : splitLines(text)) {
        if (line.empty() || line.front() == 'A') break;
        names.emplace(std::string(fieldAt(line, 1)), true);
    }
    TEditBuffer& b = s.buffer();
    TMenge found;
    for (int r = 0; r < b.GetRowCount('K'); ++r)
        if (names.count(std::string(b.GetZl('K', r)))) found.Add(r);
    b.ClearM();
    b.setMarks(MarkSet::MroK, found);
    s.lastMarking = 1;
    report(s, found.Count(), " Kopfzeile(n)", true);
    return {};
}

// A category row: a header row whose distinct values are the categories, numbered in their sorted
// order; a releve with an empty value is in none.
struct Categories {
    int row = -1;
    std::vector<std::string> names;  // category k + 1
    std::vector<int> of;             // per releve: its category (1-based), 0 for none
    std::vector<int> counts;         // per category
};

// The category row: the one marked header row (unless the marked rows are what is split), or the
// cursor's header row; else the user picks one.
std::optional<Categories> loadCategories(Session& s, bool markedRowCounts) {
    TEditBuffer& b = s.buffer();
    Categories c;
    if (markedRowCounts && b.MroK().Count() == 1)
        c.row = b.MroK().elements().front();
    else if (s.activeGrid <= 2 && s.cursorRow < b.GetRowCount('K'))
        c.row = s.cursorRow;
    if (c.row < 0) {
        std::vector<std::string> names;
        TLongList unused;
        int i = 0;
        if (!b.AskCat('S', "Kategorienzeile wählen", names, unused, i)) return std::nullopt;
        c.row = i;
    }
    std::vector<std::string> values;
    for (int col = 0; col < b.GetColCount(); ++col) values.emplace_back(trimBlanks(b.Get('K', col, c.row)));
    c.names = values;
    std::sort(c.names.begin(), c.names.end(),
              [](const std::string& x, const std::string& y) { return compareText(x, y) < 0; });
    c.names.erase(std::unique(c.names.begin(), c.names.end()), c.names.end());
    if (!c.names.empty() && c.names.front().empty()) c.names.erase(c.names.begin());
    if (c.names.empty()) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRoCo"));
        return std::nullopt;
    }
    c.counts.assign(c.names.size(), 0);
    for (const std::string& v : values) {
        const auto at = std::lower_bound(
            c.names.begin(), c.names.end(), v,
            [](const std::string& x, const std::string& y) { return compareText(x, y) < 0; });
        const int k =
            v.empty() || at == c.names.end() || *at != v ? 0 : static_cast<int>(at - c.names.begin()) + 1;
        c.of.push_back(k);
        if (k > 0) ++c.counts[static_cast<std::size_t>(k - 1)];
    }
    return c;
}

Status categoryCommand(Session& s, char mode) {
    const std::optional<Categories> c = loadCategories(s, mode != 'S');
    if (!c) return {};
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount();
    const std::string rowName(b.GetZl('K', c->row));
    switch (mode) {
        case 'K': {
            // "Kategorie Nr." and "Nr. innerhalb Kat.".
            std::vector<std::string> number, within;
            std::vector<int> seen(c->names.size(), 0);
            for (int k : c->of) {
                number.push_back(k > 0 ? std::to_string(k) : std::string());
                within.push_back(k > 0 ? std::to_string(++seen[static_cast<std::size_t>(k - 1)])
                                       : std::string());
            }
            appendHeaderRow(b, "Kategorie Nr.", 'I', number);
            appendHeaderRow(b, "Nr. innerhalb Kat.", 'I', within);
            return {};
        }
        case 'M': {
            std::vector<std::string> lines;
            for (std::size_t k = 0; k < c->names.size(); ++k)
                lines.push_back(c->names[k] + ";" + std::to_string(c->counts[k]));
            int current = 0;
            std::vector<int> chosen;
            if (!TListDlg::Execute(s.ui(), "Kategorien wählen", lines, true, current, &chosen)) return {};
            TMenge m;
            for (int col = 0; col < cols; ++col)
                if (const int k = c->of[static_cast<std::size_t>(col)];
                    k > 0 && std::find(chosen.begin(), chosen.end(), k - 1) != chosen.end())
                    m.Add(col);
            b.ClearM();
            b.setMarks(MarkSet::McoR, m);
            s.lastMarking = 2;
            return {};
        }
        case 'Z': {
            const std::optional<int> n =
                askWholeNumber(s, "Stratifizierte Zufallswahl", "Anzahl je Stratum", 1, 1, std::max(cols, 1));
            if (!n) return {};
            TMenge m;
            for (std::size_t k = 0; k < c->names.size(); ++k) {
                std::vector<int> members;
                for (int col = 0; col < cols; ++col)
                    if (c->of[static_cast<std::size_t>(col)] == static_cast<int>(k) + 1)
                        members.push_back(col);
                // A random choice of at most n of them.
                for (std::size_t i = 0; i < members.size() && i < static_cast<std::size_t>(*n); ++i) {
                    const std::size_t j = i + static_cast<std::size_t>(s.random().below(members.size() - i));
                    std::swap(members[i], members[j]);
                    m.Add(members[i]);
                }
            }
            b.ClearM();
            b.setMarks(MarkSet::McoR, m);
            s.lastMarking = 2;
            return {};
        }
        case 'D':
            // One 0/1 row per category.
            for (std::size_t k = 0; k < c->names.size(); ++k) {
                std::vector<std::string> values;
                for (int col = 0; col < cols; ++col)
                    values.push_back(c->of[static_cast<std::size_t>(col)] == static_cast<int>(k) + 1 ? "1"
                                                                                                     : "0");
                appendHeaderRow(b, rowName + "=" + c->names[k], 'I', values);
            }
            return {};
        default: {
            // The values of the marked header rows, one new row per row and category, each holding the
            // values of the releves of that category only.
            const std::vector<int> rows = b.MroK().elements();
            if (rows.empty() || (rows.size() == 1 && rows.front() == c->row)) {
                s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRoCo"));
                return commandFailed();
            }
            for (int r : rows) {
                if (r == c->row) continue;
                const std::string name(b.GetZl('K', r));
                const char type = b.GetTyp('K', r);
                for (std::size_t k = 0; k < c->names.size(); ++k) {
                    std::vector<std::string> values;
                    for (int col = 0; col < cols; ++col)
                        values.push_back(c->of[static_cast<std::size_t>(col)] == static_cast<int>(k) + 1
                                             ? std::string(b.Get('K', col, r))
                                             : std::string());
                    appendHeaderRow(b, name + " " + c->names[k], type, values);
                }
            }
            return {};
        }
    }
}

}  // namespace

void addMarkingRuleCommands(Dispatcher& d) {
    d.add(kHeaderRowsInFile, markHeaderRowsInFile);
    const std::pair<std::int64_t, char> categories[] = {{kNumberCategories, 'K'},
                                                        {kChosenCategories, 'M'},
                                                        {kStratified, 'Z'},
                                                        {kDummyRows, 'D'},
                                                        {kValuesByCategory, 'S'}};
    for (const auto& [number, mode] : categories)
        d.add(number, [m = mode](Session& s) { return categoryCommand(s, m); });
    d.add(kRandomColumnsRow, randomColumnsRow);
    const std::pair<std::int64_t, char> splits[] = {
        {kSplitLeft, 'L'}, {kSplitRight, 'R'}, {kSplitDelimiter, 'T'}, {kSplitDigits, 'Z'}};
    for (const auto& [number, mode] : splits)
        d.add(number, [m = mode](Session& s) { return splitHeader(s, m); });
    const std::pair<std::int64_t, char> rowRules[] = {
        {kEmptyRows, 'L'},     {kRowsWithoutData, 'D'}, {kRowsWithoutName, 'K'}, {kSameRows, 'U'},
        {kDifferentRows, 'W'}, {kAggregates, 'A'},      {kAdditions, 'Z'}};
    for (const auto& [number, mode] : rowRules)
        d.add(number, [m = mode](Session& s) { return markRows(s, m); });
    const std::pair<std::int64_t, char> columnRules[] = {
        {kEmptyColumns, 'N'}, {kSameColumns, 'U'}, {kDifferentColumns, 'W'}};
    for (const auto& [number, mode] : columnRules)
        d.add(number, [m = mode](Session& s) { return markColumns(s, m); });
    d.addUnnumbered(kDifferentIgnoringEmpty,
                    [](Session& s, const CommandEntry&) { return markColumns(s, 'I'); });
    d.add(kDoubleRows, [](Session& s) { return markDoubleRows(s, 'D'); });
    d.add(kSurplusRows, [](Session& s) { return markDoubleRows(s, 'U'); });
    d.add(kDoubleColumns, [](Session& s) { return markDoubleColumns(s, 'D'); });
    d.add(kSurplusColumns, [](Session& s) { return markDoubleColumns(s, 'U'); });
    d.addUnnumbered(kDoubleIgnoringEmpty,
                    [](Session& s, const CommandEntry&) { return markDoubleColumns(s, 'L'); });
    d.add(kRowType, markRowType);
    d.add(kLabelRows, [](Session& s) {
        // "1" in the margin field M of the marked rows, empty in the others.
        TEditBuffer& b = s.buffer();
        const char part = activePart(s);
        const TMenge& marked = part == 'K' ? b.MroK() : b.MroA();
        for (int r = 0; r < b.GetRowCount(part); ++r) {
            const std::string want = marked.Element(r) ? "1" : "";
            if (b.ReadP(part, 'M', r) != want) b.WriteP(part, 'M', want, r);
        }
        return Status();
    });
    d.add(kLabelledRows, [](Session& s) {
        TEditBuffer& b = s.buffer();
        const char part = activePart(s);
        TMenge found;
        for (int r = 0; r < b.GetRowCount(part); ++r)
            if (b.ReadP(part, 'M', r) == "1") found.Add(r);
        b.ClearM();
        b.setMarks(rowMarkSet(part), found);
        s.lastMarking = 1;
        return Status();
    });
    d.add(kLabelColumns, [](Session& s) {
        // A header row "Auswahl": 1 for the marked releves, 0 for the others.
        TEditBuffer& b = s.buffer();
        if (b.McoR().empty()) return Status();
        std::vector<std::string> values;
        for (int c = 0; c < b.GetColCount(); ++c) values.push_back(b.McoR().Element(c) ? "1" : "0");
        appendHeaderRow(b, "Auswahl", 'I', values);
        return Status();
    });
    d.add(kSplitDate, splitDate);
}

}  // namespace tav
