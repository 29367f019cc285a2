#!/usr/bin/env bash
# Builds vornkit.exe and runs it under Wine in a virtual desktop with a taskbar and tray.
# With a display ($DISPLAY) the desktop opens there; without one a private display is started,
# a screenshot of the desktop with its tray is saved once the icons are up, and the program keeps
# running until interrupted. Settings persist in the Wine prefix between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
bash scripts/build.sh

export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${VORNKIT_WINEPREFIX:-$HOME/.local/share/vornkit/wine}"
size=800x600

xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  headless=1
else
  headless=0
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null 2>&1
  wineserver -w
fi
# Wine's own fonts (MS Sans Serif, Tahoma, Marlett) where Wine looks for them first.
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
mkdir -p "$WINEPREFIX/drive_c/vornkit"
cp build/win/vornkit.exe "$WINEPREFIX/drive_c/vornkit/vornkit.exe"

wine explorer "/desktop=Default,$size" 'C:\vornkit\vornkit.exe' >/dev/null 2>&1 &
wine_pid=$!

if [ "$headless" = 1 ]; then
  shot="$root/build/vornkit-desktop.png"
  # Wait until the tray at the right end of the taskbar shows the icons and stops changing.
  python3 - "$DISPLAY" <<'PY'
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
PY
  import -display "$DISPLAY" -window root "$shot"
  echo "Vornkit is running on private display $DISPLAY; screenshot: $shot"
  echo "Press Ctrl+C to stop."
else
  echo "Vornkit is running in a Wine virtual desktop on $DISPLAY. Press Ctrl+C to stop."
fi
wait "$wine_pid" || true
# explorer keeps the desktop open while the program runs; wait for the program itself.
while pgrep -f 'vornkit\\vornkit.exe|vornkit/vornkit.exe' >/dev/null 2>&1; do sleep 1; done
