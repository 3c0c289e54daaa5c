// Merging rows and releves: the members of each group are combined into the group's first item, field by
// field (header values by the header format, covers by the cover format), and then deleted. Every value
// is checked before anything changes: invalid covers are counted and the merge happens only when the user
// agrees, so a "No" leaves the table as it was. A merge is one undo step.

#include <algorithm>
#include <map>

#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "species/art_db.h"
#include "species/name_text.h"
#include "table/cell_stats.h"

namespace tav {

namespace {

constexpr std::int64_t kMarkedRows = 103080100;     // "Zeilen verschmelzen" › "Markierte Zeilen"
constexpr std::int64_t kPairwise = 103080200;       // … › "Markierte Zeilen paarweise"
constexpr std::int64_t kDoubleRows = 103080300;     // … › "Doppelte Zeilenköpfe"
constexpr std::int64_t kDoubleRowsAny = 103080400;  // … › "Doppelte Z., Typ und Randsp. ignorieren"
constexpr std::int64_t kWithDelimiter = 103080500;  // … › "mit Trennzeichen verschmelzen"
constexpr std::int64_t kSynonymMerge = 103080800;   // … › "Synonyme Arten"
constexpr std::int64_t kSynonymMarks = 103060100;   // "Arten markieren" › "Synonyme Arten"
constexpr std::int64_t kMarkedColumns = 104040100;  // "Spalten verschmelzen" › "Markierte Spalten"
constexpr std::int64_t kEqualColumns = 104040200;   // … › "Gleiche Spalten"

// The formats of the option boxes "Kopfdaten" and "Deckungen"; 22 joins with the delimiter.
enum HeaderFormat {
    kFirst = 0,
    kLast = 1,
    kJoinBlank = 2,
    kJoinSlash = 3,
    kSum = 4,
    kMean = 5,
    kMax = 6,
    kMin = 7
};
enum CoverFormat {
    kCoverFirst = 0,
    kCoverLast = 1,
    kLargestCode = 2,
    kSmallestCode = 3,
    kJoinCodes = 4,
    kCoverSum = 5,
    kCoverMean = 6,
    kCoverMax = 7
};
constexpr int kJoinDelimiter = 22;
constexpr int kFormatted = 21;
constexpr std::int64_t kFormattedRows = 103080600;  // "Zeilen verschmelzen" › "Formatiert verschmelzen"

// How "Formatiert verschmelzen" lays out the value of one row: its width, right alignment and fill.
struct FieldFormat {
    std::size_t width = 10;
    bool right = false;
    std::string fill = "*";
};

// A value in its field: cut to the width, filled up on the right (left-aligned) or on the left.
std::string formatted(std::string_view v, const FieldFormat& f) {
    std::string text = charLeft(v, f.width);
    std::string pad;
    for (std::size_t n = charLength(text); n < f.width; ++n)
        pad += f.fill.empty() ? std::string(" ") : f.fill;
    return f.right ? pad + text : text + pad;
}

struct Merge {
    char what = 'R';  // 'R' rows of part, 'C' releves
    char part = 'A';
    int headerFormat = kFirst;
    int coverFormat = kCoverFirst;
    std::string delimiter = " ";
    std::vector<FieldFormat> formats;      // format 21: per member of the (one) group
    std::vector<std::vector<int>> groups;  // each ascending; the first is the target
};

std::string joined(const std::vector<std::string_view>& values, std::string_view delimiter) {
    std::string out;
    for (std::string_view v : values) {
        if (v.empty()) continue;
        if (!out.empty()) out += delimiter;
        out += v;
    }
    return out;
}

class Merger {
  public:
    Merger(Session& s, const Merge& m) : s_(s), b_(s.buffer()), m_(m), stats_(b_, s.coverInterpreter()) {}

