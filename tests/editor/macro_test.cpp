// Macros: conditions over the variables, macros inserted from a collection, the depth at which a macro
// that inserts itself stops, the collection file and its check from a table, and the variable commands.

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "editor/dispatch.h"
#include "editor/macro_collection.h"
#include "editor/session.h"
#include "editor/statements.h"
#include "platform/script_ui.h"
#include "support/editor_fixture.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::TempDir;

constexpr std::int64_t kSortRows = 103110000;

struct Editor : testing::EditorFixture {
    std::string trace;  // one letter per stand-in command run: its answer

    Editor() {
        // "Zeilen sortieren" stands in for any command: it notes the text its dialog is answered with.
        dispatcher.add(kSortRows, [this](Session& s, const CommandEntry&) {
            DialogRequest r;
            r.kind = DialogKind::Text;
            r.name = "Probe";
            if (auto a = s.ui().dialog(r)) trace += *a;
            return Status();
        });
    }
};

// A status as the user reads it.
std::string shown(const Status& s, const Session& session) {
    std::string out;
    for (const Message& m : s.messages())
        out += m.render([&](const std::string& k) { return session.catalogue().messageText(k); }) + "\n";
    return out;
}

// The marked statement text of a failed run.
std::string marked(const Status& s) {
    const std::string shown = s.plain();
    return shown.substr(shown.rfind("\n\n") + 2);
}

TEST(Macro, Conditions) {
    Editor e;
    e.session.variables[0] = "ABC";
    e.session.variables[1] = "12 4 7";
    e.session.variables[2] = "x 5";
    struct Case {
        const char* condition;
        std::optional<bool> result;
    };
    const Case cases[] = {
        {"&1=ABC", true},          {"&1=abc", false},      {"&1<>ABC", false},
        {"&1!=ABD", true},         {"#2>10", true},        {"#2<=11", false},
        {"#2>=12", true},          {"#3>1", std::nullopt}, {"&2=12 4 7", true},
        {"\"a b\"=\"a b\"", true}, {"'B'>'A'", true},      {"3<10", true},
        {"3<>3", false},           {"x=1", std::nullopt},  {"kein Operator", std::nullopt},
        {"#9=1", std::nullopt},    {"&4=\"\"", true},      {" 2 = 2.0 ", true},
    };
    for (const Case& c : cases) EXPECT_EQ(evaluateCondition(c.condition, e.session), c.result) << c.condition;
}

