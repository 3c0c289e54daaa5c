#include "analysis/diagnostic_taxa.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "analysis/ranking.h"
#include "analysis/weight_view.h"
#include "core/numbers.h"
#include "core/text.h"
#include "table/edit_buffer.h"

namespace tav {

namespace {

constexpr DiagnosticMeasure kMeasures[] = {
    {'A', "Tavolex-Kennartindex", true, false, false},
    {'a', "Tavolex-Kennartindex", true, false, false},
    {'B', "IndVal.PA", true, false, false},
    {'b', "IndVal.PA", true, false, false},
    {'C', "IndVal", true, false, false},
    {'c', "IndVal", true, false, false},
    {'D', "Freq.gesamt", false, true, false},
    {'E', "Freq.innen", true, true, false},
    {'F', "Freq.aussen", true, true, false},
    {'G', "Stet.gesamt", false, false, false},
    {'H', "Stet.innen", true, false, false},
    {'I', "Stet.aussen", true, false, false},
    {'J', "mittl.Freq", false, false, true},
    {'K', "mittl.Stet", false, false, true},
    {'L', "Summe.Stet", false, false, false},
    {'M', "mittl.Deck", false, false, true},
    {'N', "Mittelw.mittl.Deck", false, false, false},
    {'O', "mittl.Deck.innen", true, false, false},
    {'P', "mittl.Deck.aussen", true, false, true},
    {'Q', "Summe.mittl.Deck", false, false, false},
    {'R', "Stet.innen - Stet.aussen", true, false, false},
    {'S', "log (Stet.innen / Stet.aussen)", true, false, false},
    {'T', "Stet.innen / Stet.gesamt", true, false, false},
    {'U', "Stet.aussen / Stet.gesamt", true, false, false},
    {'V', "Stet.i/Stet.ges - Stet.a/Stet.ges", true, false, false},
    {'W', "Stet.i / Sum.Stet", true, false, false},
    {'X', "m.Deck.i / Sum.m.Deck", true, false, false},
    {'Y', "Phi-Koeffizient", true, false, false},
    {'y', "Phi-Koeffizient", true, false, false},
};

constexpr std::string_view kWholeOrder = "DGJKLMNQ";
constexpr std::string_view kCategoryOrder = "YBCAEFHIOPRSaTUVWXbcy";

std::string lettersIn(std::string_view order, std::string_view selection) {
    std::string out;
    for (char c : order)
        if (selection.find(c) != std::string_view::npos) out += c;
    return out;
}

// log_N(r) with r = x / v (N when v = 0), raised to 1/N when smaller, so that it lies in −1 … 1. A
// species absent everywhere has v = 0 too and so gets 1, as the index has always shown. With one releve
// ln N is 0 and the logarithm has no value.
double logRatio(const Kennval& k) {
    const double N = k.AnzR;
    if (N <= 1) return kMissing;
    double r = k.v > 0 ? k.x / k.v : N;
    if (r < 1 / N) r = 1 / N;
    return std::log(r) / std::log(N);
}

// The phi coefficient of the 2 × 2 table category × presence. Its special cases are the program's own
// and are kept: a species absent from the category gets −1 whatever the margins, and a category that
// covers the whole table gets f / N instead of an undefined value.
double phi(const Kennval& k) {
    const double N = k.AnzR, n = k.CatCt, f = k.gesF, fi = k.fi;
    if (k.gesF == 0) return 0;
    if (k.fi == 0) return -1;
    if (k.AnzR == k.gesF) return 0;
    if (k.AnzR == k.CatCt) return f / N;
    return (N * fi - f * n) / std::sqrt(f * n * (N - f) * (N - n));
}

double ratio(double a, double b) {
    return b == 0 ? 0 : a / b;
}

}  // namespace

// ---------------------------------------------------------------- categories

ReleveCategories releveCategories(const TEditBuffer& b, const std::vector<int>& headerRows) {
    ReleveCategories out;
    const int cols = b.GetColCount();
    std::vector<std::string> keyOf(static_cast<std::size_t>(cols));
    std::unordered_map<std::string, int> seen;
    for (int c = 0; c < cols; ++c) {
        std::string key;
        for (std::size_t i = 0; i < headerRows.size(); ++i) {
            if (i > 0) key += ';';
            key += upperFold(b.Get('K', c, headerRows[i]));
        }
        if (seen.emplace(key, 0).second) out.keys.push_back(key);
        keyOf[static_cast<std::size_t>(c)] = std::move(key);
    }
    std::sort(out.keys.begin(), out.keys.end(), textLess);
    for (std::size_t k = 0; k < out.keys.size(); ++k) {
        seen[out.keys[k]] = static_cast<int>(k);
        std::string label;
        for (char ch : out.keys[k])
            if (!isBlank(ch)) label += ch == ';' ? '.' : ch;
        out.labels.push_back(std::move(label));
    }
    out.of.reserve(static_cast<std::size_t>(cols));
    for (const std::string& key : keyOf) out.of.push_back(seen[key]);
    return out;
}

CategoryLevels categoryLevels(const TEditBuffer& b, const std::vector<int>& headerRows) {
    CategoryLevels out;
    for (std::size_t i = 1; i <= headerRows.size(); ++i)
        out.levels.push_back(
            releveCategories(b, std::vector<int>(headerRows.begin(), headerRows.begin() + i)));
    if (out.levels.empty()) return out;
    const ReleveCategories& finest = out.levels.back();
    for (const ReleveCategories& level : out.levels) {
        std::vector<int> groupOf(finest.keys.size(), 0);
        for (std::size_t c = 0; c < finest.of.size(); ++c)
            groupOf[static_cast<std::size_t>(finest.of[c])] = level.of[c];
        out.groupOf.push_back(std::move(groupOf));
    }
    return out;
}

// ---------------------------------------------------------------- counts

DiagnosticCounts countByCategory(const WeightView& view, const std::vector<int>& rows,
                                 const ReleveCategories& categories) {
    DiagnosticCounts out;
    out.N = view.releves;
    out.n.assign(static_cast<std::size_t>(categories.count()), 0);
    for (int k : categories.of) ++out.n[static_cast<std::size_t>(k)];
    out.species.resize(rows.size());
    out.f.assign(rows.size(), 0);
    out.weight.assign(rows.size(), 0);
    // A dense slot per category, reset through the list of the categories a species touched.
    std::vector<int> slot(out.n.size(), -1);
    for (std::size_t s = 0; s < rows.size(); ++s) {
        const auto row = static_cast<std::size_t>(rows[s]);
        if (row >= view.bySpecies.size()) continue;
        auto& list = out.species[s];
        for (const auto& [releve, w] : view.bySpecies[row]) {
            const int k = categories.of[static_cast<std::size_t>(releve)];
            int& at = slot[static_cast<std::size_t>(k)];
            if (at < 0) {
                at = static_cast<int>(list.size());
                list.push_back({k, 0, 0});
            }
            ++list[static_cast<std::size_t>(at)].fi;
            list[static_cast<std::size_t>(at)].weight += w;
            ++out.f[s];
            out.weight[s] += w;
        }
        for (const auto& p : list) slot[static_cast<std::size_t>(p.category)] = -1;
        std::sort(list.begin(), list.end(),
                  [](const auto& a, const auto& b) { return a.category < b.category; });
    }
    return out;
}

DiagnosticCounts DiagnosticCounts::grouped(const std::vector<int>& groupOf, int groups) const {
    DiagnosticCounts out;
    out.N = N;
    out.f = f;
    out.weight = weight;
    out.n.assign(static_cast<std::size_t>(groups), 0);
    for (std::size_t k = 0; k < n.size(); ++k) out.n[static_cast<std::size_t>(groupOf[k])] += n[k];
    out.species.resize(species.size());
    for (std::size_t s = 0; s < species.size(); ++s) {
        auto& list = out.species[s];
        for (const Presence& p : species[s])
            list.push_back({groupOf[static_cast<std::size_t>(p.category)], p.fi, p.weight});
        std::sort(list.begin(), list.end(),
                  [](const auto& a, const auto& b) { return a.category < b.category; });
        std::size_t kept = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (kept > 0 && list[kept - 1].category == list[i].category) {
                list[kept - 1].fi += list[i].fi;
                list[kept - 1].weight += list[i].weight;
            } else {
                list[kept++] = list[i];
            }
        }
        list.resize(kept);
    }
    return out;
}

