"""The icons outlive the shell, and the program does not outlive its icons: when the taskbar is
created again every icon comes back; when another program closes one of its windows, or the
session ends, the program ends with every icon removed."""

from conftest import APPLETS, BY_CODE, SLOT, programs_by_slot, start
from records import parse_windows

WM_CLOSE = 0x10
WM_SYSCOMMAND = 0x112
SC_CLOSE = 0xF060
WM_QUERYENDSESSION = 0x11
WM_ENDSESSION = 0x16
ENDSESSION_CLOSEAPP = 0x1


def test_icons_come_back_when_the_taskbar_is_created_again(d):
    start(d)
    # The shell forgets every icon, as when Explorer restarts or crashes...
    dropped = d.probe("drop-icons").split()
    assert len(dropped) // 2 == 6, "icons taken out of the tray"
    d.wait_icons(0)
    # ... and then announces its new taskbar to every top-level window.
    d.probe("taskbar-created")
    d.wait_icons(6)
    started = sorted(programs_by_slot(d, 6))
    assert started == sorted(a.program for a in APPLETS), "programs started by the icons put back"


def applet_windows(d):
    """The handles of the hidden applet windows of every running copy."""
    return {w.hwnd for w in d.icon_windows()}


def second_copy(d):
    """Starts a second copy beside a first one (which keeps Wine's desktop open once the second
    has gone) and returns the first's process ids and one applet window of the second."""
    start(d, icons=6)
    keeper = d.vornkit_pids()
    first = applet_windows(d)
    start(d, icons=12, copies=2)
    added = sorted(applet_windows(d) - first)
    assert len(added) == 6, "applet windows of the second copy"
    return keeper, added[0]


def test_close_sent_to_an_applet_window_ends_the_program_with_every_icon_removed(d):
    keeper, window = second_copy(d)
    assert d.probe("post", window, WM_CLOSE, 0, 0).strip() == "1", "WM_CLOSE posted"
    assert d.wait_gone(count=1) == keeper, "copies left running after WM_CLOSE"
    d.wait_icons(6)


def test_alt_f4_after_a_tray_menu_leaves_every_icon(d):
    start(d)
    d.open_and_escape_menu(SLOT["TN"])
    # The hidden applet window brought to the front for the menu is still there, and Alt+F4
    # sends it the close command. Sent rather than typed (keys are unreliable after a menu under
    # Wine): the answer comes once the command has been handled.
    front = parse_windows(d.probe("foreground"))
    assert [(w.cls, w.caption) for w in front] == [("VornkitForm", "Icon")], "the window in front"
    answer = d.probe("send", front[0].hwnd, WM_SYSCOMMAND, SC_CLOSE, 0).strip()
    assert answer == "0", "answer to the close command"
    assert len(d.vornkit_pids()) == 1, "copies running after Alt+F4"
    d.wait_icons(6)


def test_close_sent_to_the_owner_of_an_open_dialog_ends_the_program_with_every_icon_removed(d):
    keeper, _ = second_copy(d)
    # The second copy's icons were added last: each stands six slots left of the first's.
    applet = BY_CODE["TE"]
    slot = SLOT["TE"] + 6
    menu = d.open_menu(slot)
    d.choose_menu_item(menu, applet.menu, applet.options_item)
    d.wait_no_window(cls="#32768")
    dialog = d.wait_window(caption="Options", cls="VornkitForm")
    assert d.probe("post", dialog.owner, WM_CLOSE, 0, 0).strip() == "1", "WM_CLOSE posted"
    assert d.wait_gone(count=1) == keeper, "copies left running after WM_CLOSE to the owner"
    d.wait_icons(6)
    assert d.window(dialog.hwnd) is None, "the dialog after the program ended"


def test_an_installer_closing_the_program_ends_it_with_every_icon_removed(d):
    keeper, window = second_copy(d)
    # A restart manager first asks, then tells the program that it is being closed.
    answer = d.probe("send", window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP).strip()
    assert answer == "1", "answer to WM_QUERYENDSESSION"
    d.probe("send", window, WM_ENDSESSION, 1, ENDSESSION_CLOSEAPP)
    assert d.wait_gone(count=1) == keeper, "copies left running after WM_ENDSESSION"
    d.wait_icons(6)


def test_icons_the_shell_refuses_at_first_appear_once_it_takes_them(d):
    # As at logon, when the program starts before the shell is ready: for a while a window of
    # the tray's class refuses every icon...
    refusing = d.probe_in_background("refuse-icons", 120000, r"C:\ready.txt", ready="ready")
    d.start()
    d.wait_started()
    d.wait_icons(0)
    d.file("drive_c/ready.txt").write_text("")  # the shell is ready now
    out = refusing.communicate(timeout=30)[0].decode("latin-1").split()
    assert out[:1] == ["refused"], "the refusing tray's report"
    if int(out[1]) < 6:
        raise AssertionError(f"only {out[1]} icon calls were refused")
    # ... then the shell takes the icons, which the program adds again within seconds.
    d.wait_icons(6, timeout=20)
    started = sorted(programs_by_slot(d, 6))
    assert started == sorted(a.program for a in APPLETS), "programs started by the icons added late"
