"""The packages as a user meets them: the installer installs per user, Plenvue runs from there,
saves into Pictures\\Plenvue, opens its help in the browser and starts with Windows when asked; a
newer installer replaces an older one, and uninstalling takes every installed file with it but
leaves pictures and settings. The portable zip runs from wherever it is unpacked."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

from plenvue_e2e import BIN_DIR, ENV, PROBE, REG_KEY, Plenvue, PlenvueTestCase, main, need, probe, wait_for, \
    wine_reg, xdotool

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools/package"))
import make_packages  # noqa: E402

DIST = os.path.join(BIN_DIR, "dist")
CMD_FULL_SCREEN, CMD_OPTION = 1861, 1875
CHK_START_WITH_WINDOWS, IDOK = 1160, 1
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
# A 32-bit package on 64-bit Windows registers under Wow6432Node.
UNINSTALL_KEYS = [r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall",
                  r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall",
                  r"HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall"]
# Wine reads associations only from the machine-wide classes; this is the test run's own prefix.
HTML_CLASS = r"HKLM\Software\Classes"
SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"


def run_wine(*args, timeout=180):
    return subprocess.run(["wine"] + list(args), env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=timeout, check=False).returncode


def wine_env(name):
    out = subprocess.run(["wine", "cmd", "/c", "echo", "%" + name + "%"], env=ENV, capture_output=True,
                         timeout=60, check=False).stdout.decode("latin-1")
    return out.strip().splitlines()[-1].strip()


def unix_path(windows_path):
    out = subprocess.run(["winepath", "-u", windows_path], env=ENV, capture_output=True, timeout=60, check=False)
    return out.stdout.decode("utf-8").strip()


def windows_path(unix):
    return "Z:" + unix.replace("/", "\\")


def reg_value(key, name):
    """The text of one REG_SZ value, or None when it is missing."""
    args = ["/ve"] if name == "(Default)" else ["/v", name]
    for line in wine_reg("query", key, *args).splitlines():
        parts = line.strip().split("    ")
        if len(parts) >= 2 and parts[0] == name:
            return parts[2] if len(parts) > 2 else ""
    return None


def installed_products():
    """(key, version) of every uninstall entry named Plenvue."""
    found = []
    for root in UNINSTALL_KEYS:
        key, name, version = None, None, None
        for line in wine_reg("query", root, "/s").splitlines() + [""]:
            if line.startswith("HKEY_"):
                if key and name == "Plenvue":
                    found.append((key, version))
                key, name, version = line.strip(), None, None
                continue
            parts = line.strip().split("    ")
            if len(parts) >= 3 and parts[0] == "DisplayName":
                name = parts[2]
            if len(parts) >= 3 and parts[0] == "DisplayVersion":
                version = parts[2]
        if key and name == "Plenvue":
            found.append((key, version))
    return found


def files_below(folder):
    out = []
    for root, _, names in os.walk(folder):
        out += [os.path.relpath(os.path.join(root, n), folder).replace(os.sep, "/") for n in names]
    return sorted(out)


def package_version():
    msis = glob.glob(os.path.join(DIST, "Plenvue-*.msi"))
    if len(msis) != 1:
        raise AssertionError("expected one installer in %s (./plenvue package makes it): %s" % (DIST, msis))
    return re.match(r"Plenvue-(.+)\.msi$", os.path.basename(msis[0])).group(1)


class PackageTestCase(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        need("wine", "winepath", "wixl", "xdotool")
        self.version = package_version()
        self.work = tempfile.mkdtemp(prefix="plenvue-package-")
        self.addCleanup(shutil.rmtree, self.work, True)
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")
        # Pictures of a fresh prefix links to the Linux home folder: give it a folder of its own.
        self.pictures = unix_path(reg_value(r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders",
                                            "My Pictures"))
        if os.path.islink(self.pictures):
            os.unlink(self.pictures)
        os.makedirs(self.pictures, exist_ok=True)
        shutil.rmtree(os.path.join(self.pictures, "Plenvue"), True)
        self.use_recording_browser()

    def use_recording_browser(self):
        """The current user's program for .html pages writes the file it was asked to open."""
        self.opened = os.path.join(self.work, "opened.txt")
        command = 'C:\\windows\\system32\\cmd.exe /c echo %%1> "%s"' % windows_path(self.opened)
        before = reg_value(HTML_CLASS + r"\.html", "(Default)")
        wine_reg("add", HTML_CLASS + r"\.html", "/ve", "/d", "PlenvueTestPage", "/f")
        wine_reg("add", HTML_CLASS + r"\PlenvueTestPage\shell\open\command", "/ve", "/d", command, "/f")
        if before is None:
            self.addCleanup(wine_reg, "delete", HTML_CLASS + r"\.html", "/f")
        else:
            self.addCleanup(wine_reg, "add", HTML_CLASS + r"\.html", "/ve", "/d", before, "/f")
        self.addCleanup(wine_reg, "delete", HTML_CLASS + r"\PlenvueTestPage", "/f")

    def opened_page(self):
        if not os.path.exists(self.opened):
            return None
        with open(self.opened, encoding="latin-1") as f:
            text = f.read().strip().strip('"')
        return text or None

    def press_f1(self):
        left, top, _, _ = map(int, probe("rect").split())
        xdotool("mousemove", left + 200, top + 10, "click", 1)
        wait_for(lambda: False, timeout=0.5)
        xdotool("key", "F1")

    def capture_and_wait(self, folder):
        probe("command", CMD_FULL_SCREEN)
        # A fresh installation saves PNG.
        self.assertTrue(wait_for(lambda: glob.glob(os.path.join(folder, "*.png")), 20),
                        "no picture in %s; status: %s" % (folder, probe("status")))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))


