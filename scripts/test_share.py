#!/usr/bin/env python3
"""Prints how many lines the tests' cases take beside the product code: the cases are the bodies
of the GoogleTest TESTs (unit and Windows-layer) and of the end-to-end test_ functions, from
their first line to their last; fixtures, helpers and harness modules are not counted. Product
code is every line of the floors' sources (platform core applets about options program hosts).

    python3 scripts/test_share.py
"""

import re
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PRODUCT = ("platform", "core", "applets", "about", "options", "program", "hosts")


def cpp_cases(path):
    lines = path.read_text(encoding="utf-8").split("\n")
    total, i = 0, 0
    while i < len(lines):
        if re.match(r"^TEST(_F|_P)?\(", lines[i]):
            depth, j = 0, i
            while True:
                depth += lines[j].count("{") - lines[j].count("}")
                if depth == 0 and "}" in lines[j]:
                    break
                j += 1
            total += j - i + 1
            i = j
        i += 1
    return total


def python_cases(path):
    lines = path.read_text(encoding="utf-8").split("\n")
    total, inside = 0, False
    for line in lines:
        if re.match(r"^(def test_|test_\w+ = )", line):
            inside = True
        elif line and not line[0].isspace() and not line.startswith(")"):
            inside = False
        if inside and line.strip():
            total += 1
    return total


def main():
    product = sum(len(p.read_text(encoding="utf-8").split("\n")) - 1
                  for folder in PRODUCT for p in (ROOT / folder).rglob("*")
                  if p.suffix in (".cpp", ".h"))
    layers = {
        "unit": sum(cpp_cases(p) for p in (ROOT / "tests").glob("*_test.cpp")),
        "Windows layer": sum(cpp_cases(p) for p in (ROOT / "tests" / "win32").glob("*_test.cpp")),
        "end to end": sum(python_cases(p) for p in (ROOT / "e2e").glob("test_*.py")),
    }
    cases = sum(layers.values())
    for name, lines in layers.items():
        print(f"{name:14s} {lines:5d} lines of cases")
    print(f"{'product':14s} {product:5d} lines")
    print(f"cases are {100.0 * cases / product:.0f} % of the product code")


if __name__ == "__main__":
    main()
