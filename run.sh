#!/usr/bin/env bash
# Sets up, builds and runs the batch runner on TABLE (default: the dune sample): prints a summary of the
# table and writes it back under ./out/.
set -euo pipefail
cd "$(dirname "$0")"
# ccache shares its objects between clones of the repository in other folders (CI builds a fresh one).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
here=$(pwd)
scripts/setup
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tavolex-batch >/dev/null
table=${1:-data/samples/dune.tab}
mkdir -p out
exec "$here/build/apps/tavolex-batch/tavolex-batch" --summary "$table" --save "out/$(basename "$table")"