    // The combined value of the fields of a group (target first) in a row of a part.
    std::string combine(char part, char rowType, const std::vector<std::string_view>& values) {
        if (m_.headerFormat == kJoinDelimiter) return joined(values, m_.delimiter);
        if (m_.headerFormat == kFormatted) {
            std::string out;
            for (std::size_t i = 0; i < values.size(); ++i)
                out += formatted(values[i], i < m_.formats.size() ? m_.formats[i] : FieldFormat{});
            return out;
        }
        const bool cover = part == 'A' && rowType == 'A';
        const int f = cover ? m_.coverFormat : m_.headerFormat;
        auto firstFilled = [&] {
            for (std::string_view v : values)
                if (!v.empty()) return std::string(v);
            return std::string();
        };
        auto lastFilled = [&] {
            for (auto v = values.rbegin(); v != values.rend(); ++v)
                if (!v->empty()) return std::string(*v);
            return std::string();
        };
        const int decimals = s_.settings().Diversa.Decimals;
        if (!cover) {
            switch (f) {
                case kLast:
                    return lastFilled();
                case kJoinBlank:
                    return joined(values, " ");
                case kJoinSlash:
                    return joined(values, "/");
                case kSum:
                case kMean:
                case kMax:
                case kMin: {
                    std::vector<double> xs;
                    for (std::string_view v : values)
                        if (const auto x = parseNumber(trimBlanks(v))) xs.push_back(*x);
                    if (xs.empty()) return firstFilled();
                    double r = 0;
                    if (f == kSum || f == kMean) {
                        for (double x : xs) r += x;
                        if (f == kMean) r /= static_cast<double>(xs.size());
                    } else {
                        r = f == kMax ? *std::max_element(xs.begin(), xs.end())
                                      : *std::min_element(xs.begin(), xs.end());
                    }
                    return formatNumber(r, decimals);
                }
                default:
                    return firstFilled();
            }
        }
        switch (f) {
            case kCoverLast:
                return lastFilled();
            case kJoinCodes:
                return joined(values, "/");
            case kLargestCode:
            case kSmallestCode: {
                std::string best;
                double bestX = 0;
                for (std::string_view v : values) {
                    if (v.empty()) continue;
                    const double x = percent(v);
                    if (best.empty() || (f == kLargestCode ? x > bestX : x < bestX)) {
                        best = v;
                        bestX = x;
                    }
                }
                return best;
            }
            case kCoverSum:
            case kCoverMean:
            case kCoverMax: {
                double sum = 0, most = 0;
                bool any = false;
                for (std::string_view v : values) {
                    if (v.empty()) continue;
                    const double x = percent(v);
                    any = true;
                    sum += x;
                    most = std::max(most, x);
                }
                if (!any) return {};
                const double r = f == kCoverSum   ? sum
                                 : f == kCoverMax ? most
                                                  : sum / static_cast<double>(values.size());
                return formatNumber(r, decimals);
            }
            default:
                return firstFilled();
        }
    }

    // Invalid covers among the fields the merge reads.
    int invalidCovers() {
        if (m_.headerFormat == kJoinDelimiter || m_.headerFormat == kFormatted) return 0;
        if (m_.coverFormat == kCoverFirst || m_.coverFormat == kCoverLast || m_.coverFormat == kJoinCodes)
            return 0;
        forEachGroupField([&](char part, char type, int, int, const std::vector<std::string_view>& values) {
            if (part == 'A' && type == 'A')
                for (std::string_view v : values)
                    if (!v.empty()) percent(v);
        });
        const CoverCounts& c = stats_.counts();
        return c.CodeErrCt + c.SozErrCt;
    }

    // Writes the combined values into the targets and deletes the members; the number merged.
    int apply() {
        forEachGroupField(
            [&](char part, char type, int col, int row, const std::vector<std::string_view>& values) {
                const std::string v = combine(part, type, values);
                if (b_.Get(part, col, row) != v) b_.Put(part, v, col, row);
            });
        std::vector<int> members;
        for (const auto& g : m_.groups) members.insert(members.end(), g.begin() + 1, g.end());
        std::sort(members.begin(), members.end());
        b_.ClearM();
        if (m_.what == 'R')
            b_.DelRows(m_.part, members);
        else
            b_.DelCols(members);
        return static_cast<int>(members.size());
    }

  private:
    double percent(std::string_view v) { return stats_.DeckValChecked('D', v, true); }

