#!/usr/bin/env bash
# Installs what building and testing Vornkit needs on a Debian machine, and nothing when it is
# already there. Safe to run again. Both cross compilers and 64-bit Wine always; 32-bit Wine (and
# with it the i386 architecture) only where this host runs 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
report_failures
export DEBIAN_FRONTEND=noninteractive

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
wanted=(cmake g++ make python3 python3-pytest python3-pytest-timeout libgtest-dev googletest
        g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
        wine wine64 xvfb xdotool imagemagick x11-utils clang-format fonts-wine clang
        libclang-rt-14-dev fonts-liberation)
runs32=0
if host_runs_32bit; then
  runs32=1
  wanted+=(wine32:i386)
fi
need=()
for p in "${wanted[@]}"; do
  have "$p" || need+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}" >&2
  if [ "$runs32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  quietly "apt-get install" $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

# The cross compilers are reached through update-alternatives links; mend a broken group.
for triplet in i686-w64-mingw32 x86_64-w64-mingw32; do
  for tool in gcc g++; do
    if ! command -v "$triplet-$tool" >/dev/null; then
      $SUDO update-alternatives --auto "$triplet-$tool" >/dev/null 2>&1 || true
      command -v "$triplet-$tool" >/dev/null || { echo "setup: no $triplet-$tool" >&2; exit 1; }
    fi
  done
done
