// The batch runner seen from outside: exit status, messages and the files it writes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>

#include "core/file_io.h"
#include "core/text.h"
#include "support/artdb_fixture.h"
#include "support/batch_runner.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using testing::BatchRun;
using testing::runBatch;

const std::string kDune = std::string(TAVOLEX_SAMPLES) + "/dune.tab";

TEST(Batch, ListCommands) {
    TempDir dir;
    const BatchRun german = runBatch("--list-commands", dir);
    EXPECT_EQ(german.status, 0) << german.err;
    EXPECT_EQ(german.out.rfind("101000000;Datei;MainWindow;Untermenü\n", 0), 0u) << german.out;
    EXPECT_NE(german.out.find("\n102090000;Bearbeiten;Einfügen (Ins);GridEditing;verfügbar\n"),
              std::string::npos);
    const BatchRun english = runBatch("--list-commands --lang E", dir);
    EXPECT_EQ(english.status, 0) << english.err;
    EXPECT_NE(english.out.find("\n110020101;Options;Editor environment;Schriftarten;Editor font;MainWindow;"
                               "nicht verfügbar\n"),
              std::string::npos)
        << english.out;
    // A table beside the listing would be silently left unread.
    const BatchRun withTable = runBatch("--list-commands " + kDune, dir);
    EXPECT_EQ(withTable.status, 2);
    EXPECT_EQ(withTable.out, "");
    EXPECT_EQ(withTable.err.rfind("error: --list-commands and --write-help take no table", 0), 0u)
        << withTable.err;
    // The help pages, likewise without a table.
    const BatchRun help = runBatch("--write-help " + dir.file("hilfe"), dir);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_TRUE(testing::readBytes(dir.file("hilfe/index.htm")).find("mnuFelder.htm") != std::string::npos);
    EXPECT_EQ(runBatch("--write-help " + dir.file("hilfe") + " " + kDune, dir).status, 2);
}

TEST(Batch, UsageErrors) {
    TempDir dir;
    for (const char* args :
         {"", "--bogus x.tab", "--import-layout 7 x.tab", "--import-layout 1 x.tab",
          "--import-layout 20 x.tab", "--delimiter ab x.tab", "--export-layout 5 f x.tab", "a.tab b.tab",
          "--save", "--delimiter ';' --qualifier ';' x.tab", "--delimiter tab --qualifier '\t' x.tab",
          "--cover-system 4 --cover-file c x.tab"}) {
        BatchRun r = runBatch(args, dir);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("error: "), std::string::npos) << args;
        EXPECT_NE(r.err.find("usage: tavolex-batch"), std::string::npos) << args;
    }
    // An option that takes one value, given twice, would silently lose the first value.
    for (const char* args :
         {"--save a.tab --save b.tab", "--env a.VP --env b.VP", "--species-db a.adb --species-db b.adb",
          "--cover-file a --cover-file b", "--delimiter ';' --delimiter ';'", "--qualifier x --qualifier y",
          "--import-layout 3 --import-layout 4", "--export-encoding 1 --export-encoding 1",
          "--lang D --lang E", "--cover-system 2 --cover-system 6",
          "--import-species-list a.txt --import-species-list b.txt"}) {
        BatchRun r = runBatch(std::string(args) + " x.tab", dir);
        EXPECT_EQ(r.status, 2) << args;
        const std::string option(args, std::strchr(args, ' '));
        EXPECT_EQ(r.err.rfind("error: " + option + " may be given only once\n", 0), 0u) << r.err;
    }
    writeBytes(dir.file("t.tab"), "T;Nr;;1\r\nA;Poa;;+\r\n");
    BatchRun twice =
        runBatch("--lookup a --lookup b --export-layout 3 " + dir.file("a.txt") + " --export-layout 4 " +
                     dir.file("b.txt") + " --summary --summary " + dir.file("t.tab"),
                 dir);
    EXPECT_EQ(twice.status, 2);  // the lookups need a species database, but the repeats are fine
    EXPECT_EQ(twice.err.rfind("error: --import-species-list and --lookup need --species-db", 0), 0u)
        << twice.err;
    EXPECT_EQ(runBatch("--export-layout 3 " + dir.file("a.txt") + " --export-layout 4 " + dir.file("b.txt") +
                           " " + dir.file("t.tab"),
                       dir)
                  .status,
              0);
    EXPECT_EQ(runBatch("--help", dir).status, 0);
    BatchRun v = runBatch("--version", dir);
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out.rfind("tavolex-batch ", 0), 0u);
}

