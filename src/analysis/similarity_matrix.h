#pragma once
// Similarities of sparse vectors (releves or species as their nonzero weights over p attributes, as the
// cover modes read them: no missing values), pair by pair from the entries the two vectors hold,
// without walking the zeros: double zeros are counted as p − |union|, the ranks of a vector are
// computed once. The square matrix of all pairs is computed row by row on several threads; each cell
// depends only on its pair, so the result does not depend on the number of threads. The measures made
// of the cross product and the common presences (6, 9, 41, 42, 43, 45, 46) are summed over the objects
// that hold each attribute, touching only the entries two objects share; the cells are the same as
// those of the walk of each pair.

#include <optional>
#include <utility>
#include <vector>

#include "analysis/clustering.h"

namespace tav {

class Progress;

struct SparseVector {
    std::vector<std::pair<int, double>> entries;  // attribute, value ≠ 0; ascending attributes
};

// What a vector contributes to every pair, computed once.
struct SparseVectorStats {
    double sum = 0, sumSquares = 0, mean = 0, centredSquares = 0;
    int nonzero = 0, positive = 0;
    // Mid-ranks over all p attributes: the zeros share zeroRank; rankOf[k] belongs to entries[k].
    double zeroRank = 0, rankCentredSquares = 0;
    std::vector<double> rankOf;
};
SparseVectorStats sparseStats(const SparseVector& v, int attributes);

// The measure of x against y (the codes of similarity_measures.h; for 47 and 48 x is the object, y the
// reference or the object of the higher index).
double sparseMeasure(int code, const SparseVector& x, const SparseVectorStats& sx, const SparseVector& y,
                     const SparseVectorStats& sy, int attributes, double quantile = 0.5);

// All pairs of objects; nothing when Esc stopped it.
std::optional<PackedTriangle> similarityTriangle(const std::vector<SparseVector>& objects, int attributes,
                                                 int code, int threads, Progress* progress = nullptr,
                                                 double quantile = 0.5);

}  // namespace tav
