// Marking by rules: the row and column rules with their reference sets, duplicates, marks written into
// margins and a header row, and a date row split into its parts.

#include <gtest/gtest.h>

#include "editor/command_registry.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

struct Rules : ::testing::Test, testing::EditorFixture {
    // Runs a command as from its menu item (no macro: the result is reported).
    void execute(std::int64_t number, int grid = 3) {
        ASSERT_TRUE(EditorFixture::execute(number, grid).ok());
    }
    void executeUnnumbered(std::string_view caption, int grid = 3) {
        session.activeGrid = grid;
        for (const CommandEntry& e : commands::allCommands()) {
            if (e.number == 0 && e.caption == caption) {
                ASSERT_TRUE(dispatcher.execute(session, e, CommandSource::Menu).ok());
            }
        }
    }
    std::vector<int> marked(MarkSet set) { return session.buffer().marks(set).elements(); }
};

using Items = std::vector<int>;

TEST_F(Rules, RowRulesOverTheReferenceReleves) {
    openLines({"T;Ort;;a;b;c", "A;;;;;", "A;s1;;;1;", "A;;;1;;", "A;s3;;2;2;2", "A;s4;;2;;3"});
    execute(103050400);  // "Leere Zeilen": no name, no entry
    EXPECT_EQ(marked(MarkSet::MroA), Items{0});
    EXPECT_EQ(lastMessage(), "1 leere Zeile(n) gefunden.");
    // Only the marked releves count, and their marks end.
    session.buffer().mark(MarkSet::McoR, 0);
    execute(103050500);  // "Zeilen ohne Daten": no entry in releve a
    EXPECT_EQ(marked(MarkSet::MroA), (Items{0, 1}));
    EXPECT_TRUE(marked(MarkSet::McoR).empty());
    session.buffer().mark(MarkSet::McoR, 1);
    execute(103050400);  // without a name and without an entry in releve b
    EXPECT_EQ(marked(MarkSet::MroA), (Items{0, 2}));
    execute(103050600);  // "Zeilen ohne Kopf"
    EXPECT_EQ(marked(MarkSet::MroA), (Items{0, 2}));
    execute(103050900);  // "Gleich in (mark.) Spalten"
    EXPECT_EQ(marked(MarkSet::MroA), (Items{0, 3}));
    execute(103051000);  // "Abweichend in (mark.) Spalten"
    EXPECT_EQ(marked(MarkSet::MroA), (Items{1, 2, 4}));
    // Nothing found: "Keine " and the label, hence two blanks.
    openLines({"T;Ort;;a", "A;s;;1"});
    execute(103050400);
    EXPECT_EQ(lastMessage(), "Keine  leere Zeile(n) gefunden.");
}

TEST_F(Rules, ColumnRulesOverTheReferenceRows) {
    openLines({"T;Ort;;a;b;c;d", "A;s0;;1;;1;1", "A;s1;;1;;2;", "A;s2;;;;;"});
    execute(104020400, 4);  // "Leere Spalten"
    EXPECT_EQ(marked(MarkSet::McoR), (Items{1}));
    EXPECT_EQ(lastMessage(), "1 leere Spalte(n) gefunden.");
    session.buffer().mark(MarkSet::MroA, 0);
    session.buffer().mark(MarkSet::MroA, 1);
    execute(104020700, 4);  // "Gleich in (mark.) Zeilen"
    EXPECT_EQ(marked(MarkSet::McoR), (Items{0, 1}));
    EXPECT_TRUE(marked(MarkSet::MroA).empty());
    session.buffer().mark(MarkSet::MroA, 0);
    session.buffer().mark(MarkSet::MroA, 1);
    execute(104020800, 4);  // "Abweichend in (mark.) Zl."
    EXPECT_EQ(marked(MarkSet::McoR), (Items{2, 3}));
    session.buffer().mark(MarkSet::MroA, 0);
    session.buffer().mark(MarkSet::MroA, 1);
    executeUnnumbered("Abweichend, leere Felder ignorieren", 4);
    EXPECT_EQ(marked(MarkSet::McoR), (Items{2}));
}

