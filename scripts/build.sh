#!/usr/bin/env bash
# Builds both Windows builds of vornkit.exe (static MinGW-w64): build/win32 (i686, the program
# for Windows) and build/win64 (x86-64), each with the helper programs of the tests and the
# benchmark. With "all", also the native unit tests into build/linux and build/sanitize.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
report_failures
jobs=$(nproc 2>/dev/null || echo 2)

configure() {  # build folder, then cmake's options; cmake's own output only when it fails
  local dir=$1
  shift
  quietly "configuring $dir" cmake -S . -B "$dir" "$@"
}

configure build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
cmake --build build/win32 -j"$jobs"
configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
cmake --build build/win64 -j"$jobs"

if [ "${1:-}" = "all" ]; then
  configure build/linux -DCMAKE_BUILD_TYPE=Debug
  cmake --build build/linux -j"$jobs"
  configure build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVORNKIT_SANITIZE=ON
  cmake --build build/sanitize -j"$jobs"
fi
