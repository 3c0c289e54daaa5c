// Similarities from sparse vectors: every measure equals the one computed on the full vectors, and the
// matrix does not depend on the number of threads.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/similarity_matrix.h"
#include "analysis/similarity_measures.h"
#include "core/numbers.h"
#include "core/random.h"

namespace tav {
namespace {

// Random sparse cover weights (about a fifth of the attributes filled, some values equal).
std::vector<SparseVector> randomVectors(int count, int attributes, std::uint64_t seed) {
    Random random(seed);
    std::vector<SparseVector> out(static_cast<std::size_t>(count));
    for (SparseVector& v : out)
        for (int k = 0; k < attributes; ++k)
            if (random.below(5) == 0) v.entries.emplace_back(k, 1 + static_cast<double>(random.below(6)) / 2);
    return out;
}

std::vector<double> dense(const SparseVector& v, int attributes) {
    std::vector<double> d(static_cast<std::size_t>(attributes), 0.0);
    for (const auto& [k, x] : v.entries) d[static_cast<std::size_t>(k)] = x;
    return d;
}

TEST(SimilarityMatrix, SparseEqualsDense) {
    const int p = 40;
    const std::vector<SparseVector> v = randomVectors(12, p, 17);
    const int codes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 22, 23,
                         24, 25, 26, 27, 41, 42, 43, 44, 45, 46, 47, 48};
    for (int code : codes)
        for (std::size_t i = 0; i < v.size(); ++i)
            for (std::size_t j = 0; j < i; ++j) {
                const double want = similarityMeasure(code, false, dense(v[j], p), dense(v[i], p), 0.3);
                const double got =
                    sparseMeasure(code, v[j], sparseStats(v[j], p), v[i], sparseStats(v[i], p), p, 0.3);
                EXPECT_NEAR(got, want, 1e-9 * std::max(1.0, std::fabs(want))) << "code " << code;
            }
}

TEST(SimilarityMatrix, ThreadsDoNotChangeTheResult) {
    const int p = 60;
    const std::vector<SparseVector> v = randomVectors(50, p, 3);
    const auto one = similarityTriangle(v, p, 41, 1);
    const auto four = similarityTriangle(v, p, 41, 4);
    ASSERT_TRUE(one && four);
    for (int i = 1; i < 50; ++i)
        for (int j = 0; j < i; ++j) ASSERT_EQ(one->at(i, j), four->at(i, j));
    EXPECT_NEAR(one->at(5, 2), similarityMeasure(41, false, dense(v[2], p), dense(v[5], p)), 1e-12);
}

TEST(SimilarityMatrix, MatrixEqualsEveryPair) {
    // Some negative weights too, which count as present for the cross products but not for the counts.
    const int p = 50;
    std::vector<SparseVector> v = randomVectors(40, p, 9);
    for (std::size_t i = 0; i < v.size(); i += 3)
        for (auto& entry : v[i].entries)
            if (entry.first % 4 == 0) entry.second = -entry.second;
    v[7].entries.clear();  // an empty releve
    for (int code : {1, 6, 8, 9, 26, 41, 42, 43, 45, 46}) {
        const auto matrix = similarityTriangle(v, p, code, 3);
        ASSERT_TRUE(matrix);
        for (std::size_t i = 1; i < v.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                ASSERT_EQ(matrix->at(static_cast<int>(i), static_cast<int>(j)),
                          sparseMeasure(code, v[j], sparseStats(v[j], p), v[i], sparseStats(v[i], p), p))
                    << "code " << code << " cell " << i << ", " << j;
    }
}

}  // namespace
}  // namespace tav
namespace tav {
namespace {

// A releve and its duplicate (and one scaled by 3) lie at chord distance 0, not at the 1e-8 that the
// cross product alone leaves.
TEST(SimilarityMatrix, DuplicatesAtChordDistanceZero) {
    const int p = 30;
    std::vector<SparseVector> v = randomVectors(3, p, 5);
    v.push_back(v[1]);
    SparseVector scaled = v[2];
    for (auto& [k, x] : scaled.entries) x *= 3;
    v.push_back(scaled);
    const auto t = similarityTriangle(v, p, 9, 2);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->at(3, 1), 0);
    EXPECT_LT(std::fabs(t->at(4, 2)), 1e-15);
    EXPECT_LT(t->at(1, 0), -0.01);
}

}  // namespace
}  // namespace tav
