// The evaluations of "Berechnen": "Spaltenweise auswerten" (each releve over the marked rows: statistical
// parameters, basic operations, dates and times, the chain sum, normalising, filtering, ranking),
// "Zeilen auswerten" (statistics per category of releves, running sums, transformations) and
// "Kategorienweise Berechnungen" › "Stat. Parameter, Operationen". Results become header rows of type
// 'F' behind the last one, or lines of the table window "Auswertung Kategorien". Everything is computed
// before the table changes, so each evaluation is one undo step.

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <unordered_map>

#include "analysis/ranking.h"
#include "analysis/stat_params.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/evaluations.h"
#include "editor/session.h"
#include "env/dialogs.h"
#include "values/typed_values.h"

namespace tav {

namespace {

constexpr std::int64_t kEvaluateRows = 106020000;     // "Zeilen auswerten"
constexpr std::int64_t kEvaluateColumns = 106030100;  // "Spalten auswerten" › "Spaltenweise auswerten"
constexpr std::int64_t kCategoryStats = 106080100;  // "Kategorienweise Berechnungen" › "Stat. Parameter, …"
constexpr std::int64_t kCategoryMore = 106080300;  // … › "Weitere Funktionen"

// The numeric value of a cell: a header cell that is a number; a species cell's cover percentage, an
// empty species cell 0. Missing (kMissing) otherwise.
double numericValue(Session& s, char part, int col, int row) {
    const std::string_view text = trimBlanks(s.buffer().Get(part, col, row));
    if (part == 'A') {
        if (text.empty()) return 0;
        std::string entry(text);
        double x = 0;
        CoverCounts counts;
        if (s.coverInterpreter().DeckVal('D', entry, x, false, counts)) return x;
        return kMissing;
    }
    return headerNumber(s.buffer(), col, row);
}

// The numeric values of a part, read once: each distinct species cell text is interpreted once, and the
// filled cells are kept by column and by row, so that a releve or a row is read without touching its
// empty cells. Header cells are few and read directly.
class CellValues {
  public:
    CellValues(Session& s, char part) : s_(s), part_(part) {}
    // The values of rows (in their order) in releve c.
    void column(int c, const std::vector<int>& rows, std::vector<double>& out) {
        out.clear();
        if (part_ != 'A') {
            for (int r : rows) out.push_back(numericValue(s_, part_, c, r));
            return;
        }
        if (byColumn_.empty()) read(true);
        out.assign(rows.size(), 0.0);
        if (slot_.empty()) {
            slot_.assign(static_cast<std::size_t>(s_.buffer().GetRowCount('A')), -1);
            for (std::size_t i = 0; i < rows.size(); ++i)
                slot_[static_cast<std::size_t>(rows[i])] = static_cast<int>(i);
        }
        for (const auto& [r, v] : byColumn_[static_cast<std::size_t>(c)])
            if (const int at = slot_[static_cast<std::size_t>(r)]; at >= 0)
                out[static_cast<std::size_t>(at)] = v;
    }
    // The values of row r in every releve.
    void row(int r, std::vector<double>& out) {
        const int cols = s_.buffer().GetColCount();
        out.clear();
        if (part_ != 'A') {
            for (int c = 0; c < cols; ++c) out.push_back(numericValue(s_, part_, c, r));
            return;
        }
        if (byRow_.empty()) read(false);
        out.assign(static_cast<std::size_t>(cols), 0.0);
        for (const auto& [c, v] : byRow_[static_cast<std::size_t>(r)]) out[static_cast<std::size_t>(c)] = v;
    }

  private:
    // The filled species cells by releve or by row, as the evaluation walks them.
    void read(bool byColumn) {
        const TEditBuffer& b = s_.buffer();
        auto& lists = byColumn ? byColumn_ : byRow_;
        lists.resize(static_cast<std::size_t>(byColumn ? b.GetColCount() : b.GetRowCount('A')));
        std::unordered_map<TextHandle, double> known;
        b.forEachFilled('A', [&](const FilledCell& f) {
            auto it = known.find(f.handle);
            if (it == known.end()) it = known.emplace(f.handle, numericValue(s_, 'A', f.col, f.row)).first;
            if (byColumn)
                byColumn_[static_cast<std::size_t>(f.col)].emplace_back(f.row, it->second);
            else
                byRow_[static_cast<std::size_t>(f.row)].emplace_back(f.col, it->second);
        });
    }

    Session& s_;
    char part_;
    std::vector<std::vector<std::pair<int, double>>> byColumn_, byRow_;
    // The position of each row among the rows of column(), which are the same for every call.
    std::vector<int> slot_;
};

// The values of both parts, the species part read when first asked for.
class PartValues {
  public:
    explicit PartValues(Session& s) : s_(s), header_(s, 'K') {}
    CellValues& of(char part) {
        if (part == 'K') return header_;
        if (!species_) species_.emplace(s_, 'A');
        return *species_;
    }

