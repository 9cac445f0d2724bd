#!/usr/bin/env python3
"""Fails when a shipped binary's import table names a DLL that is not a known system DLL, or when
its version resource does not carry the project version.

Windows loads a known DLL only from the system folder; any other DLL named in the import table is
looked for in the program folder first, before WinMain can restrict the search, so a file placed
beside Plenvue.exe (in a Downloads folder, say) would be loaded in its place. Common controls are
allowed only where the binary's manifest binds them to the side-by-side copy of the system.

    check_imports.py BIN_DIR VERSION
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools/package"))
import make_packages  # noqa: E402

OBJDUMPS = {0x014C: "i686-w64-mingw32-objdump", 0x8664: "x86_64-w64-mingw32-objdump"}

# The KnownDLLs of current Windows versions that these programs may use.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "rpcrt4.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ws2_32.dll", "psapi.dll",
}
SIDE_BY_SIDE = {"comctl32.dll": b"Microsoft.Windows.Common-Controls"}


def objdump_for(path):
    """The objdump of the binary's machine: the tests also run on a 64-bit build."""
    data = open(path, "rb").read(4096)
    pe = int.from_bytes(data[0x3C:0x40], "little")
    machine = int.from_bytes(data[pe + 4:pe + 6], "little")
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0" or machine not in OBJDUMPS:
        raise SystemExit("%s: not a 32-bit or 64-bit x86 PE file" % path)
    return OBJDUMPS[machine]


def imports(path):
    out = subprocess.run([objdump_for(path), "-p", path], capture_output=True, text=True, check=True).stdout
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


def version_faults(bin_dir, version):
    """Binaries whose FileVersion and ProductVersion strings are not `version`."""
    found = []
    for rel in make_packages.shipped_binaries(bin_dir):
        data = open(os.path.join(bin_dir, rel), "rb").read()
        for key in ("FileVersion", "ProductVersion"):
            # A version resource string: the key, NUL, padding to a 4-byte boundary, the value, NUL.
            at = data.find(key.encode("utf-16-le") + b"\0\0")
            if at < 0:
                found.append("%s has no %s" % (rel, key))
                continue
            start = at + 2 * len(key) + 2
            start += (4 - start % 4) % 4
            end = data.find(b"\0\0", start)
            while end >= 0 and (end - start) % 2:
                end = data.find(b"\0\0", end + 1)
            value = data[start:end].decode("utf-16-le", "replace")
            if value != version:
                found.append("%s has %s %r, not %r" % (rel, key, value, version))
    return found


def main():
    for tool in OBJDUMPS.values():
        if shutil.which(tool) is None:
            raise SystemExit("not installed: %s (the install step of ./plenvue provides it)" % tool)
    bin_dir = sys.argv[1]
    binaries = make_packages.shipped_binaries(bin_dir)
    bad = faults(bin_dir) + version_faults(bin_dir, sys.argv[2])
    for line in bad:
        print("FAIL " + line)
    print("%d binaries checked" % len(binaries))
    if bad:
        sys.exit(1)
    print("every shipped binary passes")


if __name__ == "__main__":
    main()
