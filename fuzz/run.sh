#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in build-fuzz,
# replays every input under fuzz/regressions/<target>/, then fuzzes each target briefly on a working
# corpus in build-fuzz/corpus (the committed seeds stay as they are). Every crash, sanitizer report,
# round-trip difference or timeout is reported with the target and the saved input; the script goes on
# with the other targets and fails at the end. FUZZ_SECONDS sets the time per target (default 30).
set -uo pipefail
source "$(dirname "$0")/lib.sh"
seconds=${FUZZ_SECONDS:-30}

build_fuzz_tree
mkdir -p "$build/logs"
replay_regressions

for t in "${targets[@]}"; do
    corpus=$(corpus_of "$t")
    log="$build/logs/$t.log"
    marker="$build/logs/$t.start"
    touch "$marker"
    "$build/fuzz/fuzz_$t" "${common_options[@]}" -max_len="$(len_of "$t")" -max_total_time="$seconds" \
        -artifact_prefix="$build/artifacts/$t/" "$corpus" >"$log" 2>&1
    rc=$?
    found=$(new_artifacts "$t" "$marker")
    if [ $rc -ne 0 ] || [ -n "$found" ]; then
        fail "$t" "input saved as ${found:-<none>} (log: $log)"
        explain "$log"
    else
        echo "fuzz: ok   $t: $(executions_in "$log") executions in ${seconds} s"
    fi
done

if [ ${#failures[@]} -gt 0 ]; then
    echo "fuzz: ${#failures[@]} failure(s):"
    printf '  %s\n' "${failures[@]}"
    exit 1
fi
echo "fuzz: all targets passed"