TEST(Macro, InsertedMacros) {
    const MacroCollection collection = MacroCollection::parse(
        "T;AZ0000000000000000000000000000;;AAllgemein;zaJa;ZEILEN SORT;j;;\r\n"
        "T;AY0000000000000000000000000000;;AAllgemein;zbNein;ZEILEN SORT;n;\r\n"
        "T;AX0000000000000000000000000000;;AAllgemein;zcBeide;&SUB;ja;&SUB;Nein\r\n"
        "T;AW0000000000000000000000000000;;AAllgemein;zdSelbst;ZEILEN SORT;s;&SUB;Selbst\r\n");
    struct Case {
        const char* statements;
        const char* trace;
        const char* failure;  // the marked text, "" when the run succeeds
    };
    const Case cases[] = {
        {"&SUB;Ja;ZEILEN SORT;x", "jx", ""},
        {"&SUB;Beide;ZEILEN SORT;x", "jnx", ""},
        {"&SUB;AZ;&SUB;AZ0000000000000000000000000000", "jj", ""},  // by code, with or without padding
        {"&IF&1=eins;Ja;&ELSE;Nein", "j", ""},
        {"&IF&1=zwei;Ja;&ELSE;Nein", "n", ""},
        {"&IF&1=zwei;Ja;&WAS;;&ELSE;Nein", "n", ""},          // control statements keep the flag
        {"&IF&1=zwei;Ja;ZEILEN SORT;x;&ELSE;Nein", "x", ""},  // an ordinary statement clears it
        {"&IF#1>0;Ja;&ELSE;Nein", "", ""},                    // invalid: neither
        {"&ELSE;Nein", "", ""},
        {"&SUB;Fehlt;ZEILEN SORT;x", "", "&SUB;Fehlt <-- ERROR ;ZEILEN SORT;x"},
        {"&IF&1=eins;Fehlt", "", "&IF&1=eins;Fehlt <-- ERROR "},
    };
    for (const Case& c : cases) {
        Editor e;
        e.session.variables[0] = "eins";
        const Status s = e.run(c.statements, &collection);
        EXPECT_EQ(e.trace, c.trace) << c.statements;
        if (*c.failure == 0) {
            EXPECT_TRUE(s.ok()) << c.statements << ": " << s.plain();
        } else {
            ASSERT_FALSE(s.ok()) << c.statements;
            EXPECT_EQ(marked(s), c.failure);
            EXPECT_NE(shown(s, e.session).find("eingefügtes Makro nicht gefunden"), std::string::npos);
        }
    }

    // A macro that inserts itself ends at the depth limit, with the marker behind the last insertion.
    Editor e;
    const Status s = e.run("&SUB;Selbst", &collection);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(e.trace, std::string(kMaxMacroDepth, 's'));
    EXPECT_NE(shown(s, e.session).find("mehr als 100 Ebenen"), std::string::npos);
    EXPECT_NE(marked(s).find("&SUB;Selbst <-- ERROR ;"), std::string::npos);

    // Without a collection nothing can be inserted.
    Editor none;
    EXPECT_EQ(marked(none.run("&SUB;Ja")), "&SUB;Ja <-- ERROR ");
}

TEST(Macro, CollectionFile) {
    const MacroCollection c = MacroCollection::parse(
        "; a comment\n"
        "T;000000000000000000000000000000;;AVersteckt;zaIntern;HILFE VERS;\n"
        "T;AZ0000000000000000000000000000;;A Allgemeine Befehle;B Unter stufe;zaZeilen  sortieren;ZEILEN "
        "SORT;0;;\n"
        "X;BZ0000000000000000000000000000;;AAnderes;zaNie;HILFE VERS\n"
        "T;AB0000000000000000000000000000;;AAllgemein\n"
        // A gap among the level cells (it used to end the program).
        "T;AC0000000000000000000000000000;;AAllgemein;;zbLücke;HILFE VERS\n");
    ASSERT_EQ(c.entries().size(), 4u);
    EXPECT_EQ(c.entries()[3].levels, (std::vector<std::string>{"Allgemein", ""}));
    EXPECT_EQ(c.entries()[3].caption, "Lücke");
    const MacroEntry& e = c.entries()[1];
    EXPECT_EQ(e.levels, (std::vector<std::string>{"AllgemeineBefehle", "Unterstufe"}));
    EXPECT_EQ(e.caption, "Zeilen  sortieren");
    EXPECT_EQ(e.contents, "ZEILEN SORT;0");
    EXPECT_EQ(e.listText(), "AZ --- Zeilen  sortieren");
    EXPECT_EQ(e.line, 3);
    // Neither the hidden entry nor the node without a macro is offered; the hidden one can be inserted.
    ASSERT_EQ(c.offered().size(), 2u);
    EXPECT_EQ(c.offered()[0], &e);
    EXPECT_EQ(c.find("intern"), &c.entries()[0]);
    EXPECT_EQ(c.find(" ZEILEN  SORTIEREN "), &e);
    EXPECT_EQ(c.find("Nie"), nullptr);

    TempDir dir;
    EXPECT_FALSE(MacroCollection::read(dir.file("fehlt.col")).ok());
}

