#include "editor/validation.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <unordered_map>

#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/field_list.h"
#include "editor/grid_control.h"
#include "editor/session.h"
#include "editor/taxon_lookup.h"
#include "env/dialogs.h"
#include "species/name_lookup.h"
#include "species/name_text.h"
#include "values/typed_values.h"

namespace tav {

namespace {

constexpr double kNoLowBound = -9999999999999999.9;
constexpr double kNoHighBound = 9999999999999999.9;

// The rule letters in the order a cell's rules are tested after 'O'.
constexpr std::string_view kFlagRules = "EMABCWNRK";

std::string_view withoutLeadingBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

std::string entryOf(const TEditBuffer& b, int col, int row) {
    return std::string(b.Get('K', col, row));
}

// Whether the condition of a value holds, by the type of its row; an empty entry never fulfils it.
bool conditionHolds(char type, std::string entry) {
    if (trimBlanks(entry).empty()) return false;
    switch (type) {
        case 'B': {
            std::int32_t code = 0;
            return JaNeinVal(false, entry, code) && !entry.starts_with('N');
        }
        case 'U': {
            std::int32_t code = 0;
            return JaNeinUVal(false, entry, code) && !entry.starts_with('N');
        }
        case 'D': {
            RDatum d;
            std::int32_t key = 0;
            return DatumVal(false, false, entry, d, key);
        }
        case 'Z': {
            RZeit z;
            return ZeitVal(false, entry, z);
        }
        case 'F':
        case 'I': {
            double x = 0;
            return NumVal(type, true, false, kMissing, kMissing, x, entry) && x != 0;
        }
        case 'P': {
            double x = 0;
            return NumVal('P', true, false, 100, 0, x, entry) && x != 0;
        }
        default:
            return true;
    }
}

// The value of an entry for ranges and chained sums: the day number of a date, the seconds of a time,
// otherwise the entry read as a number.
std::optional<double> entryValue(char type, std::string entry) {
    if (type == 'D') {
        RDatum d;
        std::int32_t key = 0;
        if (!DatumVal(false, true, entry, d, key)) return std::nullopt;
        return static_cast<double>(d.TagNr);
    }
    if (type == 'Z') {
        RZeit z;
        if (!ZeitVal(false, entry, z)) return std::nullopt;
        return static_cast<double>(ZeitToSek(z));
    }
    return parseNumber(trimBlanks(entry));
}

// The two words that follow the first blank after position at (the bounds of 'R' and 'K').
std::pair<std::string, std::string> boundWords(std::string_view item, std::size_t at) {
    const std::size_t blank = item.find(' ', at);
    if (blank == std::string_view::npos) return {};
    std::vector<std::string> words;
    for (const std::string& w : splitFields(item.substr(blank + 1), " "))
        if (!w.empty()) words.push_back(w);
    return {words.size() > 0 ? words[0] : std::string(), words.size() > 1 ? words[1] : std::string()};
}

std::pair<double, double> boundValues(const std::pair<std::string, std::string>& words, char type) {
    const auto low = entryValue(type, words.first);
    const auto high = entryValue(type, words.second);
    const double lo = low ? *low : kNoLowBound;
    double hi = high ? *high : kNoHighBound;
    if (hi <= kMissingLimit) hi = kNoHighBound;
    return {lo, hi};
}

std::string timeText(std::int64_t seconds) {
    RZeit z;
    SekToZeit(seconds, z);
    return ZeitText(z);
}

// A message box shows the error and its explanation on separate lines.
std::string boxText(std::string text) {
    std::replace(text.begin(), text.end(), ';', '\r');
    return text;
}

}  // namespace

std::string_view rowTypeLabel(char type) {
    switch (type) {
        case 'T':
            return "Text";
        case 'I':
            return "Int.";
        case 'F':
            return "Float";
        case 'P':
            return "%";
        case 'D':
            return "Dat.";
        case 'Z':
            return "Zeit";
        case 'B':
            return "J/N";
        case 'U':
            return "j/n/u";
        case 'S':
            return "Db.C";
        case 'L':
            return "Db.L";
        case 'C':
            return "Kom.k";
        case 'A':
            return "Art";
        case 'K':
            return "Kom.a";
        default:
            return "???";
    }
}

bool checkHeaderValue(char type, std::string& entry) {
    std::string e = entry;
    bool ok = true;
    switch (type) {
        case 'B': {
            std::int32_t code = 0;
            ok = JaNeinVal(true, e, code);
            break;
        }
        case 'U': {
            std::int32_t code = 0;
            ok = JaNeinUVal(true, e, code);
            break;
        }
        case 'D': {
            RDatum d;
            std::int32_t key = 0;
            ok = DatumVal(true, false, e, d, key);
            break;
        }
        case 'Z': {
            RZeit z;
            ok = ZeitVal(true, e, z);
            break;
        }
        case 'F':
        case 'I': {
            double x = 0;
            ok = NumVal(type, true, true, kMissing, kMissing, x, e);
            break;
        }
        case 'P': {
            double x = 0;
            ok = NumVal('P', true, true, 100, 0, x, e);
            break;
        }
        default:
            break;
    }
    if (ok) entry = std::move(e);
    return ok;
}

// ---- constraint codes of a header row

RowConstraints::RowConstraints(const TEditBuffer& b, int row)
    : b_(b), row_(row), type_(b.GetTyp('K', row)), item_(b.ReadP('K', 'C', row)), flags_(26) {
    const int cols = b.GetColCount();
    auto flagsOf = [&](char capital) -> std::vector<char>& {
        auto& f = flags_[static_cast<std::size_t>(capital - 'A')];
        f.assign(static_cast<std::size_t>(cols), 0);
        return f;
    };
    // Unique values, and unique combinations of the group's values, compared without letter case.
    auto uniqueKeys = [&](char capital, const std::vector<int>& rows) {
        std::vector<char>& f = flagsOf(capital);
        std::set<std::string> seen;
        for (int c = 0; c < cols; ++c) {
            std::string key;
            for (int r : rows) key += ";" + upperCaseOnly(b.Get('K', c, r));
            if (!seen.insert(std::move(key)).second) f[static_cast<std::size_t>(c)] = 1;
        }
    };
    if (has('E')) uniqueKeys('E', {row});
    if (has('M')) uniqueKeys('M', group('M'));
    for (const char capital : {'A', 'B', 'C', 'N', 'W'}) {
        if (!has(capital)) continue;
        const std::vector<int> rows = group(capital);
        std::vector<char>& f = flagsOf(capital);
        const int condRow = rows.front();
        const char condType = b.GetTyp('K', condRow);
        for (int c = 0; c < cols; ++c) {
            const bool holds = conditionHolds(condType, entryOf(b, c, condRow));
            for (int r : rows) {
                if (r == condRow) continue;
                const std::string e = entryOf(b, c, r);
                const bool broken = capital == 'N'   ? !holds && !trimBlanks(e).empty()
                                    : capital == 'W' ? !holds && conditionHolds(b.GetTyp('K', r), e)
                                                     : holds && trimBlanks(e).empty();
                if (broken) f[static_cast<std::size_t>(c)] = 1;
            }
        }
    }
    if (has('R')) {
        const auto words = boundWords(item_, position('R'));
        lowWord_ = words.first;
        highWord_ = words.second;
        const auto [lo, hi] = boundValues(words, type_);
        std::vector<char>& f = flagsOf('R');
        for (int c = 0; c < cols; ++c) {
            const std::string e = entryOf(b, c, row);
            const std::string_view t = trimBlanks(e);
            if (t.empty() || upperCaseOnly(t) == "NA") continue;
            const auto v = entryValue(type_, e);
            if (!v || *v < lo || *v > hi) f[static_cast<std::size_t>(c)] = 1;
        }
    }
    if (has('K')) {
        const auto words = boundWords(item_, position('K'));
        chainLowWord_ = words.first;
        chainHighWord_ = words.second;
        // A chain over dates sums days: its bounds are numbers of days.
        const auto [lo, hi] = boundValues(words, type_ == 'D' ? 'F' : type_);
        std::vector<char>& f = flagsOf('K');
        const std::vector<int> rows = group('K');
        // Each group row's sign, read from its item once.
        std::vector<double> signs;
        for (int r : rows) signs.push_back(chainOperator(r) == '-' ? -1 : 1);
        for (int c = 0; c < cols; ++c) {
            double sum = 0;
            bool readable = true;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const auto v = entryValue(type_, entryOf(b, c, rows[i]));
                if (!v) {
                    readable = false;
                    break;
                }
                sum += signs[i] * *v;
            }
            if (readable && (sum < lo || sum > hi)) f[static_cast<std::size_t>(c)] = 1;
        }
    }
}

