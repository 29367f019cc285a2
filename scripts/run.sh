#!/usr/bin/env bash
# Builds vornkit.exe and runs it under Wine in a virtual desktop with a taskbar and tray.
# Where this host runs 32-bit programs, the 32-bit build runs under 32-bit Wine; elsewhere (or
# with VORNKIT_WINE64=1) the 64-bit build under 64-bit Wine.
# With a display ($DISPLAY) the desktop opens there; without one a private display is started,
# a screenshot of the desktop with its tray is saved once the icons are up, and the program keeps
# running until interrupted. Settings persist in the Wine prefix between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/lib.sh
report_failures

bash scripts/setup.sh
bash scripts/build.sh

choose_wine_arches
arch=${VORNKIT_ARCHES%% *}
if [ "$arch" = win32 ]; then
  echo "Running $(arch_words win32): this host runs 32-bit programs."
else
  echo "Running $(arch_words win64): $VORNKIT_NO32_REASON."
fi
use_wine "$arch" "${VORNKIT_WINEPREFIX:-$HOME/.local/share/vornkit/wine-$arch}"
size=800x600

xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display itself and writes its number to the pipe: a lock file that a
  # crashed X server left behind never counts as a display in use.
  display_file=$(mktemp "${TMPDIR:-/tmp}/vornkit-display.XXXXXX")
  Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp 9>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  display=":$(head -n1 "$display_file")"
  rm -f "$display_file"
  [ "$display" != ":" ] || { echo "run.sh: Xvfb did not report a display number" >&2; exit 1; }
  export DISPLAY=$display
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "run.sh: the X server on $display did not start" >&2; exit 1; }
  headless=1
else
  headless=0
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  quietly "making the Wine prefix $WINEPREFIX" "$WINE" wineboot -i
  quietly "setting up the virtual desktop" \
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  quietly "setting up the virtual desktop" \
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f
  wineserver -w
fi
# Wine's own fonts (MS Sans Serif, Tahoma, Marlett) where Wine looks for them first.
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
mkdir -p "$WINEPREFIX/drive_c/vornkit"
cp "build/$arch/vornkit.exe" "$WINEPREFIX/drive_c/vornkit/vornkit.exe"

wine_log="$root/build/run-wine.log"
"$WINE" explorer "/desktop=Default,$size" 'C:\vornkit\vornkit.exe' >"$wine_log" 2>&1 &
wine_pid=$!

if [ "$headless" = 1 ]; then
  shot="$root/build/vornkit-desktop.png"
  # Wait until the tray at the right end of the taskbar shows the six icons and stops changing.
  icons=$(python3 - "$DISPLAY" <<'PY'
import subprocess, sys, time
def slots():
    try:
        ppm = subprocess.run(["import", "-display", sys.argv[1], "-window", "root", "-crop",
                              "120x16+678+582", "-depth", "8", "ppm:-"],
                             capture_output=True, timeout=10).stdout
    except Exception:
        return 0
    parts = ppm.split(b"\n", 3)
    if len(parts) < 4:
        return 0
    w, h = map(int, parts[1].split())
    data = parts[3]
    used = 0
    for slot in range(6):  # 16-pixel icons on a 20-pixel pitch from the right
        x0 = w - 20 * slot - 18
        colours = {data[3 * (y * w + x):3 * (y * w + x) + 3] for y in range(h) for x in range(x0, x0 + 16)}
        used += len(colours) > 2
    return used
last, stable, deadline = -1, 0, time.time() + 60
while time.time() < deadline:
    n = slots()
    stable = stable + 1 if n == last and n > 0 else 0
    last = n
    if stable >= 10:
        break
    time.sleep(0.1)
print(last)
PY
)
  import -display "$DISPLAY" -window root "$shot"
  if [ "$icons" -lt 6 ] && ! kill -0 "$wine_pid" 2>/dev/null; then
    tail -n 20 "$wine_log" >&2
    echo "run.sh: Vornkit ended before its icons were up (screenshot: $shot)" >&2
    exit 1
  fi
  [ "$icons" -lt 6 ] && echo "run.sh: only $icons of the icons showed within 60 s" >&2
  echo "Vornkit is running on private display $DISPLAY; screenshot: $shot"
  echo "Press Ctrl+C to stop."
else
  echo "Vornkit is running in a Wine virtual desktop on $DISPLAY. Press Ctrl+C to stop."
fi
wait "$wine_pid" || true
# explorer keeps the desktop open while the program runs; wait for the program itself.
while pgrep -f 'vornkit\\vornkit.exe|vornkit/vornkit.exe' >/dev/null 2>&1; do sleep 1; done
