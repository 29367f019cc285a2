#!/usr/bin/env bash
# Builds vornkit.exe (i686 MinGW-w64, static) into build/win and, with "all", also the native
# unit tests into build/linux and build/sanitize.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build build/win -j"$jobs"

if [ "${1:-}" = "all" ]; then
  cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build build/linux -j"$jobs"
  cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVORNKIT_SANITIZE=ON >/dev/null
  cmake --build build/sanitize -j"$jobs"
fi
