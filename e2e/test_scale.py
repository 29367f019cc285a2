"""A change of scale, as Windows makes one: a dialog moved to a monitor of 144 dpi is told so
(WM_GETDPISCALEDSIZE, then WM_DPICHANGED with the rectangle to take) and comes out as the same
dialog opened at 144 dpi, with what the user did in it kept; the tray icons made again at
another scale come back with the shell and still launch.

Wine gives every window the DPI of the session, which a prefix sets before the program starts
(its LogPixels): a desktop at 144 dpi shows what a dialog opened fresh there looks like."""

from conftest import APPLETS, programs_by_slot, start
from dialogs import (FORM_CLASS, GENERAL_ITEM, STARTUP_BOX, boxes, control, edits, open_dialog,
                     press, toggle, wait_closed, wait_controls)
from harness import ACTION_TIMEOUT, ARTIFACTS_DIR, wait_until

WM_KEYDOWN = 0x100
WM_CHAR = 0x102
VK_ESCAPE = 0x1B
EXPLORER_ITEM = "Vorn Explore &Options"
TYPED = "/e,C:\\"


def dpi_changed(d, window, dpi):
    """Tells a window it is on a monitor of `dpi` now; returns the outer size it asked for."""
    answer = d.probe("dpi-changed", window.hwnd, dpi).split()
    assert answer[0] != "failed", f"WM_DPICHANGED sent to {window.caption!r}: {answer}"
    return int(answer[0]), int(answer[1])


def layout(controls):
    """Each control's rectangle, from the top-left corner of all of them, with its caption."""
    left = min(c.rect[0] for c in controls)
    top = min(c.rect[1] for c in controls)
    return [(c.caption, (c.rect[0] - left, c.rect[1] - top, c.rect[2] - left, c.rect[3] - top))
            for c in controls]


def client_picture(d, controls):
    """The part of the screen the controls cover, once it is drawn steadily."""
    box = (min(c.rect[0] for c in controls), min(c.rect[1] for c in controls),
           max(c.rect[2] for c in controls), max(c.rect[3] for c in controls))
    seen = []

    def steady(image):
        seen.append(image.data)
        return len(seen) >= 2 and seen[-1] == seen[-2]

    return wait_until("a steady picture", lambda: d.screenshot(box), steady, ACTION_TIMEOUT)


def text_height(image, label, controls):
    """Rows of the screen in which a label's text draws anything other than its background."""
    left = min(c.rect[0] for c in controls)
    top = min(c.rect[1] for c in controls)
    x0, y0, x1, y1 = (label.rect[0] - left, label.rect[1] - top, label.rect[2] - left,
                      label.rect[3] - top)
    background = image.pixel(image.left + x0, image.top + y0)
    rows = [y for y in range(y0, y1)
            if any(image.pixel(image.left + x, image.top + y) != background for x in range(x0, x1))]
    return rows[-1] - rows[0] + 1 if rows else 0


def type_parameters(d, dialog, controls):
    """Types into the parameters box, then leaves it with Tab (no caret to blink in a picture);
    returns the controls."""
    d.click_at(*edits(controls)[0].centre)
    d.type_text(TYPED)
    d.key("Tab")
    return wait_controls(d, dialog, "the typed parameters", lambda cs: edits(cs)[0].caption == TYPED)


def text_heights(image, controls):
    """The height of each label's text as drawn."""
    return {c.caption: text_height(image, c, controls) for c in controls
            if c.cls.lower() == "static" and c.caption}


def move_to_144(d, dialog, controls, name):
    """Moves an open dialog to 144 dpi; checks it grew by half with its fonts; returns its
    controls and picture there."""
    before = client_picture(d, controls)
    before.save_png(ARTIFACTS_DIR / f"{name}-96.png")
    label = next(c for c in controls if c.cls.lower() == "static" and c.caption)
    size = dpi_changed(d, dialog, 144)
    moved = wait_until("the dialog at its new size", lambda: d.window(dialog.hwnd),
                       lambda w: w.size == size, ACTION_TIMEOUT)
    assert moved.size[0] > dialog.size[0] * 1.4, f"{name}: {dialog.size} became {moved.size}"
    now = wait_controls(d, dialog, "the controls laid out anew",
                        lambda cs: layout(cs) != layout(controls))
    for (caption, was), (_, rect) in zip(layout(controls), layout(now)):
        assert all(abs(r - w * 1.5) <= 1 for r, w in zip(rect, was)), (
            f"{name}: {caption!r} at {was} went to {rect} at 144 dpi")
    after = client_picture(d, now)
    after.save_png(ARTIFACTS_DIR / f"{name}-moved-144.png")
    grown = text_height(after, control(now, label.caption), now)
    assert abs(grown - 1.5 * text_height(before, label, controls)) <= 2, (
        f"{name}: the text of {label.caption!r} grew to {grown} rows")
    return now, after


