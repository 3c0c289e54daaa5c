// Reads a native table and times whole-table passes of the cell statistics: every filled cell read as
// presence weight and as percentage under Braun-Blanquet, frequency and total cover of every species
// row, species count and total cover of every releve, error counters included.
// Usage: bench_cell_stats TABLE [PASSES]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "core/numbers.h"
#include "table/cell_stats.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_cell_stats TABLE [PASSES]\n");
        return 2;
    }
    const int passes = argc > 2 ? static_cast<int>(tav::parseInteger(argv[2]).value_or(10)) : 10;
    tav::TEditBuffer b;
    if (b.ReadFile(tav::kLayoutNative, argv[1], tav::noProgress()).value() != tav::ReadResult::Ok) return 3;

    for (int system : {6, 7}) {
        tav::CoverSettings settings;
        settings.DeckEinst = system;
        tav::TDeckInter deck(tav::builtInCoverSystem(system), settings);
        double best = 1e9, total = 0;
        long long filled = 0, present = 0;
        int invalid = 0;
        for (int pass = 0; pass < passes; ++pass) {
            const auto t0 = std::chrono::steady_clock::now();
            tav::CellStats stats(b, deck);
            const tav::CellStats::Summary s = stats.summarise(true);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            best = std::min(best, ms);
            total += ms;
            present = 0;
            for (int n : s.colCount) present += n;
            invalid = stats.counts().CodeErrCt;
            filled = present + invalid;
        }
        std::printf(
            "system %d (%s): %lld filled cells, %lld present, %d invalid; pass: best %.1f ms, mean %.1f ms\n",
            system, deck.Titel().c_str(), filled, present, invalid, best, total / passes);
    }
    return 0;
}
