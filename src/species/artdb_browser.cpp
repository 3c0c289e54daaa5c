#include "species/artdb_browser.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <unordered_set>

#include "core/file_io.h"
#include "core/numbers.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr const char* kFilterError = "Fehler in Filterausdruck";

// The browser shows a condition it cannot use as information, not as an error.
Status filterFailure() {
    return Status::failure(Message::text(Severity::Info, kFilterError));
}

std::vector<std::string> blankWords(std::string_view s) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t end = s.find_first_of(" \t", start);
        if (end == std::string_view::npos) end = s.size();
        if (end > start) words.emplace_back(s.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

bool isJoiner(const std::string& word) {
    const std::string w = upperFold(word);
    return w == "AND" || w == "OR" || w == "XOR";
}

int scratchField(const TArtDb& db) {
    return db.SQLarten().fieldIndex("ResField");
}

std::int64_t keyOfRow(const TArtDb& db, int row) {
    return db.SQLarten().integer(row, art::kPrim).value_or(kMissingNumber);
}

// The rows that pass the species filter (or all rows), by ascending key.
std::vector<int> shownInKeyOrder(const TArtDb& db, bool all = false) {
    std::vector<int> rows;
    for (int row = 0; row < db.SQLarten().count(); ++row)
        if (all || db.SQLarten().passes(row)) rows.push_back(row);
    std::stable_sort(rows.begin(), rows.end(),
                     [&](int a, int b) { return keyOfRow(db, a) < keyOfRow(db, b); });
    return rows;
}

bool isNumeric(const RecordSet& t, int field) {
    return field >= 0 && field < t.fieldCount() && t.fields()[field].type != FieldType::String;
}

std::string delimiterText(char32_t delim) {
    std::string d;
    appendUtf8(d, delim);
    return d;
}

}  // namespace

std::string encodeForExport(std::string_view utf8, ExportEncoding enc) {
    switch (enc) {
        case ExportEncoding::Utf16:
            return "\xFF\xFE" + utf8ToUtf16LE(utf8);
        case ExportEncoding::Utf8:
            return "\xEF\xBB\xBF" + std::string(utf8);
        case ExportEncoding::CodePage:
            // Nothing may be lost: text the code page cannot hold is written as UTF-8 and marked so.
            if (std::optional<std::string> cp = codePageBytesThatReadBack(utf8)) return std::move(*cp);
            return "\xEF\xBB\xBF" + std::string(utf8);
        case ExportEncoding::Ascii:
            return utf8ToAscii(utf8);
    }
    return std::string(utf8);
}

// ---------------------------------------------------------------- filters

std::string guardCondition(std::string_view condition) {
    const std::vector<std::string> words = blankWords(condition);
    std::string out;
    bool guardNext = true;
    for (const std::string& w : words) {
        if (!out.empty()) out += ' ';
        if (guardNext) out += w + " <> '' and ";
        out += w;
        guardNext = isJoiner(w);
    }
    std::replace(out.begin(), out.end(), '"', '\'');
    return out;
}

Status filterByBasics(TArtDb& db, std::string_view condition) {
    if (!db.editArten().setFilter(guardCondition(condition))) {
        db.editArten().clearFilter();
        return filterFailure();
    }
    return {};
}

Status filterByIndicators(TArtDb& db, std::string_view condition, bool additionally) {
    if (!db.editZw().setFilter(guardCondition(condition))) {
        db.editZw().clearFilter();
        return filterFailure();
    }
    const int scratch = scratchField(db);
    if (scratch < 0 || db.SQLzw().fieldCount() < 1) return filterFailure();
    std::vector<std::int64_t> keys;
    for (int row = 0; row < db.SQLzw().count(); ++row)
        if (db.SQLzw().passes(row))
            if (auto k = db.SQLzw().integer(row, 0)) keys.push_back(*k);
    std::sort(keys.begin(), keys.end());
    // The previous filter is evaluated into the marks before it is replaced: "previous and ResField = 1"
    // then needs no copy of the previous condition's text.
    std::vector<bool> mark(static_cast<std::size_t>(db.SQLarten().count()));
    for (int row = 0; row < db.SQLarten().count(); ++row)
        mark[row] = std::binary_search(keys.begin(), keys.end(), keyOfRow(db, row)) &&
                    (!additionally || db.SQLarten().passes(row));
    for (int row = 0; row < db.SQLarten().count(); ++row)
        if (db.SQLarten().text(row, scratch) != (mark[row] ? "1" : ""))
            db.editArten().setText(row, scratch, mark[row] ? "1" : "");
    if (!db.editArten().setFilter("ResField = '1'")) return filterFailure();
    return {};
}