void speciesKennvals(const DiagnosticCounts& counts, int s, std::vector<Kennval>& out) {
    const auto si = static_cast<std::size_t>(s);
    const int K = counts.categories();
    out.assign(static_cast<std::size_t>(K), Kennval{});
    Kennval common;
    common.AnzR = counts.N;
    common.gesF = counts.f[si];
    common.gesStet = counts.N > 0 ? static_cast<double>(common.gesF) / counts.N : 0;
    common.gesMDeckM = counts.N > 0 ? counts.weight[si] / counts.N : 0;
    // Categories without releves add nothing to the sums (a category has releves unless its counts were
    // made for another table).
    for (const auto& p : counts.species[si]) {
        const int n = counts.n[static_cast<std::size_t>(p.category)];
        if (n <= 0) continue;
        common.SumStet += static_cast<double>(p.fi) / n;
        common.sumMDeck += p.weight / n;
    }
    for (int k = 0; k < K; ++k) {
        Kennval& v = out[static_cast<std::size_t>(k)];
        v = common;
        v.CatCt = counts.n[static_cast<std::size_t>(k)];
    }
    for (const auto& p : counts.species[si]) {
        Kennval& v = out[static_cast<std::size_t>(p.category)];
        v.fi = p.fi;
        v.x = v.CatCt > 0 ? static_cast<double>(p.fi) / v.CatCt : 0;
        v.y = v.CatCt > 0 ? p.weight / v.CatCt : 0;
    }
    for (Kennval& v : out) {
        v.fa = v.gesF - v.fi;
        v.v = v.AnzR != v.CatCt ? static_cast<double>(v.fa) / (v.AnzR - v.CatCt) : 0;
    }
}

