// Reads a native table file, writes it back and compares the bytes; prints the times and the peak
// resident memory of the process. Usage: bench_table_io TABLE [WORK_FOLDER]

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/file_io.h"
#include "table/edit_buffer.h"

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long peakKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_table_io TABLE [WORK_FOLDER]\n");
        return 2;
    }
    const std::string table = argv[1];
    const std::string out = std::string(argc > 2 ? argv[2] : "/tmp") + "/bench_table_io.tab";
    std::printf("peak memory before reading: %.1f MB\n", peakKiB() / 1024.0);

    tav::TEditBuffer b;
    auto t0 = std::chrono::steady_clock::now();
    if (b.ReadFile(tav::kLayoutNative, table, tav::noProgress()).value() != tav::ReadResult::Ok) return 3;
    const double read = seconds(t0);
    std::printf("read:  %.3f s  (%d releves, %d header rows, %d species rows)\n", read, b.GetColCount(),
                b.GetRowCount('K'), b.GetRowCount('A'));
    std::printf("peak memory after reading: %.1f MB\n", peakKiB() / 1024.0);

    t0 = std::chrono::steady_clock::now();
    if (!b.SaveTable(out, tav::noProgress())) return 3;
    const double write = seconds(t0);
    std::printf("write: %.3f s\n", write);
    std::printf("peak memory after writing: %.1f MB\n", peakKiB() / 1024.0);

    const tav::Result<std::string> a = tav::readWholeFile(table), c = tav::readWholeFile(out);
    const bool identical = a && c && a.value() == c.value();
    std::printf("written file is %s\n", identical ? "byte-identical" : "DIFFERENT");
    std::remove(out.c_str());

    // Structural edits touch the index lists only.
    t0 = std::chrono::steady_clock::now();
    for (int k = 0; k < 100; ++k) b.InsCol(k * 7);
    for (int k = 0; k < 100; ++k) b.DelCol(k * 7, true, false);
    for (int k = 0; k < 100; ++k) b.InsRow('A', k * 3);
    for (int k = 0; k < 100; ++k) b.DelRow('A', k * 3, true, false);
    std::printf("400 row and column inserts and deletes: %.3f ms\n", seconds(t0) * 1000);
    return identical ? 0 : 1;
}