std::string filterTemplate(const TArtDb& db, const std::vector<int>& chosen, bool indicators) {
    const RecordSet& t = indicators ? db.SQLzw() : db.SQLarten();
    std::string condition;
    for (int p : chosen) {
        if (p < 0 || p + 1 >= t.fieldCount()) continue;
        if (!condition.empty()) condition += " and ";
        condition += t.fields()[static_cast<std::size_t>(p + 1)].name + " = ..";
    }
    return condition;
}

Status filterByChosenFields(TArtDb& db, UiPort& ui, char kind) {
    const bool indicators = kind != 'B';
    std::vector<int> chosen;
    std::string names;
    if (!GetZwItems(db, ui, indicators ? 'Z' : 'B', chosen, names)) return {};
    std::string condition = filterTemplate(db, chosen, indicators);
    if (!TNonModalDlg::Execute(ui, "Filter setzen", "Bedingung", true, condition)) return {};
    return indicators ? filterByIndicators(db, condition, kind == '+') : filterByBasics(db, condition);
}

std::optional<int> chooseIndicatorList(const TArtDb& db, UiPort& ui) {
    std::vector<std::string> names = db.GetZwNames();
    std::sort(names.begin(), names.end(), textLess);
    if (names.empty()) {
        ui.showInfo("Keine Zeigerwertliste vorhanden.");
        return std::nullopt;
    }
    const std::string current = TArtDb::ZwKey(db.ZWi());
    DialogRequest r;
    r.kind = DialogKind::List;
    r.name = "Zeigerwerte wählen";
    r.caption = r.name;
    r.items = names;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].rfind(current, 0) == 0) r.initial = std::to_string(i);
    const auto picked = ui.pickFromList(r);
    if (!picked || picked->empty()) return std::nullopt;
    return TArtDb::ZwNumberOf(names[static_cast<std::size_t>(picked->front())]);
}

Status deleteIndicatorList(TArtDb& db, UiPort& ui) {
    const std::optional<int> n = chooseIndicatorList(db, ui);
    if (!n) return {};
    const std::string file = db.ZwFileName(*n);
    if (*n == db.ZWi())
        return Status::failure(
            Message::text(Severity::Info, file + " ist geöffnet. Ich kann die Datenmenge nicht löschen."));
    if (AskYesNoCancel(ui, "Datenmenge " + file + " wirklich löschen?") != 'Y') return {};
    std::error_code ec;
    if (fileExists(file) && !std::filesystem::remove(file, ec))
        return Status::failure("Die Datei " + file + " lässt sich nicht löschen: " + ec.message());
    return db.UpdateMeta("");
}

void clearFilters(TArtDb& db) {
    db.editArten().clearFilter();
    db.editZw().clearFilter();
}

// ---------------------------------------------------------------- export

Status exportShown(const TArtDb& db, const std::vector<int>& fields, const std::string& file, char32_t delim,
                   ExportEncoding enc, const std::vector<int>* order) {
    const std::string d = delimiterText(delim);
    const RecordSet& t = db.SQLarten();
    std::string text;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k) text += d;
        if (fields[k] >= 0 && fields[k] < t.fieldCount()) text += t.fields()[fields[k]].name;
    }
    text += "\r\n";
    const std::vector<int> rows = order ? *order : shownInKeyOrder(db);
    for (int row : rows) {
        if (row < 0 || row >= t.count() || !t.passes(row)) continue;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (k) text += d;
            text += t.text(row, fields[k]);
        }
        text += "\r\n";
    }
    return writeFileAtomically(file, encodeForExport(text, enc));
}

// ---------------------------------------------------------------- find and replace

