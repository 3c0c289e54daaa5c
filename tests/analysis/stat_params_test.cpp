// The statistics engine: the parameters on small samples with known values, the trimmed range, the
// missing-value rules, the counts below which a parameter is missing, labels and bootstrap bounds.

#include <gtest/gtest.h>

#include "analysis/ranking.h"
#include "analysis/stat_params.h"
#include "core/numbers.h"
#include "core/random.h"

namespace tav {
namespace {

// A selection with the given positions on.
StatSelection select(std::initializer_list<int> positions, char naRule = '0', bool bootstrap = false) {
    std::string flags(StatSelection::kSize, '0');
    for (int p : positions) flags[static_cast<std::size_t>(p)] = '1';
    flags[32] = naRule;
    if (bootstrap) flags[33] = '1';
    return StatSelection(flags);
}

// The results of values as cell texts with four decimals.
std::vector<std::string> texts(const StatSelection& sel, std::initializer_list<double> values) {
    TStatParams p(sel);
    for (double v : values) p.add(v, 1);
    std::vector<std::string> out;
    for (const StatValue& v : p.results()) out.push_back(statCellText(v, 4));
    return out;
}

using Texts = std::vector<std::string>;

TEST(StatParams, OneToFour) {
    // mean, sd, Conf95, se, Conf95 of the mean, variance, median, MAD, count
    EXPECT_EQ(texts(select({0, 3, 4, 7, 8, 11, 16, 18, 19}), {1, 2, 3, 4}),
              (Texts{"2.5", "1.291", "2.5303", "0.6455", "1.2652", "1.6667", "2.5", "1", "4"}));
    EXPECT_EQ(texts(select({20}), {4, 1, 3, 2}), (Texts{"1", "1.15", "1.75", "2.5", "3.25", "3.85", "4"}));
    // sum, weighted sum (weights 1), difference, absolute difference, product, quotient
    EXPECT_EQ(texts(select({26, 27, 28, 29, 30, 31}), {1, 2, 3, 4}),
              (Texts{"10", "10", "-8", "-2", "24", "0.0417"}));
}

TEST(StatParams, TrimmedMeanCountsAndMissingValues) {
    EXPECT_EQ(trimmedRange(10), (std::pair<int, int>{1, 8}));
    EXPECT_EQ(trimmedRange(6), (std::pair<int, int>{0, 4}));  // halves to even
    EXPECT_EQ(texts(select({1}), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), Texts{"5.5"});
    EXPECT_EQ(texts(select({1}), {1, 2, 3, 4, 5, 6}), Texts{"3"});
    // One value: mean and median are the value, the spread is missing; a product needs two values, and
    // a zero divisor makes the quotient missing.
    EXPECT_EQ(texts(select({0, 3, 7, 11, 16, 30}), {7}), (Texts{"7", "NA", "NA", "NA", "7", "NA"}));
    EXPECT_EQ(texts(select({31}), {6, 0, 2}), Texts{"NA"});
    // Missing values: left out, everything missing, or counted as 0.
    const std::initializer_list<double> withNa = {1, kMissing, 3};
    EXPECT_EQ(texts(select({0, 19}), withNa), (Texts{"2", "2"}));
    EXPECT_EQ(texts(select({0, 19}, '1'), withNa), (Texts{"NA", "NA"}));
    EXPECT_EQ(texts(select({0, 19}, '2'), withNa), (Texts{"1.3333", "3"}));
    // The weighted mean needs a positive sum of weights.
    TStatParams w(select({2}));
    w.add(2, 1);
    w.add(6, 3);
    EXPECT_EQ(statCellText(w.results()[0], 4), "5");
    TStatParams none(select({2}));
    none.add(2, 0);
    EXPECT_EQ(statCellText(none.results()[0], 4), "NA");
}

TEST(StatParams, LabelsAndBootstrapBounds) {
    const StatSelection sel = select({16, 19}, '0', true);
    EXPECT_EQ(TStatParams::labels(sel, true, 68.27),
              (Texts{"Median", "15.865%-Grenze Median", "84.135%-Grenze Median", "Anzahl Werte",
                     "15.865%-Grenze Anzahl Werte", "84.135%-Grenze Anzahl Werte"}));
    EXPECT_EQ(TStatParams::columnNames(select({3, 21}), false, 68.27, "Höhe").at(1), "Q_10_Höhe");
    TStatParams p(sel);
    for (int i = 1; i <= 50; ++i) p.add(i, 1);
    Random random(7);
    const std::vector<StatValue> r = p.results(1000, 95, random);
    ASSERT_EQ(r.size(), 6u);
    EXPECT_DOUBLE_EQ(r[0].value, 25.5);
    EXPECT_LT(r[1].value, 25.5);
    EXPECT_GT(r[2].value, 25.5);
    EXPECT_GT(r[1].value, 15);
    EXPECT_LT(r[2].value, 36);
    // Every resample has the same count.
    EXPECT_EQ(r[4].value, 50);
    EXPECT_EQ(r[5].value, 50);
}

TEST(Ranking, MidRanksAndQuantiles) {
    EXPECT_EQ(midRanks({3, 1, 3, 2}), (std::vector<double>{3.5, 1, 3.5, 2}));
    EXPECT_DOUBLE_EQ(quantileOfSorted({1, 2, 3, 4}, 0.25), 1.75);
    EXPECT_DOUBLE_EQ(quantileOfSorted({5}, 0.9), 5);
}

}  // namespace
}  // namespace tav
