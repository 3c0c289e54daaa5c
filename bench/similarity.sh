#!/usr/bin/env bash
# The similarity matrix and average-linkage clustering of the releves of a generated table of
# percentages (RELEVES x 3000 species, default 5000), by Tavolex and by R (dist, hclust) on the same
# table, one after the other. R's dist is slow on large tables (minutes at 5000 releves).
# Usage: bench/similarity.sh [RELEVES]
set -euo pipefail
cd "$(dirname "$0")/.."
releves=${1:-5000}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target bench_similarity >/dev/null
mkdir -p build/bench-data
table=build/bench-data/gen_${releves}x3000p.tab
[ -f "$table" ] || python3 scripts/gen_table.py --percent "$releves" 3000 "$table"
build/bench/bench_similarity "$table" data/tavolex.\$ms build/bench-data 8
Rscript --vanilla bench/similarity_r.R "$table"
