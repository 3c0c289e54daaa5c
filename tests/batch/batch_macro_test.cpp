// Macros of a collection run by the batch runner: on one table with the table written afterwards, and
// over several tables with the question whether to go on after one that failed.

#include <gtest/gtest.h>

#include "support/batch_runner.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::BatchRun;
using testing::readBytes;
using testing::runBatch;
using testing::TempDir;
using testing::writeBytes;

const char* kTable =
    "T;Ort;;Alp;Tal\r\n"
    "A;Carex nigra;;1;+\r\n"
    "A;Poa annua;;;2\r\n";

const char* kCollection =
    "T;AZA000000000000000000000000000;;AAllgemein;zaVersion;HILFE VERS;\r\n"
    "T;AZB000000000000000000000000000;;AAllgemein;zbBedingt;BEARB VARIABLE MANUELL;0 ja;"
    "&IF&1=ja;Schreiben;&ELSE;Version\r\n"
    "T;AZC000000000000000000000000000;;AAllgemein;zcSchreiben;BEARB VARIABLE MANUELL;1 Neu;"
    "BEARB VARIABLE INHALT;1\r\n"
    "T;AZD000000000000000000000000000;;AAllgemein;zdSelbst;&SUB;Selbst\r\n"
    "T;AZE000000000000000000000000000;;AAllgemein;zeFalsch;HILFE VERS;;ZEILEN GIBTS;x\r\n"
    "T;AZF000000000000000000000000000;;AAllgemein;zfAnzahl;BEARB VARIABLE ANZAHL;2;"
    "&IF#3>1;Schreiben\r\n";