char RowConstraints::chainOperator(int row) const {
    const std::string item = b_.ReadP('K', 'C', row);
    const std::size_t k = item.find('K');
    return k != std::string::npos && k + 2 < item.size() ? item[k + 2] : '+';
}

std::vector<int> RowConstraints::group(char capital) const {
    const std::size_t at = position(capital);
    if (at == std::string::npos) return {row_};
    const char letter = at + 1 < item_.size() ? item_[at + 1] : '\0';
    std::vector<int> rows;
    for (int r = 0; r < b_.GetRowCount('K'); ++r) {
        if (r == row_) {
            rows.push_back(r);
            continue;
        }
        const std::string item = b_.ReadP('K', 'C', r);
        const std::size_t p = item.find(capital);
        if (p == std::string::npos) continue;
        if ((p + 1 < item.size() ? item[p + 1] : '\0') == letter) rows.push_back(r);
    }
    return rows;
}

bool RowConstraints::flagged(char capital, int col) const {
    const auto& f = flags_[static_cast<std::size_t>(capital - 'A')];
    return col >= 0 && static_cast<std::size_t>(col) < f.size() && f[static_cast<std::size_t>(col)];
}

char RowConstraints::violation(int col, bool empty) const {
    if (empty && has('O')) return 'O';
    for (const char capital : kFlagRules)
        if (flagged(capital, col)) return capital;
    return 0;
}

std::string RowConstraints::errorText(const Session& s, char kind, int col) const {
    const Catalogue& cat = s.catalogue();
    switch (kind) {
        case 'O':
            return cat.GetMsg("MissingValue");
        case 'E':
            return cat.GetMsg("DoubleValue");
        case 'R':
            return cat.GetMsg("OutOfRange") + ";Zulässiger Bereich: " + lowWord_ + " .. " + highWord_;
        default:
            break;
    }
    const char* key = kind == 'M'   ? "DoubleCombi"
                      : kind == 'W' ? "IllegalCombi"
                      : kind == 'K' ? "ChainOutOfRange"
                      : kind == 'N' ? "NotEmpty"
                                    : "MissingConditional";
    std::string why;
    double sum = 0;
    for (int r : group(kind)) {
        const std::string e = entryOf(b_, col, r);
        why += "\r" + std::string(b_.GetZl('K', r));
        if (kind == 'K') {
            const char op = chainOperator(r);
            why += std::string(": ") + op + " " + e;
            if (const auto v = entryValue(type_, e)) sum += op == '-' ? -*v : *v;
        } else {
            why += " -- " + e;
        }
    }
    if (kind == 'K') {
        const std::string result =
            type_ == 'Z' ? timeText(static_cast<std::int64_t>(std::llround(sum))) : formatNumber(sum);
        why += "\r\rResultat: " + result + "\rZulässiger Bereich: " + chainLowWord_ + " .. " + chainHighWord_;
    }
    std::replace(why.begin(), why.end(), '\r', '/');
    return cat.GetMsg(key) + ";" + std::string(withoutLeadingBlanks(why));
}

// ---- the walks of "Daten prüfen"

