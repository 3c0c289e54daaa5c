// The species margin with its statistics kept until the table changes, and quick search.

#include "editor/margins.h"

#include <gtest/gtest.h>

#include "editor/grid_control.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    Editor() {
        openSample("dune.tab");
        auto& m = session.settings().EditorMargin;
        m = {};
        m.ZahlFreq = m.Stet = true;
        session.settings().SchnellEinst = {};
    }
    TEditBuffer& b() { return session.buffer(); }
};

constexpr int kPoaPratensis = 18;

TEST(Margins, SpeciesStatisticsFollowTheTableButNotTheCursor) {
    Editor e;
    EXPECT_EQ(speciesMargin(e.session, kPoaPratensis), "(14)  (70%)");
    EXPECT_TRUE(e.session.margins().valid());
    // Moving and marking leave the statistics as they are.
    setCursor(e.session, 4, 'C', 'N', false, false, 3, 20);
    markClick(e.session, 4, true, 3, kNoModifier);
    EXPECT_TRUE(e.session.margins().valid());
    // With marked releves and the switch, the value for the marked ones follows.
    markClick(e.session, 4, false, 0, kNoModifier);
    markClick(e.session, 4, false, 11, kCtrl);
    e.session.settings().EditorMargin.ZaFrMark = true;
    EXPECT_EQ(speciesMargin(e.session, kPoaPratensis), "(14/1)  (70%)");
    // A change of a cell, and its undo.
    e.b().Put('A', "3", 11, kPoaPratensis);
    EXPECT_FALSE(e.session.margins().valid());
    EXPECT_EQ(speciesMargin(e.session, kPoaPratensis), "(15/2)  (75%)");
    ASSERT_TRUE(e.session.undoList().undo());
    EXPECT_EQ(speciesMargin(e.session, kPoaPratensis), "(14/1)  (70%)");
    // Releves: their number of species (Lolium's "7" is no Braun-Blanquet code); rows that are no
    // species rows show nothing.
    EXPECT_EQ(releveMargin(e.session, 0), "(4)");
    e.b().PutTyp('A', 'K', kPoaPratensis);
    EXPECT_EQ(speciesMargin(e.session, kPoaPratensis), "");
}

TEST(Margins, QuickSearchPositionsAndLabels) {
    struct Case {
        int count, lines, line, row;
    };
    for (const Case& c : {Case{100, 11, 5, 50}, Case{100, 11, 10, 99}, Case{30, 3, 1, 15}, Case{30, 1, 0, 0},
                          Case{0, 5, 2, 0}})
        EXPECT_EQ(quickSearchPosition(c.count, c.lines, c.line), c.row) << c.count << " " << c.lines;
    Editor e;
    EXPECT_EQ(quickSearchLabels(e.session, 3, 3),
              (std::vector<std::string>{"Ach    ", "Jun    ", "Cal    "}));
    // A margin of one line.
    EXPECT_EQ(quickSearchLabels(e.session, 3, 1), std::vector<std::string>{"Ach    "});
    setCursor(e.session, 4, 'N', 'N', false, false, 0, kPoaPratensis);
    e.session.settings().SchnellEinst.Art2 = true;
    EXPECT_EQ(quickSearchLabels(e.session, 3, 3)[1], "J  Poa.pra");
    // The header value of the cursor row over the releves.
    setCursor(e.session, 2, 'N', 'N', false, false, 0, 4);
    EXPECT_EQ(quickSearchReleveLabels(e.session, 2), (std::vector<std::string>{"Haypastu", "Hayfield"}));
}

TEST(Margins, AQuickSearchClickJumpsInsteadOfMarking) {
    Editor e;
    setCursor(e.session, 3, 'N', 'N', false, false, 0, 0);
    EXPECT_FALSE(quickSearchClick(e.session, 3, 1, 3, 0.1, kNoModifier));  // quick search is off
    e.session.settings().Diversa.Schnellsuche = 1;
    EXPECT_FALSE(quickSearchClick(e.session, 3, 1, 3, 0.1, kShift));       // Shift marks
    EXPECT_FALSE(quickSearchClick(e.session, 3, 1, 3, 0.8, kNoModifier));  // the right half marks
    EXPECT_TRUE(quickSearchClick(e.session, 3, 1, 3, 0.1, kNoModifier));
    EXPECT_EQ(e.session.cursorRow, 15);
    EXPECT_FALSE(e.b().CheckM());
    // With the two-level labels the right third steps near the cursor.
    e.session.settings().SchnellEinst.Art2 = true;
    EXPECT_TRUE(quickSearchClick(e.session, 3, 2, 3, 0.9, kNoModifier));
    EXPECT_EQ(e.session.cursorRow, 29);  // one line below the middle, 30 × 5 / 9 rows on, at most the last
}

}  // namespace
}  // namespace tav