TEST(BatchMacro, RunsAMacroOfTheCollection) {
    struct Case {
        const char* args;
        int status;
        const char* err;    // a part of stderr
        const char* table;  // the table saved afterwards; nothing saved when empty
    };
    const Case cases[] = {
        {"--macro version", 0, "info: Makro beendet.", kTable},
        {"--macro AZA", 0, "info: Tavolex, Version", kTable},
        {"--macro Bedingt --cursor 4,2,1", 0, "Makro beendet.",
         "T;Ort;;Alp;Tal\r\nA;Carex nigra;;1;Neu\r\nA;Poa annua;;;2\r\n"},
        // Three marks counted: the condition on the first word holds.
        {"--macro Anzahl --cursor 3,1,2 --mark-rows 1,2 --mark-cols 2", 0, "",
         "T;Ort;;Alp;Tal\r\nA;Carex nigra;;1;+\r\nA;Neu;;;2\r\n"},
        {"--macro Anzahl --cursor 3,1,2 --mark-rows 1", 0, "", kTable},
        {"--macro Selbst", 1, "mehr als 100 Ebenen tief", ""},
        {"--macro Falsch", 1, "unbekannter Befehl: ZEILEN GIBTS", ""},
        {"--macro Fehlt", 2, "holds no macro \"Fehlt\"", ""},
        {"--run '&SUB;Schreiben' --cursor 4,1,2", 0, "",
         "T;Ort;;Alp;Tal\r\nA;Carex nigra;;1;+\r\nA;Poa annua;;Neu;2\r\n"},
        {"--run '&SUB;Nirgends;HILFE VERS;'", 1, "&SUB;Nirgends <-- ERROR ;HILFE VERS;", ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeBytes(dir.file("t.tab"), kTable);
        writeBytes(dir.file("m.col"), kCollection);
        const BatchRun r = runBatch(std::string(c.args) + " --collection " + dir.file("m.col") + " " +
                                        dir.file("t.tab") + " --save " + dir.file("out.tab"),
                                    dir);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(readBytes(dir.file("out.tab")), c.table) << c.args << "\n" << r.err;
    }
}

TEST(BatchMacro, RunsOverSeveralTables) {
    // The macro fails on a table whose first header row is named "Kaputt".
    const std::string collection = std::string(kCollection) +
                                   "T;AZG000000000000000000000000000;;AAllgemein;zgJeDatei;"
                                   "BEARB VARIABLE FELDINHALT;0;&IF&1=Kaputt;Falsch;HILFE VERS;\r\n";
    struct Case {
        const char* answer;
        int versions;  // the runs the macro started (the failing one shows the version before it fails)
    };
    for (const Case c : {Case{"Y", 3}, Case{"N", 2}, Case{"", 2}}) {
        TempDir dir;
        writeBytes(dir.file("m.col"), collection);
        writeBytes(dir.file("a.tab"), kTable);
        writeBytes(dir.file("b.tab"), "T;Kaputt;;x;y\r\nA;Poa annua;;1;\r\n");
        writeBytes(dir.file("c.tab"), kTable);
        const std::string answer = *c.answer ? std::string(" --answer ") + c.answer : std::string();
        const BatchRun r = runBatch("--macro JeDatei --collection " + dir.file("m.col") + answer + " " +
                                        dir.file("a.tab") + " " + dir.file("b.tab") + " " + dir.file("c.tab"),
                                    dir);
        EXPECT_EQ(r.status, 1) << r.err;
        std::size_t versions = 0;
        for (std::size_t at = 0; (at = r.err.find("info: Tavolex, Version", at)) != std::string::npos; ++at)
            ++versions;
        EXPECT_EQ(versions, static_cast<std::size_t>(c.versions)) << c.answer << "\n" << r.err;
        EXPECT_NE(r.err.find("unbekannter Befehl: ZEILEN GIBTS"), std::string::npos) << r.err;
        // The question names the table; unanswered, it counts as cancelled and the run ends.
        if (!*c.answer) {
            EXPECT_NE(
                r.err.find("Die Datei " + dir.file("b.tab") + " wurde nicht fertig bearbeitet. Weiter?"),
                std::string::npos)
                << r.err;
        }
        EXPECT_NE(r.err.rfind("info: Makro beendet.\n"), std::string::npos) << r.err;
        // The tables are not saved by the run.
        EXPECT_EQ(readBytes(dir.file("a.tab")), kTable);
    }
}

// File commands in statements. "@" in a case stands for the test's folder.
TEST(BatchMacro, FileCommands) {
    struct Case {
        const char* args;
        const char* file;      // a file of the folder afterwards
        const char* contents;  // its contents
    };
    const char* changed = "T;Ort;;Alp;Tal\r\nA;Carex nigra;;x;+\r\nA;Poa annua;;;2\r\n";
    const Case cases[] = {
        {"--cursor 4,1,1 --run 'BEARB VARIABLE MANUELL;0 x;BEARB VARIABLE INHALT;0;DATEI S*UNTER;@/b.tab'",
         "b.tab", changed},
        {"--run 'DATEI AKT TABELLE;*_v2;DATEI SPEICHERN;'", "t_v2.tab", kTable},
        // A selection: deleting clears its fields only.
        {"--cursor 4,1,1 --select 1,1,2,1 --run 'BEARB LÖSCHEN;' --save @/sel.tab", "sel.tab",
         "T;Ort;;Alp;Tal\r\nA;Carex nigra;;;\r\nA;Poa annua;;;2\r\n"},
        // A new table, then another opened: what is saved at the end is the opened one.
        {"--run 'DATEI NEU;;DATEI ÖFFNEN;@/anders.tab' --save @/out.tab", "out.tab",
         "T;Anders;;1\r\nA;Poa;;+\r\n"},
        // The table as the environment's template: a new table is a copy of it, unnamed.
        {"--env @/umgebung.ini --run 'DATEI S*VORLAGE;;DATEI NEU;;DATEI SPEICHERN;@/neu.tab'", "neu.tab",
         kTable},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeBytes(dir.file("t.tab"), kTable);
        writeBytes(dir.file("anders.tab"), "T;Anders;;1\r\nA;Poa;;+\r\n");
        writeBytes(dir.file("umgebung.ini"), "");
        std::string args = c.args;
        for (std::size_t at; (at = args.find('@')) != std::string::npos;) args.replace(at, 1, dir.path());
        const BatchRun r = runBatch(args + " " + dir.file("t.tab"), dir);
        EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
        EXPECT_EQ(readBytes(dir.file(c.file)), c.contents) << args << "\n" << r.err;
        EXPECT_EQ(readBytes(dir.file("t.tab")), kTable) << args;
    }
}

TEST(BatchMacro, OptionsThatDoNotGoTogether) {
    TempDir dir;
    writeBytes(dir.file("m.col"), kCollection);
    const std::string col = " --collection " + dir.file("m.col");
    for (const std::string& args : std::vector<std::string>{
             std::string("--macro Version t.tab"),                    // no collection
             col + " t.tab",                                          // a collection for nothing
             "--macro Version --run 'HILFE VERS;'" + col + " t.tab",  // two ways to run
             "t.tab u.tab",                                           // several tables need a macro
             "--macro Version --save o.tab" + col + " t.tab u.tab",   // one file for several tables
             "--select 1,1,2 t.tab",                                  // a corner without its row
         }) {
        const BatchRun r = runBatch(args, dir);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
    }
}

}  // namespace
}  // namespace tav
