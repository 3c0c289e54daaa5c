# Shared by run.sh and run-long.sh: building the fuzz tree, the target list, replaying regressions and
# reading libFuzzer's logs. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
targets=(table_native table_text3 table_text4 deck_file settings_file installation_file catalogue
         taxon_list indicator_list record_set macro_collection clipboard_paste field_list
         import_preparation)
# Inputs up to 64 KB; the native table reader is quick enough for more.
declare -A max_len=([table_native]=262144)
common_options=(-timeout=1 -rss_limit_mb=2048 -print_final_stats=1)
failures=()

# The targets' scratch folders go below one folder of this run (in memory where possible), removed at
# the end with whatever crashed runs left behind.
if [ -w /dev/shm ]; then scratch_base=/dev/shm; else scratch_base=${TMPDIR:-/tmp}; fi
TAVOLEX_FUZZ_TMP=$(mktemp -d "$scratch_base/tavolex-fuzz-run-XXXXXX")
export TAVOLEX_FUZZ_TMP
trap 'rm -rf "$TAVOLEX_FUZZ_TMP"' EXIT

build_fuzz_tree() {
    export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTAVOLEX_FUZZ=ON -DTAVOLEX_TESTS=OFF -DTAVOLEX_BENCH=OFF -DTAVOLEX_GUI=OFF >/dev/null
    local t names=()
    for t in "${targets[@]}"; do names+=("fuzz_$t"); done
    cmake --build "$build" -j "$(nproc)" --target "${names[@]}" >"$build/fuzz-build.log" 2>&1 || {
        tail -n 40 "$build/fuzz-build.log"
        echo "fuzz: FAIL the fuzz targets did not build (log: $build/fuzz-build.log)"
        exit 1
    }
}

len_of() { echo "${max_len[$1]:-65536}"; }

# The lines of a log that say what went wrong: sanitizer reports, round-trip differences, timeouts.
explain() {
    grep -E '^(==[0-9]+==ERROR|SUMMARY:|\*\*\* [a-z_0-9]+: |ALARM|==[0-9]+== ERROR: libFuzzer)|round trip|runtime error|    #[0-9] .* in tav::' "$1" |
        head -n 12 | sed 's/^/    /'
}

fail() { # target, what
    failures+=("$1: $2")
    echo "fuzz: FAIL $1: $2"
}

# Every input that once found a fault must now pass; each is run on its own so that all are reported.
replay_regressions() {
    local t f log
    for t in "${targets[@]}"; do
        [ -d "$root/fuzz/regressions/$t" ] || continue
        for f in "$root/fuzz/regressions/$t"/*; do
            [ -f "$f" ] || continue
            log="$build/logs/regression-$t-$(basename "$f").log"
            if "$build/fuzz/fuzz_$t" "${common_options[@]}" "$f" >"$log" 2>&1; then
                echo "fuzz: ok   $t: regression ${f#"$root"/}"
            else
                fail "$t" "regression input ${f#"$root"/} fails (log: $log)"
                explain "$log"
            fi
        done
    done
}

# The working corpus of a target: the committed seeds plus what earlier runs found.
corpus_of() {
    local dir="$build/corpus/$1"
    mkdir -p "$dir" "$build/artifacts/$1"
    cp -n "$root/fuzz/seeds/$1"/* "$dir"/ 2>/dev/null || true
    echo "$dir"
}

# Executions so far according to a libFuzzer log (plain or fork mode).
executions_in() {
    local n
    n=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$1" | tail -n 1 | grep -oE '[0-9]+$')
    [ -n "$n" ] || n=$(grep -oE '^#[0-9]+' "$1" | tail -n 1 | tr -d '#')
    echo "${n:-0}"
}

new_artifacts() { # target, marker file: the crash, timeout and out-of-memory inputs saved after marker
    find "$build/artifacts/$1" -type f -newer "$2" 2>/dev/null | sort
}