// ---------------------------------------------------------------- measures

const DiagnosticMeasure* diagnosticMeasure(char letter) {
    for (const DiagnosticMeasure& m : kMeasures)
        if (m.letter == letter) return &m;
    return nullptr;
}

std::string wholeTableLetters(std::string_view selection) {
    return lettersIn(kWholeOrder, selection);
}

std::string categoryLetters(std::string_view selection) {
    return lettersIn(kCategoryOrder, selection);
}

double measureValue(char letter, const Kennval& k) {
    switch (letter) {
        case 'A':
        case 'a': {
            const double l = logRatio(k);
            return isMissing(l) ? kMissing : std::fabs(k.x - k.v) * l;
        }
        case 'B':
        case 'b':
            return k.SumStet == 0 || k.x == 0 ? 0 : k.x * k.x / k.SumStet;
        case 'C':
        case 'c':
            return k.sumMDeck == 0 || k.x == 0 ? 0 : k.y / k.sumMDeck * k.x;
        case 'D':
            return k.gesF;
        case 'E':
            return k.fi;
        case 'F':
            return k.fa;
        case 'G':
            return k.gesStet;
        case 'H':
            return k.x;
        case 'I':
            return k.v;
        case 'L':
            return k.SumStet;
        case 'N':
            return k.gesMDeckM;
        case 'O':
            return k.y;
        case 'Q':
            return k.sumMDeck;
        case 'R':
            return k.x - k.v;
        case 'S':
            return logRatio(k);
        case 'T':
            return ratio(k.x, k.gesStet);
        case 'U':
            return ratio(k.v, k.gesStet);
        case 'V':
            return ratio(k.x - k.v, k.gesStet);
        case 'W':
            return ratio(k.x, k.SumStet);
        case 'X':
            return ratio(k.y, k.sumMDeck);
        case 'Y':
        case 'y':
            return phi(k);
        default:
            return -99;
    }
}

std::string measureText(char letter, double value, int decimals) {
    const DiagnosticMeasure* m = diagnosticMeasure(letter);
    if (m && m->placeholder) return "-99";
    if (isMissing(value) || !std::isfinite(value)) return "NA";
    if (m && m->whole) return std::to_string(static_cast<std::int64_t>(value));
    return formatFixed(value, decimals);
}

// ---------------------------------------------------------------- the normal table

