// Clustering: merge heights and partitions of single, average and complete linkage against R's hclust
// and cutree on a small distance matrix (similarity = −distance), the dendrogram order, the gradient
// ordering, the cuts, and the middle linkage on a case worked by hand.

#include <gtest/gtest.h>

#include <map>

#include "analysis/clustering.h"
#include "core/numbers.h"
#include "core/random.h"

namespace tav {
namespace {

// dist() of 9 random points in R (set.seed(5)), in R's column-wise lower-triangle order.
const double kDist[] = {5.8665407183450116,  8.7833649588298446, 2.7906271696520122, 5.7355209004936949,
                        6.1858790806157860,  5.3691060708464313, 6.7273546063813230, 10.9190521566663481,
                        3.2195030672450065,  4.2126832304363919, 9.0352476446415135, 6.1628889329599312,
                        7.2283746444135000,  3.9924679084496097, 7.8500573246314582, 6.7762747878166811,
                        10.6066441441202315, 7.3453114297489126, 8.9294008757586862, 4.3656614619092950,
                        6.0367043989249636,  5.9179557281209867, 6.4956831819293646, 6.4074409868527082,
                        5.8099655764901055,  9.2654465623627669, 6.6562526995299693, 5.5804928097794377,
                        7.7188794523557629,  9.4086183895405178, 2.0259812437433862, 3.0263839809250910,
                        7.0758886367720644,  4.7811714045827722, 8.6188514316003850, 5.2349785099845452};

PackedTriangle similarities() {
    PackedTriangle t(9);
    int at = 0;
    for (int j = 0; j < 9; ++j)
        for (int i = j + 1; i < 9; ++i) t.set(i, j, -kDist[at++]);
    return t;
}

// Class numbers renumbered by first appearance, as cutree numbers them.
std::vector<int> canonical(const std::vector<int>& classes) {
    std::map<int, int> seen;
    std::vector<int> out;
    for (int c : classes) out.push_back(seen.emplace(c, static_cast<int>(seen.size()) + 1).first->second);
    return out;
}

struct Expected {
    char linkage;
    std::vector<double> heights;
    std::vector<std::vector<int>> partitions;  // k = 2 … 8
};

TEST(Clustering, AgainstHclust) {
    const Expected cases[] = {
        {'S',
         {2.0259812437433862, 2.7906271696520122, 3.0263839809250910, 3.2195030672450065, 3.9924679084496097,
          4.2126832304363919, 5.2349785099845452, 5.5804928097794377},
         {{1, 1, 1, 1, 2, 1, 1, 1, 1},
          {1, 1, 1, 1, 2, 1, 1, 1, 3},
          {1, 2, 2, 1, 3, 2, 2, 2, 4},
          {1, 2, 2, 1, 3, 4, 4, 4, 5},
          {1, 2, 3, 1, 4, 5, 5, 5, 6},
          {1, 2, 3, 1, 4, 5, 5, 6, 7},
          {1, 2, 3, 4, 5, 6, 6, 7, 8}}},
        {'A',
         {2.0259812437433862, 2.7906271696520122, 3.2195030672450065, 3.9037776927539314, 5.8267383143073408,
          6.3278949405312090, 6.9420717281191342, 8.0511996763103824},
         {{1, 1, 1, 1, 1, 1, 1, 1, 2},
          {1, 2, 2, 1, 1, 1, 1, 1, 3},
          {1, 2, 2, 1, 1, 3, 3, 3, 4},
          {1, 2, 2, 1, 3, 4, 4, 4, 5},
          {1, 2, 2, 1, 3, 4, 4, 5, 6},
          {1, 2, 3, 1, 4, 5, 5, 6, 7},
          {1, 2, 3, 4, 5, 6, 6, 7, 8}}},
        {'C',
         {2.0259812437433862, 2.7906271696520122, 3.2195030672450065, 4.3656614619092950, 5.9179557281209867,
          6.6562526995299693, 7.8500573246314582, 10.9190521566663481},
         {{1, 2, 2, 1, 1, 1, 1, 2, 2},
          {1, 2, 2, 1, 1, 1, 1, 2, 3},
          {1, 2, 2, 1, 1, 3, 3, 2, 4},
          {1, 2, 2, 1, 3, 4, 4, 2, 5},
          {1, 2, 2, 1, 3, 4, 4, 5, 6},
          {1, 2, 3, 1, 4, 5, 5, 6, 7},
          {1, 2, 3, 4, 5, 6, 6, 7, 8}}},
    };
    const PackedTriangle sim = similarities();
    for (const Expected& e : cases) {
        const Dendrogram d = clusterObjects(sim, e.linkage);
        ASSERT_EQ(d.td.size(), 8u);
        for (std::size_t s = 0; s < 8; ++s)
            EXPECT_NEAR(-d.td[s], e.heights[s], 1e-12) << e.linkage << " step " << s;
        for (int k = 2; k <= 8; ++k) {
            EXPECT_EQ(canonical(classesForCount(d, k)), e.partitions[static_cast<std::size_t>(k - 2)])
                << e.linkage << " k " << k;
            // A cut just above the (k − 1)-th lowest merge gives the same classes.
            int count = 0;
            const double cut = d.td[static_cast<std::size_t>(9 - k)];
            EXPECT_EQ(canonical(classesAtCut(d, cut, count)), e.partitions[static_cast<std::size_t>(k - 2)]);
            EXPECT_EQ(count, k);
        }
        // One class: nothing is split, however low the root merge.
        EXPECT_EQ(canonical(classesForCount(d, 1)), std::vector<int>(9, 1));
        // Every object once in the order.
        std::vector<int> order = dendrogramOrder(d);
        std::sort(order.begin(), order.end());
        EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
}

TEST(Clustering, OrderGradientAndMiddleLinkage) {
    // Four objects: 0–1 and 2–3 close, the pairs far apart.
    PackedTriangle sim(4);
    const double s[4][4] = {{0, 9, 1, 2}, {9, 0, 3, 1}, {1, 3, 0, 8}, {2, 1, 8, 0}};
    for (int i = 1; i < 4; ++i)
        for (int j = 0; j < i; ++j) sim.set(i, j, s[i][j]);
    Dendrogram d = clusterObjects(sim, 'A');
    EXPECT_EQ(d.ta, (std::vector<int>{-1, -3, 1}));
    EXPECT_EQ(d.tb, (std::vector<int>{-2, -4, 2}));
    EXPECT_EQ(d.td, (std::vector<double>{9, 8, 1.75}));
    EXPECT_EQ(dendrogramOrder(d), (std::vector<int>{1, 2, 3, 4}));
    // A gradient puts the lower values first; a missing value leaves its merge as it is.
    orderByGradient(d, {4, 3, kMissing, 1});
    EXPECT_EQ(dendrogramOrder(d), (std::vector<int>{3, 4, 2, 1}));
    // Middle linkage: with clusters of at most 13 members it is the average.
    const Dendrogram m = clusterObjects(sim, 'M');
    EXPECT_EQ(m.td, (std::vector<double>{9, 8, 1.75}));
}

// The classes of k clusters by merging, over the full matrix, the most similar pair of clusters until k
// are left: the plain rule the chain must agree with when no two similarities are equal.
std::vector<std::vector<int>> plainMergingClasses(const PackedTriangle& sim, char linkage,
                                                  std::vector<double>& heights) {
    const int n = sim.size();
    std::vector<std::vector<double>> s(static_cast<std::size_t>(n),
                                       std::vector<double>(static_cast<std::size_t>(n)));
    for (int i = 1; i < n; ++i)
        for (int j = 0; j < i; ++j) s[i][j] = s[j][i] = sim.at(i, j);
    std::vector<int> of(static_cast<std::size_t>(n));
    std::vector<double> size(static_cast<std::size_t>(n), 1);
    std::vector<char> active(static_cast<std::size_t>(n), 1);
    for (int i = 0; i < n; ++i) of[i] = i;
    std::vector<std::vector<int>> classes(static_cast<std::size_t>(n + 1));
    classes[static_cast<std::size_t>(n)] = canonical(of);
    for (int left = n; left > 1; --left) {
        int a = -1, b = -1;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                if (active[i] && active[j] && (a < 0 || s[i][j] > s[a][b])) {
                    a = i;
                    b = j;
                }
        heights.push_back(s[a][b]);
        for (int k = 0; k < n; ++k) {
            if (!active[k] || k == a || k == b) continue;
            const double v = linkage == 'S'   ? std::max(s[a][k], s[b][k])
                             : linkage == 'C' ? std::min(s[a][k], s[b][k])
                                              : (size[a] * s[a][k] + size[b] * s[b][k]) / (size[a] + size[b]);
            s[a][k] = s[k][a] = v;
        }
        size[a] += size[b];
        active[b] = 0;
        for (int& c : of)
            if (c == b) c = a;
        classes[static_cast<std::size_t>(left - 1)] = canonical(of);
    }
    return classes;
}

TEST(Clustering, LargeMatrixAgreesWithPlainMerging) {
    // Enough objects for the chain to move its active clusters together several times.
    const int n = 600;
    Random random(11);
    PackedTriangle sim(n);
    for (int i = 1; i < n; ++i)
        for (int j = 0; j < i; ++j) sim.set(i, j, -random.uniform());
    for (char linkage : {'S', 'A', 'C'}) {
        std::vector<double> heights;
        const auto classes = plainMergingClasses(sim, linkage, heights);
        PackedTriangle copy = sim;
        const Dendrogram d = clusterObjects(std::move(copy), linkage);
        EXPECT_EQ(d.td.size(), heights.size());
        for (std::size_t s = 0; s < heights.size() && s < d.td.size(); ++s)
            ASSERT_NEAR(d.td[s], heights[s], 1e-12) << linkage << " step " << s;
        for (int k : {2, 3, 5, 10, 50, 200, 599})
            EXPECT_EQ(canonical(classesForCount(d, k)), classes[static_cast<std::size_t>(k)])
                << linkage << " k " << k;
        // The matrix given by reference stays as it was and gives the same tree.
        const Dendrogram again = clusterObjects(sim, linkage);
        EXPECT_EQ(again.ta, d.ta);
        EXPECT_EQ(again.tb, d.tb);
        EXPECT_EQ(again.td, d.td);
    }
}

}  // namespace
}  // namespace tav
