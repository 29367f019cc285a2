#!/usr/bin/env python3
"""Vornkit's benchmark: start-up time, resident memory, executable size and imports, and
resource leaks over many dialog and launch cycles. Prints one markdown table (also written to
build/bench/results.md; each start's figures go to build/bench/samples.json).

    python3 bench/run.py [--arch win32|win64] [--runs N] [--cycles N] [--skip-build]
                         [--quiet-wait SECONDS]

--arch picks the build measured: win32 (build/win32, under 32-bit Wine, the default) or win64
(build/win64, under 64-bit Wine); the yardstick and the helpers are of the same build.
Everything runs under Wine in one reused prefix per build (build/bench/prefix-ARCH) on a
private Xvfb, each
program start on a fresh virtual desktop (every process of the prefix ended in between).

Start-up: bench/startprobe.exe, run on the desktop, starts the program and times it to the
sixth icon drawn in the tray (it copies the tray strip of the screen about every millisecond).
vornkit.exe and the yardstick vornkit_reference.exe take turns (A B B A ...), after one
unmeasured warm-up start of each; every start waits until the prefix's processes have gone
quiet. Both are timed in two conditions, N starts each: the first start (no settings file, so
the program writes its four default run modes) and the usual one (the file the first start
leaves in place). While the program still runs, its resident memory (VmRSS of its Wine process) is read
once it has stayed the same for a full second.

Leaks: vornkit_bench.exe (the same program with counting hooks) runs "--cycles N" and reports
the counts before and after the cycles.

Every wait polls for its condition with a deadline. What is read off the machine (the
prefix's processes, CPU time, resident memory) is in bench/machine.py, the table in
bench/table.py.
"""

import argparse
import fcntl
import json
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep e2e/ free of __pycache__
BENCH_DIR = Path(__file__).resolve().parent
ROOT = BENCH_DIR.parent
sys.path.insert(0, str(ROOT / "e2e"))

import harness  # noqa: E402
from harness import wait_until  # noqa: E402
from machine import (cpu_times, cpu_use, load_average, other_wine_tests,  # noqa: E402
                     prefix_cpu_ticks, steady_rss, wine_pid)
from table import SCENARIOS, table  # noqa: E402

OUT = ROOT / "build" / "bench"
# The build measured, set by use_build(): its folder, its Wine prefix and its binutils.
WIN_BUILD = ROOT / "build" / "win32"
PREFIX = OUT / "prefix-win32"
MINGW = "i686-w64-mingw32-"
PROGRAMS = {"vornkit": "vornkit.exe", "reference": "vornkit_reference.exe"}
DESKTOP = f"/desktop=Default,{harness.SCREEN_W}x{harness.SCREEN_H}"

QUIET_TICKS = 1  # CPU clock ticks the prefix may use in QUIET_SPAN and still count as quiet
QUIET_SPAN = 0.5
QUIET_TIMEOUT = 20.0
RESULT_TIMEOUT = 45.0  # the probe gives up after 30 s of looking


