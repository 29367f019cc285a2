"""End-to-end tests of the program's windows: the general options dialog, the applets' own
options dialogs and the About box, driven with real clicks and keystrokes.

Each test gets `d`, a harness.Desktop (see conftest.py). Controls are found by class and
caption among the dialog's child windows; their screen rectangles say where to click.
"""

from conftest import APPLETS, BY_CODE, DEFAULT_LAUNCH, DEFAULT_SECTIONS, SLOT, start
from dialogs import (ABOUT_ITEM, ABOUT_TITLE, APPLET_BOXES, EXIT_ITEM, GENERAL_ITEM, NO_APPLET_TEXT,
                     PROGRAM_COMMAND, REG_SZ, STARTUP_BOX, about_windows, boxes, choose, click_box,
                     control, edits, expect_centred, expect_in_taskbar, general, open_dialog, press,
                     radio_states, radios, raw_line_present, save_window_picture, section,
                     startup_value, toggle, wait_about, wait_closed)
from harness import (ACTION_TIMEOUT, RUN_KEY, WS_BORDER, WS_CAPTION, WS_DLGFRAME, WS_THICKFRAME,
                     Launch, wait_until)


# --- general options dialog -------------------------------------------------------------------


def test_first_ok_of_general_options_stores_every_switch_and_the_start_up_command(d):
    start(d)
    before = d.settings_bytes()
    assert startup_value(d) is None, "start-up registry value before any OK"
    dialog, controls = open_dialog(d, "TA", GENERAL_ITEM)
    save_window_picture(d, dialog, "options.png")
    assert dialog.topmost, "the options dialog is topmost"
    expect_centred(dialog, "the options dialog")
    expect_in_taskbar(d, dialog, True, "the options dialog")
    assert boxes(controls) == {STARTUP_BOX: 1, **{caption: 1 for caption, _ in APPLET_BOXES}}, (
        "boxes shown with no general settings stored")
    assert d.settings_bytes() == before, "settings file once the dialog is open"

    press(d, controls, "OK")
    wait_closed(d, dialog, "the options dialog")
    assert d.settings() == DEFAULT_SECTIONS + [general()], "settings file after the first OK"
    assert startup_value(d) == ("REG_SZ", PROGRAM_COMMAND), "start-up registry value"
    d.wait_icons(6, timeout=5)
    assert len(d.vornkit_pids()) == 1, "running copies"


def test_start_up_command_is_quoted_for_a_path_with_blanks_and_clearing_keeps_an_empty_value(d):
    path = "C:\\Program Files\\Vorn Kit\\VornKit.exe"
    d.install_program(path)
    d.start(path)
    d.wait_started()
    d.wait_icons(6)
    dialog, controls = open_dialog(d, "TD", GENERAL_ITEM)
    press(d, controls, "OK")
    wait_closed(d, dialog, "the options dialog")
    assert startup_value(d) == ("REG_SZ", '"c:\\program files\\vorn kit\\vornkit.exe"'), (
        "start-up registry value for a program in a folder with blanks")

    dialog, controls = open_dialog(d, "TP", GENERAL_ITEM)
    assert control(controls, STARTUP_BOX, "check").check == 1, "start-up box after an OK with it"
    controls = toggle(d, dialog, control(controls, STARTUP_BOX, "check"))
    press(d, controls, "OK")
    wait_closed(d, dialog, "the options dialog")
    # The value stays, as an empty string: just its terminating NUL.
    assert startup_value(d) == ("REG_SZ", ""), "start-up registry value once cleared"
    assert d.registry_data(RUN_KEY, "Vornkit") == (REG_SZ, b"\0\0"), (
        "string stored as the start-up registry value once cleared")
    assert d.settings() == DEFAULT_SECTIONS + [general(StartupCheck="0")], (
        "settings file once the start-up box is cleared")


