#include "analysis/similarity_measures.h"

#include <algorithm>
#include <cmath>

#include "analysis/ranking.h"
#include "core/numbers.h"

namespace tav {

namespace {

bool missingValue(double v) {
    return isMissing(v) || std::isnan(v);
}

std::vector<double> presence(const std::vector<double>& v) {
    std::vector<double> p;
    for (double x : v) p.push_back(x > 0 ? 1 : 0);
    return p;
}

}  // namespace

bool isDistanceCode(int code) {
    return code == 1 || code == 8 || code == 9 || code == 10 || code == 11;
}

std::string measureName(int code) {
    switch (code) {
        case 1:
            return "Mittlere Differenz";
        case 8:
            return "Euklidische Distanz";
        case 9:
            return "Sehnendistanz";
        case 2:
        case 22:
        case 44:
            return "Korrelation";
        case 3:
        case 23:
            return "RangKorrelation";
        case 4:
        case 24:
            return "Bestimmtheitsmass";
        case 5:
        case 25:
            return "Kovarianz";
        case 6:
        case 26:
            return "Kreuzprodukt";
        case 7:
        case 27:
            return "Kreuzprodukt zentriert";
        case 41:
            return "Ochiai";
        case 42:
            return "Van der Maarel";
        case 43:
            return "Jaccard";
        case 45:
            return "Korrelation PA";
        case 46:
            return "Anzahl Gemeinsame";
        case 47:
            return "Gemeinsame / Aufnahme";
        case 48:
            return "Gemeinsame / Referenz";
        default:
            return "Resultat";
    }
}

double similarityMeasure(int code, bool zeroIfMissing, const std::vector<double>& x,
                         const std::vector<double>& y, double quantile) {
    if (x.size() != y.size()) return code == 1 || code == 10 || code == 11 ? kMissing : 0;
    const bool withoutDoubleZeros = code >= 22 && code <= 27;
    const int base = withoutDoubleZeros ? code - 20 : code;
    // The pairs used, in buffers each thread keeps: a matrix calls this for every pair of objects.
    thread_local std::vector<double> a, b;
    a.clear();
    b.clear();
    int missingPairs = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (missingValue(x[i]) || missingValue(y[i])) {
            ++missingPairs;
            continue;
        }
        if (withoutDoubleZeros && x[i] <= 0 && y[i] <= 0) continue;
        a.push_back(x[i]);
        b.push_back(y[i]);
    }
    const bool countsMissing = code < 41 || code > 48;
    if (zeroIfMissing && countsMissing && missingPairs > 0) return isDistanceCode(code) ? kMissing : 0;
    const std::size_t n = a.size();
    long double sxx = 0, syy = 0, sxy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxx += static_cast<long double>(a[i]) * a[i];
        syy += static_cast<long double>(b[i]) * b[i];
        sxy += static_cast<long double>(a[i]) * b[i];
    }
    switch (base) {
        case 1:
        case 10:
        case 11: {
            if (n == 0) return kMissing;
            thread_local std::vector<double> d;
            d.clear();
            for (std::size_t i = 0; i < n; ++i) d.push_back(std::fabs(a[i] - b[i]));
            if (base == 1) {
                long double s = 0;
                for (double v : d) s += v;
                return -static_cast<double>(s / n);
            }
            std::sort(d.begin(), d.end());
            if (base == 11) return -quantileOfSorted(d, quantile);
            const auto [lo, hi] = trimmedRange(static_cast<int>(n));
            long double s = 0;
            for (int i = lo; i <= hi; ++i) s += d[static_cast<std::size_t>(i)];
            return -static_cast<double>(s / (hi - lo + 1));
        }
        case 8: {
            // The squared differences themselves: Σx² − 2Σxy + Σy² cancels for near-equal vectors.
            long double s = 0;
            for (std::size_t i = 0; i < n; ++i) s += (static_cast<long double>(a[i]) - b[i]) * (a[i] - b[i]);
            return -static_cast<double>(std::sqrt(s));
        }
        case 9: {
            // The distance of the two vectors scaled to length 1, from their differences: sqrt(2(1 − c))
            // loses every digit when c is near 1.
            if (sxx * syy <= 0) return 0;
            const long double nx = std::sqrt(sxx), ny = std::sqrt(syy);
            long double s = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const long double d = a[i] / nx - b[i] / ny;
                s += d * d;
            }
            return -static_cast<double>(std::sqrt(std::min<long double>(s, 4)));
        }
        case 2:
            return pearsonR(a, b);
        case 3:
            return pearsonR(midRanks(a), midRanks(b));
        case 4: {
            const double r = pearsonR(a, b);
            return r * r;
        }
        case 5:
        case 7: {
            if (n == 0) return base == 5 ? kMissing : 0;
            long double sa = 0, sb = 0;
            for (std::size_t i = 0; i < n; ++i) {
                sa += a[i];
                sb += b[i];
            }
            const long double ma = sa / n, mb = sb / n;
            long double centred = 0;
            for (std::size_t i = 0; i < n; ++i) centred += (a[i] - ma) * (b[i] - mb);
            if (base == 7) return static_cast<double>(centred);
            return n > 1 ? static_cast<double>(centred / (n - 1)) : kMissing;
        }
        case 6:
            return static_cast<double>(sxy);
        case 41:
            return sxx * syy > 0 ? static_cast<double>(sxy / std::sqrt(sxx * syy)) : 0;
        case 42: {
            const long double d = sxx + syy - sxy;
            return d > 0 ? static_cast<double>(sxy / d) : 0;
        }
        case 43:
            return similarityMeasure(42, false, presence(a), presence(b));
        case 44:
            return (pearsonR(a, b) + 1) / 2;
        case 45:
            return (pearsonR(presence(a), presence(b)) + 1) / 2;
        case 46:
        case 47:
        case 48: {
            double common = 0, inX = 0, inY = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (a[i] > 0 && b[i] > 0) ++common;
                if (a[i] > 0) ++inX;
                if (b[i] > 0) ++inY;
            }
            if (base == 46) return common;
            const double of = base == 47 ? inX : inY;
            return of > 0 ? common / of : 0;
        }
        default:
            return 0;
    }
}

}  // namespace tav
