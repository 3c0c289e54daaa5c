// The diversity indices of a releve, the species change between neighbouring releves (over many rows
// and along one row), and alpha, beta and gamma diversity with and without the random draw of columns.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/diversity.h"
#include "core/menge.h"
#include "core/numbers.h"
#include "core/random.h"

namespace tav {
namespace {

// A view from the present rows of each releve (weight 1 unless given).
WeightView viewOf(const std::vector<PresentRows>& releves, int species) {
    WeightView v;
    v.releves = static_cast<int>(releves.size());
    v.species = species;
    v.byReleve = releves;
    v.bySpecies.resize(static_cast<std::size_t>(species));
    for (int c = 0; c < v.releves; ++c)
        for (const auto& [row, w] : releves[static_cast<std::size_t>(c)])
            v.bySpecies[static_cast<std::size_t>(row)].emplace_back(c, w);
    return v;
}

PresentRows rowsOf(std::initializer_list<int> rows) {
    PresentRows out;
    for (int r : rows) out.emplace_back(r, 1.0);
    return out;
}

TEST(Diversity, IndicesOfOneReleve) {
    struct Case {
        const char* what;
        PresentRows present;
        std::array<double, kDiversityIndexCount> expected;  // H, J, U, D, E
    };
    const double r2 = std::sqrt(2.0);
    const Case cases[] = {
        // R: diversity(c(1,2,3,4)), H / log(4), sqrt(sum(x^2)), (W-U)/(W-sqrt(W)), (W-U)/(W-W/sqrt(S)).
        {"weights 1 to 4",
         {{0, 1}, {1, 2}, {2, 3}, {3, 4}},
         {1.2798542258336676, 0.9232196723355078, 5.477225575051661, 0.6614445863942046, 0.9045548849896677}},
        {"no species", {}, {0, 0, 0, 0, 0}},
        {"one species of weight 4", {{5, 4}}, {0, 0, 4, 0, 0}},
        {"one species of weight 1: W - sqrt(W) is 0", {{5, 1}}, {0, 0, 1, 0, 0}},
        {"two equal species", {{0, 1}, {1, 1}}, {std::log(2.0), 1, r2, 1, 1}},
        // Weights below 1 make W - sqrt(W) negative, never 0.
        {"one small weight", {{0, 0.25}}, {0, 0, 0.25, 0, 0}},
    };
    for (const Case& c : cases) {
        const auto got = diversityIndices(c.present);
        for (int k = 0; k < kDiversityIndexCount; ++k) {
            EXPECT_TRUE(std::isfinite(got[static_cast<std::size_t>(k)])) << c.what << " index " << k;
            EXPECT_NEAR(got[static_cast<std::size_t>(k)], c.expected[static_cast<std::size_t>(k)], 1e-12)
                << c.what << " index " << k;
        }
    }
}

TEST(Diversity, ChangeBetweenTwoReleves) {
    // {A, B} then {B, C}: a = 1, b = 1, c = 1, d = 2, t = 3, turnover 2 / 4.
    const SpeciesChange s = compareReleves(rowsOf({0, 1}), rowsOf({1, 2}));
    const auto q = s.quantities();
    const std::array<double, SpeciesChange::kQuantities> want = {1,       1,       1,       2,  3,
                                                                 1.0 / 3, 1.0 / 3, 1.0 / 3, 0.5};
    for (int k = 0; k < SpeciesChange::kQuantities; ++k)
        EXPECT_DOUBLE_EQ(q[static_cast<std::size_t>(k)], want[static_cast<std::size_t>(k)]) << k;

    // Nothing present in either: counts 0, the shares and the turnover missing.
    const auto none = compareReleves({}, {}).quantities();
    for (int k = 0; k < 5; ++k) EXPECT_EQ(none[static_cast<std::size_t>(k)], 0);
    for (int k = 5; k < SpeciesChange::kQuantities; ++k)
        EXPECT_TRUE(isMissing(none[static_cast<std::size_t>(k)]));

    // One side empty: all lost (or gained), turnover 1.
    const SpeciesChange gone = compareReleves(rowsOf({0, 3, 4}), {});
    EXPECT_EQ(gone.lost, 3);
    EXPECT_EQ(gone.quantities()[8], 1);
}

TEST(Diversity, NeighbourChangesAlongEachRowAgreeWithThoseOfTheRowAlone) {
    // Five releves; row 0 in releves 0, 1, 3; row 1 in 4 only; row 2 nowhere; row 3 everywhere.
    const WeightView v =
        viewOf({rowsOf({0, 3}), rowsOf({0, 3}), rowsOf({3}), rowsOf({0, 3}), rowsOf({1, 3})}, 4);
    const auto all = neighbourChanges(v);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].total(), 0);
    EXPECT_EQ(all[4].shared, 1);
    EXPECT_EQ(all[4].gained, 1);
    EXPECT_EQ(all[4].lost, 1);
    for (int row = 0; row < 4; ++row) {
        // The view of this row alone, compared releve by releve.
        std::vector<PresentRows> alone;
        for (const PresentRows& r : v.byReleve) {
            PresentRows kept;
            for (const auto& e : r)
                if (e.first == row) kept.push_back(e);
            alone.push_back(kept);
        }
        const auto want = neighbourChanges(viewOf(alone, 4));
        const auto got = neighbourChangesOfRow(v, row);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t j = 0; j < got.size(); ++j) {
            EXPECT_EQ(got[j].shared, want[j].shared) << "row " << row << " releve " << j;
            EXPECT_EQ(got[j].gained, want[j].gained) << "row " << row << " releve " << j;
            EXPECT_EQ(got[j].lost, want[j].lost) << "row " << row << " releve " << j;
        }
    }
}