def test_one_ok_swaps_the_notepad_icon_for_the_cd_player_icon(d):
    d.write_settings("[VORNKIT]\nTPCheck=0\n")
    start(d, icons=5)
    dialog, controls = open_dialog(d, "TE", GENERAL_ITEM)
    assert boxes(controls) == {STARTUP_BOX: 1, **{c: int(c != "Vorn CD Player")
                                                 for c, _ in APPLET_BOXES}}, (
        "boxes shown with TPCheck=0 stored")
    before = d.settings_bytes()
    controls = toggle(d, dialog, control(controls, "Vorn Notepad", "check"))
    controls = toggle(d, dialog, control(controls, "Vorn CD Player", "check"))
    assert d.settings_bytes() == before, "settings file before OK"
    d.wait_icons(5, timeout=5)  # nothing changes before OK

    press(d, controls, "OK")
    wait_closed(d, dialog, "the options dialog")
    for slot, code in enumerate(("TA", "TC", "TD", "TE", "TP")):
        d.click_slot(slot)
        assert d.wait_launches(slot + 1)[slot:] == [DEFAULT_LAUNCH[code]], (
            f"started by tray slot {slot} after the OK")
    d.wait_icons(5, timeout=5)
    settings = d.settings()
    assert section(settings, "VORNKIT") == dict(general(TNCheck="0")[1]), (
        "general settings after the OK")
    assert [s for s in settings if s[0] != "VORNKIT"] == DEFAULT_SECTIONS, (
        "the applets' own sections after the OK")


def test_no_applet_left_is_refused_and_cancel_or_exit_apply_nothing(d):
    start(d)
    dialog, controls = open_dialog(d, "TC", GENERAL_ITEM)
    for caption, _ in APPLET_BOXES:
        controls = toggle(d, dialog, control(controls, caption, "check"))
    press(d, controls, "OK")
    box, text, buttons = d.message_box("Vornkit")
    assert text == NO_APPLET_TEXT, "message text"
    assert list(buttons) == ["OK"], "message box buttons"
    order = [w.hwnd for w in d.windows()]  # front to back
    assert order.index(box.hwnd) < order.index(dialog.hwnd), (
        "the message shows in front of the dialog")
    # Stored before the check that refuses the rest.
    assert startup_value(d) == ("REG_SZ", PROGRAM_COMMAND), "start-up registry value"
    assert d.settings() == DEFAULT_SECTIONS + [("VORNKIT", [("StartupCheck", "1")])], (
        "settings file while the message shows")

    d.click_at(*buttons["OK"].centre)
    d.wait_no_window(caption="Vornkit", cls="#32770")
    dialog = wait_until("the dialog to stay open and topmost again",
                        lambda: d.window(dialog.hwnd),
                        lambda w: w is not None and w.visible and w.topmost, ACTION_TIMEOUT)
    controls = d.children(dialog)
    assert boxes(controls) == {STARTUP_BOX: 1, **{c: 0 for c, _ in APPLET_BOXES}}, (
        "boxes after the message")
    before_cancel = d.settings_bytes()
    press(d, controls, "Cancel")
    wait_closed(d, dialog, "the options dialog")
    assert d.settings_bytes() == before_cancel, "settings file after Cancel"
    d.wait_icons(6, timeout=5)

    # Changes made in the dialog and then left by ending the program are not applied.
    dialog, controls = open_dialog(d, "TN", GENERAL_ITEM)
    controls = toggle(d, dialog, control(controls, "Vorn Notepad", "check"))
    controls = toggle(d, dialog, control(controls, STARTUP_BOX, "check"))
    menu = d.open_menu(SLOT["TD"])
    d.choose_menu_item(menu, BY_CODE["TD"].menu, EXIT_ITEM)
    d.wait_gone(count=0)
    assert d.settings_bytes() == before_cancel, "settings file after Exit"
    assert startup_value(d) == ("REG_SZ", PROGRAM_COMMAND), "start-up registry value after Exit"


# --- the applets' own options dialogs ---------------------------------------------------------