TEST(Batch, ReadsSummarisesAndSavesTheDuneSample) {
    TempDir dir;
    BatchRun r = runBatch("--summary " + kDune + " --save " + dir.file("dune.tab"), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("releves: 20\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("header rows: 6\n"), std::string::npos);
    EXPECT_NE(r.out.find("species rows: 30\n"), std::string::npos);
    EXPECT_NE(r.out.find("  T Management\n"), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("dune.tab")), readBytes(kDune));
    EXPECT_EQ(r.err, "");
}

TEST(Batch, UnreadableTableWritesNothing) {
    TempDir dir;
    writeBytes(dir.file("keep.tab"), "precious\r\n");
    BatchRun r = runBatch(dir.file("none.tab") + " --save " + dir.file("keep.tab") + " --export-layout 3 " +
                              dir.file("new.txt"),
                          dir);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "error: Kann " + dir.file("none.tab") + " nicht öffnen.\n");
    EXPECT_EQ(readBytes(dir.file("keep.tab")), "precious\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.txt")));

    BatchRun w = runBatch(kDune + " --save " + dir.file("no/folder/x.tab"), dir);
    EXPECT_EQ(w.status, 3);
    EXPECT_EQ(w.err.rfind("error: Kann " + dir.file("no/folder/x.tab") + " nicht speichern", 0), 0u) << w.err;
}

TEST(Batch, ImportsAndExportsTextLayouts) {
    TempDir dir;
    writeBytes(dir.file("in.csv"), "Nr;1;2\r\nOrt;a;\"b;c\"\r\n");
    BatchRun asked = runBatch("--import-layout 3 " + dir.file("in.csv"), dir);
    EXPECT_EQ(asked.status, 3);  // the delimiter question cannot be answered without --delimiter
    EXPECT_NE(asked.err.find("--delimiter"), std::string::npos) << asked.err;
    EXPECT_EQ(
        asked.err.rfind("warning: dialog \"Trennzeichen\" (DlgDelimEinst) cancelled: no answer given\n", 0),
        0u)
        << asked.err;
    BatchRun english = runBatch("--lang E --import-layout 3 " + dir.file("in.csv"), dir);
    EXPECT_EQ(english.err.rfind("warning: dialog \"Delimiter\" (DlgDelimEinst) cancelled", 0), 0u)
        << english.err;

    BatchRun r =
        runBatch("--import-layout 3 --delimiter ';' --qualifier '\"' " + dir.file("in.csv") +
                     " --export-layout 4 " + dir.file("t.txt") + " --export-encoding 1 --export-layout 3 " +
                     dir.file("n.txt") + " --save " + dir.file("t.tab"),
                 dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "info: Ich habe Strichpunkte durch Kommas ersetzt.\n");
    EXPECT_EQ(readBytes(dir.file("t.tab")), "T;Nr;;1;2\r\nT;Ort;;a;b,c\r\nA;;;;\r\n");
    EXPECT_EQ(readBytes(dir.file("t.txt")), "\xEF\xBB\xBFNr;Ort;\r\n1;a;\r\n2;b,c;\r\n");
    EXPECT_EQ(readBytes(dir.file("n.txt")), "\xEF\xBB\xBFNr;1;2\r\nOrt;a;b,c\r\n;;\r\n");
}

