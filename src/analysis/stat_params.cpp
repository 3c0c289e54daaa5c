#include "analysis/stat_params.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/ranking.h"
#include "core/numbers.h"
#include "core/random.h"

namespace tav {

namespace {

constexpr double kConf95 = 1.96;

struct Parameter {
    int pos;
    const char* label;
    const char* prefix;
};
// The single-valued parameters in output order; 20, 21 and 22 are the quantile sets.
constexpr Parameter kParameters[] = {
    {0, "Arithmetisches Mittel", ""},
    {1, "Gestutztes Mittel (10%)", "gest_"},
    {2, "Gewichtetes Mittel", "gew_"},
    {3, "Standardabweichung", "StdAbw_"},
    {4, "95%-Konfidenzintervall (Daten)", "Conf95_"},
    {5, "Gestutzte Stdabw. (10%)", "gestStdAbw_"},
    {6, "95%-Konfidenzintervall (gestutzte Daten)", "gestConf95_"},
    {7, "Standardfehler des arithm. Mittels", "StdFehler_MW_"},
    {8, "95%-Konfidenzintervall des Mittelwerts", "Conf95_MW_"},
    {9, "Standardfehler des gestutzten Mittels", "StdFehler_gest_MW_"},
    {10, "95%-Konfidenzintervall des gest. Mittels", "Conf95_gest_MW_"},
    {11, "Varianz", "Varianz_"},
    {12, "Gestutzte Varianz (10%)", "gest_Var_"},
    {13, "Varianz des arithmetischen Mittels", "Var_MW_"},
    {14, "Varianz des gestutzten Mittels", "Var_gest_MW_"},
    {15, "Minimum", "Minimum_"},
    {16, "Median", "Median_"},
    {17, "Maximum", "Maximum_"},
    {18, "MAD", "MAD_"},
    {19, "Anzahl Werte", "Anzahl_"},
    {20, nullptr, nullptr},
    {21, nullptr, nullptr},
    {22, nullptr, nullptr},
    {26, "Summe", "Summe_"},
    {27, "Gewichtete Summe", "Gew_Sum_"},
    {28, "Differenz a - b - c ...", "Diff_"},
    {29, "Absolute Differenz (Max. - Rest)", "Abs_Diff_"},
    {30, "Produkt", "Prod_"},
    {31, "Quotient a / b / c ...", "Quot_"},
};

constexpr double kQuartiles[] = {0, 0.05, 0.25, 0.5, 0.75, 0.95, 1};
constexpr const char* kQuartileLabels[] = {"Minimum",    "5%-Quantil",  "1. Quartil", "Median",
                                           "3. Quartil", "95%-Quantil", "Maximum"};
constexpr const char* kQuartilePrefixes[] = {"Minimum_", "Q_5_",  "Q_25_",   "Median_",
                                             "Q_75_",    "Q_95_", "Maximum_"};

// The quantile set of a position: its probabilities with labels and prefixes.
struct QuantileItem {
    double q;
    std::string label, prefix;
};
std::vector<QuantileItem> quantileSet(int pos) {
    std::vector<QuantileItem> items;
    if (pos == 20) {
        for (int i = 0; i < 7; ++i)
            items.push_back({kQuartiles[i], kQuartileLabels[i], kQuartilePrefixes[i]});
        return items;
    }
    const int step = pos == 21 ? 10 : 5;
    for (int p = step; p < 100; p += step)
        items.push_back({p / 100.0, std::to_string(p) + "%-Quantil", "Q_" + std::to_string(p) + "_"});
    return items;
}

StatValue value(double x, bool ok) {
    return {x, ok && std::isfinite(x) && !isMissing(x)};
}

// The parameters of values x (weights w).
std::vector<StatValue> compute(const StatSelection& sel, const std::vector<double>& x,
                               const std::vector<double>& w, bool allMissing) {
    const int n = static_cast<int>(x.size());
    // Tables are mostly zeros: sums and sorting run over the other values, the zeros are counted.
    std::vector<double> nonzero;
    nonzero.reserve(x.size());
    for (double v : x)
        if (v != 0) nonzero.push_back(v);
    const long double zeros = static_cast<long double>(x.size() - nonzero.size());
    bool needSorted = false;
    for (int pos : {1, 5, 6, 9, 10, 12, 14, 15, 16, 17, 18, 20, 21, 22, 29})
        needSorted = needSorted || sel.on(pos);
    bool trimmed = false;
    for (int pos : {1, 5, 6, 9, 10, 12, 14}) trimmed = trimmed || sel.on(pos);
    std::vector<double> s;
    if (needSorted) {
        std::sort(nonzero.begin(), nonzero.end());
        const auto firstPositive = std::lower_bound(nonzero.begin(), nonzero.end(), 0.0);
        s.reserve(x.size());
        s.assign(nonzero.begin(), firstPositive);
        s.insert(s.end(), x.size() - nonzero.size(), 0.0);
        s.insert(s.end(), firstPositive, nonzero.end());
    }
    long double sum = 0, wsum = 0, sumw = 0;
    for (double v : nonzero) sum += v;
    // Weights are kept only when a weighted parameter is chosen.
    for (std::size_t i = 0; i < w.size() && i < x.size(); ++i) {
        wsum += static_cast<long double>(w[i]) * x[i];
        sumw += w[i];
    }
    const double mean = n > 0 ? static_cast<double>(sum / n) : 0;
    long double ss = zeros * mean * mean;
    for (double v : nonzero) ss += (static_cast<long double>(v) - mean) * (v - mean);
    const double var = n > 1 ? static_cast<double>(ss / (n - 1)) : 0;
    // The trimmed range.
    const auto [lo, hi] = trimmedRange(n);
    const int m = n > 0 && hi >= lo ? hi - lo + 1 : 0;
    const double median = n > 0 && needSorted ? quantileOfSorted(s, 0.5) : 0;
    long double tsum = 0, tss = 0;
    double tmean = median;
    if (trimmed) {
        for (int i = lo; i <= hi && i < static_cast<int>(s.size()); ++i)
            tsum += s[static_cast<std::size_t>(i)];
        if (m > 0) tmean = static_cast<double>(tsum / m);
        for (int i = lo; i <= hi && i < static_cast<int>(s.size()); ++i)
            tss += (static_cast<long double>(s[static_cast<std::size_t>(i)]) - tmean) *
                   (s[static_cast<std::size_t>(i)] - tmean);
    }
    const double tvar = m > 1 ? static_cast<double>(tss / (m - 1)) : 0;
    double mad = 0;
    if (n > 0 && sel.on(18)) {
        std::vector<double> dev(x.size());
        for (std::size_t i = 0; i < x.size(); ++i) dev[i] = std::fabs(x[i] - median);
        std::sort(dev.begin(), dev.end());
        mad = quantileOfSorted(dev, 0.5);
    }

    std::vector<StatValue> out;
    auto put = [&](double v, bool ok) { out.push_back(value(v, ok && !allMissing)); };
    for (const Parameter& p : kParameters) {
        if (!sel.on(p.pos)) continue;
        switch (p.pos) {
            case 0:
                put(mean, n > 0);
                break;
            case 1:
                put(tmean, n > 0);
                break;
            case 2:
                put(sumw > 0 ? static_cast<double>(wsum / sumw) : 0, sumw > 0);
                break;
            case 3:
                put(std::sqrt(var), n > 1);
                break;
            case 4:
                put(kConf95 * std::sqrt(var), n > 1);
                break;
            case 5:
                put(std::sqrt(tvar), m > 1);
                break;
            case 6:
                put(kConf95 * std::sqrt(tvar), m > 1);
                break;
            case 7:
                put(std::sqrt(var / n), n > 1);
                break;
            case 8:
                put(kConf95 * std::sqrt(var / n), n > 1);
                break;
            case 9:
                put(std::sqrt(tvar / m), m > 1);
                break;
            case 10:
                put(kConf95 * std::sqrt(tvar / m), m > 1);
                break;
            case 11:
                put(var, n > 1);
                break;
            case 12:
                put(tvar, m > 1);
                break;
            case 13:
                put(n > 1 ? var / n : 0, n > 1);
                break;
            case 14:
                put(m > 1 ? tvar / m : 0, m > 1);
                break;
            case 15:
                put(n > 0 ? s.front() : 0, n > 0);
                break;
            case 16:
                put(median, n > 0);
                break;
            case 17:
                put(n > 0 ? s.back() : 0, n > 0);
                break;
            case 18:
                put(mad, n > 0);
                break;
            case 19:
                put(n, true);
                break;
            case 20:
            case 21:
            case 22:
                for (const QuantileItem& q : quantileSet(p.pos))
                    put(n > 0 ? quantileOfSorted(s, q.q) : 0, n > 0);
                break;
            case 26:
                put(static_cast<double>(sum), n > 0);
                break;
            case 27:
                put(static_cast<double>(wsum), n > 0);
                break;
            case 28: {
                long double d = n > 0 ? x[0] : 0;
                for (int i = 1; i < n; ++i) d -= x[static_cast<std::size_t>(i)];
                put(static_cast<double>(d), n > 0);
                break;
            }
            case 29:
                put(n > 0 ? static_cast<double>(2.0L * s.back() - sum) : 0, n > 0);
                break;
            case 30: {
                long double prod = n > 0 ? x[0] : 0;
                for (int i = 1; i < n; ++i) prod *= x[static_cast<std::size_t>(i)];
                put(static_cast<double>(prod), n > 1);
                break;
            }
            case 31: {
                long double quot = n > 0 ? x[0] : 0;
                bool zero = false;
                for (int i = 1; i < n; ++i) {
                    if (x[static_cast<std::size_t>(i)] == 0)
                        zero = true;
                    else
                        quot /= x[static_cast<std::size_t>(i)];
                }
                put(static_cast<double>(quot), n > 1 && !zero);
                break;
            }
            default:
                break;
        }
    }
    return out;
}

std::string percentText(double p) {
    return formatNumber(p);
}

}  // namespace

StatSelection::StatSelection(std::string flags) : flags_(std::move(flags)) {
    naRule_ = flags_.size() >= 34 && flags_[32] >= '0' && flags_[32] <= '2' ? flags_[32] : '0';
    flags_.resize(kSize, '0');
    flags_[32] = naRule_;
}

bool StatSelection::anyParameter() const {
    for (const Parameter& p : kParameters)
        if (on(p.pos)) return true;
    return false;
}

TStatParams::TStatParams(const StatSelection& selection)
    : selection_(selection), weighted_(selection.on(2) || selection.on(27)) {}

void TStatParams::Clear() {
    w_.clear();
    ww_.clear();
    naCount_ = 0;
}

void TStatParams::add(double x, double y) {
    if (selection_.naRule() == '2' && isMissing(x)) x = 0;
    if (isMissing(x) || isMissing(y) || !std::isfinite(x) || !std::isfinite(y)) {
        ++naCount_;
        return;
    }
    w_.push_back(x);
    if (weighted_) ww_.push_back(y);
}

std::vector<StatValue> TStatParams::results() const {
    return compute(selection_, w_, ww_, selection_.naRule() == '1' && naCount_ > 0);
}

std::vector<StatValue> TStatParams::results(int nconf, double pconf, Random& random) const {
    std::vector<StatValue> plain = results();
    if (!selection_.bootstrap() || nconf <= 0) return plain;
    const bool allMissing = selection_.naRule() == '1' && naCount_ > 0;
    // Each parameter's values over the resamples.
    std::vector<std::vector<double>> drawn(plain.size());
    const std::size_t n = w_.size();
    std::vector<double> x(n), w(weighted_ ? n : 0);
    for (int k = 0; k < nconf && n > 0; ++k) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = static_cast<std::size_t>(random.below(n));
            x[i] = w_[j];
            if (weighted_) w[i] = ww_[j];
        }
        const std::vector<StatValue> r = compute(selection_, x, w, false);
        for (std::size_t p = 0; p < r.size(); ++p)
            if (r[p].ok) drawn[p].push_back(r[p].value);
    }
    const double b = (1 - pconf / 100) / 2;
    // Which output is the count: its bounds are whole numbers.
    std::size_t countAt = plain.size();
    {
        StatSelection only(selection_.flags());
        std::size_t at = 0;
        for (const Parameter& p : kParameters) {
            if (!only.on(p.pos)) continue;
            if (p.pos == 19) countAt = at;
            at += p.pos >= 20 && p.pos <= 22 ? quantileSet(p.pos).size() : 1;
        }
    }
    std::vector<StatValue> out;
    for (std::size_t p = 0; p < plain.size(); ++p) {
        out.push_back(plain[p]);
        std::vector<double>& d = drawn[p];
        std::sort(d.begin(), d.end());
        const bool ok = !d.empty() && !allMissing;
        double lo = ok ? quantileOfSorted(d, b) : 0, hi = ok ? quantileOfSorted(d, 1 - b) : 0;
        if (p == countAt) {
            lo = std::nearbyint(lo);
            hi = std::nearbyint(hi);
        }
        out.push_back(value(lo, ok));
        out.push_back(value(hi, ok));
    }
    return out;
}