class InstallerTest(PackageTestCase):
    def install(self, msi):
        self.assertEqual(run_wine("msiexec", "/i", windows_path(msi), "/qn"), 0, "msiexec /i " + msi)

    def test_install_use_upgrade_and_uninstall(self):
        msi = os.path.join(DIST, "Plenvue-%s.msi" % self.version)
        older = os.path.join(self.work, "older")
        subprocess.run([sys.executable, make_packages.__file__, BIN_DIR, older, "0.0.1"], check=True,
                       stdout=subprocess.DEVNULL)
        self.addCleanup(run_wine, "msiexec", "/x", windows_path(msi), "/qn")
        for key, _ in installed_products():  # left by an earlier run in this prefix
            run_wine("msiexec", "/x", key.rsplit("\\", 1)[-1], "/qn")

        self.install(os.path.join(older, "Plenvue-0.0.1.msi"))
        self.assertEqual([v for _, v in installed_products()], ["0.0.1"])
        self.install(msi)
        self.assertEqual([v for _, v in installed_products()], [self.version], "one installed copy, the newer")

        folder = unix_path(wine_env("LOCALAPPDATA") + "\\Programs\\Plenvue")
        self.assertEqual(files_below(folder), sorted(make_packages.program_files(BIN_DIR)))
        shortcut = os.path.join(unix_path(wine_env("APPDATA")), "Microsoft/Windows/Start Menu/Programs/Plenvue.lnk")
        self.assertTrue(os.path.isfile(shortcut), shortcut)

        # From the installed folder, auto-save with no folder set goes to Pictures\Plenvue.
        wine_reg("add", REG_KEY, "/v", "Set Auto Save When Startup", "/d", "1", "/f")
        exe = os.path.join(folder, "Plenvue.exe")
        app = self.launch(exe)
        saved = os.path.join(self.pictures, "Plenvue")
        self.capture_and_wait(saved)
        self.assertEqual(files_below(folder), sorted(make_packages.program_files(BIN_DIR)))

        self.press_f1()
        self.assertTrue(wait_for(self.opened_page, 20), "the browser was not asked to open a page")
        page = wine_env("LOCALAPPDATA") + "\\Programs\\Plenvue\\help\\en\\index.html"
        self.assertEqual(self.opened_page().lower(), page.lower())

        self.assertIsNone(reg_value(RUN_KEY, "Plenvue"), "off by default")
        for tick in (True, False):
            probe("command", CMD_OPTION)
            self.assertTrue(wait_for(lambda: probe("find", "#32770", "Options") != "00000000", 15))
            probe("click", "Options", CHK_START_WITH_WINDOWS)
            probe("click", "Options", IDOK)
            self.assertTrue(wait_for(lambda: probe("find", "#32770", "Options") == "00000000", 15))
            entry = reg_value(RUN_KEY, "Plenvue")
            if tick:
                installed_exe = wine_env("LOCALAPPDATA") + "\\Programs\\Plenvue\\Plenvue.exe"
                self.assertEqual(entry, '"%s" /tray' % installed_exe)
            else:
                self.assertIsNone(entry)
        app.stop()

        # The Run entry's switch: only the notification icon, and still one instance: a second
        # start with /tray leaves it hidden, a plain one brings its window out and ends.
        tray = subprocess.Popen(["wine", exe, "/tray"], env=ENV, cwd=folder,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(tray)
        self.assertTrue(wait_for(lambda: int(probe("main") or "0", 16), 40), "no main window")
        self.assertEqual(probe("visible"), "0")
        main_window = probe("main")
        again = subprocess.run(["wine", exe, "/tray"], env=ENV, cwd=folder, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=60)
        self.assertEqual(again.returncode, 0)
        self.assertEqual(probe("visible"), "0")
        second = subprocess.run(["wine", exe], env=ENV, cwd=folder, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=60)
        self.assertEqual(second.returncode, 0)
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 20), "the running instance stayed hidden")
        self.assertEqual(probe("main"), main_window)
        probe("command", 1811)  # File > Exit: closing a /tray start's window only hides it
        tray.wait(30)

        self.assertEqual(run_wine("msiexec", "/x", windows_path(msi), "/qn"), 0)
        self.assertEqual(installed_products(), [])
        self.assertFalse(os.path.exists(folder), "the install folder is removed")
        self.assertFalse(os.path.exists(shortcut))
        self.assertTrue(glob.glob(os.path.join(saved, "*.png")), "pictures are kept")
        self.assertEqual(reg_value(REG_KEY, "Set Auto Save When Startup"), "1", "settings are kept")


