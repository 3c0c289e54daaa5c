// Species per releve over rows and over taxa (rows of one name counted once), per releve and cumulated,
// also restarting with every change of category.

#include "analysis/taxon_occurrence.h"

#include <gtest/gtest.h>

#include "analysis/weight_view.h"
#include "support/table_fixture.h"

namespace tav {
namespace {

using Counts = std::vector<int>;

struct Occurrence : testing::TableFileFixture {
    WeightView view;
    // Three releves; "x" twice among the rows: r0 holds both x, r1 y, r2 the second x and y.
    void SetUp() override {
        ASSERT_EQ(read("T;Nr;;1;2;3\r\nA;x;;1;;\r\nA;y;;;1;1\r\nA;x;;1;;1\r\n"), ReadResult::Ok);
        view.releves = 3;
        view.species = 3;
        view.byReleve = {{{0, 1}, {2, 1}}, {{1, 1}}, {{1, 1}, {2, 1}}};
    }
};

TEST_F(Occurrence, RowsAndTaxaPerReleveAndCumulated) {
    const RowGroups rows = eachRow(3, {0, 1, 2});
    const RowGroups taxa = taxaByName(b, {0, 1, 2});
    EXPECT_EQ(taxa.count, 2);
    EXPECT_EQ(groupsPerReleve(view, rows), (Counts{2, 1, 2}));
    EXPECT_EQ(groupsPerReleve(view, taxa), (Counts{1, 1, 2}));
    EXPECT_EQ(cumulativeGroups(view, rows), (Counts{2, 3, 3}));
    EXPECT_EQ(cumulativeGroups(view, taxa), (Counts{1, 2, 2}));
    // The count starts again where the category changes.
    const std::vector<std::string> keys{"a", "a", "b"};
    EXPECT_EQ(cumulativeGroups(view, rows, &keys), (Counts{2, 3, 2}));
    EXPECT_EQ(cumulativeGroups(view, taxa, &keys), (Counts{1, 2, 2}));
    // Rows left out are not counted.
    EXPECT_EQ(groupsPerReleve(view, eachRow(3, {1})), (Counts{0, 1, 1}));
    EXPECT_EQ(groupsPerReleve(view, taxaByName(b, {2})), (Counts{1, 0, 1}));
}

}  // namespace
}  // namespace tav
