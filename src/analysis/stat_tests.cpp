#include "analysis/stat_tests.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>

#include "analysis/ranking.h"
#include "core/numbers.h"
#include "core/random.h"
#include "platform/progress.h"

namespace tav {

namespace {

// The continued fraction of the regularized incomplete beta function (Lentz's method).
double betaFraction(double a, double b, double x) {
    const double tiny = 1e-300;
    double c = 1, d = 1 - (a + b) * x / (a + 1);
    if (std::fabs(d) < tiny) d = tiny;
    d = 1 / d;
    double h = d;
    for (int m = 1; m <= 300; ++m) {
        const double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((a + m2 - 1) * (a + m2));
        d = 1 + aa * d;
        if (std::fabs(d) < tiny) d = tiny;
        c = 1 + aa / c;
        if (std::fabs(c) < tiny) c = tiny;
        d = 1 / d;
        h *= d * c;
        aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1));
        d = 1 + aa * d;
        if (std::fabs(d) < tiny) d = tiny;
        c = 1 + aa / c;
        if (std::fabs(c) < tiny) c = tiny;
        d = 1 / d;
        const double del = d * c;
        h *= del;
        if (std::fabs(del - 1) < 1e-16) break;
    }
    return h;
}

double incompleteBeta(double a, double b, double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    const double front =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * betaFraction(a, b, x) / a;
    return 1 - front * betaFraction(b, a, 1 - x) / b;
}

double mean(const std::vector<double>& v) {
    long double s = 0;
    for (double x : v) s += x;
    return v.empty() ? 0 : static_cast<double>(s / v.size());
}

double medianOf(std::vector<double> v) {
    if (v.empty()) return 0;
    const std::size_t h = (v.size() - 1) / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(h), v.end());
    const double low = v[h];
    if (v.size() % 2 == 1) return low;
    return (low + *std::min_element(v.begin() + static_cast<std::ptrdiff_t>(h) + 1, v.end())) / 2;
}

// Each value 0 below the centre (mean or median) of its variable, else 1.
std::vector<double> quadrants(const std::vector<double>& v, bool median) {
    const double centre = median ? medianOf(v) : mean(v);
    std::vector<double> q;
    for (double x : v) q.push_back(x < centre ? 0 : 1);
    return q;
}

// The correlations of two variables: 0 quadrants around the means, 1 around the medians, 2 Pearson,
// 3 Spearman.
double correlation(int kind, const std::vector<double>& x, const std::vector<double>& y) {
    switch (kind) {
        case 0:
            return pearsonR(quadrants(x, false), quadrants(y, false));
        case 1:
            return pearsonR(quadrants(x, true), quadrants(y, true));
        case 2:
            return pearsonR(x, y);
        default:
            return pearsonR(midRanks(x), midRanks(y));
    }
}

// A sample against 0 with its zeros split between both signs: the first zero −2ε, the second +2ε, the
// third −3ε, …, with ε the smallest absolute value that is not 0 over the number of values.
std::vector<double> zerosSplit(const std::vector<double>& x) {
    double smallest = 0;
    for (double v : x)
        if (v != 0 && (smallest == 0 || std::fabs(v) < smallest)) smallest = std::fabs(v);
    if (smallest == 0) return x;
    const double eps = smallest / static_cast<double>(x.size());
    std::vector<double> out = x;
    int zeros = 0;
    for (double& v : out)
        if (v == 0) {
            const int k = zeros / 2 + 2;
            v = (zeros % 2 == 0 ? -1 : 1) * k * eps;
            ++zeros;
        }
    return out;
}

// W+: the rank sum of the positive values among the ranked absolute values.
double positiveRankSum(const std::vector<double>& x) {
    std::vector<double> a;
    for (double v : x) a.push_back(std::fabs(v));
    const std::vector<double> r = midRanks(a);
    double w = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] > 0) w += r[i];
    return w;
}

// The sign statistic: values above 0 plus half the zeros, rounded up.
double signStatistic(const std::vector<double>& x) {
    int pos = 0, zeros = 0;
    for (double v : x) {
        if (v > 0) ++pos;
        if (v == 0) ++zeros;
    }
    return std::ceil(pos + zeros / 2.0);
}