  private:
    Session& s_;
    CellValues header_;
    std::optional<CellValues> species_;
};

// The sum, mean and standard deviation (n − 1) of values; 0 where there are too few.
struct Moments {
    double sum, mean, sd;
};
Moments momentsOf(const std::vector<double>& v) {
    long double sum = 0;
    for (double x : v) sum += x;
    const double mean = v.empty() ? 0 : static_cast<double>(sum / v.size());
    long double ss = 0;
    for (double x : v) ss += (x - mean) * (x - mean);
    const double sd = v.size() > 1 ? std::sqrt(static_cast<double>(ss / (v.size() - 1))) : 0;
    return {static_cast<double>(sum), mean, sd};
}

bool numericRow(char type) {
    return type == 'A' || type == 'F' || type == 'I' || type == 'P';
}

// The statistics selection with its options: "DlgStats" with "DlgQuantile" (or the category variant),
// "DlgGrundOp", the missing-value rule, the bootstrap numbers and the category option. Nothing when a
// dialog is cancelled.
std::optional<StatChoice> askSelection(Session& s, bool basicOnly, bool categories) {
    std::string flags(StatSelection::kSize, '0');
    const Catalogue& cat = s.catalogue();
    if (!basicOnly) {
        std::string stats;
        if (!TDCheckDlg::Execute(s.ui(), cat, "DlgStats", categories ? "DlgQuantileCat" : "DlgQuantile", "",
                                 stats))
            return std::nullopt;
        for (std::size_t i = 0; i < stats.size() && i < 26; ++i) flags[i] = stats[i] == '1' ? '1' : '0';
    }
    std::string basic;
    if (!TCheckDlg::Execute(s.ui(), cat, categories ? "DlgGrundOpCat" : "DlgGrundOp", "", "", basic))
        return std::nullopt;
    for (std::size_t i = 0; i < basic.size() && i < 6; ++i) flags[26 + i] = basic[i] == '1' ? '1' : '0';
    StatChoice c{StatSelection(flags)};
    if (!askStatOptions(s, c)) return std::nullopt;
    if (categories && c.selection.on(25)) {
        int option = 0;
        if (!TRadioDlg::Execute(s.ui(), cat, "DlgCatOpts", "", "", option)) return std::nullopt;
        c.selection.set(34, static_cast<char>('0' + std::clamp(option, 0, 3)));
    }
    return c;
}

// ---- "Spaltenweise auswerten"

}  // namespace

std::vector<MarkedRow> markedRows(const TEditBuffer& b, char onlyPart) {
    std::vector<MarkedRow> rows;
    for (const char part : {'K', 'A'}) {
        if (onlyPart && part != onlyPart) continue;
        for (int r : (part == 'K' ? b.MroK() : b.MroA()).elements()) rows.push_back({part, r});
    }
    return rows;
}

bool enoughMarkedRows(Session& s, std::size_t marked, std::size_t least) {
    if (marked >= std::max<std::size_t>(least, 1)) return true;
    s.ui().showInfo(s.catalogue().GetLangMsg(marked == 0 ? "MsgNoRowsM" : "MsgFewRowsM"));
    return false;
}

double headerNumber(const TEditBuffer& b, int col, int row) {
    const auto v = parseNumber(trimBlanks(b.Get('K', col, row)));
    return v ? *v : kMissing;
}

std::optional<double> askMinimum(Session& s, std::string_view caption) {
    const auto answer = askText(s, caption, "Minimaler Wert", "0");
    if (!answer) return std::nullopt;
    const auto minimum = parseNumber(trimBlanks(*answer));
    if (!minimum) s.ui().showError("\"" + *answer + "\" ist keine Zahl.");
    return minimum;
}

bool askStatOptions(Session& s, StatChoice& c) {
    if (c.selection.on(23)) {
        int rule = 0;
        if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgNaOpts", "", "", rule)) return false;
        c.selection.setNaRule(static_cast<char>('0' + std::clamp(rule, 0, 2)));
    }
    if (c.selection.on(24)) {
        const auto answer = askText(s, "bitte 2 Werte eingeben",
                                    "Stichprobenz. / Konfidenzint. (%) Std=68.27, 2 Std=95.45", "1000 68.27");
        if (!answer) return false;
        std::vector<std::string> words;
        for (const std::string& w : splitFields(*answer, " "))
            if (!w.empty()) words.push_back(w);
        const auto n = words.size() > 0 ? parseInteger(words[0]) : std::nullopt;
        const auto p = words.size() > 1 ? parseNumber(words[1]) : std::nullopt;
        if (!n || *n < 1 || *n > 1000000 || !p || *p <= 0 || *p >= 100) {
            s.ui().showError(
                "Bitte eine Anzahl Stichproben (1 bis 1000000) und ein Konfidenzintervall zwischen 0 und 100 "
                "% eingeben.");
            return false;
        }
        c.nconf = static_cast<int>(*n);
        c.pconf = *p;
        c.selection.set(33, '1');
    }
    return true;
}

std::vector<int> askCategoryRows(Session& s) {
    const TEditBuffer& b = s.buffer();
    std::vector<std::string> names;
    for (int r = 0; r < b.GetRowCount('K'); ++r) names.emplace_back(b.GetZl('K', r));
    int current = 0;
    std::vector<int> rows;
    if (!TListDlg::Execute(s.ui(), "Kategorien (Straten) angeben", names, true, current, &rows)) return {};
    if (rows.empty() && current >= 0 && current < b.GetRowCount('K')) rows.push_back(current);
    return rows;
}

std::optional<StatChoice> askColumnStatistics(Session& s, bool basicOnly) {
    auto choice = askSelection(s, basicOnly, false);
    if (!choice) return std::nullopt;
    if (choice->selection.on(2) || choice->selection.on(27)) {
        if (AskYesNoCancel(s.ui(), s.catalogue().GetLangMsg("MsgNoWMean")) != 'Y') return std::nullopt;
        choice->selection.set(2, '0');
        choice->selection.set(27, '0');
    }
    if (!choice->selection.anyParameter()) return std::nullopt;
    return choice;
}

std::int64_t applyColumnStatistics(Session& s, char part, const std::vector<int>& rows,
                                   const StatChoice& choiceRef, std::string_view suffix) {
    const StatChoice* choice = &choiceRef;
    TEditBuffer& b = s.buffer();
    const bool bounds = choice->selection.bootstrap() && choice->nconf > 0;
    const std::vector<std::string> labels = TStatParams::labels(choice->selection, bounds, choice->pconf);
    const int decimals = s.settings().Diversa.Decimals;
    std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(b.GetColCount()));
    std::int64_t nas = 0;
    CellValues values(s, part);
    std::vector<double> column;
    TStatParams p(choice->selection);
    s.progress().startBar(b.GetColCount());
    for (int c = 0; c < b.GetColCount(); ++c) {
        if (c % 256 == 0) {
            s.progress().setPosition(c);
            if (s.progress().aborted()) return -1;
        }
        p.Clear();
        values.column(c, rows, column);
        for (double v : column) p.add(v, 0);
        for (const StatValue& v : p.results(choice->nconf, choice->pconf, s.random())) {
            if (!v.ok) ++nas;
            cells[static_cast<std::size_t>(c)].push_back(statCellText(v, decimals));
        }
    }
    s.progress().endBar();
    std::vector<std::pair<std::string, char>> newRows;
    for (const std::string& l : labels) newRows.emplace_back(l + std::string(suffix), 'F');
    const int first = appendHeaderRows(b, newRows);
    for (int c = 0; c < b.GetColCount(); ++c)
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const std::string& text = cells[static_cast<std::size_t>(c)][i];
            if (!text.empty()) b.Put('K', text, c, first + static_cast<int>(i));
        }
    return nas;
}

