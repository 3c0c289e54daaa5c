#include "analysis/indicator_values.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "analysis/ranking.h"
#include "core/numbers.h"
#include "core/text.h"

namespace tav {

namespace {

double valueAt(const RowValues& values, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < values.size() ? values[static_cast<std::size_t>(row)]
                                                                     : kMissing;
}

// The spread of a variance datum: a negative one counts as 0.
double spreadOf(double variance) {
    return isMissing(variance) || variance < 0 ? 0.0 : std::sqrt(variance);
}

}  // namespace

std::vector<std::vector<StatValue>> releveStatistics(const WeightView& view, const RowValues& values,
                                                     const StatSelection& selection, int nconf, double pconf,
                                                     Random& random) {
    std::vector<std::vector<StatValue>> out;
    out.reserve(static_cast<std::size_t>(view.releves));
    TStatParams params(selection);
    for (const ReleveSpecies& present : view.byReleve) {
        params.Clear();
        for (const auto& [row, w] : present) {
            const double x = valueAt(values, row);
            if (!isMissing(x)) params.add(x, w);
        }
        out.push_back(nconf > 0 ? params.results(nconf, pconf, random) : params.results());
    }
    return out;
}

double minimalSpread(std::string_view text) {
    const auto v = parseNumber(trimBlanks(text));
    const double x = v && std::isfinite(*v) ? *v : 0.0;
    return std::max(x, kLeastMinimalSpread);
}

double varianceWeightedMean(const ReleveSpecies& present, const RowValues& values, const RowValues& variances,
                            const VarianceOptions& o) {
    double sw = 0, swx = 0;
    for (const auto& [row, cover] : present) {
        const double x = valueAt(values, row);
        if (isMissing(x)) continue;
        double w = o.wDeck ? cover : 1.0;
        const double var = valueAt(variances, row);
        const double v = isMissing(var) || var < 0 ? 0.0 : var;
        const double s = o.wVar == 1 ? std::sqrt(v) : o.wVar == 2 ? v : 1.0;
        if (s > o.minVar) w = w / s * o.minVar;
        if (w > 0) {
            sw += w;
            swx += w * x;
        }
    }
    return sw > 0 ? swx / sw : kMissing;
}

double interpolatedMean(const ReleveSpecies& present, const RowValues& values, const RowValues& variances,
                        const VarianceOptions& o) {
    struct Item {
        double x, w, s;
    };
    std::vector<Item> items;
    for (const auto& [row, cover] : present) {
        const double x = valueAt(values, row);
        if (isMissing(x)) continue;
        items.push_back({x, o.wDeck ? cover : 1.0, std::max(spreadOf(valueAt(variances, row)), o.minVar)});
    }
    double sw = 0, swe = 0;
    for (std::size_t i = 0; i < items.size(); ++i)
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            const Item& a = items[i];
            const Item& b = items[j];
            const double m = a.s + b.s;
            const double e = (a.x + (b.x - a.x) * a.w * a.s / m + b.x + (a.x - b.x) * b.w * b.s / m) / 2;
            sw += a.w + b.w;
            swe += (a.w + b.w) * e;
        }
    return sw > 0 ? swe / sw : kMissing;
}

