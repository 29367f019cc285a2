#!/usr/bin/env bash
# Builds the libFuzzer targets into build/fuzz and, for each target, first replays every input of
# its committed corpus (fuzz/corpus/<target>: the seeds and every finding), then fuzzes it afresh
# for SECONDS seconds (default 60) from a copy of that corpus, as many targets at once as there
# are cores, at the lowest priority. The test command runs it for a few seconds; for a long run:
#   bash scripts/fuzz.sh 1800 [target ...]
# Prints "fuzz <target>: PASS (<inputs> replayed, <runs> runs)" or "fuzz <target>: FAIL" per
# target and ends with "N passed, N failed". Crash inputs go to build/fuzz/artifacts/, logs to
# build/fuzz/logs/. Further arguments name the targets to run (default: all).
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(profile keypath runmode commandline message)
jobs=$(nproc 2>/dev/null || echo 2)

out=build/fuzz
if ! { CC=clang CXX=clang++ cmake -S . -B "$out" -DVORNKIT_FUZZ=ON \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
       nice -n 19 cmake --build "$out" -j"$jobs" >/dev/null; }; then
  echo "fuzz build failed"
  echo "0 passed, ${#targets[@]} failed"
  exit 1
fi
mkdir -p "$out/artifacts" "$out/logs" "$out/corpus-work" "$out/results"

# One target: its replay, then its fresh run. Writes PASS or FAIL and a line to show.
fuzz_one() {
  local t=$1 max_len=512 work="$out/corpus-work/$1" log="$out/logs/$1.log" inputs runs
  [ "$t" = profile ] && max_len=4096
  rm -rf "$work"
  mkdir -p "$work"
  inputs=(fuzz/corpus/"$t"/*)
  [ -e "${inputs[0]}" ] || inputs=()
  # The replay: each committed input once, exactly as stored.
  if [ ${#inputs[@]} -gt 0 ] &&
     ! nice -n 19 "$out/${t}_fuzz" -artifact_prefix="$out/artifacts/$t-" "${inputs[@]}" \
       >"$log.replay" 2>&1; then
    { echo "fuzz $t: FAIL (a committed input fails)"
      grep -E '^(==[0-9]+==ERROR|SUMMARY|Running: )' "$log.replay" | tail -n5; } \
      >"$out/results/$t"
    return
  fi
  cp -f "${inputs[@]}" "$work"/ 2>/dev/null || true
  nice -n 19 "$out/${t}_fuzz" "$work" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$t-" >"$log" 2>&1
  local rc=$?
  runs=$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' | tail -n1)
  if [ "$rc" -eq 0 ] && [ -n "$runs" ]; then
    echo "fuzz $t: PASS (${#inputs[@]} replayed, $runs runs)" >"$out/results/$t"
  else
    { echo "fuzz $t: FAIL"
      grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)' "$log" | head -n5; } \
      >"$out/results/$t"
  fi
}

rm -f "$out/results/"*
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  fuzz_one "$t" &
  running=$((running + 1))
done
wait

passed=0
failed=0
for t in "${targets[@]}"; do
  if [ -s "$out/results/$t" ]; then
    cat "$out/results/$t"
  else
    echo "fuzz $t: FAIL (no result)"
  fi
  if grep -q "^fuzz $t: PASS" "$out/results/$t" 2>/dev/null; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
