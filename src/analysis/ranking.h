#pragma once
// Ranking and quantiles, shared by the statistics, the tests, the similarities and the diagnostic
// species: quantiles as R's type 7, mid-ranks of tied values, the range that the 10 % trimmed mean
// keeps, the normal quantile, and Pearson's r (Spearman's is Pearson's r of the mid-ranks).

#include <utility>
#include <vector>

namespace tav {

// Quantile q (0 … 1) of ascending values: h = q(n − 1), interpolated between the neighbours of h; the
// one value when n = 1. Not for an empty list.
double quantileOfSorted(const std::vector<double>& sorted, double q);

// Ascending ranks 1 … n in the order of the values; tied values get the mean of their ranks.
std::vector<double> midRanks(const std::vector<double>& values);

// The positions lo … hi of the sorted values that the 10 % trimmed mean keeps: c = n − 1, lo =
// round(0.1c), hi = round(0.9c), rounded half to even.
std::pair<int, int> trimmedRange(int n);

// The standard normal quantile of p (0 < p < 1), by Newton steps on the normal distribution function.
double normalQuantile(double p);

// Pearson's r of two vectors of the same length, with the deviations from the means summed directly;
// 0 when either varies not at all.
double pearsonR(const std::vector<double>& x, const std::vector<double>& y);

}  // namespace tav
