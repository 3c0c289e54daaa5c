// The header-field list: reading it, the code translation, the checks of coded and lookup cells (with
// the value chooser and the template completion), "Nachschlagen" in the header grids, choosing the
// list's file and checking a list before it is saved.

#include <gtest/gtest.h>

#include "editor/field_list.h"
#include "support/editor_fixture.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

// Soils with two lookup rows, and a field whose codes are numbers.
const Lines kSoils = {"S;Boden;;A;B;C", "L;Bodentext;;Sand;Lehm;Ton", "L;Bodenfarbe;;gelb;braun;grau",
                      "I;Nummer;;10;9;100"};

struct FieldListTest : ::testing::Test, testing::EditorFixture {
    void useList(const Lines& lines) { session.fieldList.setLines(lines, ui, session.settings().Zusatzlist); }
    // Whether a message with this text was shown.
    bool said(std::string_view text) const {
        for (const auto& m : ui.messages())
            if (m.second == text) return true;
        return false;
    }
    std::string cell(int col, int row) const { return std::string(session.buffer().Get('K', col, row)); }
    FieldCheck coded(int col, int row, bool interactive = true) {
        FieldCheckRun run;
        return checkCodedCell(session, col, row, interactive, run);
    }
};

TEST_F(FieldListTest, ReadFromItsFile) {
    const std::string file = dir.file("angaben.tab");
    // Written in the code page: "Höhe" with one byte for the ö.
    testing::writeBytes(file,
                        "S;Boden;;A;B\r\n"
                        "L;Bodentext;Rand;Sand;Lehm\r\n"
                        "T;$/Vorlage;;Wald;T;Ort;\r\n"
                        "T;$/Z;;;/B;;cf.\r\n"
                        "T;Ort;;Bern/Basel\r\n"
                        ";;;\r\n"
                        "T;Weg;;a/b\r\n"
                        "T;H\xf6he\r\n"
                        "S;Boden;;Z\r\n");
    session.settings().AngName = file;
    session.loadFieldList();
    const FieldList& list = session.fieldList;
    ASSERT_EQ(list.size(), 6);
    EXPECT_EQ(list.field(1), (Lines{"Bodentext", "Boden", "L", "Rand", "Sand", "Lehm"}));
    EXPECT_EQ(list.field(4), (Lines{"Höhe", "Boden", "T", ""}));
    // The first field of a name wins; names are compared exactly.
    EXPECT_EQ(list.find("Boden"), 0);
    EXPECT_EQ(list.find("boden"), -1);
    EXPECT_EQ(list.find(""), -1);
    EXPECT_EQ(session.settings().Zusatzlist, "/B;cf.");
    // Said once, naming the field lines with a slash.
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(lastMessage(),
              "Die Angabenliste enthält Schrägstriche ( / ).\rBitte entfernen, damit die Angabendatenbank "
              "richtig funktioniert.\rZeile(n) 5, 7");

    // A missing file leaves the list empty without a word, and the additions as they were.
    ui.clearLog();
    session.settings().AngName = dir.file("fehlt.tab");
    session.loadFieldList();
    EXPECT_TRUE(session.fieldList.empty());
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(session.settings().Zusatzlist, "/B;cf.");
}