def start_at_144(suite, name):
    """Starts the program on a desktop of 144 dpi; returns it and the icons' windows. Wine's
    tray is laid out for 96 dpi there: the icons are reached through their windows."""
    e = suite.desktop(name)
    e.set_dpi(144)
    e.start()
    e.wait_started()
    icons = wait_until("the icons' windows", e.icon_windows, lambda ws: len(ws) == 6,
                       ACTION_TIMEOUT)
    e.move_mouse_away()
    return e, icons


def open_by_keyboard(e, icons, item_key, explorer):
    """Opens a dialog from an icon's keyboard menu, its item chosen by its mnemonic; the
    Explorer dialog from the icon whose menu holds it. Returns the dialog and its controls."""
    if explorer:  # Calculator and CD Player have no dialog of their own, and a shorter menu
        heights = {}
        for window in icons:
            menu = e.keyboard_menu(window)
            heights[window.hwnd] = menu.size[1]
            e.probe("post", menu.hwnd, WM_KEYDOWN, VK_ESCAPE, 0)
            e.wait_no_window(cls="#32768")
        icons = [w for w in icons if heights[w.hwnd] == max(heights.values())]
    for window in icons:
        menu = e.keyboard_menu(window)
        e.save_screenshot(ARTIFACTS_DIR / f"keyboard-menu-144-{item_key}.png",
                          crop=(menu.rect[0], menu.rect[1], menu.rect[2], menu.rect[3]))
        e.probe("post", menu.hwnd, WM_CHAR, ord(item_key), 0)
        e.wait_no_window(cls="#32768")
        dialog = e.wait_window(caption="Options", cls=FORM_CLASS)
        controls = wait_controls(e, dialog, "the dialog's controls",
                                 lambda cs: any(c.caption == "OK" for c in cs))
        if not explorer or any(c.caption == "Vorn Explore Options:" for c in controls):
            return dialog, controls
        press(e, controls, "OK")  # an applet's dialog has no other button
        wait_closed(e, dialog, "another applet's dialog")
    raise AssertionError("no icon's menu opened the Explorer dialog")


def test_a_dialog_moved_to_144_dpi_is_the_dialog_opened_there_with_the_users_input_kept(d, suite):
    start(d)
    dialog, controls = open_dialog(d, "TA", GENERAL_ITEM)
    controls = toggle(d, dialog, control(controls, STARTUP_BOX, "check"))
    general, general_picture = move_to_144(d, dialog, controls, "options")
    assert boxes(general) == boxes(controls), "the boxes once the dialog is at 144 dpi"
    press(d, general, "Cancel")
    wait_closed(d, dialog, "the options dialog")

    dialog, controls = open_dialog(d, "TE", EXPLORER_ITEM)
    controls = type_parameters(d, dialog, controls)
    explorer, explorer_picture = move_to_144(d, dialog, controls, "explorer")
    assert edits(explorer)[0].caption == TYPED, "the parameters once the dialog is at 144 dpi"

    # The same dialogs opened at 144 dpi, with the same done in them. Their pictures are kept to
    # be looked at, not compared: Wine draws a check box's square at the session's DPI.
    e, icons = start_at_144(suite, "opened-at-144-dpi")
    fresh, controls = open_by_keyboard(e, icons, "v", False)
    controls = toggle(e, fresh, control(controls, STARTUP_BOX, "check"))
    assert layout(controls) == layout(general), "the general dialog opened at 144 dpi"
    picture = client_picture(e, controls)
    picture.save_png(ARTIFACTS_DIR / "options-fresh-144.png")
    assert text_heights(picture, controls) == text_heights(general_picture, general), (
        "the general dialog's texts opened at 144 dpi")
    press(e, controls, "Cancel")
    wait_closed(e, fresh, "the options dialog at 144 dpi")

    fresh, controls = open_by_keyboard(e, icons, "o", True)
    controls = type_parameters(e, fresh, controls)
    assert layout(controls) == layout(explorer), "the Explorer dialog opened at 144 dpi"
    picture = client_picture(e, controls)
    picture.save_png(ARTIFACTS_DIR / "explorer-fresh-144.png")
    assert text_heights(picture, controls) == text_heights(explorer_picture, explorer), (
        "the Explorer dialog's texts opened at 144 dpi")
    e.close()


def test_icons_made_again_at_another_scale_come_back_with_the_shell_and_launch(d):
    start(d)
    icons = d.icon_windows()
    assert len(icons) == 6, "the icons' windows"
    for window in icons:
        dpi_changed(d, window, 144)
    d.wait_icons(6)
    d.save_screenshot(ARTIFACTS_DIR / "tray-icons-144.png", crop=(640, 570, 800, 600))
    d.probe("drop-icons")
    d.wait_icons(0)
    d.probe("taskbar-created")
    d.wait_icons(6)
    assert sorted(programs_by_slot(d, 6)) == sorted(a.program for a in APPLETS), (
        "programs started by the icons put back")
