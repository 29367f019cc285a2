#!/usr/bin/env python3
"""Checks that the unit tests bite: seeds one simple fault at a time into the program's rules
(a flipped comparison, a constant off by one, a dropped call, a swapped && or ||, a flipped
true or false), builds and runs the unit tests under AddressSanitizer and
UndefinedBehaviorSanitizer, and counts the faults some test caught.

    python3 scripts/mutate.py [--count N] [--seed S] [--files GLOB ...]

Works on a copy of the tree in build/mutate (the working tree is never touched). Faults that do
not compile are left out of the score. Prints every surviving fault and ends with the line
"K of N seeded faults failed a test (P %)".
"""

import argparse
import random
import re
import shutil
import signal
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "mutate"
SOURCES = WORK / "src"
BUILD = WORK / "build"
DEFAULT_FILES = ["core/*.cpp", "core/*.h", "applets/*.cpp", "applets/*.h", "options/*.cpp",
                 "about/*.cpp", "program/*.cpp", "hosts/portable/*.cpp"]

# (name, pattern, replacement) applied to one match in one line.
OPERATORS = [
    ("flip ==", re.compile(r"(?<![=!<>])==(?!=)"), "!="),
    ("flip !=", re.compile(r"!="), "=="),
    ("flip <", re.compile(r"(?<![<\-])<(?![<=])(?=\s)"), ">="),
    ("flip >", re.compile(r"(?<=\s)>(?![>=])"), "<="),
    ("flip <=", re.compile(r"(?<!<)<=(?!=)"), ">"),
    ("flip >=", re.compile(r"(?<!>)>=(?!=)"), "<"),
    ("&& to ||", re.compile(r"&&"), "||"),
    ("|| to &&", re.compile(r"\|\|"), "&&"),
    ("true to false", re.compile(r"\btrue\b"), "false"),
    ("false to true", re.compile(r"\bfalse\b"), "true"),
    ("constant + 1", re.compile(r"(?<![\w.])([0-9]+)(?![\w.])"), None),
]
# A statement that is a call alone on its line: dropping it drops the call.
CALL_STATEMENT = re.compile(r"^\s*[\w:.\->()\[\]\"]+\(.*\);\s*$")
# A dialog's geometry in twips: one twip more is a fifteenth of a pixel, which no test and no user
# can tell.
LAYOUT = re.compile(r"\.(left|top|width|height|clientWidth|clientHeight) =|\d{3,4},?\s*$|"
                    r"^\s*\d{4}\},?$")
# Rows of geometry whose other numbers count: a place's Tab index (its last number), an applet
# box's row (its first).
COUNTED_NUMBER = {re.compile(r"\bPlace\{"): re.compile(r"(\d+)\}"),
                  re.compile(r"\bAppletBox\("): re.compile(r"\((\d+),")}
SKIP_LINE = re.compile(r"^\s*(#|//|static_assert|namespace|using)\b")


def candidates(files):
    found = []
    for path in files:
        lines = (SOURCES / path).read_text(encoding="latin-1").split("\n")
        in_comment = False
        for number, line in enumerate(lines):
            stripped = line.strip()
            if stripped.startswith("/*"):
                in_comment = True
            if in_comment:
                in_comment = "*/" not in stripped
                continue
            code = line.split("//")[0]
            if not code.strip() or SKIP_LINE.match(code) or '"' in code and "(" not in code:
                continue
            for name, pattern, replacement in OPERATORS:
                for match in pattern.finditer(code):
                    if name == "constant + 1":
                        counted = [number.search(code) for row, number in COUNTED_NUMBER.items()
                                   if row.search(code)]
                        if counted:
                            if not counted[0] or counted[0].start(1) != match.start():
                                continue
                        elif "[" in code or "#" in code or LAYOUT.search(code):
                            continue
                        new = str(int(match.group(1)) + 1)
                    else:
                        new = replacement
                    mutated = code[:match.start()] + new + code[match.end():] + line[len(code):]
                    found.append((path, number, name, mutated))
            if CALL_STATEMENT.match(code) and not re.match(r"^\s*(if|for|while|return)\b", code):
                found.append((path, number, "drop the call", ""))
    return found


def run(cmd, **kwargs):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, **kwargs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--count", type=int, default=100, help="faults to seed (default 100)")
    parser.add_argument("--seed", type=int, default=1, help="which faults (default 1)")
    parser.add_argument("--files", nargs="*", default=DEFAULT_FILES)
    args = parser.parse_args()

    # A fresh copy and a fresh build: objects left by an interrupted run could be a fault's.
    shutil.rmtree(WORK, ignore_errors=True)
    shutil.copytree(ROOT, SOURCES, ignore=shutil.ignore_patterns("build", ".git"))
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("mutate: stopped"))
    # Under the sanitizers, as the test command runs them: a fault that reads or writes past a
    # buffer fails there even when the result happens to come out right.
    if run(["cmake", "-S", str(SOURCES), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Debug",
            "-DVORNKIT_SANITIZE=ON"]).returncode:
        sys.exit("mutate: configuring the copy failed")
    if run(["cmake", "--build", str(BUILD), "-j2"]).returncode:
        sys.exit("mutate: the unmutated copy does not build")
    if run(["ctest", "--test-dir", str(BUILD), "-j2"]).returncode:
        sys.exit("mutate: the unit tests fail without any fault")

    # Only what the unit tests build: the Windows entry is tested end to end.
    files = sorted({str(p.relative_to(SOURCES)) for g in args.files for p in SOURCES.glob(g)} -
                   {"program/win32_main.cpp"})
    sites = candidates(files)
    random.Random(args.seed).shuffle(sites)
    caught = tried = 0
    survivors = []
    for path, number, name, mutated in sites:
        if tried == args.count:
            break
        file = SOURCES / path
        original = file.read_text(encoding="latin-1")
        lines = original.split("\n")
        before = lines[number]
        lines[number] = mutated
        file.write_text("\n".join(lines), encoding="latin-1")
        try:
            if run(["cmake", "--build", str(BUILD), "-j2"], timeout=600).returncode:
                continue  # does not compile: the compiler caught it
            tried += 1
            tests = run(["ctest", "--test-dir", str(BUILD), "-j2", "--timeout", "30"])
            if tests.returncode:
                caught += 1
            else:
                survivors.append(f"{path}:{number + 1}: {name}: {before.strip()}")
                print(f"survived  {survivors[-1]}", flush=True)
        finally:
            file.write_text(original, encoding="latin-1")
    run(["cmake", "--build", str(BUILD), "-j2"])
    share = 100.0 * caught / tried if tried else 0.0
    print(f"{caught} of {tried} seeded faults failed a test ({share:.0f} %)")


if __name__ == "__main__":
    main()
