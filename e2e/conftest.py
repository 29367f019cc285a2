"""The end-to-end tests' fixtures: the program under test (--exe), one Suite per run (helpers,
template prefix, the empty tray's picture) and, for each test, a Desktop `d`: a fresh copy of the
prefix on its own Xvfb, closed afterwards whatever happened. A failed test keeps its screen and
Wine's output under build/e2e/artifacts/<build>/ and shows the stand-in log in its report.

    python3 -m pytest e2e [--exe build/win64/vornkit.exe] [-k SUBSTRING] [--keep]
"""

import shutil
import sys

import pytest

sys.dont_write_bytecode = True  # keep e2e/ free of __pycache__

import harness  # noqa: E402


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
