// The diagnostic species measures on small counts: the worked case of a species in a category of four
// releves, the special cases of phi and of the logarithmic index, a one-releve table, the layout of the
// table's lines, coarser levels merged from the finest, the hierarchical assignment and the thinning to
// the best values.

#include "analysis/diagnostic_taxa.h"

#include <gtest/gtest.h>

#include "analysis/weight_view.h"
#include "support/table_fixture.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// A view of species rows over releves from their weights (0 absent).
WeightView viewOf(const std::vector<std::vector<double>>& weights) {
    WeightView v;
    v.species = static_cast<int>(weights.size());
    v.releves = weights.empty() ? 0 : static_cast<int>(weights.front().size());
    v.byReleve.resize(static_cast<std::size_t>(v.releves));
    v.bySpecies.resize(weights.size());
    for (int s = 0; s < v.species; ++s)
        for (int c = 0; c < v.releves; ++c)
            if (const double w = weights[s][c]; w > 0) {
                v.bySpecies[s].emplace_back(c, w);
                v.byReleve[c].emplace_back(s, w);
            }
    return v;
}

ReleveCategories categoriesOf(const std::vector<int>& of, const std::vector<std::string>& labels) {
    ReleveCategories c;
    c.of = of;
    c.keys = c.labels = labels;
    return c;
}

std::vector<int> allRows(const WeightView& v) {
    std::vector<int> rows;
    for (int s = 0; s < v.species; ++s) rows.push_back(s);
    return rows;
}

// The text of a measure of species s in category k.
std::string shown(const DiagnosticCounts& counts, int s, int k, char letter, int decimals = 6) {
    std::vector<Kennval> values;
    speciesKennvals(counts, s, values);
    return measureText(letter, measureValue(letter, values[static_cast<std::size_t>(k)]), decimals);
}

// Ten releves, a category of the first four and one of the other six. The species has the weights 2,
// 3 and 4 in three releves of the first category and 6 in one of the second.
DiagnosticCounts workedCase() {
    const WeightView v = viewOf({{2, 3, 4, 0, 6, 0, 0, 0, 0, 0}});
    return countByCategory(v, {0}, categoriesOf({0, 0, 0, 0, 1, 1, 1, 1, 1, 1}, {"1", "2"}));
}

TEST(DiagnosticSpecies, WorkedCaseInBothCategories) {
    const DiagnosticCounts counts = workedCase();
    struct Case {
        char letter;
        const char* first;   // in the category of four
        const char* second;  // in the category of six
    };
    const Case cases[] = {
        {'H', "0.750000", "0.166667"},   // constancy inside
        {'I', "0.166667", "0.750000"},   // constancy outside
        {'R', "0.583333", "-0.583333"},  // their difference
        {'Y', "0.583333", "-0.583333"},  // phi: 14 / 24
        {'S', "0.653213", "-0.653213"},  // log10 of 4.5 and of 2/9
        {'A', "0.381041", "-0.381041"},  // |x − v| times that
        {'B', "0.613636", "0.030303"},   // IndVal.PA: x² / (3/4 + 1/6)
        {'C', "0.519231", "0.051282"},   // IndVal: mean weights 2.25 and 1 over 3.25, times x
        {'E', "3", "1"},                 // frequencies
        {'F', "1", "3"},                 //
        {'O', "2.250000", "1.000000"},   // mean weight inside
        {'T', "1.875000", "0.416667"},   // constancy inside over the whole table's 0.4
        {'U', "0.416667", "1.875000"},   //
        {'V', "1.458333", "-1.458333"},  //
        {'W', "0.818182", "0.181818"},   // over the sum of constancies
        {'X', "0.692308", "0.307692"},   // over the sum of mean weights
        {'D', "4", "4"},                 // whole-table measures
        {'G', "0.400000", "0.400000"},   //
        {'L', "0.916667", "0.916667"},   //
        {'N', "1.500000", "1.500000"},   //
        {'Q', "3.250000", "3.250000"},   //
        {'J', "-99", "-99"},             // the measures without a formula
        {'P', "-99", "-99"},             //
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shown(counts, 0, 0, c.letter), c.first) << c.letter;
        EXPECT_EQ(shown(counts, 0, 1, c.letter), c.second) << c.letter;
    }
    // The lower-case letters are their twins.
    for (char c : std::string("abcy"))
        EXPECT_EQ(shown(counts, 0, 0, c), shown(counts, 0, 0, static_cast<char>(c - 'a' + 'A')));
}

