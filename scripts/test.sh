#!/usr/bin/env bash
# Installs what is missing, builds everything, checks the formatting, runs the unit tests (plain and under
# AddressSanitizer/UndefinedBehaviorSanitizer), a minute of fuzzing per target and the end-to-end
# tests of the Windows layer and the end-to-end tests of the real program under Wine (the 32-bit
# and the 64-bit build where this host runs 32-bit programs, the 64-bit build alone where it does
# not or with VORNKIT_WINE64=1), and ends with one line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
# The system's Python, where Debian installs pytest (another python3 may come first on PATH).
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=python3

passed=0
failed=0
count() { passed=$((passed + $1)); failed=$((failed + $2)); }

if ! bash scripts/setup.sh; then
  echo "setup failed"
  echo "0 passed, 1 failed"
  exit 1
fi
if ! bash scripts/build.sh all; then
  echo "build failed"
  echo "0 passed, 1 failed"
  exit 1
fi

# Formatting: every C++ source as clang-format (.clang-format) would write it.
echo "== formatting"
if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
  count 1 0
else
  count 0 1
fi

# Unit tests: ctest's summary "N% tests passed, F tests failed out of T".
for dir in build/linux build/sanitize; do
  echo "== unit tests ($dir)"
  out=$(cd "$dir" && ctest --output-on-failure -j2 2>&1)
  printf '%s\n' "$out" | grep -E "tests passed|Failed|\*\*\*" || true
  summary=$(printf '%s\n' "$out" | grep -E "tests failed out of" | tail -n1)
  if [ -n "$summary" ]; then
    f=$(printf '%s' "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    t=$(printf '%s' "$summary" | sed -E 's/.* tests failed out of ([0-9]+).*/\1/')
    count $((t - f)) "$f"
  else
    count 0 1
  fi
done

# The fuzzing and end-to-end output is copied to stderr through a pipe: "tee /dev/stderr" would
# reopen a log file that stderr points to and cut off everything written before.

# Fuzzing: every target that reads text a user can edit or the platform hands in, 60 s each.
echo "== fuzzing"
fuzz_out=$(bash scripts/fuzz.sh "${VORNKIT_FUZZ_SECONDS:-60}" 2>&1 | tee >(cat >&2) | tail -n1)
if [[ "$fuzz_out" =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
  count "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
else
  count 0 1
fi

choose_wine_arches
[ -n "$VORNKIT_NO32_REASON" ] &&
  echo "== Windows-layer and end-to-end tests of the 32-bit build skipped: $VORNKIT_NO32_REASON"

# The Windows layer's unit tests, run as a Windows program under Wine, in every build this host
# runs.
for arch in $VORNKIT_ARCHES; do
  echo "== Windows-layer unit tests: build/$arch-tests/vornkit_wintests.exe under ${arch#win}-bit Wine"
  win_out=$(bash scripts/wintests.sh "$arch" 2>&1 | tee >(cat >&2) | tail -n1)
  if [[ "$win_out" =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
    count "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
  else
    count 0 1
  fi
done

# End-to-end tests: the real program under Wine, every build this host runs.
for arch in $VORNKIT_ARCHES; do
  echo "== end-to-end tests: $(arch_words "$arch")"
  # pytest's closing line: "== 24 passed, 1 failed, 2 errors in 130.2s ==" (parts left out
  # when 0); an error in a fixture counts as a failure.
  e2e_out=$(PYTHONDONTWRITEBYTECODE=1 "$PYTHON" -m pytest e2e -c e2e/pytest.ini --exe "build/$arch/vornkit.exe" 2>&1 |
    tee >(cat >&2) | tail -n1)
  if [[ "$e2e_out" =~ ([0-9]+\ (passed|failed|errors?)) ]]; then
    p=$(sed -nE 's/.* ([0-9]+) passed.*/\1/p' <<<"$e2e_out")
    f=$(sed -nE 's/.* ([0-9]+) failed.*/\1/p' <<<"$e2e_out")
    e=$(sed -nE 's/.* ([0-9]+) errors?.*/\1/p' <<<"$e2e_out")
    count "${p:-0}" $(( ${f:-0} + ${e:-0} ))
  else
    echo "end-to-end tests of build/$arch gave no result line"
    count 0 1
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
