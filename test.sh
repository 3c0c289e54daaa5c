#!/usr/bin/env bash
# Sets up, builds and runs every test; then builds the unit tests once more with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them there; last the fuzz targets (fuzz/run.sh).
set -euo pipefail
cd "$(dirname "$0")"
# ccache shares its objects between clones of the repository in other folders (CI builds a fresh one).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
scripts/setup
jobs=$(nproc)

scripts/check-source

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVOLEX_SANITIZE=ON -DTAVOLEX_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit

# Every reader of outside data under libFuzzer: the saved regressions, then each target briefly.
fuzz/run.sh
