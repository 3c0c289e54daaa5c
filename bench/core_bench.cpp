// Speed of the core text routines that run over whole files and long name lists.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/text.h"

namespace {

// A 60 MB buffer, mostly ASCII like a table file, with an umlaut every 100 000 bytes.
void BM_IsValidUtf8(benchmark::State& state) {
    std::string big(60u << 20, 'x');
    for (std::size_t i = 1000; i + 2 < big.size(); i += 100000) big.replace(i, 2, "\xC3\xA4");
    for (auto _ : state) benchmark::DoNotOptimize(tav::isValidUtf8(big));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * big.size()));
}
BENCHMARK(BM_IsValidUtf8)->Unit(benchmark::kMillisecond);

void BM_Cp1252ToUtf8(benchmark::State& state) {
    std::string big(60u << 20, ';');
    for (std::size_t i = 1000; i + 2 < big.size(); i += 5000) big[i] = '\xF6';
    for (auto _ : state) {
        std::string out;
        tav::appendCp1252AsUtf8(out, big);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * big.size()));
}
BENCHMARK(BM_Cp1252ToUtf8)->Unit(benchmark::kMillisecond);

// Sorting a species list of 50 000 names with the program's collation.
void BM_SortNames(benchmark::State& state) {
    tav::Random r(3);
    std::vector<std::string> names;
    for (int i = 0; i < 50000; ++i) {
        std::string name = (i % 2 == 0) ? "Carex " : "Festuca ";
        for (int k = 0; k < 10; ++k) name.push_back(static_cast<char>('a' + r.below(26)));
        names.push_back(name);
    }
    for (auto _ : state) {
        std::vector<std::string> copy = names;
        std::sort(copy.begin(), copy.end(), tav::textLess);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_SortNames)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
