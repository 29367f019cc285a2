"""The benchmark's results as one markdown table: start-up time and resident memory of
vornkit.exe against the yardstick, its stripped size and imports, and the counts before and
after the leak cycles, each measure with its goal and verdict.
"""

import statistics

# The windows vornkit_bench.exe opens and closes in each leak cycle.
DIALOGS = ["frmOptions", "frmTDOpt", "frmTEOpt", "frmTCOpt", "frmTNOpt", "frmAbout"]
# DLLs that come with every Windows the program runs on.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "advapi32.dll",
               "comctl32.dll", "msvcrt.dll", "ntdll.dll", "comdlg32.dll", "ole32.dll",
               "oleaut32.dll", "shlwapi.dll", "version.dll", "winmm.dll"}

GOAL_RATIO = 1.10
GOAL_SIZE_KIB = 200

# The two conditions every start is timed in (bench/run.py's start_once), as the table names them.
SCENARIOS = {
    "first": "first start: no settings file yet (the program writes the four run modes)",
    "usual": "usual start: the settings file of the first start in place (nothing written)",
}


def median(values):
    return statistics.median(values)


def spread(values):
    q = statistics.quantiles(values, n=4)
    return f"{q[0]:.1f}–{q[2]:.1f}"


def verdict(ok):
    return "met" if ok else "**not met**"


def table(samples, overlapped, runs, size, dlls, leaks, launches, cycles):
    rows = ["| Measure | Vornkit | Reference | Result | Goal | Verdict |",
            "|---|---|---|---|---|---|"]
    for scenario, label in SCENARIOS.items():
        vk, ref = samples[scenario]["vornkit"], samples[scenario]["reference"]
        ratio = median(vk["ms"]) / median(ref["ms"])
        rows.append(f"| Start-up, process creation to sixth tray icon drawn, {label}: median "
                    f"(quartiles) of {runs}, ms | {median(vk['ms']):.1f} ({spread(vk['ms'])}) "
                    f"| {median(ref['ms']):.1f} ({spread(ref['ms'])}) | ratio {ratio:.3f} "
                    f"| ≤ {GOAL_RATIO:.2f} | {verdict(ratio <= GOAL_RATIO)} |")
    paired = []
    for scenario in SCENARIOS:
        vk, ref = samples[scenario]["vornkit"]["ms"], samples[scenario]["reference"]["ms"]
        paired.append(f"{scenario} start {median([a / b for a, b in zip(vk, ref)]):.3f}")
    vk = {k: sum((samples[sc]["vornkit"][k] for sc in SCENARIOS), []) for k in ("rss",)}
    ref = {k: sum((samples[sc]["reference"][k] for sc in SCENARIOS), []) for k in ("rss",)}
    mratio = median(vk["rss"]) / median(ref["rss"])
    extra = median(vk["rss"]) - median(ref["rss"])
    rows.append(f"| Resident memory (VmRSS of the Wine process, icons drawn, steady 1 s): "
                f"median (range) of {len(vk['rss'])}, KiB | {median(vk['rss']):.0f} ({min(vk['rss'])}–"
                f"{max(vk['rss'])}) | {median(ref['rss']):.0f} ({min(ref['rss'])}–"
                f"{max(ref['rss'])}) | ratio {mratio:.3f} ({extra:+.0f} KiB) "
                f"| ≤ {GOAL_RATIO:.2f} | {verdict(mratio <= GOAL_RATIO)} |")
    rows.append(f"| Stripped size of vornkit.exe, KiB | {size / 1024:.1f} ({size} bytes) | | "
                f"| ≤ {GOAL_SIZE_KIB} | {verdict(size / 1024 <= GOAL_SIZE_KIB)} |")
    foreign = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    kinds = "system DLLs only" if not foreign else "not a system DLL: " + ", ".join(foreign)
    rows.append(f"| Imported DLLs (objdump -p) | {', '.join(dlls)} | | "
                f"{kinds} | system DLLs only | {verdict(not foreign)} |")

    # Each program's start against the other's in the same round, which shares its moment's
    # load: steadier than the ratio of medians on a busy machine, though not the goal's measure.
    rows += ["", f"Median of the per-round start-up ratios (each start of Vornkit against the "
             f"yardstick's start in the same round): {', '.join(paired)}."]
    rows += ["", f"Leaks: {cycles:,} open-and-close cycles of each of {', '.join(DIALOGS)} "
             f"(Runtime::Reopen then Runtime::Unload, messages pumped after each) and {cycles:,} "
             f"launches of the Notepad applet's stand-in program (the icon's left-button "
             f"callback sent to its window), counted after one warm-up cycle of each.", "",
             "| Count | Before | After | Change | Verdict |", "|---|---|---|---|---|"]
    for key, label in (("gdi objects", "GDI objects (GetGuiResources GR_GDIOBJECTS)"),
                       ("user objects", "USER objects (GetGuiResources GR_USEROBJECTS)"),
                       ("process handles", "Handles (GetProcessHandleCount)")):
        before, after = leaks[key]
        if not before.isdigit() or (before == "0" and after == "0"):
            rows.append(f"| {label} | {before} | {after} | – | not measurable: Wine reports "
                        f"{'0 (not implemented)' if before == '0' else before} |")
        else:
            change = int(after) - int(before)
            rows.append(f"| {label} | {before} | {after} | {change:+d} | "
                        f"{'no leak' if change <= 0 else '**leak**'} |")
    before, after = map(int, leaks["thread windows"])
    rows.append(f"| Windows of the program's thread (EnumThreadWindows, EnumChildWindows) "
                f"| {before} | {after} | {after - before:+d} | "
                f"{'no leak' if after <= before else '**leak**'} |")
    for key, values in leaks.items():
        if not key.startswith("layer "):
            continue
        live_before, live_after, created, released = map(int, values)
        leaked = live_after > live_before or created != released
        rows.append(f"| Win32 layer's own {key[6:]}: live (created {created:,}, released "
                    f"{released:,} during the cycles) | {live_before} | {live_after} "
                    f"| {live_after - live_before:+d} | "
                    f"{'**leak**' if leaked else 'no leak'} |")
    rows.append(f"| Stand-in starts logged | | {launches:,} | | "
                f"{'all launched' if launches >= cycles + 1 else '**launches missing**'} |")
    return rows