namespace {

// One run of a check command: where errors go and what the run has answered.
struct CheckRun {
    Session& s;
    char mode;
    std::vector<std::string>* list;  // none: stop at the first error
    std::size_t omitted = 0;
    FieldCheckRun fields;
    bool allTypes = false, allMargins = false;

    bool interactive() const { return list == nullptr; }
    bool aborted() const { return s.abortRequested || s.progress().aborted(); }
    void add(std::string_view part, int row, std::string_view name, int col, std::string message) {
        if (list->size() >= kErrorListCap) {
            ++omitted;
            return;
        }
        std::size_t at = 0;
        while ((at = message.find('\r', at)) != std::string::npos) message.replace(at, 1, ", ");
        list->push_back(std::string(part) + "zeile;" + std::to_string(row + 1) + ";" + std::string(name) +
                        ";" + (col >= 0 ? std::to_string(col + 1) : std::string()) + ";" + message);
    }
};

// The entry of the template header list with exactly this name: its fields name, type, margin.
std::optional<std::vector<std::string>> templateEntry(const TEditBuffer& b, std::string_view name) {
    for (const std::string& e : b.Kopf()) {
        std::vector<std::string> f = splitFields(e);
        if (!f.empty() && f[0] == name) {
            f.resize(3);
            return f;
        }
    }
    return std::nullopt;
}

// The cursor goes to what the check found, also while the check keeps the editor busy.
void cursorTo(Session& s, int grid, int col, int row) {
    const bool busy = s.busy;
    s.busy = false;
    setCursor(s, grid, 'C', 'C', true, true, col, row);
    s.busy = busy;
}

// Field names and their row types and margins against the template.
bool checkFieldNames(CheckRun& run) {
    Session& s = run.s;
    TEditBuffer& b = s.buffer();
    const Catalogue& cat = s.catalogue();
    if (b.Kopf().empty()) {
        if (run.interactive()) s.ui().showInfo(cat.GetLangMsg("MsgEmptyPref"));
        return true;
    }
    const auto& pruef = s.settings().Pruef;
    bool ok = true;
    const int rows = b.GetRowCount('K');
    const int start = run.interactive() && s.activeGrid <= 2 ? std::clamp(s.cursorRow, 0, rows) : 0;
    for (int r = start; r < rows && !run.aborted(); ++r) {
        s.progress().setStatus("Zeile " + std::to_string(r + 1));
        const std::string name(b.GetZl('K', r));
        if (name.empty()) continue;
        const auto entry = templateEntry(b, name);
        if (!entry) {
            ok = false;
            if (!run.interactive()) {
                run.add("Kopf", r, name, -1, ";unbekannt");
                continue;
            }
            cursorTo(s, 1, s.cursorCol, r);
            s.ui().showInfo(cat.GetLangMsg("MsgUnRowH") + " \"" + name + "\"");
            return false;
        }
        // The row type, then the margin: silently with the automatic settings or after "Alle".
        struct Difference {
            bool differs;
            bool& all;
            bool automatic;
            std::string listText, question;
            std::function<void()> apply;
        };
        const char want = (*entry)[1].empty() ? 'T' : (*entry)[1][0];
        const std::string margin = (*entry)[2];
        Difference checks[] = {
            {b.GetTyp('K', r) != want, run.allTypes, pruef.TypAuto, "abweichender Zeilentyp",
             "Der Typ von \"" + name + "\" weicht ab.\r" + std::string(rowTypeLabel(want)) + " statt " +
                 std::string(rowTypeLabel(b.GetTyp('K', r))) + " einsetzen?",
             [&b, want, r] { b.PutTyp('K', want, r); }},
            {std::string(b.GetP('K', r)) != margin, run.allMargins, pruef.RandAuto, "abweichende Randspalte",
             "Die Randspalte von \"" + name + "\" weicht ab.\r\"" + margin + "\" statt \"" +
                 std::string(b.GetP('K', r)) + "\" einsetzen?",
             [&b, margin, r] { b.PutP('K', margin, r); }},
        };
        for (Difference& d : checks) {
            if (!d.differs) continue;
            if (d.automatic || d.all) {
                d.apply();
                continue;
            }
            ok = false;
            if (!run.interactive()) {
                run.add("Kopf", r, name, -1, ";" + d.listText);
                continue;
            }
            cursorTo(s, 1, s.cursorCol, r);
            switch (AskYesNoCancelAll(s.ui(), d.question)) {
                case 'A':
                    d.all = true;
                    [[fallthrough]];
                case 'Y':
                    d.apply();
                    break;
                case 'N':
                    break;
                default:
                    return false;
            }
        }
    }
    if (run.interactive() && !run.aborted()) {
        cursorTo(s, 1, s.cursorCol, std::max(rows - 1, 0));
        std::string answer;
        if (s.macroAnswers().NextMacroAnswer(answer)) s.ui().showInfo(cat.GetMsg("AllFound"));
    }
    return ok;
}

// Species names against the species database, from the cursor row of the species grid.
bool checkSpeciesNames(CheckRun& run) {
    Session& s = run.s;
    TEditBuffer& b = s.buffer();
    TArtDb& db = *s.speciesDb();
    const Catalogue& cat = s.catalogue();
    const auto& pruef = s.settings().Pruef;
    const int rows = b.GetRowCount('A');
    const int cursorRow = s.activeGrid >= 3 ? s.cursorRow : std::max(s.grid(3).oldRow, s.grid(4).oldRow);
    bool ok = true;
    auto stop = [&](int r, const std::string& message) {
        cursorTo(s, 3, s.cursorCol, r);
        s.ui().showInfo(message);
        return false;
    };
    // The name lookup with the user: the chosen name (with its additions) or nothing.
    auto choose = [&](std::string name) -> std::optional<std::string> {
        std::vector<std::string> lines;
        if (LookupName(db, s.ui(), cat, 'L', 0, lines, name, &s.inputFilter, s.inputFilterOn, false, false))
            return name;
        return std::nullopt;
    };
    for (int r = std::clamp(cursorRow, 0, rows); r < rows && !run.aborted(); ++r) {
        s.progress().setStatus("Zeile " + std::to_string(r + 1));
        const char type = b.GetTyp('A', r);
        const std::string name(withoutLeadingBlanks(b.GetZl('A', r)));
        if (type == 'K') continue;
        if (type != 'A') {
            ok = false;
            if (!run.interactive()) {
                run.add("Art", r, name, -1, ";ungültiger Zeilentyp");
                continue;
            }
            return stop(r, "Ungültiger Zeilentyp");
        }
        if (name.empty()) continue;
        TMenge found = db.Search(name, false);
        if (s.inputFilterOn && found.Count() > 1) {
            TMenge reduced = found;
            reduced.Und(s.inputFilter);
            if (!reduced.empty()) {
                found = reduced;
                db.setMa(found);
            }
        }
        if (pruef.OhneAutor) {
            if (found.empty()) found = db.Search(name, true);
            db.RedToMatchOhneAutor(name);
        }
        db.RedToFilter();
        found = db.Ma();
        std::optional<std::string> replacement;  // the full name, or a chosen name with its additions
        bool chosen = false;
        if (found.Count() == 1) {
            const int p = found.elements().front();
            replacement = db.GetLat(p);
            if (run.interactive() && pruef.Layers && db.HasLayers(p) && !db.LayerRem(name)) {
                cursorTo(s, 3, s.cursorCol, r);
                if (auto c = choose(name)) {
                    replacement = c;
                    chosen = true;
                }
            }
        } else if (found.Count() > 1) {
            ok = false;
            if (!run.interactive()) {
                run.add("Art", r, name, -1, ";mehrdeutig");
                continue;
            }
            cursorTo(s, 3, s.cursorCol, r);
            replacement = choose(name);
            chosen = replacement.has_value();
        } else {
            ok = false;
            if (!run.interactive()) {
                run.add("Art", r, name, -1, ";unbekannt");
                continue;
            }
            const std::string plain = RmZusatz("1", name) + GetZusatz(name);
            if (plain != b.GetZl('A', r)) b.PutZl('A', plain, r);
            return stop(r, cat.GetMsg("NotFound"));
        }
        if (!replacement) {
            if (run.interactive()) return false;
            continue;
        }
        std::string additions = GetZusatz(name);
        if (!CheckZusatz(additions, db.Settings().Rem, db.Settings().Zusatzlist)) {
            ok = false;
            if (!run.interactive()) {
                run.add("Art", r, name, -1, ";ungültiger Zusatz");
                continue;
            }
            return stop(r, "Ungültiger Zusatz: " + additions);
        }
        // The list only reports; the interactive check writes the database's spelling.
        if (!run.interactive()) continue;
        const std::string renamed = chosen ? *replacement : *replacement + additions;
        if (renamed != b.GetZl('A', r)) b.PutZl('A', renamed, r);
    }
    if (run.interactive() && !run.aborted()) {
        cursorTo(s, 3, s.cursorCol, std::max(rows - 1, 0));
        std::string answer;
        if (s.macroAnswers().NextMacroAnswer(answer)) s.ui().showInfo(cat.GetMsg("AllFound"));
    }
    return ok;
}

// One header cell: nothing when it passes (the interactive check writes its normal form), else the
// error text.
std::optional<std::string> checkHeaderCell(CheckRun& run, const RowConstraints& rules, int col, int row) {
    TEditBuffer& b = run.s.buffer();
    const std::string before(b.Get('K', col, row));
    std::string entry = before;
    const char type = b.GetTyp('K', row);
    bool typeOk = true;
    char kind = 0;
    if (!trimBlanks(entry).empty()) {
        if (type == 'S' || (type == 'L' && b.GetCodePos(row) < 0)) {
            const FieldCheck r =
                type == 'S' ? checkCodedCell(run.s, col, row, run.interactive(), run.fields)
                            : checkLookupCell(run.s, col, row, before, run.interactive(), run.fields);
            typeOk = r.ok;
            kind = r.kind;
        } else if (type != 'L') {
            typeOk = checkHeaderValue(type, entry);
        }
    }
    if (typeOk) kind = rules.violation(col, trimBlanks(before).empty());
    if (typeOk && kind == 0) {
        if (run.interactive() && type != 'S' && type != 'L' && entry != before) b.Put('K', entry, col, row);
        return std::nullopt;
    }
    const std::string cell(b.Get('K', col, row));
    switch (kind) {
        case 0:
            return run.s.catalogue().GetMsg("InvalidValue") + ";" + before;
        case 'U':
            return std::string("Unbekannter Zeilenkopf");
        case 'D':
            return std::string("Fremde Zeile in Datenbank-Block");
        case 'F':
            return "Fehlende oder falsche Einträge in Datenbank-Block;" + cell;
        case 'X':
            return "Nachfolgende Einträge weichen von der Lookup-Tabelle ab;" + cell;
        default:
            return rules.errorText(run.s, kind, col);
    }
}

// Header values row by row (or column by column with mode 'C').
bool checkHeaderValues(CheckRun& run) {
    Session& s = run.s;
    TEditBuffer& b = s.buffer();
    const int rows = b.GetRowCount('K'), cols = b.GetColCount();
    int startRow = 0, startCol = 0;
    if (run.interactive() && s.activeGrid <= 2) {
        startRow = std::clamp(s.cursorRow, 0, rows);
        startCol = std::clamp(s.cursorCol, 0, cols);
    }
    run.fields.fullCheck = true;
    auto report = [&](int c, int r, const std::string& text) {
        if (!run.interactive()) {
            run.add("Kopf", r, b.GetZl('K', r), c, text);
            return;
        }
        const char type = b.GetTyp('K', r);
        if (type != 'S' && type != 'L') cursorTo(s, 2, c, r);
        s.progress().setStatus("Zeile " + std::to_string(r + 1) + ", Spalte " + std::to_string(c + 1));
        s.ui().showError(boxText(text));
    };
    bool ok = true;
    if (run.mode == 'C') {
        std::vector<RowConstraints> rules;
        for (int r = 0; r < rows; ++r) rules.emplace_back(b, r);
        for (int c = startCol; c < cols && !run.aborted(); ++c) {
            s.progress().setStatus("Spalte " + std::to_string(c + 1));
            for (int r = c == startCol ? startRow : 0; r < rows; ++r) {
                if (const auto error = checkHeaderCell(run, rules[static_cast<std::size_t>(r)], c, r)) {
                    ok = false;
                    report(c, r, *error);
                    if (run.interactive()) return false;
                }
            }
        }
    } else {
        for (int r = startRow; r < rows && !run.aborted(); ++r) {
            s.progress().setStatus("Zeile " + std::to_string(r + 1));
            const RowConstraints rules(b, r);
            for (int c = r == startRow ? startCol : 0; c < cols; ++c) {
                if (const auto error = checkHeaderCell(run, rules, c, r)) {
                    ok = false;
                    report(c, r, *error);
                    if (run.interactive()) return false;
                }
            }
        }
    }
    run.fields.fullCheck = false;
    if (run.interactive() && !run.aborted()) {
        cursorTo(s, 2, std::max(cols - 1, 0), std::max(rows - 1, 0));
        s.ui().showInfo(s.catalogue().GetMsg("AllDataOK"));
    }
    return ok;
}

// Cover values of the species rows. Only filled cells can be wrong, and each distinct text is read once.
bool checkCovers(CheckRun& run) {
    Session& s = run.s;
    TEditBuffer& b = s.buffer();
    const int rows = b.GetRowCount('A'), cols = b.GetColCount();
    const bool byColumn = run.mode == 'C';
    int startRow = 0, startCol = 0;
    if (run.interactive() && s.activeGrid >= 3) {
        startRow = std::clamp(s.cursorRow, 0, rows);
        startCol = std::clamp(s.cursorCol, 0, cols);
    }
    // The walk's order: row by row (or column by column) from the start cell.
    auto order = [&](int c, int r) -> std::int64_t {
        const std::int64_t major = byColumn ? c : r, minor = byColumn ? r : c;
        const std::int64_t startMajor = byColumn ? startCol : startRow,
                           startMinor = byColumn ? startRow : startCol;
        if (major < startMajor || (major == startMajor && minor < startMinor)) return -1;
        return major * (static_cast<std::int64_t>(byColumn ? rows : cols) + 1) + minor;
    };
    struct Cell {
        std::int64_t order;
        int col, row;
        bool ok;
        std::string normal;
    };
    std::vector<char> coverRow(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) coverRow[static_cast<std::size_t>(r)] = b.GetTyp('A', r) == 'A';
    std::unordered_map<TextHandle, std::pair<bool, std::string>> seen;
    const TDeckInter& deck = s.coverInterpreter();
    const bool naAccept = s.settings().Pruef.NaAccept;
    CoverCounts counts;
    std::vector<Cell> cells;  // the cells that fail or are not in their normal form
    s.progress().setStatus("Deckungen");
    b.forEachFilled('A', [&](const FilledCell& f) {
        if (!coverRow[static_cast<std::size_t>(f.row)]) return;
        auto it = seen.find(f.handle);
        if (it == seen.end()) {
            std::string normal(f.text);
            double x = 0;
            const bool valid = deck.DeckVal('S', normal, x, naAccept, counts);
            it = seen.emplace(f.handle, std::make_pair(valid, std::move(normal))).first;
        }
        if (it->second.first && it->second.second == f.text) return;
        const std::int64_t o = order(f.col, f.row);
        if (o >= 0) cells.push_back({o, f.col, f.row, it->second.first, it->second.second});
    });
    std::sort(cells.begin(), cells.end(), [](const Cell& x, const Cell& y) { return x.order < y.order; });
    bool ok = true;
    for (const Cell& c : cells) {
        if (c.ok) {
            if (run.interactive()) b.Put('A', c.normal, c.col, c.row);
            continue;
        }
        ok = false;
        const std::string text =
            s.catalogue().GetMsg("InvalidValue") + ";" + std::string(b.Get('A', c.col, c.row));
        if (!run.interactive()) {
            run.add("Art", c.row, b.GetZl('A', c.row), c.col, text);
            continue;
        }
        cursorTo(s, 4, c.col, c.row);
        s.progress().setStatus("Zeile " + std::to_string(c.row + 1) + ", Spalte " +
                               std::to_string(c.col + 1));
        s.ui().showError(boxText(text));
        return false;
    }
    if (run.interactive()) {
        cursorTo(s, 4, std::max(cols - 1, 0), std::max(rows - 1, 0));
        s.ui().showInfo(s.catalogue().GetMsg("AllDataOK"));
    }
    return ok;
}

}  // namespace