TEST(DiagnosticSpecies, SpecialCasesOfPhiAndTheLogarithm) {
    struct Case {
        const char* what;
        std::vector<double> weights;  // six releves: category 0 the first two, 1 the other four
        char letter;
        int category;
        const char* expected;
    };
    const Case cases[] = {
        // Absent from the category: −1, whatever the margins (the program has always shown this).
        {"absent inside", {0, 0, 1, 0, 0, 0}, 'Y', 0, "-1.0000"},
        {"present everywhere", {1, 1, 1, 1, 1, 1}, 'Y', 0, "0.0000"},
        {"absent everywhere", {0, 0, 0, 0, 0, 0}, 'Y', 1, "0.0000"},
        // With v = 0, r is N: the logarithm is 1 and the index is x; so also for an absent species.
        {"only inside", {1, 0, 0, 0, 0, 0}, 'S', 0, "1.0000"},
        {"only inside", {1, 0, 0, 0, 0, 0}, 'A', 0, "0.5000"},
        {"absent everywhere", {0, 0, 0, 0, 0, 0}, 'S', 0, "1.0000"},
        {"absent everywhere", {0, 0, 0, 0, 0, 0}, 'A', 0, "0.0000"},
        // x = 0 with v > 0: r is raised to 1/N, the logarithm is −1.
        {"only outside", {0, 0, 1, 0, 0, 0}, 'S', 0, "-1.0000"},
        {"absent everywhere", {0, 0, 0, 0, 0, 0}, 'B', 0, "0.0000"},
        {"absent everywhere", {0, 0, 0, 0, 0, 0}, 'C', 0, "0.0000"},
        {"absent everywhere", {0, 0, 0, 0, 0, 0}, 'T', 0, "0.0000"},
    };
    const ReleveCategories cats = categoriesOf({0, 0, 1, 1, 1, 1}, {"1", "2"});
    for (const Case& c : cases) {
        const DiagnosticCounts counts = countByCategory(viewOf({c.weights}), {0}, cats);
        EXPECT_EQ(shown(counts, 0, c.category, c.letter, 4), c.expected) << c.what << " " << c.letter;
    }
    // A category that covers the whole table: nothing outside, and phi is f / N.
    const DiagnosticCounts whole =
        countByCategory(viewOf({{1, 0, 1, 0}}), {0}, categoriesOf({0, 0, 0, 0}, {"1"}));
    EXPECT_EQ(shown(whole, 0, 0, 'I', 2), "0.00");
    EXPECT_EQ(shown(whole, 0, 0, 'Y', 2), "0.50");
}

TEST(DiagnosticSpecies, OneReleveShowsNoUndefinedNumber) {
    const std::string all = "DGJKLMNQYBCAEFHIOPRSaTUVWXbcy";
    for (const auto& weights : {std::vector<double>{3}, std::vector<double>{0}}) {
        DiagnosticTable table(countByCategory(viewOf({weights}), {0}, categoriesOf({0}, {"1"})), {"1"}, {"s"},
                              all, 4);
        for (int k = 0; k < table.lineCount(); ++k) {
            const std::string line = table.line(k);
            EXPECT_EQ(line.find("nan"), std::string::npos) << line;
            EXPECT_EQ(line.find("inf"), std::string::npos) << line;
        }
        // ln N is 0: the logarithmic measures have no value.
        std::vector<Kennval> k;
        speciesKennvals(countByCategory(viewOf({weights}), {0}, categoriesOf({0}, {"1"})), 0, k);
        EXPECT_EQ(measureText('S', measureValue('S', k[0]), 4), "NA");
        EXPECT_EQ(measureText('A', measureValue('A', k[0]), 4), "NA");
    }
}