constexpr const char* kApprox0[] = {"Vorzeichentest", "Wilcoxon-Test"};
constexpr const char* kApprox1[] = {"Binomialtest", "Wilcoxon-Test"};
constexpr const char* kApprox2[] = {"Quadranten (Mittelwert)", "Quadranten (Median)", "Korrelation",
                                    "Ranglorrelation"};
constexpr const char* kStatistics0[] = {"Mittelwert", "Median", "Rangsumme", "Vorzeichen"};
constexpr const char* kStatistics1[] = {"Mittelwert", "Median", "Rangsumme", "Treffer"};
constexpr const char* kStatistics2[] = {"Quadranten Mittelwert", "Quadranten Median", "Korrelation",
                                        "Rangkorrelation"};
constexpr const char* kDescriptive0[] = {"Arithmetisches Mittel",
                                         "Standardfehler des arithm. Mittels",
                                         "Median",
                                         "Anzahl Werte",
                                         "Werte >0",
                                         "Werte <0",
                                         "Werte =0",
                                         "Bilanz",
                                         "Anteil Werte >0",
                                         "Anteil Werte <0",
                                         "Anteil Werte =0"};
constexpr const char* kDescriptive1[] = {"Arithmetisches Mittel der Klasse",
                                         "Standardfehler des Klassenmittels",
                                         "Median der Klasse",
                                         "Anzahl Werte der Klasse",
                                         "Arithmetisches Mittel Rest",
                                         "Standardfehler des Rest-Mittels",
                                         "Median Rest",
                                         "Anzahl Werte Rest",
                                         "Arithmetisches Mittel gesamt",
                                         "Standardfehler des gesamten Mittels",
                                         "Median gesamt",
                                         "Anzahl Werte gesamt"};
constexpr const char* kDescriptive2[] = {"Korrelationskoeffizient", "Rangkorrelationskoeffizient",
                                         "Anzahl Wertepaare"};

}  // namespace

double normalTail(double z) {
    return 0.5 * std::erfc(std::fabs(z) / std::sqrt(2.0));
}

double studentTail(double t, double df) {
    if (df <= 0) return std::nan("");
    return 0.5 * incompleteBeta(df / 2, 0.5, df / (df + t * t));
}

TStatTests::TStatTests(int mode, std::string selection) : mode_(mode), sel_(std::move(selection)) {
    sel_.resize(30, '0');
}

void TStatTests::add(double x, int flag) {
    values_.push_back(x);
    flags_.push_back(flag > 0 ? 1 : 0);
}

void TStatTests::Clear() {
    values_.clear();
    flags_.clear();
}

std::vector<std::string> TStatTests::headings() const {
    std::vector<std::string> out;
    const int approximate = mode_ == 2 ? 4 : 2;
    for (int i = 0; i < approximate; ++i)
        if (on(i))
            out.push_back(std::string(mode_ == 0   ? kApprox0[i]
                                      : mode_ == 1 ? kApprox1[i]
                                                   : kApprox2[i]) +
                          " approx.");
    const int randomPos = mode_ == 2 ? 4 : 2, bootstrapPos = randomPos + 1;
    for (const int method : {randomPos, bootstrapPos}) {
        if (!on(method)) continue;
        for (const int draws : {20, 21}) {
            if (!on(draws)) continue;
            for (int k = 0; k < 4; ++k) {
                if (!on(22 + k)) continue;
                const char* name = mode_ == 0   ? kStatistics0[k]
                                   : mode_ == 1 ? kStatistics1[k]
                                                : kStatistics2[k];
                out.push_back(std::string(method == bootstrapPos ? "Bootstrap"
                                          : mode_ == 0           ? "Randomisierung"
                                                                 : "Permutation") +
                              (draws == 20 ? " 1000x" : " 10000x") + " (" + name + ")");
            }
        }
    }
    const int first = mode_ == 2 ? 6 : 4;
    const int count = mode_ == 0 ? 11 : mode_ == 1 ? 12 : 3;
    for (int i = 0; i < count; ++i)
        if (on(first + i))
            out.emplace_back(mode_ == 0   ? kDescriptive0[i]
                             : mode_ == 1 ? kDescriptive1[i]
                                          : kDescriptive2[i]);
    return out;
}

