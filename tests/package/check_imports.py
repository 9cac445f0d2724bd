#!/usr/bin/env python3
"""Fails when a shipped binary's import table names a DLL that is not a known system DLL.

Windows loads a known DLL only from the system folder; any other DLL named in the import table is
looked for in the program folder first, before WinMain can restrict the search, so a file placed
beside Plenvue.exe (in a Downloads folder, say) would be loaded in its place. Common controls are
allowed only where the binary's manifest binds them to the side-by-side copy of the system.

    check_imports.py BIN_DIR
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools/package"))
import make_packages  # noqa: E402

OBJDUMP = "i686-w64-mingw32-objdump"

# The KnownDLLs of current Windows versions that these programs may use.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "rpcrt4.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ws2_32.dll", "psapi.dll",
}
SIDE_BY_SIDE = {"comctl32.dll": b"Microsoft.Windows.Common-Controls"}


def imports(path):
    out = subprocess.run([OBJDUMP, "-p", path], capture_output=True, text=True, check=True).stdout
    names = []
    for line in out.splitlines():
        line = line.strip()
        if line.startswith("DLL Name:"):
            names.append(line.split(":", 1)[1].strip())
    return names


def faults(bin_dir):
    found = []
    for rel in make_packages.shipped_binaries(bin_dir):
        path = os.path.join(bin_dir, rel)
        data = open(path, "rb").read()
        for dll in imports(path):
            low = dll.lower()
            if low in KNOWN_DLLS:
                continue
            if low in SIDE_BY_SIDE and SIDE_BY_SIDE[low] in data:
                continue
            found.append("%s imports %s" % (rel, dll))
    return found


def main():
    if shutil.which(OBJDUMP) is None:
        raise SystemExit("not installed: %s (the install step of ./plenvue provides it)" % OBJDUMP)
    bin_dir = sys.argv[1]
    binaries = make_packages.shipped_binaries(bin_dir)
    bad = faults(bin_dir)
    for line in bad:
        print("FAIL " + line)
    print("%d binaries checked" % len(binaries))
    if bad:
        sys.exit(1)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
