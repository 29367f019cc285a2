#!/usr/bin/env python3
"""Checks a built Windows program: the architecture its manifest names is the one it is built
for (Windows refuses to start an x64 program whose manifest says x86, while Wine does not
check), the manifest makes it aware of each monitor's DPI (per-monitor v2, else v1, and aware of
the system's DPI on Windows before 10), and it imports DLLs of Windows itself only.

    python3 scripts/check_exe.py PROGRAM.exe [--print]

Exits 1 with the reason on stderr when a check fails; --print also prints the machine and the
imported DLLs.
"""

import re
import struct
import sys

MACHINES = {0x14C: "x86", 0x8664: "amd64"}
# DLLs that come with every Windows the program runs on.
# What a manifest declares of the DPI, each element in its own namespace.
DPI_AWARENESS = (
    rb'<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>',
    rb'<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">'
    rb'PerMonitorV2, PerMonitor</dpiAwareness>')
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "advapi32.dll",
               "comctl32.dll", "msvcrt.dll", "ntdll.dll", "comdlg32.dll", "ole32.dll",
               "oleaut32.dll", "shlwapi.dll", "version.dll", "winmm.dll"}


def read_pe(data):
    """(machine name, [imported DLL names]) of a PE file."""
    if data[:2] != b"MZ":
        raise ValueError("not a Windows program (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    table = []
    for i in range(sections):
        at = optional + optional_size + 40 * i
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
        table.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in table:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"address {rva:#x} lies in no section")

    dlls = []
    if import_rva:
        at = offset(import_rva)
        while True:
            name_rva = struct.unpack_from("<I", data, at + 12)[0]
            if name_rva == 0:
                break
            name = data[offset(name_rva):].split(b"\0", 1)[0].decode("ascii")
            dlls.append(name)
            at += 20
    return MACHINES.get(machine, f"machine {machine:#x}"), dlls


def main(argv):
    path = argv[1]
    data = open(path, "rb").read()
    machine, dlls = read_pe(data)
    problems = []
    identity = re.search(rb'<assemblyIdentity[^>]*?processorArchitecture="([^"]*)"', data)
    if identity and identity.group(1).decode() != machine:
        problems.append(f"its manifest names {identity.group(1).decode()}, "
                        f"but it is built for {machine}")
    if identity:
        problems += [f"its manifest lacks {element.decode()}" for element in DPI_AWARENESS
                     if element not in data]
    foreign = sorted(d for d in dlls if d.lower() not in SYSTEM_DLLS)
    if foreign:
        problems.append("it imports DLLs that are not part of Windows: " + ", ".join(foreign))
    if "--print" in argv:
        print(f"{path}: {machine}; imports {', '.join(sorted(dlls, key=str.lower))}")
    for problem in problems:
        print(f"{path}: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
