#include "analysis/similarity_pairs.h"

#include <atomic>
#include <thread>

#include "platform/progress.h"

namespace tav {

namespace {

// Runs row(i) for i = 0 … n − 1, the rows handed out one at a time to the workers; the calling thread
// works too and shows the progress between its rows. False when Esc stopped it.
bool forRows(int n, int threads, Progress* progress, const std::function<void(int)>& row) {
    std::atomic<int> next{0}, done{0};
    std::atomic<bool> stop{false};
    auto work = [&](bool shows) {
        for (int i = next++; i < n && !stop; i = next++) {
            row(i);
            ++done;
            if (shows && progress) {
                progress->setPosition(done);
                if (progress->aborted()) stop = true;
            }
        }
    };
    if (progress) progress->startBar(n);
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(1, threads); ++t) pool.emplace_back(work, false);
    work(true);
    for (std::thread& t : pool) t.join();
    if (progress) progress->endBar();
    return !stop;
}

}  // namespace

int workerCount() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::optional<PackedTriangle> pairTriangle(int n, int threads, Progress* progress,
                                           const std::function<double(int, int)>& cell) {
    PackedTriangle out(n);
    const bool done = forRows(n, threads, progress, [&](int i) {
        for (int j = 0; j < i; ++j) out.set(i, j, cell(j, i));
    });
    if (!done) return std::nullopt;
    return out;
}

std::optional<std::vector<double>> pairRectangle(int objects, int references, int threads, Progress* progress,
                                                 const std::function<double(int, int)>& cell) {
    std::vector<double> out(static_cast<std::size_t>(std::max(objects, 0)) *
                            static_cast<std::size_t>(std::max(references, 0)));
    const bool done = forRows(objects, threads, progress, [&](int i) {
        for (int r = 0; r < references; ++r)
            out[static_cast<std::size_t>(i) * static_cast<std::size_t>(references) +
                static_cast<std::size_t>(r)] = cell(i, r);
    });
    if (!done) return std::nullopt;
    return out;
}

}  // namespace tav