bool runDataCheck(Session& s, char mode) {
    commitEdit(s);
    settleCursor(s);
    const int grid = std::clamp(s.activeGrid, 1, 4);
    std::vector<std::string> lines;
    CheckRun run{s, mode, mode == 'L' || mode == 'G' ? &lines : nullptr, 0, {}, false, false};
    s.busy = true;
    s.abortRequested = false;
    s.progress().clearAbort();
    const bool all = mode == 'G';
    bool ok = true;
    // Interactive walks end at the first error.
    auto step = [&](bool wanted, auto&& check) {
        if (!wanted || (!ok && run.interactive()) || run.aborted()) return;
        if (!check(run)) ok = false;
    };
    step(all || grid == 1, checkFieldNames);
    step(all || grid == 2, checkHeaderValues);
    step(all || grid == 3, [&](CheckRun& r) {
        TArtDb* db = s.speciesDb();
        if (all ? !(db && db->CheckArtDb()) : !CheckArtDb(db, s.ui(), s.catalogue())) return true;
        return checkSpeciesNames(r);
    });
    step(all || grid == 4, checkCovers);
    s.busy = false;
    s.progress().hideStatus();
    const bool aborted = run.aborted();
    if (run.list) {
        if (lines.empty()) {
            lines.push_back("Keine Fehler gefunden.");
        } else {
            if (run.omitted > 0)
                lines.push_back(";;;;… und " + std::to_string(run.omitted) +
                                " weitere Fehler (nicht aufgeführt)");
            lines.insert(lines.begin(), "Zeile;Zeile Nr.;Zeilenkopf;Spalte Nr.;Fehler;Eintrag");
        }
        std::string res;
        TGridDlg::Execute(s.ui(), "Fehlerliste", lines, 1, res);
    }
    if (aborted) {
        s.abortRequested = false;
        s.progress().clearAbort();
        s.ui().showInfo("Bearbeitung abgebrochen");
    }
    if (s.activeGrid < 1) s.activeGrid = grid;
    return ok;
}

