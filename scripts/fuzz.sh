#!/usr/bin/env bash
# Builds the libFuzzer targets into build/fuzz and runs each for SECONDS seconds (default 60),
# one after the other at the lowest priority, on a copy of the seed corpus in fuzz/corpus.
# Prints "fuzz <target>: PASS (<runs> runs)" or "fuzz <target>: FAIL" per target and ends with
# "N passed, N failed". Crash inputs go to build/fuzz/artifacts/, logs to build/fuzz/logs/.
# Further arguments name the targets to run (default: all).
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(profile keypath runmode commandline message)

out=build/fuzz
if ! { CC=clang CXX=clang++ cmake -S . -B "$out" -DVORNKIT_FUZZ=ON \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
       nice -n 19 cmake --build "$out" -j2 >/dev/null; }; then
  echo "fuzz build failed"
  echo "0 passed, ${#targets[@]} failed"
  exit 1
fi
mkdir -p "$out/artifacts" "$out/logs" "$out/corpus-work"

passed=0
failed=0
for t in "${targets[@]}"; do
  max_len=512
  [ "$t" = profile ] && max_len=4096
  work="$out/corpus-work/$t"
  mkdir -p "$work"
  cp -f fuzz/corpus/"$t"/* "$work"/ 2>/dev/null || true
  log="$out/logs/$t.log"
  nice -n 19 "$out/${t}_fuzz" "$work" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$t-" >"$log" 2>&1
  rc=$?
  runs=$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' | tail -n1)
  if [ "$rc" -eq 0 ] && [ -n "$runs" ]; then
    echo "fuzz $t: PASS ($runs runs)"
    passed=$((passed + 1))
  else
    echo "fuzz $t: FAIL"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)' "$log" | head -n5
    failed=$((failed + 1))
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