std::vector<std::string> TStatParams::labels(const StatSelection& sel, bool bounds, double pconf) {
    std::vector<std::string> out;
    const double b = (1 - pconf / 100) / 2;
    auto put = [&](const std::string& label) {
        out.push_back(label);
        if (!bounds) return;
        out.push_back(percentText(b * 100) + "%-Grenze " + label);
        out.push_back(percentText((1 - b) * 100) + "%-Grenze " + label);
    };
    for (const Parameter& p : kParameters) {
        if (!sel.on(p.pos)) continue;
        if (p.label) {
            put(p.label);
            continue;
        }
        for (const QuantileItem& q : quantileSet(p.pos)) put(q.label);
    }
    return out;
}

std::vector<std::string> TStatParams::columnNames(const StatSelection& sel, bool bounds, double pconf,
                                                  std::string_view name) {
    std::vector<std::string> out;
    const double b = (1 - pconf / 100) / 2;
    auto put = [&](const std::string& prefix) {
        out.push_back(prefix + std::string(name));
        if (!bounds) return;
        out.push_back(percentText(b * 100) + "%-Grenze_" + prefix + std::string(name));
        out.push_back(percentText((1 - b) * 100) + "%-Grenze_" + prefix + std::string(name));
    };
    for (const Parameter& p : kParameters) {
        if (!sel.on(p.pos)) continue;
        if (p.prefix) {
            put(p.prefix);
            continue;
        }
        for (const QuantileItem& q : quantileSet(p.pos)) put(q.prefix);
    }
    return out;
}

std::string statCellText(const StatValue& v, int decimals) {
    return v.ok ? formatNumber(v.value, decimals) : std::string("NA");
}

std::string statTableText(const StatValue& v, int decimals) {
    return v.ok ? formatFixed(v.value, decimals) : std::string("NA");
}

}  // namespace tav
