// Times the similarity matrix of the releves of a table (sparse vectors of their cover weights, all
// pairs on every core) under several measures, and the average-linkage clustering of the last one, with
// the peak memory of each step. Usage:
//   bench_similarity TABLE CATALOGUE WORKDIR CODES [CELLS] [COVER]
// CODES is a comma-separated list of measure codes (e.g. 41,43,9); the clustering uses the last. CELLS
// names a file that receives a fixed sample of cells of every measure ("i j code value", releves from
// 1), for the comparison with R and SciPy. COVER is the cover-code system the cells are read in (4, the
// percentages of the generated tables, unless given). bench/similarity.sh runs it beside R and SciPy.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "analysis/clustering.h"
#include "analysis/similarity_matrix.h"
#include "bench_session.h"
#include "editor/session.h"
#include "platform/script_ui.h"
#include "timing.h"

using tav::bench::msSince;

namespace {

// The resident set now and its high-water mark, in MB, from /proc/self/status.
double statusMb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024;
    return 0;
}

// Starts a new high-water mark at the present resident set, so that each step shows its own peak.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The peak of the step that began at before (MB), and what it held beyond a matrix of matrixMb.
void printMemory(const char* step, double before, double matrixMb) {
    const double peak = statusMb("VmHWM:");
    std::printf(
        "  %s memory: peak %.0f MB (%.0f MB before the step; matrix %.0f MB; beyond the matrix %.0f MB)\n",
        step, peak, before, matrixMb, peak - matrixMb);
}

// The processor time of the process so far (all threads), in ms: beside the wall time it shows how much
// of a step was spent waiting for a core on a shared machine.
double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
            static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3);
}

// A fixed sample of pairs (i > j), the same for every measure and every run.
std::vector<std::pair<int, int>> samplePairs(int n, int count) {
    std::vector<std::pair<int, int>> pairs;
    std::uint64_t state = 12345;
    auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(n));
    };
    while (static_cast<int>(pairs.size()) < count && n > 1) {
        const int a = next(), b = next();
        if (a != b) pairs.emplace_back(std::max(a, b), std::min(a, b));
    }
    return pairs;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_similarity TABLE CATALOGUE WORKDIR CODES [CELLS] [COVER]\n");
        return 2;
    }
    tav::ScriptUi ui;
    tav::Session session(ui, 1);
    if (!tav::bench::startSession(session, argv[2], argv[3])) return 3;
    session.settings().DeckEinst = argc > 6 ? std::stoi(argv[6]) : 4;
    session.applySettings();
    std::vector<int> codes;
    {
        std::stringstream list(argv[4]);
        for (std::string c; std::getline(list, c, ',');) codes.push_back(std::stoi(c));
    }
    if (codes.empty()) return 2;
    auto t0 = std::chrono::steady_clock::now();
    if (!tav::bench::openTable(session, argv[1])) return 3;
    const tav::TEditBuffer& b = session.buffer();
    const int releves = b.GetColCount();
    const int species = b.GetRowCount('A');
    std::printf("read %d releves x %d species: %.0f ms\n", releves, species, msSince(t0));
    t0 = std::chrono::steady_clock::now();
    // The weights of the cells as the cover interpreter reads them (mode 'S'): for percentages the
    // numbers themselves, the values R and SciPy read too.
    std::vector<tav::SparseVector> vectors(static_cast<std::size_t>(releves));
    const tav::TDeckInter& deck = session.coverInterpreter();
    tav::CoverCounts counts;
    std::string entry;
    b.forEachFilled('A', [&](const tav::FilledCell& f) {
        entry.assign(f.text);
        double x = 0;
        if (deck.DeckVal('S', entry, x, false, counts) && x != 0)
            vectors[static_cast<std::size_t>(f.col)].entries.emplace_back(f.row, x);
    });
    // The rows come in the order of the part, but make sure of the ascending attributes.
    for (tav::SparseVector& v : vectors) std::sort(v.entries.begin(), v.entries.end());
    std::printf("sparse vectors of %d releves through the cover interpreter (%s, %d invalid): %.0f ms\n",
                releves, deck.Titel().c_str(), counts.CodeErrCt, msSince(t0));

    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const double matrixMb =
        static_cast<double>(releves) * (releves - 1) / 2 * sizeof(double) / (1024.0 * 1024.0);
    const auto pairs = samplePairs(releves, 500);
    std::ostringstream cells;
    cells.precision(17);
    std::optional<tav::PackedTriangle> matrix;
    for (int code : codes) {
        matrix.reset();
        const double before = statusMb("VmRSS:");
        resetPeak();
        t0 = std::chrono::steady_clock::now();
        const double cpu0 = cpuMs();
        matrix = tav::similarityTriangle(vectors, species, code, threads);
        std::printf("similarity matrix (code %d, %d threads): %.0f ms (processor time %.0f ms)\n", code,
                    threads, msSince(t0), cpuMs() - cpu0);
        if (!matrix) return 1;
        printMemory("matrix", before, matrixMb);
        for (const auto& [i, j] : pairs)
            cells << i + 1 << ' ' << j + 1 << ' ' << code << ' ' << matrix->at(i, j) << '\n';
    }
    if (argc > 5 && argv[5][0] != '\0' && !(std::ofstream(argv[5]) << cells.str())) return 3;

    const double before = statusMb("VmRSS:");
    resetPeak();
    t0 = std::chrono::steady_clock::now();
    const double cpu0 = cpuMs();
    // The matrix is not needed afterwards: the clustering works in it.
    const tav::Dendrogram d = tav::clusterObjects(std::move(*matrix), 'A');
    std::printf("average linkage (code %d): %.0f ms (processor time %.0f ms; root at %.6g)\n", codes.back(),
                msSince(t0), cpuMs() - cpu0, d.td.empty() ? 0.0 : d.td.back());
    printMemory("clustering", before, matrixMb);
    return 0;
}
