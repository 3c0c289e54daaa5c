#include "editor/sorting.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "core/file_io.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "species/art_db.h"
#include "species/artdb_browser.h"
#include "species/name_text.h"
#include "table/cell_stats.h"
#include "values/typed_values.h"

namespace tav {

namespace {

// One part of a key: missing values come first, then numbers by value, then texts in the program's
// collation.
struct KeyPart {
    enum Kind : std::uint8_t { Missing, Number, Text } kind = Missing;
    double number = 0;
    std::string text;
};
using Key = std::vector<KeyPart>;

KeyPart numberPart(double x) {
    if (std::isnan(x) || x <= kMissingLimit) return {};
    return {KeyPart::Number, x, {}};
}
KeyPart textPart(std::string t) {
    return {KeyPart::Text, 0, std::move(t)};
}

int comparePart(const KeyPart& a, const KeyPart& b) {
    if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
    if (a.kind == KeyPart::Number) return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    if (a.kind == KeyPart::Text) {
        const int c = compareText(a.text, b.text);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    return 0;
}

int compareKey(const Key& a, const Key& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (const int c = comparePart(a[i], b[i]); c != 0) return c;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// A cell text cut to the length the keys compare.
std::string cut(std::string_view s) {
    return charLeft(s, 130);
}

// The typed key part of a header value by its row type.
KeyPart typedPart(char type, std::string_view cell) {
    std::string s(trimBlanks(cell));
    switch (type) {
        case 'B':
        case 'U': {
            std::int32_t code = 0;
            const bool ok = type == 'B' ? JaNeinVal(true, s, code) : JaNeinUVal(true, s, code);
            return ok && !s.empty() && upperFold(s) != "NA" ? numberPart(code) : KeyPart{};
        }
        case 'D': {
            RDatum d;
            std::int32_t key = 0;
            // An invalid date sorts first, as a missing one.
            return DatumVal(false, false, s, d, key) && key > 0 ? numberPart(key) : KeyPart{};
        }
        case 'Z': {
            RZeit z;
            return !s.empty() && ZeitVal(false, s, z) ? numberPart(static_cast<double>(ZeitToSek(z)))
                                                      : KeyPart{};
        }
        case 'F':
        case 'P':
        case 'I': {
            const auto x = parseNumber(s);
            return x ? numberPart(*x) : KeyPart{};
        }
        default:
            return textPart(cut(cell));
    }
}

class Sorter {
  public:
    Sorter(Session& s, const SortRequest& r)
        : s_(s), b_(s.buffer()), r_(r), stats_(b_, s.coverInterpreter()) {}

    // The keys of the sorted items; false with a failure in status.
    bool build(Status& status);
    std::vector<int> items;  // the positions sorted, ascending
    std::vector<Key> keys;   // parallel to items
    CoverCounts counts() const { return stats_.counts(); }

  private:
    bool rowKeys(Status& status);
    bool columnKeys(Status& status);
    // The species record of a row name when the database knows exactly one (any when first is set).
    int recordOf(std::string_view name, bool first);
    double weight(TextHandle h) { return stats_.cellValue('S', h, true); }
    double cover(TextHandle h) { return stats_.cellValue('D', h, true); }

    Session& s_;
    TEditBuffer& b_;
    const SortRequest& r_;
    CellStats stats_;
};

int Sorter::recordOf(std::string_view name, bool first) {
    TArtDb* db = s_.speciesDb();
    if (!db) return -1;
    const TMenge found = db->Search(name, db->Settings().OhneAutor);
    if (found.empty() || (!first && found.Count() != 1)) return -1;
    return found.elements().front();
}

bool Sorter::build(Status& status) {
    return r_.mode == 'R' ? rowKeys(status) : columnKeys(status);
}

bool Sorter::rowKeys(Status& status) {
    const char part = r_.part;
    const int rows = b_.GetRowCount(part), cols = b_.GetColCount();
    items = markedOrAll(part == 'K' ? b_.MroK() : b_.MroA(), rows);
    const int c = r_.criterion;
    // Statistics over the marked releves, all when none is marked.
    const std::vector<int> marked = markedOrAll(b_.McoR(), cols);
    std::vector<char> inMarked(static_cast<std::size_t>(cols), b_.McoR().empty() ? 1 : 0);
    for (int col : b_.McoR().elements()) inMarked[static_cast<std::size_t>(col)] = 1;
    keys.assign(items.size(), {});

    // Per-row statistics of the species part in one pass over the filled cells.
    struct RowStats {
        int n = 0, m = 0, first = 0;
        double s = 0, posSum = 0, posW = 0, wSum = 0, cover = 0;
        int present = 0;
    };
    std::vector<RowStats> st;
    if (part == 'A' && (c == 3 || c == 4 || c == 47)) {
        st.assign(static_cast<std::size_t>(rows), {});
        b_.forEachFilled('A', [&](const FilledCell& cell) {
            RowStats& x = st[static_cast<std::size_t>(cell.row)];
            const double w = weight(cell.handle);
            if (c == 4 && w > 0) {
                ++x.present;
                x.posSum += cell.col + 1;
                x.posW += w * (cell.col + 1);
                x.wSum += w;
            }
            if (!inMarked[static_cast<std::size_t>(cell.col)]) return;
            if (c == 3 && w > 0) {
                const int rw = static_cast<int>(std::lround(w));
                ++x.n;
                x.m = std::max(x.m, rw);
                x.s += rw;
                if (x.first == 0 || cell.col + 1 < x.first) x.first = cell.col + 1;
            }
            if (c == 47) {
                const double d = cover(cell.handle);
                if (d > 0) x.cover += d;
            }
        });
    }
    TArtDb* db = s_.speciesDb();
    for (std::size_t k = 0; k < items.size(); ++k) {
        const int x = items[k];
        Key& key = keys[k];
        const std::string_view name = b_.GetZl(part, x);
        switch (c) {
            case 0:
                key.push_back(numberPart(x));
                break;
            case 1:
                key.push_back(numberPart(-x));
                break;
            case 2:
                if (b_.McoR().empty()) {
                    key.push_back(textPart(cut(upperFold(name))));
                } else {
                    for (int col : marked) key.push_back(textPart(cut(b_.Get(part, col, x))));
                }
                break;
            case 3: {
                if (part != 'A' || b_.GetTyp('A', x) != 'A') {
                    key = {numberPart(0), numberPart(0), numberPart(0), numberPart(0)};
                    break;
                }
                const RowStats& r = st[static_cast<std::size_t>(x)];
                // More occurrences, then a larger maximum, a larger sum, an earlier first occurrence.
                key = {numberPart(-r.n), numberPart(-r.m), numberPart(-r.s), numberPart(r.first)};
                break;
            }
            case 4: {
                if (part != 'A' || b_.GetTyp('A', x) != 'A') {
                    key = {numberPart(-1), numberPart(-1)};
                    break;
                }
                const RowStats& r = st[static_cast<std::size_t>(x)];
                key = {numberPart(r.present ? r.posSum / r.present : -1),
                       numberPart(r.wSum > 0 ? r.posW / r.wSum : -1)};
                break;
            }
            case 7: {
                double sum = 0;
                if (b_.IsNumRow(part, x))
                    for (int col : marked)
                        if (const auto v = parseNumber(trimBlanks(b_.Get(part, col, x)))) sum += *v;
                key.push_back(numberPart(sum));
                break;
            }
            case 37:
                key.push_back(textPart(upperFold(GetZusatz(name))));
                break;
            case 38:
                for (int col : marked) {
                    const auto v = parseNumber(trimBlanks(b_.Get(part, col, x)));
                    key.push_back(v ? numberPart(*v) : KeyPart{});
                }
                break;
            case 40:
                key.push_back(textPart(std::string(1, b_.GetTyp(part, x))));
                break;
            case 41: {
                const auto v = parseInteger(trimBlanks(b_.ReadP(part, 'N', x)));
                key.push_back(v ? numberPart(static_cast<double>(*v)) : KeyPart{});
                break;
            }
            case 42:
            case 44:
            case 53:
            case 54:
            case 55: {
                const char code = c == 42 ? 'G' : c == 44 ? 'C' : c == 53 ? 'R' : c == 54 ? 'M' : 'S';
                key.push_back(textPart(b_.ReadP(part, code, x)));
                break;
            }
            case 43: {
                const auto v = parseNumber(trimBlanks(b_.ReadP(part, 'G', x)));
                key.push_back(v ? numberPart(*v) : KeyPart{});
                break;
            }
            case 45:  // most frequent first
                key.push_back(numberPart(-stats_.GetFreq(part, nullptr, x, true)));
                break;
            case 46:
                key.push_back(numberPart(-stats_.GetStet(part, nullptr, x, true)));
                break;
            case 47:  // largest cover in the marked releves first
                key.push_back(numberPart(part == 'A' ? -st[static_cast<std::size_t>(x)].cover : 0));
                break;
            case 52: {
                const std::vector<std::string> parts = splitFields(b_.ReadP(part, 'S', x), " ");
                const std::size_t p = static_cast<std::size_t>(std::max(r_.scoreItem, 0));
                const auto v = p < parts.size() ? parseNumber(parts[p]) : std::nullopt;
                key.push_back(v ? numberPart(*v) : KeyPart{});
                break;
            }
            default: {
                // The criteria of the species database.
                const bool family = c == 8, vernacular = c >= 9 && c <= 16, system = c >= 17 && c <= 28,
                           info = c >= 29 && c <= 36, entry = c == 39, indicators = c == 48 || c == 49;
                if (!family && !vernacular && !system && !info && !entry && !indicators) {
                    status = Status::failure("Unbekanntes Sortierkriterium " + std::to_string(c) + ".");
                    return false;
                }
                if (!db) {
                    status = Status::failure("Keine Artenliste aktiv");
                    return false;
                }
                if (system) {
                    s_.progress().setStatus("Zeile" + alignRight(std::to_string(x), 8) + " bearbeitet.");
                    const int p = recordOf(name, true);
                    const int n = c - 16;
                    std::int64_t nr = p >= 0 ? db->GetSysNr(p, n) : -1;
                    if (p >= 0 && nr < 0) {
                        // The first synonym that has a number in the system.
                        const int accepted = db->ScanSyn('R', p);
                        if (accepted >= 0)
                            for (int q : db->synonymGroup(accepted).elements())
                                if (const std::int64_t v = db->GetSysNr(q, n); v >= 0) {
                                    nr = v;
                                    break;
                                }
                    }
                    key.push_back(nr >= 0 ? numberPart(static_cast<double>(nr)) : KeyPart{});
                    break;
                }
                const int p = recordOf(name, false);
                if (family) key.push_back(p >= 0 ? textPart(db->GetFam(p)) : KeyPart{});
                if (vernacular) key.push_back(p >= 0 ? textPart(db->GetTriv(p, c - 8)) : KeyPart{});
                if (info) key.push_back(p >= 0 ? textPart(db->GetInfo(p, c - 28)) : KeyPart{});
                if (entry) key.push_back(p >= 0 ? numberPart(p) : KeyPart{});
                if (indicators) {
                    const int accepted = p >= 0 ? db->ScanSyn('R', p) : -1;
                    for (int f : r_.indicatorFields) {
                        double v = kMissing;
                        std::string t;
                        const bool has = accepted >= 0 && db->GetZw(accepted, f, v, t);
                        if (c == 48)
                            key.push_back(has ? numberPart(v) : KeyPart{});
                        else
                            key.push_back(textPart(t));
                    }
                }
                break;
            }
        }
    }
    s_.progress().hideStatus();
    return true;
}

bool Sorter::columnKeys(Status& status) {
    const char part = r_.part;
    const int cols = b_.GetColCount(), rows = b_.GetRowCount(part);
    items = markedOrAll(b_.McoR(), cols);
    std::vector<int> keyRows = (part == 'K' ? b_.MroK() : b_.MroA()).elements();
    if (keyRows.empty() && r_.keyRow >= 0 && r_.keyRow < rows) keyRows.push_back(r_.keyRow);
    const int c = r_.criterion;
    keys.assign(items.size(), {});
    std::vector<int> place(static_cast<std::size_t>(cols), -1);
    for (std::size_t k = 0; k < items.size(); ++k)
        place[static_cast<std::size_t>(items[k])] = static_cast<int>(k);

    switch (c) {
        case 0:
        case 1:
            for (std::size_t k = 0; k < items.size(); ++k)
                keys[k].push_back(numberPart(c == 0 ? items[k] : -items[k]));
            return true;
        case 2:
            for (std::size_t k = 0; k < items.size(); ++k)
                for (int row : keyRows)
                    keys[k].push_back(typedPart(b_.GetTyp(part, row), b_.Get(part, items[k], row)));
            return true;
        case 4:
        case 5:
        case 6: {
            // Over the species rows of type 'A' (4: all of them; 5, 6: the key rows), counted from 1.
            std::vector<int> count(static_cast<std::size_t>(b_.GetRowCount('A')), 0);
            int n = 0;
            if (c == 4 || part == 'A') {
                const std::vector<int> over = c == 4 ? markedOrAll(TMenge(), b_.GetRowCount('A')) : keyRows;
                for (int row : over)
                    if (b_.GetTyp('A', row) == 'A') count[static_cast<std::size_t>(row)] = ++n;
            }
            struct ColStats {
                double sum = 0, wSum = 0, wPos = 0;
                int present = 0;
            };
            std::vector<ColStats> st(items.size());
            b_.forEachFilled('A', [&](const FilledCell& cell) {
                const int k = place[static_cast<std::size_t>(cell.col)];
                const int rank = count[static_cast<std::size_t>(cell.row)];
                if (k < 0 || rank == 0) return;
                const double w = weight(cell.handle);
                if (w <= 0) return;
                ColStats& x = st[static_cast<std::size_t>(k)];
                ++x.present;
                x.sum += rank;
                x.wPos += w * rank;
                x.wSum += w;
            });
            for (std::size_t k = 0; k < items.size(); ++k) {
                const ColStats& x = st[k];
                if (c == 4) {
                    keys[k] = {numberPart(x.present ? x.sum / x.present : -1),
                               numberPart(x.wSum > 0 ? x.wPos / x.wSum : -1)};
                } else {
                    keys[k].push_back(numberPart(-x.present));
                    if (c == 6) keys[k].push_back(numberPart(-x.wSum));
                }
            }
            return true;
        }
        case 45:
        case 46:
        case 47: {
            const CellStats::Summary sum = stats_.summarise(true);
            const int speciesRows = b_.GetRowCount('A');
            for (std::size_t k = 0; k < items.size(); ++k) {
                const auto col = static_cast<std::size_t>(items[k]);
                const double v =
                    c == 45   ? sum.colCount[col]
                    : c == 46 ? (speciesRows ? static_cast<double>(sum.colCount[col]) / speciesRows : 0)
                              : sum.colCover[col];
                keys[k].push_back(numberPart(-v));
            }
            return true;
        }
        default:
            status = Status::failure("Unbekanntes Sortierkriterium " + std::to_string(c) + ".");
            return false;
    }
}

// The stable order of the items by their keys: entry k is the index (into items) of the k-th item.
std::vector<std::size_t> sortedIndices(const std::vector<Key>& keys) {
    std::vector<std::size_t> idx(keys.size());
    std::iota(idx.begin(), idx.end(), 0);
    std::stable_sort(idx.begin(), idx.end(),
                     [&](std::size_t a, std::size_t b) { return compareKey(keys[a], keys[b]) < 0; });
    return idx;
}

// Value sorting: 50 the values of the marked header rows inside every column, 51 the values of every
// marked header row across the columns; empty cells last.
void sortValues(TEditBuffer& b, int criterion) {
    std::vector<int> rows;
    for (int r : markedOrAll(b.MroK(), b.GetRowCount('K')))
        if (b.IsDataRow('K', r)) rows.push_back(r);
    auto byText = [](const std::string& a, const std::string& c) { return compareText(a, c) < 0; };
    if (criterion == 50) {
        for (int col = 0; col < b.GetColCount(); ++col) {
            std::vector<std::string> values;
            for (int r : rows)
                if (!b.Get('K', col, r).empty()) values.emplace_back(b.Get('K', col, r));
            std::stable_sort(values.begin(), values.end(), byText);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const std::string v = i < values.size() ? values[i] : std::string();
                if (b.Get('K', col, rows[i]) != v) b.Put('K', v, col, rows[i]);
            }
        }
        return;
    }
    for (int r : rows) {
        std::vector<std::string> values;
        for (int col = 0; col < b.GetColCount(); ++col)
            if (!b.Get('K', col, r).empty()) values.emplace_back(b.Get('K', col, r));
        std::stable_sort(values.begin(), values.end(), byText);
        for (int col = 0; col < b.GetColCount(); ++col) {
            const std::string v = static_cast<std::size_t>(col) < values.size()
                                      ? values[static_cast<std::size_t>(col)]
                                      : std::string();
            if (b.Get('K', col, r) != v) b.Put('K', v, col, r);
        }
    }
}

}  // namespace

Status sortTable(Session& session, const SortRequest& request) {
    TEditBuffer& b = session.buffer();
    session.progress().setStatus("Sortierung vorbereiten ...");
    if (request.criterion == 50 || request.criterion == 51) {
        sortValues(b, request.criterion);
        b.ClearM();
        session.progress().hideStatus();
        return {};
    }
    Sorter sorter(session, request);
    Status st;
    if (!sorter.build(st)) {
        session.progress().hideStatus();
        return st;
    }
    session.coverCounts += sorter.counts();
    const std::vector<std::size_t> idx = sortedIndices(sorter.keys);
    const int count = request.mode == 'R' ? b.GetRowCount(request.part) : b.GetColCount();
    std::vector<std::int32_t> order(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t k = 0; k < idx.size(); ++k)
        order[static_cast<std::size_t>(sorter.items[k])] = sorter.items[idx[k]];
    const Area area =
        request.mode == 'R' ? (request.part == 'K' ? Area::Header : Area::Species) : Area::Columns;
    b.permute(area, order);
    if (request.mode == 'S') {
        // The rank row: dense ranks over the sorted columns, each over the column it belongs to.
        const int at = b.GetRowCount('K');
        b.InsRow('K', at);
        b.PutTyp('K', 'I', at);
        b.PutZl('K', "Rang", at);
        int rank = 0;
        for (std::size_t k = 0; k < idx.size(); ++k) {
            if (k == 0 || compareKey(sorter.keys[idx[k - 1]], sorter.keys[idx[k]]) != 0) ++rank;
            b.Put('K', std::to_string(rank), sorter.items[k], at);
        }
    }
    b.ClearM();
    session.progress().hideStatus();
    return {};
}

namespace {

constexpr std::int64_t kSortRows = 103110000;     // "Zeilen sortieren"
constexpr std::int64_t kSortColumns = 104050000;  // "Spalten sortieren"
constexpr std::int64_t kRankColumns = 104060000;  // "Spalten rangieren"
constexpr std::int64_t kRelease = 111030000;      // "Gelöschte Zeilen freigeben"
constexpr std::int64_t kBySpecies = 103120100;    // "Arten nach Datei ordnen" › "nach Arten in Datei"
constexpr std::int64_t kByReleves = 103120200;    // … › "nach Aufnahmen in Datei"

// The species lines of a table file: the fields of every line whose first character is 'A', and the
// number of cell positions (the fields of the first line less type, name and margin).
struct FileSpecies {
    std::vector<std::vector<std::string>> lines;
    int cells = 0;
};
Result<FileSpecies> readFileSpecies(const std::string& file) {
    Result<std::string> bytes = readWholeFile(file);
    if (!bytes) return bytes.status();
    FileSpecies out;
    const std::string text = decodeFileText(bytes.value());
    bool first = true;
    for (std::string_view line : splitLines(text)) {
        if (first) out.cells = static_cast<int>(std::count(line.begin(), line.end(), ';')) - 2;
        first = false;
        if (!line.empty() && line.front() == 'A') out.lines.push_back(splitFields(line));
    }
    return out;
}

// Applies a new order of the species rows (entry i: the old row that goes to position i).
void reorderSpecies(TEditBuffer& b, const std::vector<std::int32_t>& order) {
    b.permute(Area::Species, order);
    b.ClearM();
}

// The species of the file first, in the file's order, then all others in their former order.
Status bySpeciesInFile(Session& s) {
    const auto file = askFile(s, DialogKind::OpenFile, "nach Arten in Datei");
    if (!file) return {};
    Result<FileSpecies> read = readFileSpecies(*file);
    if (!read) return read.status();
    std::unordered_map<std::string, int> place;
    int k = 0;
    for (const auto& fields : read.value().lines)
        if (fields.size() > 1) place.emplace(fields[1], k++);  // the first line of a name counts
    TEditBuffer& b = s.buffer();
    const int rows = b.GetRowCount('A');
    std::vector<std::pair<long long, int>> keyed;
    for (int r = 0; r < rows; ++r) {
        const auto at = b.GetTyp('A', r) == 'A' ? place.find(std::string(b.GetZl('A', r))) : place.end();
        keyed.emplace_back(at != place.end() ? at->second : static_cast<long long>(k) + r, r);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& c) { return a.first < c.first; });
    std::vector<std::int32_t> order;
    for (const auto& [key, r] : keyed) order.push_back(r);
    reorderSpecies(b, order);
    return {};
}

// Diagonal order by the file's releves: the species of the first releve first (those that also occur
// in other releves before those found only there), then those first found in the second, and so on; the
// others stay below in their former order. A species moves up once per releve it occurs in, the last
// releve first, so its place follows from the releves it occurs in: compared position by position, the
// earlier releve wins, at the same releve one found in several releves wins, and with one list the
// prefix of the other the longer one wins.
Status byRelevesInFile(Session& s) {
    const auto file = askFile(s, DialogKind::OpenFile, "nach Aufnahmen in Datei");
    if (!file) return {};
    Result<FileSpecies> read = readFileSpecies(*file);
    if (!read) return read.status();
    const int n = std::max(read.value().cells, 0);
    std::unordered_map<std::string, const std::vector<std::string>*> entry;
    for (const auto& fields : read.value().lines)
        if (fields.size() > 1) entry.emplace(fields[1], &fields);
    TEditBuffer& b = s.buffer();
    const int rows = b.GetRowCount('A');
    struct Row {
        int row;
        std::vector<int> releves;  // the cell positions of the file with an entry, ascending
        bool several;
    };
    std::vector<Row> moved, stay;
    for (int r = 0; r < rows; ++r) {
        Row x{r, {}, false};
        if (b.GetTyp('A', r) == 'A')
            if (const auto e = entry.find(std::string(b.GetZl('A', r))); e != entry.end())
                for (int j = 0; j < n; ++j)
                    if (3 + static_cast<std::size_t>(j) < e->second->size() &&
                        !trimBlanks((*e->second)[3 + j]).empty())
                        x.releves.push_back(j);
        x.several = x.releves.size() > 1;
        (x.releves.empty() ? stay : moved).push_back(std::move(x));
    }
    std::stable_sort(moved.begin(), moved.end(), [](const Row& a, const Row& c) {
        for (std::size_t i = 0; i < a.releves.size() && i < c.releves.size(); ++i) {
            if (a.releves[i] != c.releves[i]) return a.releves[i] < c.releves[i];
            if (a.several != c.several) return a.several;
        }
        return a.releves.size() > c.releves.size();
    });
    std::vector<std::int32_t> order;
    for (const Row& x : moved) order.push_back(x.row);
    for (const Row& x : stay) order.push_back(x.row);
    reorderSpecies(b, order);
    return {};
}

// A radio dialog of the catalogue; the chosen item, or nothing when cancelled.
std::optional<int> choose(Session& s, std::string_view dialog, std::string_view texts = {}) {
    int choice = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), dialog, texts, "", choice) || choice < 0)
        return std::nullopt;
    return choice;
}