int findText(const TArtDb& db, std::string_view text, int fromRow, int column, bool matchCase) {
    const RecordSet& t = db.SQLarten();
    const std::string wanted = matchCase ? std::string(text) : upperFold(text);
    if (wanted.empty()) return -1;
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? t.fieldCount() - 1 : std::min(column, t.fieldCount() - 1);
    for (int row = std::max(fromRow, 0); row < t.count(); ++row) {
        if (!t.passes(row)) continue;
        for (int f = first; f <= last; ++f) {
            const std::string value = matchCase ? t.text(row, f) : upperFold(t.text(row, f));
            if (value.find(wanted) != std::string::npos) return row;
        }
    }
    return -1;
}

Result<int> replaceText(TArtDb& db, std::string_view from, std::string_view to, int column, bool all,
                        bool editMode) {
    if (!editMode) return Status::failure("Die Artenliste ist nicht im Bearbeitungsmodus.");
    RecordSet& t = db.editArten();
    if (from.empty()) return 0;
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? t.fieldCount() - 1 : std::min(column, t.fieldCount() - 1);
    int replaced = 0;
    for (int row = 0; row < t.count() && (all || replaced == 0); ++row) {
        if (!t.passes(row)) continue;
        for (int f = first; f <= last && (all || replaced == 0); ++f) {
            std::string value = t.text(row, f);
            int here = 0;
            for (std::size_t pos = value.find(from); pos != std::string::npos && (all || here == 0);
                 pos = value.find(from, pos)) {
                value.replace(pos, from.size(), to);
                pos += to.size();
                ++here;
            }
            // A value that no longer fits its field (too long, no number) stays as it was.
            if (here > 0 && t.setText(row, f, value)) replaced += here;
        }
    }
    if (replaced > 0) {
        if (Status saved = t.save(db.ArtTabName()); !saved) {
            // The values are changed in memory all the same; the count says how many.
            Status failed;
            for (const Message& m : saved.messages())
                failed.error("Kann die Artenliste nicht speichern: " + m.plain());
            return Result<int>(replaced, std::move(failed));
        }
    }
    return replaced;
}

// ---------------------------------------------------------------- sort order

std::vector<int> sortedRows(const TArtDb& db, const std::vector<int>& fields) {
    const RecordSet& t = db.SQLarten();
    std::vector<int> rows = shownInKeyOrder(db);
    auto compare = [&](int a, int b, int f) {
        if (isNumeric(t, f)) {
            const auto x = t.number(a, f), y = t.number(b, f);
            if (!x || !y) return static_cast<int>(y.has_value()) - static_cast<int>(x.has_value());
            return *x < *y ? -1 : *x > *y ? 1 : 0;
        }
        return compareText(t.text(a, f), t.text(b, f));
    };
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        for (int f : fields) {
            if (f < 0 || f >= t.fieldCount()) continue;
            const int c = compare(a, b, f);
            if (c != 0) return c < 0;
        }
        return false;
    });
    return rows;
}

// ---------------------------------------------------------------- integrity lists

std::vector<std::string> synonymList(TArtDb& db) {
    std::vector<std::string> lines;
    // The integrity lists cover the whole table, whatever the browser shows.
    for (int row : shownInKeyOrder(db, true)) {
        const int p = static_cast<int>(keyOfRow(db, row));
        if (db.GetSynRec(p) >= 0) continue;  // a synonym: listed with its accepted name
        const TMenge group = db.synonymGroup(p);
        if (group.Count() < 2) continue;
        lines.emplace_back();
        char status = ' ';
        for (int q : group.elements()) lines.push_back(db.GetSysStates(q, status));
    }
    return lines;
}

std::vector<std::string> aggregateList(TArtDb& db) {
    std::vector<std::string> lines;
    if (db.SQLaggr().fieldCount() < 3) return lines;
    for (int row : shownInKeyOrder(db, true)) {
        const int p = static_cast<int>(keyOfRow(db, row));
        if (db.SQLaggr().rowsWithInteger(1, p).empty() || db.GetZ(p) >= 0) continue;
        lines.emplace_back();
        lines.emplace_back(48, '-');
        db.ScanAggr('A', p, &lines, false);
    }
    return lines;
}

// ---------------------------------------------------------------- basic data of the shown species

