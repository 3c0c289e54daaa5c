// Times the similarity matrix of the releves of a table (sparse vectors of their cover weights, all
// pairs on every core) and the average-linkage clustering of it. Usage:
// bench_similarity TABLE CATALOGUE WORKDIR CODE [RELEVES]; prints one line per step. bench/similarity.sh
// runs it beside R (dist and hclust) on the same table.

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "analysis/clustering.h"
#include "analysis/similarity_matrix.h"
#include "bench_session.h"
#include "core/numbers.h"
#include "core/text.h"
#include "editor/session.h"
#include "platform/script_ui.h"
#include "timing.h"

using tav::bench::msSince;

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_similarity TABLE CATALOGUE WORKDIR CODE [RELEVES]\n");
        return 2;
    }
    tav::ScriptUi ui;
    tav::Session session(ui, 1);
    if (!tav::bench::startSession(session, argv[2], argv[3])) return 3;
    auto t0 = std::chrono::steady_clock::now();
    if (!tav::bench::openTable(session, argv[1])) return 3;
    const tav::TEditBuffer& b = session.buffer();
    const int code = std::stoi(argv[4]);
    const int releves = argc > 5 ? std::min(std::stoi(argv[5]), b.GetColCount()) : b.GetColCount();
    const int species = b.GetRowCount('A');
    std::printf("read %d releves x %d species: %.0f ms\n", b.GetColCount(), species, msSince(t0));
    t0 = std::chrono::steady_clock::now();
    // The cells as numbers (a table of percentages), the values R reads too.
    std::vector<tav::SparseVector> vectors(static_cast<std::size_t>(releves));
    b.forEachFilled('A', [&](const tav::FilledCell& f) {
        if (f.col >= releves) return;
        const auto v = tav::parseNumber(tav::trimBlanks(f.text));
        if (v && *v != 0) vectors[static_cast<std::size_t>(f.col)].entries.emplace_back(f.row, *v);
    });
    std::printf("sparse vectors of %d releves: %.0f ms\n", releves, msSince(t0));
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    t0 = std::chrono::steady_clock::now();
    const auto matrix = tav::similarityTriangle(vectors, species, code, threads);
    std::printf("similarity matrix (code %d, %d threads): %.0f ms\n", code, threads, msSince(t0));
    if (!matrix) return 1;
    t0 = std::chrono::steady_clock::now();
    const tav::Dendrogram d = tav::clusterObjects(*matrix, 'A');
    std::printf("average linkage: %.0f ms (root at %.6g)\n", msSince(t0), d.td.empty() ? 0.0 : d.td.back());
    return 0;
}