TEST_F(Rules, Duplicates) {
    openLines({"T;Ort;;a;b;c;d;e", "I;Ort;;1;2;1;2;", "T;Art;;;;;;", "A;a;;1;1;;;", "A;b;;;;;;",
               "A;a;;1;1;;;", "A;c;;;;;;", "A;a;;;;;;"});
    execute(103050700);  // "Doppelte Zeilenköpfe": every member of a group
    EXPECT_EQ(marked(MarkSet::MroA), (Items{0, 2, 4}));
    EXPECT_EQ(lastMessage(), "3 doppelte Zeile(n) gefunden.");
    execute(103050800);  // "Ueberzählige Zeilenköpfe": the second and later ones
    EXPECT_EQ(marked(MarkSet::MroA), (Items{2, 4}));
    // In the header part the row type belongs to the name: "Ort" as 'T' and as 'I' are two rows.
    execute(103050700, 1);
    EXPECT_TRUE(marked(MarkSet::MroK).empty());
    EXPECT_EQ(lastMessage(), "Keine doppelte Zeilen gefunden.");
    // Releves: a and b agree; c, d and e are empty in the species part, which only "Doppelte Spalten"
    // counts as duplicates.
    execute(104020500, 4);
    EXPECT_EQ(marked(MarkSet::McoR), (Items{0, 1, 2, 3, 4}));
    execute(104020600, 4);
    EXPECT_EQ(marked(MarkSet::McoR), (Items{1, 3, 4}));
    executeUnnumbered("Doppel, leere Felder ignorieren", 4);
    EXPECT_EQ(marked(MarkSet::McoR), (Items{0, 1}));
}

TEST_F(Rules, HeaderRowsOfAFile) {
    openLines({"T;Ort;;a", "D;Datum;;01.01.2020", "T;Autor;;x", "A;s;;1"});
    testing::writeBytes(dir.file("other.tab"), "T;Autor;;y\r\nI;Ort;;3\r\nA;Datum;;1\r\n");
    ui.addToken(dir.file("other.tab"));
    execute(103051400, 1);
    EXPECT_EQ(marked(MarkSet::MroK), (Items{0, 2}));  // "Datum" is a species row there
    EXPECT_EQ(lastMessage(), "2 Kopfzeile(n) gefunden.");
}

TEST_F(Rules, MarksIntoTheTableAndBack) {
    openLines({"T;Ort;;a;b;c", "I;Nr;;1;2;3", "A;s0;;1;;", "K;Moos;;;;", "A;s2;;;1;"});
    session.buffer().mark(MarkSet::MroA, 2);
    execute(103070000);  // "Markierte Zeilen bezeichnen"
    EXPECT_EQ(session.buffer().ReadP('A', 'M', 2), "1");
    EXPECT_EQ(session.buffer().ReadP('A', 'M', 0), "");
    session.buffer().ClearM();
    execute(103051300);  // "Bezeichnete Zeilen"
    EXPECT_EQ(marked(MarkSet::MroA), (Items{2}));
    // "Bestimmter Zeilentyp": the second type of the species part, comment rows.
    ui.addToken("#01");
    execute(103051200);
    EXPECT_EQ(marked(MarkSet::MroA), (Items{1}));
    // "Spalten bezeichnen" › "Markierte Spalten": a header row of 1 and 0.
    session.buffer().ClearM();
    session.buffer().mark(MarkSet::McoR, 1);
    execute(104030100, 4);
    const int row = session.buffer().GetRowCount('K') - 1;
    EXPECT_EQ(session.buffer().GetZl('K', row), "Auswahl");
    EXPECT_EQ(session.buffer().GetRow('K', row), "I;Auswahl;;0;1;0");
}

TEST_F(Rules, HeaderValuesSplitIntoNewRows) {
    openLines({"T;Ort;;a;b", "T;Wert;;12.5cm;-3 m", "T;Liste;;x,y,z;w", "A;s;;1;"});
    session.cursorRow = 2;
    ui.addToken(",");
    execute(103100300, 2);  // "an Trennzeichen"
    const TEditBuffer& b = session.buffer();
    ASSERT_EQ(b.GetRowCount('K'), 6);
    EXPECT_EQ(b.GetRow('K', 3), "T;Liste 1;;x;w");
    EXPECT_EQ(b.GetRow('K', 5), "T;Liste 3;;z;");
    session.cursorRow = 1;
    ui.addToken("#111");    // the point and the sign belong to the number, blanks removed
    execute(103100400, 2);  // "nach Ziffern/Zeichen"
    EXPECT_EQ(b.GetRow('K', 6), "T;Wert 1;;12.5;-3");
    EXPECT_EQ(b.GetRow('K', 7), "T;Wert 2;;cm;m");
    ui.addToken("2");
    execute(103100100, 2);  // "zeichenweise von links"
    EXPECT_EQ(b.GetRow('K', 8), "T;Wert 1;;12;-3");
    EXPECT_EQ(b.GetRow('K', 9), "T;Wert 2;;.5cm;m");
}