std::vector<DensityPeak> densityPeaks(const ReleveSpecies& present, const RowValues& values,
                                      const RowValues* variances, const VarianceOptions& o) {
    struct Kernel {
        double x, w, s;
    };
    std::vector<Kernel> kernels;
    double lo = 0, hi = 0;
    for (const auto& [row, cover] : present) {
        const double x = valueAt(values, row);
        if (isMissing(x)) continue;
        const double w = o.wDeck ? cover : 1.0;
        if (!(w > 0)) continue;
        const double s = variances ? std::max(spreadOf(valueAt(*variances, row)), o.minVar) : o.minVar;
        if (kernels.empty()) lo = hi = x;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        kernels.push_back({x, w, s});
    }
    if (kernels.empty()) return {};
    // The grid: a tenth of the minimal spread, reaching beyond either end by three of the largest spreads
    // (at least five steps), so that the spread of an outer maximum can be measured. A range too wide
    // for that many points is covered by kMaxDensityPoints points.
    double widest = 0;
    for (const Kernel& k : kernels) widest = std::max(widest, k.s);
    double step = o.minVar / 10;
    double margin = std::max(5.0, std::ceil(3 * widest / step)) * step;
    if (!((hi - lo + 2 * margin) / step + 1 <= kMaxDensityPoints)) {
        step = (hi - lo + 6 * widest) / (kMaxDensityPoints - 1);
        margin = 3 * widest;
    }
    // A kernel narrower than the step could fall between the grid points: none is narrower than a step.
    for (Kernel& k : kernels) k.s = std::max(k.s, step);
    const int points =
        std::min(kMaxDensityPoints, static_cast<int>(std::floor((hi - lo + 2 * margin) / step + 1e-9)) + 1);
    const double start = lo - margin;
    std::vector<double> profile(static_cast<std::size_t>(points), 0.0);
    for (const Kernel& k : kernels) {
        // Beyond eight spreads a kernel adds less than 1e-14 of its peak: those points are left out.
        const int from = std::max(0, static_cast<int>(std::floor((k.x - 8 * k.s - start) / step)));
        const int to = std::min(points - 1, static_cast<int>(std::ceil((k.x + 8 * k.s - start) / step)));
        for (int g = from; g <= to; ++g) {
            const double z = (start + g * step - k.x) / k.s;
            profile[static_cast<std::size_t>(g)] += k.w * std::exp(-0.5 * z * z) / k.s;
        }
    }
    const double sum = std::accumulate(profile.begin(), profile.end(), 0.0);
    if (!(sum > 0) || !std::isfinite(sum)) return {};
    for (double& p : profile) p /= sum;

    std::vector<DensityPeak> peaks;
    const auto at = [&](int i) { return profile[static_cast<std::size_t>(i)]; };
    for (int i = 0; i < points;) {
        // A plateau of equal points is one maximum at its middle when both its neighbours are lower.
        int j = i;
        while (j + 1 < points && at(j + 1) == at(i)) ++j;
        const bool rises = i == 0 || at(i - 1) < at(i);
        const bool falls = j == points - 1 || at(j + 1) < at(i);
        if (rises && falls && at(i) > 0) {
            // Below the limit by more than rounding: a point at exactly one spread is not below.
            const double limit = at(i) * std::exp(-0.5) * (1 - 1e-9);
            int left = i;
            while (left > 0 && at(left) >= limit) --left;
            int right = j;
            while (right < points - 1 && at(right) >= limit) ++right;
            DensityPeak p;
            p.position = start + (i + j) / 2.0 * step;
            p.spread = std::max((i + j) / 2.0 - left, right - (i + j) / 2.0) * step;
            p.height = at(i);
            peaks.push_back(p);
        }
        i = j + 1;
    }
    std::stable_sort(peaks.begin(), peaks.end(),
                     [](const DensityPeak& a, const DensityPeak& b) { return a.height > b.height; });
    return peaks;
}

// ---------------------------------------------------------------- categorical values

namespace {

std::vector<std::string> componentsOf(std::string_view text, char separator) {
    std::vector<std::string> out;
    if (separator == '0') {
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t begin = pos;
            nextCodePoint(text, pos);
            out.emplace_back(text.substr(begin, pos - begin));
        }
        return out;
    }
    for (const std::string& part : splitFields(text, std::string_view(&separator, 1))) {
        const std::string_view t = trimBlanks(part);
        if (!t.empty()) out.emplace_back(t);
    }
    return out;
}

double componentWeight(const std::string& type, std::size_t n, std::size_t k) {
    if (type == "List1x") return 1.0 / static_cast<double>(n);
    if (type == "List1wx") return 1.0 / std::sqrt(static_cast<double>(n));
    if (type == "ordLin") return static_cast<double>(n - k + 1);
    if (type == "ordGeo") return std::ldexp(1.0, -static_cast<int>(k));
    return 1.0;
}