struct Expected {
    double alpha, gamma, meanDiffering, meanTurnover, beta;
};

void expectUnit(const UnitDiversity& u, const Expected& e, const char* what) {
    const double got[] = {u.alpha, u.gamma, u.meanDiffering, u.meanTurnover, u.beta};
    const double want[] = {e.alpha, e.gamma, e.meanDiffering, e.meanTurnover, e.beta};
    for (int k = 0; k < 5; ++k) {
        if (isMissing(want[k]))
            EXPECT_TRUE(isMissing(got[k])) << what << " value " << k << " is " << got[k];
        else
            EXPECT_NEAR(got[k], want[k], 1e-12) << what << " value " << k;
    }
}

std::vector<const PresentRows*> pointers(const std::vector<PresentRows>& columns) {
    std::vector<const PresentRows*> out;
    for (const PresentRows& c : columns) out.push_back(&c);
    return out;
}

TEST(Diversity, AlphaBetaGammaOfSmallUnits) {
    struct Case {
        const char* what;
        std::vector<PresentRows> columns;
        Expected expected;
    };
    const Case cases[] = {
        // d: 2, 4, 2; turnover 0.5, 1, 0.5.
        {"three releves", {rowsOf({0, 1}), rowsOf({1, 2}), rowsOf({2, 3})}, {2, 4, 8.0 / 3, 2.0 / 3, 2}},
        {"one releve", {rowsOf({0, 1, 2})}, {3, 3, kMissing, kMissing, 1}},
        {"one pair only", {rowsOf({0}), rowsOf({1})}, {1, 2, kMissing, kMissing, 2}},
        // Pairs with nothing present count 0 in the mean turnover.
        {"empty releves", {{}, {}, {}}, {0, 0, 0, 0, kMissing}},
        {"one empty among three", {rowsOf({0}), {}, rowsOf({0})}, {2.0 / 3, 1, 2.0 / 3, 2.0 / 3, 1.5}},
    };
    Random random(7);
    for (const Case& c : cases) expectUnit(unitDiversity(pointers(c.columns), random), c.expected, c.what);
}

// The pairs compared one by one.
Expected bruteForce(const std::vector<PresentRows>& columns, const std::vector<int>& compared) {
    double sumD = 0, sumT = 0, pairs = 0, entries = 0;
    std::vector<bool> seen(100, false);
    for (const PresentRows& c : columns) {
        entries += static_cast<double>(c.size());
        for (const auto& e : c) seen[static_cast<std::size_t>(e.first)] = true;
    }
    for (int j : compared)
        for (int i = 0; i < j; ++i) {
            const SpeciesChange s =
                compareReleves(columns[static_cast<std::size_t>(i)], columns[static_cast<std::size_t>(j)]);
            sumD += s.differing();
            if (s.total() > 0) sumT += s.quantities()[8];
            ++pairs;
        }
    const double alpha = entries / static_cast<double>(columns.size());
    const double gamma = static_cast<double>(std::count(seen.begin(), seen.end(), true));
    return {alpha, gamma, sumD / pairs, sumT / pairs, gamma / alpha};
}

TEST(Diversity, AlphaBetaGammaOfRandomColumnsAgreeWithPairByPair) {
    Random make(11);
    std::vector<PresentRows> columns(60);
    for (PresentRows& c : columns)
        for (int r = 0; r < 100; ++r)
            if (make.below(10) == 0) c.emplace_back(r, 1.0);
    std::vector<int> all;
    for (int j = 1; j < 60; ++j) all.push_back(j);
    Random random(3);
    expectUnit(unitDiversity(pointers(columns), random), bruteForce(columns, all), "all pairs");

    // 20 of the 60 columns drawn: the same draw compared pair by pair.
    Random drawing(5), again(5);
    TMenge drawn;
    drawn.Zufallswahl(20, 60, again);
    expectUnit(unitDiversity(pointers(columns), drawing, 20), bruteForce(columns, drawn.elements()), "drawn");

    // Disjoint single species: every pair differs in 2 species whichever columns are drawn.
    std::vector<PresentRows> single;
    for (int r = 0; r < 700; ++r) single.push_back(rowsOf({r}));
    expectUnit(unitDiversity(pointers(single), random), {1, 700, 2, 1, 700}, "700 columns, 500 drawn");
}

TEST(Diversity, MergedColumnsHoldTheRowsOfAnyMember) {
    const WeightView v = viewOf({{{0, 1}, {2, 3}}, {{1, 2}}, {{2, 4}, {3, 1}}}, 4);
    const auto merged = mergedColumns(v, {{0, 2}, {1}});
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(merged[0], (PresentRows{{0, 1}, {2, 7}, {3, 1}}));
    EXPECT_EQ(merged[1], (PresentRows{{1, 2}}));
}

}  // namespace
}  // namespace tav
