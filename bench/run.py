#!/usr/bin/env python3
"""Vornkit's benchmark: start-up time, resident memory, executable size and imports, and
resource leaks over many dialog and launch cycles. Prints one markdown table (also written to
build/bench/results.md; each start's figures go to build/bench/samples.json).

    python3 bench/run.py [--arch win32|win64] [--runs N] [--step-runs N] [--cycles N]
                         [--skip-build] [--budget SECONDS] [--quiet-wait SECONDS] [--spread]

--arch picks the build measured: win32 (build/win32, under 32-bit Wine, the default) or win64
(build/win64, under 64-bit Wine); the yardstick and the helpers are of the same build.
Everything runs under Wine in one reused prefix per build (build/bench/prefix-ARCH) on a
private Xvfb, each
program start on a fresh virtual desktop (every process of the prefix ended in between).

Start-up: bench/startprobe.exe, run on the desktop, starts the program and times it to the
sixth icon drawn in the tray (it copies the tray strip of the screen about every millisecond).
vornkit.exe and the yardstick vornkit_reference.exe take turns (A B B A ...), after one
unmeasured warm-up start of each. Before each start the benchmark waits until the prefix's
processes have gone quiet, at most QUIET_TIMEOUT seconds: a prefix or a machine that stays busy
is not waited out but reported (how many starts began on a busy prefix, how busy the machine's
CPU was, how many starts overlapped another Wine test run). Both programs are timed in two
conditions, N rounds of starts (default 41): the first start (no settings file, so the program
writes its four default run modes) and the usual one (the file the first start leaves in place).
While the program still runs, its resident memory (VmRSS of its Wine process) is read once it
has stayed the same for a full second.

Start-up steps: the step-timing variants of both programs (vornkit_bench.exe and
vornkit_reference_bench.exe, "--steps FILE") start in the same turns, "--step-runs" rounds of
them; bench/steps.py makes the table of where each program's milliseconds go.

Leaks: vornkit_bench.exe (the same program with counting hooks) runs "--cycles N" and reports
the counts before and after the cycles.

Time: the whole benchmark keeps within "--budget" seconds (default 840, the build included).
Rounds of starts are begun only while, at the pace of the rounds so far, they end before the
time kept back for the leak cycles; rounds left out are reported. On a 2-core machine shared
with other builds the default run takes about 10 minutes (41 rounds), fewer rounds when busy.

One core: every Wine process of a start (the server, the desktop, the probe, the program) runs on
one core of the machine, the last one it offers, unless "--spread" is given. Left free, the
starts of either program fall at random into two groups about 30 ms apart (60-75 ms and 90-110
ms on a quiet 2-core virtual machine): in the slow one every window the program makes takes
twice as long, since each call to the Wine server wakes a process on the other core. A median of
such starts tells more of how many fell into which group than of the program.

Every wait polls for its condition with a deadline. What is read off the machine (the
prefix's processes, CPU time, resident memory) is in bench/machine.py, the tables in
bench/table.py and bench/steps.py.
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
from steps import step_table  # noqa: E402
from table import SCENARIOS, table  # noqa: E402

OUT = ROOT / "build" / "bench"
# The build measured, set by use_build(): its folder, its Wine prefix and its binutils.
WIN_BUILD = ROOT / "build" / "win32"
PREFIX = OUT / "prefix-win32"
MINGW = "i686-w64-mingw32-"
PROGRAMS = {"vornkit": "vornkit.exe", "reference": "vornkit_reference.exe"}
# The step-timing variants of the two (bench/step_timing.h): "--steps FILE".
STEP_PROGRAMS = {"vornkit": "vornkit_bench.exe", "reference": "vornkit_reference_bench.exe"}
DESKTOP = f"/desktop=Default,{harness.SCREEN_W}x{harness.SCREEN_H}"

# The core every Wine process runs on (None: any), chosen by main().
WINE_CPU = None

QUIET_TICKS = 1  # CPU clock ticks the prefix may use in QUIET_SPAN and still count as quiet
QUIET_SPAN = 0.5
# The longest wait for a quiet prefix before a start. A prefix that stays busy longer is not
# waited out: the start is made and counted as one on a busy prefix in the table's notes.
QUIET_TIMEOUT = 4.0
RESULT_TIMEOUT = 45.0  # the probe gives up after 30 s of looking
BUDGET = 840.0  # seconds the whole benchmark may take by default, the build included
# Time kept back for the leak cycles: a fixed part plus seconds per cycle (0.3 s measured on
# a busy 2-core machine, with room to spare).
LEAK_FIXED, LEAK_PER_CYCLE = 30.0, 0.5


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
    for name in [*PROGRAMS.values(), *STEP_PROGRAMS.values(), "startprobe.exe", "standin.exe"]:
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
    for name in [*PROGRAMS.values(), *STEP_PROGRAMS.values()]:
        shutil.copyfile(WIN_BUILD / name, program_dir / name)
    shutil.copyfile(WIN_BUILD / "startprobe.exe", bench_dir / "startprobe.exe")
    # The Notepad applet's program, in place of Wine's in the system folder.
    harness.put_standin(WIN_BUILD / "standin.exe",
                        PREFIX / "drive_c" / "windows" / "system32" / "notepad.exe")


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
    """Waits until the prefix's processes together use no CPU for QUIET_SPAN seconds, at most
    QUIET_TIMEOUT; returns (seconds waited, whether it went quiet)."""
    start = time.monotonic()
    history = []

    def observe():
        history.append((time.monotonic(), prefix_cpu_ticks(PREFIX)))
        while len(history) > 1 and history[-1][0] - history[1][0] >= QUIET_SPAN:
            history.pop(0)
        return history

    quiet = True
    try:
        wait_until("the prefix to go quiet", observe,
                   lambda h: h[-1][0] - h[0][0] >= QUIET_SPAN
                   and h[-1][1] - h[0][1] <= QUIET_TICKS, QUIET_TIMEOUT)
    except harness.WaitTimeout:
        quiet = False
    return time.monotonic() - start, quiet


def start_wine(command, env, output):
    """Starts a Wine command in a session of its own (on WINE_CPU, when one is chosen); the Wine
    server it starts, and every process that starts, inherit the core."""
    pin = (lambda: os.sched_setaffinity(0, {WINE_CPU})) if WINE_CPU is not None else None
    return subprocess.Popen(command, env=env, cwd=PREFIX, stdin=subprocess.DEVNULL, stdout=output,
                            stderr=output, start_new_session=True, preexec_fn=pin)


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


def start_once(display, program, scenario, steps=False):
    """Starts `program` on a fresh desktop, with no settings file ("first") or the one the
    first start leaves ("usual"); both start all six applets. Returns a dict: "ms" to six icons,
    "rss" (KiB), "waited" for quiet (s), "quiet", "others" (another Wine test run seen). With
    `steps`, starts the program's step-timing variant instead and adds its "steps" (lines of
    its steps file) and the probe's "probe" counters (start, sixth icon, frequency); no RSS."""
    exe = (STEP_PROGRAMS if steps else PROGRAMS)[program]
    bench_dir = PREFIX / "drive_c" / "bench"
    result, go, hold = bench_dir / "result.txt", bench_dir / "go", bench_dir / "hold"
    step_file = bench_dir / "steps.txt"
    for f in (result, go, hold, step_file):
        f.unlink(missing_ok=True)
    settings_file().unlink(missing_ok=True)
    if scenario == "usual":
        settings_file().write_bytes(STORED_SETTINGS.encode("ascii"))
    env = harness.wine_env(PREFIX, display)
    extra = ["--arg", r"--steps C:\bench\steps.txt"] if steps else []
    with open(OUT / "wine-output.log", "ab") as output:
        desktop = start_wine(
            [harness.WINE, "explorer", DESKTOP, r"C:\bench\startprobe.exe", "C:\\vornkit\\" + exe,
             r"C:\bench\result.txt", "--go", r"C:\bench\go", "--hold", r"C:\bench\hold", *extra],
            env, output)
    try:
        wait_until("the probe to run", lambda: wine_pid(PREFIX, "startprobe.exe"), bool, 30)
        waited, quiet = wait_quiet()
        others = other_wine_tests(PREFIX)
        go.write_text("")
        text = wait_until("the probe's result",
                          lambda: result.read_text() if result.exists() else "",
                          lambda t: t.endswith("\n"), RESULT_TIMEOUT).split()
        if text[0] in ("timeout", "no-go", "cannot-start"):
            raise RuntimeError(f"{exe}: the probe reports {' '.join(text)}")
        got = {"ms": float(text[0]), "waited": waited, "quiet": quiet}
        if steps:
            got["probe"] = [int(v) for v in text[3:6]]
            got["steps"] = wait_until(f"the steps of {exe}",
                                      lambda: step_file.read_text() if step_file.exists() else "",
                                      lambda t: t.endswith("\n"), 10).splitlines()
        else:
            pid = wait_until(f"the Linux process of {exe}", lambda: wine_pid(PREFIX, exe), bool,
                             10)
            got["rss"] = steady_rss(pid)
        others += other_wine_tests(PREFIX)
        got["others"] = bool(others)
        hold.write_text("")
        wait_until(f"{exe} to end", lambda: wine_pid(PREFIX, exe), lambda p: p is None, 10)
        return got
    finally:
        end_desktop(desktop)