TEST(Batch, StatisticsUnderTheChosenCoverSystem) {
    TempDir dir;
    writeBytes(dir.file("t.tab"), "T;Nr;;1;2\r\nA;s1;;r;3\r\nA;s2;;x;+\r\n");
    BatchRun r = runBatch("--stats " + dir.file("t.tab"), dir);  // Braun-Blanquet by default
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Art;Frequenz;Stetigkeit;Gesamtdeckung\ns1;2;1;35.03\ns2;1;0.5;0.3\n"
              "Aufnahme;Artenzahl;Gesamtdeckung\n1;1;0.03\n2;2;35.3\n");
    EXPECT_EQ(r.err.rfind("info: 1 mal eine ungültige Deckung ignoriert", 0), 0u) << r.err;

    // A definition file of kind Integer reads plain numbers; a missing one falls back with a message.
    writeBytes(dir.file("counts.tab"), "T;Titel;;Zählung\r\nT;Typ des Codes;;Integer\r\n");
    writeBytes(dir.file("n.tab"), "T;Nr;;1;2\r\nA;s1;;12;3\r\n");
    BatchRun n = runBatch("--stats --cover-file " + dir.file("counts.tab") + " " + dir.file("n.tab"), dir);
    ASSERT_EQ(n.status, 0) << n.err;
    EXPECT_NE(n.out.find("s1;2;1;15\n"), std::string::npos) << n.out;
    EXPECT_EQ(n.err, "");
    BatchRun m = runBatch("--stats --cover-file " + dir.file("none.tab") + " " + dir.file("n.tab"), dir);
    EXPECT_EQ(m.err.rfind("info: Datei " + dir.file("none.tab") + " nicht gefunden.", 0), 0u) << m.err;
}

TEST(Batch, WorkEnvironmentSetsLanguageDelimiterAndCoverSystem) {
    TempDir dir;
    // English texts, ";" as delimiter of text files, integers as covers; a bad line is skipped, not fatal.
    const std::string env = dir.file("env.VP");
    writeBytes(env, "Sprache;English\r\nDelimEinst;59\r\nDeckEinst;2\r\nDecimals;x\r\n");
    writeBytes(dir.file("n.tab"), "T;Nr;;1;2\r\nA;Poa;;12;3\r\n");
    BatchRun r = runBatch("--env " + env + " --stats " + dir.file("n.tab"), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Poa;2;1;15\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err.rfind("warning: " + env + ", Zeile 4", 0), 0u) << r.err;  // the refused Decimals line

    // ";" is the environment's delimiter, so a ";" file is read without asking.
    writeBytes(dir.file("in.csv"), "Nr;1;2\r\n");
    BatchRun s = runBatch(
        "--env " + env + " --import-layout 3 " + dir.file("in.csv") + " --save " + dir.file("o.tab"), dir);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(readBytes(dir.file("o.tab")), "T;Nr;;1;2\r\nA;;;;\r\n");

    // The language reaches the dialogs; --lang overrides the environment.
    writeBytes(dir.file("tabs.csv"), "Nr\t1\r\n");
    BatchRun q = runBatch("--env " + env + " --import-layout 3 " + dir.file("tabs.csv"), dir);
    EXPECT_NE(q.err.find("dialog \"Delimiter\" (DlgDelimEinst)"), std::string::npos) << q.err;
    BatchRun g = runBatch("--env " + env + " --lang D --import-layout 3 " + dir.file("tabs.csv"), dir);
    EXPECT_NE(g.err.find("dialog \"Trennzeichen\" (DlgDelimEinst)"), std::string::npos) << g.err;

    EXPECT_EQ(runBatch("--env " + dir.file("none.VP") + " " + dir.file("n.tab"), dir).status, 3);

    // The environment's qualifier also holds when the delimiter comes from the command line.
    const std::string quoting = dir.file("quoting.VP");
    writeBytes(quoting, "QualiEinst;34\r\n");
    writeBytes(dir.file("quoted.csv"), "Nr;1;\"2;3\"\r\n");
    BatchRun d = runBatch("--env " + quoting + " --delimiter ';' --import-layout 3 " +
                              dir.file("quoted.csv") + " --save " + dir.file("q.tab"),
                          dir);
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(readBytes(dir.file("q.tab")), "T;Nr;;1;2,3\r\nA;;;;\r\n");
}