// ---- the immediate check of a cell

bool checkData(Session& s) {
    if (s.activeGrid < 1) return true;
    TVGrid& g = s.grid(s.activeGrid);
    if (g.checkRow < 0) return true;
    TEditBuffer& b = s.buffer();
    if (b.CheckM()) {
        g.checkCol = g.checkRow = -1;
        return true;
    }
    commitEdit(s);
    const int grid = g.typ(), col = g.checkCol, row = g.checkRow;
    const char part = g.area();
    const auto& pruef = s.settings().Pruef;
    bool ok = true;
    if (row >= b.GetRowCount(part) || (!g.names() && col >= b.GetColCount())) {
        g.checkCol = g.checkRow = -1;
        return true;
    }
    auto write = [&](std::string_view text) {
        if (g.names() ? b.GetZl(part, row) == text : b.Get(part, col, row) == text) return;
        s.undoList().begin();
        g.names() ? b.PutZl(part, text, row) : b.Put(part, text, col, row);
        s.undoList().end();
    };
    if (grid == 1 && pruef.AngSofort) {
        const std::string name(b.GetZl('K', row));
        if (const auto entry = name.empty() ? std::nullopt : templateEntry(b, name)) {
            const char want = (*entry)[1].empty() ? 'T' : (*entry)[1][0];
            const Catalogue& cat = s.catalogue();
            if (b.GetTyp('K', row) != want &&
                (pruef.TypAuto || AskYesNoCancel(s.ui(), cat.GetLangMsg("MsgWrongRowType")) == 'Y')) {
                s.undoList().begin();
                b.PutTyp('K', want, row);
                s.undoList().end();
            }
            if (b.GetP('K', row) != (*entry)[2] &&
                (pruef.RandAuto || AskYesNoCancel(s.ui(), cat.GetLangMsg("MsgWrongBorder")) == 'Y')) {
                s.undoList().begin();
                b.PutP('K', (*entry)[2], row);
                s.undoList().end();
            }
        }
    } else if (grid == 2 && pruef.KopfSofort) {
        const char type = b.GetTyp('K', row);
        FieldCheckRun fields;
        if (type == 'S') {
            s.undoList().begin();
            ok = checkCodedCell(s, col, row, true, fields).ok;
            s.undoList().end();
        } else if (type == 'L') {
            s.undoList().begin();
            ok = checkLookupCell(s, col, row, g.checkStart, true, fields).ok;
            s.undoList().end();
        } else {
            std::string entry(b.Get('K', col, row));
            ok = checkHeaderValue(type, entry);
            if (ok) write(entry);
        }
    } else if (grid == 3 && pruef.ArtSofort && b.GetTyp('A', row) == 'A') {
        std::string name(b.GetZl('A', row));
        TArtDb* db = s.speciesDb();
        if (!name.empty()) {
            if (pruef.PrimAccept && db && name[0] >= '0' && name[0] <= '9') {
                std::string number(name.substr(0, name.find('/')));
                number.erase(std::remove(number.begin(), number.end(), ' '), number.end());
                if (const auto p = parseInteger(number);
                    p && *p <= INT32_MAX && db->exists(static_cast<int>(*p)))
                    name = db->GetLat(static_cast<int>(*p)) + GetZusatz(name);
            }
            ok = lookUpSpeciesName(s, name, false);
            if (ok) write(name);
        }
    } else if (grid == 4 && pruef.DeckSofort && b.GetTyp('A', row) == 'A') {
        std::string entry(b.Get('A', col, row));
        double x = 0;
        CoverCounts counts;
        ok = s.coverInterpreter().DeckVal('S', entry, x, pruef.NaAccept, counts);
        if (ok) write(entry);
    }
    if (ok) {
        g.checkCol = g.checkRow = -1;
        return true;
    }
    // Refused: the cursor stays on the cell, with the previous value back under the strict setting.
    if (grid != 3 && s.settings().CurScrEinst.Warn) s.ui().showError(s.catalogue().GetMsg("InvalidValue"));
    if (pruef.Streng) write(g.checkStart);
    setCursor(s, grid, 'N', 'N', true, true, g.names() ? s.cursorCol : col, row);
    TVGrid& again = s.grid(grid);
    again.checkCol = col;
    again.checkRow = row;
    again.checkStart = pruef.Streng ? g.checkStart : std::string(again.escText);
    return false;
}