TEST_F(Rules, RandomRelevesIntoAHeaderRow) {
    openLines({"T;Ort;;a;b;c;d;e", "A;s;;1;1;1;1;1"});
    ui.addToken("2");
    execute(104030200, 4);  // "Spalten bezeichnen" › "Zufallswahl"
    EXPECT_EQ(marked(MarkSet::McoR).size(), 2u);
    const TEditBuffer& b = session.buffer();
    EXPECT_EQ(b.GetZl('K', 1), "Gewählte Spalten");
    int ones = 0;
    for (int c = 0; c < 5; ++c) ones += b.Get('K', c, 1) == "1";
    EXPECT_EQ(ones, 2);
    // From the marked releves only, never more than they are.
    session.buffer().ClearM();
    session.buffer().mark(MarkSet::McoR, 4);
    ui.addToken("3");
    execute(104030200, 4);
    EXPECT_EQ(marked(MarkSet::McoR), (Items{4}));
}

TEST_F(Rules, Categories) {
    openLines({"T;Typ;;b;a;;b;a;b", "I;Höhe;;1;2;3;4;5;6", "A;s;;1;1;1;1;1;1"});
    session.cursorRow = 0;
    execute(103140400, 2);  // "Kategorien durchnummerieren": a 1, b 2, the empty one in none
    const TEditBuffer& b = session.buffer();
    EXPECT_EQ(b.GetRow('K', 2), "I;Kategorie Nr.;;2;1;;2;1;2");
    EXPECT_EQ(b.GetRow('K', 3), "I;Nr. innerhalb Kat.;;1;1;;2;2;3");
    session.cursorRow = 0;
    execute(103100700, 2);  // dummy variables
    EXPECT_EQ(b.GetRow('K', 4), "I;Typ=a;;0;1;0;0;1;0");
    EXPECT_EQ(b.GetRow('K', 5), "I;Typ=b;;1;0;0;1;0;1");
    // The releves of the chosen categories.
    session.cursorRow = 0;
    ui.addToken("1");  // the first line: category a
    execute(104021000, 2);
    EXPECT_EQ(marked(MarkSet::McoR), (Items{1, 4}));
    // Stratified: at most the number asked from every category.
    session.buffer().ClearM();
    session.cursorRow = 0;
    ui.addToken("2");
    execute(104030300, 2);
    const Items drawn = marked(MarkSet::McoR);
    int inA = 0, inB = 0;
    for (int c : drawn) (b.Get('K', c, 0) == "a" ? inA : inB) += 1;
    EXPECT_EQ(inA, 2);
    EXPECT_EQ(inB, 2);
    // The values of a marked row category by category.
    session.buffer().ClearM();
    session.buffer().mark(MarkSet::MroK, 1);
    session.cursorRow = 0;
    session.activeGrid = 2;
    ui.addToken("1");  // the category row, picked from the list
    execute(103100800, 3);
    const int rows = b.GetRowCount('K');
    EXPECT_EQ(b.GetRow('K', rows - 2), "I;Höhe a;;;2;;;5;");
    EXPECT_EQ(b.GetRow('K', rows - 1), "I;Höhe b;;1;;;4;;6");
}

TEST_F(Rules, DateSplitIntoItsParts) {
    openLines({"T;Ort;;a;b", "D;Datum;;03.06.2019;x", "A;s;;1;"});
    session.cursorRow = 1;
    execute(103100500, 2);  // "Datum zerlegen"
    const TEditBuffer& b = session.buffer();
    ASSERT_EQ(b.GetRowCount('K'), 7);
    EXPECT_EQ(b.GetRow('K', 2), "I;Tag;;3;NA");
    EXPECT_EQ(b.GetRow('K', 3), "I;Monat;;6;NA");
    EXPECT_EQ(b.GetRow('K', 4), "I;Jahr;;2019;NA");
    EXPECT_EQ(b.GetRow('K', 5), "I;Tag im Jahr;;154;NA");
    EXPECT_EQ(b.GetRow('K', 6), "I;Tag nach Christus;;737213;NA");
    EXPECT_EQ(session.activeGrid, 1);
    EXPECT_EQ(session.cursorRow, 2);
    // One undo takes it back.
    ASSERT_TRUE(run("BEARB RÜCK;").ok());
    EXPECT_EQ(session.buffer().GetRowCount('K'), 2);
}

}  // namespace
}  // namespace tav