TEST(Batch, SpeciesDatabaseRecognisesSpeciesRowsOfTextImports) {
    TempDir dir;
    const std::string db = std::string(TAVOLEX_SAMPLES) + "/arten.adb";
    ASSERT_EQ(runBatch(kDune + " --export-layout 3 " + dir.file("dune.txt"), dir).status, 0);
    BatchRun r = runBatch("--species-db " + db + " --delimiter tab --import-layout 3 --summary " +
                              dir.file("dune.txt") + " --lookup 'Agr*stis alba' --lookup 'Planta ignota'",
                          dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("header rows: 6\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("species rows: 30\n"), std::string::npos) << r.out;
    // A synonym found with its accepted name's key; a name not in the database.
    EXPECT_NE(r.out.find(";Agrostis alba auct. non L.;"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0;Planta ignota;-1\n"), std::string::npos) << r.out;

    EXPECT_EQ(runBatch("--species-db " + dir.file("none.adb") + " " + kDune, dir).status, 3);
}

TEST(Batch, HeaderRowsNamedLikeAGenusStayHeaderRows) {
    // The lichen-pasture sample has soil rows "N", "P", "K", "Ca" …; a single genus begins with "N".
    TempDir dir;
    const std::string vare = std::string(TAVOLEX_SAMPLES) + "/vare.tab";
    const std::string db = std::string(TAVOLEX_SAMPLES) + "/arten.adb";
    ASSERT_EQ(runBatch(vare + " --export-layout 3 " + dir.file("vare.txt"), dir).status, 0);
    BatchRun r = runBatch("--species-db " + db + " --delimiter tab --import-layout 3 " +
                              dir.file("vare.txt") + " --save " + dir.file("vare.tab"),
                          dir);
    ASSERT_EQ(r.status, 0) << r.err;
    // Header rows come back as header rows (text imports give them type T), species rows as species rows.
    const std::string original = readBytes(vare);
    std::string expected;
    for (std::string_view line : splitLines(original)) {
        if (line.empty()) continue;
        const std::size_t semi = line.find(';');
        expected += std::string(line[0] == 'A' ? "A" : "T") + std::string(line.substr(semi)) + "\r\n";
    }
    EXPECT_EQ(readBytes(dir.file("vare.tab")), expected);
}

TEST(Batch, SpeciesListImportBuildsTheSampleDatabase) {
    TempDir dir;
    BatchRun r =
        runBatch("--species-db " + dir.file("s.adb") + " --import-species-list " +
                     std::string(TAVOLEX_SAMPLES) + "/artenliste.txt --lookup 'Pleurozium schreberi'",
                 dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // no refused record, no dangling reference
    EXPECT_NE(r.out.find(";Pleurozium schreberi"), std::string::npos) << r.out;
    const std::string previous = readBytes(dir.file("s.adb"));

    // A ";" of the name asked for never adds a field to the output line.
    BatchRun semi = runBatch("--species-db " + dir.file("s.adb") + " --lookup 'Planta;ignota'", dir);
    EXPECT_EQ(semi.out, "0;Planta,ignota;-1\n");

    // A list whose every record is refused fails and leaves the database as it was.
    writeBytes(dir.file("leer.txt"),
               testing::speciesListText("Artenliste", {testing::SpeciesRecord("x", "Poa", "annua")}));
    BatchRun empty =
        runBatch("--species-db " + dir.file("s.adb") + " --import-species-list " + dir.file("leer.txt"), dir);
    EXPECT_EQ(empty.status, 3);
    EXPECT_NE(empty.err.find("error: Die Datei " + dir.file("leer.txt") + " enthält keinen Datensatz"),
              std::string::npos)
        << empty.err;
    EXPECT_EQ(readBytes(dir.file("s.adb")), previous);
}

TEST(Batch, IndicatorListImportNamesItsListAndMakesItCurrent) {
    TempDir dir;
    const std::string db = "--species-db " + dir.file("s.adb");
    const std::string species = " --import-species-list " + std::string(TAVOLEX_SAMPLES) + "/artenliste.txt";
    writeBytes(dir.file("zw.txt"),
               "Zeigerwerte Test\r\nArt s 60 t r\tL i 0 f f\r\nPoa trivialis\t6\r\n"
               "Planta ignota\t1\r\nBromus mollis L.\t3\r\n");
    // Weighted means of L in a two-releve table: Poa 6 (weight 1), Bromus (through its synonym) 3 (weight 2).
    writeBytes(dir.file("t.tab"), "T;Nr;;a;b\r\nA;Poa trivialis;;1;\r\nA;Bromus hordeaceus;;2;1\r\n");
    const std::string run = " --cover-system 3 --run 'Zeigerwerte Mittlere*Aufnahmen;#1 1 #001' --save " +
                            dir.file("out.tab") + " " + dir.file("t.tab");
    BatchRun r = runBatch(
        db + species + " --import-indicators " + dir.file("zw.txt") + " --indicator-list 2" + run, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "warning: Unbekannt oder mehrdeutig (nicht eingelesen): Planta ignota\n");
    EXPECT_TRUE(tav::fileExists(dir.file("s.z2")));
    EXPECT_NE(readBytes(dir.file("out.tab")).find("\r\nF;gew_L;;4;3\r\n"), std::string::npos)
        << readBytes(dir.file("out.tab"));
    // Later runs choose the list by its number; an empty list number finds no values.
    r = runBatch(db + " --indicator-list 1" + run, dir);
    EXPECT_NE(r.status, 0);
    r = runBatch(db + " --indicator-list 2" + run, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(readBytes(dir.file("out.tab")).find("\r\nF;gew_L;;4;3\r\n"), std::string::npos);

    for (const char* args : {"--import-indicators zw.txt t.tab", "--indicator-list 2 t.tab"})
        EXPECT_EQ(runBatch(args, dir).err.rfind(
                      "error: --import-indicators and --indicator-list need --species-db", 0),
                  0u)
            << args;
    for (const char* number : {"0", "100", "x"})
        EXPECT_EQ(runBatch(db + " --indicator-list " + number + " t.tab", dir).status, 2) << number;
}

TEST(Batch, SaveTargetsThatAreNoFilesAreRefused) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    writeBytes(dir.file("folder/inside.tab"), "keep");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const std::string& target : {dir.file("folder"), dir.file("fifo"), std::string("/dev/null")}) {
        for (const std::string& option : {std::string("--save "), std::string("--export-layout 3 ")}) {
            SCOPED_TRACE(option + target);
            BatchRun r = runBatch(kDune + " " + option + target, dir);
            EXPECT_EQ(r.status, 3);
            EXPECT_EQ(r.err.rfind("error: Kann " + target + " nicht speichern: ", 0), 0u) << r.err;
        }
    }
    // Nothing was moved: no backup of the folder, the folder with its file, the FIFO still a FIFO.
    EXPECT_FALSE(std::filesystem::exists(dir.file("folder.~ta")));
    EXPECT_EQ(readBytes(dir.file("folder/inside.tab")), "keep");
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("fifo")));
}

TEST(Batch, SaveThroughASymbolicLinkWritesTheFileItPointsTo) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("data"));
    writeBytes(dir.file("data/real.tab"), "old\r\n");
    std::filesystem::create_symlink("data/real.tab", dir.file("link.tab"));
    BatchRun r = runBatch(kDune + " --save " + dir.file("link.tab"), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.tab")));
    EXPECT_EQ(readBytes(dir.file("data/real.tab")), readBytes(kDune));
    EXPECT_EQ(readBytes(dir.file("data/real.~ta")), "old\r\n");  // the backup beside the real file
    EXPECT_FALSE(std::filesystem::exists(dir.file("link.~ta")));
}

TEST(Batch, InputsThatAreFifosEndTheRunAtOnce) {
    TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string args;
        std::string message;
    };
    const Case cases[] = {
        {fifo, "error: Kann " + fifo + " nicht öffnen (not a regular file).\n"},
        {"--env " + fifo + " " + kDune, "error: Kann " + fifo + " nicht öffnen.\n"},
        {"--stats --cover-file " + fifo + " " + kDune,
         "error: Kann " + fifo + " nicht als Definition von Deckungscodes lesen: not a regular file.\n"},
        {"--species-db " + fifo + " " + kDune,
         "error: Kann " + fifo + " nicht öffnen (not a regular file).\n"},
        {"--species-db " + dir.file("s.adb") + " --import-species-list " + fifo, "error: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        BatchRun r = runBatch(c.args, dir);
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(Batch, UnusableCoverDefinitionFilesAreRefused) {
    TempDir dir;
    writeBytes(dir.file("t.tab"), "T;Nr;;1\r\nA;s1;;3\r\n");
    struct Case {
        std::string content;
        const char* reason;
    };
    const Case cases[] = {
        {"", "keine Zeile \"Typ\""},
        {std::string("\x7F"
                     "ELF\x02\x01\x01\0\0\0\x03\0>\0",
                     14),
         "keine Zeile \"Typ\""},
        {"T;Titel;;Ohne Typ\r\nT;Code;;1;2;3\r\n", "keine Zeile \"Typ\""},
        {"T;Typ;;Ordinal\r\n",
         "unbekannter Typ \"Ordinal\" (möglich sind: Code, Integer, Float, Percent, Text)"},
        {"T;Typ;;Code\r\nT;Code;;;\r\n", "keine Codes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const std::string def = dir.file("def.tab");
        writeBytes(def, c.content);
        BatchRun r = runBatch(
            "--stats --cover-file " + def + " " + dir.file("t.tab") + " --save " + dir.file("out.tab"), dir);
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err, "error: Kann " + def + " nicht als Definition von Deckungscodes lesen: " + c.reason +
                             ".\n");
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.tab")));
    }
}

TEST(Batch, StatisticsIgnoreInvalidCoversAndKeepTotalsReadable) {
    TempDir dir;
    writeBytes(dir.file("p.tab"), "T;Nr;;1;2;3\r\nA;s;;150;1e308;40\r\nA;t;;1e300;1e308;\r\n");
    BatchRun percent = runBatch("--stats --cover-system 4 " + dir.file("p.tab"), dir);
    ASSERT_EQ(percent.status, 0) << percent.err;
    EXPECT_EQ(percent.out,
              "Art;Frequenz;Stetigkeit;Gesamtdeckung\ns;1;0.33333333;40\nt;0;0;0\n"
              "Aufnahme;Artenzahl;Gesamtdeckung\n1;0;0\n2;0;0\n3;1;40\n");
    EXPECT_EQ(percent.err.rfind("info: 4 mal eine ungültige Deckung", 0), 0u) << percent.err;
    // Any numbers: the large ones are valid; their totals are written with an exponent, an overflowing
    // one as NA.
    BatchRun any = runBatch("--stats --cover-system 3 " + dir.file("p.tab"), dir);
    ASSERT_EQ(any.status, 0) << any.err;
    EXPECT_EQ(any.out,
              "Art;Frequenz;Stetigkeit;Gesamtdeckung\ns;3;1;1e+308\nt;2;0.66666667;1.00000001e+308\n"
              "Aufnahme;Artenzahl;Gesamtdeckung\n1;2;1e+300\n2;2;NA\n3;1;40\n");
    EXPECT_EQ(any.err, "");
}

TEST(Batch, WorkEnvironmentCannotMakeDelimiterAndQualifierClash) {
    TempDir dir;
    writeBytes(dir.file("in.csv"), "Nr;1;2\r\n");
    const std::string env = dir.file("env.VP");
    writeBytes(env, "DelimEinst;13\r\nQualiEinst;34\r\n");
    BatchRun r = runBatch("--env " + env + " " + kDune, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "warning: " + env +
                         ", Zeile 1: '13' ist als Trennzeichen nicht möglich (Zeilenwechsel oder gleich dem "
                         "Textbegrenzungszeichen)\n");
    // The environment's qualifier against a delimiter from the command line.
    BatchRun clash =
        runBatch("--env " + env + " --delimiter '\"' --import-layout 3 " + dir.file("in.csv"), dir);
    EXPECT_EQ(clash.status, 2);
    EXPECT_NE(clash.err.find("\nerror: the delimiter and the qualifier must differ"), std::string::npos)
        << clash.err;
}

TEST(Batch, ResultsThatCannotBeWrittenAreAFailure) {
    TempDir dir;
    BatchRun r = runBatch("--summary --stats " + kDune + " >/dev/full", dir);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("error: the results could not be written to the standard output\n"),
              std::string::npos)
        << r.err;
}

TEST(Batch, AcceptPresetsAnswersQuestionsNoOptionAnswers) {
    TempDir dir;
    writeBytes(dir.file("semi.csv"), "Nr;1;2\r\nOrt;a;b\r\n");
    writeBytes(dir.file("tabs.csv"), "Nr\t1\t2\r\nOrt\ta\tb\r\n");
    struct Case {
        std::string args;
        std::string err;
    } cases[] = {
        // The first line settles the delimiter; the dialog's preset is what it found.
        {"--import-layout 3 " + dir.file("semi.csv"),
         "info: dialog \"Trennzeichen\" (DlgDelimEinst): no answer given, preset answer \"Strichpunkt\" "
         "taken\n"},
        {"--lang E --import-layout 3 " + dir.file("semi.csv"),
         "info: dialog \"Delimiter\" (DlgDelimEinst): no answer given, preset answer \"Semicolon\" taken\n"},
        // No question, nothing to say.
        {"--import-layout 3 " + dir.file("tabs.csv"), ""},
        {"--delimiter ';' --import-layout 3 " + dir.file("semi.csv"), ""},
    };
    for (const Case& c : cases) {
        BatchRun r = runBatch("--accept-presets --summary " + c.args, dir);
        EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_NE(r.out.find("releves: 2\nheader rows: 2\n"), std::string::npos) << c.args << "\n" << r.out;
    }
    // The flag may be repeated like the other flags; without it the question still cancels the read.
    BatchRun twice = runBatch("--accept-presets --accept-presets --import-layout 3 " + dir.file("semi.csv") +
                                  " --export-layout 3 " + dir.file("out.txt"),
                              dir);
    EXPECT_EQ(twice.status, 0) << twice.err;
    // The export uses the default tab delimiter; the empty line is the table's empty species part.
    EXPECT_EQ(readBytes(dir.file("out.txt")), "Nr\t1\t2\r\nOrt\ta\tb\r\n\t\t\r\n");
    EXPECT_EQ(runBatch("--import-layout 3 " + dir.file("semi.csv"), dir).status, 3);
}

TEST(Batch, SeedTakesAWholeNumber) {
    TempDir dir;
    for (const char* bad : {"--seed", "--seed -1", "--seed x", "--seed 1.5", "--seed 1 --seed 2"}) {
        BatchRun r = runBatch(std::string(bad) + " " + kDune, dir);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("--seed"), std::string::npos) << bad << "\n" << r.err;
    }
    for (const char* good : {"--seed 0", "--seed 42", "--seed 9223372036854775807"}) {
        BatchRun r = runBatch(std::string(good) + " " + kDune, dir);
        EXPECT_EQ(r.status, 0) << good << "\n" << r.err;
        EXPECT_EQ(r.err, "") << good;
    }
}

}  // namespace
}  // namespace tav
