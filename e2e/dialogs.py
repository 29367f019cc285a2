"""What the end-to-end tests of the dialogs drive and read: the program's windows found among the
prefix's, their controls by class and caption, clicks on them, and the settings file and
registry value the dialogs write.
"""

from conftest import BY_CODE, SLOT
from harness import (ACTION_TIMEOUT, ARTIFACTS_DIR, RUN_KEY, SCREEN_H, SCREEN_W, wait_until)

FORM_CLASS = "VornkitForm"
GENERAL_ITEM = "&Vornkit Options"
ABOUT_ITEM = "&About Vornkit"
EXIT_ITEM = "E&xit Vornkit"
STARTUP_BOX = "Load Vornkit when your computer starts up"
# The applet boxes of the general dialog, top to bottom, with the key each one is stored under.
APPLET_BOXES = (("Vorn Explore", "TECheck"), ("Vorn DOS", "TDCheck"),
                ("Vorn Control Panel", "TCCheck"), ("Vorn CD Player", "TPCheck"),
                ("Vorn Calculator", "TACheck"), ("Vorn Notepad", "TNCheck"))
NO_APPLET_TEXT = "You must leave at least one applet active in Vornkit."
REG_SZ = 1
PROGRAM_COMMAND = "c:\\vornkit\\vornkit.exe"  # the program runs as C:\vornkit\vornkit.exe
ABOUT_SIZE = (234, 81)  # pixels at 96 dpi
ABOUT_TITLE = "Vornkit 2.3"


# --- finding and using controls ----------------------------------------------------------------


def control(controls, caption, kind=None):
    """The one control with this caption (and button kind, if given)."""
    found = [c for c in controls
             if c.caption == caption and (kind is None or c.button_kind == kind)]
    if len(found) != 1:
        raise AssertionError(f"expected one control {caption!r} {kind or ''}, found "
                             f"{len(found)} among {[c.caption for c in controls]}")
    return found[0]


def boxes(controls):
    """Check box captions and their check states."""
    return {c.caption: c.check for c in controls if c.button_kind == "check"}


def radios(controls):
    """Each option button by the caption of the label on its row (the buttons' own captions are
    not shown)."""
    labels = [c for c in controls if c.cls.lower() == "static" and c.caption]
    found = {}
    for radio in (c for c in controls if c.button_kind == "radio"):
        row = [label.caption for label in labels
               if label.rect[1] <= radio.centre[1] < label.rect[3]
               and label.rect[0] > radio.rect[0]]
        if len(row) != 1:
            raise AssertionError(f"no single label beside the option button at {radio.rect}: {row}")
        found[row[0]] = radio
    return found


def radio_states(controls):
    return {label: radio.check for label, radio in radios(controls).items()}


def edits(controls):
    return [c for c in controls if c.cls.lower() == "edit"]


def click_box(d, box):
    """Clicks a check box or option button on its square or circle, at its left end."""
    d.click_at(box.rect[0] + 6, box.centre[1])


def wait_controls(d, window, what, done, timeout=ACTION_TIMEOUT):
    """Waits until done(the window's controls) holds; returns the controls."""
    return wait_until(what, lambda: d.children(window), done, timeout)


def toggle(d, window, box):
    """Clicks a check box and waits until it shows the other state; returns the controls."""
    click_box(d, box)
    return wait_controls(d, window, f"{box.caption!r} to be {'cleared' if box.check else 'ticked'}",
                         lambda cs: control(cs, box.caption, "check").check == 1 - box.check)


# --- windows -----------------------------------------------------------------------------------


def choose(d, code, item):
    """Right-clicks an applet's icon and chooses an entry of its popup menu."""
    applet = BY_CODE[code]
    menu = d.open_menu(SLOT[code])
    d.choose_menu_item(menu, applet.menu, item)
    d.wait_no_window(cls="#32768")


def open_dialog(d, code, item):
    """Opens an "Options" dialog from an applet's menu; returns it and its controls."""
    choose(d, code, item)
    dialog = d.wait_window(caption="Options", cls=FORM_CLASS)
    controls = wait_controls(d, dialog, "the dialog's controls",
                             lambda cs: any(c.caption == "OK" for c in cs))
    return dialog, controls


def wait_closed(d, window, what):
    wait_until(f"{what} to close", lambda: d.window(window.hwnd),
               lambda w: w is None or not w.visible, ACTION_TIMEOUT)


def press(d, controls, caption):
    d.click_at(*control(controls, caption, "push").centre)


def expect_centred(window, what):
    left, top, right, bottom = window.rect
    if abs(left + right - SCREEN_W) > 1 or abs(top + bottom - SCREEN_H) > 1:
        raise AssertionError(f"{what} is not centred on the {SCREEN_W}x{SCREEN_H} screen: "
                             f"{window.rect}")


def expect_in_taskbar(d, window, shown, what):
    if shown:
        wait_until(f"a taskbar button for {what}", d.taskbar_windows,
                   lambda hwnds: window.hwnd in hwnds, ACTION_TIMEOUT)
    else:
        # Wine's taskbar shows a button for every visible window without an owner.
        assert window.owner != 0, f"{what} has an owner window (keeps it off the taskbar)"
        assert window.hwnd not in d.taskbar_windows(), f"{what} has a taskbar button"


def save_window_picture(d, window, name):
    """Saves a picture of the window once it is fully drawn: two grabs in a row alike."""
    previous = []

    def steady(image):
        previous.append(image.data)
        return len(previous) >= 2 and previous[-1] == previous[-2]

    image = wait_until(f"a steady picture for {name}", lambda: d.screenshot(window.rect), steady,
                       ACTION_TIMEOUT)
    image.save_png(ARTIFACTS_DIR / name)


# --- the settings file and the registry -------------------------------------------------------


def section(settings, name):
    """A section's keys and values as a dict; {} when the file has no such section."""
    return dict(next((body for n, body in settings if n == name), []))


def raw_line_present(d, line):
    """True if the settings file holds exactly this line (blanks at its ends included)."""
    blob = d.settings_bytes() or b""
    return f"\r\n{line}\r\n".encode("latin-1") in b"\r\n" + blob


def general(**values):
    """The VORNKIT section with StartupCheck first, then the applets in the dialog's order."""
    keys = ["StartupCheck"] + [key for _, key in APPLET_BOXES]
    return ("VORNKIT", [(key, values.get(key, "1")) for key in keys])


def startup_value(d):
    return d.registry_value(RUN_KEY, "Vornkit")


def about_windows(d):
    """Every window of the About box's class and size, hidden ones too."""
    return [w for w in d.all_windows() if w.cls == FORM_CLASS and w.size == ABOUT_SIZE]


def wait_about(d):
    """Waits until exactly one About box shows; returns it."""
    found = wait_until("one About box showing", lambda: about_windows(d),
                       lambda ws: len(ws) == 1 and ws[0].visible, ACTION_TIMEOUT)
    return found[0]
