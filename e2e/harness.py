"""Drives the real vornkit.exe under Wine on a private X server, the way a user does.

One Suite per run takes the helper programs built beside vornkit.exe, makes a template Wine prefix (virtual desktop
"Default" 800 x 600, Wine's own fonts in C:\\windows\\Fonts, vornkit.exe in C:\\vornkit\\,
stand-ins for the programs the icons start) and takes a picture of the taskbar with an empty
tray. Every test then gets a Desktop: a fresh copy of the template and its own Xvfb, torn down
afterwards whatever happened.

Everything waits for a condition with a deadline, polling every 100 ms; nothing sleeps blindly.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import zlib
import struct
from dataclasses import dataclass
from pathlib import Path

E2E_DIR = Path(__file__).resolve().parent
ROOT = E2E_DIR.parent
BUILD_DIR = ROOT / "build" / "e2e"
DEFAULT_EXE = ROOT / "build" / "win32" / "vornkit.exe"
# The Wine for each Windows build: 32-bit Wine runs the 32-bit program, Debian's wine64 the 64-bit
# one, each in a prefix of its own architecture. The program under test decides (use_exe).
WINE_LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
PE_MACHINES = {0x14C: "win32", 0x8664: "win64"}
ARCH = "win32"
WINE = WINE_LOADERS[ARCH]
ARTIFACTS_DIR = BUILD_DIR / "artifacts" / ARCH

POLL = 0.1  # seconds between two looks at the system under test
START_TIMEOUT = 20.0  # a cold Wine may take this long to bring up a desktop and a program
ACTION_TIMEOUT = 10.0  # a click's visible effect

# Wine's virtual desktop at 800 x 600: the taskbar is the bottom 20 rows; tray icons are 16 px
# wide on a 20 px pitch from the right, the first icon added rightmost.
SCREEN_W, SCREEN_H = 800, 600
TASKBAR_TOP = 580
FIRST_SLOT_LEFT = 782
SLOT_PITCH = 20
ICON_SIZE = 16
ICON_TOP = 582
ICON_CENTRE_Y = 590
MAX_SLOTS = 14  # slots checked; further left lie the buttons of open windows
START_BUTTON = (0, TASKBAR_TOP, 56, SCREEN_H)  # left, top, right, bottom

# Wine's popup menu metrics at 96 dpi: a 3 px border, 9 px per separator; the text item height
# depends on the menu font and is worked out from the menu's height.
MENU_BORDER = 3
MENU_SEPARATOR = 9
MESSAGE_BOX_TEXT_ID = 0xFFFF  # control id of a message box's text

PROGRAM_DIR = "C:\\vornkit"
WINDOWS_DIR = "C:\\windows"
EXE_WIN_PATH = PROGRAM_DIR + "\\vornkit.exe"
SETTINGS_FILE = "drive_c/windows/vornkit.ini"
STANDIN_LOG = "drive_c/standin.log"
XVFB_PID_FILE = "xvfb.pid"  # in the folder of the prefix the X server serves
# Where the stand-ins lie: bare names are found in the starting program's own folder first.
STANDINS = {
    "command.com": "drive_c/vornkit",
    "explorer.exe": "drive_c/vornkit",
    "control.exe": "drive_c/vornkit",
    "notepad.exe": "drive_c/vornkit",
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
# Pictures


class Image:
    """An RGB picture of the screen (or part of it), 8 bits per sample."""

    def __init__(self, width, height, data, left=0, top=0):
        self.width, self.height, self.data = width, height, data
        self.left, self.top = left, top  # screen position of the picture's top-left pixel

    @classmethod
    def from_ppm(cls, blob, left=0, top=0):
        fields = []
        pos = 0
        while len(fields) < 4:  # magic, width, height, maximum value
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos)
                continue
            end = pos
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError(f"unexpected picture format {fields!r}")
        width, height = int(fields[1]), int(fields[2])
        data = blob[pos + 1:pos + 1 + width * height * 3]
        if len(data) != width * height * 3:
            raise ValueError("truncated picture")
        return cls(width, height, data, left, top)

    def __repr__(self):
        return f"<picture {self.width}x{self.height} at {self.left},{self.top}>"

    def pixel(self, x, y):
        i = ((y - self.top) * self.width + (x - self.left)) * 3
        return tuple(self.data[i:i + 3])

    def row(self, y, x0, x1):
        """The bytes of screen row y from x0 to x1 (exclusive)."""
        base = (y - self.top) * self.width
        return self.data[(base + x0 - self.left) * 3:(base + x1 - self.left) * 3]

    def region(self, left, top, right, bottom):
        return b"".join(self.row(y, left, right) for y in range(top, bottom))

    def crop(self, left, top, right, bottom):
        return Image(right - left, bottom - top, self.region(left, top, right, bottom), left, top)

    def save_png(self, path):
        raw = b"".join(b"\0" + self.data[y * self.width * 3:(y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                               + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def uniform(pixels):
    """True if the RGB bytes are all one colour."""
    return pixels == pixels[:3] * (len(pixels) // 3)


def slot_left(slot):
    return FIRST_SLOT_LEFT - SLOT_PITCH * slot


def slot_box(slot):
    """The screen rectangle of tray slot N (0 = first icon added, rightmost)."""
    left = slot_left(slot)
    return (left, ICON_TOP, left + ICON_SIZE, ICON_TOP + ICON_SIZE)


# ---------------------------------------------------------------------------------------------
# Settings file


def parse_profile(blob):
    """[(section, [(key, value), ...]), ...] in file order; any line-end style."""
    sections = []
    for line in re.split(rb"\r\n|\n|\r", blob):
        text = line.decode("latin-1").strip()
        if not text or text.startswith(";"):
            continue
        if text.startswith("[") and text.endswith("]"):
            sections.append((text[1:-1], []))
        elif sections:
            key, _, value = text.partition("=")
            sections[-1][1].append((key.strip(), value.strip()))
        else:
            raise ValueError(f"settings line outside any section: {text!r}")
    return sections


def profile_text(text):
    """Settings file bytes from readable text: CRLF line ends, trailing blanks kept."""
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("latin-1")


# ---------------------------------------------------------------------------------------------
# Programs started by the tray icons, as the stand-ins record them


@dataclass(frozen=True)
class Launch:
    program: str  # file name of the started stand-in, lower case
    command_line: str  # exactly as the started program received it
    show: int  # show-window code it was given, -1 when none

    def __str__(self):
        return f"{self.program} [{self.command_line}] show {self.show}"


def parse_launches(blob):
    launches = []
    for line in blob.decode("latin-1").split("\r\n"):
        if line:
            program, command_line, show = line.split("\t")
            launches.append(Launch(program, command_line, int(show)))
    return launches


# ---------------------------------------------------------------------------------------------
# Windows seen from inside the prefix


@dataclass(frozen=True)
class Window:
    hwnd: int
    cls: str
    caption: str  # for an edit control among a window's children: the text it holds
    rect: tuple  # left, top, right, bottom, screen pixels
    control_id: int = 0
    visible: bool = True
    style: int = 0
    ex_style: int = 0
    owner: int = 0
    check: int = -1  # a button's check state (0 cleared, 1 ticked); -1 when not asked

    @property
    def centre(self):
        left, top, right, bottom = self.rect
        return ((left + right) // 2, (top + bottom) // 2)

    @property
    def size(self):
        left, top, right, bottom = self.rect
        return (right - left, bottom - top)

    @property
    def topmost(self):
        return bool(self.ex_style & WS_EX_TOPMOST)

    @property
    def button_kind(self):
        """"check", "radio", "group", "push" or "" (not a button)."""
        if self.cls.lower() != "button":
            return ""
        return BUTTON_KINDS.get(self.style & 0xF, "other")


WS_EX_TOPMOST = 0x8
WS_CAPTION = 0xC00000
WS_THICKFRAME = 0x40000
WS_BORDER = 0x800000
WS_DLGFRAME = 0x400000
BUTTON_KINDS = {0: "push", 1: "push", 2: "check", 3: "check", 4: "radio", 5: "check", 6: "check",
                7: "group", 9: "radio"}


def parse_windows(text):
    windows = []
    for line in text.splitlines():
        fields = line.split("\t")
        hwnd, cls, caption, left, top, right, bottom, control_id = fields[:8]
        extra = {}
        if len(fields) >= 13:
            visible, style, ex_style, owner, check = fields[8:13]
            extra = dict(visible=visible == "1", style=int(style), ex_style=int(ex_style),
                         owner=int(owner), check=int(check))
        windows.append(Window(int(hwnd), cls, caption,
                              (int(left), int(top), int(right), int(bottom)), int(control_id),
                              **extra))
    return windows


# ---------------------------------------------------------------------------------------------
# Popup menus


@dataclass(frozen=True)
class MenuRow:
    label: str  # item caption, or "-" for a separator
    top: int
    bottom: int

    @property
    def centre_y(self):
        return (self.top + self.bottom) // 2


def menu_rows(rect, labels):
    """Screen rows of each entry of a popup menu whose entries are `labels` ("-" a separator).

    The text item height is whatever makes the entries fill the menu's height exactly; a menu
    that cannot hold these entries raises."""
    left, top, right, bottom = rect
    separators = sum(1 for label in labels if label == "-")
    items = len(labels) - separators
    room = bottom - top - 2 * MENU_BORDER - separators * MENU_SEPARATOR
    if items == 0 or room % items or not 12 <= room // items <= 30:
        raise AssertionError(f"a menu {bottom - top} px high cannot hold {items} items and "
                             f"{separators} separators")
    item_height = room // items
    rows, y = [], top + MENU_BORDER
    for label in labels:
        height = MENU_SEPARATOR if label == "-" else item_height
        rows.append(MenuRow(label, y, y + height))
        y += height
    return rows


def separator_lines(image, rect):
    """Screen rows inside a menu drawn as one plain horizontal line (a separator's etching).

    Only the left half of the menu is looked at: a tooltip may overlap its right end."""
    left, top, right, bottom = rect
    x0, x1 = left + MENU_BORDER + 3, left + (right - left) // 2
    background = image.pixel(x0, top + MENU_BORDER + 1)
    return [y for y in range(top + MENU_BORDER, bottom - MENU_BORDER)
            if uniform(image.row(y, x0, x1)) and image.pixel(x0, y) != background]


def drawn_separators(image, rect, rows):
    """Indices of the menu rows in which separator lines are drawn (-1: a line in no row)."""
    return sorted({next((i for i, r in enumerate(rows) if r.top <= y < r.bottom), -1)
                   for y in separator_lines(image, rect)})


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


def wine_env(prefix, display=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE") and k != "DISPLAY"}
    env.update(WINEPREFIX=str(prefix), WINEARCH=ARCH, WINELOADER=WINE, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
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


# ---------------------------------------------------------------------------------------------
# The suite and each test's desktop


class Suite:
    """What every test of one run shares: helpers, the template prefix, the empty tray."""

    def __init__(self, exe, keep=False):
        self.exe = Path(exe).resolve()
        if not self.exe.is_file():
            raise FileNotFoundError(f"no program to test at {self.exe}")
        self.keep = keep
        self.arch = use_exe(self.exe)
        BUILD_DIR.mkdir(parents=True, exist_ok=True)
        self.helpers = find_helpers(self.exe.parent)
        remove_abandoned_runs()
        self.dir = Path(tempfile.mkdtemp(prefix=f"run-{os.getpid()}-", dir=BUILD_DIR))
        self.template = self.dir / "template"
        self._desktops = []
        try:
            self._make_template()
            self.empty_tray = self._picture_empty_tray()
            # Nothing is ever drawn in the middle of the desktop but its background.
            self.desktop_colour = self.empty_tray.pixel(SCREEN_W // 2, SCREEN_H // 2)
        except BaseException:
            self.close()
            raise

    def _make_template(self):
        env = wine_env(self.template)
        try:
            run([WINE, "wineboot", "-i"], env=env, timeout=180)
            for key, value, data in ((r"HKCU\Software\Wine\Explorer", "Desktop", "Default"),
                                     (r"HKCU\Software\Wine\Explorer\Desktops", "Default",
                                      f"{SCREEN_W}x{SCREEN_H}")):
                run([WINE, "reg", "add", key, "/v", value, "/d", data, "/f"], env=env)
            run(["wineserver", "-w"], env=env, timeout=120)  # the registry is on disk now
        finally:
            kill_prefix(self.template)
        fonts = self.template / "drive_c" / "windows" / "Fonts"
        fonts.mkdir(exist_ok=True)
        source = next((Path(f) for f in WINE_FONT_FOLDERS if Path(f).is_dir()), None)
        for font in sorted(source.iterdir()) if source else ():
            if font.is_file():
                shutil.copyfile(font, fonts / font.name)
        (self.template / "drive_c" / "vornkit").mkdir()
        shutil.copyfile(self.exe, self.template / "drive_c" / "vornkit" / "vornkit.exe")
        for name, folder in STANDINS.items():
            shutil.copyfile(self.helpers["standin.exe"], self.template / folder / name)

    def _picture_empty_tray(self):
        """The screen with the taskbar showing but no icon drawn in its tray.

        Wine shows the taskbar only while the tray holds an icon, so a helper shows one fully
        transparent icon; every tray slot then shows the bare taskbar."""
        prefix = self.dir / "empty-tray"
        copy_prefix(self.template, prefix)
        xvfb = Xvfb(prefix / XVFB_PID_FILE)
        desktop = None
        try:
            env = wine_env(prefix, xvfb.display)
            with open(prefix / "wine-output.log", "wb") as log:
                desktop = subprocess.Popen(
                    [WINE, "explorer", f"/desktop=Default,{SCREEN_W}x{SCREEN_H}",
                     str(self.helpers["probe.exe"]), "blank-icon", "120000"],
                    env=env, cwd=prefix, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                    start_new_session=True)
            previous = [None]

            def drawn_and_still(image):
                start = image.region(*START_BUTTON)
                steady = previous[0] is not None and previous[0].data == image.data
                previous[0] = image
                return steady and not uniform(start)

            return wait_until("the taskbar with an empty tray",
                              lambda: grab_screen(xvfb.display), drawn_and_still,
                              START_TIMEOUT * 2)
        finally:
            kill_prefix(prefix)
            if desktop is not None:
                desktop.wait(10)
            xvfb.close()
            shutil.rmtree(prefix, ignore_errors=True)

    def desktop(self, name):
        safe = re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        desktop = Desktop(self, self.dir / f"{len(self._desktops) + 1:02d}-{safe}")
        self._desktops.append(desktop)
        return desktop

    def close(self):
        for desktop in self._desktops:
            desktop.close()  # a second close does nothing
        kill_prefix(self.template)
        if not self.keep:
            shutil.rmtree(self.dir, ignore_errors=True)


class Desktop:
    """One test's world: a fresh prefix copy, its own Xvfb, the programs started in it."""

    def __init__(self, suite, prefix):
        self.suite = suite
        self.prefix = prefix
        self.xvfb = None
        self._closed = False
        self._processes = []
        self._clicks = 0
        copy_prefix(suite.template, prefix)
        try:
            self.xvfb = Xvfb(prefix / XVFB_PID_FILE)
        except BaseException:
            self.close()
            raise
        self.display = self.xvfb.display
        self.env = wine_env(prefix, self.display)
        self._output = open(prefix / "wine-output.log", "ab")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self._closed:
            return
        self._closed = True
        kill_prefix(self.prefix)
        for process in self._processes:
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(5)
        if getattr(self, "_output", None):
            self._output.close()
        if self.xvfb:
            self.xvfb.close()
        if not self.suite.keep:
            shutil.rmtree(self.prefix, ignore_errors=True)

    # --- files of the prefix ---

    def file(self, relative):
        return self.prefix / relative

    def write_settings(self, text):
        """Writes vornkit.ini (CRLF line ends, blanks kept as given). The file's time always
        moves on, so that a running program's cached copy of it counts as stale."""
        path = self.file(SETTINGS_FILE)
        old = path.stat().st_mtime_ns if path.exists() else None
        path.write_bytes(profile_text(text))
        if old is not None and path.stat().st_mtime_ns <= old:
            os.utime(path, ns=(old + 1_000_000, old + 1_000_000))

    def settings_bytes(self):
        path = self.file(SETTINGS_FILE)
        return path.read_bytes() if path.exists() else None

    def settings(self):
        blob = self.settings_bytes()
        return None if blob is None else parse_profile(blob)

    def wait_settings(self, what, done, timeout=ACTION_TIMEOUT):
        """Waits until done(parsed settings file) holds; returns the parsed file."""
        return wait_until(what, self.settings, lambda s: s is not None and done(s), timeout)

    def registry_value(self, key, name):
        """(type, data) of a registry value as `reg query` shows it; None when there is none."""
        result = run([WINE, "reg", "query", key, "/v", name], env=self.env, cwd=self.prefix,
                     timeout=30, check=False)
        for line in result.stdout.decode("latin-1").replace("\r\n", "\n").split("\n"):
            fields = line.lstrip(" ").split("    ")
            if result.returncode == 0 and len(fields) >= 2 and fields[0].lower() == name.lower():
                return fields[1], "    ".join(fields[2:])
        return None

    def registry_data(self, key, name):
        """(type number, the stored bytes) of a registry value, read by the probe; None when
        there is none. Strings are stored in UTF-16, a proper one ending in a NUL character."""
        line = self.probe("regvalue", key, name).strip("\n")
        if not line:
            return None
        kind, size, data = line.split("\t")
        blob = bytes.fromhex(data)
        if len(blob) != int(size):
            raise ValueError(f"registry value {name} read back as {line!r}")
        return int(kind), blob

    def remove_standin(self, name):
        self.file(Path(STANDINS[name]) / name).unlink()

    def restore_standin(self, name):
        shutil.copyfile(self.suite.helpers["standin.exe"], self.file(Path(STANDINS[name]) / name))

    def launches(self):
        path = self.file(STANDIN_LOG)
        return parse_launches(path.read_bytes()) if path.exists() else []

    # --- programs ---

    def install_program(self, win_path):
        """Puts a copy of the program under test at another Windows path ("C:\\a b\\x.exe")."""
        drive, _, rest = win_path.partition(":\\")
        if drive.lower() != "c":
            raise ValueError(f"not a path on drive C: {win_path}")
        target = self.file(Path("drive_c", *rest.split("\\")))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(self.suite.exe, target)

    def start(self, win_path=EXE_WIN_PATH):
        """Starts one more copy of vornkit.exe on the virtual desktop (opening it if needed)."""
        self._processes.append(subprocess.Popen(
            [WINE, "explorer", f"/desktop=Default,{SCREEN_W}x{SCREEN_H}", win_path],
            env=self.env, cwd=self.prefix, stdin=subprocess.DEVNULL, stdout=self._output,
            stderr=self._output, start_new_session=True))

    def vornkit_pids(self):
        """Wine shows a process's command line as it was given: the program's path, which may
        be quoted or hold blanks, then the arguments (the starter `explorer /desktop=... PATH`
        names the program only among its arguments)."""
        def image(cmdline):
            text = cmdline.lower()
            if text.startswith('"'):
                return text[1:].partition('"')[0]
            found = re.match(r"[a-z]:\\.*?\.exe(?= |$)", text)
            return found.group(0) if found else text.partition(" ")[0]

        return sorted(pid for pid, cmdline in prefix_processes(self.prefix)
                      if image(cmdline).endswith("\\vornkit.exe"))

    def running_standins(self):
        """Command lines of the stand-ins still running. Wine shows a process's command line
        as it was given: a bare name, or the full path into one of the stand-ins' folders
        (Wine's own explorer.exe runs from system32)."""
        folders = {"", PROGRAM_DIR.lower(), WINDOWS_DIR.lower()}
        running = []
        for _, cmdline in prefix_processes(self.prefix):
            image = cmdline.lower().split(" ")[0]
            folder, _, name = image.rpartition("\\")
            if name in STANDINS and folder in folders:
                running.append(cmdline)
        return running

    def probe(self, *args, timeout=30):
        result = run([WINE, str(self.suite.helpers["probe.exe"]), *map(str, args)],
                     env=self.env, timeout=timeout, cwd=self.prefix)
        return result.stdout.decode("latin-1").replace("\r\n", "\n")

    def wait_started(self, copies=1, timeout=START_TIMEOUT):
        """Waits until `copies` copies run and each waits in its message loop (start-up done)."""
        wait_until(f"{copies} running vornkit.exe", self.vornkit_pids,
                   lambda pids: len(pids) >= copies, timeout)
        deadline = time.monotonic() + timeout

        def idle_states():
            running = len(self.vornkit_pids())
            if running < copies:
                raise AssertionError(f"vornkit.exe ended during start-up ({running} of {copies} "
                                     f"copies left)")
            remaining = max(1, int((deadline - time.monotonic()) * 1000))
            return [line.split("\t")[1]
                    for line in self.probe("idle", "vornkit.exe", min(remaining, 2000)).split("\n")
                    if line]

        wait_until("vornkit.exe to finish starting (idle in its message loop)", idle_states,
                   lambda states: len(states) == copies and set(states) == {"0"}, timeout)

    def wait_gone(self, count=0, timeout=ACTION_TIMEOUT):
        """Waits until only `count` copies of vornkit.exe are left running."""
        return wait_until(f"{count} copies of vornkit.exe left running", self.vornkit_pids,
                          lambda pids: len(pids) == count, timeout)

    def wait_standins_done(self, timeout=ACTION_TIMEOUT):
        wait_until("the started stand-ins to end", self.running_standins, lambda r: not r,
                   timeout)

    def wait_launches(self, count, timeout=ACTION_TIMEOUT):
        """Waits for `count` lines in the stand-in log, then for every stand-in to end, and
        returns the log. No line can be added after that but by a new start."""
        wait_until(f"{count} stand-in starts", self.launches, lambda got: len(got) >= count,
                   timeout)
        self.wait_standins_done(timeout)
        return self.launches()

    # --- the screen ---

    def screenshot(self, crop=None):
        return grab_screen(self.display, crop)

    def tray_slots(self, image=None):
        """Which tray slots show an icon, from the rightmost; None while the screen shows
        neither the taskbar nor the bare desktop where the taskbar goes (Wine hides the
        taskbar while the tray is empty)."""
        image = image or self.screenshot((0, TASKBAR_TOP, SCREEN_W, SCREEN_H))
        empty = self.suite.empty_tray
        if image.region(*START_BUTTON) == empty.region(*START_BUTTON):
            return [image.region(*slot_box(i)) != empty.region(*slot_box(i))
                    for i in range(MAX_SLOTS)]
        taskbar = image.region(0, TASKBAR_TOP, SCREEN_W, SCREEN_H)
        if uniform(taskbar) and tuple(taskbar[:3]) == self.suite.desktop_colour:
            return [False] * MAX_SLOTS
        return None

    def icon_count(self):
        """Number of tray icons, -1 if they do not stand side by side from the right, None
        while the taskbar is not drawn."""
        slots = self.tray_slots()
        if slots is None:
            return None
        count = slots.index(False) if False in slots else len(slots)
        return count if not any(slots[count:]) else -1

    def wait_icons(self, count, timeout=START_TIMEOUT, settle=3):
        """Waits until exactly `count` tray icons show in `settle` screenshots in a row."""
        history = []

        def observe():
            history.append(self.icon_count())
            return history[-settle:]

        return wait_until(f"{count} tray icons", observe,
                          lambda seen: len(seen) == settle and set(seen) == {count}, timeout)

    def save_screenshot(self, path, crop=None):
        self.screenshot(crop).save_png(path)

    # --- windows ---

    def windows(self):
        return parse_windows(self.probe("windows"))

    def all_windows(self):
        """Every top-level window, hidden ones too."""
        return parse_windows(self.probe("all-windows"))

    def window(self, hwnd):
        """A window's present state, visible or not; None once it is gone."""
        found = parse_windows(self.probe("window", hwnd))
        return found[0] if found else None

    def children(self, window):
        """The window's child windows: captions, edit texts, check states, screen rectangles."""
        return parse_windows(self.probe("children", window.hwnd))

    def taskbar_windows(self):
        """Handles of the windows that have a button showing in the taskbar."""
        return {int(line) for line in self.probe("taskbar").split()}

    def text(self, window):
        """What the window answers to WM_GETTEXT (for a tooltip: the tip showing)."""
        return self.probe("text", window.hwnd).rstrip("\n")

    def wait_tooltip(self, timeout=ACTION_TIMEOUT):
        """Waits for a tooltip to show; returns its text."""
        def shown_tip():
            tips = [w for w in self.windows() if w.cls == "tooltips_class32"]
            return self.text(tips[0]) if tips else ""

        return wait_until("a tooltip", shown_tip, bool, timeout)

    def point_at_slot(self, slot):
        self.xdotool("mousemove", slot_left(slot) + ICON_SIZE // 2, ICON_CENTRE_Y)

    def wait_window(self, caption=None, cls=None, timeout=ACTION_TIMEOUT):
        def matches(window):
            return ((caption is None or window.caption == caption)
                    and (cls is None or window.cls == cls))

        found = wait_until(f"a window {cls or ''} {caption or ''}".rstrip(), self.windows,
                           lambda ws: any(map(matches, ws)), timeout)
        return next(w for w in found if matches(w))

    def wait_no_window(self, caption=None, cls=None, timeout=ACTION_TIMEOUT):
        def present(windows):
            return [w for w in windows if (caption is None or w.caption == caption)
                    and (cls is None or w.cls == cls)]

        wait_until(f"no window {cls or ''} {caption or ''}".rstrip(), self.windows,
                   lambda ws: not present(ws), timeout)

    # --- mouse and keyboard ---

    def xdotool(self, *args):
        run(["xdotool", *map(str, args)], env=self.env, timeout=10)

    def click_slot(self, slot, button=1, double=False):
        """Clicks the icon of tray slot N. Successive clicks alternate between two points
        6 px apart, so that two clicks on one icon never make a double click."""
        self._clicks += 1
        x = slot_left(slot) + ICON_SIZE // 2 + (3 if self._clicks % 2 else -3)
        if double:
            self.xdotool("mousemove", x, ICON_CENTRE_Y, "click", "--repeat", 2, "--delay", 80,
                         button)
        else:
            self.xdotool("mousemove", x, ICON_CENTRE_Y, "click", button)

    def click_at(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def move_mouse_away(self):
        """Parks the pointer on an empty spot of the desktop (no tooltip, no menu highlight)."""
        self.xdotool("mousemove", SCREEN_W // 2, SCREEN_H // 3)

    def type_text(self, text):
        """Types text as keystrokes. Keys reach the window under the pointer: point at it
        first, and put the focus in the control that is to take them."""
        self.xdotool("type", "--delay", 60, "--", text)

    def key(self, name):
        """Presses a key. Keys reach the window under the pointer: point at it first."""
        self.xdotool("key", name)

    def point_at(self, window):
        """Puts the pointer on a window's title bar, where a click does nothing."""
        left, top, right, _ = window.rect
        self.xdotool("mousemove", (left + right) // 2, top + 8)

    def point_at_menu(self, menu):
        """Puts the pointer on an open menu's top border, where it highlights no entry."""
        left, top, right, _ = menu.rect
        self.xdotool("mousemove", (left + right) // 2, top + 1)

    # --- popup menus and message boxes ---

    def open_menu(self, slot):
        """Right-clicks the icon and returns the popup menu window once it shows."""
        self.click_slot(slot, button=3)
        menu = self.wait_window(cls="#32768")
        self.move_mouse_away()
        return menu

    def choose_menu_item(self, menu, labels, label):
        """Clicks the entry `label` of an open popup menu holding `labels`."""
        row = next(r for r in menu_rows(menu.rect, labels) if r.label == label)
        left, _, right, _ = menu.rect
        self.click_at((left + right) // 2, row.centre_y)

    def message_box(self, caption, timeout=ACTION_TIMEOUT):
        """Waits for a message box; returns (box, its text, its buttons by caption)."""
        box = self.wait_window(caption=caption, cls="#32770", timeout=timeout)
        parts = wait_until("the message box's controls", lambda: self.children(box),
                           lambda cs: any(c.cls.lower() == "button" for c in cs), timeout)
        text = "".join(c.caption for c in parts if c.control_id == MESSAGE_BOX_TEXT_ID)
        buttons = {c.caption: c for c in parts if c.cls.lower() == "button"}
        return box, text, buttons
