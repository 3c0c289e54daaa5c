// The record set at the size of a full species list: 50 000 records of 48 fields. Appending, saving,
// loading, building a folded index, prefix searches, key look-ups and a filter over every row.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/text.h"
#include "species/record_set.h"

namespace {

constexpr int kRecords = 50000;

std::vector<tav::FieldDef> speciesFields() {
    using tav::FieldType;
    using tav::KeyKind;
    std::vector<tav::FieldDef> f = {{"Prim", FieldType::Integer, 0, true, KeyKind::Primary},
                                    {"Genus", FieldType::String, 40, true, KeyKind::None},
                                    {"Species", FieldType::String, 40, true, KeyKind::None},
                                    {"Autor", FieldType::String, 80, false, KeyKind::None},
                                    {"Familie", FieldType::String, 30, false, KeyKind::None}};
    for (int k = 1; k <= 8; ++k)
        f.push_back({"Triv0" + std::to_string(k), FieldType::String, 40, false, KeyKind::None});
    for (int k = 1; k <= 12; ++k)
        f.push_back({"Sys" + std::to_string(k), FieldType::Integer, 0, false, KeyKind::None});
    f.push_back({"SynRel", FieldType::Integer, 0, false, KeyKind::SpeciesRelation});
    for (int k = 1; k <= 12; ++k)
        f.push_back({"t" + std::to_string(k), FieldType::String, 1, false, KeyKind::None});
    for (int k = 1; k <= 8; ++k)
        f.push_back({"Info0" + std::to_string(k), FieldType::String, 20, false, KeyKind::None});
    f.push_back({"Wert", FieldType::Float, 0, false, KeyKind::None});
    f.push_back({"Bem", FieldType::String, 0, false, KeyKind::None});
    return f;  // 48 fields
}

std::string word(tav::Random& r) {
    static const char* const syllables[] = {"ab", "ca",  "dör", "el", "fi", "gus",
                                            "hä", "ion", "la",  "mé", "nu", "or"};
    std::string s;
    const int n = 2 + static_cast<int>(r.below(3));
    for (int k = 0; k < n; ++k) s += syllables[r.below(12)];
    return s;
}

std::vector<std::vector<std::string>> speciesTexts() {
    tav::Random r(3);
    std::vector<std::string> genera(3000);
    for (auto& g : genera) g = word(r), g[0] = static_cast<char>(g[0] - 32);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(kRecords);
    for (int p = 1; p <= kRecords; ++p) {
        std::vector<std::string> c(48);
        c[0] = std::to_string(p);
        c[1] = genera[r.below(genera.size())];
        c[2] = word(r);
        c[3] = "L.";
        c[4] = "Fam" + std::to_string(r.below(200));
        c[5] = word(r);
        for (int k = 0; k < 12; ++k) c[13 + k] = std::to_string(r.below(1000));
        if (p % 5 == 0) c[25] = std::to_string(p - 1);
        for (int k = 0; k < 12; ++k) c[26 + k] = r.below(2) ? "x" : "";
        c[46] = std::to_string(r.below(100000) / 7.0);
        rows.push_back(std::move(c));
    }
    return rows;
}

const std::vector<std::vector<std::string>>& texts() {
    static const auto rows = speciesTexts();
    return rows;
}

tav::RecordSet filled() {
    tav::RecordSet t;
    t.define(speciesFields());
    for (const auto& row : texts())
        if (t.appendTexts(row)) std::abort();
    return t;
}

const tav::RecordSet& table() {
    static const tav::RecordSet t = filled();
    return t;
}

std::string benchFile() {
    return "/tmp/tavolex-bench-records-" + std::to_string(::getpid()) + ".db";
}

void BM_Append(benchmark::State& state) {
    texts();
    for (auto _ : state) {
        tav::RecordSet t = filled();
        benchmark::DoNotOptimize(t.count());
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    const std::string path = benchFile();
    for (auto _ : state)
        if (tav::Status s = table().save(path); !s) state.SkipWithError(s.messages().front().plain().c_str());
    ::unlink(path.c_str());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
    const std::string path = benchFile();
    if (tav::Status s = table().save(path); !s) state.SkipWithError(s.messages().front().plain().c_str());
    for (auto _ : state) {
        tav::RecordSet t;
        if (tav::Status s = t.load(path); !s) state.SkipWithError(s.messages().front().plain().c_str());
        benchmark::DoNotOptimize(t.count());
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_BuildIndex(benchmark::State& state) {
    tav::RecordSet t = filled();
    for (auto _ : state) {
        t.setText(0, 2, state.iterations() % 2 ? "abc" : "abd");  // drops the index
        benchmark::DoNotOptimize(t.index(2).entries().size());
    }
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

void BM_PrefixSearch(benchmark::State& state) {
    const tav::FoldedIndex& index = table().index(1);
    const std::string prefix = tav::upperFold("Dör");
    for (auto _ : state) benchmark::DoNotOptimize(index.withPrefix(prefix));
}
BENCHMARK(BM_PrefixSearch);

void BM_RowOfKey(benchmark::State& state) {
    std::int64_t k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(table().rowOfKey(k++ % kRecords + 1));
}
BENCHMARK(BM_RowOfKey);

void BM_FilterAllRows(benchmark::State& state) {
    tav::RecordSet t = filled();
    if (tav::Status s = t.setFilter("(Genus >= 'M' AND Sys1 < 500) OR NOT Wert > 100 XOR t1 = 'x'"); !s)
        state.SkipWithError(s.messages().front().plain().c_str());
    for (auto _ : state) {
        int n = 0;
        for (int r = 0; r < t.count(); ++r) n += t.passes(r);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_FilterAllRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
