#!/usr/bin/env bash
# Builds Vornkit. What is built depends on the first argument:
#   (none)   both Windows builds of vornkit.exe (static MinGW-w64), build/win32 (i686, the program
#            for Windows) and build/win64 (x86-64), each with every helper program of the tests
#            and the benchmark;
#   e2e      the same two builds, but only vornkit.exe and the end-to-end tests' helpers;
#   unit     the native unit tests, build/linux and build/sanitize (AddressSanitizer and
#            UndefinedBehaviorSanitizer);
#   all      everything above.
# VORNKIT_NICE (for example "nice -n 19") runs the compilers at a lower priority.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
report_failures
jobs=$(nproc 2>/dev/null || echo 2)
mode=${1:-windows}
read -r -a nice <<<"${VORNKIT_NICE:-}"

configure() {  # build folder, then cmake's options; cmake's own output only when it fails
  local dir=$1
  shift
  quietly "configuring $dir" cmake -S . -B "$dir" "$@"
}

compile() {  # build folder, then the targets (none: all of them)
  local dir=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  quietly "building $dir" "${nice[@]}" cmake --build "$dir" -j"$jobs" "${targets[@]}"
}

windows() {  # the targets to build (none: all of them)
  configure build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
  compile build/win32 "$@"
  configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel
  compile build/win64 "$@"
}

unit() {
  configure build/linux -DCMAKE_BUILD_TYPE=Debug
  compile build/linux
  configure build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVORNKIT_SANITIZE=ON
  compile build/sanitize
}

case "$mode" in
  windows) windows ;;
  e2e) windows vornkit standin probe ;;
  unit) unit ;;
  all) windows && unit ;;
  *) echo "build.sh: unknown build \"$mode\" (windows, e2e, unit or all)" >&2; exit 2 ;;
esac