def rounds(runs):
    """The starts of `runs` rounds, one of each program in each condition per round, in the
    order A B B A A B B A ...: neither program always goes first."""
    for i in range(runs):
        pair = ["vornkit", "reference"] if i % 2 == 0 else ["reference", "vornkit"]
        yield [(scenario, program) for scenario in SCENARIOS for program in pair]


class Budget:
    """The time the benchmark may take: a round of starts is begun only when, at the pace of
    the rounds so far, it ends before the time kept back for what follows it."""

    def __init__(self, end):
        self.end = end
        self.round_seconds = []
        self.made = 0

    def allows_round(self, keep_back):
        """`keep_back`: seconds for what follows, or a function that gives them."""
        pace = max(self.round_seconds) if self.round_seconds else 0.0
        keep = keep_back() if callable(keep_back) else keep_back
        return time.monotonic() + pace + keep <= self.end

    def took(self, seconds):
        self.round_seconds.append(seconds)

    def rounds(self, runs, keep_back, what, minimum=0):
        """The rounds of starts (rounds()) that the budget allows, `minimum` at least, each timed;
        afterwards `made` is how many were made."""
        self.made = 0
        for starts in rounds(runs):
            if self.made >= minimum and not self.allows_round(keep_back):
                log(f"  the time budget ends the {what} after {self.made} of {runs} rounds")
                return
            began = time.monotonic()
            yield starts
            self.made += 1
            self.took(time.monotonic() - began)


