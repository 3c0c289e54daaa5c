// Indicator values of releves from small hand-made views: weighted statistics, the means with variance
// data, the density maxima (with a range far too wide for the minimal spread), the splitting of composite
// values and the shares, counts and ranks of categories.

#include "analysis/indicator_values.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/numbers.h"
#include "core/random.h"

namespace tav {
namespace {

constexpr double M = kMissing;

// A view of one releve per entry list over `species` rows.
WeightView viewOf(int species, const std::vector<ReleveSpecies>& releves) {
    WeightView v;
    v.species = species;
    v.releves = static_cast<int>(releves.size());
    v.byReleve = releves;
    v.bySpecies.assign(static_cast<std::size_t>(species), {});
    for (int c = 0; c < v.releves; ++c)
        for (const auto& [row, w] : releves[static_cast<std::size_t>(c)])
            v.bySpecies[static_cast<std::size_t>(row)].emplace_back(c, w);
    return v;
}

TEST(IndicatorValues, WeightedMeanOfEachReleveLeavesOutSpeciesWithoutValue) {
    // Releve 0: values 2 (weight 1) and 6 (weight 3), row 2 has no value; releve 1: only row 2.
    const WeightView v = viewOf(3, {{{0, 1.0}, {1, 3.0}, {2, 5.0}}, {{2, 2.0}}});
    StatSelection sel;
    sel.set(0, '1');  // mean
    sel.set(2, '1');  // weighted mean
    Random random(1);
    const auto stats = releveStatistics(v, {2, 6, M}, sel, 0, 0, random);
    ASSERT_EQ(stats.size(), 2u);
    ASSERT_EQ(stats[0].size(), 2u);
    EXPECT_DOUBLE_EQ(stats[0][0].value, 4);
    EXPECT_DOUBLE_EQ(stats[0][1].value, 5);
    EXPECT_FALSE(stats[1][0].ok);
    EXPECT_FALSE(stats[1][1].ok);
}

TEST(IndicatorValues, VarianceWeightedMean) {
    struct Case {
        const char* what;
        VarianceOptions o;
        RowValues values, variances;
        double mean;
    };
    // Species 0 has spread 0.2 above the minimal spread 0.1: its cover weight 3 becomes 1.5; species 1
    // (spread 0.05) keeps its weight 3. So the mean of 0 and 10 is 10·3 / 4.5.
    const std::vector<Case> cases = {
        {"square root of the variance", {1, true, 0.1}, {0, 10}, {0.04, 0.0025}, 10 * 3 / 4.5},
        {"variance itself: 0.04 is below 0.1", {2, true, 0.1}, {0, 10}, {0.04, 0.0025}, 5},
        {"no variance weighting", {0, true, 0.1}, {0, 10}, {0.04, 0.0025}, 5},
        {"without cover all weigh 1, then 0.5", {1, false, 0.1}, {0, 10}, {0.04, 0.0025}, 10 / 1.5},
        {"a negative variance counts as 0", {1, true, 0.1}, {0, 10}, {-4, 0.0025}, 5},
        {"no value at all", {1, true, 0.1}, {M, M}, {0.04, 0.0025}, M},
    };
    for (const Case& c : cases) {
        const double m = varianceWeightedMean({{0, 3.0}, {1, 3.0}}, c.values, c.variances, c.o);
        EXPECT_NEAR(m, c.mean, 1e-12) << c.what;
    }
}

TEST(IndicatorValues, InterpolatedMeanNeedsAPair) {
    const VarianceOptions o{0, false, 0.1};
    EXPECT_DOUBLE_EQ(interpolatedMean({{0, 1.0}, {1, 1.0}}, {2, 6}, {1, 1}, o), 4);
    EXPECT_EQ(interpolatedMean({{0, 1.0}}, {2, 6}, {1, 1}, o), M);
    EXPECT_EQ(interpolatedMean({{0, 1.0}, {1, 1.0}}, {2, M}, {1, 1}, o), M);
    // Unequal spreads pull the pair's value toward the species with the smaller spread.
    const double e = interpolatedMean({{0, 1.0}, {1, 1.0}}, {2, 6}, {1, 9}, o);
    EXPECT_DOUBLE_EQ(e, (2 + 4 * 0.25 + 6 - 4 * 0.75) / 2);
}

TEST(IndicatorValues, MinimalSpreadNeverBelowTheLeast) {
    EXPECT_DOUBLE_EQ(minimalSpread("0.1"), 0.1);
    EXPECT_DOUBLE_EQ(minimalSpread("0.00001"), 0.0001);
    EXPECT_DOUBLE_EQ(minimalSpread("abc"), 0.0001);
}

TEST(IndicatorValues, DensityPeaksOfRangesAndDistributions) {
    const VarianceOptions o{0, false, 0.1};
    // Two species at 2 and one at 6: the higher maximum is at 2, both with the minimal spread.
    const auto peaks = densityPeaks({{0, 1.0}, {1, 1.0}, {2, 1.0}}, {2, 2, 6}, nullptr, o);
    ASSERT_EQ(peaks.size(), 2u);
    EXPECT_NEAR(peaks[0].position, 2, 1e-9);
    EXPECT_NEAR(peaks[1].position, 6, 1e-9);
    EXPECT_NEAR(peaks[0].spread, 0.1, 0.011);
    EXPECT_NEAR(peaks[0].height, 2 * peaks[1].height, 1e-9);
    // Weighted by cover the single species wins.
    VarianceOptions byCover = o;
    byCover.wDeck = true;
    EXPECT_NEAR(densityPeaks({{0, 1.0}, {1, 1.0}, {2, 5.0}}, {2, 2, 6}, nullptr, byCover)[0].position, 6,
                1e-9);
    // Two species half a unit apart: separate ranges with the minimal spread, one maximum between them
    // when their distributions have the spread 1.
    const RowValues variances = {1, 1};
    EXPECT_EQ(densityPeaks({{0, 1.0}, {1, 1.0}}, {2, 2.5}, nullptr, o).size(), 2u);
    const auto merged = densityPeaks({{0, 1.0}, {1, 1.0}}, {2, 2.5}, &variances, o);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_NEAR(merged[0].position, 2.25, 1e-9);
    // No value: no maximum.
    EXPECT_TRUE(densityPeaks({{0, 1.0}}, {M}, nullptr, o).empty());
}

TEST(IndicatorValues, DensityGridStaysBoundedForTheLeastSpread) {
    // A range of 1 to 9 with the least minimal spread would need 800 000 points a releve; the grid keeps
    // its bound (a coarser step, each kernel at least a step wide) and still finds both ends, each within
    // a step.
    const VarianceOptions o{0, false, kLeastMinimalSpread};
    const auto peaks = densityPeaks({{0, 1.0}, {1, 1.0}}, {1, 9}, nullptr, o);
    ASSERT_EQ(peaks.size(), 2u);
    const double step = 8.0 / (kMaxDensityPoints - 1);
    EXPECT_NEAR(std::min(peaks[0].position, peaks[1].position), 1, step);
    EXPECT_NEAR(std::max(peaks[0].position, peaks[1].position), 9, step);
    for (const DensityPeak& p : peaks) EXPECT_TRUE(std::isfinite(p.height) && p.height > 0);
}

TEST(IndicatorValues, SplittingCompositeValues) {
    const auto level = [](const char* type, int levels, bool range, bool na, char sep) {
        CompositeOptions o;
        o.lower = {true, type, levels, range, na, sep};
        return o;
    };
    using C = std::vector<Component>;
    struct Case {
        const char* text;
        CompositeOptions o;
        C expected;
    };
    const double third = 1.0 / 3;
    const std::vector<Case> cases = {
        {"5x3", level("List1x", 0, true, false, '0'), C{{"5", third}, {"x", third}, {"3", third}}},
        {"5x3", level("Hier", 0, true, false, '0'), C{{"5", 1}, {"5x", 1}, {"5x3", 1}}},
        {"5x3", level("ListOhne", 2, true, false, '0'), C{{"5", 1}, {"x", 1}}},
        {"5x3", level("ListOhne", 2, false, true, '0'), C{{"x", 1}}},
        {"5x", level("ListOhne", 3, true, true, '0'), C{}},                     // "*3": incomplete is missing
        {"5x", level("ListOhne", 3, true, false, '0'), C{{"5", 1}, {"x", 1}}},  // "-3": its own class
        {"4.7.1", level("ordLin", 0, true, false, '.'), C{{"4", 3}, {"7", 2}, {"1", 1}}},
        {"4.7", level("ordGeo", 0, true, false, '.'), C{{"4", 0.5}, {"7", 0.25}}},
        {"a, b, c, d", level("List1wx", 0, true, false, ','),
         C{{"a", 0.5}, {"b", 0.5}, {"c", 0.5}, {"d", 0.5}}},
        {"", level("List1x", 0, true, false, '0'), C{}},
        {"5x3", CompositeOptions{}, C{{"5x3", 1}}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitComposite(c.text, c.o), c.expected) << c.text;

    // The upper level splits first, the lower one each part.
    CompositeOptions two = level("List1x", 0, true, false, '0');
    two.upper = {true, "List1x", 0, true, false, ' '};
    EXPECT_EQ(splitComposite("ab c", two), (C{{"a", 0.25}, {"b", 0.25}, {"c", 0.5}}));
}

TEST(IndicatorValues, CategorySharesCountsAndRanks) {
    // Rows: 0 "A", 1 "B", 2 no value, 3 "A" but nowhere present. Releve 0: A (2), B (6), none (2);
    // releve 1: only the species without value; releve 2 empty.
    const WeightView v = viewOf(4, {{{0, 2.0}, {1, 6.0}, {2, 2.0}}, {{2, 1.0}}, {}});
    const RowCategories rows = {{{"A", 1}}, {{"B", 1}}, {}, {{"A", 1}}};
    const CategoryTable byCover = categoryShares(v, rows, true, false);
    ASSERT_EQ(byCover.categories, (std::vector<std::string>{"A", "B", "NA"}));
    EXPECT_DOUBLE_EQ(byCover.share[0][0], 0.2);
    EXPECT_DOUBLE_EQ(byCover.share[1][0], 0.6);
    EXPECT_DOUBLE_EQ(byCover.share[2][1], 1);
    EXPECT_EQ(byCover.share[0][2], M);
    EXPECT_EQ(byCover.count[0][0], 1);
    EXPECT_EQ(byCover.count[2][2], 0);
    EXPECT_EQ(rankedCategories(byCover, 0, 2), (std::vector<int>{1, 0}));
    EXPECT_EQ(rankedCategories(byCover, 0, 0), (std::vector<int>{1, 0, 2}));  // equal shares keep order

    const CategoryTable ignoring = categoryShares(v, rows, false, true);
    ASSERT_EQ(ignoring.categories, (std::vector<std::string>{"A", "B"}));
    EXPECT_DOUBLE_EQ(ignoring.share[0][0], 0.5);
    EXPECT_EQ(ignoring.share[0][1], M);
}

TEST(IndicatorValues, ClassesByBounds) {
    const std::vector<double> bounds = {0, 2.4, 3.6, 6};
    for (const auto& [x, k] : std::vector<std::pair<double, int>>{
             {0, 1}, {2.4, 1}, {2.5, 2}, {3.6, 2}, {6, 3}, {6.1, 0}, {-1, 0}, {M, 0}})
        EXPECT_EQ(classOf(x, bounds), k) << x;
}

TEST(IndicatorValues, ScalingAColumn) {
    struct Case {
        ScaleMethod method;
        std::vector<double> x, reference, expected;
        double factor;
    };
    const std::vector<double> none;
    const double q = 0.6744897501960817;  // the normal quantile of 3/4
    const std::vector<Case> cases = {
        {ScaleMethod::Centred, {1, M, 3, 5}, none, {-2, M, 0, 2}, 1},
        {ScaleMethod::Standardised, {1, 3, 5}, none, {-1, 0, 1}, 0.5},
        {ScaleMethod::Standardised, {4, 4}, none, {M, M}, M},  // no spread
        {ScaleMethod::Shares, {1, 3}, none, {0.25, 0.75}, 0.25},
        {ScaleMethod::Scaled, {-8, 2}, none, {-1, 0.25}, 0.125},
        {ScaleMethod::Divided, {6, 6, M}, {3, 0, 2}, {2, M, M}, M},
        {ScaleMethod::Ranked, {5, 1, 5, M}, none, {2.5, 1, 2.5, M}, M},
        {ScaleMethod::Uniform, {5, 1, 9}, none, {0.5, 0, 1}, M},
        {ScaleMethod::Normal, {1, 2}, none, {-q, q}, M},
        {ScaleMethod::Calibrated, {1, 2, 3}, {12, 14, 16}, {12, 14, 16}, 2},
        {ScaleMethod::Calibrated, {1, 2}, {12, M}, {M, M}, M},  // one pair gives no line
    };
    for (const Case& c : cases) {
        double factor = 0;
        const std::vector<double> got = scaledColumn(c.x, c.method, c.reference, factor);
        ASSERT_EQ(got.size(), c.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.expected[i], 1e-9) << static_cast<int>(c.method) << " at " << i;
        EXPECT_NEAR(factor, c.factor, 1e-9) << static_cast<int>(c.method);
    }
}

TEST(IndicatorValues, ColumnsFollowTheFactorOfTheirScaledColumn) {
    // N scaled by its largest value (factor 1/8); S its spread follows linearly, V its variance
    // quadratically, T is kept; R follows a column that is kept, so it has no factor.
    const std::vector<std::vector<double>> in = {{2, 8}, {1, M}, {4, 16}, {3, 4}, {5, 6}};
    const std::vector<ColumnPlan> plans = {{ColumnScaling::Scale, -1},
                                           {ColumnScaling::Linear, 0},
                                           {ColumnScaling::Quadratic, 0},
                                           {ColumnScaling::Keep, -1},
                                           {ColumnScaling::Linear, 3}};
    const auto out = scaleColumns(in, plans, ScaleMethod::Scaled, {});
    EXPECT_EQ(out, (std::vector<std::vector<double>>{
                       {0.25, 1}, {0.125, M}, {4.0 / 64, 16.0 / 64}, {3, 4}, {M, M}}));
    // Ranks have no factor: a following column becomes missing.
    EXPECT_EQ(scaleColumns({{2, 8}, {1, 1}}, {{ColumnScaling::Scale, -1}, {ColumnScaling::Linear, 0}},
                           ScaleMethod::Ranked, {})[1],
              (std::vector<double>{M, M}));
}

TEST(IndicatorValues, QuantileHistogram) {
    // Values 1 … 5: quartiles 2, 3, 4; bins 1–2 (1 and 2), 2–3, 3–4, 4–5 with one value each, per 0.5.
    const QuantileHistogram h = quantileHistogram({5, 1, M, 4, 2, 3}, {0.25, 0.5, 0.75}, 0.5);
    EXPECT_EQ(h.quantiles, (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(h.density, (std::vector<double>{1, 0.5, 0.5, 0.5}));
    // Between order statistics as R's quantile(type = 7); equal values make bins without width.
    EXPECT_DOUBLE_EQ(quantileHistogram({1, 2}, {0.1}, 1).quantiles[0], 1.1);
    const QuantileHistogram same = quantileHistogram({3, 3}, {0.5}, 1);
    EXPECT_EQ(same.quantiles, (std::vector<double>{3}));
    EXPECT_EQ(same.density, (std::vector<double>{M, M}));
    EXPECT_EQ(quantileHistogram({M}, {0.5}, 1).quantiles, (std::vector<double>{M}));
}

TEST(IndicatorValues, AffinitiesToCategories) {
    // Releves 0, 1 in category 0, releve 2 in category 1, releve 3 in none. Row 0: weight 1 in each of 0,
    // 1, 2 and 5 in releve 3 (left out); row 1 only in category 1; row 2 nowhere.
    const WeightView v = viewOf(3, {{{0, 1.0}}, {{0, 1.0}}, {{0, 1.0}, {1, 2.0}}, {{0, 5.0}}});
    const auto a = categoryAffinities(v, {0, 0, 1, -1}, 3);
    EXPECT_EQ(a[0], (std::vector<double>{1, 1, M}));  // category 2 has no releve
    EXPECT_EQ(a[1], (std::vector<double>{0, 3, M}));
    EXPECT_EQ(a[2], (std::vector<double>{M, M, M}));
}

}  // namespace
}  // namespace tav