std::vector<Component> splitLevel(std::string_view text, const CompositeLevel& level) {
    const std::string_view t = trimBlanks(text);
    if (t.empty()) return {};
    if (!level.composite) return {{std::string(t), 1.0}};
    const std::vector<std::string> all = componentsOf(t, level.separator);
    const std::size_t n = all.size();
    const std::size_t wanted = static_cast<std::size_t>(std::max(level.levels, 0));
    std::size_t first = 1, last = n;  // 1-based places used
    if (wanted > 0) {
        if (n < wanted && (level.naIncomplete || !level.range)) return {};
        if (level.range) {
            last = std::min(wanted, n);
        } else {
            first = last = wanted;
        }
    }
    const bool hierarchy = level.type == "Hier";
    const std::string joint = level.separator == '0' ? std::string() : std::string(1, level.separator);
    std::vector<Component> out;
    const std::size_t used = last - first + 1;
    for (std::size_t k = first; k <= last; ++k) {
        std::string name;
        if (hierarchy) {
            for (std::size_t i = 1; i <= k; ++i) name += (i > 1 ? joint : std::string()) + all[i - 1];
        } else {
            name = all[k - 1];
        }
        out.emplace_back(std::move(name), componentWeight(level.type, used, k - first + 1));
    }
    return out;
}

}  // namespace

std::vector<Component> splitComposite(std::string_view text, const CompositeOptions& options) {
    std::vector<Component> out;
    for (const auto& [part, wu] : splitLevel(text, options.upper))
        for (const auto& [name, wl] : splitLevel(part, options.lower)) out.emplace_back(name, wu * wl);
    return out;
}

CategoryTable categoryShares(const WeightView& view, const RowCategories& rows, bool withCover,
                             bool naIgnore) {
    CategoryTable t;
    // The categories of the species present somewhere; the releves' species reach them by position.
    std::map<std::string, int, bool (*)(std::string_view, std::string_view)> index(&textLess);
    bool noValue = false;
    for (int row = 0; row < view.species; ++row) {
        if (view.bySpecies[static_cast<std::size_t>(row)].empty()) continue;
        const std::size_t r = static_cast<std::size_t>(row);
        if (r >= rows.size() || rows[r].empty())
            noValue = true;
        else
            for (const Component& c : rows[r]) index.emplace(c.first, 0);
    }
    if (noValue && !naIgnore) index.emplace(kNoValueCategory, 0);
    for (auto& [name, pos] : index) {
        pos = static_cast<int>(t.categories.size());
        t.categories.push_back(name);
    }
    const std::size_t nc = t.categories.size(), nr = static_cast<std::size_t>(view.releves);
    t.share.assign(nc, std::vector<double>(nr, 0.0));
    t.count.assign(nc, std::vector<double>(nr, 0.0));
    // Each species row's components as category positions, once.
    std::vector<std::vector<std::pair<int, double>>> byRow(static_cast<std::size_t>(view.species));
    const int none = noValue && !naIgnore ? index.at(kNoValueCategory) : -1;
    for (int row = 0; row < view.species; ++row) {
        const std::size_t r = static_cast<std::size_t>(row);
        if (view.bySpecies[r].empty()) continue;
        if (r >= rows.size() || rows[r].empty()) {
            if (none >= 0) byRow[r].emplace_back(none, 1.0);
            continue;
        }
        for (const Component& c : rows[r]) byRow[r].emplace_back(index.at(c.first), c.second);
    }
    std::vector<double> sums(nc);
    for (std::size_t c = 0; c < nr; ++c) {
        std::fill(sums.begin(), sums.end(), 0.0);
        double total = 0;
        for (const auto& [row, cover] : view.byReleve[c]) {
            const double w = withCover ? cover : 1.0;
            std::vector<int> counted;
            for (const auto& [k, cw] : byRow[static_cast<std::size_t>(row)]) {
                sums[static_cast<std::size_t>(k)] += w * cw;
                total += w * cw;
                if (std::find(counted.begin(), counted.end(), k) == counted.end()) {
                    counted.push_back(k);
                    t.count[static_cast<std::size_t>(k)][c] += 1;
                }
            }
        }
        for (std::size_t k = 0; k < nc; ++k) t.share[k][c] = total > 0 ? sums[k] / total : kMissing;
    }
    return t;
}