std::vector<std::string> TStatTests::results(int decimals, Random& random, Progress* progress) const {
    // Esc ends a resampling between draws; its p-values are then left empty.
    bool aborted = false;
    auto stopped = [&](int draw) {
        if (progress && draw % 256 == 0 && progress->aborted()) aborted = true;
        return aborted;
    };
    std::vector<std::string> out;
    auto number = [&](std::optional<double> v) {
        out.push_back(v && std::isfinite(*v) ? formatFixed(*v, decimals) : std::string());
    };
    // The parts of the values.
    std::vector<double> all = values_, group, rest, first, second;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        (flags_[i] ? group : rest).push_back(values_[i]);
        (flags_[i] ? second : first).push_back(values_[i]);
    }
    if (mode_ == 2) {
        const std::size_t n = std::min(first.size(), second.size());
        first.resize(n);
        second.resize(n);
    }
    const int n = static_cast<int>(all.size());

    // ---- approximate tests
    if (mode_ == 0) {
        if (on(0)) {
            std::optional<double> p;
            if (n > 0) {
                const double k = signStatistic(all);
                p = normalTail(n * (k / n - 0.5) / std::sqrt(0.25 * n));
            }
            number(p);
        }
        if (on(1)) {
            double p = 1;
            const std::vector<double> x = zerosSplit(all);
            const bool anyNonZero = std::any_of(x.begin(), x.end(), [](double v) { return v != 0; });
            if (n > 0 && anyNonZero) {
                const double wPlus = positiveRankSum(x);
                const double total = n * (n + 1) / 2.0;
                const double c = std::max(wPlus, total - wPlus);
                p = normalTail((c - 0.5 - n * (n + 1) / 4.0) / std::sqrt(n * (n + 1) * (2.0 * n + 1) / 24));
            }
            number(p);
        }
    } else if (mode_ == 1) {
        if (on(0)) {
            std::optional<double> p;
            const int N = n, m = static_cast<int>(group.size());
            if (N > 0 && m > 0) {
                const double K = static_cast<double>(
                    std::count_if(all.begin(), all.end(), [](double v) { return v > 0; }));
                const double j = static_cast<double>(
                    std::count_if(group.begin(), group.end(), [](double v) { return v > 0; }));
                const double pi = K / N;
                const double root = std::sqrt(pi * m * (1 - pi));
                const double z = root > 0 ? m * (j / m - pi) / root : 0;
                p = normalTail(z);
            }
            number(p);
        }
        if (on(1)) {
            std::optional<double> p;
            if (!group.empty() && !rest.empty()) {
                const std::vector<double> ranks = midRanks(all);
                const bool groupSmaller = group.size() <= rest.size();
                double c = 0;
                for (std::size_t i = 0; i < all.size(); ++i)
                    if ((flags_[i] == 1) == groupSmaller) c += ranks[i];
                const double ns = static_cast<double>(groupSmaller ? group.size() : rest.size());
                const double no = static_cast<double>(groupSmaller ? rest.size() : group.size());
                const double e = ns * (no + ns + 1) / 2;
                const double g = std::sqrt(no * e / 6);
                p = g > 0 ? normalTail((c - e) / g) : 1.0;
            }
            number(p);
        }
    } else {
        // The t-test of each correlation with n − 2 degrees of freedom.
        const double pairs = static_cast<double>(first.size());
        for (int k = 0; k < 4; ++k) {
            if (!on(k)) continue;
            std::optional<double> p;
            if (pairs > 2) {
                const double r = correlation(k, first, second);
                p = std::fabs(r) >= 1 ? 0.0
                                      : studentTail(r * std::sqrt((pairs - 2) / (1 - r * r)), pairs - 2);
            }
            number(p);
        }
    }

    // ---- resampling tests
    const int randomPos = mode_ == 2 ? 4 : 2, bootstrapPos = randomPos + 1;
    for (const int method : {randomPos, bootstrapPos}) {
        if (!on(method)) continue;
        for (const int draws : {20, 21}) {
            if (!on(draws)) continue;
            const int B = draws == 20 ? 1000 : 10000;
            const int digits = static_cast<int>(std::trunc(std::log10(B - 1))) + 1;
            const bool bootstrap = method == bootstrapPos;
            std::vector<int> chosen;
            for (int k = 0; k < 4; ++k)
                if (on(22 + k)) chosen.push_back(k);
            const bool empty = mode_ == 2   ? first.size() < 2
                               : mode_ == 1 ? group.empty() || all.empty()
                                            : all.empty();
            if (empty) {
                for (std::size_t i = 0; i < chosen.size(); ++i) out.emplace_back();
                continue;
            }
            std::vector<long long> above(chosen.size()), below(chosen.size());
            std::vector<double> observed(chosen.size());
            if (mode_ == 0) {
                // Zeros take part with a sign in the rank sum and the sign statistic.
                double smallest = 0;
                for (double v : all)
                    if (v != 0 && (smallest == 0 || std::fabs(v) < smallest)) smallest = std::fabs(v);
                const double eps = smallest > 0 ? smallest / n : 1.0 / n;
                const std::vector<double> split = zerosSplit(all);
                auto statistic = [&](int k, const std::vector<double>& x) {
                    switch (k) {
                        case 0:
                            return mean(x);
                        case 1:
                            return medianOf(x);
                        case 2:
                            return positiveRankSum(x);
                        default:
                            return signStatistic(x);
                    }
                };
                for (std::size_t c = 0; c < chosen.size(); ++c)
                    observed[c] = statistic(chosen[c], chosen[c] >= 2 ? split : all);
                std::vector<double> x(all.size()), withSigns;
                const bool ranked = std::any_of(chosen.begin(), chosen.end(), [](int k) { return k >= 2; });
                // The ranks of the magnitudes a randomisation draws: the values, the zeros as (i + 0.5)ε.
                std::vector<double> magnitudes(all.size());
                for (std::size_t i = 0; i < all.size(); ++i)
                    magnitudes[i] = all[i] != 0 ? std::fabs(all[i]) : (static_cast<double>(i) + 0.5) * eps;
                const std::vector<double> magnitudeRanks =
                    ranked && !bootstrap ? midRanks(magnitudes) : std::vector<double>();
                // Sums in four lanes: the same rounding for the observed mean and every draw.
                auto laneMean = [&](const std::vector<double>& v) {
                    double lanes[4] = {0, 0, 0, 0};
                    for (std::size_t i = 0; i < v.size(); ++i) lanes[i & 3] += v[i];
                    return (lanes[0] + lanes[1] + lanes[2] + lanes[3]) / static_cast<double>(v.size());
                };
                for (std::size_t c = 0; c < chosen.size(); ++c)
                    if (chosen[c] == 0) observed[c] = laneMean(all);
                const bool needMedian = std::find(chosen.begin(), chosen.end(), 1) != chosen.end();
                for (int b = 0; b < B && !stopped(b); ++b) {
                    double drawn[4] = {0, 0, 0, 0};
                    if (!bootstrap) {
                        // Randomisation: every value keeps its place and gets a random sign; a zero takes the
                        // sign as its (i + 0.5)ε, whose rank is known beforehand.
                        double lanes[4] = {0, 0, 0, 0}, wPlus = 0, positives = 0;
                        std::uint64_t bits = 0;
                        for (std::size_t i = 0; i < all.size(); ++i) {
                            if (i % 64 == 0) bits = random.next();
                            const bool negative = (bits >> (i % 64)) & 1;
                            const double v = negative ? -all[i] : all[i];
                            if (needMedian) x[i] = v;
                            lanes[i & 3] += v;
                            if (all[i] != 0 ? v > 0 : !negative) {
                                ++positives;
                                if (ranked) wPlus += magnitudeRanks[i];
                            }
                        }
                        drawn[0] =
                            (lanes[0] + lanes[1] + lanes[2] + lanes[3]) / static_cast<double>(all.size());
                        drawn[1] = needMedian ? medianOf(x) : 0;
                        drawn[2] = wPlus;
                        drawn[3] = positives;
                    } else {
                        for (std::size_t i = 0; i < all.size(); ++i) {
                            const std::size_t at = static_cast<std::size_t>(random.below(all.size()));
                            x[i] = (random.next() & 1) ? -all[at] : all[at];
                        }
                        if (ranked) {
                            withSigns = x;
                            for (std::size_t i = 0; i < withSigns.size(); ++i)
                                if (withSigns[i] == 0)
                                    withSigns[i] = ((random.next() & 1) ? -1 : 1) * (i + 0.5) * eps;
                        }
                        for (int k = 0; k < 4; ++k)
                            if (std::find(chosen.begin(), chosen.end(), k) != chosen.end())
                                drawn[k] = k == 0 ? laneMean(x) : statistic(k, k >= 2 ? withSigns : x);
                    }
                    for (std::size_t c = 0; c < chosen.size(); ++c) {
                        const double v = drawn[chosen[c]];
                        if (v >= observed[c]) ++above[c];
                        if (v <= observed[c]) ++below[c];
                    }
                }
            } else if (mode_ == 1) {
                const std::vector<double> ranks = midRanks(all);
                auto statistic = [&](int k, const std::vector<std::size_t>& members) {
                    std::vector<double> v;
                    double rankSum = 0;
                    for (std::size_t i : members) {
                        v.push_back(all[i]);
                        rankSum += ranks[i];
                    }
                    switch (k) {
                        case 0:
                            return mean(v);
                        case 1:
                            return medianOf(v);
                        case 2:
                            return rankSum;
                        default:
                            return static_cast<double>(
                                std::count_if(v.begin(), v.end(), [](double x) { return x > 0; }));
                    }
                };
                std::vector<std::size_t> members;
                for (std::size_t i = 0; i < all.size(); ++i)
                    if (flags_[i]) members.push_back(i);
                for (std::size_t c = 0; c < chosen.size(); ++c) observed[c] = statistic(chosen[c], members);
                std::vector<std::size_t> pool(all.size());
                std::iota(pool.begin(), pool.end(), std::size_t{0});
                const std::size_t m = members.size();
                for (int b = 0; b < B && !stopped(b); ++b) {
                    if (bootstrap) {
                        for (std::size_t i = 0; i < m; ++i)
                            members[i] = static_cast<std::size_t>(random.below(all.size()));
                    } else {
                        // A random subset of the group's size: the first m of a partial shuffle.
                        for (std::size_t i = 0; i < m; ++i)
                            std::swap(pool[i],
                                      pool[i + static_cast<std::size_t>(random.below(pool.size() - i))]);
                        std::copy(pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(m),
                                  members.begin());
                    }
                    for (std::size_t c = 0; c < chosen.size(); ++c) {
                        const double v = statistic(chosen[c], members);
                        if (v >= observed[c]) ++above[c];
                        if (v <= observed[c]) ++below[c];
                    }
                }
            } else {
                for (std::size_t c = 0; c < chosen.size(); ++c)
                    observed[c] = correlation(chosen[c], first, second);
                std::vector<double> x = first, y = second;
                const std::size_t np = first.size();
                for (int b = 0; b < B && !stopped(b); ++b) {
                    if (bootstrap) {
                        for (std::size_t i = 0; i < np; ++i)
                            x[i] = first[static_cast<std::size_t>(random.below(np))];
                        for (std::size_t i = 0; i < np; ++i)
                            y[i] = second[static_cast<std::size_t>(random.below(np))];
                    } else {
                        x = first;
                        y = second;
                        std::vector<double>& shuffled = (random.next() & 1) ? x : y;
                        for (std::size_t i = np; i > 1; --i)
                            std::swap(shuffled[i - 1], shuffled[static_cast<std::size_t>(random.below(i))]);
                    }
                    for (std::size_t c = 0; c < chosen.size(); ++c) {
                        const double v = correlation(chosen[c], x, y);
                        // One side: in the direction of the observed correlation.
                        if (observed[c] >= 0 ? v >= observed[c] : v <= observed[c]) ++above[c];
                    }
                }
            }
            for (std::size_t c = 0; c < chosen.size(); ++c) {
                const long long hits = mode_ == 2 ? above[c] : std::min(above[c], below[c]);
                out.push_back(aborted ? std::string() : formatFixed(static_cast<double>(hits) / B, digits));
            }
        }
    }

    // ---- descriptive values
    auto describe = [&](const std::vector<double>& v, int what) -> std::optional<double> {
        const double size = static_cast<double>(v.size());
        switch (what) {
            case 0:
                return v.empty() ? std::nullopt : std::optional<double>(mean(v));
            case 1: {
                if (v.size() < 2) return std::nullopt;
                const double m = mean(v);
                long double ss = 0;
                for (double x : v) ss += (x - m) * (x - m);
                return std::sqrt(static_cast<double>(ss / (size - 1)) / size);
            }
            case 2:
                return v.empty() ? std::nullopt : std::optional<double>(medianOf(v));
            default:
                return size;
        }
    };
    if (mode_ == 0) {
        const double pos =
            static_cast<double>(std::count_if(all.begin(), all.end(), [](double v) { return v > 0; }));
        const double neg =
            static_cast<double>(std::count_if(all.begin(), all.end(), [](double v) { return v < 0; }));
        const double zero = n - pos - neg;
        const std::optional<double> values[] = {describe(all, 0),
                                                describe(all, 1),
                                                describe(all, 2),
                                                describe(all, 3),
                                                pos,
                                                neg,
                                                zero,
                                                n ? std::optional<double>((pos - neg) / n) : std::nullopt,
                                                n ? std::optional<double>(pos / n) : std::nullopt,
                                                n ? std::optional<double>(neg / n) : std::nullopt,
                                                n ? std::optional<double>(zero / n) : std::nullopt};
        for (int i = 0; i < 11; ++i)
            if (on(4 + i)) number(values[i]);
    } else if (mode_ == 1) {
        const std::vector<double>* parts[] = {&group, &rest, &all};
        for (int i = 0; i < 12; ++i)
            if (on(4 + i)) number(describe(*parts[i / 4], i % 4));
    } else {
        const bool enough = first.size() > 1;
        if (on(6)) number(enough ? std::optional<double>(pearsonR(first, second)) : std::nullopt);
        if (on(7)) number(enough ? std::optional<double>(correlation(3, first, second)) : std::nullopt);
        if (on(8)) number(static_cast<double>(first.size()));
    }
    return out;
}

std::optional<double> dispersionIndex(const std::vector<double>& v) {
    if (v.size() < 2) return std::nullopt;
    const double m = mean(v);
    if (m <= 0) return std::nullopt;
    long double ss = 0;
    for (double x : v) ss += (x - m) * (x - m);
    return static_cast<double>(ss / (v.size() - 1)) / m;
}

Association associationOf(const std::vector<std::pair<bool, bool>>& presence) {
    Association r;
    for (const auto& [x, y] : presence) {
        if (x && y)
            ++r.a;
        else if (x)
            ++r.b;
        else if (y)
            ++r.c;
        else
            ++r.d;
    }
    const double a = static_cast<double>(r.a), b = static_cast<double>(r.b), c = static_cast<double>(r.c),
                 d = static_cast<double>(r.d);
    const double n = a + b + c + d;
    if (a * d + b * c > 0) r.index = (a * d - b * c) / (a * d + b * c);
    const double denominator = (a + b) * (c + d) * (a + c) * (b + d);
    if (denominator > 0) {
        const double corrected = std::max(0.0, std::fabs(a * d - b * c) - n / 2);
        r.chiSquare = corrected * corrected * n / denominator;
    }
    return r;
}

}  // namespace tav
