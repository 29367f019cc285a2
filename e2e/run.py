#!/usr/bin/env python3
"""Runs the end-to-end tests of vornkit.exe under Wine.

Tests are the functions named test_* in e2e/test_*.py, in file and definition order; each gets
a fresh Desktop (its own prefix copy and X server). Prints "PASS name" or "FAIL name: reason"
per test and ends with the line "N passed, N failed"; the exit code is 1 if any test failed.

    python3 e2e/run.py [--exe PATH] [-k SUBSTRING] [--keep] [--list]
"""

import argparse
import runpy
import shutil
import signal
import sys
import time
import traceback
from pathlib import Path

sys.dont_write_bytecode = True  # keep e2e/ free of __pycache__
sys.path.insert(0, str(Path(__file__).resolve().parent))

import harness  # noqa: E402

TEST_TIME_LIMIT = 240  # seconds; a hung test fails instead of stopping the run


class TestTimeLimit(Exception):
    pass


def stop_on_signal(signum, frame):
    raise KeyboardInterrupt(f"signal {signum}")


def discover():
    tests = []
    for path in sorted(harness.E2E_DIR.glob("test_*.py")):
        names = runpy.run_path(str(path), run_name=path.stem)
        tests += [(name, value) for name, value in names.items()
                  if name.startswith("test_") and callable(value)]
    return tests


def reason_of(error):
    text = str(error).strip() or type(error).__name__
    if not isinstance(error, AssertionError):
        text = f"{type(error).__name__}: {text}"
    return " ".join(text.split())


def keep_evidence(desktop, name):
    """Keeps the screen and Wine's output of a failed test; returns a note saying where."""
    harness.ARTIFACTS_DIR.mkdir(parents=True, exist_ok=True)
    shot = harness.ARTIFACTS_DIR / f"{name}.png"
    try:
        desktop.save_screenshot(shot)
    except Exception:  # no screen left to keep: the failure itself is what matters
        return ""
    output = desktop.prefix / "wine-output.log"
    if output.exists():
        shutil.copyfile(output, harness.ARTIFACTS_DIR / f"{name}.wine.log")
    return f" (screen: {shot.relative_to(harness.ROOT)})"


def forget_old_evidence(names):
    for name in names:
        for path in (harness.ARTIFACTS_DIR / f"{name}.png",
                     harness.ARTIFACTS_DIR / f"{name}.wine.log"):
            path.unlink(missing_ok=True)


def run_one(suite, name, test):
    """Runs one test in its own desktop; returns None or the reason it failed."""
    def out_of_time(signum, frame):
        raise TestTimeLimit(f"still running after {TEST_TIME_LIMIT} s")

    previous = signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(TEST_TIME_LIMIT)
    desktop = None
    try:
        desktop = suite.desktop(name)
        test(desktop)
        return None
    except Exception as error:  # any failure of the test, reported by name
        reason = reason_of(error)
        if not isinstance(error, AssertionError):
            traceback.print_exc(file=sys.stderr)
        if desktop is not None:
            reason += keep_evidence(desktop, name)
        return reason
    finally:
        signal.alarm(0)
        if desktop is not None:
            try:
                desktop.close()
            finally:
                signal.signal(signal.SIGALRM, previous)
        else:
            signal.signal(signal.SIGALRM, previous)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--exe", default=str(harness.DEFAULT_EXE),
                        help="the vornkit.exe to test (default: %(default)s)")
    parser.add_argument("-k", dest="filter", default="",
                        help="run only tests whose name contains this text")
    parser.add_argument("--keep", action="store_true",
                        help="keep the prefixes under build/e2e/ for a look afterwards")
    parser.add_argument("--list", action="store_true", help="list the tests and stop")
    args = parser.parse_args()

    try:  # before the tests are read: they take the evidence folder of the build under test
        arch = harness.use_exe(args.exe)
        setup_error = None
    except Exception as error:
        arch, setup_error = None, error
    tests = [(n, t) for n, t in discover() if args.filter in n]
    if args.list:
        print("\n".join(n for n, _ in tests))
        return 0

    # A stopped run still cleans up its X servers and Wine processes.
    signal.signal(signal.SIGTERM, stop_on_signal)
    signal.signal(signal.SIGHUP, stop_on_signal)
    forget_old_evidence(name for name, _ in tests)
    began = time.monotonic()
    passed = failed = 0
    try:
        if setup_error:
            raise setup_error
        print(f"testing {args.exe} ({arch}) under {harness.WINE}", file=sys.stderr, flush=True)
        suite = harness.Suite(args.exe, keep=args.keep)
    except Exception as error:
        traceback.print_exc(file=sys.stderr)
        print(f"FAIL setup: {reason_of(error)}")
        print(f"0 passed, {len(tests)} failed")
        return 1
    print(f"setup took {time.monotonic() - began:.1f} s", file=sys.stderr, flush=True)
    try:
        for name, test in tests:
            started = time.monotonic()
            reason = run_one(suite, name, test)
            took = time.monotonic() - started
            if reason is None:
                passed += 1
                print(f"PASS {name}", flush=True)
            else:
                failed += 1
                print(f"FAIL {name}: {reason}", flush=True)
            print(f"  {name} took {took:.1f} s", file=sys.stderr, flush=True)
    finally:
        suite.close()
    print(f"suite took {time.monotonic() - began:.1f} s", file=sys.stderr, flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