std::vector<int> rankedCategories(const CategoryTable& table, int releve, int n) {
    std::vector<int> order(table.categories.size());
    std::iota(order.begin(), order.end(), 0);
    const auto share = [&](int k) {
        const double x = table.share[static_cast<std::size_t>(k)][static_cast<std::size_t>(releve)];
        return isMissing(x) ? -1.0 : x;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return share(a) > share(b); });
    if (n > 0 && static_cast<std::size_t>(n) < order.size()) order.resize(static_cast<std::size_t>(n));
    return order;
}

int classOf(double x, const std::vector<double>& bounds) {
    if (isMissing(x) || bounds.size() < 2 || x < bounds.front()) return 0;
    for (std::size_t k = 1; k < bounds.size(); ++k)
        if (x <= bounds[k]) return static_cast<int>(k);
    return 0;
}

}  // namespace tav

namespace tav {

bool scaleIsLinear(ScaleMethod m) {
    return m != ScaleMethod::Ranked && m != ScaleMethod::Uniform && m != ScaleMethod::Normal &&
           m != ScaleMethod::Divided;
}

namespace {

// The ranks of the present values (ties by their mean rank), missing where x is; n gets their number.
std::vector<double> ranksOf(const std::vector<double>& x, int& n) {
    std::vector<double> present;
    for (double v : x)
        if (!isMissing(v)) present.push_back(v);
    const std::vector<double> ranks = midRanks(present);
    std::vector<double> r(x.size(), kMissing);
    for (std::size_t i = 0, k = 0; i < x.size(); ++i)
        if (!isMissing(x[i])) r[i] = ranks[k++];
    n = static_cast<int>(present.size());
    return r;
}

}  // namespace

std::vector<double> scaledColumn(const std::vector<double>& x, ScaleMethod method,
                                 const std::vector<double>& reference, double& factor) {
    factor = kMissing;
    std::vector<double> out(x.size(), kMissing);
    double n = 0, sum = 0, sumSq = 0, largest = 0;
    for (double v : x) {
        if (isMissing(v)) continue;
        ++n;
        sum += v;
        sumSq += v * v;
        largest = std::max(largest, std::fabs(v));
    }
    const double mean = n > 0 ? sum / n : 0;
    const double var = n > 1 ? (sumSq - n * mean * mean) / (n - 1) : 0;
    const auto linear = [&](double a, double b) {  // a + b·x
        if (!std::isfinite(a) || !std::isfinite(b)) return;
        factor = b;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!isMissing(x[i])) out[i] = a + b * x[i];
    };
    switch (method) {
        case ScaleMethod::Centred:
            if (n > 0) linear(-mean, 1);
            break;
        case ScaleMethod::Standardised:
            if (var > 0) linear(-mean / std::sqrt(var), 1 / std::sqrt(var));
            break;
        case ScaleMethod::Shares:
            if (sum != 0) linear(0, 1 / sum);
            break;
        case ScaleMethod::Scaled:
            if (largest > 0) linear(0, 1 / largest);
            break;
        case ScaleMethod::Divided:
            for (std::size_t i = 0; i < x.size(); ++i) {
                const double r = i < reference.size() ? reference[i] : kMissing;
                if (!isMissing(x[i]) && !isMissing(r) && r != 0) out[i] = x[i] / r;
            }
            break;
        case ScaleMethod::Ranked:
        case ScaleMethod::Uniform:
        case ScaleMethod::Normal: {
            int count = 0;
            const std::vector<double> r = ranksOf(x, count);
            for (std::size_t i = 0; i < x.size(); ++i) {
                if (isMissing(r[i])) continue;
                if (method == ScaleMethod::Ranked)
                    out[i] = r[i];
                else if (method == ScaleMethod::Uniform)
                    out[i] = count > 1 ? (r[i] - 1) / (count - 1) : kMissing;
                else
                    out[i] = normalQuantile((r[i] - 0.5) / count);
            }
            break;
        }
        case ScaleMethod::Calibrated: {
            // The line fitted through the species with both values.
            double m = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
            for (std::size_t i = 0; i < x.size() && i < reference.size(); ++i) {
                if (isMissing(x[i]) || isMissing(reference[i])) continue;
                ++m;
                sx += x[i];
                sy += reference[i];
                sxx += x[i] * x[i];
                sxy += x[i] * reference[i];
            }
            const double d = m * sxx - sx * sx;
            if (m > 1 && d > 0) {
                const double b = (m * sxy - sx * sy) / d;
                linear((sy - b * sx) / m, b);
            }
            break;
        }
    }
    return out;
}