namespace {

Status columnStatistics(Session& s, char part, const std::vector<int>& rows, bool basicOnly) {
    const auto choice = askColumnStatistics(s, basicOnly);
    if (!choice) return {};
    const std::int64_t nas = applyColumnStatistics(s, part, rows, *choice, "");
    if (nas > 0) s.ui().showInfo(std::to_string(nas) + " NAs erzeugt.");
    return {};
}

// Dates as day numbers or times as seconds, per releve over the marked header rows.
Status dateArithmetic(Session& s, const std::vector<int>& rows) {
    TEditBuffer& b = s.buffer();
    const char type = b.GetTyp('K', rows.front());
    for (int r : rows)
        if (b.GetTyp('K', r) != type || (type != 'D' && type != 'Z')) {
            s.ui().showError("Zeilentyp darf entweder nur Datum oder nur Zeit sein");
            return commandFailed();
        }
    std::string flags;
    if (!TCheckDlg::Execute(s.ui(), s.catalogue(), "DlgOpDatZeit", "", "", flags)) return {};
    static constexpr const char* kNames[] = {"Summe", "Differenz", "Mittelwert", "Minimum", "Maximum"};
    static constexpr int kPositions[] = {26, 28, 0, 15, 17};
    std::vector<int> ops;
    for (int i = 0; i < 5; ++i)
        if (i < static_cast<int>(flags.size()) && flags[static_cast<std::size_t>(i)] == '1') ops.push_back(i);
    if (ops.empty()) return {};
    const int cols = b.GetColCount();
    std::vector<std::vector<std::string>> results(ops.size(),
                                                  std::vector<std::string>(static_cast<std::size_t>(cols)));
    for (int c = 0; c < cols; ++c) {
        std::vector<double> values;
        bool readable = true;
        for (int r : rows) {
            std::string e(b.Get('K', c, r));
            if (type == 'D') {
                RDatum d;
                std::int32_t key = 0;
                readable = readable && DatumVal(false, true, e, d, key);
                values.push_back(d.TagNr);
            } else {
                RZeit z;
                readable = readable && ZeitVal(false, e, z);
                values.push_back(static_cast<double>(ZeitToSek(z)));
            }
        }
        for (std::size_t k = 0; k < ops.size(); ++k) {
            std::string flag(StatSelection::kSize, '0');
            flag[static_cast<std::size_t>(kPositions[ops[k]])] = '1';
            TStatParams p{StatSelection(flag)};
            for (double v : values) p.add(v, 1);
            const StatValue v = p.results().front();
            std::string text = "NA";
            if (readable && v.ok) {
                const auto whole = static_cast<std::int64_t>(std::llround(v.value));
                if (type == 'D') {
                    text = std::to_string(whole);
                } else {
                    RZeit z;
                    SekToZeit(std::llabs(whole), z);
                    text = (whole < 0 ? "-" : "") + ZeitText(z);
                }
            }
            results[k][static_cast<std::size_t>(c)] = text;
        }
    }
    std::vector<std::pair<std::string, char>> newRows;
    for (int op : ops)
        newRows.emplace_back(std::string(kNames[op]) + (type == 'D' ? " (Tage)" : " (Zeit hh:mm:ss)"),
                             type == 'D' ? 'I' : 'Z');
    const int first = appendHeaderRows(b, newRows);
    for (std::size_t k = 0; k < ops.size(); ++k)
        for (int c = 0; c < cols; ++c)
            b.Put('K', results[k][static_cast<std::size_t>(c)], c, first + static_cast<int>(k));
    return {};
}

// The signed sum of the marked header rows, the operators chosen in "Kettenrechnung".
Status chainSum(Session& s, char part, const std::vector<int>& rows) {
    TEditBuffer& b = s.buffer();
    std::vector<std::string> lines{"Operator (ändern: Doppelklick);Variable"};
    for (int r : rows) lines.push_back("+;" + std::string(b.GetZl(part, r)));
    std::string answer;
    if (!TGridDlg::Execute(s.ui(), "Kettenrechnung", lines, 25, answer)) return {};
    const bool scripted = answer.size() == rows.size() && answer.find_first_not_of("+-") == std::string::npos;
    std::vector<double> sign;
    for (std::size_t i = 0; i < rows.size(); ++i)
        sign.push_back(
            (scripted ? answer[i] == '-' : i + 1 < lines.size() && lines[i + 1].starts_with('-')) ? -1 : 1);
    std::vector<std::string> sums;
    for (int c = 0; c < b.GetColCount(); ++c) {
        long double sum = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const double v = numericValue(s, part, c, rows[i]);
            if (!isMissing(v)) sum += sign[i] * v;
        }
        sums.push_back(formatNumber(static_cast<double>(sum)));
    }
    const int at = appendHeaderRows(b, {{"Kettenrechnung", 'F'}});
    for (int c = 0; c < b.GetColCount(); ++c) b.Put('K', sums[static_cast<std::size_t>(c)], c, at);
    return {};
}