TEST(DiagnosticSpecies, TableLinesWithCountsTitlesAndTests) {
    // Four releves, categories "A" (two) and "B" (two); s1 in both of A, s2 in one of B with weight 5.
    const DiagnosticCounts counts =
        countByCategory(viewOf({{1, 2, 0, 0}, {0, 0, 5, 0}}), {0, 1}, categoriesOf({0, 0, 1, 1}, {"A", "B"}));
    DiagnosticTests tests;
    tests.headings = {"Test"};
    tests.fields = {{"0.1"}, {"0.2"}, {"0.3"}, {}};
    // Letters in any order come out in the table's fixed order, whole-table measures first.
    const DiagnosticTable table(counts, {"A", "B"}, {"s1", "s2"}, "HYD9", 2, tests);
    Lines lines;
    for (int k = 0; k < table.lineCount(); ++k) lines.push_back(table.line(k));
    EXPECT_EQ(lines,
              (Lines{"Gruppe;;A;A;A;B;B;B", "Anzahl gesamt;4;4;4;4;4;4;4", "Anzahl innen;NA;2;2;2;2;2;2",
                     "Anzahl aussen;NA;2;2;2;2;2;2",
                     "Resultate;Freq.gesamt;Phi-Koeffizient;Stet.innen;Test;Phi-Koeffizient;Stet.innen;Test",
                     "s1;2;1.00;1.00;0.1;-1.00;0.00;0.2", "s2;1;-1.00;0.00;0.3;0.58;0.50;"}));
    // With "+" only the title line, each category's titles after its label.
    const DiagnosticTable brief(counts, {"A", "B"}, {"s1", "s2"}, "+E", 2);
    EXPECT_EQ(brief.lineCount(), 3);
    EXPECT_EQ(brief.line(0), "Resultate;A Freq.innen;B Freq.innen");
    EXPECT_EQ(brief.line(2), "s2;0;1");
}

TEST(DiagnosticSpecies, CoarserLevelsMergeTheFinestCounts) {
    const WeightView v = viewOf({{1, 2, 0, 4, 0}, {0, 0, 3, 3, 1}});
    // Finest categories 0 … 2, merged into groups {0, 2} and {1}.
    const DiagnosticCounts fine = countByCategory(v, {0, 1}, categoriesOf({0, 1, 1, 2, 2}, {"a", "b", "c"}));
    const DiagnosticCounts merged = fine.grouped({0, 1, 0}, 2);
    const DiagnosticCounts direct = countByCategory(v, {0, 1}, categoriesOf({0, 1, 1, 0, 0}, {"x", "y"}));
    EXPECT_EQ(merged.n, direct.n);
    EXPECT_EQ(merged.f, direct.f);
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < 2; ++k)
            for (char letter : std::string("EOYC"))
                EXPECT_EQ(shown(merged, s, k, letter), shown(direct, s, k, letter));
}

struct Categories : testing::TableFileFixture {};

