// "Felder bearbeiten" and "Zahlen gegen Buchstaben tauschen" through statements, on the marked rows,
// the selection or the cursor cell.

#include <gtest/gtest.h>

#include "editor/grid_control.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    Editor() { openSample("dune.tab"); }
    TEditBuffer& b() { return session.buffer(); }
    std::vector<std::string> row(int r) {
        std::vector<std::string> out;
        for (int c = 0; c < 6; ++c) out.emplace_back(b().Get('K', c, r));
        return out;
    }
};

constexpr int kManagement = 3, kUse = 4;

TEST(FieldCommands, TextOperationsOnTheMarkedRows) {
    using Row = std::vector<std::string>;
    struct Case {
        const char* statement;
        int row;
        Row expected;
    };
    const Case cases[] = {
        {"BEARB F*BEARBEITEN KLEIN;", kManagement, {"sf", "bf", "sf", "sf", "hf", "hf"}},
        {"BEARB F*BEARBEITEN ERSTES;",
         kUse,
         {"Haypastu", "Haypastu", "Haypastu", "Haypastu", "Hayfield", "Haypastu"}},
        {"BEARB F*BEARBEITEN TEXT*HERAUS;ay",
         kUse,
         {"Hpastu", "Hpastu", "Hpastu", "Hpastu", "Hfield", "Hpastu"}},
        {"BEARB F*BEARBEITEN TEXT*KÜRZEN;p", kUse, {"Hay", "Hay", "Hay", "Hay", "Hayfield", "Hay"}},
        {"BEARB F*BEARBEITEN TEXT*EINSETZEN;_ 2", kManagement, {"SF_", "BF_", "SF_", "SF_", "HF_", "HF_"}},
        {"BEARB F*BEARBEITEN TEXT*EINSETZEN;< 0", kManagement, {"<SF", "<BF", "<SF", "<SF", "<HF", "<HF"}},
    };
    for (const Case& c : cases) {
        Editor e;
        setCursor(e.session, 1, 'N', 'N', false, false, 0, 0);
        e.b().mark(MarkSet::MroK, c.row);
        ASSERT_TRUE(e.run(c.statement).ok()) << c.statement << "\n" << e.lastMessage();
        EXPECT_EQ(e.row(c.row), c.expected) << c.statement;
        // Only the marked row changed: the row above is as it was.
        EXPECT_EQ(e.b().Get('K', 0, 2), "1") << c.statement;
    }
}

TEST(FieldCommands, TheSelectionIncludesItsEmptyFieldsAndTheCursorCellAlone) {
    Editor e;
    // Achillea: "1", "3", "", "" in the first four releves.
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 0);
    resetSelection(e.session, 4, true);
    setSelection(e.session, 4, 3, 0);
    ASSERT_TRUE(e.run("BEARB F*BEARBEITEN TEXT*EINSETZEN;x -1").ok());
    EXPECT_EQ(e.b().Get('A', 0, 0), "1x");
    EXPECT_EQ(e.b().Get('A', 3, 0), "x");
    EXPECT_EQ(e.b().Get('A', 4, 0), "2");
    // The cursor cell: a list without its double items.
    resetSelection(e.session, 4, false);
    e.b().Put('A', "Poa, Carex,Poa ,Juncus", 5, 5);
    setCursor(e.session, 4, 'N', 'N', false, false, 5, 5);
    ASSERT_TRUE(e.run("BEARB F*BEARBEITEN DOPPEL;,").ok());
    EXPECT_EQ(e.b().Get('A', 5, 5), "Poa, Carex,Juncus");
    ASSERT_TRUE(e.run("BEARB F*BEARBEITEN GROSS;").ok());
    EXPECT_EQ(e.b().Get('A', 5, 5), "POA, CAREX,JUNCUS");
}

TEST(FieldCommands, CharactersPathsAndTheMemoEditorGoIntoTheCursorCell) {
    Editor e;
    setCursor(e.session, 2, 'N', 'N', false, false, 1, kUse);
    ASSERT_TRUE(e.run("BEARB F*BEARBEITEN SPEZIAL;2").ok());  // the second line of the list
    EXPECT_EQ(editorText(e.session), "Haypastu°");
    moveCursor(e.session, CursorKey::Down);
    EXPECT_EQ(e.b().Get('K', 1, kUse), "Haypastu°");
    ASSERT_TRUE(e.run("BEARB F*BEARBEITEN PFAD;" + e.dir.file("plan.txt")).ok());
    EXPECT_EQ(e.b().Get('K', 1, kUse + 1), e.dir.file("plan.txt"));
    // The memo editor: line breaks become blanks in the cell.
    e.ui.addToken("erste Zeile\nzweite");
    ASSERT_TRUE(e.run("BEARB MEMO;").ok());
    EXPECT_EQ(e.b().Get('K', 1, kUse + 1), "erste Zeile zweite");
}

TEST(FieldCommands, NumbersForTextsAndLettersForNumbers) {
    Editor e;
    setCursor(e.session, 2, 'N', 'N', false, false, 0, kManagement);
    ASSERT_TRUE(e.run("ZEILEN ZAHLEN*TAUSCHEN ZAHLEN;").ok());
    EXPECT_EQ(e.b().GetZl('K', kManagement + 1), "num_Management");
    EXPECT_EQ(e.b().GetTyp('K', kManagement + 1), 'I');
    // BF, HF, NM, SF in their order.
    EXPECT_EQ(e.row(kManagement + 1), (std::vector<std::string>{"4", "1", "4", "4", "2", "2"}));
    setCursor(e.session, 2, 'N', 'N', false, false, 0, 2);  // Moisture: 1, 2, 4, 5
    ASSERT_TRUE(e.run("ZEILEN ZAHLEN*TAUSCHEN BUCHSTABEN;").ok());
    EXPECT_EQ(e.b().GetZl('K', 3), "alpha_Moisture");
    EXPECT_EQ(e.row(3), (std::vector<std::string>{"a", "a", "b", "b", "a", "a"}));
    EXPECT_EQ(e.b().Get('K', 7, 3), "d");
    // Only on one header row.
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 0);
    EXPECT_FALSE(e.run("ZEILEN ZAHLEN*TAUSCHEN ZAHLEN;").ok());
    EXPECT_EQ(e.lastMessage(), "Funktion nur für 1 Kopfdatenzeile verfügbar.");
}

}  // namespace
}  // namespace tav
