#!/usr/bin/env python3
"""Builds the two packages from the Windows build's program folder.

    make_packages.py BIN_DIR OUT_DIR VERSION

Plenvue-<version>-portable.zip holds the program folder as it is, as its one folder "Plenvue"; Plenvue-<version>.msi installs the
same files per user (no elevation) with a Start menu entry, and replaces any earlier version, or a
rebuilt package of the same version, in place. The installer source is generated for Debian's wixl,
the Windows Installer compiler of msitools, and its output completed with msitools' msibuild.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import uuid
import zipfile

# Fixed for the product's whole life: Windows Installer finds the earlier version to replace by it.
UPGRADE_CODE = "6F1D2C4A-8B3E-4E57-9A0C-2D5B7E9F41A3"
# Installed files are registered under this key (a per-user component needs a registry key path);
# it is not the settings key, so uninstalling leaves the settings alone.
INSTALL_KEY = r"Software\Korvane Studio\Plenvue Installer"

TOP_FILES = ["Plenvue.exe", "Ravelin.dll", "plenvue-cli.exe"]
SUBFOLDERS = ["Language", "help"]


def program_files(bin_dir):
    """The program folder's files, as paths relative to it with "/" between folders."""
    files = []
    for name in TOP_FILES:
        if not os.path.isfile(os.path.join(bin_dir, name)):
            raise SystemExit("missing from the program folder: " + name)
        files.append(name)
    for sub in SUBFOLDERS:
        root = os.path.join(bin_dir, sub)
        if not os.path.isdir(root):
            raise SystemExit("missing from the program folder: " + sub)
        for folder, dirs, names in os.walk(root):
            dirs.sort()
            for n in sorted(names):
                if n.startswith(".") or (sub == "Language" and not n.lower().endswith(".dll")):
                    continue
                files.append(os.path.relpath(os.path.join(folder, n), bin_dir).replace(os.sep, "/"))
    return files


def shipped_binaries(bin_dir):
    return [f for f in program_files(bin_dir) if f.lower().endswith((".exe", ".dll"))]


# The zip's one top folder: "extract here" in a Downloads folder then keeps the program's files
# together instead of among whatever else lies there.
ZIP_FOLDER = "Plenvue"


