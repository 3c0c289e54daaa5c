#!/usr/bin/env bash
# Runs one R cross-check. Without Rscript a developer machine skips (exit 77); CI never does.
set -euo pipefail
if ! command -v Rscript >/dev/null; then
    if [ -n "${CI:-}" ]; then
        echo "Rscript is missing; scripts/setup installs r-base-core and r-cran-vegan" >&2
        exit 1
    fi
    echo "skipped: Rscript is not installed (scripts/setup installs it)"
    exit 77
fi
exec Rscript --vanilla "$@"
