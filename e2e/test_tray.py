"""End-to-end tests of the tray program: what a user sees and what the file system keeps.

Each test gets `d`, a harness.Desktop: a fresh Wine prefix with vornkit.exe in C:\\vornkit\\ and
stand-ins for the programs the icons start where Windows keeps its own, on its own X server. The
stand-ins record how they were started (program, command line, show code, folder) in
C:\\standin.log.
"""

from pathlib import Path

from conftest import (APPLETS, BY_CODE, DEFAULT_LAUNCH, DEFAULT_SECTIONS, SECTION_ORDER, SLOT,
                      programs_by_slot, settings_text, start)
from harness import (ACTION_TIMEOUT, ARTIFACTS_DIR, SCREEN_H, SCREEN_W, SYSTEM_DIR, TASKBAR_TOP,
                     Launch, drawn_separators, menu_rows, parse_profile, profile_text, wait_until)


ERROR_TEXT = ("This applet will not work on your system; please uncheck it from the Vornkit "
              "options menu.")
# --- start-up ---------------------------------------------------------------------------------


def test_first_start_shows_six_icons_and_stores_default_run_modes(d):
    start(d, icons=6)
    d.save_screenshot(ARTIFACTS_DIR / "tray.png",
                      crop=(SCREEN_W - 200, TASKBAR_TOP - 20, SCREEN_W, SCREEN_H))
    assert d.settings() == DEFAULT_SECTIONS, "settings file after the first start"
    assert len(d.vornkit_pids()) == 1, "running copies"


def _start_up_case(settings, shown):
    """With `settings`, start-up shows exactly the applets `shown`, in load order, and adds a
    default run mode for each of them that has a section, after what the file held."""

    def check(d):
        d.write_settings(settings)
        start(d, icons=len(shown))
        assert programs_by_slot(d, len(shown)) == [BY_CODE[c].program for c in shown], (
            "programs started by the tray slots from the right")
        added = [(section, [("runmode", "3")]) for section in SECTION_ORDER
                 if any(BY_CODE[c].section == section for c in shown)]
        assert d.settings() == parse_profile(profile_text(settings)) + added, (
            "settings file after start-up")

    return check


# Read through the system's own settings-file reader: keys in any case, an empty value on, only
# an exact "1" counts.
test_start_up_runs_the_applets_whose_key_is_one = _start_up_case(
    "[vornkit]\ntacheck=\ntnCHECK=0\nTPCheck=01\nTCCheck=1\n", ("TA", "TC", "TD", "TE"))


def test_all_applets_off_shows_no_icon_and_keeps_running(d):
    settings = "[VORNKIT]\n" + "".join(f"{a.code}Check=0\n" for a in APPLETS)
    d.write_settings(settings)
    start(d, icons=0)
    assert len(d.vornkit_pids()) == 1, "running copies once start-up is over"
    assert d.settings_bytes() == profile_text(settings), "settings file after start-up"


def test_second_copy_adds_six_more_icons(d):
    start(d, icons=6)
    start(d, icons=12, copies=2)
    assert len(d.vornkit_pids()) == 2, "running copies"
    d.click_slot(6)  # the second copy's first icon
    assert d.wait_launches(1) == [DEFAULT_LAUNCH["TA"]], "started by the second copy's first icon"


def test_tooltips_name_each_applet(d):
    start(d)
    for slot, applet in enumerate(APPLETS):
        d.move_mouse_away()
        d.wait_no_window(cls="tooltips_class32")  # the next tip to show is this icon's
        d.point_at_slot(slot)
        assert d.wait_tooltip() == applet.tooltip, f"tooltip of tray slot {slot}"


# --- left click -------------------------------------------------------------------------------


def test_left_click_starts_each_program(d):
    start(d)
    for slot, applet in enumerate(APPLETS):
        d.click_slot(slot)
        got = d.wait_launches(slot + 1)
        assert got[slot:] == [DEFAULT_LAUNCH[applet.code]], f"started by the {applet.code} icon"
    d.wait_icons(6, timeout=5)