def make_zip(bin_dir, files, path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for f in files:
            z.write(os.path.join(bin_dir, f), ZIP_FOLDER + "/" + f)


def ident(prefix, text):
    """A Windows Installer identifier that stays the same for the same path."""
    return prefix + hashlib.sha1(text.lower().encode()).hexdigest()[:20]


def guid(text):
    """A component GUID stable across versions, so an upgrade keeps the component's identity."""
    return str(uuid.uuid5(uuid.UUID(UPGRADE_CODE), text.lower())).upper()


def escape(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def wxs(bin_dir, files, version):
    folders = {}
    for f in files:
        folders.setdefault(os.path.dirname(f), []).append(f)
    # Every folder below the install folder, parents first.
    all_folders = set()
    for d in folders:
        while d:
            all_folders.add(d)
            d = os.path.dirname(d)
    out = []
    w = out.append
    w('<?xml version="1.0" encoding="utf-8"?>')
    w('<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">')
    w('  <Product Id="*" Name="Plenvue" Language="1033" Version="%s" Manufacturer="Korvane Studio"' % version)
    w('           UpgradeCode="%s">' % UPGRADE_CODE)
    w('    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"')
    w('             Description="Plenvue %s" Manufacturer="Korvane Studio"/>' % version)
    w('    <Media Id="1" Cabinet="plenvue.cab" EmbedCab="yes"/>')
    w('    <MajorUpgrade DowngradeErrorMessage="A newer version of Plenvue is already installed."/>')
    w('    <Property Id="ALLUSERS" Value="2"/>')
    w('    <Property Id="MSIINSTALLPERUSER" Value="1"/>')
    w('    <Property Id="ARPNOMODIFY" Value="1"/>')
    w('    <Property Id="ARPNOREPAIR" Value="1"/>')
    w('    <Icon Id="Plenvue.ico" SourceFile="%s"/>' % "Plenvue.exe")
    w('    <Property Id="ARPPRODUCTICON" Value="Plenvue.ico"/>')
    w('    <Directory Id="TARGETDIR" Name="SourceDir">')
    w('      <Directory Id="LocalAppDataFolder">')
    w('        <Directory Id="UserPrograms" Name="Programs">')
    w('          <Directory Id="INSTALLDIR" Name="Plenvue">')

    def emit_dirs(parent, depth):
        for d in sorted(x for x in all_folders if os.path.dirname(x) == parent):
            w('  ' * depth + '<Directory Id="%s" Name="%s">' % (ident("D", d), escape(os.path.basename(d))))
            emit_dirs(d, depth + 1)
            w('  ' * depth + '</Directory>')
    emit_dirs("", 6)
    w('          </Directory>')
    w('        </Directory>')
    w('      </Directory>')
    w('      <Directory Id="ProgramMenuFolder"/>')
    w('    </Directory>')
    refs = []
    # One component per folder: its files, and the folder's removal at uninstall.
    for d in sorted(all_folders | {""}):
        dir_id = "INSTALLDIR" if d == "" else ident("D", d)
        comp = ident("C", d or ".")
        refs.append(comp)
        w('    <DirectoryRef Id="%s">' % dir_id)
        w('      <Component Id="%s" Guid="%s">' % (comp, guid("folder:" + d)))
        w('        <RegistryValue Root="HKCU" Key="%s" Name="%s" Type="integer" Value="1" KeyPath="yes"/>'
          % (escape(INSTALL_KEY), escape(d or "program")))
        if d == "":
            # Tells the program it is an installed copy: its pictures then go to the Pictures folder.
            w('        <RegistryValue Root="HKCU" Key="%s" Name="InstallFolder" Type="string" Value="[INSTALLDIR]"/>'
              % escape(INSTALL_KEY))
        for f in folders.get(d, []):
            w('        <File Id="%s" Name="%s" Source="%s"/>'
              % (ident("F", f), escape(os.path.basename(f)), escape(f.replace("/", os.sep))))
        w('        <RemoveFolder Id="%s" On="uninstall"/>' % ident("R", d or "."))
        w('      </Component>')
        w('    </DirectoryRef>')
    w('    <DirectoryRef Id="ProgramMenuFolder">')
    w('      <Component Id="CStartMenu" Guid="%s">' % guid("start menu"))
    w('        <Shortcut Id="StartMenuPlenvue" Name="Plenvue" Description="Plenvue screen capture"')
    w('                  Target="[INSTALLDIR]Plenvue.exe" WorkingDirectory="INSTALLDIR"/>')
    w('        <RegistryValue Root="HKCU" Key="%s" Name="StartMenu" Type="integer" Value="1" KeyPath="yes"/>'
      % escape(INSTALL_KEY))
    w('      </Component>')
    w('    </DirectoryRef>')
    refs.append("CStartMenu")
    # Uninstalling (not an upgrade's removal of the older version) first has the program take away
    # what it left outside its files: the Start-with-Windows entry, and a Ravelin.dll other
    # programs still hold, which could not be deleted here (UninstallCleanup_win.h).
    w('    <CustomAction Id="CleanUpForUninstall" FileKey="%s" ExeCommand="/uninstall" Execute="immediate"'
      % ident("F", "Plenvue.exe"))
    w('                  Impersonate="yes" Return="ignore"/>')
    w('    <InstallExecuteSequence>')
    w('      <Custom Action="CleanUpForUninstall" Sequence="%d">REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE</Custom>'
      % CLEAN_UP_SEQUENCE)
    w('    </InstallExecuteSequence>')
    w('    <Feature Id="Complete" Level="1">')
    for r in refs:
        w('      <ComponentRef Id="%s"/>' % r)
    w('    </Feature>')
    w('  </Product>')
    w('</Wix>')
    return "\n".join(out) + "\n"


# Upgrade table attributes: migrate feature states, and the maximum version inclusive.
MIGRATE_FEATURES, VERSION_MAX_INCLUSIVE = 0x001, 0x200
# Where the clean-up runs: after RemoveShortcuts (3200), before RemoveFiles (3500).
CLEAN_UP_SEQUENCE = 3400
# The older version goes right after InstallValidate (1400), before anything of the new one is
# installed, so the upgrade is one product's files replaced in place.
REMOVE_EXISTING_SEQUENCE = 1401


def read_table(msi_path, name):
    """A table as msiinfo exports it: the column names, and the lines (three header lines first)."""
    lines = subprocess.run(["msiinfo", "export", msi_path, name], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    return lines[0].split("\t"), lines


def rows(msi_path, name):
    names, lines = read_table(msi_path, name)
    return [dict(zip(names, line.split("\t"))) for line in lines[3:] if line]


def edit_table(msi_path, name, change):
    """Replaces a table by its rows as `change(row)` leaves them, through msitools' msibuild."""
    names, lines = read_table(msi_path, name)
    for i in range(3, len(lines)):
        row = dict(zip(names, lines[i].split("\t")))
        change(row)
        lines[i] = "\t".join(row[n] for n in names)
    # msibuild imports a table from a file named after it, replacing the table.
    with tempfile.TemporaryDirectory(prefix="plenvue-msi-") as folder:
        idt = os.path.join(folder, name + ".idt")
        with open(idt, "w", encoding="utf-8", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        subprocess.run(["msibuild", msi_path, "-i", idt], check=True)


def complete_upgrade(msi_path, version):
    """What wixl leaves out of a major upgrade, written with msitools.

    A rebuilt package of the installed version replaces it in place instead of installing beside
    it: the upgrade row's maximum version becomes inclusive (the downgrade row, for newer installed
    versions, stays exclusive, so the same version is no downgrade). And wixl schedules the older
    product's removal after InstallFinalize once the package has sequence entries of its own: it
    goes back right after InstallValidate."""
    for tool in ("msibuild", "msiinfo"):
        if shutil.which(tool) is None:
            raise SystemExit("not installed: %s (msitools; the install step of ./plenvue provides it)" % tool)

    def upgrade(row):
        if row["ActionProperty"] == "WIX_UPGRADE_DETECTED":
            row["Attributes"] = str(MIGRATE_FEATURES | VERSION_MAX_INCLUSIVE)

    def sequence(row):
        if row["Action"] == "RemoveExistingProducts":
            row["Sequence"] = str(REMOVE_EXISTING_SEQUENCE)

    edit_table(msi_path, "Upgrade", upgrade)
    edit_table(msi_path, "InstallExecuteSequence", sequence)
    upgrades = [r for r in rows(msi_path, "Upgrade") if r["ActionProperty"] == "WIX_UPGRADE_DETECTED"]
    order = {r["Action"]: int(r["Sequence"]) for r in rows(msi_path, "InstallExecuteSequence")}
    if len(upgrades) != 1 or upgrades[0]["VersionMax"] != version or \
            int(upgrades[0]["Attributes"]) != MIGRATE_FEATURES | VERSION_MAX_INCLUSIVE:
        raise SystemExit("the installer's upgrade row is not as expected: %r" % upgrades)
    if not order["InstallValidate"] < order["RemoveExistingProducts"] < order["InstallInitialize"] or \
            not order["RemoveShortcuts"] < order["CleanUpForUninstall"] < order["RemoveFiles"]:
        raise SystemExit("the installer's actions are not in the expected order: %r" % order)


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    bin_dir, out_dir, version = sys.argv[1:]
    files = program_files(bin_dir)
    os.makedirs(out_dir, exist_ok=True)
    # Only this version's packages: the tests install whatever they find here.
    for old in os.listdir(out_dir):
        if old.startswith("Plenvue-"):
            os.remove(os.path.join(out_dir, old))
    zip_path = os.path.join(out_dir, "Plenvue-%s-portable.zip" % version)
    msi_path = os.path.join(out_dir, "Plenvue-%s.msi" % version)
    make_zip(bin_dir, files, zip_path)
    if shutil.which("wixl") is None:
        raise SystemExit("not installed: wixl (the install step of ./plenvue provides it)")
    src = os.path.join(out_dir, "Plenvue-%s.wxs" % version)
    with open(src, "w", encoding="utf-8") as f:
        f.write(wxs(bin_dir, files, version))
    # wixl takes file sources relative to its working folder.
    subprocess.run(["wixl", "-a", "x86", "-o", os.path.abspath(msi_path), os.path.abspath(src)], check=True,
                   cwd=bin_dir)
    complete_upgrade(msi_path, version)
    print(zip_path)
    print(msi_path)


if __name__ == "__main__":
    main()
