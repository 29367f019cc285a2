"""What the benchmark reads off the machine: the processes of its Wine prefix and their CPU
time, other Wine test runs, the machine's load and CPU use, and a process's resident memory.

Needs e2e/ on sys.path (bench/run.py puts it there) for the harness.
"""

import os
import time
from pathlib import Path

import harness
from harness import wait_until

RSS_STEADY = 1.0  # seconds the resident size must stay the same
RSS_TIMEOUT = 20.0


def other_wine_tests(prefix):
    """What else runs Wine on this machine: end-to-end test runs (pytest on e2e/) and the Wine
    servers of prefixes other than `prefix`, as "pid command" strings."""
    ours = os.fsencode(str(prefix))
    found = []
    for name in os.listdir("/proc"):
        if not name.isdigit() or int(name) == os.getpid():
            continue
        try:
            cmdline = Path(f"/proc/{name}/cmdline").read_bytes().replace(b"\0", b" ")
            if not (b"pytest" in cmdline and b"e2e" in cmdline):
                if b"wineserver" not in cmdline.split(b" ")[0]:
                    continue
                environ = Path(f"/proc/{name}/environ").read_bytes().split(b"\0")
                if b"WINEPREFIX=" + ours in environ:
                    continue
        except OSError:
            continue
        found.append(f"{name} {cmdline.decode(errors='replace').strip()}")
    return found


def load_average():
    return Path("/proc/loadavg").read_text().split()[:3]


def cpu_times():
    """(busy, niced, total) clock ticks of the whole machine so far."""
    fields = [int(v) for v in Path("/proc/stat").read_text().split("\n")[0].split()[1:9]]
    user, nice, system, idle, iowait, irq, softirq, steal = fields
    return user + nice + system + irq + softirq + steal, nice, sum(fields)


def cpu_use(before, after):
    """Share of the machine's CPU time that was busy, and niced, between two cpu_times()."""
    busy, niced, total = (a - b for a, b in zip(after, before))
    return 100 * busy / max(total, 1), 100 * niced / max(total, 1)


def prefix_cpu_ticks(prefix):
    """CPU time (clock ticks) used so far by every process of the prefix."""
    total = 0
    for pid, _ in harness.prefix_processes(prefix):
        try:
            fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])  # utime, stime
        except (OSError, IndexError, ValueError):
            pass
    return total


def rss_kib(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    raise RuntimeError(f"no VmRSS for process {pid}")


def wine_pid(prefix, exe):
    """The Linux process id of the running Windows program `exe` in the prefix."""
    for pid, cmdline in harness.prefix_processes(prefix):
        image = cmdline.replace('"', "").lower().split(" ")[0]
        if image.endswith("\\" + exe.lower()):
            return pid
    return None


def steady_rss(pid):
    """VmRSS once it has stayed the same for RSS_STEADY seconds."""
    samples = []

    def observe():
        samples.append((time.monotonic(), rss_kib(pid)))
        return samples

    def steady(s):
        now, value = s[-1]
        since = [v for t, v in s if now - t <= RSS_STEADY]
        return now - s[0][0] >= RSS_STEADY and set(since) == {value}

    return wait_until("a steady resident size", observe, steady, RSS_TIMEOUT)[-1][1]