    // Calls f(part, col, row) for every field of a group's target.
    template <class F>
    void forTarget(int target, F&& f) {
        if (m_.what == 'R') {
            if (m_.headerFormat == kJoinDelimiter) f(m_.part, -2, target);  // the names too
            for (int c = 0; c < b_.GetColCount(); ++c) f(m_.part, c, target);
        } else {
            for (const char part : {'K', 'A'})
                for (int r = 0; r < b_.GetRowCount(part); ++r) f(part, target, r);
        }
    }
    // Calls f(part, row type, the target field's column and row, the values of the group: target first)
    // for every field of every group.
    template <class F>
    void forEachGroupField(F&& f) {
        std::vector<std::string_view> values;
        for (const auto& g : m_.groups) {
            forTarget(g.front(), [&](char part, int col, int row) {
                values.clear();
                for (int item : g)
                    values.push_back(m_.what == 'R' ? b_.Get(part, col, item) : b_.Get(part, item, row));
                f(part, b_.GetTyp(part, m_.what == 'R' ? g.front() : row), col, row, values);
            });
        }
    }

    Session& s_;
    TEditBuffer& b_;
    const Merge& m_;
    CellStats stats_;
};

// Merges after checking the covers: nothing changes when the user does not agree. The number merged.
int merge(Session& s, const Merge& m) {
    std::size_t members = 0;
    for (const auto& g : m.groups) members += g.size() > 1 ? g.size() - 1 : 0;
    if (members == 0) return 0;
    Merger merger(s, m);
    if (const int invalid = merger.invalidCovers(); invalid > 0) {
        const char answer =
            AskYesNoCancel(s.ui(), std::to_string(invalid) + " mal eine ungültige Deckung angetroffen.\r" +
                                       "Trotzdem verschmelzen? ");
        if (answer != 'Y') return 0;
    }
    s.progress().setStatus("Verschmelzen");
    const int n = merger.apply();
    s.progress().hideStatus();
    return n;
}

void reportMerged(Session& s, int n, std::string_view what) {
    if (!s.macroAnswers().running() && n > 0)
        s.ui().showInfo(std::to_string(n) + std::string(what) + " verschmolzen.");
}

// The marked rows of the active part, at least two of them.
std::optional<std::vector<int>> markedRows(Session& s) {
    const char part = activePart(s);
    const std::vector<int> rows = (part == 'K' ? s.buffer().MroK() : s.buffer().MroA()).elements();
    if (rows.size() < 2) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgMarkR"));
        return std::nullopt;
    }
    return rows;
}

Status mergeMarkedRows(Session& s, bool pairwise) {
    const auto rows = markedRows(s);
    if (!rows) return commandFailed();
    Merge m;
    m.part = activePart(s);
    if (!pairwise) {
        m.groups = {*rows};
    } else {
        // The first half pairs with the second half, in order; an odd row left over stays alone.
        const std::size_t half = rows->size() / 2;
        for (std::size_t i = 0; i < half; ++i) m.groups.push_back({(*rows)[i], (*rows)[i + half]});
    }
    reportMerged(s, merge(s, m), " Zeile(n)");
    return {};
}

Status mergeWithDelimiter(Session& s) {
    if (!markedRows(s)) return commandFailed();
    std::optional<std::string> d = askText(s, s.catalogue().GetLangMsg("MsgWhichCharStr"),
                                           s.catalogue().GetLangMsg("MsgDelimitor"), " ");
    if (!d) return {};
    if (d->find(';') != std::string::npos) {
        if (AskYesNoCancel(s.ui(),
                           "Strichpunkt (;) nicht zulässig.\rSoll ich statt dessen Kommas (,) einsetzen?") !=
            'Y')
            return {};
        std::replace(d->begin(), d->end(), ';', ',');
    }
    Merge m;
    m.part = activePart(s);
    m.headerFormat = m.coverFormat = kJoinDelimiter;
    m.delimiter = *d;
    m.groups = {*markedRows(s)};
    reportMerged(s, merge(s, m), " Zeile(n)");
    return {};
}

// "Formatiert verschmelzen": the values of the marked rows side by side in fields of the widths,
// alignments and fill characters the user sets in the table "Format definieren".
Status mergeFormatted(Session& s) {
    const auto rows = markedRows(s);
    if (!rows) return commandFailed();
    const char part = activePart(s);
    std::vector<std::string> lines = {"Feldname;Anz. Zeichen;Ausrichtung;Füllzeichen"};
    for (int r : *rows) {
        std::string name(s.buffer().GetZl(part, r));
        std::replace(name.begin(), name.end(), ';', ',');
        lines.push_back(name + ";10;links;*");
    }
    std::string res;
    if (!TGridDlg::Execute(s.ui(), "Format definieren", lines, 22, res)) return {};
    Merge m;
    m.part = part;
    m.headerFormat = m.coverFormat = kFormatted;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = splitFields(lines[i]);
        const auto width = f.size() > 1 ? parseInteger(trimBlanks(f[1])) : std::nullopt;
        if (!width || *width < 0 || *width > 1000) {
            s.ui().showError(s.catalogue().GetLangMsg("MsgInvalidNumF"));
            return commandFailed();
        }
        FieldFormat ff;
        ff.width = static_cast<std::size_t>(*width);
        ff.right = f.size() > 2 && upperFold(trimBlanks(f[2])).rfind("R", 0) == 0;
        ff.fill = f.size() > 3 ? std::string(f[3]) : std::string();
        m.formats.push_back(ff);
    }
    m.groups = {*rows};
    reportMerged(s, merge(s, m), " Zeile(n)");
    return {};
}