TEST(Macro, CollectionFromTheTable) {
    Editor e;
    TEditBuffer& b = e.session.buffer();
    b.Clear();
    const char* rows[] = {
        "T;;;AAllgemein;zaErster;ZEILEN SORT;0",
        "T;;;AAllgemein;zbZweiter;HILFE VERS;;&SUB;Erster",
        "N;;;kein Eintrag",
        "T;;;AAllgemein;zaDoppelt;HILFE VERS",
        "T;;;AAllgemein;;zcLücke",
        "T;;;AAllgemein;zdFalsch;GIBTS NICHT;1",
        "T;;;BAnderes",
    };
    b.InsCols(0, 8);
    for (int i = 0; i < 7; ++i) {
        b.InsRow('K', i);
        ASSERT_TRUE(b.PutRow('K', rows[i], i)) << rows[i];
    }
    const CollectionCheck check = checkCollection(
        b, [](std::string_view command) { return command == "ZEILEN SORT" || command == "HILFE VERS"; });
    EXPECT_EQ(check.errors, (std::vector<std::string>{
                                "Zeile 4: doppelter Merkmalscode (Aza).",
                                "Zeile 5: Merkmal ohne Ausprägung.",
                                "Zeile 6: unbekannte Zeichenfolge (GIBTS NICHT)",
                            }));
    ASSERT_GE(check.lines.size(), 2u);
    EXPECT_EQ(check.lines[0], "T;Aza000000000000000000000000000;;AAllgemein;zaErster;ZEILEN SORT;0");
    EXPECT_EQ(check.lines[1],
              "T;Azb000000000000000000000000000;;AAllgemein;zbZweiter;HILFE VERS;;&SUB;Erster");
    EXPECT_EQ(check.lines.back(), "T;B00000000000000000000000000000;;BAnderes");
    // What the check writes reads back as the same macros.
    std::string text;
    for (const std::string& l : check.lines) text += l + "\n";
    const MacroCollection back = MacroCollection::parse(text);
    ASSERT_NE(back.find("Zweiter"), nullptr);
    EXPECT_EQ(back.find("Zweiter")->contents, "HILFE VERS;;&SUB;Erster");
}

TEST(Macro, CommandsOfTheMacroMenu) {
    Editor e;
    TEditBuffer& b = e.session.buffer();
    b.Clear();
    b.InsCols(0, 4);
    b.InsRows('K', 0, 2);
    ASSERT_TRUE(b.PutRow('K', "T;;;AAllgemein;zaProbe;ZEILEN SORT;p", 0));
    ASSERT_TRUE(b.PutRow('K', "T;;;AAllgemein;zbVersion;HILFE VERS", 1));
    const std::string file = e.dir.file("makros.col");

    // Checked and written, the table's macros become the collection the menu runs.
    ASSERT_TRUE(e.run("MODULE MAKROS PRÜF;" + file).ok());
    EXPECT_EQ(testing::readBytes(file),
              "T;Aza000000000000000000000000000;;AAllgemein;zaProbe;ZEILEN SORT;p\r\n"
              "T;Azb000000000000000000000000000;;AAllgemein;zbVersion;HILFE VERS\r\n");
    EXPECT_EQ(e.session.settings().MakroName, file);
    ASSERT_TRUE(e.run("MODULE MAKROS MAKRO;1").ok());
    EXPECT_EQ(e.trace, "p");
    EXPECT_EQ(e.ui.messages().back().second, "Makro beendet.");
    // Step by step, each statement is shown before it runs.
    ASSERT_TRUE(e.run("MODULE MAKROS SCHRITT;2").ok());
    const auto& shown = e.ui.messages();
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown[shown.size() - 3].second, "HILFE VERS\nVersion\n");
    EXPECT_FALSE(e.session.stepMode);
    // A line of the list that is not there is refused; a missing collection is said.
    EXPECT_FALSE(e.run("MODULE MAKROS MAKRO;3").ok());
    e.session.settings().MakroName = e.dir.file("fehlt.col");
    EXPECT_FALSE(e.run("MODULE MAKROS MAKRO;1").ok());
    EXPECT_EQ(e.ui.messages().back().second,
              "Makro-Datei " + e.dir.file("fehlt.col") + " nicht gefunden. Bitte wählen.");

    // A table with a fault is not written: the list of faults is shown.
    ASSERT_TRUE(b.PutRow('K', "T;;;AAllgemein;zaProbe;GIBTS NICHT", 1));
    e.ui.addToken("1");  // closes the list of faults
    EXPECT_FALSE(e.run("MODULE MAKROS PRÜF;" + e.dir.file("neu.col")).ok());
    EXPECT_FALSE(fileExists(e.dir.file("neu.col")));

    // A saved recording read back: its lines are kept while recording is on, then an empty line.
    testing::writeBytes(e.dir.file("rec.txt"), "Menu;1;A\r\nButton;2;B\r\n");
    ASSERT_TRUE(e.run("MODULE AUFZ AUFZ;;MODULE AUFZ GESP;" + e.dir.file("rec.txt")).ok());
    EXPECT_EQ(e.session.recordingList().lines(), (std::vector<std::string>{"Menu;1;A", "Button;2;B", ""}));
}

