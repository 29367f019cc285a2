"""The start-up step table: where each program's time goes from its process's creation to the
sixth icon drawn, from the steps its step-timing variant writes (bench/step_timing.h)
and the start-up probe's counters. Each step counts its own time only, not that of the steps
inside it (a window made inside a dialog's load is the window's). Steps that begin once the last
icon is with the shell are listed apart, last: they overlap the shell's drawing and are no part
of the start-up time. The first call a program makes into the window system (loading a cursor,
registering a class) carries Wine's one-time set-up of its display driver, tens of
milliseconds, in both programs.
"""

import statistics

ENTRY = "WinMain to start-up done"


def category(what, detail):
    """The table's row for one step: like steps of one kind together."""
    if what == "window made":
        if detail.endswith("Opt"):
            return "window made: a hidden options dialog (placeholder)"
        if detail.endswith("Icon"):
            return "window made: an applet's icon window (with its icon and callback child)"
        return f"window made: {detail}"
    if what in ("settings read", "settings written"):
        general = detail.split("/")[0] == "VORNKIT"
        return f"{what}: {'a general setting' if general else 'an applet setting'}"
    if what == "icon call":
        return {"0": "icon added (NIM_ADD)", "1": "icon changed (NIM_MODIFY)"}.get(detail, what)
    return what


def one_start(probe, lines):
    """{row: (milliseconds, count)} for one start."""
    start, found, frequency = probe
    steps = []
    for line in lines:
        what, detail, begin, end = line.split("\t")
        if what != "frequency":
            steps.append((what, detail, int(begin), int(end)))
    ms = 1000.0 / frequency
    steps.sort(key=lambda s: (s[2], -s[3]))
    own = [s[3] - s[2] for s in steps]
    stack = []  # indexes of the steps that enclose the current one
    for i, (_, _, begin, end) in enumerate(steps):
        while stack and steps[stack[-1]][3] < end:
            stack.pop()
        if stack:
            own[stack[-1]] -= end - begin
        stack.append(i)
    rows = {}

    def add(row, value):
        total, count = rows.get(row, (0.0, 0))
        rows[row] = (total + value, count + 1)

    entry = next(s for s in steps if s[0] == ENTRY)
    icons = [s for s in steps if s[0] == "icon call"]
    handed = max(s[3] for s in icons) if icons else entry[3]  # the last icon call's end
    add("process created to WinMain (loader, C runtime, system DLLs)", (entry[2] - start) * ms)
    for (what, detail, begin, _), t in zip(steps, own):
        row = ("the program's own work between the calls below" if what == ENTRY
               else category(what, detail))
        # What starts once every icon is with the shell is not part of the start-up time.
        add(row + (" — after the icons" if begin >= handed and what != ENTRY else ""), t * ms)
    add("last icon handed to the shell to the sixth icon seen (the shell draws)",
        (found - handed) * ms)
    rows["total: process created to the sixth icon seen"] = ((found - start) * ms, 1)
    return rows


def step_table(found):
    """Markdown rows: per condition, each step's median over the starts (milliseconds, and how
    many such steps one start makes) for Vornkit and the yardstick, and the difference."""
    out = []
    for scenario, programs in found.items():
        starts = {p: [one_start(s["probe"], s["steps"]) for s in runs]
                  for p, runs in programs.items()}
        if not all(starts.values()):
            continue
        n = min(len(v) for v in starts.values())
        out += ["", f"Start-up steps, {scenario} start: median of {n} starts of each program's "
                f"step-timing variant, ms (× steps per start)", "",
                "| Step | Vornkit | Yardstick | Difference |", "|---|---|---|---|"]
        names = []
        for p in ("vornkit", "reference"):
            for rows in starts[p]:
                names += [r for r in rows if r not in names]
        names.sort(key=lambda r: (r.startswith("total"), "after the icons" in r))

        def cell(p, row):
            values = [rows.get(row, (0.0, 0)) for rows in starts[p]]
            return (statistics.median(v[0] for v in values),
                    statistics.median(v[1] for v in values))

        for row in names:
            vk, ref = cell("vornkit", row), cell("reference", row)
            text = [f"{t:.2f}" + (f" (× {c:g})" if c > 1 else "") if c else "–"
                    for t, c in (vk, ref)]
            out.append(f"| {row} | {text[0]} | {text[1]} | {vk[0] - ref[0]:+.2f} |")
    return out
