#!/usr/bin/env bash
# Vornkit's benchmark: builds what it needs, then measures start-up, memory, size, imports and
# leaks under Wine and prints a markdown table (also in build/bench/results.md). Options: see
# python3 bench/run.py --help (--runs N, --cycles N, --skip-build, --quiet-wait SECONDS).
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 bench/run.py "$@"
