"""The icons outlive the shell: when the taskbar is created again, every icon comes back."""

from test_tray import APPLETS, expect, programs_by_slot, start


def test_icons_come_back_when_the_taskbar_is_created_again(d):
    start(d)
    # The shell forgets every icon, as when Explorer restarts or crashes...
    dropped = d.probe("drop-icons").split()
    expect(len(dropped) // 2, 6, "icons taken out of the tray")
    d.wait_icons(0)
    # ... and then announces its new taskbar to every top-level window.
    d.probe("taskbar-created")
    d.wait_icons(6)
    started = sorted(programs_by_slot(d, 6))
    expect(started, sorted(a.program for a in APPLETS), "programs started by the icons put back")