// A numeric header row chosen from a list; -1 when cancelled or there is none.
int chooseHeaderRow(Session& s, std::string_view caption) {
    TEditBuffer& b = s.buffer();
    std::vector<int> rows;
    std::vector<std::string> names;
    for (int r = 0; r < b.GetRowCount('K'); ++r)
        if (numericRow(b.GetTyp('K', r))) {
            rows.push_back(r);
            names.emplace_back(b.GetZl('K', r));
        }
    if (rows.empty()) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRoCo"));
        return -1;
    }
    int chosen = 0;
    if (!TListDlg::Execute(s.ui(), caption, names, false, chosen)) return -1;
    return chosen >= 0 && chosen < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(chosen)]
                                                                 : -1;
}

// Each releve's marked cells normalised; one new header row per marked row.
Status normaliseColumns(Session& s, char part, const std::vector<int>& rows) {
    int mode = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpScale", "", "", mode)) return {};
    int divisorRow = -1;
    if (mode == 3 && (divisorRow = chooseHeaderRow(s, "Zeile mit Normierung")) < 0) return {};
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount(), decimals = s.settings().Diversa.Decimals;
    std::vector<std::vector<std::string>> out(rows.size(),
                                              std::vector<std::string>(static_cast<std::size_t>(cols)));
    std::int64_t nonNumeric = 0;
    CellValues values(s, part);
    std::vector<double> x;
    for (int c = 0; c < cols; ++c) {
        values.column(c, rows, x);
        std::vector<double> present;
        for (double v : x)
            if (!isMissing(v)) present.push_back(v);
        nonNumeric += static_cast<std::int64_t>(x.size() - present.size());
        const auto [sum, mean, sd] = momentsOf(present);
        const std::vector<double> ranks = midRanks(present);
        const double divisor = divisorRow >= 0 ? numericValue(s, 'K', c, divisorRow) : 0;
        std::size_t k = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (isMissing(x[i])) continue;
            double y = 0;
            bool ok = true;
            switch (mode) {
                case 0:
                    ok = sd > 0;
                    y = ok ? (x[i] - mean) / sd : 0;
                    break;
                case 1:
                    y = sum == 0 ? 0 : x[i] / static_cast<double>(sum);
                    break;
                case 2:
                    y = ranks[k];
                    break;
                default:
                    ok = !isMissing(divisor);
                    y = ok && divisor != 0 ? x[i] / divisor : 0;
                    break;
            }
            ++k;
            if (ok) out[i][static_cast<std::size_t>(c)] = formatNumber(y, decimals);
        }
    }
    static constexpr const char* kPrefix[] = {"Normalisierung ", "Anteil ", "Rang ", "Normierung "};
    std::vector<std::pair<std::string, char>> newRows;
    for (int r : rows)
        newRows.emplace_back(kPrefix[std::clamp(mode, 0, 3)] + std::string(b.GetZl(part, r)), 'F');
    const int first = appendHeaderRows(b, newRows);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < cols; ++c)
            if (!out[i][static_cast<std::size_t>(c)].empty())
                b.Put('K', out[i][static_cast<std::size_t>(c)], c, first + static_cast<int>(i));
    if (nonNumeric > 0) s.ui().showInfo(std::to_string(nonNumeric) + " nicht-numerische Felder.");
    return {};
}

// Releves whose marked cells stay below a minimal value (by maximum, mean or minimum of the absolute
// values) are emptied in those cells.
Status filterColumns(Session& s, char part, const std::vector<int>& rows) {
    const auto minimum = askMinimum(s, "Spalten filtern");
    if (!minimum) return {};
    int mode = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpFilterCols", "", "", mode)) return {};
    TEditBuffer& b = s.buffer();
    std::vector<int> emptied;
    CellValues values(s, part);
    std::vector<double> column;
    for (int c = 0; c < b.GetColCount(); ++c) {
        values.column(c, rows, column);
        std::vector<double> a;
        for (double v : column)
            if (!isMissing(v)) a.push_back(std::fabs(v));
        if (a.empty()) continue;
        double measure = mode == 0   ? *std::max_element(a.begin(), a.end())
                         : mode == 2 ? *std::min_element(a.begin(), a.end())
                                     : 0;
        if (mode == 1) {
            long double sum = 0;
            for (double v : a) sum += v;
            measure = static_cast<double>(sum / a.size());
        }
        if (measure < *minimum) emptied.push_back(c);
    }
    for (int c : emptied)
        for (int r : rows)
            if (!b.Get(part, c, r).empty()) b.Put(part, "", c, r);
    return {};
}

// The marked rows of each releve ranked by value, largest first: pairs of rows "Rang i" / "Wert i".
Status rankRows(Session& s, char part, const std::vector<int>& rows) {
    const auto count = askWholeNumber(s, "Rangieren", "Anzahl Ränge (0 = alle)", 0, 0, 1000);
    if (!count) return {};
    const auto minimum = askMinimum(s, "Rangieren");
    if (!minimum) return {};
    const int k =
        *count == 0 ? static_cast<int>(rows.size()) : std::min(*count, static_cast<int>(rows.size()));
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount(), decimals = s.settings().Diversa.Decimals;
    std::vector<std::vector<std::pair<std::string, std::string>>> ranked(static_cast<std::size_t>(cols));
    CellValues values(s, part);
    std::vector<double> column;
    for (int c = 0; c < cols; ++c) {
        values.column(c, rows, column);
        std::vector<std::pair<double, int>> v;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (const double x = column[i]; !isMissing(x) && x >= *minimum) v.emplace_back(x, rows[i]);
        std::stable_sort(v.begin(), v.end(), [](const auto& a, const auto& z) { return a.first > z.first; });
        for (int i = 0; i < k && i < static_cast<int>(v.size()); ++i)
            ranked[static_cast<std::size_t>(c)].emplace_back(
                std::string(b.GetZl(part, v[static_cast<std::size_t>(i)].second)),
                formatNumber(v[static_cast<std::size_t>(i)].first, decimals));
    }
    std::vector<std::pair<std::string, char>> newRows;
    for (int i = 1; i <= k; ++i) {
        newRows.emplace_back("Rang " + std::to_string(i), 'T');
        newRows.emplace_back("Wert " + std::to_string(i), 'F');
    }
    const int first = appendHeaderRows(b, newRows);
    for (int c = 0; c < cols; ++c)
        for (std::size_t i = 0; i < ranked[static_cast<std::size_t>(c)].size(); ++i) {
            b.Put('K', ranked[static_cast<std::size_t>(c)][i].first, c, first + 2 * static_cast<int>(i));
            b.Put('K', ranked[static_cast<std::size_t>(c)][i].second, c, first + 2 * static_cast<int>(i) + 1);
        }
    return {};
}