// "nach Häufigkeit, Stetigkeit oder Deckung ..."
std::optional<int> byNumber(Session& s) {
    const auto c = choose(s, "DlgSortNum");
    if (!c || *c > 2) return std::nullopt;
    return 45 + *c;
}

// The criterion of a column of the species database: 0 the entry number, systems, vernacular names,
// the family and info fields.
std::optional<int> byDatabase(Session& s, std::string_view dialog) {
    if (!s.speciesDb()) {
        s.ui().showInfo("Keine Artenliste aktiv");
        return std::nullopt;
    }
    const auto c = choose(s, dialog);
    if (!c) return std::nullopt;
    if (dialog == "DlgPrimSys") {
        if (*c == 0) return 39;
        if (*c <= 12) return 16 + *c;         // systems 1 … 12
        if (*c <= 20) return 28 + (*c - 12);  // info 1 … 8
        return std::nullopt;
    }
    if (*c == 0) return 8;               // family
    if (*c <= 8) return 8 + *c;          // vernacular names 1 … 8
    if (*c <= 16) return 28 + (*c - 8);  // info 1 … 8
    return std::nullopt;
}

Status sortRows(Session& s) {
    SortRequest r;
    r.part = activePart(s);
    r.mode = 'R';
    const bool header = r.part == 'K';
    const auto answer = choose(s, header ? "DlgSortRowK" : "DlgSortRowA");
    if (!answer) return {};
    std::optional<int> c;
    switch (*answer) {
        case 0:
            c = 2;
            break;
        case 1:
            c = byNumber(s);
            break;
        case 2:
            c = 1;
            break;
        case 3: {
            const auto m = choose(s, header ? "DlgSortRandK" : "DlgSortRandA");
            if (!m) return {};
            static constexpr int kHeader[] = {40, 53, 54, 41, 44, 55};
            static constexpr int kSpecies[] = {40, 45, 46, 53, 54, 41, 42, 43, 52};
            if (header && *m < 6) c = kHeader[*m];
            if (!header && *m < 9) c = kSpecies[*m];
            break;
        }
        case 4:
            c = header ? 7 : 3;
            break;
        case 5:
            c = header ? std::optional<int>(50) : byDatabase(s, "DlgPrimSys");
            break;
        case 6:
            c = byDatabase(s, "DlgFamTrivInfo");
            break;
        case 7:
            c = 37;
            break;
        case 8:
        case 9:
            c = 40 + *answer;
            break;
        case 10:
            c = 4;
            break;
        default:
            break;
    }
    if (!c) return {};
    r.criterion = *c;
    if (r.criterion == 48 || r.criterion == 49) {
        TArtDb* db = s.speciesDb();
        if (!db) {
            s.ui().showInfo("Keine Artenliste aktiv");
            return {};
        }
        std::vector<int> chosen;
        std::string names;
        if (!GetZwItems(*db, s.ui(), 'Z', chosen, names)) return {};
        for (int f : chosen) r.indicatorFields.push_back(f + 1);
    }
    if (r.criterion == 52) {
        std::string axis;
        if (!s.buffer().GetSpScoreItem(axis, r.scoreItem)) return {};
    }
    return sortTable(s, r);
}

