// Pairs of header rows evaluated releve by releve: "Gepaarte Zeilen spaltenweise" (the marked rows paired
// first half with second half, the pairs edited in "Zeilenpaare") and "Zeilen mit einer bestimmten Zeile
// paaren" (every marked row with one chosen row). Per pair: statistics or basic operations as new header
// rows, filtering, or the tests of association, of the differences against 0 and of the second row
// against the first. Within a pair the row higher in the table comes first.

#include <algorithm>
#include <cmath>

#include "analysis/stat_tests.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/command_handlers.h"
#include "editor/command_support.h"
#include "editor/dispatch.h"
#include "editor/evaluations.h"
#include "editor/session.h"
#include "env/dialogs.h"

namespace tav {

namespace {

constexpr std::int64_t kPairedRows = 106030200;     // "Gepaarte Zeilen spaltenweise"
constexpr std::int64_t kPairedWithOne = 106030300;  // "Zeilen mit einer bestimmten Zeile paaren"

using Pair = std::pair<int, int>;  // lower and higher row index

std::string firstWord(std::string_view name) {
    name = trimBlanks(name);
    return std::string(name.substr(0, name.find(' ')));
}

// The row a pair-list field names: its number counted from 1 before the first blank.
std::optional<int> rowOfField(const TEditBuffer& b, std::string_view field) {
    field = trimBlanks(field);
    const auto n = parseInteger(field.substr(0, field.find(' ')));
    if (!n || *n < 1 || *n > b.GetRowCount('K')) return std::nullopt;
    return static_cast<int>(*n - 1);
}

}  // namespace

std::optional<std::vector<std::pair<int, int>>> askRowPairs(Session& s) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> marked = b.MroK().elements();
    if (!enoughMarkedRows(s, marked.size(), 2)) return std::nullopt;
    const std::size_t half = marked.size() / 2;
    auto field = [&](int r) { return std::to_string(r + 1) + " " + std::string(b.GetZl('K', r)); };
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < marked.size() - half; ++k)
        lines.push_back(k < half ? field(marked[k]) + ";" + field(marked[half + k])
                                 : field(marked[half + k]));
    std::string res;
    if (!TGridDlg::Execute(s.ui(), "Zeilenpaare", lines, 24, res)) return std::nullopt;
    std::vector<Pair> pairs;
    for (const std::string& line : lines) {
        const std::vector<std::string> f = splitFields(line);
        if (f.size() < 2 || trimBlanks(f[0]).empty() || trimBlanks(f[1]).empty()) continue;
        const auto x = rowOfField(b, f[0]), y = rowOfField(b, f[1]);
        if (!x || !y || *x == *y) continue;
        pairs.emplace_back(*x, *y);
    }
    b.setMarks(MarkSet::MroK, TMenge());
    for (const Pair& p : pairs) {
        b.mark(MarkSet::MroK, p.first);
        b.mark(MarkSet::MroK, p.second);
    }
    return pairs;
}

