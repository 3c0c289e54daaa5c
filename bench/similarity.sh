#!/usr/bin/env bash
# The similarity matrices of the releves and their average-linkage clustering, by Tavolex and, on the
# same table in the same run, by R (vegan's vegdist, hclust) and SciPy (pdist, linkage), one program
# after the other, with each one's wall time and peak memory.
#
# Usage: bench/similarity.sh [RELEVES…] [--with-r-20000] [--no-r] [--no-scipy]
#   RELEVES   sizes of the generated table, RELEVES x 3000 species (default: 5000 10000 20000)
#   --with-r-20000  run R's vegdist at 20 000 releves too, skipped otherwise: each vegdist matrix
#                   walks all 3 000 species for every pair, well over an hour per measure there (R's
#                   cosine and hclust run at every size)
#   --no-r, --no-scipy  leave R or SciPy out
#
# The tables come from scripts/gen_table.py --percent (percentages, the table R and SciPy read as
# plain numbers) and are kept in build/bench-data. Tavolex reads the cells through its cover-code
# interpreter in the percentage system and computes, with every core, the matrices of the chord
# distance (code 9), Jaccard (43) and Ochiai on the cover values (41), then clusters the Ochiai matrix
# (average linkage) in place. R and SciPy each run on one core: vegdist "chord" and "jaccard"
# (binary) and the cosine as a cross product for R; pdist "cosine" and "jaccard" on presences for
# SciPy; both cluster the cosine distance 1 - Ochiai, so all three roots must agree. A line per
# program gives the largest difference of its cells from ours on a fixed sample of 500 pairs.
# Timings on a shared machine are noisy: ours print processor time beside wall time.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=()
with_r_20000=0
run_r=1
run_scipy=1
for a in "$@"; do
    case "$a" in
        --with-r-20000) with_r_20000=1 ;;
        --no-r) run_r=0 ;;
        --no-scipy) run_scipy=0 ;;
        *[!0-9]* | '') echo "usage: bench/similarity.sh [RELEVES…] [--with-r-20000] [--no-r] [--no-scipy]" >&2; exit 2 ;;
        *) sizes+=("$a") ;;
    esac
done
[ ${#sizes[@]} -gt 0 ] || sizes=(5000 10000 20000)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target bench_similarity >/dev/null
mkdir -p build/bench-data

# Peak memory of a program through GNU time where it is installed.
peak() {
    if [ -x /usr/bin/time ]; then /usr/bin/time -f "  $1 peak memory: %M KB" "${@:2}"; else "${@:2}"; fi
}

have_r=0
if [ "$run_r" = 1 ]; then
    if command -v Rscript >/dev/null && Rscript -e 'library(vegan)' >/dev/null 2>&1; then
        have_r=1
    else
        echo "R with vegan is missing (Rscript, r-cran-vegan): R's figures are left out"
    fi
fi
python=""
if [ "$run_scipy" = 1 ]; then
    for p in /usr/bin/python3 python3; do
        if command -v "$p" >/dev/null && "$p" -c 'import scipy, numpy' 2>/dev/null; then
            python=$p
            break
        fi
    done
    [ -n "$python" ] || echo "SciPy is missing (python3-scipy for /usr/bin/python3): SciPy's figures are left out"
fi

echo "machine: $(nproc) cores, $(free -g | awk '/^Mem:/{print $2}') GB; load average now $(cut -d' ' -f1-3 /proc/loadavg)"
for releves in "${sizes[@]}"; do
    table=build/bench-data/gen_${releves}x3000p.tab
    cells=build/bench-data/cells_${releves}.txt
    [ -f "$table" ] || python3 scripts/gen_table.py --percent "$releves" 3000 "$table"
    echo "== $releves releves x 3000 species (percentages): $table"
    echo "-- Tavolex"
    peak Tavolex build/bench/bench_similarity "$table" data/tavolex.\$ms build/bench-data 9,43,41 "$cells"
    if [ "$have_r" = 1 ]; then
        if [ "$releves" -ge 20000 ] && [ "$with_r_20000" = 0 ]; then
            echo "-- R without vegdist at $releves releves: vegdist walks all species for every pair (well over an"
            echo "   hour per measure at 20 000); run with --with-r-20000 to include it"
            peak R Rscript --vanilla bench/similarity_r.R "$table" "$cells" --no-vegdist
        else
            echo "-- R"
            peak R Rscript --vanilla bench/similarity_r.R "$table" "$cells"
        fi
    fi
    if [ -n "$python" ]; then
        echo "-- SciPy"
        peak SciPy "$python" bench/similarity_scipy.py "$table" "$cells"
    fi
done
