// The test engine: the approximate tests on the worked cases, the t-test of a correlation, resampling
// p-values and their digits, descriptive values, headings, and the spatial indices.

#include <gtest/gtest.h>

#include "analysis/stat_tests.h"
#include "core/random.h"
#include "platform/progress.h"

namespace tav {
namespace {

std::string flags(std::initializer_list<int> on) {
    std::string s(30, '0');
    for (int p : on) s[static_cast<std::size_t>(p)] = '1';
    return s;
}

std::vector<std::string> run(int mode, std::initializer_list<int> on,
                             std::initializer_list<std::pair<double, int>> values, int decimals = 4) {
    TStatTests t(mode, flags(on));
    for (const auto& [x, f] : values) t.add(x, f);
    Random random(11);
    return t.results(decimals, random);
}

using Fields = std::vector<std::string>;

TEST(StatTests, ApproximateTests) {
    // Sign test and signed-rank test against 0 (R: prop.test(3, 3, correct = FALSE) one-sided;
    // wilcox.test(c(-1, 2, 3), exact = FALSE, correct = TRUE) one-sided).
    EXPECT_EQ(run(0, {0}, {{1, 0}, {2, 0}, {3, 0}}, 5), Fields{"0.04163"});
    EXPECT_EQ(run(0, {1}, {{-1, 0}, {2, 0}, {3, 0}}), Fields{"0.2113"});
    // All differences zero: no evidence either way.
    EXPECT_EQ(run(0, {1}, {{0, 0}, {0, 0}}), Fields{"1.0000"});
    // Binomial test: 20 values, 8 above 0; a group of 6 with 4 above 0.
    TStatTests binomial(1, flags({0}));
    for (int i = 0; i < 20; ++i) binomial.add(i < 8 ? 1 : 0, (i < 4 || (i >= 8 && i < 10)) ? 1 : 0);
    Random random(1);
    EXPECT_EQ(binomial.results(4, random), Fields{"0.0912"});
    // Rank-sum test (R: wilcox.test(c(1.2, 3.4, 5.1), c(0.3, 2.2, 4.4, 6.6, 7.7), exact = FALSE,
    // correct = FALSE) one-sided).
    EXPECT_EQ(run(1, {1}, {{1.2, 1}, {3.4, 1}, {5.1, 1}, {0.3, 0}, {2.2, 0}, {4.4, 0}, {6.6, 0}, {7.7, 0}}),
              Fields{"0.3274"});
    // An empty group: nothing to test.
    EXPECT_EQ(run(1, {0, 1}, {{1, 0}, {2, 0}}), (Fields{"", ""}));
    // Correlation of two variables by its t-test with n − 2 degrees of freedom (R: cor.test one-sided).
    EXPECT_EQ(
        run(2, {2, 6, 8}, {{1, 0}, {2, 1}, {2, 0}, {1, 1}, {3, 0}, {4, 1}, {4, 0}, {3, 1}, {5, 0}, {6, 1}}),
        (Fields{"0.0439", "0.8220", "5.0000"}));
}

TEST(StatTests, ResamplingDescriptiveValuesAndHeadings) {
    // Every draw of a randomisation falls strictly below a mean of all-positive values but one: the
    // p-value has three digits with 1000 draws and four with 10 000.
    const auto fields =
        run(0, {2, 20, 21, 22}, {{5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}, {10, 0}, {11, 0}, {12, 0}});
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].size(), 5u);
    EXPECT_EQ(fields[1].size(), 6u);
    EXPECT_LT(std::stod(fields[1]), 0.01);
    EXPECT_EQ(run(0, {4, 6, 7, 11}, {{-1, 0}, {0, 0}, {2, 0}, {3, 0}}, 2),
              (Fields{"1.00", "1.00", "4.00", "0.25"}));
    // Esc leaves the resampling p-values empty.
    TStatTests stopped(0, flags({2, 20, 22}));
    for (double v : {1.0, 2.0, 3.0}) stopped.add(v, 0);
    Progress progress;
    progress.requestAbort();
    Random random(3);
    EXPECT_EQ(stopped.results(2, random, &progress), Fields{""});
    TStatTests t(1, flags({1, 3, 21, 24, 4, 15}));
    EXPECT_EQ(t.headings(), (Fields{"Wilcoxon-Test approx.", "Bootstrap 10000x (Rangsumme)",
                                    "Arithmetisches Mittel der Klasse", "Anzahl Werte gesamt"}));
}

TEST(StatTests, SpatialIndices) {
    EXPECT_FALSE(dispersionIndex({4}));
    EXPECT_FALSE(dispersionIndex({0, 0, 0}));
    EXPECT_DOUBLE_EQ(*dispersionIndex({2, 2, 2}), 0);
    EXPECT_DOUBLE_EQ(*dispersionIndex({1, 3}), 1);
    // One pair of each kind: the continuity correction would exceed |ad − bc| and gives 0.
    const Association one = associationOf({{true, true}, {true, false}, {false, true}, {false, false}});
    EXPECT_EQ(*one.index, 0);
    EXPECT_EQ(*one.chiSquare, 0);
    const Association same = associationOf({{true, true}, {true, true}, {false, false}});
    EXPECT_EQ(*same.index, 1);
    const Association never = associationOf({{true, true}, {true, true}});
    EXPECT_FALSE(never.chiSquare);
}

}  // namespace
}  // namespace tav
