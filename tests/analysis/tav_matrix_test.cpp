// The result matrix: symmetric storage, the replacement of missing cells, the block product.

#include <gtest/gtest.h>

#include "analysis/tav_matrix.h"
#include "core/numbers.h"

namespace tav {
namespace {

TEST(TavMatrix, SymmetricCellsAndMissingValues) {
    TTavMatrix m = TTavMatrix::symmetric("Aufnahmen", PackedTriangle(3), {1, 1, 1});
    m.Put(0, 2, kMissing);
    m.Put(1, 0, -4);
    EXPECT_EQ(m.Get(2, 0), kMissing);  // one cell for both orders
    EXPECT_EQ(m.Get(0, 1), -4);
    m.ReplaceNaCodes();
    EXPECT_EQ(m.Get(0, 2), -4);  // the smallest value of the matrix
    // A matrix without any value keeps its missing cells rather than taking a made-up number.
    TTavMatrix empty("x", 2, 1);
    empty.Put(0, 0, kMissing);
    empty.Put(1, 0, kMissing);
    empty.ReplaceNaCodes();
    EXPECT_TRUE(isMissing(empty.Get(1, 0)));
    double lo = 0, hi = 0;
    EXPECT_FALSE(empty.range(lo, hi));
}

TEST(TavMatrix, ProductOfBlocks) {
    // x: 2 rows × 3 columns, y: 3 rows × 2 columns; the product of the whole blocks is 2 × 2.
    TTavMatrix x("x", 3, 2), y("y", 2, 3), z("z", 2, 2);
    const double xv[2][3] = {{1, 2, 3}, {4, 5, 6}};
    const double yv[3][2] = {{1, 0}, {0, 1}, {2, 2}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) x.Put(c, r, xv[r][c]);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) y.Put(c, r, yv[r][c]);
    z.Produkt(x, 0, 2, 0, 1, y, 0, 1, 0, 2);
    EXPECT_EQ(z.Get(0, 0), 7);
    EXPECT_EQ(z.Get(1, 0), 8);
    EXPECT_EQ(z.Get(0, 1), 16);
    EXPECT_EQ(z.Get(1, 1), 17);
}

}  // namespace
}  // namespace tav
