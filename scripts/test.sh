#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test Vornkit has: the formatting check, the
# unit tests (plain and under AddressSanitizer/UndefinedBehaviorSanitizer), every fuzz target
# (its committed corpus replayed, then a few seconds afresh), the Windows layer's tests and the
# end-to-end tests of the real program under Wine (the 32-bit and the 64-bit build where this
# host runs 32-bit programs, the 64-bit build alone where it does not or with VORNKIT_WINE64=1).
# Ends with one line "N passed, N failed".
#
# The end-to-end tests mostly wait on Wine, so they run side by side, one per build, while the
# compilers, the unit tests and the fuzzers take the cores left over at the lowest priority.
# Each stage's output is kept in build/test-logs/ and shown (on stderr) when it ends; stdout gets
# each stage's result and time.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
# The system's Python, where Debian installs pytest (another python3 may come first on PATH).
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=python3
logs=build/test-logs
began=$(date +%s)

passed=0
failed=0
count() { passed=$((passed + $1)); failed=$((failed + $2)); }
since() { echo $(($(date +%s) - $1)); }

# Runs one step that everything after it needs; stops the run, saying what failed, if it fails.
step() {
  local what=$1 t
  shift
  t=$(date +%s)
  if ! "$@"; then
    echo "== $what failed ($(since "$t") s)"
    echo "0 passed, 1 failed"
    exit 1
  fi
  echo "== $what: $(since "$t") s"
}

# Runs one stage of tests with its output in $logs/NAME.log; the log's last line is the stage's
# "N passed, N failed", and NAME.time its seconds. Returns the command's status.
stage() {
  local name=$1 t status
  shift
  t=$(date +%s)
  "$@" >"$logs/$name.log" 2>&1
  status=$?
  since "$t" >"$logs/$name.time"
  return "$status"
}

# Counts a stage that has ended and shows its result and time.
collect() {
  local name=$1 what=$2 last
  cat "$logs/$name.log" >&2
  last=$(tail -n1 "$logs/$name.log")
  if [[ "$last" =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
    count "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
    echo "== $what: $last ($(cat "$logs/$name.time" 2>/dev/null || echo '?') s)"
  else
    count 0 1
    echo "== $what: no result; it failed (see build/test-logs/$name.log)"
  fi
}

# --- the stages' bodies: each ends with "N passed, N failed" ---

formatting() {  # every C++ source as clang-format (.clang-format) would write it
  if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
    echo "1 passed, 0 failed"
  else
    echo "0 passed, 1 failed"
  fi
}

unit_tests() {  # ctest's summary "N% tests passed, F tests failed out of T"
  local out summary f t
  out=$(cd "$1" && ctest --output-on-failure -j2 2>&1)
  printf '%s\n' "$out"
  summary=$(printf '%s\n' "$out" | grep -E "tests failed out of" | tail -n1)
  [ -n "$summary" ] || { echo "0 passed, 1 failed"; return; }
  f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
  t=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$summary")
  echo "$((t - f)) passed, $f failed"
}

end_to_end() {  # pytest's closing line: "== 24 passed, 1 failed, 2 errors in 130.2s =="
  local out p f e
  PYTHONDONTWRITEBYTECODE=1 "$PYTHON" -m pytest e2e -c e2e/pytest.ini --exe "build/$1/vornkit.exe" \
    2>&1 | tee "$logs/e2e-$1.pytest"
  out=$(tail -n1 "$logs/e2e-$1.pytest")
  if [[ "$out" =~ [0-9]+\ (passed|failed|errors?) ]]; then
    p=$(sed -nE 's/.* ([0-9]+) passed.*/\1/p' <<<"$out")
    f=$(sed -nE 's/.* ([0-9]+) failed.*/\1/p' <<<"$out")
    e=$(sed -nE 's/.* ([0-9]+) errors?.*/\1/p' <<<"$out")
    echo "${p:-0} passed, $((${f:-0} + ${e:-0})) failed"  # an error in a fixture is a failure
  else
    echo "the end-to-end tests of build/$1 gave no result line"
    echo "0 passed, 1 failed"
  fi
}

# What the cores do while the end-to-end tests wait on Wine, one stage after the other.
beside_end_to_end() {
  stage formatting formatting
  if stage unit-build bash scripts/build.sh unit; then
    stage unit-linux unit_tests build/linux
    stage unit-sanitize unit_tests build/sanitize
  else
    echo "0 passed, 1 failed" >>"$logs/unit-build.log"
  fi
  stage fuzz bash scripts/fuzz.sh "${VORNKIT_FUZZ_SECONDS:-10}"
  for arch in $VORNKIT_ARCHES; do
    stage "wintests-$arch" bash scripts/wintests.sh "$arch"
  done
}

# --- the run ---

step "set-up" bash scripts/setup.sh
rm -rf "$logs"
mkdir -p "$logs"
step "build of the programs under test" bash scripts/build.sh e2e

choose_wine_arches
[ -n "$VORNKIT_NO32_REASON" ] &&
  echo "== Windows-layer and end-to-end tests of the 32-bit build skipped: $VORNKIT_NO32_REASON"

pids=()
for arch in $VORNKIT_ARCHES; do
  stage "e2e-$arch" end_to_end "$arch" &
  pids+=($!)
done
export VORNKIT_NICE="nice -n 19"
beside_end_to_end
wait "${pids[@]}"

collect formatting "formatting"
if [ -e "$logs/unit-linux.log" ]; then
  echo "== build of the unit tests: $(cat "$logs/unit-build.time") s"
  collect unit-linux "unit tests (build/linux)"
  collect unit-sanitize "unit tests under ASan and UBSan (build/sanitize)"
else
  collect unit-build "build of the unit tests"
fi
collect fuzz "fuzzing (committed corpus, then ${VORNKIT_FUZZ_SECONDS:-10} s a target)"
for arch in $VORNKIT_ARCHES; do
  collect "wintests-$arch" "Windows-layer tests, ${arch#win}-bit build under ${arch#win}-bit Wine"
done
for arch in $VORNKIT_ARCHES; do
  collect "e2e-$arch" "end-to-end tests: $(arch_words "$arch")"
done
echo "== whole run: $(since "$began") s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
