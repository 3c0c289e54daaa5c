#pragma once
// Milliseconds since a point in time, for the benchmarks that print their steps.

#include <chrono>

namespace tav::bench {

inline double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace tav::bench