// The rows a column-wise evaluation works on: the marked rows of the active grid's part (at least two).
std::optional<std::vector<int>> evaluatedRows(Session& s, char part, std::size_t least) {
    const TEditBuffer& b = s.buffer();
    const TMenge& marks = part == 'K' ? b.MroK() : b.MroA();
    if (!enoughMarkedRows(s, static_cast<std::size_t>(marks.Count()), least)) return std::nullopt;
    return marks.elements();
}

void noteNonNumeric(Session& s, char part, const std::vector<int>& rows) {
    for (int r : rows)
        if (!numericRow(s.buffer().GetTyp(part, r))) {
            s.ui().showInfo("Zur Information: es sind auch nichtnumerische Zeilen markiert.");
            return;
        }
}

Status evaluateColumns(Session& s) {
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpCols", "", "", answer)) return {};
    const char part = activePart(s);
    if (answer == 7) {
        s.ui().showInfo("An einer Referenzzeile kalibrieren: noch nicht verfügbar.");
        return commandFailed();
    }
    if (answer == 2 || answer == 3) {
        // Dates, times and chain sums work on header rows.
        const auto rows = evaluatedRows(s, 'K', answer == 3 ? 2 : 1);
        if (!rows) return commandFailed();
        return answer == 2 ? dateArithmetic(s, *rows) : chainSum(s, 'K', *rows);
    }
    const auto rows = evaluatedRows(s, part, answer <= 1 ? 2 : 1);
    if (!rows) return commandFailed();
    noteNonNumeric(s, part, *rows);
    switch (answer) {
        case 0:
        case 1:
            return columnStatistics(s, part, *rows, answer == 1);
        case 4:
            return normaliseColumns(s, part, *rows);
        case 5:
            return filterColumns(s, part, *rows);
        case 6:
            return rankRows(s, part, *rows);
        default:
            return {};
    }
}

// ---- "Zeilen auswerten"

// A row transformed into a new header row (behind the last one) named "<row> <transformation>".
Status transformRows(Session& s) {
    const std::vector<MarkedRow> rows = markedRows(s.buffer());
    int mode = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgScale", "", "", mode)) return {};
    mode = std::clamp(mode, 0, 8);
    int reference = -1;
    if ((mode == 4 || mode == 8) &&
        (reference = chooseHeaderRow(s, mode == 4 ? "Divisor wählen" : "Eichgrösse wählen")) < 0)
        return {};
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount(), decimals = s.settings().Diversa.Decimals;
    std::vector<double> refValues;
    if (reference >= 0)
        for (int c = 0; c < cols; ++c) refValues.push_back(numericValue(s, 'K', c, reference));
    std::vector<double> refPresent;
    for (double v : refValues)
        if (!isMissing(v)) refPresent.push_back(v);
    const auto [refSum, refMean, refSd] = momentsOf(refPresent);
    (void)refSum;
    std::vector<std::vector<std::string>> out;
    std::int64_t nas = 0;
    PartValues values(s);
    std::vector<double> x;
    for (const MarkedRow& mr : rows) {
        values.of(mr.part).row(mr.row, x);
        std::vector<double> present;
        for (double v : x)
            if (!isMissing(v)) present.push_back(v);
        const auto [sum, mean, sd] = momentsOf(present);
        double maxAbs = 0;
        for (double v : present) maxAbs = std::max(maxAbs, std::fabs(v));
        const std::vector<double> ranks = midRanks(present);
        double rMin = 0, rMax = 0;
        if (!ranks.empty()) {
            rMin = *std::min_element(ranks.begin(), ranks.end());
            rMax = *std::max_element(ranks.begin(), ranks.end());
        }
        std::vector<std::string> texts(static_cast<std::size_t>(cols));
        std::size_t k = 0;
        for (int c = 0; c < cols; ++c) {
            const double v = x[static_cast<std::size_t>(c)];
            double y = kMissing;
            if (!isMissing(v)) {
                const double r = ranks[k++];
                switch (mode) {
                    case 0:
                        y = v - mean;
                        break;
                    case 1:
                        y = sd > 0 ? (v - mean) / sd : v;
                        break;
                    case 2:
                        y = sum == 0 ? 0 : v / sum;
                        break;
                    case 3:
                        y = maxAbs == 0 ? 0 : v / maxAbs;
                        break;
                    case 4: {
                        const double d = refValues[static_cast<std::size_t>(c)];
                        y = isMissing(d) || d == 0 ? kMissing : v / d;
                        break;
                    }
                    case 5:
                        y = r;
                        break;
                    case 6:
                        y = rMax > rMin ? (r - rMin) / (rMax - rMin) : 0;
                        break;
                    case 7:
                        y = normalQuantile((r - 0.5) / static_cast<double>(present.size()));
                        break;
                    default:
                        y = sd > 0 && refSd > 0 ? refMean + (v - mean) * refSd / sd : v;
                        break;
                }
            }
            if (isMissing(y) || !std::isfinite(y)) ++nas;
            texts[static_cast<std::size_t>(c)] = numberOrNa(y, decimals);
        }
        out.push_back(std::move(texts));
    }
    std::vector<std::pair<std::string, char>> newRows;
    for (const MarkedRow& mr : rows)
        newRows.emplace_back(std::string(b.GetZl(mr.part, mr.row)) + " " + kTransformationNames[mode], 'F');
    const int first = appendHeaderRows(b, newRows);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < cols; ++c)
            b.Put('K', out[i][static_cast<std::size_t>(c)], c, first + static_cast<int>(i));
    if (nas > 0) s.ui().showInfo(std::to_string(nas) + " NAs erzeugt.");
    return {};
}

