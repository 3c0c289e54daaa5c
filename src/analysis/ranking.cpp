#include "analysis/ranking.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace tav {

double quantileOfSorted(const std::vector<double>& s, double q) {
    const std::size_t n = s.size();
    if (n == 1 || q <= 0) return s.front();
    if (q >= 1) return s.back();
    const double h = q * static_cast<double>(n - 1);
    const std::size_t k = static_cast<std::size_t>(std::trunc(h));
    if (k + 1 >= n) return s.back();
    return s[k] + (s[k + 1] - s[k]) * (h - static_cast<double>(k));
}

std::vector<double> midRanks(const std::vector<double>& v) {
    std::vector<std::size_t> order(v.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return v[a] < v[b]; });
    std::vector<double> ranks(v.size());
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        while (j + 1 < order.size() && v[order[j + 1]] == v[order[i]]) ++j;
        const double rank = (static_cast<double>(i + 1) + static_cast<double>(j + 1)) / 2;
        for (std::size_t k = i; k <= j; ++k) ranks[order[k]] = rank;
        i = j + 1;
    }
    return ranks;
}

double normalQuantile(double p) {
    double z = 0;
    for (int i = 0; i < 100; ++i) {
        const double cdf = 0.5 * std::erfc(-z / std::sqrt(2.0));
        const double pdf = std::exp(-z * z / 2) / std::sqrt(2 * std::numbers::pi);
        const double step = (cdf - p) / std::max(pdf, 1e-300);
        z -= std::clamp(step, -1.0, 1.0);
        if (std::fabs(step) < 1e-15) break;
    }
    return z;
}

// a / 10 rounded to the nearest whole number, halves to the even one, without floating error.
static int tenthHalfEven(int a) {
    const int q = a / 10, r = a % 10;
    return r > 5 || (r == 5 && q % 2 == 1) ? q + 1 : q;
}

std::pair<int, int> trimmedRange(int n) {
    const int c = std::max(n - 1, 0);
    return {tenthHalfEven(c), tenthHalfEven(9 * c)};
}

double pearsonR(const std::vector<double>& x, const std::vector<double>& y) {
    const std::size_t n = std::min(x.size(), y.size());
    if (n == 0) return 0;
    long double sx = 0, sy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sx += x[i];
        sy += y[i];
    }
    const long double mx = sx / n, my = sy / n;
    long double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    return sxx * syy > 0 ? static_cast<double>(sxy / std::sqrt(sxx * syy)) : 0;
}

}  // namespace tav
