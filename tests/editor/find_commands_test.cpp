// Find, replace and count through statements, in the scopes the marks and the selection give.

#include <gtest/gtest.h>

#include "editor/grid_control.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

struct Editor : testing::EditorFixture {
    Editor() { openSample("dune.tab"); }
    TEditBuffer& b() { return session.buffer(); }
    std::pair<int, int> cursor() const { return {session.cursorCol, session.cursorRow}; }
};

constexpr int kLolium = 16, kPoaPratensis = 18, kPoaTrivialis = 19;

TEST(FindCommands, FindGoesFromTheCursorInReadingOrder) {
    Editor e;
    setCursor(e.session, 3, 'N', 'N', false, false, 0, 0);
    ASSERT_TRUE(e.run("BEARB SUCHEN;poa").ok());  // letter case does not count
    EXPECT_EQ(e.session.cursorRow, kPoaPratensis);
    EXPECT_EQ(e.session.activeGrid, 3);
    ASSERT_TRUE(e.run("BEARB SUCHEN;poa").ok());
    EXPECT_EQ(e.session.cursorRow, kPoaTrivialis);
    ASSERT_TRUE(e.run("BEARB SUCHEN;poa").ok());
    EXPECT_EQ(e.lastMessage(), "Nicht gefunden.");
    EXPECT_EQ(e.session.cursorRow, kPoaTrivialis);
    // In the covers: the next cell holding "7" after the cursor, row by row.
    setCursor(e.session, 4, 'N', 'N', false, false, 3, 1);
    ASSERT_TRUE(e.run("BEARB SUCHEN;7").ok());
    EXPECT_EQ(e.cursor(), std::make_pair(15, 1));
    ASSERT_TRUE(e.run("BEARB SUCHEN;7").ok());
    EXPECT_EQ(e.cursor(), std::make_pair(2, 3));
    // A text with a blank, in quotes.
    setCursor(e.session, 3, 'N', 'N', false, false, 0, 0);
    ASSERT_TRUE(e.run("BEARB SUCHEN;'a trivialis'").ok());
    EXPECT_EQ(e.session.cursorRow, kPoaTrivialis);
    // Whole fields only.
    e.session.search.wholeWord = true;
    setCursor(e.session, 3, 'N', 'N', false, false, 0, 0);
    ASSERT_TRUE(e.run("BEARB SUCHEN;Poa").ok());
    EXPECT_EQ(e.lastMessage(), "Nicht gefunden.");
}

TEST(FindCommands, ReplaceInTheMarkedRowsAsOneUndoStep) {
    Editor e;
    const std::string original = e.savedTable();
    e.b().mark(MarkSet::MroA, kLolium);
    e.b().mark(MarkSet::MroA, kPoaPratensis);
    // The replacement goes into the table as typed text does: ";" becomes ",".
    e.ui.addToken("4;x");  // the replacement, as the user types it
    ASSERT_TRUE(e.run("BEARB ERSETZEN;4").ok());
    EXPECT_EQ(e.lastMessage(), "9 Felder bearbeitet.");
    EXPECT_EQ(e.b().Get('A', 0, kPoaPratensis), "4,x");
    EXPECT_EQ(e.b().Get('A', 7, kLolium), "4,x");
    EXPECT_EQ(e.b().Get('A', 2, 1), "4");  // not marked
    ASSERT_TRUE(e.run("BEARB RÜCK;").ok());
    EXPECT_EQ(e.savedTable(), original);
    // Nothing to replace.
    e.ui.addToken("y");
    ASSERT_TRUE(e.run("BEARB ERSETZEN;zz").ok());
    EXPECT_EQ(e.lastMessage(), "Nicht gefunden.");
}

TEST(FindCommands, CountingInEachScope) {
    struct Case {
        std::function<void(Editor&)> set;
        std::string text;
        std::string report;
    };
    const Case cases[] = {
        {[](Editor& e) { e.b().mark(MarkSet::MroA, kPoaTrivialis); }, "5",
         "Markierte Abundanzdaten (Zeilen)\r3 Felder mit Suchtext\r3 Vorkommen gesamt"},
        {[](Editor& e) { e.b().mark(MarkSet::MroK, 4); }, "hay",
         "Markierte Kopfdaten (Zeilen)\r15 Felder mit Suchtext\r15 Vorkommen gesamt"},
        {[](Editor& e) {
             setCursor(e.session, 2, 'N', 'N', false, false, 0, 0);
             e.b().mark(MarkSet::McoR, 0);
         },
         "a", "Markierte Kopfdaten (Spalten)\r1 Felder mit Suchtext\r2 Vorkommen gesamt"},
        {[](Editor& e) { setCursor(e.session, 3, 'N', 'N', false, false, 0, kPoaPratensis); }, "a",
         "Artnamen ab Cursor\r11 Felder mit Suchtext\r23 Vorkommen gesamt"},
        {[](Editor& e) {
             setCursor(e.session, 4, 'N', 'N', false, false, 0, 0);
             resetSelection(e.session, 4, true);
             setSelection(e.session, 4, 3, 1);
         },
         "4", "Abundanzdaten ab Cursor\r1 Felder mit Suchtext\r1 Vorkommen gesamt"},
    };
    for (const Case& c : cases) {
        Editor e;
        c.set(e);
        e.session.search.text = c.text;
        ASSERT_TRUE(e.run("BEARB SUCHTEXT*ZÄHLEN;").ok());
        EXPECT_EQ(e.lastMessage(), c.report) << c.text;
    }
}

TEST(FindCommands, RowsAndRelevesWithTheTextAndLocatingARow) {
    Editor e;
    setCursor(e.session, 4, 'N', 'N', false, false, 0, 0);
    ASSERT_TRUE(e.run("BEARB SUCHTEXT*ZURÜCK;;ZEILEN ZEILEN*MARK ZEILEN*SUCHTEXT;9").ok());
    EXPECT_EQ(e.b().MroA().elements(), std::vector<int>{kPoaTrivialis});
    // Releves: the header counts too ("NM" is a management).
    ASSERT_TRUE(e.run("BEARB SUCHTEXT*ZURÜCK;;SPALTEN SPALTEN*MARK SPALTEN*SUCHTEXT;nm").ok());
    EXPECT_EQ(e.b().McoR().elements(), (std::vector<int>{13, 14, 16, 17, 18, 19}));
    EXPECT_TRUE(e.b().MroA().empty());
    // A row by its name: the beginning first, else anywhere in it.
    ASSERT_TRUE(e.run("BEARB ZEILE*LOKALISIEREN;trivialis").ok());
    EXPECT_EQ(e.session.cursorRow, kPoaTrivialis);
    ASSERT_TRUE(e.run("BEARB ZEILE*LOKALISIEREN;lol").ok());
    EXPECT_EQ(e.session.cursorRow, kLolium);
}

}  // namespace
}  // namespace tav
