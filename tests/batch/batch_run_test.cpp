// Statements run by the batch runner: exit status, the marked statement, the recording it writes, and the
// cursor and marks it sets first.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "support/batch_runner.h"
#include "support/test_files.h"

namespace tav {
namespace {

using testing::readBytes;
using testing::TempDir;

using testing::BatchRun;
using testing::runBatch;

const std::string kDune = std::string(TAVOLEX_SAMPLES) + "/dune.tab";

TEST(BatchRun, StatementsAndTheirExitStatus) {
    struct Case {
        const char* args;
        int status;
        const char* err;  // a part of stderr
    };
    const Case cases[] = {
        {"--run 'HILFE VERS;'", 0, "info: Tavolex, Version "},
        {"--lang E --run 'HILFE VERS;'", 0, "info: Tavolex, version "},  // German captions in English
        {"--run 'ZEILEN GIBTS;x;HILFE VERS;'", 1,
         "error: Fehler im Makro, unbekannter Befehl: ZEILEN GIBTS  ZEILEN GIBTS;x <-- ERROR ;HILFE VERS;"},
        // The reason is in the chosen language.
        {"--lang E --run 'ZEILEN GIBTS;x'", 1,
         "error: Macro error, unknown command: ZEILEN GIBTS  ZEILEN GIBTS;x <-- "},
        {"--run 'HILFE VERS;;MODULE GRAFIK STREU;'", 1, "error: Streudiagramm: noch nicht verfügbar."},
        {"--run 'DATEI DRUCK;'", 1, "info: Druckausgabe: noch nicht implementiert."},
        {"--cursor 4,0,1 --run 'HILFE VERS;'", 2, "--cursor takes"},
        {"--cursor 4,1,999 --run 'HILFE VERS;'", 2, "--cursor: grid 4 has"},
        {"--mark-rows 3-1 --run 'HILFE VERS;'", 2, "--mark-rows takes"},
        {"--mark-cols 999 --run 'HILFE VERS;'", 2, "--mark-cols: the table has"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const BatchRun r =
            runBatch(std::string(c.args) + " " + kDune + " --save " + dir.file("out.tab"), dir);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        // A failed run saves nothing.
        EXPECT_EQ(readBytes(dir.file("out.tab")).empty(), c.status != 0) << c.args;
    }
}

TEST(BatchRun, RecordsTheStatementsWithCursorAndMarks) {
    TempDir dir;
    const BatchRun r = runBatch("--cursor 4,3,12 --mark-rows 2,5 --record " + dir.file("rec.txt") +
                                    " --run 'MODULE AUFZ AUFZ;;MODULE GRAFIK STREU;' " + kDune,
                                dir);
    EXPECT_EQ(r.status, 1)
        << r.err;  // the scatter plot is not available; the recording is written all the same
    EXPECT_EQ(readBytes(dir.file("rec.txt")),
              "Menu;109090100;Aufzeichnen (ein/aus);CursorPos 4,3,12;MarkedSpecies 2,5\r\n"
              "Menu;109050100;Streudiagramm;CursorPos 4,3,12;MarkedSpecies 2,5\r\n");
}

TEST(BatchRun, ListsTheCommandsThatRun) {
    TempDir dir;
    const BatchRun r = runBatch("--list-commands", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n111020000;Hilfe;Version;MainWindow;verfügbar\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n103110000;Zeilen;Zeilen sortieren;Sorting;verfügbar\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n109050100;Module;Grafik, Karten;Streudiagramm;Unspecified;nicht verfügbar\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("\n103000000;Zeilen;MainWindow;Untermenü\n"), std::string::npos);
}

}  // namespace
}  // namespace tav