DiagnosticTable::DiagnosticTable(DiagnosticCounts counts, std::vector<std::string> labels,
                                 std::vector<std::string> speciesNames, std::string selection, int decimals,
                                 DiagnosticTests tests)
    : counts_(std::move(counts)),
      labels_(std::move(labels)),
      names_(std::move(speciesNames)),
      selection_(std::move(selection)),
      whole_(wholeTableLetters(selection_)),
      perCategory_(categoryLetters(selection_)),
      decimals_(decimals),
      tests_(std::move(tests)),
      headLines_(selection_.find('+') == std::string::npos ? 5 : 1) {}

int DiagnosticTable::lineCount() const {
    return headLines_ + static_cast<int>(names_.size());
}

std::string DiagnosticTable::line(int k) const {
    if (k >= headLines_) return speciesLine(k - headLines_);
    const bool brief = headLines_ == 1;
    const int what = brief ? 4 : k;  // 0 categories, 1 … 3 counts, 4 titles
    static constexpr const char* kFirst[] = {"Gruppe", "Anzahl gesamt", "Anzahl innen", "Anzahl aussen",
                                             "Resultate"};
    std::string s = kFirst[what];
    const std::string N = std::to_string(counts_.N);
    for (char c : whole_) {
        s += ';';
        if (what == 1) s += N;
        if (what == 2 || what == 3) s += "NA";
        if (what == 4) s += diagnosticMeasure(c)->title;
    }
    const std::size_t columns = perCategory_.size() + tests_.headings.size();
    for (int cat = 0; cat < counts_.categories(); ++cat) {
        const std::string& label = labels_[static_cast<std::size_t>(cat)];
        const int n = counts_.n[static_cast<std::size_t>(cat)];
        std::string cell;
        switch (what) {
            case 0:
                cell = label;
                break;
            case 1:
                cell = N;
                break;
            case 2:
                cell = std::to_string(n);
                break;
            case 3:
                cell = std::to_string(counts_.N - n);
                break;
            default:
                break;
        }
        if (what != 4) {
            for (std::size_t i = 0; i < columns; ++i) s += ';' + cell;
            continue;
        }
        const std::string prefix = brief ? label + ' ' : std::string();
        for (char c : perCategory_) s += ';' + prefix + std::string(diagnosticMeasure(c)->title);
        for (const std::string& h : tests_.headings) s += ';' + prefix + h;
    }
    return s;
}

std::string DiagnosticTable::speciesLine(int s) const {
    std::vector<Kennval> values;
    speciesKennvals(counts_, s, values);
    std::string line = names_[static_cast<std::size_t>(s)];
    // The whole-table measures are the same in every category.
    const Kennval any = values.empty() ? Kennval{} : values.front();
    for (char c : whole_) line += ';' + measureText(c, measureValue(c, any), decimals_);
    const auto K = static_cast<std::size_t>(counts_.categories());
    for (std::size_t cat = 0; cat < K; ++cat) {
        for (char c : perCategory_) line += ';' + measureText(c, measureValue(c, values[cat]), decimals_);
        if (tests_.headings.empty()) continue;
        const std::size_t at = static_cast<std::size_t>(s) * K + cat;
        const std::vector<std::string>* fields = at < tests_.fields.size() ? &tests_.fields[at] : nullptr;
        for (std::size_t i = 0; i < tests_.headings.size(); ++i)
            line += ';' + (fields && i < fields->size() ? (*fields)[i] : std::string());
    }
    return line;
}

// ---------------------------------------------------------------- the hierarchical table

std::vector<HierarchyAssignment> assignToGroups(const std::vector<DiagnosticCounts>& levels, char index) {
    std::vector<HierarchyAssignment> out;
    if (levels.empty()) return out;
    const std::size_t species = levels.front().species.size();
    out.assign(species, HierarchyAssignment{0, 0, kMissing});
    std::vector<Kennval> values;
    for (std::size_t s = 0; s < species; ++s) {
        bool found = false;
        for (std::size_t l = 0; l < levels.size(); ++l) {
            speciesKennvals(levels[l], static_cast<int>(s), values);
            for (std::size_t g = 0; g < values.size(); ++g) {
                const double x = measureValue(index, values[g]);
                if (isMissing(x)) continue;
                if (!found || x > out[s].highest) {
                    out[s] = {static_cast<int>(l), static_cast<int>(g), x};
                    found = true;
                }
            }
        }
    }
    return out;
}