def test_explore_options_change_the_next_start_at_once(d):
    start(d)
    before = d.settings_bytes()
    dialog, controls = open_dialog(d, "TE", "Vorn Explore &Options")
    save_window_picture(d, dialog, "te_options.png")
    assert dialog.topmost, "the Explore options dialog is topmost"
    expect_centred(dialog, "the Explore options dialog")
    expect_in_taskbar(d, dialog, False, "the Explore options dialog")
    assert radio_states(controls) == {"Normal": 0, "Minimized": 0, "Maximized": 1}, (
        "window styles shown for the stored run mode 3")
    assert [e.caption for e in edits(controls)] == [""], "parameter box"
    assert d.settings_bytes() == before, "settings file once the dialog is open"

    # The bold label does nothing; the keystrokes typed after it show that it did nothing.
    d.click_at(*control(controls, "Minimized").centre)
    d.click_at(*edits(controls)[0].centre)
    typed = "/n /e"
    for count in range(1, len(typed) + 1):
        d.type_text(typed[count - 1])
        wait_until(f"parameters {typed[:count]!r} in the settings file",
                   lambda: raw_line_present(d, f"parameters={typed[:count]}"), bool,
                   ACTION_TIMEOUT)
    assert section(d.settings(), "VORNEXP").get("runmode") == "3", (
        "run mode after a click on the Minimized label")
    d.click_slot(SLOT["TE"])
    assert d.wait_launches(1) == [Launch("explorer.exe", "explorer.exe /n /e", 3)], (
        "started right after typing the parameters")

    click_box(d, radios(controls)["Minimized"])
    d.wait_settings("run mode 2", lambda s: section(s, "VORNEXP").get("runmode") == "2")
    d.click_slot(SLOT["TE"])
    assert d.wait_launches(2)[1:] == [Launch("explorer.exe", "explorer.exe /n /e", 2)], (
        "started right after choosing Minimized")
    controls = d.children(dialog)
    assert radio_states(controls) == {"Normal": 0, "Minimized": 1, "Maximized": 0}, (
        "window styles shown after choosing Minimized")
    assert [e.caption for e in edits(controls)] == [typed], "parameter box after typing"

    press(d, controls, "OK")
    wait_closed(d, dialog, "the Explore options dialog")
    expected = [(name, [("runmode", "2"), ("parameters", typed)] if name == "VORNEXP" else body)
                for name, body in DEFAULT_SECTIONS]
    assert d.settings() == expected, "settings file after OK"


def test_a_screen_reader_in_its_own_process_names_each_option_by_its_word(d):
    start(d)
    for code, item, words in (("TD", "Vorn DOS &Options", {"Minimized", "Maximized"}),
                              ("TC", "Vorn Control &Options", {"Normal", "Minimized", "Maximized"})):
        dialog, controls = open_dialog(d, code, item)
        found = radios(controls)
        assert set(found) == words, f"window styles offered in the {code} dialog"
        for label, radio in found.items():
            assert d.probe("accname", radio.hwnd).strip() == label, (
                f"the name a screen reader reads for {label} in the {code} dialog")
        press(d, controls, "OK")
        wait_closed(d, dialog, f"the {code} options dialog")


# --- About box --------------------------------------------------------------------------------


def test_about_box_opens_from_every_menu_once_and_closes_on_a_click(d):
    start(d)
    launches = 0
    for number, applet in enumerate(APPLETS):
        choose(d, applet.code, ABOUT_ITEM)
        about = wait_about(d)
        what = f"the About box opened from {applet.code}"
        assert about.topmost, f"{what} is topmost"
        assert about.style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME) == 0, (
            f"frame styles of {what}")
        expect_centred(about, what)
        expect_in_taskbar(d, about, False, what)
        if number % 3 == 0:
            # Again from another icon while it shows. A click on an icon afterwards is handled
            # after the menu's command, so once its program has started the command is done.
            other = APPLETS[number + 1]
            choose(d, other.code, ABOUT_ITEM)
            d.click_slot(SLOT["TA"])
            launches += 1
            d.wait_launches(launches)
            about = wait_about(d)
            assert about.topmost, f"the About box opened again from {other.code}"
        if number == len(APPLETS) - 1:
            save_window_picture(d, about, "about.png")
        if number % 2 == 0:
            # A click is complete when the button comes up: the box is still there while it is
            # held down, so that the release does not land on whatever lies beneath.
            title = control(d.children(about), ABOUT_TITLE)
            d.xdotool("mousemove", title.rect[0] + 10, title.centre[1], "mousedown", 1)
            try:
                d.probe("idle", "vornkit.exe", 2000)  # the press has been handled
                assert len(about_windows(d)) == 1, f"{what} while the button is held down"
            finally:
                d.xdotool("mouseup", 1)
        else:
            left, _, _, bottom = about.rect
            d.click_at(left + 4, bottom - 5)  # the bare background
        wait_until(f"{what} to close", lambda: about_windows(d), lambda ws: not ws,
                   ACTION_TIMEOUT)
    assert len(d.vornkit_pids()) == 1, "running copies"
    d.wait_icons(6, timeout=5)