TEST_F(FieldListTest, CodesTranslatedIntoTheListsSpelling) {
    useList({"S;Boden;;A;B;Cé;AB$", "L;Bodentext;;Sand;Lehm;Ton;Vorlage"});
    struct Case {
        std::string entry, codes;
    };
    const Case cases[] = {
        {"a/b", "A B"},      {"b, a", "A B"},     // in the order of the list
        {"  a   b ", "A B"}, {"ce", "Cé"},        // accents folded
        {"a x", ""},         {"a a", ""},         // a code not in the list; a code twice
        {"ab12", "AB$"},     {"ab1 a", "A AB$"},  // a template code begins the first word
        {"a ab1", ""},       {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(session.fieldList.translateCodes(0, c.entry), c.codes) << c.entry;
    EXPECT_EQ(session.fieldList.lookupValues(0, 1, "A Cé"), "Sand / Ton");
    EXPECT_EQ(session.fieldList.lookupValues(0, -1, "A"), "");
}

TEST_F(FieldListTest, CodedCellWritesItsCodesAndTheLookupTexts) {
    useList(kSoils);
    openLines({"S;Boden;;a/b", "L;Bodentext;;", "L;Bodenfarbe;;", "T;Ort;;"});
    EXPECT_TRUE(coded(0, 0).ok);
    EXPECT_EQ(cell(0, 0), "A B");
    EXPECT_EQ(cell(0, 1), "Sand / Lehm");
    EXPECT_EQ(cell(0, 2), "gelb / braun");
    EXPECT_TRUE(ui.messages().empty());

    // A lookup cell that differs is asked about: Yes writes the texts, No ends without an error, Cancel
    // is an error.
    struct Case {
        std::string answer;
        bool ok;
        std::string text, colour;
    };
    const Case cases[] = {{"Y", true, "Ton", "grau"}, {"N", true, "Falsch", ""}, {"C", false, "Falsch", ""}};
    for (const Case& c : cases) {
        openLines({"S;Boden;;c", "L;Bodentext;;Falsch", "L;Bodenfarbe;;", "T;Ort;;"});
        ui.addToken(c.answer);
        const FieldCheck check = coded(0, 0);
        EXPECT_EQ(check.ok, c.ok) << c.answer;
        EXPECT_EQ(check.kind, c.ok ? 0 : 'X') << c.answer;
        EXPECT_EQ(cell(0, 1), c.text) << c.answer;
        EXPECT_EQ(cell(0, 2), c.colour) << c.answer;
        EXPECT_EQ(session.cursorRow, 0) << c.answer;
    }
}

TEST_F(FieldListTest, CheckForTheErrorListChangesNothing) {
    useList(kSoils);
    openLines({"S;Boden;;a/b;c;a x;ab", "L;Bodentext;;;Falsch;;", "T;Ort;;;;;"});
    const std::string before = savedTable();
    struct Case {
        int col;
        bool ok;
        char kind;
    };
    for (const Case c : {Case{0, true, 0}, Case{1, false, 'X'}, Case{2, false, 'F'}, Case{3, false, 'F'}}) {
        const FieldCheck check = coded(c.col, 0, false);
        EXPECT_EQ(check.ok, c.ok) << c.col;
        EXPECT_EQ(check.kind, c.kind) << c.col;
    }
    EXPECT_EQ(savedTable(), before);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(FieldListTest, EmptyListAskedAboutOnceInAFullCheck) {
    openLines({"S;Boden;;x;y"});
    FieldCheckRun run;
    EXPECT_TRUE(checkCodedCell(session, 0, 0, true, run).ok);  // outside a full check: accepted
    run.fullCheck = true;
    ui.addToken("N");
    EXPECT_FALSE(checkCodedCell(session, 0, 0, false, run).ok);
    EXPECT_FALSE(checkCodedCell(session, 1, 0, false, run).ok);  // "No" holds for the whole run
    FieldCheckRun next;
    next.fullCheck = true;
    ui.addToken("Y");
    EXPECT_TRUE(checkCodedCell(session, 0, 0, false, next).ok);
    EXPECT_TRUE(checkCodedCell(session, 1, 0, false, next).ok);  // not asked again: no answer is left
    EXPECT_TRUE(ui.cancelledDialogs().empty());
    EXPECT_EQ(cell(0, 0), "x");
}

TEST_F(FieldListTest, UnknownCodeOpensTheChooser) {
    useList({"S;Boden;;Au;Bu;Ca", "L;Bodentext;;Sand;Lehm;Ton", "I;Nummer;;10;9;100"});
    openLines({"S;Boden;;a x;u", "L;Bodentext;;;", "S;Nummer;;x;", "T;Ort;;;"});
    // Nothing chosen: a code not in the list, and the cell as it was.
    const FieldCheck cancelled = coded(0, 0);
    EXPECT_FALSE(cancelled.ok);
    EXPECT_EQ(cancelled.kind, 'F');
    EXPECT_EQ(cell(0, 0), "a x");
    // Nothing matches "A X": all lines are offered; two chosen.
    ui.addToken("1,3");
    EXPECT_TRUE(coded(0, 0).ok);
    EXPECT_EQ(cell(0, 0), "Au Ca");
    EXPECT_EQ(cell(0, 1), "Sand / Ton");
    // "u" offers the codes that contain it: the second line is "Bu".
    ui.addToken("2");
    EXPECT_TRUE(coded(1, 0).ok);
    EXPECT_EQ(cell(1, 0), "Bu");
    EXPECT_EQ(cell(1, 1), "Lehm");
    // Whole-number codes sort by value; the list's spelling is written.
    ui.addToken("1");
    EXPECT_TRUE(coded(0, 2).ok);
    EXPECT_EQ(cell(0, 2), "9");
}

TEST_F(FieldListTest, TemplateCodesCompleted) {
    useList({"S;Fläche;;AB$;C", "T;$Fläche;;\"-\";#;Typ;$L", "S;Typ;;X;Y"});
    struct Case {
        std::string entry;
        Lines answers;
        std::string result, message;
    };
    const Case cases[] = {
        // Number and type read from the entry; "$L" writes the result in lower case.
        {"AB-12X", {}, "ab-12x", ""},
        // A negative number and an unknown type are asked again.
        {"ab", {"-1", "7", "q", "y"}, "ab-7y", "Unbekannter Typ. Bitte nochmal!"},
        // The same refused answer twice, or a cancelled question, abandons the completion.
        {"ab", {"-1", "-1"}, "ab", "Eintrag unvollständig"},
        {"ab", {}, "ab", "Eintrag unvollständig"},
    };
    for (const Case& c : cases) {
        openLines({"S;Fläche;;" + c.entry, "T;Ort;;"});
        for (const std::string& a : c.answers) ui.addToken(a);
        ui.clearLog();
        EXPECT_TRUE(coded(0, 0).ok) << c.entry;
        EXPECT_EQ(cell(0, 0), c.result) << c.entry;
        if (c.message.empty())
            EXPECT_TRUE(ui.messages().empty()) << c.entry;
        else
            EXPECT_TRUE(said(c.message)) << c.entry;
        EXPECT_EQ(ui.tokensLeft(), 0u) << c.entry;
    }
    // Without a template field the entry stays as typed.
    useList({"S;Fläche;;AB$;C"});
    openLines({"S;Fläche;;ab-1", "T;Ort;;"});
    EXPECT_TRUE(coded(0, 0).ok);
    EXPECT_EQ(cell(0, 0), "ab-1");
}

TEST_F(FieldListTest, LookupCells) {
    useList(kSoils);
    openLines({"S;Boden;;a;a", "L;Bodentext;;Lehm;Sand", "T;Ort;;;", "L;Bodentext;;Lehm;", "L;Fremd;;Lehm;"});
    FieldCheckRun run;
    // Unchanged, or a name the list does not know: passes.
    EXPECT_TRUE(checkLookupCell(session, 0, 1, "Lehm", true, run).ok);
    EXPECT_TRUE(checkLookupCell(session, 0, 4, "", true, run).ok);
    // A full check leaves the rows of a block to the coded row; a lookup row outside a block is wrong.
    run.fullCheck = true;
    EXPECT_TRUE(checkLookupCell(session, 0, 1, "", false, run).ok);
    const FieldCheck stray = checkLookupCell(session, 0, 3, "", false, run);
    EXPECT_FALSE(stray.ok);
    EXPECT_EQ(stray.kind, 'D');
    // Changed by hand: the chooser runs for the block and writes the code and its texts.
    run.fullCheck = false;
    ui.addToken("2");
    EXPECT_TRUE(checkLookupCell(session, 0, 1, "Sand", true, run).ok);
    EXPECT_EQ(cell(0, 0), "B");
    EXPECT_EQ(cell(0, 1), "Lehm");
    EXPECT_EQ(session.cursorRow, 0);
    // Outside a block the chooser has nothing to offer.
    EXPECT_FALSE(checkLookupCell(session, 0, 3, "", true, run).ok);
    EXPECT_EQ(lastMessage(), "Fremde Zeile in Datenbank-Block");
    EXPECT_EQ(session.cursorRow, 2);
}

TEST_F(FieldListTest, LookUpInTheHeaderGrids) {
    openLines({"T;Hx;;", "S;Boden;;b", "L;Bodentext;;"});
    session.cursorRow = 0;
    ASSERT_TRUE(execute(105010000, 1).ok());
    EXPECT_EQ(lastMessage(), "Die Vorlage enthält keine Kopfdatenzeilen.\rNachschlagen ist nicht möglich.");
    // The template's entry nearest to the row name is preselected.
    session.buffer().setKopf({"Datum;D;", "Höhe;I;", "Ort;T;C O"});
    ui.setAcceptPresets(true);
    ASSERT_TRUE(execute(105010000, 1).ok());
    const TEditBuffer& b = session.buffer();
    EXPECT_EQ(b.GetZl('K', 0), "Ort");
    EXPECT_EQ(b.GetP('K', 0), "C O");
    ui.setAcceptPresets(false);
    ui.addToken("1");
    ASSERT_TRUE(execute(105010000, 1).ok());
    EXPECT_EQ(b.GetZl('K', 0), "Datum");
    EXPECT_EQ(b.GetTyp('K', 0), 'D');

    // In the header values: the value chooser, which needs a list and a coded row.
    session.cursorCol = 0;
    session.cursorRow = 1;
    ASSERT_TRUE(execute(105010000, 2).ok());
    EXPECT_EQ(lastMessage(), "Die Angabenliste ist leer.");
    useList(kSoils);
    // "b" offers the one code that contains it.
    ui.addToken("1");
    ASSERT_TRUE(execute(105010000, 2).ok());
    EXPECT_EQ(cell(0, 1), "B");
    EXPECT_EQ(cell(0, 2), "Lehm");
    session.cursorRow = 0;
    char kind = 0;
    EXPECT_FALSE(chooseFieldValue(session, true, kind));
    EXPECT_EQ(kind, 'U');
    EXPECT_EQ(lastMessage(), "Unbekannter Zeilenkopf");
}

TEST_F(FieldListTest, ChoosingTheListFile) {
    ASSERT_TRUE(session.useSpeciesDb(std::string(TAVOLEX_SAMPLES) + "/arten.adb", false).ok());
    const std::string file = dir.file("angaben.tab");
    testing::writeBytes(file, "S;Boden;;A;B\r\nT;$/Z;;;/B;/S\r\n");
    ui.addToken(file);
    ASSERT_TRUE(execute(109020100, 2).ok());
    EXPECT_EQ(session.settings().AngName, file);
    EXPECT_EQ(session.fieldList.find("Boden"), 0);
    EXPECT_EQ(session.speciesDb()->Settings().Zusatzlist, "/B;/S");
    // A file that does not exist is refused; the list stays.
    ui.addToken(dir.file("fehlt.tab"));
    EXPECT_FALSE(execute(109020100, 2).ok());
    EXPECT_EQ(session.settings().AngName, file);
    EXPECT_EQ(session.fieldList.size(), 1);
}

TEST_F(FieldListTest, ListCheckedBeforeItIsSaved) {
    openLines({"S;Ort;;a;b;A", "L;ORT;;x;;x", "T;$/Vorlage;;V1;T;Ort;;T;Ort", "T;$/Vorlage;;V2;T;Ort",
               "T;$Ort;;#;#", "T;;;q;q"});
    EXPECT_EQ(fieldListErrors(session),
              (Lines{"Zeile 1, Spalte 3 doppelter Eintrag: A", "Zeile 2, doppelter Zeilenkopf: ORT",
                     "Zeile 2, Spalte 3 doppelter Eintrag: x", "Zeile 6, Spalte 2 doppelter Eintrag: q"}));
    const std::string file = dir.file("lines.tab");
    const std::string before = testing::readBytes(file);
    TEditBuffer& b = session.buffer();
    b.Put('K', "c", 2, 0);
    EXPECT_FALSE(execute(109020200, 2).ok());
    EXPECT_EQ(testing::readBytes(file), before);
    // Mended, the list is saved.
    b.PutZl('K', "Ort2", 1);
    b.Put('K', "y", 2, 1);
    b.Put('K', "r", 1, 5);
    ASSERT_TRUE(fieldListErrors(session).empty());
    ASSERT_TRUE(execute(109020200, 2).ok());
    EXPECT_NE(testing::readBytes(file).find("L;Ort2;;x;;y"), std::string::npos);
}

TEST_F(FieldListTest, LookUpInTheSpeciesGrid) {
    openLines({"T;Ort;;a", "A;Elymus repens //K;;1"});
    session.cursorRow = 0;
    // Without a species database nothing changes.
    ASSERT_TRUE(execute(105010000, 3).ok());
    EXPECT_EQ(lastMessage(), "Keine Artenliste aktiv.\rBitte zuerst eine Artenliste wählen.");
    EXPECT_EQ(session.buffer().GetZl('A', 0), "Elymus repens //K");
    ASSERT_TRUE(session.useSpeciesDb(std::string(TAVOLEX_SAMPLES) + "/arten.adb", false).ok());
    // The one name found is offered; "//" the user typed stands for "/", the addition stays.
    ui.addToken("1");
    ASSERT_TRUE(execute(105010000, 3).ok());
    EXPECT_EQ(session.buffer().GetZl('A', 0), "Elymus repens /K");
}

}  // namespace
}  // namespace tav