namespace {

// The accepted names of the shown records, each once, in the order shown: a shown synonym stands for its
// accepted name, and a name in a synonym cycle, which has none, is left out.
std::vector<int> acceptedOfShown(TArtDb& db, const std::vector<int>& rows) {
    std::vector<int> keys;
    std::unordered_set<int> seen;
    for (int row : rows) {
        const int accepted = db.ScanSyn('R', static_cast<int>(keyOfRow(db, row)));
        if (accepted >= 0 && seen.insert(accepted).second) keys.push_back(accepted);
    }
    return keys;
}

std::string listed(std::string_view value) {
    std::string v(trimBlanks(value));
    std::replace(v.begin(), v.end(), ';', ',');
    return v;
}

}  // namespace

std::vector<std::string> listBasics(TArtDb& db, const std::vector<int>& fields,
                                    const std::vector<int>* order) {
    const RecordSet& t = db.SQLarten();
    std::string title = "Art";
    for (int f : fields)
        if (f > 0 && f < t.fieldCount()) title += ";" + t.fields()[f].name;
    std::vector<std::string> lines{title};
    for (int p : acceptedOfShown(db, order ? *order : shownInKeyOrder(db))) {
        const int row = t.rowOfKey(p);
        std::string line = listed(db.GetLat(p));
        for (int f : fields)
            if (f > 0 && f < t.fieldCount()) line += ";" + listed(t.text(row, f));
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> summariseBasics(TArtDb& db, const std::vector<int>& fields,
                                         const std::vector<int>* order) {
    const RecordSet& t = db.SQLarten();
    const std::vector<int> keys = acceptedOfShown(db, order ? *order : shownInKeyOrder(db));
    std::vector<std::string> lines{"Feld;Wert;Anzahl Arten"};
    for (int f : fields) {
        if (f <= 0 || f >= t.fieldCount()) continue;
        std::map<std::string, int> byValue;  // value, number of taxa
        for (int p : keys) {
            std::string value = listed(t.text(t.rowOfKey(p), f));
            ++byValue[value.empty() ? std::string("(leer)") : std::move(value)];
        }
        std::vector<std::pair<std::string, int>> counts(byValue.begin(), byValue.end());
        std::stable_sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
            return a.second != b.second ? a.second > b.second : textLess(a.first, b.first);
        });
        for (const auto& [value, n] : counts)
            lines.push_back(t.fields()[f].name + ";" + value + ";" + std::to_string(n));
    }
    return lines;
}

// ---------------------------------------------------------------- choosing columns

bool GetZwItems(const TArtDb& db, UiPort& ui, char OC, std::vector<int>& L, std::string& s) {
    const RecordSet* table = &db.SQLzw();
    std::string title;
    switch (OC) {
        case 'Z':
        case 'P':
            title = "Zeigerwerte wählen";
            break;
        case 'R':
            title = "Referenz-Zeigerwerte wählen";
            break;
        case 'V':
            title = "Varianzdaten wählen";
            break;
        case 'B':
        case 'K':
            title = "Felder wählen";
            table = &db.SQLarten();
            break;
        default:
            return false;
    }
    int end = table->fieldCount();
    // The scratch column of the species table is no data the user could choose.
    if (table == &db.SQLarten() && end > 0 && table->fields()[end - 1].name == "ResField") --end;
    std::vector<std::string> labels;
    for (int f = 1; f < end; ++f) labels.push_back(table->fields()[f].name);
    L.clear();
    s.clear();
    DialogRequest r;
    r.kind = DialogKind::List;
    r.name = title;
    r.caption = title;
    r.items = labels;
    r.multi = true;
    // The indicator lists show their names in the formats the list's import gave them.
    if (table == &db.SQLzw()) r.lineFormats = db.ZWFormat();
    const auto answer = ui.dialog(r);
    if (!answer) return false;
    for (FieldReader picks(*answer, ','); auto pick = picks.next();) {
        const auto k = parseInteger(*pick);
        if (k && *k >= 0 && *k < static_cast<std::int64_t>(labels.size())) {
            L.push_back(static_cast<int>(*k));
            s += (s.empty() ? "" : ";") + std::to_string(*k);
        }
    }
    return !L.empty();
}

}  // namespace tav