// "Spalten sortieren", and with a rank row above the sorted releves "Spalten rangieren".
Status sortColumns(Session& s, bool ranks) {
    SortRequest r;
    r.part = activePart(s);
    r.mode = ranks ? 'S' : 'C';
    r.keyRow = s.cursorRow;
    const bool header = r.part == 'K';
    const auto answer = choose(s, header ? "DlgSortColK" : "DlgSortColA");
    if (!answer) return {};
    static constexpr int kHeader[] = {2, 1, 51, 5, 4, 6};
    static constexpr int kSpecies[] = {2, -1, 1, 5, 6, 4};
    if (*answer > 5) return {};
    std::optional<int> c = header ? kHeader[*answer] : kSpecies[*answer];
    if (*c < 0) c = byNumber(s);
    if (!c) return {};
    r.criterion = *c;
    return sortTable(s, r);
}

}  // namespace

void addSortCommands(Dispatcher& d) {
    d.add(kSortRows, whenEditable(sortRows));
    d.add(kSortColumns, whenEditable([](Session& s) { return sortColumns(s, false); }));
    d.add(kRankColumns, whenEditable([](Session& s) { return sortColumns(s, true); }));
    d.add(kBySpecies, whenEditable(bySpeciesInFile));
    d.add(kByReleves, whenEditable(byRelevesInFile));
    // The table keeps no storage for deleted rows that a sort could give back: nothing moves, the marks
    // are cleared.
    d.add(kRelease, [](Session& s) {
        s.buffer().ClearM();
        return Status();
    });
}

}  // namespace tav
