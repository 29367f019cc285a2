"""Drives the real vornkit.exe under Wine on a private X server, the way a user does.

One Suite per run takes the helper programs built beside vornkit.exe, makes a template Wine
prefix (virtual desktop "Default" 800 x 600, Wine's own fonts in C:\\windows\\Fonts, vornkit.exe
in C:\\vornkit\\, stand-ins for the programs the icons start) and takes a picture of the taskbar
with an empty tray. Every test then gets a Desktop: a fresh copy of the template and its own
Xvfb, torn down afterwards whatever happened.

Everything waits for a condition with a deadline, polling every 100 ms; nothing sleeps blindly.

The tests and bench/run.py take every name from here; the parts live in screen.py
(pictures and where things are drawn), records.py (the settings file, the stand-ins' log, the
windows), wine.py (Wine, prefixes, processes, Xvfb) and desktop.py (the Desktop).
"""

import os
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

import wine
from desktop import Desktop
from records import (BUTTON_KINDS, MESSAGE_BOX_TEXT_ID, WS_BORDER, WS_CAPTION, WS_DLGFRAME,
                     WS_EX_TOPMOST, WS_THICKFRAME, Launch, Window, parse_launches, parse_profile,
                     parse_windows, profile_text)
from screen import (FIRST_SLOT_LEFT, ICON_CENTRE_Y, ICON_SIZE, ICON_TOP, MAX_SLOTS, MENU_BORDER,
                    MENU_SEPARATOR, SCREEN_H, SCREEN_W, SLOT_PITCH, START_BUTTON, TASKBAR_TOP,
                    Image, MenuRow, drawn_separators, menu_rows, separator_lines, slot_box,
                    slot_left, uniform)
from wine import (ACTION_TIMEOUT, BUILD_DIR, DEFAULT_EXE, E2E_DIR, EXE_WIN_PATH, HELPERS,
                  PE_MACHINES, POLL, PROGRAM_DIR, ROOT, RUN_KEY, SETTINGS_FILE, STANDIN_LOG,
                  STANDINS, START_TIMEOUT, WINDOWS_DIR, WINE_FONT_FOLDERS, WINE_LOADERS,
                  XVFB_PID_FILE, WaitTimeout, Xvfb, copy_prefix, end_abandoned_xvfb, exe_arch,
                  SYSTEM_DIR, find_helpers, grab_screen, kill_prefix, prefix_processes, put_standin,
                  remove_abandoned_runs, run, use_exe, wait_until, wine_env)

__all__ = [
    "ACTION_TIMEOUT", "BUILD_DIR", "BUTTON_KINDS", "DEFAULT_EXE", "Desktop", "E2E_DIR",
    "EXE_WIN_PATH", "FIRST_SLOT_LEFT", "HELPERS", "ICON_CENTRE_Y", "ICON_SIZE", "ICON_TOP",
    "Image", "Launch", "MAX_SLOTS", "MENU_BORDER", "MENU_SEPARATOR", "MESSAGE_BOX_TEXT_ID",
    "MenuRow", "PE_MACHINES", "POLL", "PROGRAM_DIR", "ROOT", "RUN_KEY", "SCREEN_H", "SCREEN_W",
    "SETTINGS_FILE", "SLOT_PITCH", "STANDINS", "STANDIN_LOG", "START_BUTTON", "START_TIMEOUT",
    "SYSTEM_DIR", "Suite", "TASKBAR_TOP", "WINDOWS_DIR", "WINE_FONT_FOLDERS", "WINE_LOADERS", "WS_BORDER",
    "WS_CAPTION", "WS_DLGFRAME", "WS_EX_TOPMOST", "WS_THICKFRAME", "WaitTimeout", "Window",
    "XVFB_PID_FILE", "Xvfb", "copy_prefix", "drawn_separators", "end_abandoned_xvfb",
    "exe_arch", "find_helpers", "grab_screen", "kill_prefix", "menu_rows", "parse_launches",
    "parse_profile", "parse_windows", "prefix_processes", "profile_text", "put_standin",
    "remove_abandoned_runs", "run", "separator_lines", "slot_box", "slot_left", "uniform",
    "use_exe", "wait_until", "wine_env",
]
# Set by use_exe() for the program under test, so never copied here: harness.WINE and
# `from harness import ARTIFACTS_DIR` read the value wine.py holds at that moment.
_SET_BY_USE_EXE = ("ARCH", "WINE", "ARTIFACTS_DIR")


def __getattr__(name):
    if name in _SET_BY_USE_EXE:
        return getattr(wine, name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


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
            run([wine.WINE, "wineboot", "-i"], env=env, timeout=180)
            for key, value, data in ((r"HKCU\Software\Wine\Explorer", "Desktop", "Default"),
                                     (r"HKCU\Software\Wine\Explorer\Desktops", "Default",
                                      f"{SCREEN_W}x{SCREEN_H}")):
                run([wine.WINE, "reg", "add", key, "/v", value, "/d", data, "/f"], env=env)
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
            put_standin(self.helpers["standin.exe"], self.template / folder / name)

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
                    [wine.WINE, "explorer", f"/desktop=Default,{SCREEN_W}x{SCREEN_H}",
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