// Rows with the same name (and, unless ignored, the same row type and margin) merge into the first.
Status mergeDoubleRows(Session& s, bool ignoreTypeAndMargin) {
    TEditBuffer& b = s.buffer();
    Merge m;
    m.part = activePart(s);
    std::map<std::string, std::size_t> groupOf;
    for (int r = 0; r < b.GetRowCount(m.part); ++r) {
        std::string key(b.GetZl(m.part, r));
        if (!ignoreTypeAndMargin)
            key = std::string(1, b.GetTyp(m.part, r)) + key + ";" + std::string(b.GetP(m.part, r));
        const auto [at, fresh] = groupOf.try_emplace(key, m.groups.size());
        if (fresh)
            m.groups.push_back({r});
        else
            m.groups[at->second].push_back(r);
    }
    const int n = merge(s, m);
    if (!s.macroAnswers().running())
        s.ui().showInfo(n > 0 ? std::to_string(n) + " doppelte Zeile(n) verschmolzen."
                              : "Keine doppelte Zeilen gefunden.");
    return {};
}

// Species rows whose names stand for the same accepted taxon of the species database, with the same
// additions left after the ignored ones and (unless ignored) the same margin. A name the database does
// not know is a synonym of nothing. The cleaned names (and margins) are what a merge writes back.
struct SynonymGroups {
    std::vector<std::vector<int>> groups;
    std::vector<std::string> cleaned;  // per species row
    bool dropMargins = false;
};
std::optional<SynonymGroups> synonymGroups(Session& s) {
    TArtDb* db = s.speciesDb();
    if (!db) {
        s.ui().showInfo("Keine Artenliste aktiv");
        return std::nullopt;
    }
    std::string flags;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgIgnoreZusatz", "", "", flags)) return std::nullopt;
    flags.resize(8, '0');
    for (char& f : flags)
        if (f != '1') f = '0';
    const TEditBuffer& b = s.buffer();
    SynonymGroups out;
    out.dropMargins = flags[7] == '1';
    std::map<std::string, std::size_t> groupOf;
    for (int r = 0; r < b.GetRowCount('A'); ++r) {
        const std::string name(b.GetZl('A', r));
        std::string key;
        if (b.GetTyp('A', r) == 'A') {
            out.cleaned.push_back(RmZusatz(flags.substr(0, 7), name));
            const int accepted = db->SearchSyn('R', RmZusatz("1", name));
            key = accepted >= 0 ? std::to_string(accepted) + "|" + GetZusatz(out.cleaned.back()) + "|" +
                                      (out.dropMargins ? std::string() : std::string(b.GetP('A', r)))
                                : "#" + std::to_string(r);
        } else {
            out.cleaned.push_back(name);
            key = "#" + std::to_string(r);
        }
        const auto [at, fresh] = groupOf.try_emplace(key, out.groups.size());
        if (fresh)
            out.groups.push_back({r});
        else
            out.groups[at->second].push_back(r);
    }
    return out;
}

