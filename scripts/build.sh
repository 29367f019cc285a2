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
mode=${1:-windows}

windows() {  # the targets to build (none: all of them)
  local arch
  for arch in win32 win64; do
    configure "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_of "$arch")" \
      -DCMAKE_BUILD_TYPE=MinSizeRel || return
    compile "build/$arch" "$@" || return
  done
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
