// Finding typing mistakes: the constraint codes of header rows, the error list and the interactive walks
// of "Daten prüfen", the check of a cell when the cursor leaves it, writing constraints and listing
// them.

#include <gtest/gtest.h>

#include "editor/grid_control.h"
#include "editor/validation.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

constexpr std::int64_t kCheckRows = 105050100;
constexpr std::int64_t kCheckColumns = 105050200;
constexpr std::int64_t kListGrid = 105050300;
constexpr std::int64_t kListAll = 105050400;
constexpr std::int64_t kSetMargin = 103040400;
constexpr std::int64_t kConstraintTable = 103040300;

struct DataChecks : ::testing::Test, testing::EditorFixture {
    // The lines of the error list shown by a list command in grid.
    std::vector<std::string> errorList(std::int64_t command, int grid) {
        EXPECT_TRUE(execute(command, grid).ok());
        EXPECT_EQ(ui.lastDialog().caption, "Fehlerliste");
        return ui.lastDialog().items;
    }
};

TEST_F(DataChecks, ConstraintCodesInTheErrorList) {
    openLines({
        "T;Deckung;,CR 0 100;NA;na;;101;abc;50",  // range: NA, na, empty pass
        "T;Ort;,CE;abc;x;ABC;y;z;w",              // unique without letter case
        "T;Nr;,CO E;1;;2;;3;4",                   // obligatory wins over unique for empty cells
        "T;K1;,CMa;p;p;p;q;r;s",                  // multi-field key over two rows
        "T;K2;,CMa;1;2;1;1;1;1",
        "B;Gemäht;,CBa;Ja;Nein;;Ja;Nein;Ja",  // conditional input
        "T;Wann;,CBa;;;;Mai;;Juni",
        "A;s;;1;;;;;",
    });
    const std::vector<std::string> lines = errorList(kListGrid, 2);
    const std::vector<std::string> expected = {
        "Zeile;Zeile Nr.;Zeilenkopf;Spalte Nr.;Fehler;Eintrag",
        "Kopfzeile;1;Deckung;4;Wert ausserhalb des zulässigen Bereichs;Zulässiger Bereich: 0 .. 100",
        "Kopfzeile;1;Deckung;5;Wert ausserhalb des zulässigen Bereichs;Zulässiger Bereich: 0 .. 100",
        "Kopfzeile;2;Ort;3;Wert kommt doppelt vor",
        "Kopfzeile;3;Nr;2;Fehlender Eintrag (Pflichtfeld)",
        "Kopfzeile;3;Nr;4;Fehlender Eintrag (Pflichtfeld)",
        "Kopfzeile;4;K1;3;Wertkombination kommt doppelt vor;/K1 -- p/K2 -- 1",
        "Kopfzeile;5;K2;3;Wertkombination kommt doppelt vor;/K1 -- p/K2 -- 1",
        "Kopfzeile;6;Gemäht;1;Fehlender Eintrag (von einer Bedingung verlangt);/Gemäht -- Ja/Wann -- ",
        "Kopfzeile;7;Wann;1;Fehlender Eintrag (von einer Bedingung verlangt);/Gemäht -- Ja/Wann -- ",
    };
    EXPECT_EQ(lines, expected);
    // The list only reports: the table is as it was and counts as unchanged.
    EXPECT_FALSE(session.modified());
}

TEST_F(DataChecks, ChainedSumOfTwoDates) {
    openLines(
        {"D;Beginn;,CKa+ na 0;01.06.2020;10.06.2020", "D;Ende;,CKa- na 0;05.06.2020;03.06.2020", "A;s;;1;1"});
    const std::vector<std::string> lines = errorList(kListGrid, 2);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1],
              "Kopfzeile;1;Beginn;2;Kettenrechnung ausserhalb des zulässigen Bereichs;/Beginn: + "
              "10.06.2020/Ende: - "
              "03.06.2020//Resultat: 7/Zulässiger Bereich: na .. 0");
    EXPECT_TRUE(lines[2].starts_with("Kopfzeile;2;Ende;2;"));
}

TEST_F(DataChecks, ListOfAllGridsAndATableWithoutErrors) {
    openLines({"T;Ort;;a;b", "D;Datum;;03.06.2019;", "A;s0;;1;+", "K;Kommentar;;x;y", "A;s1;;9x;"});
    session.buffer().setKopf({"Datum;D;", "Höhe;I;"});
    EXPECT_EQ(errorList(kListAll, 2), (std::vector<std::string>{
                                          "Zeile;Zeile Nr.;Zeilenkopf;Spalte Nr.;Fehler;Eintrag",
                                          "Kopfzeile;1;Ort;;;unbekannt",
                                          "Artzeile;3;s1;1;Ungültiger Wert;9x",
                                      }));
    openLines({"T;Ort;;a;b", "A;s0;;1;+"});
    EXPECT_EQ(errorList(kListGrid, 4), std::vector<std::string>{"Keine Fehler gefunden."});
}