Status markSynonyms(Session& s) {
    const auto g = synonymGroups(s);
    if (!g) return {};
    TMenge m;
    for (const auto& group : g->groups)
        if (group.size() > 1)
            for (int r : group) m.Add(r);
    s.buffer().ClearM();
    s.buffer().setMarks(MarkSet::MroA, m);
    s.lastMarking = 1;
    if (!s.macroAnswers().running())
        s.ui().showInfo(m.empty() ? "Keine synonyme Zeilen gefunden."
                                  : std::to_string(m.Count()) + " synonyme Zeile(n) gefunden.");
    return {};
}

Status mergeSynonyms(Session& s) {
    const auto g = synonymGroups(s);
    if (!g) return {};
    TEditBuffer& b = s.buffer();
    // The names without the ignored additions (and no margins, when they are ignored) go back first.
    for (int r = 0; r < b.GetRowCount('A'); ++r) {
        if (b.GetZl('A', r) != g->cleaned[static_cast<std::size_t>(r)])
            b.PutZl('A', g->cleaned[static_cast<std::size_t>(r)], r);
        if (g->dropMargins && !b.GetP('A', r).empty()) b.PutP('A', "", r);
    }
    Merge m;
    m.part = 'A';
    m.groups = g->groups;
    const int n = merge(s, m);
    if (!s.macroAnswers().running())
        s.ui().showInfo(n > 0 ? std::to_string(n) + " synonyme Zeile(n) verschmolzen."
                              : "Keine synonyme Zeilen gefunden.");
    return {};
}

// The formats of the option boxes "Kopfdaten" and "Deckungen"; nothing when cancelled.
std::optional<std::pair<int, int>> columnFormats(Session& s) {
    std::string res1, res2;
    if (!TComboDlg::Execute(s.ui(), s.catalogue(), "DlgZusCols", "", "", res1, res2)) return std::nullopt;
    const std::vector<std::string> f = splitFields(res1);
    auto at = [&](std::size_t i) {
        const auto v = i < f.size() ? parseInteger(f[i]) : std::nullopt;
        return v ? static_cast<int>(*v) : 0;
    };
    return std::pair{at(0), at(1)};
}

Status mergeColumns(Session& s, bool equal) {
    TEditBuffer& b = s.buffer();
    Merge m;
    m.what = 'C';
    if (!equal) {
        const std::vector<int> cols = b.McoR().elements();
        if (cols.size() < 2) {
            s.ui().showInfo("Bitte zuerst die Spalten markieren, die verschmolzen werden sollen.");
            return commandFailed();
        }
        m.groups = {cols};
    } else {
        // Releves with the same values in every row.
        std::map<std::string, std::size_t> groupOf;
        for (int c = 0; c < b.GetColCount(); ++c) {
            std::string key = b.GetCol(c);
            const auto [at, fresh] = groupOf.try_emplace(std::move(key), m.groups.size());
            if (fresh)
                m.groups.push_back({c});
            else
                m.groups[at->second].push_back(c);
        }
    }
    const auto formats = columnFormats(s);
    if (!formats) return {};
    m.headerFormat = formats->first;
    m.coverFormat = formats->second;
    reportMerged(s, merge(s, m), " Spalte(n)");
    return {};
}

}  // namespace

void addMergeCommands(Dispatcher& d) {
    d.add(kMarkedRows, whenEditable([](Session& s) { return mergeMarkedRows(s, false); }));
    d.add(kPairwise, whenEditable([](Session& s) { return mergeMarkedRows(s, true); }));
    d.add(kWithDelimiter, whenEditable(mergeWithDelimiter));
    d.add(kFormattedRows, whenEditable(mergeFormatted));
    d.add(kDoubleRows, whenEditable([](Session& s) { return mergeDoubleRows(s, false); }));
    d.add(kDoubleRowsAny, whenEditable([](Session& s) { return mergeDoubleRows(s, true); }));
    d.add(kSynonymMarks, markSynonyms);
    d.add(kSynonymMerge, whenEditable(mergeSynonyms));
    d.add(kMarkedColumns, whenEditable([](Session& s) { return mergeColumns(s, false); }));
    d.add(kEqualColumns, whenEditable([](Session& s) { return mergeColumns(s, true); }));
}

}  // namespace tav
