#!/usr/bin/env bash
# Sets up, builds and runs every test; then builds the library, the batch runner and the unit tests as a
# plain Release build (the optimizer warns differently) and runs the unit tests there; then once more with
# AddressSanitizer and UndefinedBehaviorSanitizer; last the fuzz targets (fuzz/run.sh). Warnings are
# errors in every build here.
set -euo pipefail
cd "$(dirname "$0")"
# ccache shares its objects between clones of the repository in other folders (CI builds a fresh one).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
scripts/setup
jobs=$(nproc)

scripts/check-source

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVOLEX_WERROR=ON -DTAVOLEX_GUI=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# The core and the batch runner as a plain Release build (the optimizer warns differently), without the
# desktop, so that the core stays free of Qt; no benchmarks.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVOLEX_WERROR=ON -DTAVOLEX_BENCH=OFF \
    -DTAVOLEX_GUI=OFF >/dev/null
cmake --build build-release -j "$jobs"
ctest --test-dir build-release --output-on-failure -j "$jobs" -L unit

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVOLEX_SANITIZE=ON -DTAVOLEX_WERROR=ON \
    -DTAVOLEX_BENCH=OFF -DTAVOLEX_GUI=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit

# Every reader of outside data under libFuzzer: the saved regressions, then each target briefly.
fuzz/run.sh
