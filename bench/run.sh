#!/usr/bin/env bash
# Runs the benchmarks on the standard table (20 000 releves x 3 000 species, made by
# scripts/gen_table.py) and prints their figures. Usage: bench/run.sh [RELEVES SPECIES]
set -euo pipefail
cd "$(dirname "$0")/.."
releves=${1:-20000}
species=${2:-3000}
scripts/setup
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVOLEX_GUI=ON >/dev/null
cmake --build build --target bench_table_io bench_cell_stats bench_core bench_artdb bench_undo bench_editing bench_gui >/dev/null
mkdir -p build/bench-data
table=build/bench-data/gen_${releves}x${species}.tab
[ -f "$table" ] || python3 scripts/gen_table.py "$releves" "$species" "$table"
ls -l "$table" | awk '{printf "table: %s, %.1f MB\n", $NF, $5/1e6}'
echo "== reading and writing the table"
build/bench/bench_table_io "$table" build/bench-data
echo "== cell statistics"
build/bench/bench_cell_stats "$table" 10
echo "== a large deletion, its undo and redo"
build/bench/bench_undo "$table" build/bench-data
echo "== margins and searching in the editor"
build/bench/bench_editing "$table" data/tavolex.\$ms build/bench-data
echo "== the desktop window (offscreen)"
build/bench/bench_gui "$table" data/tavolex.\$ms build/bench-data
echo "== species database"
build/bench/bench_artdb build/bench-data
echo "== text routines"
build/bench/bench_core --benchmark_min_time=0.2
