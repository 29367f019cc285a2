# Shared by the scripts (sourced): which Windows build of Vornkit this host can run under Wine,
# and the Wine that runs it.
#
# Two Windows builds come from one tree: build/win32 (i686, the program for Windows) and
# build/win64 (x86-64). Some x86-64 kernels run no 32-bit programs at all, and there 32-bit Wine
# cannot start; 64-bit Wine runs the 64-bit build on every x86-64 host.
# VORNKIT_WINE64=1 takes the 64-bit path on any host.

# Succeeds when this host runs 32-bit x86 programs. Found out by trying: a 96-byte static 32-bit
# Linux program that only exits with status 42, so that nothing has to be installed first.
host_runs_32bit() {
  local probe status
  probe=$(mktemp "${TMPDIR:-/tmp}/vornkit-x86probe.XXXXXX") || return 1
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"   # 32-bit, LE
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
  printf '\000\000\000\000' >>"$probe"                       # end of the 52-byte ELF header
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' >>"$probe"
  printf '\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000' >>"$probe"
  printf '\273\052\000\000\000\270\001\000\000\000\315\200' >>"$probe"  # exit(42) via int 0x80
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1
  status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# Sets VORNKIT_ARCHES, the Windows builds this host runs under Wine ("win32 win64" or "win64"),
# and VORNKIT_NO32_REASON, why the 32-bit build does not run here ("" where it does).
choose_wine_arches() {
  if [ "${VORNKIT_WINE64:-}" = 1 ]; then
    VORNKIT_ARCHES="win64"
    VORNKIT_NO32_REASON="VORNKIT_WINE64=1 asks for the 64-bit build only"
  elif ! host_runs_32bit; then
    VORNKIT_ARCHES="win64"
    VORNKIT_NO32_REASON="this host runs no 32-bit programs (a 32-bit test program could not be executed)"
  else
    VORNKIT_ARCHES="win32 win64"
    VORNKIT_NO32_REASON=""
  fi
}

# The Wine loader for a build: 32-bit Wine for win32, Debian's wine64 for win64.
wine_loader() {
  case "$1" in
    win32) echo /usr/lib/wine/wine ;;
    win64) echo /usr/lib/wine/wine64 ;;
  esac
}

# Describes a build in words, for the one line that says what runs.
arch_words() {
  case "$1" in
    win32) echo "the 32-bit build (build/win32/vornkit.exe) under 32-bit Wine" ;;
    win64) echo "the 64-bit build (build/win64/vornkit.exe) under 64-bit Wine" ;;
  esac
}

# Exports what Wine needs to run a build's programs in PREFIX: the prefix's architecture, and the
# loader that also starts the programs they start.
use_wine() {
  local arch=$1 prefix=$2
  export WINEPREFIX="$prefix" WINEARCH="$arch" WINELOADER
  WINELOADER=$(wine_loader "$arch")
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  WINE=$WINELOADER
}

# Runs a command with its output kept aside; when it fails, shows the output's end and says what
# failed (the first argument), and fails too.
quietly() {
  local what=$1 log status
  shift
  log=$(mktemp)
  "$@" >"$log" 2>&1
  status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 30 "$log" >&2
    echo "$(basename "$0"): $what failed (exit $status)" >&2
  fi
  rm -f "$log"
  return "$status"
}

# Reports the command that failed and the script's exit. For scripts that "set -e".
report_failures() {
  trap 'status=$?; echo "$(basename "$0"): failed (exit $status) at line $LINENO: $BASH_COMMAND" >&2' ERR
}

# --- building, shared by build.sh and wintests.sh ---

# The CMake toolchain file of a Windows build.
toolchain_of() {
  case "$1" in
    win32) echo cmake/mingw-i686.cmake ;;
    win64) echo cmake/mingw-x86_64.cmake ;;
  esac
}

configure() {  # build folder, then cmake's options; cmake's own output only when it fails
  local dir=$1
  shift
  quietly "configuring $dir" cmake -S . -B "$dir" "$@"
}

# Builds a folder's targets (none: all of them) on every core; VORNKIT_NICE (for example
# "nice -n 19") runs the compilers at a lower priority.
compile() {
  local dir=$1 nice targets=()
  shift
  read -r -a nice <<<"${VORNKIT_NICE:-}"
  [ $# -gt 0 ] && targets=(--target "$@")
  quietly "building $dir" "${nice[@]}" cmake --build "$dir" -j"$(nproc 2>/dev/null || echo 2)" \
    "${targets[@]}"
}
