"""Wine, its prefixes and their processes, and the private X servers they draw on.

The program under test decides which Wine runs everything (use_exe): ARCH, WINE and
ARTIFACTS_DIR are set there and read from this module at the time of use, never copied.
"""

import os
import select
import shutil
import signal
import subprocess
import time
from pathlib import Path

from screen import SCREEN_H, SCREEN_W, Image

E2E_DIR = Path(__file__).resolve().parent
ROOT = E2E_DIR.parent
BUILD_DIR = ROOT / "build" / "e2e"
DEFAULT_EXE = ROOT / "build" / "win32" / "vornkit.exe"
# The Wine for each Windows build: 32-bit Wine runs the 32-bit program, Debian's wine64 the 64-bit
# one, each in a prefix of its own architecture. The program under test decides (use_exe).
WINE_LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
PE_MACHINES = {0x14C: "win32", 0x8664: "win64"}
# Rebound by use_exe(): read them as wine.WINE (or harness.WINE), never from a copy made earlier.
ARCH = "win32"
WINE = WINE_LOADERS[ARCH]
ARTIFACTS_DIR = BUILD_DIR / "artifacts" / ARCH

POLL = 0.1  # seconds between two looks at the system under test
START_TIMEOUT = 40.0  # a cold Wine on a loaded 2-core host may take this long to bring up a program
ACTION_TIMEOUT = 10.0  # a click's visible effect

PROGRAM_DIR = "C:\\vornkit"
WINDOWS_DIR = "C:\\windows"
EXE_WIN_PATH = PROGRAM_DIR + "\\vornkit.exe"
SETTINGS_FILE = "drive_c/windows/vornkit.ini"
STANDIN_LOG = "drive_c/standin.log"
XVFB_PID_FILE = "xvfb.pid"  # in the folder of the prefix the X server serves
SYSTEM_DIR = WINDOWS_DIR + "\\system32"
# Where the stand-ins lie: where Windows keeps its own programs, in place of Wine's. The one for
# explorer.exe hands a start of Wine's desktop on to Wine's copy in the Windows folder.
STANDINS = {
    "command.com": "drive_c/windows/system32",
    "explorer.exe": "drive_c/windows/system32",
    "control.exe": "drive_c/windows/system32",
    "notepad.exe": "drive_c/windows/system32",
    "calc.exe": "drive_c/windows",
    "cdplayer.exe": "drive_c/windows",
}

# Wine's own fonts, which some builds of Wine do not find where they are installed: without them
# dialogs are drawn in whatever the system offers. The first folder that exists is used.
WINE_FONT_FOLDERS = ("/usr/share/wine/fonts", "/usr/lib/wine/fonts",
                     "/opt/wine-stable/share/wine/fonts")
RUN_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"

HELPERS = ("standin.exe", "probe.exe")  # built beside vornkit.exe


class WaitTimeout(AssertionError):
    """A condition did not come true before its deadline."""


