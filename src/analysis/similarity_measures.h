#pragma once
// The similarity and distance measures of two vectors (larger = more similar: distances come with their
// sign changed). Pairs in which either value is missing (kMissing) are skipped and counted.
//
// Codes: 1 mean absolute difference, 10 its 10 % trimmed mean, 11 its quantile q, 8 Euclidean and
// 9 chord distance; 2 Pearson's and 3 Spearman's r, 4 r², 5 covariance, 6 cross product, 7 centred
// cross product, and 22 … 27 the same without double zeros (pairs where both values are ≤ 0);
// 41 Ochiai, 42 van der Maarel, 43 Jaccard (presence), 44 (r + 1)/2, 45 the same on presence, 46 the
// number of species in common, 47 common / present in x, 48 common / present in y.

#include <string>
#include <vector>

namespace tav {

// The measure of x against y (y the reference, or the object of the higher index). Vectors of different
// lengths give 0, or the missing value for codes 1, 10 and 11. With zeroIfMissing, a pair with a missing
// value makes the result 0, or missing for the distance codes (1, 8, 9, 10, 11), whose 0 would be the
// greatest similarity.
double similarityMeasure(int code, bool zeroIfMissing, const std::vector<double>& x,
                         const std::vector<double>& y, double quantile = 0.5);

// The name of a measure ("Mittlere Differenz", "Euklidische Distanz", …; "Resultat" for any other code).
std::string measureName(int code);

// Whether a code is a distance (its values are ≤ 0).
bool isDistanceCode(int code);

}  // namespace tav