TEST_F(Categories, FoldedSortedAndLabelledByLevel) {
    ASSERT_EQ(read("T;Nr;;1;2;3;4\r\nT;K;;b;a b;B;c\r\nA;s;;1;;;\r\n"), ReadResult::Ok);
    const ReleveCategories c = releveCategories(b, {1});
    EXPECT_EQ(c.keys, (Lines{"A B", "B", "C"}));
    EXPECT_EQ(c.labels, (Lines{"AB", "B", "C"}));
    EXPECT_EQ(c.of, (std::vector<int>{1, 0, 1, 2}));
    const CategoryLevels levels = categoryLevels(b, {0, 1});
    ASSERT_EQ(levels.levels.size(), 2u);
    EXPECT_EQ(levels.levels[1].labels, (Lines{"1.B", "2.AB", "3.B", "4.C"}));
    EXPECT_EQ(levels.groupOf[0], (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(Categories, HierarchicalAssignmentAndBranches) {
    // Level 1: groups 1 and 2; level 2: 1.A (the whole of 1), 2.C and 2.D.
    ASSERT_EQ(read("T;L1;;1;1;1;2;2;2\r\nT;L2;;a;a;a;c;c;d\r\n"
                   "A;s1;;1;1;;;;\r\nA;s2;;;;;;;1\r\nA;s0;;1;1;1;;;\r\nA;s4;;;;;1;1;\r\nA;s3;;;;;1;;1\r\n"),
              ReadResult::Ok);
    const CategoryLevels cats = categoryLevels(b, {0, 1});
    WeightView v = viewOf(
        {{1, 1, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 1}, {1, 1, 1, 0, 0, 0}, {0, 0, 0, 1, 1, 0}, {0, 0, 0, 1, 0, 1}});
    std::vector<DiagnosticCounts> counts(2);
    counts[1] = countByCategory(v, allRows(v), cats.levels[1]);
    counts[0] = counts[1].grouped(cats.groupOf[0], cats.levels[0].count());
    const std::vector<HierarchyAssignment> assigned = assignToGroups(counts, 'Y');
    // s0 has phi 1 in both 1 and 1.A: the coarser group comes first and wins.
    EXPECT_EQ(assigned[2].level, 0);
    EXPECT_EQ(assigned[2].group, 0);
    HierarchyInput in;
    in.categories = &cats;
    in.counts = &counts;
    in.speciesNames = {"s1", "s2", "s0", "s4", "s3"};
    in.index = 'Y';
    in.table = 'E';
    in.decimals = 4;
    EXPECT_EQ(hierarchicalTable(in, assigned),
              (Lines{"Gruppe;Art;Phi-Koeffizient;1.A;2.C;2.D", "1;s0;1.0000;3;0 ***;0 ***",
                     "1;s1;0.7071;2;0 ***;0 ***", "2;s3;0.7071;0 ***;1;1", "2.C;s4;1.0000;0 ***;2;0 ***",
                     "2.D;s2;1.0000;0 ***;0 ***;1"}));
    // With a test: its heading after the index, its fields those of the assigned group.
    in.testHeadings = {"p"};
    in.testFields = [](int s, int level, int group) {
        return Lines{std::to_string(s) + "/" + std::to_string(level) + "/" + std::to_string(group)};
    };
    const Lines withTest = hierarchicalTable(in, assigned);
    EXPECT_EQ(withTest[0], "Gruppe;Art;Phi-Koeffizient;p;1.A;2.C;2.D");
    EXPECT_EQ(withTest[4], "2.C;s4;1.0000;3/1/1;0 ***;2;0 ***");
}

TEST(DiagnosticSpecies, BranchesByWholeLabelParts) {
    struct Case {
        const char* label;
        const char* assigned;
        bool outside;
    };
    const Case cases[] = {{"1.2", "1", false},     {"12.3", "1", true},   {"2.1", "1", true},
                          {"1.2.3", "1.2", false}, {"1.23", "1.2", true}, {"1", "1", false}};
    for (const Case& c : cases)
        EXPECT_EQ(outsideBranch(c.label, c.assigned), c.outside) << c.label << " " << c.assigned;
}

TEST(DiagnosticSpecies, BestValuesKeptByMidRanks) {
    // Mid-ranks 4, 1, 2.5, 2.5: with k = 2 and m = 0 every value with 0 < r < 3 goes, only the 5 stays.
    EXPECT_EQ(outsideBest({5, 1, 3, 3}, 2, 0), (std::vector<bool>{false, true, true, true}));
    // With m = 1 the lowest stays too.
    EXPECT_EQ(outsideBest({5, 1, 3, 3}, 2, 1), (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(outsideBest({5, 1, 4, 3}, 2, 0), (std::vector<bool>{false, true, false, true}));
}

}  // namespace
}  // namespace tav
