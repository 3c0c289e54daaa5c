#!/usr/bin/env bash
# fuzz/run-long.sh SECONDS: fuzzes every target for SECONDS in total (split evenly), in libFuzzer's fork
# mode so that a target goes on after a crash or timeout and every faulty input is kept. Prints per
# target the executions and what was found; fails when anything was found. Regressions are replayed
# first, as in run.sh.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
total=${1:-}
if ! [[ "$total" =~ ^[0-9]+$ ]] || [ "$total" -lt "${#targets[@]}" ]; then
    echo "usage: fuzz/run-long.sh SECONDS   (at least ${#targets[@]})" >&2
    exit 2
fi
per=$((total / ${#targets[@]}))

build_fuzz_tree
mkdir -p "$build/logs"
replay_regressions

for t in "${targets[@]}"; do
    corpus=$(corpus_of "$t")
    log="$build/logs/$t-long.log"
    marker="$build/logs/$t-long.start"
    touch "$marker"
    "$build/fuzz/fuzz_$t" "${common_options[@]}" -max_len="$(len_of "$t")" -max_total_time="$per" \
        -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        -artifact_prefix="$build/artifacts/$t/" "$corpus" >"$log" 2>&1
    rc=$?
    found=$(new_artifacts "$t" "$marker")
    execs=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
    if [ -n "$found" ]; then
        fail "$t" "$(echo "$found" | wc -l) input(s) found in ${per} s, ${execs:-0} executions (log: $log)"
        printf '    %s\n' $found
        explain "$log"
    elif [ $rc -ne 0 ]; then
        fail "$t" "libFuzzer stopped with status $rc after ${execs:-0} executions (log: $log)"
        explain "$log"
    else
        echo "fuzz: ok   $t: ${execs:-0} executions in ${per} s, nothing found"
    fi
done

if [ ${#failures[@]} -gt 0 ]; then
    echo "fuzz: ${#failures[@]} finding(s):"
    printf '  %s\n' "${failures[@]}"
    exit 1
fi
echo "fuzz: all targets passed"
