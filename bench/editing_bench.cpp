// Times what the grids do on a large table through the session, as the desktop will: the species
// margin of a screen of rows (the first time with the one pass over the table, then from the kept
// statistics, then with marked releves), counting and finding a search text over the whole species
// part, marking the rows that hold it, and sorting the species and the releves by several criteria (with
// their undo), the data check over the whole table, statistics and tests, the diversity commands, and
// the weighted mean indicator values of the releves.
// Usage: bench_editing TABLE CATALOGUE WORKDIR

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "../tests/support/artdb_fixture.h"
#include "../tests/support/test_files.h"
#include "bench_session.h"
#include "editor/dispatch.h"
#include "editor/grid_control.h"
#include "editor/margins.h"
#include "editor/session.h"
#include "editor/sorting.h"
#include "editor/statements.h"
#include "editor/undo_list.h"
#include "editor/validation.h"
#include "platform/script_ui.h"
#include "species/art_db.h"
#include "timing.h"

using tav::bench::msSince;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_editing TABLE CATALOGUE WORKDIR\n");
        return 2;
    }
    tav::ScriptUi ui;
    tav::Session session(ui, 1);
    if (!tav::bench::startSession(session, argv[2], argv[3])) return 3;
    if (!tav::bench::openTable(session, argv[1])) return 3;
    std::printf("table: %d releves, %d species rows\n", session.buffer().GetColCount(),
                session.buffer().GetRowCount('A'));
    tav::Dispatcher dispatcher;
    auto& margin = session.settings().EditorMargin;
    margin.ZahlFreq = margin.Stet = margin.Deck = margin.ZaFrMark = margin.StetMark = margin.DeckMark = true;
    const int screen = 40;
    auto margins = [&] {
        std::size_t chars = 0;
        for (int r = 1000; r < 1000 + screen; ++r) chars += tav::speciesMargin(session, r).size();
        return chars;
    };

    auto t0 = std::chrono::steady_clock::now();
    margins();
    const double cold = msSince(t0);
    t0 = std::chrono::steady_clock::now();
    margins();
    const double warm = msSince(t0);
    for (int c = 0; c < session.buffer().GetColCount(); c += 3) session.buffer().mark(tav::MarkSet::McoR, c);
    t0 = std::chrono::steady_clock::now();
    margins();
    const double marked = msSince(t0);
    session.buffer().ClearM();
    std::printf(
        "species margin of %d rows: first %.1f ms (one pass over the table), then %.2f ms, with a "
        "third of the releves marked %.2f ms\n",
        screen, cold, warm, marked);

    tav::setCursor(session, 4, 'N', 'N', false, false, 0, 0);
    session.search.text = "3";
    t0 = std::chrono::steady_clock::now();
    const bool counted = tav::runStatements(session, dispatcher, "BEARB SUCHTEXT*ZÄHLEN;").ok();
    const double counting = msSince(t0);
    std::printf("count \"3\" in the covers from the first cell: %.1f ms (%s)\n", counting,
                counted ? ui.messages().back().second.c_str() : "failed");
    t0 = std::chrono::steady_clock::now();
    const bool found = tav::runStatements(session, dispatcher, "BEARB SUCHEN;3").ok();
    std::printf("find the next \"3\": %.1f ms (%s, cursor at releve %d, row %d)\n", msSince(t0),
                found ? "ok" : "failed", session.cursorCol + 1, session.cursorRow + 1);
    t0 = std::chrono::steady_clock::now();
    const bool markedRows =
        tav::runStatements(session, dispatcher, "ZEILEN ZEILEN*MARK ZEILEN*SUCHTEXT;").ok();
    std::printf("mark the rows holding \"3\": %.1f ms (%s, %d rows)\n", msSince(t0),
                markedRows ? "ok" : "failed", session.buffer().MroA().Count());
    session.buffer().ClearM();

    // Sorting: the species by frequency, the releves by total cover, by a header row, each undone.
    auto sortStep = [&](const char* what, tav::SortRequest r) {
        auto t = std::chrono::steady_clock::now();
        tav::UndoList& undo = session.undoList();
        undo.begin();
        const bool ok = tav::sortTable(session, r).ok();
        undo.end();
        const double sorting = msSince(t);
        t = std::chrono::steady_clock::now();
        undo.undo();
        std::printf("sort %-36s %.1f ms, its undo %.1f ms (%s)\n", what, sorting, msSince(t),
                    ok ? "ok" : "failed");
        return ok;
    };
    tav::SortRequest byFrequency;
    byFrequency.criterion = 45;
    tav::SortRequest byCover;
    byCover.mode = 'C';
    byCover.criterion = 47;
    tav::SortRequest byHeader;
    byHeader.part = 'K';
    byHeader.mode = 'C';
    byHeader.criterion = 2;
    byHeader.keyRow = 1;
    tav::SortRequest byOccurrence;
    byOccurrence.criterion = 3;
    const bool sorted = sortStep("the species by frequency", byFrequency) &&
                        sortStep("the species by occurrences (3 keys)", byOccurrence) &&
                        sortStep("the releves by total cover", byCover) &&
                        sortStep("the releves by header row 2", byHeader);
    // Marking by rules over the whole table.
    auto ruleStep = [&](const char* what, const char* statement, int grid) {
        session.activeGrid = grid;
        const auto t = std::chrono::steady_clock::now();
        const bool ok = tav::runStatements(session, dispatcher, statement).ok();
        std::printf("%-40s %.1f ms (%s, %d rows, %d releves marked)\n", what, msSince(t),
                    ok ? "ok" : "failed", session.buffer().MroA().Count(), session.buffer().McoR().Count());
        return ok;
    };
    const bool rules =
        ruleStep("duplicate releves (species part)", "SPALTEN SPALTEN*MARK DOPPELTE*SPALTEN;", 4) &&
        ruleStep("rows without data", "ZEILEN ZEILEN*MARK Z*DATEN;", 3) &&
        ruleStep("duplicate row names", "ZEILEN ZEILEN*MARK DOPPELTE;", 3);
    // "Daten prüfen" over all grids into the error list, and the interactive walk over the covers.
    auto checkStep = [&](const char* what, char mode, int grid) {
        session.activeGrid = grid;
        session.cursorCol = session.cursorRow = 0;
        const auto t = std::chrono::steady_clock::now();
        const bool clean = tav::runDataCheck(session, mode);
        std::printf("%-40s %.1f ms (%s, %zu lines shown)\n", what, msSince(t), clean ? "no errors" : "errors",
                    mode == 'G' ? ui.lastDialog().items.size() : std::size_t{0});
    };
    checkStep("data check, error list of all grids", 'G', 4);
    checkStep("data check of the covers, row by row", 'R', 4);
    // Statistics of every releve over all species rows (mean, standard deviation, median, count), and of
    // every species row per category of a header row.
    auto statisticsStep = [&](const char* what, const char* statement) {
        session.buffer().ClearM();
        for (int r = 0; r < session.buffer().GetRowCount('A'); ++r)
            session.buffer().mark(tav::MarkSet::MroA, r);
        session.activeGrid = 4;
        const auto t = std::chrono::steady_clock::now();
        const bool ok = tav::runStatements(session, dispatcher, statement).ok();
        std::printf("%-40s %.1f ms (%s)\n", what, msSince(t), ok ? "ok" : "failed");
        tav::runStatements(session, dispatcher, "BEARB RÜCK;");
    };
    statisticsStep("statistics of each releve (4 parameters)",
                   "Berechnen Spalten*auswerten Spaltenweise;#1 #1001000000000000010100000 #000000");
    // 50 categories: a header row with the releve number modulo 50.
    {
        tav::TEditBuffer& b = session.buffer();
        const int at = b.GetRowCount('K');
        b.InsRows('K', at, 1);
        b.PutZl('K', "Kategorie", at);
        for (int c = 0; c < b.GetColCount(); ++c) b.Put('K', std::to_string(c % 50), c, at);
        const std::string statement =
            "Berechnen Zeilen*auswerten;#1 " + std::to_string(at + 1) + " #1001000000000000010100000 #000000";
        statisticsStep("statistics of each species by 50 categories", statement.c_str());
    }
    // A randomisation test of one header row (20 000 values) against 0, 10 000 draws of the mean and of
    // the rank sum.
    {
        session.buffer().ClearM();
        session.buffer().mark(tav::MarkSet::MroK, 2);
        session.activeGrid = 2;
        const auto t = std::chrono::steady_clock::now();
        const bool ok = tav::runStatements(session, dispatcher,
                                           "Berechnen Zeilen*auswerten;#000000001 #001000000000000 #011010 Y")
                            .ok();
        std::printf("%-40s %.1f ms (%s)\n", "randomisation test, 10 000 draws", msSince(t),
                    ok ? "ok" : "failed");
    }
    // Diversity over all species rows: the five indices of every releve, the nine turnover quantities of
    // neighbouring releves (both undone), and alpha, beta and gamma diversity of the whole table.
    auto diversityStep = [&](const char* what, const char* statement, bool changes) {
        session.buffer().ClearM();
        session.activeGrid = 4;
        const auto t = std::chrono::steady_clock::now();
        const bool ok = tav::runStatements(session, dispatcher, statement).ok();
        std::printf("%-40s %.1f ms (%s)\n", what, msSince(t), ok ? "ok" : "failed");
        if (changes) session.undoList().undo();
        return ok;
    };
    const bool diversity =
        diversityStep("diversity indices of each releve (5)", "Arten Diversität Diversitätsindices;#11111",
                      true) &&
        diversityStep("turnover of neighbouring releves (9)",
                      "Arten Diversität Turnover*Aufnahmen;#111111111", true) &&
        diversityStep("alpha, beta, gamma of the table", "Arten Diversität Alpha*Gamma;#1", false);
    // The diagnostic species table with every measure over the 50 categories of the header row made
    // above, then every line of its window (the window itself makes only the lines it shows).
    {
        tav::TEditBuffer& b = session.buffer();
        b.ClearM();
        for (int r = 0; r < b.GetRowCount('K'); ++r)
            if (b.GetZl('K', r) == "Kategorie") b.mark(tav::MarkSet::MroK, r);
        session.activeGrid = 2;
        auto t = std::chrono::steady_clock::now();
        const bool diagnostic =
            tav::runStatements(session, dispatcher,
                               "Berechnen Kennartentabelle;#111111 #111111111 #11111 #11111111111 #1")
                .ok();
        const double table = msSince(t);
        const tav::DialogRequest& window = ui.lastDialog();
        t = std::chrono::steady_clock::now();
        std::size_t chars = 0;
        for (int k = 0; k < window.lineCount && window.lineAt; ++k) chars += window.lineAt(k).size();
        std::printf("%-40s %.1f ms (%s); all its %d lines made in %.1f ms (%.1f MB)\n",
                    "diagnostic species table, 50 categories", table, diagnostic ? "ok" : "failed",
                    window.lineCount, msSince(t), static_cast<double>(chars) / 1e6);
    }
    // Weighted mean indicator values of every releve over all species rows. The species database and its
    // indicator list are generated for the generated species names (values 1 … 9 by position, no real
    // indicator values); making them is not timed.
    bool indicators = false;
    {
        std::vector<std::string> records;
        std::string list = "Zeigerwerte\tgeneriert\r\nArt s 60 t r\tN s 8 f f\r\n";
        const int species = session.buffer().GetRowCount('A');
        for (int i = 0; i < species; ++i) {
            const std::string genus = "Genus" + std::to_string(i / 7 + 1);
            const std::string epithet = "species" + std::to_string(i + 1);
            records.push_back(tav::testing::SpeciesRecord(std::to_string(i + 1), genus, epithet, "",
                                                          "Generata", std::to_string(100000 + i)));
            list += genus + " " + epithet + "\t" + std::to_string(i % 9 + 1) + "\r\n";
        }
        const std::string dir = argv[3];
        tav::testing::writeBytes(dir + "/bench_arten.txt",
                                 tav::testing::speciesListText("Artenliste\tgeneriert", records));
        tav::testing::writeBytes(dir + "/bench_zw.txt", list);
        std::filesystem::remove(dir + "/bench_arten.z1");  // an import asks before replacing a list
        // The generated names have no authors: the import checks names with them.
        session.settings().Pruef.OhneAutor = false;
        session.applySettings();
        const tav::Status created = session.useSpeciesDb(dir + "/bench_arten.adb", true);
        const tav::Status listed =
            created.ok() ? session.importSpeciesList(dir + "/bench_arten.txt", U'\t', tav::noProgress())
                         : created;
        const tav::Status values = listed.ok() ? session.speciesDb()->ImportZw(dir + "/bench_zw.txt", U'\t',
                                                                               tav::noProgress(), false)
                                               : listed;
        const bool made = values.ok();
        if (!made) std::printf("indicator list not made: %s\n", values.plain().c_str());
        session.buffer().ClearM();
        session.activeGrid = 4;
        const auto t = std::chrono::steady_clock::now();
        indicators =
            made && tav::runStatements(session, dispatcher, "Zeigerwerte Mittlere*Aufnahmen;#1 1 #001").ok();
        std::printf("%-40s %.1f ms (%s)\n", "weighted mean indicator values", msSince(t),
                    indicators ? "ok" : "failed");
        if (indicators) session.undoList().undo();
    }
    return counted && found && markedRows && sorted && rules && diversity && indicators ? 0 : 1;
}