def startup_runs(display, runs, deadline, budget, keep_back):
    """The measured starts, `runs` rounds unless the budget ends them early (each round whole,
    so that both programs have as many starts). A start that another Wine test run overlapped
    is taken again (up to 3 times) only until `deadline`. Returns the samples, the starts
    another run overlapped, the starts on a prefix that did not go quiet, and the rounds made."""
    samples = {sc: {p: {"ms": [], "rss": []} for p in PROGRAMS} for sc in SCENARIOS}
    overlapped = busy = 0
    log("warm-up: one unmeasured start of each program")
    for program in PROGRAMS:
        start_once(display, program, "first")
    total = runs * 2 * len(SCENARIOS)
    n = 0
    # Two rounds at least, for quartiles.
    for starts in budget.rounds(runs, keep_back, "starts", minimum=2):
        for scenario, program in starts:
            n += 1
            for attempt in range(4):
                wait_for_others(deadline)
                got = start_once(display, program, scenario)
                if not got["others"] or attempt == 3 or time.monotonic() >= deadline:
                    break
                log(f"  {n:2d}/{total} {scenario} {program:9s} {got['ms']:8.1f} ms: another Wine "
                    f"test run overlapped it; taken again")
            overlapped += got["others"]
            busy += not got["quiet"]
            samples[scenario][program]["ms"].append(got["ms"])
            samples[scenario][program]["rss"].append(got["rss"])
            state = (f"quiet after {got['waited']:.1f} s" if got["quiet"] else
                     f"prefix still busy after {got['waited']:.1f} s")
            log(f"  {n:2d}/{total} {scenario} {program:9s} {got['ms']:8.1f} ms  {got['rss']:6d} KiB"
                f"  ({state}{', other Wine tests running' if got['others'] else ''})")
    return samples, overlapped, busy, budget.made