TEST_F(DataChecks, InteractiveWalksWriteNormalFormsAndStopAtTheFirstError) {
    openLines({"D;Datum;;3.6.19;1.1.20;32.1.20;4.4.20", "I;Höhe;;3;x", "A;s;;1;1;9;1", "A;t;;1;7;1;1"});
    session.cursorCol = 0;
    session.cursorRow = 0;
    ASSERT_TRUE(execute(kCheckRows, 2).ok());
    const TEditBuffer& b = session.buffer();
    EXPECT_EQ(b.Get('K', 0, 0), "03.06.2019");
    EXPECT_EQ(b.Get('K', 1, 0), "01.01.2020");
    EXPECT_EQ(b.Get('K', 2, 0), "32.1.20");
    EXPECT_EQ(b.Get('K', 3, 0), "4.4.20");  // behind the error: not reached
    EXPECT_EQ(lastMessage(), "Ungültiger Wert\r32.1.20");
    EXPECT_EQ(session.activeGrid, 2);
    EXPECT_EQ(session.cursorCol, 2);
    EXPECT_EQ(session.cursorRow, 0);
    // Column by column from the cursor: the covers of the second releve come before the third.
    session.cursorCol = 0;
    session.cursorRow = 0;
    ASSERT_TRUE(execute(kCheckColumns, 4).ok());
    EXPECT_EQ(session.cursorCol, 1);
    EXPECT_EQ(session.cursorRow, 1);
    EXPECT_EQ(lastMessage(), "Ungültiger Wert\r7");
}

TEST_F(DataChecks, ImmediateCheckOfADateCell) {
    openLines({"D;Datum;;;x", "I;Höhe;;;", "A;s;;1;"});
    session.settings().Pruef.KopfSofort = true;
    setCursor(session, 2, 'N', 'N', true, true, 0, 0);
    typeText(session, "3.6.19");
    moveCursor(session, CursorKey::Right);
    EXPECT_EQ(session.buffer().Get('K', 0, 0), "03.06.2019");
    EXPECT_EQ(session.cursorCol, 1);
    // Only cells typed into are checked: leaving the invalid "x" unchanged passes.
    moveCursor(session, CursorKey::Left);
    EXPECT_EQ(session.cursorCol, 0);
    // An emptied date cell is no date: the cursor stays, and the strict setting brings the value back.
    session.settings().Pruef.Streng = true;
    typeText(session, "");
    moveCursor(session, CursorKey::Down);
    EXPECT_EQ(session.cursorRow, 0);
    EXPECT_EQ(session.buffer().Get('K', 0, 0), "03.06.2019");
    // Clearing the cell with Del is checked as well.
    ASSERT_TRUE(execute(102050000, 2).ok());
    EXPECT_EQ(session.buffer().Get('K', 0, 0), "");
    moveCursor(session, CursorKey::Down);
    EXPECT_EQ(session.cursorRow, 0);
    EXPECT_EQ(session.buffer().Get('K', 0, 0), "03.06.2019");
    moveCursor(session, CursorKey::Down);
    EXPECT_EQ(session.cursorRow, 1);
    // An emptied number cell passes.
    typeText(session, "");
    moveCursor(session, CursorKey::Up);
    EXPECT_EQ(session.cursorRow, 0);
}

