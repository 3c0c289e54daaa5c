#!/usr/bin/env bash
# Sets up, builds and starts the desktop program on TABLE (default: the dune sample). Without a display
# it runs the batch runner instead: prints a summary of the table and writes it back under ./out/.
set -euo pipefail
cd "$(dirname "$0")"
# ccache shares its objects between clones of the repository in other folders (CI builds a fresh one).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
here=$(pwd)
scripts/setup
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVOLEX_GUI=ON >/dev/null
table=${1:-data/samples/dune.tab}
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    cmake --build build --target tavolex >/dev/null
    exec "$here/build/apps/tavolex/tavolex" "$table"
fi
cmake --build build --target tavolex-batch >/dev/null
echo "run.sh: no display; the batch runner works on $table instead (with a display ./run.sh starts the" \
    "desktop program, or: xvfb-run -a build/apps/tavolex/tavolex $table)" >&2
mkdir -p out
exec "$here/build/apps/tavolex-batch/tavolex-batch" --summary "$table" --save "out/$(basename "$table")"
