#!/usr/bin/env bash
# Vornkit's benchmark: builds what it needs, then measures start-up, memory, size, imports and
# leaks under Wine and prints a markdown table (also in build/bench/results.md). It measures the
# build that scripts/run.sh runs: the 32-bit one where this host runs 32-bit programs, the 64-bit
# one otherwise (or with VORNKIT_WINE64=1); "--arch win32|win64" chooses. Other options: see
# python3 bench/run.py --help (--runs N, --step-runs N, --cycles N, --skip-build, --budget
# SECONDS, --quiet-wait SECONDS, --spread). By default it finishes within 14 minutes, and every
# Wine process runs on one core (--spread: on every core).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
report_failures
bash scripts/setup.sh
choose_wine_arches
arch=${VORNKIT_ARCHES%% *}
case " $* " in
  *" --arch "*) ;;
  *)
    if [ "$arch" = win32 ]; then
      echo "Measuring $(arch_words win32): this host runs 32-bit programs." >&2
    else
      echo "Measuring $(arch_words win64): $VORNKIT_NO32_REASON." >&2
    fi
    set -- --arch "$arch" "$@"
    ;;
esac
exec python3 bench/run.py "$@"
