// Reads a native table and times a large deletion as one undo step, its undo and its redo: every second
// releve is marked and the marked releves are deleted in one pass, then undone and redone. The table is
// written after each step to check that undo and redo give it back byte for byte (not timed). Usage:
// bench_undo TABLE WORKDIR

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/undo_list.h"
#include "table/edit_buffer.h"
#include "timing.h"

namespace {

std::string written(tav::TEditBuffer& b, const std::string& file) {
    if (!b.StoreFile(tav::kLayoutNative, file, tav::noProgress(), false).ok()) return {};
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

using tav::bench::msSince;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_undo TABLE WORKDIR\n");
        return 2;
    }
    tav::TEditBuffer b;
    if (b.ReadFile(tav::kLayoutNative, argv[1], tav::noProgress()).value() != tav::ReadResult::Ok) return 3;
    tav::UndoList undo(b);
    const std::string file = std::string(argv[2]) + "/undo_bench.tab";
    const std::string before = written(b, file);

    const int releves = b.GetColCount();
    for (int c = 0; c < releves; c += 2) b.mark(tav::MarkSet::McoR, c);
    const std::vector<int> marked = b.McoR().elements();

    auto t0 = std::chrono::steady_clock::now();
    undo.begin();
    b.DelCols(marked);
    undo.end();
    const double deleting = msSince(t0);
    const std::string after = written(b, file);

    t0 = std::chrono::steady_clock::now();
    undo.undo();
    const double undoing = msSince(t0);
    const bool undoneSame = written(b, file) == before;

    t0 = std::chrono::steady_clock::now();
    undo.redo();
    const double redoing = msSince(t0);
    const bool redoneSame = written(b, file) == after;

    std::printf(
        "%d releves, %zu deleted as one step (%zu change records): delete %.1f ms, undo %.1f ms, redo %.1f "
        "ms;"
        " undo gives the table back: %s, redo: %s\n",
        releves, marked.size(), undo.records(), deleting, undoing, redoing, undoneSame ? "yes" : "NO",
        redoneSame ? "yes" : "NO");
    return undoneSame && redoneSame ? 0 : 1;
}
