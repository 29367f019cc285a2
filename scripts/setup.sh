#!/usr/bin/env bash
# Installs what building and testing Vornkit needs on a Debian machine, and nothing when it is
# already there. Safe to run again.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake g++ make libgtest-dev googletest g++-mingw-w64-i686 binutils-mingw-w64-i686 \
         wine wine32:i386 xvfb xdotool imagemagick x11-utils clang-format fonts-wine \
         clang libclang-rt-14-dev fonts-liberation; do
  have "$p" || need+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
# The cross compilers are reached through update-alternatives links; mend a broken group.
for tool in gcc g++; do
  if have "g++-mingw-w64-i686" && ! command -v "i686-w64-mingw32-$tool" >/dev/null; then
    $SUDO update-alternatives --auto "i686-w64-mingw32-$tool" >/dev/null 2>&1 || true
  fi
done
[ ${#need[@]} -eq 0 ] && exit 0

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
