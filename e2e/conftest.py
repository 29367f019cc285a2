"""The end-to-end tests' fixtures and shared tables: the program under test (--exe), one Suite per
run (helpers, template prefix, the empty tray's picture) and, for each test, a Desktop `d`: a
fresh copy of the prefix on its own Xvfb, closed afterwards whatever happened. A failed test keeps
its screen and Wine's output under build/e2e/artifacts/<build>/ and shows the stand-in log in its
report. The tables say what the six applets are and what a first start leaves behind; the
helpers start the program and click the tray as a user does.

    python3 -m pytest e2e [--exe build/win64/vornkit.exe] [-k SUBSTRING] [--keep]
"""

import shutil
import sys
from dataclasses import dataclass

import pytest

sys.dont_write_bytecode = True  # keep e2e/ free of __pycache__

import harness  # noqa: E402
from harness import Launch  # noqa: E402


def pytest_addoption(parser):
    parser.addoption("--exe", default=str(harness.DEFAULT_EXE),
                     help="the vornkit.exe to test (default: %(default)s)")
    parser.addoption("--keep", action="store_true",
                     help="keep the prefixes under build/e2e/ for a look afterwards")


def pytest_configure(config):
    # Before the tests are read: they take the evidence folder of the build under test.
    arch = harness.use_exe(config.getoption("--exe"))
    print(f"testing {config.getoption('--exe')} ({arch}) under {harness.WINE}", file=sys.stderr)


@pytest.fixture(scope="session")
def suite(request):
    made = harness.Suite(request.config.getoption("--exe"), keep=request.config.getoption("--keep"))
    yield made
    made.close()


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    desktop = item.funcargs.get("d") if hasattr(item, "funcargs") else None
    if report.when == "call" and report.failed and desktop is not None:
        for title, text in keep_evidence(desktop, item.name):
            report.sections.append((title, text))


@pytest.fixture
def d(suite, request):
    name = request.node.name
    for stale in (harness.ARTIFACTS_DIR / f"{name}.png", harness.ARTIFACTS_DIR / f"{name}.wine.log"):
        stale.unlink(missing_ok=True)
    desktop = suite.desktop(name)
    try:
        yield desktop
    finally:
        desktop.close()


def keep_evidence(desktop, name):
    """Keeps a failed test's screen and Wine's output; returns what its report shows."""
    harness.ARTIFACTS_DIR.mkdir(parents=True, exist_ok=True)
    shot = harness.ARTIFACTS_DIR / f"{name}.png"
    try:
        desktop.save_screenshot(shot)
        screen = str(shot.relative_to(harness.ROOT))
    except Exception as error:  # no screen left to keep: the failure itself is what matters
        screen = f"none ({error})"
    output = desktop.prefix / "wine-output.log"
    if output.exists():
        shutil.copyfile(output, harness.ARTIFACTS_DIR / f"{name}.wine.log")
    log = desktop.file(harness.STANDIN_LOG)
    return [("screen", screen),
            ("stand-in log", log.read_text(encoding="latin-1") if log.exists() else "(none)")]


# --- the applets and what a first start leaves behind -----------------------------------------

COMMON_MENU = ("&Vornkit Options", "&About Vornkit", "E&xit Vornkit", "-", "&Cancel This Menu")


@dataclass(frozen=True)
class Applet:
    code: str
    tooltip: str
    program: str  # file name of the program its icon starts
    section: str  # its own settings section, "" if none
    options_item: str  # its own popup menu entry, "" if none

    @property
    def menu(self):
        """Its popup menu's entries, top to bottom; "-" is a separator."""
        return ((self.options_item, "-") if self.options_item else ()) + COMMON_MENU


# In the order start-up adds the icons: the first one takes tray slot 0, the rightmost.
APPLETS = (
    Applet("TA", "Vorn Calculator", "calc.exe", "", ""),
    Applet("TC", "Vorn Control Panel", "control.exe", "VORNCON", "Vorn Control &Options"),
    Applet("TD", "Vorn DOS", "command.com", "VORNDOS", "Vorn DOS &Options"),
    Applet("TE", "Vorn Explore", "explorer.exe", "VORNEXP", "Vorn Explore &Options"),
    Applet("TN", "Vorn Notepad", "notepad.exe", "VORNNOT", "Vorn Notepad &Options"),
    Applet("TP", "Vorn CD Player", "cdplayer.exe", "", ""),
)
SLOT = {a.code: slot for slot, a in enumerate(APPLETS)}
BY_CODE = {a.code: a for a in APPLETS}
SECTION_ORDER = [a.section for a in APPLETS if a.section]

# What a left click starts while the settings hold only the defaults: bare names for the
# program search, full paths into the Windows folder, the stored window style or a normal one.
DEFAULT_LAUNCH = {
    "TA": Launch("calc.exe", "C:\\windows\\calc.exe", 1),
    "TC": Launch("control.exe", "control.exe", 3),
    "TD": Launch("command.com", "command.com", 3),
    "TE": Launch("explorer.exe", "explorer.exe", 3),
    "TN": Launch("notepad.exe", "notepad.exe", 3),
    "TP": Launch("cdplayer.exe", "C:\\windows\\cdplayer.exe", 1),
}

# The settings file the first start leaves behind: one default run mode per applet that has a
# section, in the order the icons load.
DEFAULT_SECTIONS = [(section, [("runmode", "3")]) for section in SECTION_ORDER]


def settings_text(sections):
    """Settings file text from {section: body}, bodies one key=value per line."""
    return "".join(f"[{name}]\n" + (f"{body}\n" if body else "") for name, body in sections.items())


def start(d, icons=6, copies=1):
    """Starts one more copy and waits until it is idle and the tray shows `icons` icons."""
    d.start()
    d.wait_started(copies)
    d.wait_icons(icons)


def programs_by_slot(d, count):
    """Left-clicks tray slots 0..count-1 in turn; returns the program each one started."""
    for slot in range(count):
        d.click_slot(slot)
        d.wait_launches(slot + 1)
    return [launch.program for launch in d.launches()]
