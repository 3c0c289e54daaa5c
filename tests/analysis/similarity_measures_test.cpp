// The similarity measures of two vectors against R (stats, vegan), double zeros, missing pairs, and the
// numerical faults of the sum formulas.

#include <gtest/gtest.h>

#include "analysis/similarity_measures.h"
#include "core/numbers.h"

namespace tav {
namespace {

const std::vector<double> kX = {3, 0, 1.5, 2, 0, 7, 0.5};
const std::vector<double> kY = {1, 0, 2.5, 0, 4, 6, 0.5};

TEST(SimilarityMeasures, AgainstR) {
    struct Case {
        int code;
        double expected;
    };
    // R: mean(abs(x - y)), dist(), vegdist(chord), cor(), cor(spearman), cor()^2, cov(), sum(x * y),
    // centred cross product, 1 - vegdist(jaccard, binary), Ochiai, van der Maarel; 22 and 25 on the
    // pairs without double zeros; 11 the 25 % quantile of abs(x - y).
    const Case cases[] = {
        {1, -1.42857142857142860},
        {8, -5.09901951359278449},
        {9, -0.64658199466872057},
        {2, 0.61932353728533240},
        {3, 0.31818181818181818},
        {4, 0.38356164383561653},
        {5, 3.5},
        {6, 49},
        {7, 21},
        {43, 0.66666666666666663},
        {41, 0.79096586208510933},
        {42, 0.65333333333333332},
        {22, 0.55885154259888126},
        {25, 3.26666666666666661},
        {44, (0.61932353728533240 + 1) / 2},
        {46, 4},
        {47, 0.8},
        {48, 0.8},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(similarityMeasure(c.code, false, kX, kY), c.expected, 1e-12) << c.code;
    EXPECT_NEAR(similarityMeasure(11, false, kX, kY, 0.25), -0.5, 1e-12);
    EXPECT_EQ(measureName(9), "Sehnendistanz");
    EXPECT_EQ(measureName(99), "Resultat");
}

TEST(SimilarityMeasures, MissingPairsAndRounding) {
    std::vector<double> x = kX, y = kY;
    y[1] = kMissing;
    // Without the flag the pair is skipped; with it a distance is missing (0 would be the most similar)
    // and a correlation 0.
    EXPECT_NEAR(similarityMeasure(1, false, x, y), -10.0 / 6, 1e-12);
    EXPECT_TRUE(isMissing(similarityMeasure(1, true, x, y)));
    EXPECT_EQ(similarityMeasure(2, true, x, y), 0);
    EXPECT_EQ(similarityMeasure(46, true, x, y), 4);  // the presence codes count no missing pairs
    // Vectors of different lengths.
    EXPECT_TRUE(isMissing(similarityMeasure(1, false, {1, 2}, {1})));
    EXPECT_EQ(similarityMeasure(2, false, {1, 2}, {1}), 0);
    // Near-identical large vectors: the distance of the differences, not the difference of huge sums;
    // a chord never beyond its range.
    const std::vector<double> big = {1e9, 2e9, 3e9}, close = {1e9, 2e9, 3e9 + 1};
    EXPECT_DOUBLE_EQ(similarityMeasure(8, false, big, close), -1);
    EXPECT_EQ(similarityMeasure(9, false, big, big), 0);
    // The centred cross product of shifted values keeps its precision.
    EXPECT_NEAR(similarityMeasure(7, false, {1e8 + 1, 1e8 + 2, 1e8 + 3}, {1e8 + 1, 1e8 + 2, 1e8 + 3}), 2,
                1e-9);
}

}  // namespace
}  // namespace tav
