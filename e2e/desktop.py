"""One test's world on its own X server: the prefix's files, the programs started in it, the
screen, the windows, the mouse and the keyboard.
"""

import os
import re
import select
import shutil
import subprocess
import time
from pathlib import Path

import wine
from records import MESSAGE_BOX_TEXT_ID, parse_launches, parse_profile, parse_windows, profile_text
from screen import (ICON_CENTRE_Y, ICON_SIZE, MAX_SLOTS, SCREEN_H, SCREEN_W, START_BUTTON,
                    TASKBAR_TOP, menu_rows, slot_box, slot_left, uniform)
from wine import (ACTION_TIMEOUT, EXE_WIN_PATH, PROGRAM_DIR, SETTINGS_FILE, STANDIN_LOG, STANDINS,
                  START_TIMEOUT, SYSTEM_DIR, WINDOWS_DIR, XVFB_PID_FILE, WaitTimeout, Xvfb,
                  copy_prefix, grab_screen, kill_prefix, prefix_processes, put_standin, run,
                  wait_until, wine_env)

WM_MOUSEMOVE = 0x200  # the icons' callback message
WM_RBUTTONDOWN = 0x204
WM_RBUTTONUP = 0x205


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
        result = run([wine.WINE, "reg", "query", key, "/v", name], env=self.env, cwd=self.prefix,
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

    def set_dpi(self, dpi):
        """Sets the session's DPI, which Wine reads as a program starts. Written into the
        prefix's registry file before anything of the prefix runs (`reg add` would start a
        desktop that outlives it)."""
        path = self.prefix / "user.reg"
        lines = path.read_text(encoding="latin-1").split("\n")
        value = f'"LogPixels"=dword:{dpi:08x}'
        header = next((i for i, line in enumerate(lines)
                       if line.startswith("[Control Panel\\\\Desktop]")), None)
        if header is None:
            lines += ["", "[Control Panel\\\\Desktop] 0", value]
        else:
            lines.insert(header + 1, value)
        path.write_text("\n".join(lines), encoding="latin-1")

    def remove_standin(self, name):
        self.file(Path(STANDINS[name]) / name).unlink()

    def restore_standin(self, name):
        self.plant(Path(STANDINS[name]) / name)

    def plant(self, relative):
        """Puts a copy of the stand-in at a path of the prefix."""
        put_standin(self.suite.helpers["standin.exe"], self.file(relative))

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
            [wine.WINE, "explorer", f"/desktop=Default,{SCREEN_W}x{SCREEN_H}", win_path],
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
        as it was given: a bare name, or the full path into one of the stand-ins' folders.
        The desktop ("explorer /desktop=...", handed on to Wine's own) runs all along."""
        folders = {"", PROGRAM_DIR.lower(), WINDOWS_DIR.lower(), SYSTEM_DIR.lower()}
        running = []
        for _, cmdline in prefix_processes(self.prefix):
            image = cmdline.lower().split(" ")[0]
            folder, _, name = image.rpartition("\\")
            if name in STANDINS and folder in folders and "/desktop" not in cmdline:
                running.append(cmdline)
        return running

    def probe(self, *args, timeout=30):
        result = run([wine.WINE, str(self.suite.helpers["probe.exe"]), *map(str, args)],
                     env=self.env, timeout=timeout, cwd=self.prefix)
        return result.stdout.decode("latin-1").replace("\r\n", "\n")

    def probe_in_background(self, *args, ready=None, timeout=START_TIMEOUT):
        """Starts the probe without waiting for it to end; with `ready`, waits until it has
        printed that line. Returns the process: its output is read with communicate()."""
        process = subprocess.Popen(
            [wine.WINE, str(self.suite.helpers["probe.exe"]), *map(str, args)], env=self.env,
            cwd=self.prefix, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=self._output, start_new_session=True)
        self._processes.append(process)
        if ready is not None:
            deadline = time.monotonic() + timeout
            line = b""
            while line.strip() != ready.encode():
                remaining = deadline - time.monotonic()
                if remaining <= 0 or not select.select([process.stdout], [], [], remaining)[0]:
                    raise WaitTimeout(f"timed out after {timeout:g} s waiting for the probe "
                                      f"to print {ready!r}")
                line = process.stdout.readline()
                if not line:
                    raise AssertionError(f"the probe ended before printing {ready!r}")
        return process

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

    def icon_windows(self):
        """The hidden applet windows that own the tray icons, of every running copy."""
        return [w for w in self.all_windows() if w.cls == "VornkitForm" and w.caption == "Icon"]

    def keyboard_menu(self, icon_window):
        """Opens an icon's menu as a key on the focused icon does: its callback reports a right
        button pressed and released with no mouse button down. Returns the menu's window."""
        target = next(c for c in self.children(icon_window) if c.cls == "VornkitPicture")
        for message in (WM_RBUTTONDOWN, WM_RBUTTONUP):
            self.probe("post", target.hwnd, WM_MOUSEMOVE, 0, message)
        return self.wait_window(cls="#32768")

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
        6 px apart, so that two clicks on one icon never make a double click. The right button
        is held for a tenth of a second, as a person clicks: a press and release with nothing
        between them is what a keyboard looks like."""
        self._clicks += 1
        x = slot_left(slot) + ICON_SIZE // 2 + (3 if self._clicks % 2 else -3)
        if double:
            self.xdotool("mousemove", x, ICON_CENTRE_Y, "click", "--repeat", 2, "--delay", 80,
                         button)
        elif button == 3:
            self.xdotool("mousemove", x, ICON_CENTRE_Y, "mousedown", 3, "sleep", 0.1, "mouseup", 3)
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

    def open_and_escape_menu(self, slot):
        """Right-clicks the icon, then closes its popup menu with Esc and waits until it is gone."""
        self.point_at_menu(self.open_menu(slot))
        self.key("Escape")
        self.wait_no_window(cls="#32768")

    def click_away_from_menu(self, x, y, tries=3):
        """Clicks at (x, y), off the open popup menu, and waits until the menu has closed. A
        menu window can show before its tracking loop takes the mouse, and a click in between
        passes it by: when the menu is still there, the click is made again, as a user would."""
        for attempt in range(tries):
            self.click_at(x, y)
            try:
                self.wait_no_window(cls="#32768", timeout=3)
                return
            except WaitTimeout:
                if attempt == tries - 1:
                    raise

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
