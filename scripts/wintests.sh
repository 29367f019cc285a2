#!/usr/bin/env bash
# Builds and runs the Windows layer's unit tests (tests/win32/, GoogleTest) as a Windows program
# under Wine: "win32" (32-bit build, 32-bit Wine) or "win64" (64-bit build, 64-bit Wine), in a
# fresh prefix on a private X display. Ends with one line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
arch=${1:?usage: scripts/wintests.sh win32|win64}
toolchain=$(toolchain_of "$arch")
[ -n "$toolchain" ] || { echo "wintests: unknown build $arch" >&2; exit 2; }
dir=build/$arch-tests
fail() { echo "wintests ($arch): $1"; echo "0 passed, 1 failed"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vornkit-wintests.XXXXXX")
xvfb_pid=""
boot_pid=""
cleanup() {
  [ -n "$boot_pid" ] && kill "$boot_pid" 2>/dev/null
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The prefix is made while the tests compile: neither waits for the other. The boot's own
# processes (its desktop, made with no display) must have ended before the tests start, or the
# tests' windows would go to that desktop and fail to be made.
use_wine "$arch" "$work/prefix"
("$WINE" wineboot -i && wineserver -w) >"$work/wineboot.log" 2>&1 &
boot_pid=$!

configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVORNKIT_MINGW_THREADS=posix \
  -DVORNKIT_WIN_TESTS=ON -DCMAKE_BUILD_TYPE=MinSizeRel 2>&1 &&
  compile "$dir" vornkit_wintests 2>&1 || fail "build failed"

if ! wait "$boot_pid"; then
  boot_pid=""
  tail -n 20 "$work/wineboot.log"
  fail "wineboot failed"
fi
boot_pid=""

# A private display: the tests make real windows.
Xvfb -displayfd 9 -screen 0 800x600x24 -nolisten tcp 9>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

out=$(timeout 300 "$WINE" "$dir/vornkit_wintests.exe" 2>&1)
status=$?
printf '%s\n' "$out"
passed=$(printf '%s\n' "$out" | sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' | tail -n1)
failed=$(printf '%s\n' "$out" | sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below:.*/\1/p' | tail -n1)
[ -n "$passed" ] || [ -n "$failed" ] || fail "the tests gave no result (exit $status)"
echo "${passed:-0} passed, ${failed:-0} failed"
[ "${failed:-0}" -eq 0 ] && [ "$status" -eq 0 ]
