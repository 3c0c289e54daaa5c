// The batch runner seen from outside: exit status, messages and the files it writes.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "core/text.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

struct BatchRun {
    int status = -1;
    std::string out;
    std::string err;
};

BatchRun runBatch(const std::string& args, const TempDir& dir) {
    const std::string errFile = dir.file("stderr.txt");
    const std::string cmd = std::string(TAVOLEX_BATCH_EXE) + " " + args + " 2>" + errFile;
    BatchRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = readBytes(errFile);
    return r;
}

const std::string kDune = std::string(TAVOLEX_SAMPLES) + "/dune.tab";

TEST(Batch, UsageErrors) {
    TempDir dir;
    for (const char* args : {"", "--bogus x.tab", "--import-layout 7 x.tab", "--delimiter ab x.tab",
                             "--export-layout 5 f x.tab", "a.tab b.tab", "--save"}) {
        BatchRun r = runBatch(args, dir);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("error: "), std::string::npos) << args;
        EXPECT_NE(r.err.find("usage: tavolex-batch"), std::string::npos) << args;
    }
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
    const std::string list = readBytes(std::string(TAVOLEX_SAMPLES) + "/artenliste.txt");
    const std::size_t second = list.find('\n') + 1;
    writeBytes(dir.file("leer.txt"), list.substr(0, list.find('\n', second) + 1) + "x\tPoa\tannua\r\n");
    BatchRun empty =
        runBatch("--species-db " + dir.file("s.adb") + " --import-species-list " + dir.file("leer.txt"), dir);
    EXPECT_EQ(empty.status, 3);
    EXPECT_NE(empty.err.find("error: Die Datei " + dir.file("leer.txt") + " enthält keinen Datensatz"),
              std::string::npos)
        << empty.err;
    EXPECT_EQ(readBytes(dir.file("s.adb")), previous);
}

}  // namespace
}  // namespace tav
