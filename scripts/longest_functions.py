#!/usr/bin/env python3
"""Prints the longest functions of the product code, longest first: lines from the line that
names the function to its closing brace, then the file, line and name.

    python3 scripts/longest_functions.py [--top N] [FOLDER ...]

FOLDERs default to the product's floors (platform core applets about options program hosts).
A function is a brace block at namespace or class level whose head holds a parameter list; the
lambdas and blocks inside it count as part of it.
"""

import argparse
import re
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PRODUCT = ("platform", "core", "applets", "about", "options", "program", "hosts")
NOT_FUNCTIONS = re.compile(r"^\s*(namespace|struct|class|enum|union|extern)\b|=\s*$|^\s*$")


def strip(text):
    """The text with comments, strings and character literals blanked, lines kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("".join("\n" if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * max(0, j - i - 1) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def functions(path):
    """(lines, first line, name) of each function in the file."""
    text = strip(path.read_text(encoding="utf-8"))
    found = []
    depth = 0
    scopes = []  # for each open brace: is it a function's?
    head_start = 0
    inside = None  # (start offset, name) of the function being read
    for i, c in enumerate(text):
        if c == "{":
            head = text[head_start:i]
            is_function = (inside is None and "(" in head and not NOT_FUNCTIONS.search(
                head.strip().split("\n")[0] if head.strip() else "")
                and not re.search(r"\b(if|for|while|switch|catch)\s*\(", head)
                and not head.rstrip().endswith("="))
            if is_function:
                name = re.findall(r"([~\w:]+)\s*\(", head)
                first = head_start + len(head) - len(head.lstrip())
                inside = (first, name[0] if name else "?", depth)
            scopes.append(is_function)
            depth += 1
            head_start = i + 1
        elif c == "}":
            depth -= 1
            if scopes and scopes.pop() and inside:
                first, name, _ = inside
                start_line = text.count("\n", 0, first) + 1
                end_line = text.count("\n", 0, i) + 1
                found.append((end_line - start_line + 1, start_line, name))
                inside = None
            head_start = i + 1
        elif c == ";" and inside is None:
            head_start = i + 1
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--top", type=int, default=5)
    parser.add_argument("folders", nargs="*", default=PRODUCT)
    args = parser.parse_args()
    rows = []
    for folder in args.folders:
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix in (".cpp", ".h"):
                for lines, line, name in functions(path):
                    rows.append((lines, f"{path.relative_to(ROOT)}:{line}", name))
    rows.sort(key=lambda r: (-r[0], r[1]))
    for lines, where, name in rows[:args.top]:
        print(f"{lines:4d}  {where}  {name}")


if __name__ == "__main__":
    main()