// ---- writing constraints and listing them

namespace {

constexpr std::int64_t kCheckRows = 105050100;     // "Daten prüfen" › "Zeilen"
constexpr std::int64_t kCheckColumns = 105050200;  // … › "Spalten"
constexpr std::int64_t kListGrid = 105050300;      // … › "Liste der Fehler im akt. Gitter"
constexpr std::int64_t kListAll = 105050400;       // … › "Vollständige Fehlerliste (alle Gitter)"
constexpr std::int64_t kConstraintTable =
    103040300;  // "Randfelder bearbeiten" › "Konsistenzchecks als Tabelle"

// The check ran, whatever it found: the error boxes and the list tell the user.
Status dataCheck(Session& s, char mode) {
    runDataCheck(s, mode);
    return {};
}

// The header rows a constraint is written to: the marked ones, or the cursor row.
std::vector<int> constraintRows(Session& s) {
    const TEditBuffer& b = s.buffer();
    if (!b.MroK().empty()) return b.MroK().elements();
    if (s.activeGrid <= 2 && s.cursorRow >= 0 && s.cursorRow < b.GetRowCount('K')) return {s.cursorRow};
    return {};
}

// The two bounds of a range for a row of the type, asked in one text input: words a date or time row
// does not accept, or that are no numbers, become "na". Nothing when cancelled.
std::optional<std::pair<std::string, std::string>> askRange(Session& s, char type, bool days) {
    std::string caption = "Unter- und Obergrenze", prompt = "2 Werte (NA erlaubt)", preset = "0   100";
    if (days) {
        caption += " Anzahl Tage";
    } else if (type == 'D') {
        caption = "2 Daten dd:mm:yyyy (Unter- und Obergrenze)";
        prompt = "2 Daten (NA erlaubt)";
        preset = "00.00.0000   99.99.9999";
    } else if (type == 'Z') {
        caption = "2 Zeiten hh:mm:ss (Unter- und Obergrenze)";
        prompt = "2 Zeiten (NA erlaubt)";
        preset = "00:00:00   99:99:99";
    }
    const std::optional<std::string> answer = askText(s, caption, prompt, preset);
    if (!answer) return std::nullopt;
    std::vector<std::string> words;
    for (const std::string& w : splitFields(*answer, " "))
        if (!w.empty()) words.push_back(w);
    words.resize(2);
    for (std::string& w : words) {
        std::string v = w;
        if (!days && type == 'D') {
            RDatum d;
            std::int32_t key = 0;
            w = DatumVal(false, false, v, d, key) ? v : "na";
        } else if (!days && type == 'Z') {
            RZeit z;
            w = ZeitVal(false, v, z) ? v : "na";
        } else {
            const auto x = parseNumber(v);
            w = !x ? "na" : days ? formatInteger(std::llround(*x)) : formatNumber(*x);
        }
    }
    return std::make_pair(words[0], words[1]);
}

// The first group letter not yet used after the capital in any header row's constraint item.
std::optional<char> freeGroupLetter(const TEditBuffer& b, char capital) {
    std::string used;
    for (int r = 0; r < b.GetRowCount('K'); ++r) {
        const std::string item = b.ReadP('K', 'C', r);
        for (std::size_t p = item.find(capital); p != std::string::npos; p = item.find(capital, p + 1))
            if (p + 1 < item.size()) used += item[p + 1];
    }
    for (char g = 'a'; g <= 'z'; ++g)
        if (used.find(g) == std::string::npos) return g;
    return std::nullopt;
}

// Blanks reduced to one between words, none at the ends.
std::string singleBlanks(std::string_view text) {
    std::string out;
    for (const std::string& w : splitFields(text, " "))
        if (!w.empty()) out += (out.empty() ? "" : " ") + w;
    return out;
}

// The range of an item replaced: from its 'R' up to the next capital letter.
std::string withoutRange(std::string item) {
    const std::size_t at = item.find('R');
    if (at == std::string::npos) return item;
    std::size_t end = at + 1;
    while (end < item.size() && !(item[end] >= 'A' && item[end] <= 'Z')) ++end;
    return item.erase(at, end - at);
}

}  // namespace