// The classing dialog: mode, class width, class size, number of classes by width and by size, the class
// limits, and the two check boxes, as eight fields.
struct Classing {
    int mode = 0;
    double width = 0.1;
    int size = 10, byWidth = 10, bySize = 10;
    std::vector<double> limits;
    bool zeroOwnClass = false, exactLabels = false;
};
std::optional<Classing> askClassing(Session& s) {
    DialogRequest r;
    r.kind = DialogKind::Input;
    r.name = "Klassieren";
    r.caption = "Klassieren";
    r.items = {
        "Art (0 Klassenbreite, 1 Klassengrösse, 2 Anzahl Klassen gleicher Breite, 3 Anzahl Klassen "
        "gleicher Grösse, 4 Klassengrenzen)",
        "Klassenbreite",
        "Klassengrösse",
        "Anzahl Klassen (gleiche Breite)",
        "Anzahl Klassen (gleiche Grösse)",
        "Klassengrenzen",
        "0 als eigene Klasse (1 = ja)",
        "Klassen genau anschreiben (1 = ja)"};
    r.initial = "0;0.1;10;10;10;-0.2  -0.1  0  0.1  0.2;0;0;";
    const std::optional<std::string> answer = s.ui().dialog(r);
    if (!answer) return std::nullopt;
    std::vector<std::string> f = splitFields(*answer);
    f.resize(8);
    Classing c;
    const auto mode = parseInteger(trimBlanks(f[0]));
    const auto width = parseNumber(trimBlanks(f[1]));
    const auto size = parseInteger(trimBlanks(f[2]));
    const auto byWidth = parseInteger(trimBlanks(f[3]));
    const auto bySize = parseInteger(trimBlanks(f[4]));
    bool ok = mode && *mode >= 0 && *mode <= 4;
    if (ok && *mode == 0) ok = width.has_value();
    if (ok && *mode == 1) ok = size && *size > 0;
    if (ok && *mode == 2) ok = byWidth && *byWidth > 0;
    if (ok && *mode == 3) ok = bySize && *bySize > 0;
    if (ok && *mode == 4) {
        for (const std::string& w : splitFields(f[5], " ")) {
            if (trimBlanks(w).empty()) continue;
            const auto v = parseNumber(trimBlanks(w));
            if (!v || (!c.limits.empty() && *v <= c.limits.back())) {
                ok = false;
                break;
            }
            c.limits.push_back(*v);
        }
        ok = ok && c.limits.size() >= 2;
    }
    if (!ok) {
        s.ui().showError(
            "Klassieren: ungültige Angaben (Art 0 bis 4 mit einer Zahl für die gewählte Art; "
            "Klassengrenzen aufsteigend).");
        return std::nullopt;
    }
    c.mode = static_cast<int>(*mode);
    c.width = width.value_or(0);
    c.size = static_cast<int>(size.value_or(1));
    c.byWidth = static_cast<int>(byWidth.value_or(1));
    c.bySize = static_cast<int>(bySize.value_or(1));
    c.zeroOwnClass = trimBlanks(f[6]) == "1";
    c.exactLabels = trimBlanks(f[7]) == "1";
    return c;
}