class InstallerLifecycleTest(PackageTestCase):
    def install(self, msi):
        self.assertEqual(run_wine("msiexec", "/i", windows_path(msi), "/qn"), 0, "msiexec /i " + msi)

    def setUp(self):
        super().setUp()
        self.msi = os.path.join(DIST, "Plenvue-%s.msi" % self.version)
        for key, _ in installed_products():  # left by an earlier run in this prefix
            run_wine("msiexec", "/x", key.rsplit("\\", 1)[-1], "/qn")
        self.addCleanup(run_wine, "msiexec", "/x", windows_path(self.msi), "/qn")
        self.folder = unix_path(wine_env("LOCALAPPDATA") + "\\Programs\\Plenvue")

    def test_rebuilt_package_of_the_same_version_replaces_the_installed_one(self):
        rebuilt = os.path.join(self.work, "rebuilt")
        subprocess.run([sys.executable, make_packages.__file__, BIN_DIR, rebuilt, self.version], check=True,
                       stdout=subprocess.DEVNULL)
        rebuilt_msi = os.path.join(rebuilt, "Plenvue-%s.msi" % self.version)
        self.install(self.msi)
        first = installed_products()
        self.assertEqual([v for _, v in first], [self.version])
        self.install(rebuilt_msi)
        again = installed_products()
        self.assertEqual([v for _, v in again], [self.version], "one product registered, not two")
        self.assertNotEqual(again[0][0], first[0][0], "the rebuilt package's product replaced the first")
        # Once a full test run found the folder empty here; say what the machine had then.
        self.assertEqual(files_below(self.folder), sorted(make_packages.program_files(BIN_DIR)),
                         "products %s; beside the folder: %s" % (again, os.listdir(os.path.dirname(self.folder))))
        self.assertEqual(run_wine("msiexec", "/x", windows_path(rebuilt_msi), "/qn"), 0)
        self.assertEqual(installed_products(), [])
        self.assertFalse(os.path.exists(self.folder))

    def test_uninstall_takes_the_start_entry_and_a_hook_library_other_programs_hold(self):
        self.install(self.msi)
        installed_exe = wine_env("LOCALAPPDATA") + "\\Programs\\Plenvue\\Plenvue.exe"
        app = self.launch(os.path.join(self.folder, "Plenvue.exe"))
        probe("command", CMD_OPTION)
        self.assertTrue(wait_for(lambda: probe("find", "#32770", "Options") != "00000000", 15))
        probe("click", "Options", CHK_START_WITH_WINDOWS)
        probe("click", "Options", IDOK)
        self.assertTrue(wait_for(lambda: reg_value(RUN_KEY, "Plenvue") is not None, 15))
        self.assertEqual(reg_value(RUN_KEY, "Plenvue"), '"%s" /tray' % installed_exe)
        app.stop()

        # Another program the mouse hook reached keeps the library loaded through the uninstall.
        holder = subprocess.Popen(["wine", PROBE, "holdlib", installed_exe[:-len("Plenvue.exe")] + "Ravelin.dll"],
                                  env=ENV, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.helpers.append(holder)
        self.assertEqual(holder.stdout.readline().strip(), b"loaded")
        self.assertEqual(run_wine("msiexec", "/x", windows_path(self.msi), "/qn"), 0)
        self.assertEqual(installed_products(), [])
        self.assertIsNone(reg_value(RUN_KEY, "Plenvue"), "the Start with Windows entry is gone")
        self.assertFalse(os.path.exists(self.folder), files_below(self.folder))
        # The library went to the temporary folder, to be deleted at the next restart.
        pending = wine_reg("query", SESSION_MANAGER, "/v", "PendingFileRenameOperations")
        parked = re.findall(r"\\\?\?\\(C:\\[^\s]*?pvr[0-9A-Fa-f]+\.tmp)", pending)
        self.assertTrue(parked, pending)
        self.assertTrue(os.path.isfile(unix_path(parked[-1])))
        holder.kill()
        holder.wait(30)
        holder.stdout.close()
        self.assertEqual(subprocess.run(["wineboot", "-r"], env=ENV, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, timeout=180).returncode, 0)
        self.assertFalse(os.path.exists(unix_path(parked[-1])), "deleted at the restart")


class PortableZipTest(PackageTestCase):
    def test_unpacked_zip_runs_saves_beside_itself_and_opens_its_help(self):
        zip_path = os.path.join(DIST, "Plenvue-%s-portable.zip" % self.version)
        downloads = os.path.join(self.work, "Downloads")
        with zipfile.ZipFile(zip_path) as z:
            z.extractall(downloads)
        self.assertEqual(os.listdir(downloads), [make_packages.ZIP_FOLDER])
        folder = os.path.join(downloads, make_packages.ZIP_FOLDER)
        self.assertEqual(files_below(folder), sorted(make_packages.program_files(BIN_DIR)))
        wine_reg("add", REG_KEY, "/v", "Set Auto Save When Startup", "/d", "1", "/f")
        self.launch(os.path.join(folder, "Plenvue.exe"))
        self.capture_and_wait(folder)
        self.assertFalse(os.path.exists(os.path.join(self.pictures, "Plenvue")))
        self.press_f1()
        self.assertTrue(wait_for(self.opened_page, 20), "the browser was not asked to open a page")
        self.assertEqual(self.opened_page().lower(), (windows_path(folder) + "\\help\\en\\index.html").lower())


class GermanHelpTest(PackageTestCase):
    def test_german_package_opens_the_german_pages(self):
        with zipfile.ZipFile(os.path.join(DIST, "Plenvue-%s-portable.zip" % self.version)) as z:
            z.extractall(self.work)
        folder = os.path.join(self.work, make_packages.ZIP_FOLDER)
        wine_reg("add", REG_KEY, "/v", "LanguagePackage", "/d", windows_path(folder) + "\\Language\\German.dll", "/f")
        self.launch(os.path.join(folder, "Plenvue.exe"))
        self.press_f1()
        self.assertTrue(wait_for(self.opened_page, 20), "the browser was not asked to open a page")
        self.assertEqual(self.opened_page().lower(), (windows_path(folder) + "\\help\\de\\index.html").lower())


if __name__ == "__main__":
    main()