std::vector<std::vector<double>> scaleColumns(std::vector<std::vector<double>> columns,
                                              const std::vector<ColumnPlan>& plans, ScaleMethod method,
                                              const std::vector<double>& reference) {
    const std::size_t n = columns.size();
    std::vector<double> factors(n, kMissing);
    const auto planOf = [&](std::size_t c) { return c < plans.size() ? plans[c] : ColumnPlan{}; };
    for (std::size_t c = 0; c < n; ++c)
        if (planOf(c).how == ColumnScaling::Scale)
            columns[c] = scaledColumn(columns[c], method, reference, factors[c]);
    for (std::size_t c = 0; c < n; ++c) {
        const ColumnPlan p = planOf(c);
        if (p.how != ColumnScaling::Linear && p.how != ColumnScaling::Quadratic) continue;
        const bool leads = p.follows >= 0 && static_cast<std::size_t>(p.follows) < n &&
                           planOf(static_cast<std::size_t>(p.follows)).how == ColumnScaling::Scale;
        const double f = leads ? factors[static_cast<std::size_t>(p.follows)] : kMissing;
        for (double& x : columns[c])
            if (!isMissing(x))
                x = isMissing(f) ? kMissing : x * (p.how == ColumnScaling::Quadratic ? f * f : f);
    }
    return columns;
}

}  // namespace tav

namespace tav {

QuantileHistogram quantileHistogram(std::vector<double> values, const std::vector<double>& probabilities,
                                    double interval) {
    QuantileHistogram h;
    values.erase(std::remove_if(values.begin(), values.end(), [](double x) { return isMissing(x); }),
                 values.end());
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    h.quantiles.assign(probabilities.size(), kMissing);
    h.density.assign(probabilities.size() + 1, kMissing);
    if (n == 0) return h;
    for (std::size_t k = 0; k < probabilities.size(); ++k)
        h.quantiles[k] = quantileOfSorted(values, probabilities[k]);
    std::vector<double> bounds = {values.front()};
    bounds.insert(bounds.end(), h.quantiles.begin(), h.quantiles.end());
    bounds.push_back(values.back());
    for (std::size_t j = 0; j + 1 < bounds.size(); ++j) {
        const double lo = bounds[j], hi = bounds[j + 1];
        const double width = hi - lo;
        if (!(width > 0) || !(interval > 0)) continue;
        double count = 0;
        for (double x : values)
            if ((x > lo || (j == 0 && x == lo)) && x <= hi) ++count;
        h.density[j] = count / (width / interval);
    }
    return h;
}

}  // namespace tav

namespace tav {

std::vector<std::vector<double>> categoryAffinities(const WeightView& view,
                                                    const std::vector<int>& categoryOf, int categories) {
    const std::size_t nk = static_cast<std::size_t>(std::max(categories, 0));
    std::vector<double> releves(nk, 0.0);
    double all = 0;
    for (int k : categoryOf)
        if (k >= 0 && static_cast<std::size_t>(k) < nk) {
            ++releves[static_cast<std::size_t>(k)];
            ++all;
        }
    std::vector<std::vector<double>> out(static_cast<std::size_t>(view.species),
                                         std::vector<double>(nk, kMissing));
    std::vector<double> w(nk);
    for (std::size_t r = 0; r < out.size(); ++r) {
        std::fill(w.begin(), w.end(), 0.0);
        double total = 0;
        for (const auto& [c, weight] : view.bySpecies[r]) {
            const int k = c >= 0 && static_cast<std::size_t>(c) < categoryOf.size()
                              ? categoryOf[static_cast<std::size_t>(c)]
                              : -1;
            if (k < 0 || static_cast<std::size_t>(k) >= nk) continue;
            w[static_cast<std::size_t>(k)] += weight;
            total += weight;
        }
        if (!(total > 0)) continue;
        for (std::size_t k = 0; k < nk; ++k)
            if (releves[k] > 0) out[r][k] = (w[k] / total) / (releves[k] / all);
    }
    return out;
}

}  // namespace tav