def wait_until(what, observe, done, timeout):
    """Polls observe() until done(value) holds; returns that value or raises WaitTimeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = observe()
        if done(value):
            return value
        if time.monotonic() >= deadline:
            raise WaitTimeout(f"timed out after {timeout:g} s waiting for {what}; "
                              f"last seen: {value!r}")
        time.sleep(POLL)


def run(cmd, env=None, timeout=60, check=True, **kwargs):
    result = subprocess.run(cmd, env=env, timeout=timeout, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)
    if check and result.returncode != 0:
        raise RuntimeError(f"{cmd[0]} failed ({result.returncode}): "
                           f"{result.stderr.decode(errors='replace').strip()[-500:]}")
    return result


# ---------------------------------------------------------------------------------------------
# Processes, Xvfb, prefixes


def exe_arch(exe):
    """"win32" or "win64": the architecture of a Windows program, read from its PE header."""
    with open(exe, "rb") as f:
        head = f.read(4096)
    pe = int.from_bytes(head[0x3C:0x40], "little")
    if head[:2] != b"MZ" or head[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{exe} is not a Windows program")
    machine = int.from_bytes(head[pe + 4:pe + 6], "little")
    if machine not in PE_MACHINES:
        raise ValueError(f"{exe} is built for machine {machine:#x}, which no Wine here runs")
    return PE_MACHINES[machine]


def use_exe(exe):
    """Sets the Wine (32-bit or 64-bit) and the evidence folder for the program under test."""
    global ARCH, WINE, ARTIFACTS_DIR
    ARCH = exe_arch(exe)
    WINE = WINE_LOADERS[ARCH]
    ARTIFACTS_DIR = BUILD_DIR / "artifacts" / ARCH
    if not os.access(WINE, os.X_OK):
        raise FileNotFoundError(f"no {ARCH} Wine at {WINE} (scripts/setup.sh installs it)")
    return ARCH


# No Mono or Gecko installer is offered. Wine prefers its own builtin programs to a file in the
# system folder: there the stand-ins are taken as they are (the one for explorer.exe hands a start
# of the desktop on to Wine's placeholder in the Windows folder, which Wine still runs as its own).
DLL_OVERRIDES = "mscoree,mshtml=;control.exe,notepad.exe,explorer.exe=n,b"


def wine_env(prefix, display=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE") and k != "DISPLAY"}
    env.update(WINEPREFIX=str(prefix), WINEARCH=ARCH, WINELOADER=WINE, WINEDEBUG="-all",
               WINEDLLOVERRIDES=DLL_OVERRIDES)
    if display is not None:
        env["DISPLAY"] = f":{display}"
    return env


def prefix_processes(prefix):
    """(unix pid, Windows command line) of every live process of the Wine prefix."""
    marker = b"WINEPREFIX=" + os.fsencode(str(prefix))
    found = []
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/environ", "rb") as f:
                if marker not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{name}/cmdline", "rb") as f:
                cmdline = f.read().replace(b"\0", b" ").decode("latin-1").strip()
            with open(f"/proc/{name}/stat", "rb") as f:
                if f.read().rsplit(b")", 1)[1].split()[0] == b"Z":
                    continue  # a zombie has ended already
        except OSError:
            continue  # ended meanwhile, or not ours to read
        found.append((int(name), cmdline))
    return found


def kill_prefix(prefix, timeout=10.0):
    """Ends every process of the prefix: wineserver -k, then SIGKILL for anything left."""
    try:
        run(["wineserver", "-k"], env=wine_env(prefix), timeout=timeout, check=False)
    except subprocess.TimeoutExpired:
        pass
    deadline = time.monotonic() + timeout
    while True:
        left = prefix_processes(prefix)
        if not left:
            return
        if time.monotonic() >= deadline:
            for pid, _ in left:
                try:
                    os.kill(pid, signal.SIGKILL)
                except OSError:
                    pass
            return
        time.sleep(POLL)


class Xvfb:
    """A private X server on a free display number, 800 x 600 x 24. Its process id goes to
    `pid_file` so that a later run can end it if this one is killed."""

    def __init__(self, pid_file, timeout=15.0):
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{SCREEN_W}x{SCREEN_H}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL, start_new_session=True)
        finally:
            os.close(write_end)
        Path(pid_file).write_text(str(self.process.pid))
        try:
            digits = b""
            deadline = time.monotonic() + timeout
            while not digits.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or not select.select([read_end], [], [], remaining)[0]:
                    raise WaitTimeout("Xvfb did not report its display number")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError("Xvfb ended before reporting its display number")
                digits += chunk
            self.display = int(digits)
            wait_until(f"X display :{self.display} to accept connections",
                       lambda: run(["xdpyinfo", "-display", f":{self.display}"], check=False,
                                   timeout=5).returncode == 0,
                       bool, timeout)
        except BaseException:
            self.close()
            raise
        finally:
            os.close(read_end)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)


def grab_screen(display, crop=None):
    """A screenshot of the whole screen, or of crop = (left, top, right, bottom)."""
    cmd = ["import", "-display", f":{display}", "-window", "root"]
    left = top = 0
    if crop:
        left, top, right, bottom = crop
        cmd += ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
    blob = run(cmd + ["-depth", "8", "ppm:-"], timeout=20).stdout
    return Image.from_ppm(blob, left, top)


def copy_prefix(source, target):
    """cp -a of a prefix, hard-linking the big system32 folder, which Wine only reads."""
    linked = Path("drive_c") / "windows" / "system32"

    def copy_level(src, dst, rel):
        dst.mkdir()
        shutil.copystat(src, dst)
        plain = []
        for entry in sorted(os.listdir(src)):
            if rel / entry == linked:
                subprocess.run(["cp", "-al", str(src / entry), str(dst / entry)], check=True)
            elif linked.is_relative_to(rel / entry):
                copy_level(src / entry, dst / entry, rel / entry)
            else:
                plain.append(str(src / entry))
        if plain:
            subprocess.run(["cp", "-a", *plain, str(dst)], check=True)

    copy_level(Path(source), Path(target), Path("."))


def put_standin(standin, target):
    """Puts a stand-in at `target` as a new file: the one there may be Wine's, or a hard link
    that another prefix shares (copy_prefix), and neither may change."""
    Path(target).unlink(missing_ok=True)
    shutil.copyfile(standin, target)


def find_helpers(build_dir):
    """The helper programs of the same build as the program under test (scripts/build.sh)."""
    found = {name: build_dir / name for name in HELPERS}
    missing = [str(path) for path in found.values() if not path.is_file()]
    if missing:
        raise FileNotFoundError(f"missing {', '.join(missing)}: run scripts/build.sh")
    return found


def remove_abandoned_runs():
    """Deletes the prefixes of runs whose runner is gone (killed before it could clean up)."""
    for folder in BUILD_DIR.glob("run-*-*"):
        pid = folder.name.split("-")[1]
        try:
            os.kill(int(pid), 0)
            continue  # that run is still going
        except ProcessLookupError:
            pass
        except (ValueError, PermissionError):
            continue
        for prefix in [folder, *folder.iterdir()]:
            if (prefix / "system.reg").exists():
                kill_prefix(prefix)
            end_abandoned_xvfb(prefix / XVFB_PID_FILE)
        shutil.rmtree(folder, ignore_errors=True)


def end_abandoned_xvfb(pid_file):
    try:
        pid = int(pid_file.read_text())
        if Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].endswith(b"Xvfb"):
            os.kill(pid, signal.SIGTERM)
    except (OSError, ValueError):
        pass  # no such file or process: nothing to end