def test_copies_beside_the_program_or_in_its_current_folder_never_start(d):
    """A notepad.exe that a web page left beside vornkit.exe (a Downloads folder), or one in the
    current folder, is never started: each program given by bare name is the system's own, and
    its command line still names it by that name."""
    bare = ("TD", "TE", "TC", "TN")
    for code in bare:
        for folder in (Path("drive_c/vornkit"), Path(".")):  # the current folder: the prefix's
            d.plant(folder / BY_CODE[code].program)
    start(d)
    for number, code in enumerate(bare, start=1):
        d.click_slot(SLOT[code])
        got = d.wait_launches(number)[-1]
        assert got == DEFAULT_LAUNCH[code], f"started by the {code} icon"
        assert got.folder == SYSTEM_DIR.lower(), f"folder of the program the {code} icon started"


def test_command_line_and_window_style_follow_settings(d):
    start(d)
    # (applet, the body of its section, what a click then starts). The file is rewritten
    # while the program runs: every click reads it anew. The system's reader trims blanks at
    # the ends of a value and removes one pair of enclosing quotes; the show code reaches the
    # program as stored.
    cases = [
        ("TE", 'parameters=  /x "a b"  \nrunmode=1',
         Launch("explorer.exe", 'explorer.exe /x "a b"', 1)),
        ("TE", 'parameters="  q  "\nrunmode=3', Launch("explorer.exe", "explorer.exe   q  ", 3)),
        ("TD", "parameters=   \nrunmode=2", Launch("command.com", "command.com", 2)),
        ("TN", "parameters=C:\\notes\\a b.txt\nrunmode=2",
         Launch("notepad.exe", "notepad.exe C:\\notes\\a b.txt", 2)),
    ]
    defaults = {section: "runmode=3" for section in SECTION_ORDER}
    for number, (code, body, expected) in enumerate(cases, start=1):
        d.write_settings(settings_text({**defaults, BY_CODE[code].section: body}))
        d.click_slot(SLOT[code])
        got = d.wait_launches(number)
        assert got[number - 1:] == [expected], f"{code} click with {body!r}"


# --- failed start -----------------------------------------------------------------------------


def expect_error_box_then_dismiss(d, what, key=None):
    """The failure message shows, nothing started, the icons stay; OK (or `key`) closes it."""
    box, text, buttons = d.message_box("Error")
    assert text == ERROR_TEXT, f"{what}: message text"
    assert list(buttons) == ["OK"], f"{what}: message box buttons"
    assert d.launches() == [], f"{what}: started programs"
    d.wait_icons(6, timeout=5)  # the icons stay while the message shows
    if key:
        d.point_at(box)
        d.key(key)
    else:
        d.click_at(*buttons["OK"].centre)
    d.wait_no_window(caption="Error")


def test_start_without_run_mode_reports_error_then_works_again(d):
    start(d)
    # The run mode goes missing while the program runs (only a new start would restore it).
    without = settings_text({"VORNCON": "runmode=3", "VORNDOS": "runmode=3", "VORNEXP": "",
                             "VORNNOT": "runmode=3"})
    d.write_settings(without)
    d.click_slot(SLOT["TE"])
    expect_error_box_then_dismiss(d, "first click")
    assert d.settings_bytes() == profile_text(without), "settings file after a failed start"
    d.click_slot(SLOT["TE"])
    expect_error_box_then_dismiss(d, "second click", key="Return")
    d.write_settings(without.replace("[VORNEXP]\n", "[VORNEXP]\nrunmode=2\n"))
    d.click_slot(SLOT["TE"])
    assert d.wait_launches(1) == [Launch("explorer.exe", "explorer.exe", 2)], (
        "started once the run mode is back")


def test_missing_programs_of_windows_folder_report_error(d):
    d.remove_standin("calc.exe")
    d.remove_standin("cdplayer.exe")
    start(d)
    for code in ("TA", "TP"):
        d.click_slot(SLOT[code])
        expect_error_box_then_dismiss(d, f"{code} click")
    d.restore_standin("calc.exe")
    d.restore_standin("cdplayer.exe")
    d.click_slot(SLOT["TA"])
    d.wait_launches(1)
    d.click_slot(SLOT["TP"])
    assert d.wait_launches(2) == [DEFAULT_LAUNCH["TA"], DEFAULT_LAUNCH["TP"]], (
        "started once the programs are back")