TEST(Macro, Variables) {
    Editor e;
    TEditBuffer& b = e.session.buffer();
    b.Clear();
    b.InsCols(0, 2);
    b.InsRow('K', 0);
    ASSERT_TRUE(b.PutRow('K', "Z;Datum;;1.5.2020;2.5.2020", 0));
    b.InsRows('A', 0, 2);
    ASSERT_TRUE(b.PutRow('A', "A;Carex nigra;;1;+", 0));
    ASSERT_TRUE(b.PutRow('A', "A;Poa annua;;;2", 1));
    e.session.activeGrid = 4;
    e.session.cursorCol = 1;
    e.session.cursorRow = 1;
    b.mark(MarkSet::MroA, 0);
    b.mark(MarkSet::McoR, 0);
    b.mark(MarkSet::McoR, 1);

    const Status s = e.run(
        "BEARB VARIABLE CURSOR;0;"       // variable 1 := "4 2 2"
        "BEARB VARIABLE FELDINHALT;1;"   // variable 2 := "2"
        "BEARB VARIABLE MANUELL;2 neu;"  // variable 3 := "neu"
        "BEARB VARIABLE ANZAHL;3;"       // variable 4 := "3 0 2 0 1"
        "&IF#4>2;nicht da;"              // true: the missing macro stops the run here
    );
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(e.session.variables[0], "4 2 2");
    EXPECT_EQ(e.session.variables[1], "2");
    EXPECT_EQ(e.session.variables[2], "neu");
    EXPECT_EQ(e.session.variables[3], "3 0 2 0 1");

    // Back to the registered position, then its contents written into another cell with the typing
    // rules (";" becomes ",").
    e.session.variables[4] = "a;b";
    e.session.cursorCol = 0;
    e.session.cursorRow = 0;
    ASSERT_TRUE(e.run("BEARB VARIABLE ZU;0;BEARB VARIABLE INHALT;4").ok());
    EXPECT_EQ(e.session.activeGrid, 4);
    EXPECT_EQ(b.Get('A', 1, 1), "a,b");
    // A variable that holds no position, or one outside the table, leaves the cursor.
    for (const char* v : {"4 9 9", "zwei 1 1", "4 1"}) {
        e.session.variables[0] = v;
        ASSERT_TRUE(e.run("BEARB VARIABLE ZU;0").ok());
        EXPECT_EQ(e.session.cursorCol, 1) << v;
        EXPECT_EQ(e.session.cursorRow, 1) << v;
    }
    // In the row-name grid the variable becomes the name.
    e.session.activeGrid = 3;
    e.session.variables[5] = "Poa trivialis";
    ASSERT_TRUE(e.run("BEARB VARIABLE INHALT;5").ok());
    EXPECT_EQ(b.GetZl('A', 1), "Poa trivialis");
}

}  // namespace
}  // namespace tav
