#!/usr/bin/env bash
# Reads and writes the standard table (20 000 releves x 3 000 species, made by the shared generator) and
# prints time and peak memory. Usage: bench/table_io.sh [RELEVES SPECIES]
set -euo pipefail
cd "$(dirname "$0")/.."
releves=${1:-20000}
species=${2:-3000}
gen=${TAVOLEX_GEN_TABLE:-../shared/tools/gen_table.py}
scripts/setup
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target bench_table_io >/dev/null
mkdir -p build/bench-data
table=build/bench-data/gen_${releves}x${species}.tab
[ -f "$table" ] || python3 "$gen" "$releves" "$species" "$table"
ls -l "$table" | awk '{printf "table: %s, %.1f MB\n", $NF, $5/1e6}'
build/bench/bench_table_io "$table" build/bench-data