// Each marked row classed: "Klassenmitte <row>" (the middle of each value's class) and "Klasse <row>"
// (its bounds).
Status classRows(Session& s) {
    const std::vector<MarkedRow> rows = markedRows(s.buffer());
    const auto classing = askClassing(s);
    if (!classing) return {};
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount(), decimals = s.settings().Diversa.Decimals;
    PartValues values(s);
    std::vector<double> x;
    std::vector<std::vector<std::string>> middles, labels;
    auto text = [&](double v) { return formatNumber(v, decimals); };
    for (const MarkedRow& mr : rows) {
        values.of(mr.part).row(mr.row, x);
        std::vector<double> sorted;
        for (double v : x)
            if (!isMissing(v)) sorted.push_back(v);
        std::sort(sorted.begin(), sorted.end());
        int mode = classing->mode;
        double width = classing->width;
        int size = classing->size;
        if (mode == 2) {
            width = classing->byWidth > 1 && !sorted.empty()
                        ? (sorted.back() - sorted.front()) / (classing->byWidth - 1)
                        : 0;
            mode = 0;
        } else if (mode == 3) {
            size = static_cast<int>(std::trunc(static_cast<double>(sorted.size()) / classing->bySize + 1));
            mode = 1;
        }
        const bool integerRow = mr.part == 'K' && b.GetTyp('K', mr.row) == 'I';
        const double raise = !classing->exactLabels || mode == 1 ? 0 : integerRow ? 1 : 0.0001;
        std::vector<std::string> middle(static_cast<std::size_t>(cols)),
            label(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            const double v = x[static_cast<std::size_t>(c)];
            std::string& m = middle[static_cast<std::size_t>(c)];
            std::string& l = label[static_cast<std::size_t>(c)];
            if (isMissing(v)) {
                m = l = "NA";
                continue;
            }
            if (classing->zeroOwnClass && v == 0) {
                m = l = "0";
                continue;
            }
            double lower = 0, upper = 0;
            if (mode == 0) {
                if (width <= 0) {
                    m = l = "NA";
                    continue;
                }
                // The class (j − 1)w < v ≤ jw, each bound computed from its index.
                double j = std::ceil(v / width - 1e-9);
                while (j * width < v) ++j;
                while ((j - 1) * width >= v) --j;
                lower = (j - 1) * width;
                upper = j * width;
            } else if (mode == 1) {
                const auto at = static_cast<std::size_t>(std::lower_bound(sorted.begin(), sorted.end(), v) -
                                                         sorted.begin());
                const std::size_t step = static_cast<std::size_t>(std::max(size, 1));
                const std::size_t block = at / step;
                lower = sorted[block * step];
                upper = sorted[std::min((block + 1) * step, sorted.size()) - 1];
            } else {
                const std::vector<double>& limits = classing->limits;
                if (v < limits.front() || v >= limits.back()) {
                    m = l = "NA";
                    continue;
                }
                const auto i = static_cast<std::size_t>(std::upper_bound(limits.begin(), limits.end(), v) -
                                                        limits.begin()) -
                               1;
                lower = limits[i];
                upper = limits[i + 1];
            }
            m = text(mode == 0 ? lower + width / 2 : (lower + upper) / 2);
            l = text(lower + raise) + " - " + text(upper);
        }
        middles.push_back(std::move(middle));
        labels.push_back(std::move(label));
    }
    std::vector<std::pair<std::string, char>> newRows;
    for (const MarkedRow& mr : rows) {
        const std::string name(b.GetZl(mr.part, mr.row));
        newRows.emplace_back("Klassenmitte " + name, 'F');
        newRows.emplace_back("Klasse " + name, 'T');
    }
    const int first = appendHeaderRows(b, newRows);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < cols; ++c) {
            b.Put('K', middles[i][static_cast<std::size_t>(c)], c, first + 2 * static_cast<int>(i));
            b.Put('K', labels[i][static_cast<std::size_t>(c)], c, first + 2 * static_cast<int>(i) + 1);
        }
    return {};
}

// Running sums along the releves; unreadable values are skipped and counted.
Status cumulateRows(Session& s) {
    const std::vector<MarkedRow> rows = markedRows(s.buffer());
    TEditBuffer& b = s.buffer();
    const int cols = b.GetColCount();
    std::vector<std::vector<std::string>> out;
    std::int64_t skipped = 0;
    PartValues values(s);
    std::vector<double> x;
    for (const MarkedRow& mr : rows) {
        long double sum = 0;
        std::vector<std::string> texts;
        values.of(mr.part).row(mr.row, x);
        for (int c = 0; c < cols; ++c) {
            const double v = x[static_cast<std::size_t>(c)];
            if (isMissing(v))
                ++skipped;
            else
                sum += v;
            texts.push_back(formatNumber(static_cast<double>(sum), s.settings().Diversa.Decimals));
        }
        out.push_back(std::move(texts));
    }
    std::vector<std::pair<std::string, char>> newRows;
    for (const MarkedRow& mr : rows)
        newRows.emplace_back(std::string(b.GetZl(mr.part, mr.row)) + " kumuliert", 'F');
    const int first = appendHeaderRows(b, newRows);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < cols; ++c)
            b.Put('K', out[i][static_cast<std::size_t>(c)], c, first + static_cast<int>(i));
    if (skipped > 0) s.ui().showInfo(std::to_string(skipped) + " nicht lesbare Werte übersprungen.");
    return {};
}

// Statistics of every marked row per category of releves (the values of the chosen header rows),
// shown as "Auswertung Kategorien".
Status categoryStatistics(Session& s, bool basicOnly, bool categoryMenu) {
    TEditBuffer& b = s.buffer();
    const std::vector<MarkedRow> rows = markedRows(b);
    const std::vector<int> categoryRows = askCategoryRows(s);
    if (categoryRows.empty()) return {};
    auto choice = askSelection(s, basicOnly, categoryMenu);
    if (!choice) return {};
    int weightRow = -1;
    if (choice->selection.on(2) || choice->selection.on(27)) {
        if ((weightRow = chooseHeaderRow(s, "Feld für Gewichtung")) < 0) return {};
        if (!numericRow(b.GetTyp('K', weightRow))) {
            s.ui().showError(s.catalogue().GetLangMsg("MsgWNum"));
            return commandFailed();
        }
    }
    if (!choice->selection.anyParameter()) return {};
    // The category of each releve, and the sorted distinct categories.
    std::map<std::string, std::vector<int>> categories;
    for (int c = 0; c < b.GetColCount(); ++c) {
        std::string key;
        for (int r : categoryRows) key += ";" + std::string(b.Get('K', c, r));
        categories[key].push_back(c);
    }
    const bool bounds = choice->selection.bootstrap() && choice->nconf > 0;
    std::string heading = "Zeile;";
    for (int r : categoryRows) heading += std::string(b.GetZl('K', r)) + ";";
    heading.pop_back();
    for (const std::string& l : TStatParams::labels(choice->selection, bounds, choice->pconf))
        heading += ";" + l;
    std::vector<std::string> lines{heading};
    const int decimals = s.settings().Diversa.Decimals;
    std::vector<double> weights(static_cast<std::size_t>(b.GetColCount()), 1.0);
    if (weightRow >= 0)
        for (int c = 0; c < b.GetColCount(); ++c)
            weights[static_cast<std::size_t>(c)] = numericValue(s, 'K', c, weightRow);
    PartValues values(s);
    std::vector<double> x;
    TStatParams p(choice->selection);
    for (const MarkedRow& mr : rows) {
        values.of(mr.part).row(mr.row, x);
        for (const auto& [key, cols] : categories) {
            p.Clear();
            for (int c : cols) p.add(x[static_cast<std::size_t>(c)], weights[static_cast<std::size_t>(c)]);
            std::string line = std::string(b.GetZl(mr.part, mr.row)) + key;
            for (const StatValue& v : p.results(choice->nconf, choice->pconf, s.random()))
                line += ";" + statTableText(v, decimals);
            lines.push_back(std::move(line));
        }
    }
    std::string res;
    TGridDlg::Execute(s.ui(), "Auswertung Kategorien", lines, 1, res);
    return {};
}