namespace {

// The pair list with the row higher in the table first in each pair.
std::optional<std::vector<Pair>> pairList(Session& s) {
    auto pairs = askRowPairs(s);
    if (pairs)
        for (Pair& p : *pairs) p = {std::min(p.first, p.second), std::max(p.first, p.second)};
    return pairs;
}

// Every marked header row with the row chosen in "Vergleichszeile auswählen".
std::optional<std::vector<Pair>> pairsWithOne(Session& s) {
    TEditBuffer& b = s.buffer();
    const std::vector<int> marked = b.MroK().elements();
    if (!enoughMarkedRows(s, marked.size(), 1)) return std::nullopt;
    std::vector<std::string> names;
    for (int r = 0; r < b.GetRowCount('K'); ++r) names.emplace_back(b.GetZl('K', r));
    int chosen = 0;
    if (!TListDlg::Execute(s.ui(), "Vergleichszeile auswählen", names, false, chosen)) return std::nullopt;
    if (chosen < 0 || chosen >= b.GetRowCount('K')) return std::nullopt;
    std::vector<Pair> pairs;
    for (int r : marked)
        if (r != chosen) pairs.emplace_back(std::min(r, chosen), std::max(r, chosen));
    return pairs;
}

Status filterPairs(Session& s, const std::vector<Pair>& pairs) {
    const auto minimum = askMinimum(s, "Zeilenpaare filtern");
    if (!minimum) return {};
    int mode = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpFilterPairs", "", "", mode)) return {};
    TEditBuffer& b = s.buffer();
    std::vector<std::pair<int, Pair>> cleared;
    for (const Pair& p : pairs)
        for (int c = 0; c < b.GetColCount(); ++c) {
            const double x = headerNumber(b, c, p.first), y = headerNumber(b, c, p.second);
            if (isMissing(x) || isMissing(y)) continue;
            const double a = std::fabs(x), z = std::fabs(y);
            const double v = mode == 0 ? std::min(a, z) : mode == 2 ? std::max(a, z) : (a + z) / 2;
            if (v < *minimum) cleared.emplace_back(c, p);
        }
    for (const auto& [c, p] : cleared) {
        if (!b.Get('K', c, p.first).empty()) b.Put('K', "", c, p.first);
        if (!b.Get('K', c, p.second).empty()) b.Put('K', "", c, p.second);
    }
    return {};
}

// Answers 3, 4, 5: association (mode 2), differences against 0 (mode 0), second against first (mode 1).
Status testPairs(Session& s, const std::vector<Pair>& pairs, int answer) {
    const int mode = answer == 3 ? 2 : answer == 4 ? 0 : 1;
    const auto selection = askTestSelection(s, mode);
    if (!selection) return {};
    TEditBuffer& b = s.buffer();
    std::int64_t invalid = 0;
    std::vector<std::pair<std::string, TStatTests>> cases;
    for (const Pair& p : pairs) {
        TStatTests t(mode, *selection);
        for (int c = 0; c < b.GetColCount(); ++c) {
            const double lo = headerNumber(b, c, p.first), hi = headerNumber(b, c, p.second);
            if (mode == 1) {
                if (isMissing(lo))
                    ++invalid;
                else
                    t.add(lo, 1);
                if (isMissing(hi))
                    ++invalid;
                else
                    t.add(hi, 0);
                continue;
            }
            if (isMissing(lo) || isMissing(hi)) {
                ++invalid;
                continue;
            }
            if (mode == 2) {
                t.add(hi, 0);
                t.add(lo, 1);
            } else {
                t.add(lo - hi, 0);
            }
        }
        cases.emplace_back(std::to_string(p.first + 1) + " " + firstWord(b.GetZl('K', p.first)) + ";" +
                               std::to_string(p.second + 1) + " " + firstWord(b.GetZl('K', p.second)),
                           std::move(t));
    }
    if (invalid > 0 && AskYesNoCancel(s.ui(), std::to_string(invalid) +
                                                  " ungültige Werte werden ignoriert.\rWeiter?") != 'Y')
        return {};
    std::string heading = ";";
    for (const std::string& h : TStatTests(mode, *selection).headings()) heading += ";" + h;
    std::vector<std::string> lines{heading};
    const int decimals = s.settings().Diversa.Decimals;
    for (auto& [name, t] : cases) {
        std::string line = name;
        for (const std::string& f : t.results(decimals, s.random(), &s.progress())) line += ";" + f;
        lines.push_back(std::move(line));
    }
    std::string res;
    TGridDlg::Execute(s.ui(), "Test Zeilen", lines, 1, res);
    return {};
}

Status evaluatePairs(Session& s, bool withOne) {
    int answer = 0;
    if (!TRadioDlg::Execute(s.ui(), s.catalogue(), "DlgOpPairs", "", "", answer)) return {};
    if (answer == 6) {
        s.ui().showInfo("abschnittsweiser Test: noch nicht implementiert.");
        return commandFailed();
    }
    const auto pairs = withOne ? pairsWithOne(s) : pairList(s);
    if (!pairs) return commandFailed();
    if (pairs->empty()) return {};
    TEditBuffer& b = s.buffer();
    switch (answer) {
        case 0:
        case 1: {
            const auto choice = askColumnStatistics(s, answer == 1);
            if (!choice) return {};
            std::int64_t nas = 0;
            for (const Pair& p : *pairs) {
                const std::string suffix =
                    " " + std::string(b.GetZl('K', p.first)) + " " + std::string(b.GetZl('K', p.second));
                const std::int64_t n = applyColumnStatistics(s, 'K', {p.first, p.second}, *choice, suffix);
                if (n < 0) return {};
                nas += n;
            }
            if (nas > 0) s.ui().showInfo(std::to_string(nas) + " NAs erzeugt.");
            return {};
        }
        case 2:
            return filterPairs(s, *pairs);
        default:
            return testPairs(s, *pairs, answer);
    }
}

}  // namespace

void addPairedRowCommands(Dispatcher& d) {
    d.add(kPairedRows, [](Session& s) { return evaluatePairs(s, false); });
    d.add(kPairedWithOne, [](Session& s) { return evaluatePairs(s, true); });
}

}  // namespace tav