def step_runs(display, runs, budget, keep_back):
    """Starts of the step-timing variants, in rounds as the measured starts; returns each
    start's probe counters and steps, by condition and program, and the rounds made."""
    found = {sc: {p: [] for p in PROGRAMS} for sc in SCENARIOS}
    for starts in budget.rounds(runs, keep_back, "step starts"):
        for scenario, program in starts:
            got = start_once(display, program, scenario, steps=True)
            found[scenario][program].append({"probe": got["probe"], "steps": got["steps"]})
            log(f"  steps {scenario} {program:9s} {got['ms']:8.1f} ms")
    return found, budget.made


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
        desktop = start_wine(
            [harness.WINE, "explorer", DESKTOP, r"C:\vornkit\vornkit_bench.exe", "--cycles",
             str(cycles)], env, output)
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
    parser.add_argument("--runs", type=int, default=41,
                        help="measured starts of each program in each condition "
                        "(default: %(default)s)")
    parser.add_argument("--step-runs", type=int, default=7,
                        help="starts of each step-timing variant in each condition "
                        "(default: %(default)s; 0: none)")
    parser.add_argument("--cycles", type=int, default=300,
                        help="leak cycles (default: %(default)s)")
    parser.add_argument("--skip-build", action="store_true")
    parser.add_argument("--budget", type=float, default=BUDGET,
                        help="seconds the whole benchmark may take (default: %(default)g); "
                        "rounds of starts that would not fit are left out and reported")
    parser.add_argument("--quiet-wait", type=float, default=0,
                        help="seconds in all to wait for other Wine test runs to end, and to "
                        "take again a start one overlapped (default 0: measure and report)")
    parser.add_argument("--spread", action="store_true",
                        help="let Wine's processes run on every core (default: all on one)")
    args = parser.parse_args()
    if args.runs < 2 or args.cycles < 1 or args.step_runs < 0:
        parser.error("--runs needs at least 2 (for quartiles), --cycles at least 1")
    began = time.monotonic()
    budget = Budget(began + args.budget)
    leak_reserve = LEAK_FIXED + LEAK_PER_CYCLE * args.cycles
    use_build(args.arch)
    global WINE_CPU
    cpus = sorted(os.sched_getaffinity(0))
    WINE_CPU = cpus[-1] if len(cpus) > 1 and not args.spread else None
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

    deadline = min(time.monotonic() + args.quiet_wait, budget.end - leak_reserve)
    wait_for_others(deadline)
    load_before = load_average()
    xvfb = harness.Xvfb(OUT / harness.XVFB_PID_FILE)
    try:
        cpu_before = cpu_times()
        # A round of step starts costs about what a measured one does: room is kept for them.
        samples, overlapped, busy_starts, made = startup_runs(
            xvfb.display, args.runs, deadline, budget,
            lambda: leak_reserve + args.step_runs * max(budget.round_seconds or [0.0]))
        busy, niced = cpu_use(cpu_before, cpu_times())
        found, step_made = step_runs(xvfb.display, args.step_runs, budget, lambda: leak_reserve)
        leaks, launches, leak_seconds = leak_cycles(xvfb.display, args.cycles)
    finally:
        harness.kill_prefix(PREFIX)
        xvfb.close()
    load_after = load_average()

    rows = table(samples, overlapped, made, size, dlls, leaks, launches, args.cycles)
    rows += step_table(found)
    wine = harness.run([harness.WINE, "--version"]).stdout.decode().strip()
    starts = 2 * len(SCENARIOS) * made
    cores = (f"every Wine process on core {WINE_CPU}" if WINE_CPU is not None else
             "Wine's processes on every core")
    quiet = "quiet" if busy < 25 and not overlapped else "NOT quiet"
    rows += ["", f"The machine was {quiet} during the starts: its CPU was {busy:.0f} % busy "
             f"({niced:.0f} % by niced processes), load average {' '.join(load_before)} before "
             f"and {' '.join(load_after)} after; {overlapped} of {starts} measured starts "
             f"overlapped another Wine test run; {busy_starts} of {starts} began on a prefix "
             f"that had not gone quiet within {QUIET_TIMEOUT:g} s. Made {made} of {args.runs} "
             f"rounds of measured starts and {step_made} of {args.step_runs} of step starts"
             f"{' (the time budget ended them)' if made < args.runs or step_made < args.step_runs else ''}.",
             "", f"{WIN_BUILD.name} build ({WIN_BUILD.relative_to(ROOT)}), {wine}, Xvfb "
             f"800x600x24, {os.cpu_count()} cores, {cores}; leak cycles took "
             f"{float(leaks['seconds'][0]):.0f} s inside the program ({leak_seconds:.0f} s in "
             f"all); the whole benchmark {time.monotonic() - began:.0f} s (budget "
             f"{args.budget:g} s)."]
    text = "\n".join(rows)
    (OUT / "results.md").write_text(text + "\n")
    (OUT / "samples.json").write_text(json.dumps({"starts": samples, "steps": found},
                                                 indent=1) + "\n")
    print(text)


if __name__ == "__main__":
    main()