Status evaluateRows(Session& s) {
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpAnalyse", "", "", answer)) return {};
    if (answer >= 7) return runRowTest(s, answer);
    if (answer == 5 || answer == 6) {
        s.ui().showInfo("Gleitendes Fenster: noch nicht verfügbar.");
        return commandFailed();
    }
    const TEditBuffer& b = s.buffer();
    if (b.MroK().empty() && b.MroA().empty()) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRowsM"));
        return commandFailed();
    }
    switch (answer) {
        case 0:
        case 1:
            return categoryStatistics(s, answer == 1, false);
        case 2:
            return cumulateRows(s);
        case 3:
            return classRows(s);
        default:
            return transformRows(s);
    }
}

// "Weitere Funktionen" of the categories of releves (the values of chosen header rows): the number of
// releves per category (0), the category's number as a header row (1), and for each marked row its
// category mean (2), the deviation from it (3) or its mid-rank within the category (4).
Status moreCategoryFunctions(Session& s) {
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpAnalyseCatW", "", "", answer)) return {};
    TEditBuffer& b = s.buffer();
    const std::vector<MarkedRow> rows = markedRows(b);
    if (answer >= 2 && rows.empty()) {
        s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRowsM"));
        return commandFailed();
    }
    const std::vector<int> keyRows = askCategoryRows(s);
    if (keyRows.empty()) return {};
    std::map<std::string, std::vector<int>> categories;
    for (int c = 0; c < b.GetColCount(); ++c) {
        std::string key;
        for (int r : keyRows) key += ";" + std::string(b.Get('K', c, r));
        categories[key].push_back(c);
    }
    const int cols = b.GetColCount(), decimals = s.settings().Diversa.Decimals;
    if (answer == 0) {
        std::string heading;
        for (int r : keyRows) heading += (heading.empty() ? "" : ".") + std::string(b.GetZl('K', r));
        std::vector<std::string> lines{heading + ";Anzahl Aufnahmen"};
        for (const auto& [key, members] : categories)
            lines.push_back(key.substr(1) + ";" + std::to_string(members.size()));
        std::string res;
        TGridDlg::Execute(s.ui(), "Anzahl Aufnahmen je Kategorie", lines, 1, res);
        return {};
    }
    if (answer == 1) {
        std::vector<std::string> number(static_cast<std::size_t>(cols));
        int k = 0;
        for (const auto& [key, members] : categories) {
            ++k;
            for (int c : members) number[static_cast<std::size_t>(c)] = std::to_string(k);
        }
        const int at = appendHeaderRows(b, {{"Kategorienschlüssel", 'I'}});
        for (int c = 0; c < cols; ++c) b.Put('K', number[static_cast<std::size_t>(c)], c, at);
        return {};
    }
    static constexpr const char* kNames[] = {"Kategorienmittel ", "Abweichung vom Kategorienmittel ",
                                             "Rang in Kategorie "};
    PartValues values(s);
    std::vector<double> x;
    std::vector<std::vector<std::string>> out;
    for (const MarkedRow& mr : rows) {
        values.of(mr.part).row(mr.row, x);
        std::vector<std::string> texts(static_cast<std::size_t>(cols), "NA");
        for (const auto& [key, members] : categories) {
            std::vector<double> present;
            std::vector<int> at;
            for (int c : members)
                if (!isMissing(x[static_cast<std::size_t>(c)])) {
                    present.push_back(x[static_cast<std::size_t>(c)]);
                    at.push_back(c);
                }
            if (present.empty()) continue;
            long double sum = 0;
            for (double v : present) sum += v;
            const double mean = static_cast<double>(sum / present.size());
            const std::vector<double> ranks = midRanks(present);
            for (std::size_t i = 0; i < at.size(); ++i) {
                const double v = answer == 2 ? mean : answer == 3 ? present[i] - mean : ranks[i];
                texts[static_cast<std::size_t>(at[i])] = formatNumber(v, decimals);
            }
            // A releve without a value gets the category mean too, but no deviation or rank.
            if (answer == 2)
                for (int c : members) texts[static_cast<std::size_t>(c)] = formatNumber(mean, decimals);
        }
        out.push_back(std::move(texts));
    }
    std::vector<std::pair<std::string, char>> newRows;
    for (const MarkedRow& mr : rows)
        newRows.emplace_back(kNames[std::clamp(answer - 2, 0, 2)] + std::string(b.GetZl(mr.part, mr.row)),
                             'F');
    const int first = appendHeaderRows(b, newRows);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < cols; ++c)
            b.Put('K', out[i][static_cast<std::size_t>(c)], c, first + static_cast<int>(i));
    return {};
}

}  // namespace

void addStatisticsCommands(Dispatcher& d) {
    d.add(kEvaluateColumns, evaluateColumns);
    d.add(kEvaluateRows, evaluateRows);
    d.add(kCategoryStats, [](Session& s) {
        int answer = 0;
        if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpAnalyseCatK", "", "", answer)) return Status();
        if (s.buffer().MroK().empty() && s.buffer().MroA().empty()) {
            s.ui().showInfo(s.catalogue().GetLangMsg("MsgNoRowsM"));
            return commandFailed();
        }
        return categoryStatistics(s, answer == 1, true);
    });
    d.add(kCategoryMore, moreCategoryFunctions);
}

}  // namespace tav
