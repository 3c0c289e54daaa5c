#include "analysis/similarity_matrix.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <thread>

#include "analysis/ranking.h"
#include "core/numbers.h"
#include "platform/progress.h"

namespace tav {

namespace {

double pearsonFrom(long double cross, long double xx, long double yy) {
    return xx * yy > 0 ? static_cast<double>(cross / std::sqrt(xx * yy)) : 0;
}

// Walks the union of two supports: f(x, y, kx, ky) for every attribute either holds, with the index of
// the entry in each vector (−1 where it holds none).
template <class F>
void forUnion(const SparseVector& x, const SparseVector& y, F&& f) {
    std::size_t i = 0, j = 0;
    const auto& a = x.entries;
    const auto& b = y.entries;
    while (i < a.size() || j < b.size()) {
        if (j >= b.size() || (i < a.size() && a[i].first < b[j].first)) {
            f(a[i].second, 0.0, static_cast<int>(i), -1);
            ++i;
        } else if (i >= a.size() || b[j].first < a[i].first) {
            f(0.0, b[j].second, -1, static_cast<int>(j));
            ++j;
        } else {
            f(a[i].second, b[j].second, static_cast<int>(i), static_cast<int>(j));
            ++i;
            ++j;
        }
    }
}

// The measures that follow from the cross product and the number of attributes where both values are
// positive, beside each vector's own sums: a pair of them needs only the attributes both vectors hold.
bool fromSharedEntries(int base) {
    return base == 6 || base == 9 || (base >= 41 && base <= 43) || (base >= 45 && base <= 48);
}

// Those measures from the shared entries: xy summed in long double in the order of the attributes,
// both the count of attributes positive in each.
double sharedMeasure(int base, long double xy, int both, const SparseVectorStats& sx,
                     const SparseVectorStats& sy, int p) {
    switch (base) {
        case 6:
            return static_cast<double>(xy);
        case 9: {
            long double c = sx.sumSquares * sy.sumSquares > 0
                                ? xy / std::sqrt(static_cast<long double>(sx.sumSquares) * sy.sumSquares)
                                : 1;
            c = std::clamp<long double>(c, -1, 1);
            return -static_cast<double>(std::sqrt(2 * (1 - c)));
        }
        case 41: {
            const long double d = static_cast<long double>(sx.sumSquares) * sy.sumSquares;
            return d > 0 ? static_cast<double>(xy / std::sqrt(d)) : 0;
        }
        case 42: {
            const long double d = static_cast<long double>(sx.sumSquares) + sy.sumSquares - xy;
            return d > 0 ? static_cast<double>(xy / d) : 0;
        }
        case 43: {
            const double d = sx.positive + sy.positive - both;
            return d > 0 ? both / d : 0;
        }
        case 45: {
            // Pearson's r of the presences from the four counts.
            const double nx = sx.positive, ny = sy.positive;
            const long double d = static_cast<long double>(nx) * (p - nx) * ny * (p - ny);
            const double r =
                d > 0 ? static_cast<double>((static_cast<long double>(p) * both - nx * ny) / std::sqrt(d))
                      : 0;
            return (r + 1) / 2;
        }
        case 46:
            return both;
        case 47:
            return sx.positive > 0 ? static_cast<double>(both) / sx.positive : 0;
        case 48:
            return sy.positive > 0 ? static_cast<double>(both) / sy.positive : 0;
        default:
            return 0;
    }
}

// The chord distance of two near-equal vectors from their differences: from the cross product alone,
// sqrt(2(1 − c)) keeps no digit when c is near 1 (a releve and its duplicate would lie 1e-8 apart).
double exactChord(const SparseVector& x, const SparseVectorStats& sx, const SparseVector& y,
                  const SparseVectorStats& sy) {
    if (static_cast<long double>(sx.sumSquares) * sy.sumSquares <= 0) return 0;
    const long double nx = std::sqrt(static_cast<long double>(sx.sumSquares)),
                      ny = std::sqrt(static_cast<long double>(sy.sumSquares));
    long double s = 0;
    forUnion(x, y, [&](double a, double b, int, int) {
        const long double d = a / nx - b / ny;
        s += d * d;
    });
    return -static_cast<double>(std::sqrt(std::min<long double>(s, 4)));
}

// Below this distance the chord is worked out from the differences.
constexpr double kNearChord = 1e-3;

}  // namespace

SparseVectorStats sparseStats(const SparseVector& v, int p) {
    SparseVectorStats s;
    long double sum = 0, squares = 0;
    std::vector<double> values;
    for (const auto& [k, x] : v.entries) {
        sum += x;
        squares += static_cast<long double>(x) * x;
        ++s.nonzero;
        if (x > 0) ++s.positive;
        values.push_back(x);
    }
    s.sum = static_cast<double>(sum);
    s.sumSquares = static_cast<double>(squares);
    s.mean = p > 0 ? s.sum / p : 0;
    long double centred = static_cast<long double>(p - s.nonzero) * s.mean * s.mean;
    for (double x : values) centred += (x - s.mean) * (x - s.mean);
    s.centredSquares = static_cast<double>(centred);
    // Ranks over all p values: the zeros in one tie, the others ranked among themselves around them.
    const int zeros = p - s.nonzero;
    std::vector<double> withZero = values;
    withZero.push_back(0);
    const std::vector<double> r = midRanks(withZero);
    // Rank of 0 among the entries plus one zero: entries below 0 come first.
    const int below =
        static_cast<int>(std::count_if(values.begin(), values.end(), [](double x) { return x < 0; }));
    s.zeroRank = below + (zeros + 1) / 2.0;
    for (std::size_t k = 0; k < values.size(); ++k)
        s.rankOf.push_back(r[k] + (values[k] > 0 ? zeros - 1 : 0));
    const double meanRank = (p + 1) / 2.0;
    long double rankSquares =
        static_cast<long double>(zeros) * (s.zeroRank - meanRank) * (s.zeroRank - meanRank);
    for (double rk : s.rankOf) rankSquares += (rk - meanRank) * (rk - meanRank);
    s.rankCentredSquares = static_cast<double>(rankSquares);
    return s;
}

double sparseMeasure(int code, const SparseVector& x, const SparseVectorStats& sx, const SparseVector& y,
                     const SparseVectorStats& sy, int p, double quantile) {
    const bool withoutDoubleZeros = code >= 22 && code <= 27;
    const int base = withoutDoubleZeros ? code - 20 : code;
    long double xy = 0, absDiff = 0, sqDiff = 0;
    int common = 0, both = 0, unionCount = 0;
    forUnion(x, y, [&](double a, double b, int, int) {
        xy += static_cast<long double>(a) * b;
        absDiff += std::fabs(a - b);
        sqDiff += (static_cast<long double>(a) - b) * (a - b);
        ++unionCount;
        if (a != 0 && b != 0) ++common;
        if (a > 0 && b > 0) ++both;
    });
    // Pairs where both values are ≤ 0 are left out by the codes 22 … 27: the union of the positive
    // entries, for the cover weights the union itself.
    if (fromSharedEntries(base)) {
        const double v = sharedMeasure(base, xy, both, sx, sy, p);
        return base == 9 && v > -kNearChord ? exactChord(x, sx, y, sy) : v;
    }
    const int n = withoutDoubleZeros ? unionCount : p;
    switch (base) {
        case 1:
            return n > 0 ? -static_cast<double>(absDiff / n) : kMissing;
        case 8:
            return -static_cast<double>(std::sqrt(sqDiff));
        case 10:
        case 11: {
            if (n <= 0) return kMissing;
            std::vector<double> d;
            forUnion(x, y, [&](double a, double b, int, int) { d.push_back(std::fabs(a - b)); });
            d.insert(d.end(), static_cast<std::size_t>(n - unionCount), 0.0);
            std::sort(d.begin(), d.end());
            if (base == 11) return -quantileOfSorted(d, quantile);
            const auto [lo, hi] = trimmedRange(n);
            long double s = 0;
            for (int i = lo; i <= hi; ++i) s += d[static_cast<std::size_t>(i)];
            return -static_cast<double>(s / (hi - lo + 1));
        }
        case 2:
        case 4:
        case 5:
        case 7: {
            // Two passes: the means are known, the products of the deviations are summed directly.
            const double mx = n > 0 ? sx.sum / n : 0, my = n > 0 ? sy.sum / n : 0;
            long double cross = static_cast<long double>(n - unionCount) * mx * my, xx = 0, yy = 0;
            forUnion(x, y, [&](double a, double b, int, int) {
                cross += (a - mx) * (b - my);
                xx += (a - mx) * (a - mx);
                yy += (b - my) * (b - my);
            });
            xx += static_cast<long double>(n - unionCount) * mx * mx;
            yy += static_cast<long double>(n - unionCount) * my * my;
            if (base == 7) return n > 0 ? static_cast<double>(cross) : 0;
            if (base == 5) return n > 1 ? static_cast<double>(cross / (n - 1)) : kMissing;
            const double r = pearsonFrom(cross, xx, yy);
            return base == 4 ? r * r : r;
        }
        case 3: {
            if (withoutDoubleZeros) {
                // The ranks within the union differ from pair to pair.
                std::vector<double> a, b;
                forUnion(x, y, [&](double u, double v, int, int) {
                    a.push_back(u);
                    b.push_back(v);
                });
                const std::vector<double> ra = midRanks(a), rb = midRanks(b);
                const double m = (unionCount + 1) / 2.0;
                long double cross = 0, xx = 0, yy = 0;
                for (std::size_t i = 0; i < ra.size(); ++i) {
                    cross += (ra[i] - m) * (rb[i] - m);
                    xx += (ra[i] - m) * (ra[i] - m);
                    yy += (rb[i] - m) * (rb[i] - m);
                }
                return pearsonFrom(cross, xx, yy);
            }
            const double m = (p + 1) / 2.0;
            const double cx = sx.zeroRank - m, cy = sy.zeroRank - m;
            long double cross = static_cast<long double>(p - unionCount) * cx * cy;
            forUnion(x, y, [&](double, double, int kx, int ky) {
                const double a = kx >= 0 ? sx.rankOf[static_cast<std::size_t>(kx)] - m : cx;
                const double b = ky >= 0 ? sy.rankOf[static_cast<std::size_t>(ky)] - m : cy;
                cross += static_cast<long double>(a) * b;
            });
            return pearsonFrom(cross, sx.rankCentredSquares, sy.rankCentredSquares);
        }
        case 44: {
            const double mx = sx.mean, my = sy.mean;
            long double cross = static_cast<long double>(p - unionCount) * mx * my;
            forUnion(x, y, [&](double a, double b, int, int) { cross += (a - mx) * (b - my); });
            return (pearsonFrom(cross, sx.centredSquares, sy.centredSquares) + 1) / 2;
        }
        default:
            return 0;
    }
}

namespace {

// The entries of all vectors by attribute: for attribute k the objects that hold it, in ascending order,
// with their values. Empty when some vector's attributes are outside 0 … p − 1 or not ascending.
struct AttributeLists {
    std::vector<std::size_t> start;  // p + 1 offsets into object and value
    std::vector<int> object;
    std::vector<double> value;
};

AttributeLists attributeLists(const std::vector<SparseVector>& objects, int p) {
    AttributeLists lists;
    std::vector<std::size_t> count(static_cast<std::size_t>(p) + 1, 0);
    for (const SparseVector& v : objects) {
        int last = -1;
        for (const auto& [k, x] : v.entries) {
            if (k <= last || k >= p) return {};
            last = k;
            ++count[static_cast<std::size_t>(k) + 1];
        }
    }
    for (std::size_t k = 1; k < count.size(); ++k) count[k] += count[k - 1];
    lists.start = count;
    lists.object.resize(count.back());
    lists.value.resize(count.back());
    for (std::size_t i = 0; i < objects.size(); ++i)
        for (const auto& [k, x] : objects[i].entries) {
            const std::size_t at = count[static_cast<std::size_t>(k)]++;
            lists.object[at] = static_cast<int>(i);
            lists.value[at] = x;
        }
    return lists;
}

// One thread's sums of a row against every earlier object, kept between its rows.
struct RowSums {
    std::vector<long double> xy;
    std::vector<int> both;
};

}  // namespace

std::optional<PackedTriangle> similarityTriangle(const std::vector<SparseVector>& objects, int p, int code,
                                                 int threads, Progress* progress, double quantile) {
    const int n = static_cast<int>(objects.size());
    std::vector<SparseVectorStats> stats;
    stats.reserve(objects.size());
    for (const SparseVector& v : objects) stats.push_back(sparseStats(v, p));
    // Every cell is written below, each row by the thread that computes it.
    PackedTriangle out(n, PackedTriangle::Unfilled{});
    // The measures of the shared entries are summed over the attribute lists: row i adds the products of
    // its entries to the earlier objects that hold the same attributes, which touches only the pairs of
    // entries that meet instead of walking both vectors for every pair. The products are added in the
    // order of the attributes, as the walk of one pair adds them, so the cells are the same.
    const int base = code >= 22 && code <= 27 ? code - 20 : code;
    const AttributeLists lists = fromSharedEntries(base) ? attributeLists(objects, p) : AttributeLists{};
    const bool byLists = !lists.start.empty();
    const bool needsProducts = base == 6 || base == 9 || base == 41 || base == 42;
    auto computeRow = [&](int i, RowSums& sums) {
        double* row = out.row(i);
        const SparseVectorStats& si = stats[static_cast<std::size_t>(i)];
        if (!byLists) {
            for (int j = 0; j < i; ++j)
                row[j] = sparseMeasure(code, objects[static_cast<std::size_t>(j)],
                                       stats[static_cast<std::size_t>(j)],
                                       objects[static_cast<std::size_t>(i)], si, p, quantile);
            return;
        }
        if (sums.xy.empty()) {
            sums.xy.assign(static_cast<std::size_t>(n), 0.0L);
            sums.both.assign(static_cast<std::size_t>(n), 0);
        }
        long double* xy = sums.xy.data();
        int* both = sums.both.data();
        for (const auto& [k, x] : objects[static_cast<std::size_t>(i)].entries) {
            const std::size_t from = lists.start[static_cast<std::size_t>(k)];
            const std::size_t to = lists.start[static_cast<std::size_t>(k) + 1];
            const int* object = lists.object.data();
            const double* value = lists.value.data();
            if (needsProducts) {
                for (std::size_t e = from; e < to && object[e] < i; ++e)
                    xy[object[e]] += static_cast<long double>(value[e]) * x;
            } else if (x > 0) {
                for (std::size_t e = from; e < to && object[e] < i; ++e)
                    if (value[e] > 0) ++both[object[e]];
            }
        }
        for (int j = 0; j < i; ++j) {
            row[j] = sharedMeasure(base, xy[j], both[j], stats[static_cast<std::size_t>(j)], si, p);
            if (base == 9 && row[j] > -kNearChord)
                row[j] = exactChord(objects[static_cast<std::size_t>(j)], stats[static_cast<std::size_t>(j)],
                                    objects[static_cast<std::size_t>(i)], si);
            xy[j] = 0;
            both[j] = 0;
        }
    };
    std::atomic<int> nextRow{1}, doneRows{0};
    std::atomic<bool> stop{false};
    // Rows are handed out one at a time; each cell is written by the thread that owns its row.
    auto work = [&] {
        RowSums sums;
        for (int i = nextRow++; i < n && !stop; i = nextRow++) {
            computeRow(i, sums);
            ++doneRows;
        }
    };
    const int workers = std::max(1, threads);
    std::vector<std::thread> pool;
    for (int t = 1; t < workers; ++t) pool.emplace_back(work);
    if (progress) progress->startBar(n);
    // The calling thread works too, and shows the progress between its rows.
    RowSums sums;
    for (int i = nextRow++; i < n && !stop; i = nextRow++) {
        computeRow(i, sums);
        ++doneRows;
        if (progress) {
            progress->setPosition(doneRows);
            if (progress->aborted()) stop = true;
        }
    }
    for (std::thread& t : pool) t.join();
    if (progress) progress->endBar();
    if (stop) return std::nullopt;
    return out;
}

}  // namespace tav
