#pragma once
// Agglomerative clustering of the objects of a symmetric similarity matrix (larger = more similar):
// single, average and complete linkage by the nearest-neighbour chain with Lance–Williams updates
// (O(n²) time on a packed triangle), and the middle linkage (the mean over at most the first 13
// members of the other cluster for each member) by repeated partner search. The merges come out in
// the order of decreasing similarity; object i is the cluster −(i + 1), merge step k (from 1) makes
// cluster k. Around the merges: the dendrogram order, the gradient ordering, and the classes at a cut
// level or for a number of classes.

#include <algorithm>
#include <functional>
#include <vector>

#include "core/large_array.h"

namespace tav {

class Progress;

// The cells below the diagonal of a symmetric n × n matrix, row by row: (1,0), (2,0), (2,1), (3,0), ….
class PackedTriangle {
  public:
    // Every cell 0.
    explicit PackedTriangle(int n = 0) : PackedTriangle(n, Unfilled{}) {
        std::fill(cells_.begin(), cells_.end(), 0.0);
    }
    // The cells as the memory holds them, for a caller that writes every one: the pages are then first
    // touched by the threads that write them, not by one pass of zeros before.
    struct Unfilled {};
    PackedTriangle(int n, Unfilled) : n_(n), cells_(static_cast<std::size_t>(n) * (n > 0 ? n - 1 : 0) / 2) {}
    int size() const { return n_; }
    double at(int i, int j) const { return cells_[index(i, j)]; }
    void set(int i, int j, double v) { cells_[index(i, j)] = v; }
    // All cells, for passes over the whole matrix.
    auto& cells() { return cells_; }
    const auto& cells() const { return cells_; }
    // The cells (i, 0) … (i, i − 1), one after the other.
    double* row(int i) { return cells_.data() + index(i, 0); }
    const double* row(int i) const { return cells_.data() + index(i, 0); }

  private:
    std::size_t index(int i, int j) const {
        if (i < j) std::swap(i, j);
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(i - 1) / 2 +
               static_cast<std::size_t>(j);
    }
    int n_;
    std::vector<double, LargeArrayAllocator<double>> cells_;
};

struct Dendrogram {
    std::vector<int> ta, tb;  // per merge step the two merged clusters
    std::vector<double> td;   // the similarity at which they merged
    int objects = 0;
};

// Linkage 'S' single, 'A' average, 'C' complete, 'M' middle. The matrix's diagonal plays no part.
// Progress (optional) shows the merges and stops the run on Esc (the result is then empty).
Dendrogram clusterObjects(const PackedTriangle& similarity, char linkage, Progress* progress = nullptr);
// The same, working in the matrix it is given instead of a copy (single, average and complete linkage
// change its cells): for a large matrix that is not needed afterwards.
Dendrogram clusterObjects(PackedTriangle&& similarity, char linkage, Progress* progress = nullptr);

// Objects numbered from 1 as the dendrogram lists them from top to bottom: each cluster lists its
// first child (ta) above its second (tb).
std::vector<int> dendrogramOrder(const Dendrogram& d);

// With a gradient value per object: at every merge the child with the larger value becomes the second,
// and the merged cluster takes the mean of its children's values. Missing values (kMissing) take no
// part: a child without a value leaves the order as it is and passes the other child's value on.
void orderByGradient(Dendrogram& d, const std::vector<double>& gradient);

// The class of each object (0-based) when every merge at a similarity ≤ cut is split: classes numbered
// from 1 as the walk from the root meets them; count receives their number.
std::vector<int> classesAtCut(const Dendrogram& d, double cut, int& count);
// The k classes made by splitting the k − 1 merges of least similarity (the last ones on ties), which
// is the same as a cut level for monotone linkages and also right for the middle linkage.
std::vector<int> classesForCount(const Dendrogram& d, int k);

}  // namespace tav
