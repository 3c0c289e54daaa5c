#pragma once
// Pairs of objects computed on several threads: every pair of a set (the cells below the diagonal), or
// every object against every reference. Each cell depends only on its pair, so the result does not
// depend on the number of threads. The progress shows the objects done and stops the work on Esc.

#include <functional>
#include <optional>
#include <vector>

#include "analysis/clustering.h"

namespace tav {

class Progress;

// The threads a computation may use: the machine's cores, at least one.
int workerCount();

// cell(lower, higher) for every pair of the n objects; nothing when Esc stopped it.
std::optional<PackedTriangle> pairTriangle(int n, int threads, Progress* progress,
                                           const std::function<double(int lower, int higher)>& cell);

// cell(object, reference) for every object and reference, as values[object * references + reference];
// nothing when Esc stopped it.
std::optional<std::vector<double>> pairRectangle(
    int objects, int references, int threads, Progress* progress,
    const std::function<double(int object, int reference)>& cell);

}  // namespace tav