def log(text):
    print(text, file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------------------------
# Building


def use_build(arch):
    global WIN_BUILD, PREFIX, MINGW
    WIN_BUILD = ROOT / "build" / arch
    PREFIX = OUT / f"prefix-{arch}"
    MINGW = {"win32": "i686-w64-mingw32-", "win64": "x86_64-w64-mingw32-"}[arch]


def build(skip):
    if not skip:
        log("building (scripts/build.sh)")
        harness.run(["bash", str(ROOT / "scripts" / "build.sh")], timeout=1800)
    for name in [*PROGRAMS.values(), "vornkit_bench.exe", "startprobe.exe", "standin.exe"]:
        if not (WIN_BUILD / name).is_file():
            raise SystemExit(f"missing {WIN_BUILD / name}: run scripts/build.sh")
    arch = harness.use_exe(WIN_BUILD / "vornkit.exe")
    log(f"measuring {WIN_BUILD / 'vornkit.exe'} ({arch}) under {harness.WINE}")


# ---------------------------------------------------------------------------------------------
# The prefix, the X server and the machine around them


def make_prefix():
    """A prefix whose virtual desktop "Default" is every process's desktop; made once."""
    ready = PREFIX / ".bench-ready"
    if ready.exists():
        return
    log("making the Wine prefix (once)")
    shutil.rmtree(PREFIX, ignore_errors=True)
    env = harness.wine_env(PREFIX)
    try:
        harness.run([harness.WINE, "wineboot", "-i"], env=env, timeout=180)
        for key, value, data in (
                (r"HKCU\Software\Wine\Explorer", "Desktop", "Default"),
                (r"HKCU\Software\Wine\Explorer\Desktops", "Default",
                 f"{harness.SCREEN_W}x{harness.SCREEN_H}")):
            harness.run([harness.WINE, "reg", "add", key, "/v", value, "/d", data, "/f"], env=env)
        harness.run(["wineserver", "-w"], env=env, timeout=120)
    finally:
        harness.kill_prefix(PREFIX)
    ready.write_text("")


def install_programs():
    program_dir = PREFIX / "drive_c" / "vornkit"
    bench_dir = PREFIX / "drive_c" / "bench"
    program_dir.mkdir(exist_ok=True)
    bench_dir.mkdir(exist_ok=True)
    for name in [*PROGRAMS.values(), "vornkit_bench.exe"]:
        shutil.copyfile(WIN_BUILD / name, program_dir / name)
    shutil.copyfile(WIN_BUILD / "startprobe.exe", bench_dir / "startprobe.exe")
    # The Notepad applet's program: found in the program's own folder first.
    shutil.copyfile(WIN_BUILD / "standin.exe", program_dir / "notepad.exe")


def settings_file():
    return PREFIX / harness.SETTINGS_FILE


def wait_for_others(deadline):
    """Waits until no other Wine test runs, at most until `deadline` (time.monotonic())."""
    if not other_wine_tests(PREFIX) or time.monotonic() >= deadline:
        return
    log("  waiting for other Wine test runs to end")
    try:
        wait_until("other Wine test runs to end", lambda: other_wine_tests(PREFIX),
                   lambda p: not p, max(0.0, deadline - time.monotonic()))
    except harness.WaitTimeout:
        log("  they did not end in time; measuring anyway (reported)")


def wait_quiet():
    """Waits until the prefix's processes together use no CPU for QUIET_SPAN seconds;
    returns the seconds waited (the deadline passing is not an error: it is reported)."""
    start = time.monotonic()
    history = []

    def observe():
        history.append((time.monotonic(), prefix_cpu_ticks(PREFIX)))
        while len(history) > 1 and history[-1][0] - history[1][0] >= QUIET_SPAN:
            history.pop(0)
        return history

    try:
        wait_until("the prefix to go quiet", observe,
                   lambda h: h[-1][0] - h[0][0] >= QUIET_SPAN
                   and h[-1][1] - h[0][1] <= QUIET_TICKS, QUIET_TIMEOUT)
    except harness.WaitTimeout:
        log("  (the prefix did not go quiet; starting anyway)")
    return time.monotonic() - start


def end_desktop(desktop):
    """Ends every process of the prefix and waits for the `wine explorer` desktop process."""
    harness.kill_prefix(PREFIX)
    try:
        desktop.wait(10)
    except subprocess.TimeoutExpired:
        desktop.kill()
        desktop.wait(5)


# ---------------------------------------------------------------------------------------------
# One start of a program


# What the program leaves in its settings file after its first start: a run mode for each
# applet that has one. Starting with it is the everyday start (at logon).
STORED_SETTINGS = "".join(f"[{s}]\r\nrunmode=3\r\n" for s in ("VORNCON", "VORNDOS", "VORNEXP",
                                                                  "VORNNOT"))


def start_once(display, program, scenario):
    """Starts `program` on a fresh desktop, with no settings file ("first") or the one the
    first start leaves ("usual"); both start all six applets. Returns (milliseconds to six
    icons, RSS KiB, waited for quiet seconds, other test runs seen)."""
    exe = PROGRAMS[program]
    bench_dir = PREFIX / "drive_c" / "bench"
    result, go, hold = bench_dir / "result.txt", bench_dir / "go", bench_dir / "hold"
    for f in (result, go, hold):
        f.unlink(missing_ok=True)
    settings_file().unlink(missing_ok=True)
    if scenario == "usual":
        settings_file().write_bytes(STORED_SETTINGS.encode("ascii"))
    env = harness.wine_env(PREFIX, display)
    with open(OUT / "wine-output.log", "ab") as output:
        desktop = subprocess.Popen(
            [harness.WINE, "explorer", DESKTOP, r"C:\bench\startprobe.exe", "C:\\vornkit\\" + exe,
             r"C:\bench\result.txt", "--go", r"C:\bench\go", "--hold", r"C:\bench\hold"],
            env=env, cwd=PREFIX, stdin=subprocess.DEVNULL, stdout=output, stderr=output,
            start_new_session=True)
    try:
        wait_until("the probe to run", lambda: wine_pid(PREFIX, "startprobe.exe"), bool, 30)
        waited = wait_quiet()
        others = other_wine_tests(PREFIX)
        go.write_text("")
        text = wait_until("the probe's result",
                          lambda: result.read_text() if result.exists() else "",
                          lambda t: t.endswith("\n"), RESULT_TIMEOUT).split()
        if text[0] in ("timeout", "no-go", "cannot-start"):
            raise RuntimeError(f"{exe}: the probe reports {' '.join(text)}")
        milliseconds = float(text[0])
        pid = wait_until(f"the Linux process of {exe}", lambda: wine_pid(PREFIX, exe), bool, 10)
        rss = steady_rss(pid)
        others += other_wine_tests(PREFIX)
        hold.write_text("")
        wait_until(f"{exe} to end", lambda: wine_pid(PREFIX, exe), lambda p: p is None, 10)
        return milliseconds, rss, waited, bool(others)
    finally:
        end_desktop(desktop)


def startup_runs(display, runs, deadline):
    """The measured starts of each scenario, each taken while no other Wine test runs (until
    `deadline`); a start that another run overlapped is taken again (up to 3 times)."""
    samples = {sc: {p: {"ms": [], "rss": []} for p in PROGRAMS} for sc in SCENARIOS}
    overlapped = 0
    log("warm-up: one unmeasured start of each program")
    for program in PROGRAMS:
        start_once(display, program, "first")
    order = []
    for i in range(runs):  # A B B A A B B A ...: neither program always goes first
        for scenario in SCENARIOS:
            pair = ["vornkit", "reference"] if i % 2 == 0 else ["reference", "vornkit"]
            order += [(scenario, program) for program in pair]
    for n, (scenario, program) in enumerate(order, 1):
        for attempt in range(4):
            wait_for_others(deadline)
            ms, rss, waited, others = start_once(display, program, scenario)
            if not others or attempt == 3 or time.monotonic() >= deadline:
                break
            log(f"  {n:2d}/{len(order)} {scenario} {program:9s} {ms:8.1f} ms: another Wine "
                f"test run overlapped it; taken again")
        overlapped += others
        samples[scenario][program]["ms"].append(ms)
        samples[scenario][program]["rss"].append(rss)
        log(f"  {n:2d}/{len(order)} {scenario} {program:9s} {ms:8.1f} ms  {rss:6d} KiB"
            f"  (quiet after {waited:.1f} s{', other Wine tests running' if others else ''})")
    return samples, overlapped


# ---------------------------------------------------------------------------------------------
# Leak cycles


def leak_cycles(display, cycles):
    report = PREFIX / "drive_c" / "vornkit" / "vornkit_bench.txt"
    report.unlink(missing_ok=True)
    (PREFIX / harness.STANDIN_LOG).unlink(missing_ok=True)
    settings_file().unlink(missing_ok=True)  # every applet, the Notepad one with run mode 3
    env = harness.wine_env(PREFIX, display)
    log(f"leak cycles: {cycles} of each dialog, {cycles} launches")
    start = time.monotonic()
    with open(OUT / "wine-output.log", "ab") as output:
        desktop = subprocess.Popen(
            [harness.WINE, "explorer", DESKTOP, r"C:\vornkit\vornkit_bench.exe", "--cycles",
             str(cycles)],
            env=env, cwd=PREFIX, stdin=subprocess.DEVNULL, stdout=output, stderr=output,
            start_new_session=True)
    try:
        wait_until("vornkit_bench.exe to start", lambda: wine_pid(PREFIX, "vornkit_bench.exe"),
                   bool, 30)
        # About 0.2 s per cycle of all six dialogs and a launch; generous room on a busy machine.
        wait_until("vornkit_bench.exe to finish its cycles",
                   lambda: wine_pid(PREFIX, "vornkit_bench.exe"), lambda p: p is None,
                   60 + cycles * 2)
        if not report.exists():
            raise RuntimeError("vornkit_bench.exe ended without its report")
        rows = {}
        for line in report.read_text().splitlines():
            key, *values = line.split("\t")
            rows[key] = values
        launches = len(harness.parse_launches((PREFIX / harness.STANDIN_LOG).read_bytes())) \
            if (PREFIX / harness.STANDIN_LOG).exists() else 0
        return rows, launches, time.monotonic() - start
    finally:
        end_desktop(desktop)


# ---------------------------------------------------------------------------------------------
# Size and imports


def size_and_imports():
    stripped = OUT / f"vornkit.{WIN_BUILD.name}.stripped.exe"
    harness.run([MINGW + "strip", "-o", str(stripped), str(WIN_BUILD / "vornkit.exe")])
    size = stripped.stat().st_size
    dump = harness.run([MINGW + "objdump", "-p", str(stripped)]).stdout.decode()
    dlls = [line.split("DLL Name:")[1].strip() for line in dump.splitlines()
            if "DLL Name:" in line]
    return size, dlls


# ---------------------------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--arch", choices=("win32", "win64"), default="win32",
                        help="the build to measure (default: %(default)s)")
    parser.add_argument("--runs", type=int, default=15, help="measured starts of each program")
    parser.add_argument("--cycles", type=int, default=1000, help="leak cycles")
    parser.add_argument("--skip-build", action="store_true")
    parser.add_argument("--quiet-wait", type=float, default=1800,
                        help="seconds in all to wait for other Wine test runs to end "
                        "before the starts (default 1800)")
    args = parser.parse_args()
    if args.runs < 2 or args.cycles < 1:
        parser.error("--runs needs at least 2 (for quartiles), --cycles at least 1")
    began = time.monotonic()
    use_build(args.arch)
    OUT.mkdir(parents=True, exist_ok=True)
    lock = open(OUT / ".lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        raise SystemExit("another bench/run.sh is running")

    build(args.skip_build)
    harness.end_abandoned_xvfb(OUT / harness.XVFB_PID_FILE)
    make_prefix()
    harness.kill_prefix(PREFIX)
    install_programs()
    size, dlls = size_and_imports()

    deadline = time.monotonic() + args.quiet_wait
    wait_for_others(deadline)
    load_before = load_average()
    xvfb = harness.Xvfb(OUT / harness.XVFB_PID_FILE)
    try:
        cpu_before = cpu_times()
        samples, overlapped = startup_runs(xvfb.display, args.runs, deadline)
        busy, niced = cpu_use(cpu_before, cpu_times())
        leaks, launches, leak_seconds = leak_cycles(xvfb.display, args.cycles)
    finally:
        harness.kill_prefix(PREFIX)
        xvfb.close()
    load_after = load_average()

    rows = table(samples, overlapped, args.runs, size, dlls, leaks, launches, args.cycles)
    wine = harness.run([harness.WINE, "--version"]).stdout.decode().strip()
    rows += ["", f"{WIN_BUILD.name} build ({WIN_BUILD.relative_to(ROOT)}), {wine}, Xvfb 800x600x24, {os.cpu_count()} cores; load average "
             f"{' '.join(load_before)} before, {' '.join(load_after)} after; the machine's "
             f"CPU {busy:.0f} % busy during the starts ({niced:.0f} % by niced processes); "
             f"{overlapped} of {4 * args.runs} measured starts overlapped another Wine test run; "
             f"leak cycles took {float(leaks['seconds'][0]):.0f} s inside the program "
             f"({leak_seconds:.0f} s in all); the whole benchmark "
             f"{time.monotonic() - began:.0f} s."]
    text = "\n".join(rows)
    (OUT / "results.md").write_text(text + "\n")
    (OUT / "samples.json").write_text(json.dumps(samples, indent=1) + "\n")
    print(text)


if __name__ == "__main__":
    main()