Status setRowCheck(Session& s) {
    int choice = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgCheck", "", "", choice)) return {};
    static constexpr std::string_view kCapitals = "OEMBWNRK";
    if (choice < 0 || choice >= static_cast<int>(kCapitals.size())) return {};
    const char capital = kCapitals[static_cast<std::size_t>(choice)];
    TEditBuffer& b = s.buffer();
    const std::vector<int> rows = constraintRows(s);
    if (rows.empty()) return {};
    std::vector<std::string> additions(rows.size());
    if (capital == 'O' || capital == 'E') {
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (b.ReadP('K', 'C', rows[i]).find(capital) == std::string::npos) additions[i] = capital;
    } else if (capital == 'R') {
        const auto range = askRange(s, b.GetTyp('K', rows.front()), false);
        if (!range) return {};
        for (std::string& a : additions) a = "R " + range->first + " " + range->second;
    } else {
        if (rows.size() < 2) {
            s.ui().showInfo("Zu wenige Zeilen markiert.");
            return commandFailed();
        }
        const auto letter = freeGroupLetter(b, capital);
        if (!letter) {
            s.ui().showError("Es gibt schon zu viele solche Spezifikationen (maximal möglich sind 26)");
            return commandFailed();
        }
        for (std::string& a : additions) a = std::string{capital, *letter};
        if (capital == 'K') {
            std::vector<std::string> lines{"Operator (ändern: Doppelklick);Variable"};
            for (int r : rows) lines.push_back("+;" + std::string(b.GetZl('K', r)));
            std::string answer;
            if (!TGridDlg::Execute(s.ui(), "Kettenrechnung", lines, 25, answer)) return {};
            // A macro gives the operators as one "+" or "-" per row.
            const bool scripted =
                answer.size() == rows.size() && answer.find_first_not_of("+-") == std::string::npos;
            const char type = b.GetTyp('K', rows.front());
            const auto range = askRange(s, type, type == 'D');
            if (!range) return {};
            for (std::size_t i = 0; i < rows.size(); ++i) {
                char op = scripted ? answer[i] : '+';
                if (!scripted && i + 1 < lines.size() && lines[i + 1].starts_with('-')) op = '-';
                additions[i] += std::string(1, op) + " " + range->first + " " + range->second;
            }
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (additions[i].empty()) continue;
        std::string item = b.ReadP('K', 'C', rows[i]);
        if (capital == 'R') item = withoutRange(item);
        const std::string written = singleBlanks(item + " " + additions[i]);
        if (written != b.ReadP('K', 'C', rows[i])) b.WriteP('K', 'C', written, rows[i]);
    }
    return {};
}

namespace {

// What the condition of a group's first row asks, by its type.
std::string_view conditionWords(char type, bool negated) {
    switch (type) {
        case 'B':
        case 'U':
            return negated ? " = Nein" : " <> Nein";
        case 'D':
            return negated ? " = kein gültiges Datum" : " = gültiges Datum";
        case 'F':
        case 'I':
        case 'P':
            return negated ? " =0" : " <> 0";
        case 'Z':
            return negated ? " = keine gültige Zeit" : " = gültige Zeitangabe";
        default:
            return "";
    }
}

std::string_view contradictionWord(char type) {
    switch (type) {
        case 'B':
        case 'U':
            return " <> Nein ";
        case 'D':
            return " gültiges Datum ";
        case 'F':
        case 'I':
        case 'P':
            return " <> 0 ";
        case 'Z':
            return " gültige Zeitangabe";
        default:
            return "";
    }
}

// "Konsistenzchecks als Tabelle": one line per marked header row (all rows when none is marked).
Status constraintTable(Session& s) {
    TEditBuffer& b = s.buffer();
    std::vector<int> rows = b.MroK().elements();
    if (b.MroK().empty() && b.MroA().empty())
        for (int r = 0; r < b.GetRowCount('K'); ++r) rows.push_back(r);
    // The first row (in this listing) of each group code.
    std::set<std::string> seenGroups;
    std::vector<std::string> lines;
    for (int r : rows) {
        const std::string item = b.ReadP('K', 'C', r);
        const char type = b.GetTyp('K', r);
        std::string line = std::string(1, type) + ";" + std::string(b.GetZl('K', r)) + ";" +
                           (item.empty() ? std::string() : "C" + item) + ";" +
                           std::string(rowTypeLabel(type));
        for (const char capital : std::string_view("OEMABCNWRK")) {
            line += ";";
            const std::size_t at = item.find(capital);
            if (at == std::string::npos) continue;
            const std::string g = item.substr(at, 2);
            const bool first = seenGroups.insert(g).second;
            switch (capital) {
                case 'O':
                    line += "Obligatorische Eingabe";
                    break;
                case 'E':
                    line += "Eindeutig (keine Doppel)";
                    break;
                case 'M':
                    line += "Mehrfachschlüssel (alle " + g + " zusammen eindeutig)";
                    break;
                case 'R':
                    line += "Eingeschränkter Wertebereich";
                    break;
                case 'K':
                    line += "Wertebereich für Kettenrechnung";
                    break;
                case 'N':
                    line += first ? "Bedingung für " + g + ": Keine Eingabe in den übrigen Zl. mit " + g +
                                        ", wenn hier der Wert" + std::string(conditionWords(type, true))
                                  : "Keine Eingabe wenn .. (Bedingung siehe erstes " + g + ")";
                    break;
                case 'W': {
                    if (first) {
                        line += "Die übrigen Zl. mit " + g + " werden auf Widerspruch getestet";
                        break;
                    }
                    const std::string_view word = contradictionWord(type);
                    // The first row of the group is the one listed first with this code.
                    char firstType = type;
                    for (int q : rows) {
                        const std::string other = b.ReadP('K', 'C', q);
                        const std::size_t p = other.find('W');
                        if (p != std::string::npos && other.substr(p, 2) == g) {
                            firstType = b.GetTyp('K', q);
                            break;
                        }
                    }
                    line += word.empty() ? "Test auf Widerspruch (Bedingung siehe erstes " + g + ")"
                                         : "Test auf Widerspruch (" + std::string(word) +
                                               "nur erlaubt wenn im ersten " + g +
                                               std::string(contradictionWord(firstType)) + "steht )";
                    break;
                }
                default:  // 'A', 'B', 'C'
                    line += first ? "Bedingung für " + g + ": Eingabe in den übrigen Zl. mit " + g +
                                        " obligatorisch, wenn hier der Wert" +
                                        std::string(conditionWords(type, false))
                                  : "Obligatorisch wenn .. (Bedingung siehe erstes " + g + ")";
                    break;
            }
        }
        lines.push_back(std::move(line));
    }
    std::size_t width = 14;
    for (const std::string& l : lines)
        width =
            std::max<std::size_t>(width, static_cast<std::size_t>(std::count(l.begin(), l.end(), ';')) + 1);
    std::string title = "C;Einschränkungen für Konsistenztest;;" + s.fileName();
    title += std::string(width > 4 ? width - 4 : 0, ';');
    lines.insert(
        lines.begin(),
        {title, "",
         "Zeilentyp (Code);Feldname;Einschränkung (Code);Zeilentyp;Code = O;Code = E;Code = M;Code = A; "
         "Code = B;Code = C;Code = N;Code = W;Code = R;Code = K",
         ";;;;(Obligatorische Eingabe);(Eindeutig, d.h. keine Doppel);(Mehrfachschlüssel);(Bedingte "
         "Eingabe);(Bedingte Eingabe);(Bedingte Eingabe);(Bedingt keine Eingabe);(Test auf "
         "Widerspruch);(Eingeschränkter Wertebereich);(Wertebereich für Kettenrechnung)",
         ""});
    std::string res;
    TGridDlg::Execute(s.ui(), "Randfelder", lines, 1, res);
    b.ClearM();
    return {};
}

}  // namespace

void addValidationCommands(Dispatcher& d) {
    d.add(kCheckRows, [](Session& s) { return dataCheck(s, 'R'); });
    d.add(kCheckColumns, [](Session& s) { return dataCheck(s, 'C'); });
    d.add(kListGrid, [](Session& s) { return dataCheck(s, 'L'); });
    d.add(kListAll, [](Session& s) { return dataCheck(s, 'G'); });
    d.add(kConstraintTable, constraintTable);
}

}  // namespace tav