bool outsideBranch(std::string_view label, std::string_view assigned) {
    std::string cut = charLeft(label, charLength(assigned));
    std::size_t pos = cut.size();
    while (pos < label.size() && label[pos] != '.' && label[pos] != ' ') cut += label[pos++];
    return cut != assigned;
}

std::vector<std::string> hierarchicalTable(const HierarchyInput& in,
                                           const std::vector<HierarchyAssignment>& assigned) {
    const CategoryLevels& cats = *in.categories;
    const std::vector<DiagnosticCounts>& counts = *in.counts;
    const std::size_t levels = cats.levels.size();
    if (levels == 0 || counts.size() != levels) return {};
    const ReleveCategories& finest = cats.levels.back();
    // The path of a group through the levels: its group at every level from the top down, found through
    // one of its finest categories.
    std::vector<std::vector<int>> finestOf(levels);
    for (std::size_t l = 0; l < levels; ++l) {
        finestOf[l].assign(static_cast<std::size_t>(cats.levels[l].count()), 0);
        for (std::size_t c = finest.keys.size(); c-- > 0;)
            finestOf[l][static_cast<std::size_t>(cats.groupOf[l][c])] = static_cast<int>(c);
    }
    auto path = [&](int level, int group) {
        std::vector<int> p;
        const int fine = finestOf[static_cast<std::size_t>(level)][static_cast<std::size_t>(group)];
        for (int l = 0; l <= level; ++l)
            p.push_back(cats.groupOf[static_cast<std::size_t>(l)][static_cast<std::size_t>(fine)]);
        return p;
    };
    std::string title = "Gruppe;Art;" + std::string(diagnosticMeasure(in.index)->title);
    for (const std::string& h : in.testHeadings) title += ';' + h;
    for (const std::string& label : finest.labels) title += ';' + label;

    // Species by group in the order of the hierarchy; within a group by falling highest value.
    std::vector<std::vector<int>> paths(assigned.size());
    for (std::size_t s = 0; s < assigned.size(); ++s) paths[s] = path(assigned[s].level, assigned[s].group);
    std::vector<double> highest;
    for (const HierarchyAssignment& a : assigned) highest.push_back(a.highest);
    const std::vector<double> ranks = midRanks(highest);
    std::vector<int> order(assigned.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
        if (paths[ua] != paths[ub]) return paths[ua] < paths[ub];
        return ranks[ua] > ranks[ub];
    });

    std::vector<std::string> lines{title};
    const DiagnosticCounts& deepest = counts.back();
    std::vector<Kennval> values;
    for (int s : order) {
        const HierarchyAssignment& a = assigned[static_cast<std::size_t>(s)];
        const std::string& label =
            cats.levels[static_cast<std::size_t>(a.level)].labels[static_cast<std::size_t>(a.group)];
        std::string line = label + ';' + in.speciesNames[static_cast<std::size_t>(s)] + ';' +
                           measureText(in.index, a.highest, in.decimals);
        if (!in.testHeadings.empty()) {
            const std::vector<std::string> fields =
                in.testFields ? in.testFields(s, a.level, a.group) : std::vector<std::string>{};
            for (std::size_t i = 0; i < in.testHeadings.size(); ++i)
                line += ';' + (i < fields.size() ? fields[i] : std::string());
        }
        speciesKennvals(deepest, s, values);
        for (std::size_t g = 0; g < values.size(); ++g) {
            line += ';' + measureText(in.table, measureValue(in.table, values[g]), in.decimals);
            if (outsideBranch(finest.labels[g], label)) line += " ***";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// ---------------------------------------------------------------- best diagnostic species

std::vector<bool> outsideBest(const std::vector<double>& values, int k, int m) {
    const std::vector<double> ranks = midRanks(values);
    const double n = static_cast<double>(values.size());
    std::vector<bool> clear(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) clear[i] = m < ranks[i] && ranks[i] < n - k + 1;
    return clear;
}

}  // namespace tav