TEST_F(DataChecks, WritingConstraints) {
    openLines(
        {"T;A;,CMa;1", "T;B;,CMa Mb;2", "T;C;,CMb;3", "D;Von;;01.01.2020", "D;Bis;;02.01.2020", "A;s;;1"});
    TEditBuffer& b = session.buffer();
    // A group rule needs two rows.
    b.mark(MarkSet::MroK, 0);
    ui.addToken("#0001");
    ui.addToken("#001");
    ASSERT_FALSE(execute(kSetMargin, 1).ok());
    EXPECT_EQ(lastMessage(), "Zu wenige Zeilen markiert.");
    EXPECT_EQ(b.ReadP('K', 'C', 0), "Ma");
    // The next free group letter.
    b.mark(MarkSet::MroK, 2);
    ui.addToken("#0001");
    ui.addToken("#001");
    ASSERT_TRUE(execute(kSetMargin, 1).ok());
    EXPECT_EQ(b.ReadP('K', 'C', 0), "Ma Mc");
    EXPECT_EQ(b.ReadP('K', 'C', 2), "Mb Mc");
    // A range replaces the old one; a date range keeps valid dates and makes the rest "na".
    b.ClearM();
    b.mark(MarkSet::MroK, 3);
    for (const char* range : {"01.01.2000 x", "x 31.12.2030"}) {
        ui.addToken("#0001");
        ui.addToken("#0000001");
        ui.addToken(range);
        ASSERT_TRUE(execute(kSetMargin, 1).ok());
    }
    EXPECT_EQ(b.ReadP('K', 'C', 3), "R na 31.12.2030");
    // A chained sum over two date rows, the operators given by the macro, the bounds in days.
    b.ClearM();
    b.mark(MarkSet::MroK, 3);
    b.mark(MarkSet::MroK, 4);
    ui.addToken("#0001");
    ui.addToken("#00000001");
    ui.addToken("+-");
    ui.addToken("na 0");
    ASSERT_TRUE(execute(kSetMargin, 1).ok());
    EXPECT_EQ(b.ReadP('K', 'C', 3), "R na 31.12.2030 Ka+ na 0");
    EXPECT_EQ(b.ReadP('K', 'C', 4), "Ka- na 0");
    // The table of the constraints.
    b.ClearM();
    ASSERT_TRUE(execute(kConstraintTable, 1).ok());
    const std::vector<std::string>& lines = ui.lastDialog().items;
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(ui.lastDialog().caption, "Randfelder");
    EXPECT_TRUE(lines[0].starts_with("C;Einschränkungen für Konsistenztest;;"));
    EXPECT_EQ(lines[5], "T;A;CMa Mc;Text;;;Mehrfachschlüssel (alle Ma zusammen eindeutig);;;;;;;");
    EXPECT_EQ(lines[9], "D;Bis;CKa- na 0;Dat.;;;;;;;;;;Wertebereich für Kettenrechnung");
}

}  // namespace
}  // namespace tav
namespace tav {
namespace {

TEST_F(DataChecks, SpeciesNamesFromTheCursorRow) {
    ASSERT_TRUE(session.useSpeciesDb(std::string(TAVOLEX_SAMPLES) + "/arten.adb", false).ok());
    openLines({"T;Ort;;a", "A;Gibtsnicht;;1", "A;Elymus repens;;1", "K;Kommentar;;x", "A;Unbekannt;;1"});
    // The list starts at the cursor row of the species grid: the first row is not listed.
    setCursor(session, 3, 'N', 'N', true, true, 0, 1);
    EXPECT_EQ(errorList(kListGrid, 3), (std::vector<std::string>{
                                           "Zeile;Zeile Nr.;Zeilenkopf;Spalte Nr.;Fehler;Eintrag",
                                           "Artzeile;4;Unbekannt;;;unbekannt",
                                       }));
    EXPECT_EQ(session.buffer().GetZl('A', 1), "Elymus repens");
    // The interactive check writes the database's full name and stops at the unknown one.
    setCursor(session, 3, 'N', 'N', true, true, 0, 1);
    ASSERT_TRUE(execute(kCheckRows, 3).ok());
    EXPECT_NE(session.buffer().GetZl('A', 1), "Elymus repens");
    EXPECT_TRUE(session.buffer().GetZl('A', 1).starts_with("Elymus repens"));
    EXPECT_EQ(lastMessage(), "Nicht gefunden.");
    EXPECT_EQ(session.cursorRow, 3);
}

}  // namespace
}  // namespace tav
namespace tav {
namespace {

TEST_F(DataChecks, CodedRowsInTheErrorListAndWhenACellIsLeft) {
    session.fieldList.setLines({"S;Boden;;A;B;C", "L;Bodentext;;Sand;Lehm;Ton"}, ui,
                               session.settings().Zusatzlist);
    openLines({"S;Boden;;a/b;a x", "L;Bodentext;;;", "A;s;;1;1"});
    EXPECT_EQ(errorList(kListGrid, 2),
              (std::vector<std::string>{
                  "Zeile;Zeile Nr.;Zeilenkopf;Spalte Nr.;Fehler;Eintrag",
                  "Kopfzeile;1;Boden;2;Fehlende oder falsche Einträge in Datenbank-Block;a x"}));
    EXPECT_EQ(session.buffer().Get('K', 0, 0), "a/b");
    // Leaving a typed coded cell writes its codes and the texts of its lookup row.
    session.settings().Pruef.KopfSofort = true;
    setCursor(session, 2, 'N', 'N', true, true, 0, 0);
    typeText(session, "c,a");
    moveCursor(session, CursorKey::Down);
    EXPECT_EQ(session.buffer().Get('K', 0, 0), "A C");
    EXPECT_EQ(session.buffer().Get('K', 0, 1), "Sand / Ton");
}

}  // namespace
}  // namespace tav