# --- popup menu -------------------------------------------------------------------------------


def test_popup_menu_entries_of_each_icon(d):
    start(d)
    item_heights = set()
    for slot, applet in enumerate(APPLETS):
        menu = d.open_menu(slot)
        rows = menu_rows(menu.rect, applet.menu)  # raises unless exactly these entries fit
        item_heights.add(max(r.bottom - r.top for r in rows))
        separators = [i for i, label in enumerate(applet.menu) if label == "-"]
        wait_until(f"the {applet.code} menu's separators drawn at rows {separators}",
                   lambda: drawn_separators(d.screenshot(), menu.rect, rows),
                   lambda drawn: drawn == separators, ACTION_TIMEOUT)
        if applet.code == "TD":
            left, top, _, _ = menu.rect
            d.save_screenshot(ARTIFACTS_DIR / "menu.png",
                              crop=(max(0, left - 60), max(0, top - 30), SCREEN_W, SCREEN_H))
        d.choose_menu_item(menu, applet.menu, "&Cancel This Menu")
        d.wait_no_window(cls="#32768")
    assert len(item_heights) == 1, f"item heights of the six menus {item_heights}"
    assert d.launches() == [], "programs started from the menus"
    assert len(d.vornkit_pids()) == 1, "running copies after the menus"
    d.wait_icons(6, timeout=5)


def test_escape_closes_popup_menu(d):
    start(d)
    d.open_and_escape_menu(SLOT["TD"])
    assert d.launches() == [], "programs started by closing the menu"
    d.click_slot(SLOT["TD"])
    assert d.wait_launches(1) == [DEFAULT_LAUNCH["TD"]], "started by a click after the menu"


def test_click_elsewhere_closes_popup_menu(d):
    start(d)
    d.open_menu(SLOT["TE"])
    d.probe("idle", "vornkit.exe", 2000)  # the menu's loop waits for the mouse
    d.click_away_from_menu(SCREEN_W // 4, SCREEN_H // 4, tries=1)
    assert d.launches() == [], "programs started by closing the menu"
    d.click_slot(SLOT["TE"])
    assert d.wait_launches(1) == [DEFAULT_LAUNCH["TE"]], "started by a click after the menu"


def test_a_key_on_an_icon_opens_its_menu_there_with_the_launch_first(d):
    """A key on a focused icon reaches the program as a right button pressed and released with
    no mouse button down. Its menu holds the launch first, and the launch starts the program.
    (It opens at the icon where the shell tells where that is; Wine's shell does not, and the
    menu opens at the pointer.)"""
    start(d)
    d.move_mouse_away()
    menu = d.keyboard_menu(d.icon_windows()[0])
    d.save_screenshot(ARTIFACTS_DIR / "keyboard-menu.png",
                      crop=(max(0, menu.rect[0] - 60), max(0, menu.rect[1] - 30), SCREEN_W,
                            SCREEN_H))
    shapes = {}
    for applet in APPLETS:
        labels = ("&Start " + applet.tooltip, "-") + applet.menu
        try:
            shapes[applet.code] = (labels, menu_rows(menu.rect, labels))
        except AssertionError:
            pass  # the other length of menu
    labels, rows = next(iter(shapes.values()))
    d.click_at((menu.rect[0] + menu.rect[2]) // 2, rows[0].centre_y)
    code = next(a.code for a in APPLETS if d.wait_launches(1)[0] == DEFAULT_LAUNCH[a.code])
    assert code in shapes, f"the {code} icon's menu holds its launch and its own entries"
    d.wait_no_window(cls="#32768")


def test_exit_from_any_icon_removes_its_icons_and_ends_program(d):
    # A first copy keeps the desktop open (Wine closes it with its last program), so the tray
    # can be watched after the second copy exits.
    start(d, icons=6)
    keeper = d.vornkit_pids()
    for slot, applet in enumerate(APPLETS):
        start(d, icons=12, copies=2)
        menu = d.open_menu(6 + slot)
        d.choose_menu_item(menu, applet.menu, "E&xit Vornkit")
        assert d.wait_gone(count=1) == keeper, f"copy left running after exit from {applet.code}"
        d.wait_icons(6)
    assert d.launches() == [], "programs started from the menus"
