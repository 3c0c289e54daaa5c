// The weight view of the species part: present species per releve and releves per species, invalid
// covers counted and left out, a choice of rows.

#include <gtest/gtest.h>

#include "analysis/weight_view.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

using Entries = std::vector<WeightView::Entry>;

TEST(WeightView, PresentSpeciesBothWays) {
    testing::EditorFixture f;
    f.session.settings().DeckEinst = 3;  // the covers are numbers
    f.session.applySettings();
    f.openLines({"T;Nr;;a;b;c", "A;s1;;2;;0", "A;s2;;x;4;1", "A;s3;;;;5"});
    const TEditBuffer& b = f.session.buffer();
    const WeightView v = readWeights(b, f.session.coverInterpreter(), false);
    EXPECT_EQ(v.byReleve[0], (Entries{{0, 2}}));          // "x" is invalid and left out
    EXPECT_EQ(v.byReleve[2], (Entries{{1, 1}, {2, 5}}));  // 0 is absent
    EXPECT_EQ(v.bySpecies[1], (Entries{{1, 4}, {2, 1}}));
    EXPECT_EQ(v.invalid, 1);
    EXPECT_EQ(v.weight(2, 2), 5);
    EXPECT_EQ(v.weight(0, 2), 0);
    TMenge rows;
    rows.Add(2);
    const WeightView only = readWeights(b, f.session.coverInterpreter(), false, &rows);
    EXPECT_TRUE(only.byReleve[0].empty());
    EXPECT_EQ(only.bySpecies[2], (Entries{{2, 5}}));
    EXPECT_EQ(only.invalid, 0);
}

}  // namespace
}  // namespace tav
