"""Drives the real Plenvue.exe under Wine on the test run's private display.

The test command (./plenvue test) prepares DISPLAY and WINEPREFIX once per run; each test starts
Plenvue, acts through real X input (xdotool) or window messages, reads what the user sees through
pvprobe.exe, and ends every process it started by PID.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

BIN_DIR = os.environ.get("PLENVUE_BIN_DIR", os.path.join(os.path.dirname(__file__), "../../build/win32"))
EXE = os.path.join(BIN_DIR, "Plenvue.exe")
PROBE = os.path.join(BIN_DIR, "pvprobe.exe")
EXIT_COMMAND = 1811  # File > Exit, which ends Plenvue however closing the window is set up
REG_KEY = r"HKCU\Software\Korvane Studio\Plenvue"

ENV = dict(os.environ)
ENV.setdefault("WINEDEBUG", "-all")
ENV["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winedbg.exe=d;winemenubuilder.exe=d"


def need(*programs):
    """Fails, never skips, when a program a test starts is not installed (./plenvue installs them all)."""
    missing = [p for p in programs if shutil.which(p, path=ENV.get("PATH")) is None]
    if missing:
        raise AssertionError("not installed: %s (the install step of ./plenvue provides it)" % ", ".join(missing))


def need_native_cli(path):
    """The native plenvue-cli the parity tests compare with; ./plenvue test builds it first."""
    if not os.path.exists(path):
        raise AssertionError("the native plenvue-cli is missing: %s (build the native preset first)" % path)


def _run_to_file(args, timeout=60):
    """Runs a command with its output in a file: a Wine helper process can inherit a pipe."""
    with tempfile.TemporaryFile() as out:
        subprocess.run(args, stdout=out, stderr=subprocess.DEVNULL, env=ENV, timeout=timeout, check=False)
        out.seek(0)
        return out.read().decode("latin-1")


def probe(*args):
    return _run_to_file(["wine", PROBE] + [str(a) for a in args]).strip()


class MenuItem:
    def __init__(self, depth, ident, flags, text):
        self.depth, self.id, self.text = depth, ident, text
        self.flags = set() if flags == "-" else set(flags.split(","))

    @property
    def grayed(self):
        return "grayed" in self.flags

    @property
    def checked(self):
        return "checked" in self.flags


def menus():
    """The main window's menu bar and system menu as Plenvue sees them: {"menu": [...], "system": [...]}."""
    out, current = {}, None
    for line in probe("menus").splitlines():
        if line in ("menu", "system"):
            current = out.setdefault(line, [])
        elif current is not None and line.count("\t") >= 3:
            depth, ident, flags, text = line.split("\t", 3)
            current.append(MenuItem(int(depth), int(ident), flags, text))
    return out


def menu_item(ident, which="menu"):
    """One menu item by command number, or None."""
    for item in menus().get(which, []):
        if item.id == ident:
            return item
    return None


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], env=ENV, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wine_reg(*args):
    return _run_to_file(["wine", "reg"] + list(args))


def wait_for(predicate, timeout=20.0, interval=0.3):
    deadline = time.time() + timeout
    last = None
    while time.time() < deadline:
        last = predicate()
        if last:
            return last
        time.sleep(interval)
    return last


def open_menu(mnemonic):
    """Focuses Plenvue through its caption and opens a menu of the bar with real keys."""
    left, top, _, _ = map(int, probe("rect").split())
    xdotool("mousemove", left + 200, top + 10, "click", 1)
    time.sleep(0.5)
    xdotool("key", "alt+" + mnemonic)
    time.sleep(0.7)


def choose_tools_menu_entry(mnemonic):
    """Picks a Tools menu entry with real keys."""
    open_menu("t")
    xdotool("key", mnemonic)


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def recycle_bin():
    """Wine's Recycle Bin: the XDG trash of the run's home (./plenvue test gives it one of its own).
    It takes only files on its own device, so tests put files to delete in bin_neighbour()."""
    files = os.path.join(ENV.get("XDG_DATA_HOME", os.path.expanduser("~/.local/share")), "Trash", "files")
    os.makedirs(files, exist_ok=True)
    os.makedirs(os.path.join(os.path.dirname(files), "info"), exist_ok=True)
    return files


def bin_neighbour(prefix):
    """A fresh folder on the Recycle Bin's device (the run's home), removed by the caller."""
    return tempfile.mkdtemp(prefix=prefix, dir=os.path.dirname(os.path.dirname(recycle_bin())))


def kept_history_folders():
    """The prefix's %LOCALAPPDATA%\\Plenvue\\History (one per user folder of the prefix)."""
    prefix = ENV.get("WINEPREFIX", os.path.expanduser("~/.wine"))
    return glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Local", "Plenvue", "History"))


def kept_history_folder():
    """Where Plenvue keeps its history in this prefix (made by the first start if missing)."""
    found = kept_history_folders()
    if found:
        return found[0]
    prefix = ENV.get("WINEPREFIX", os.path.expanduser("~/.wine"))
    users = [u for u in glob.glob(os.path.join(prefix, "drive_c", "users", "*")) if not u.endswith("Public")]
    return os.path.join(users[0], "AppData", "Local", "Plenvue", "History")


def clear_kept_history():
    for folder in kept_history_folders():
        shutil.rmtree(folder, ignore_errors=True)


def disable_auto_save():
    """Auto-save is on at a first start and would write every capture beside the program;
    tests that want it switch it on themselves."""
    wine_reg("add", REG_KEY, "/v", "Set Auto Save When Startup", "/d", "0", "/f")


CMD_ZOOM_ACTUAL = 1838
WM_KEYDOWN, VK_HOME = 0x100, 0x24


def show_actual_size():
    """The canvas at 100 % from the picture's top-left corner, as Ctrl+1 and Home give it (a
    picture larger than the window opens fitted)."""
    probe("command", CMD_ZOOM_ACTUAL)
    probe("post", WM_KEYDOWN, VK_HOME, 0)
    wait_for(lambda: probe("status", 2) in ("100 %", ""), 10, 0.1)
    time.sleep(0.3)  # the posted Home and the repaint after it


def screenshot(path):
    need("import")
    subprocess.run(["import", "-window", "root", path], env=ENV, check=False)


class Plenvue:
    """One running Plenvue, started from a copy of the build folder when asked."""

    def __init__(self, exe=EXE, args=()):
        self.exe = exe
        self.args = list(args)
        self.proc = None

    def start(self, wait_window=True):
        self.proc = subprocess.Popen(["wine", self.exe] + self.args, env=ENV, cwd=os.path.dirname(self.exe),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if wait_window:
            hwnd = wait_for(lambda: int(probe("main") or "0", 16), timeout=40)
            if not hwnd:
                raise AssertionError("Plenvue's main window did not appear (%s)" % self._start_state())
            wait_for(lambda: probe("visible") == "1", timeout=10)
        return self

    def _start_state(self):
        """What a start that showed no main window left: the process and any dialog it shows."""
        code = self.proc.poll()
        state = "the process is still running" if code is None else "the process ended with %d" % code
        box = probe("find", "#32770", "-")
        if box in ("", "00000000"):
            return state + "; no dialog"
        title = probe("text", box)
        return "%s; dialog %r: %s" % (state, title, " | ".join(probe("dialog", title).splitlines()))

    def exited(self, timeout=15):
        try:
            self.proc.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self.proc and self.proc.poll() is None:
            # File > Exit: closing the window may only hide it in the notification area.
            probe("command", EXIT_COMMAND)
            if not self.exited(10):
                self.proc.kill()
                self.proc.wait(5)
        self.proc = None


class PlenvueTestCase(unittest.TestCase):
    """Starts from an empty settings key and leaves no Plenvue running."""

    def setUp(self):
        wine_reg("delete", REG_KEY, "/f")
        disable_auto_save()
        # Each test starts with an empty history: the kept history outlives a run.
        clear_kept_history()
        # Every capture goes to the clipboard: an earlier test's picture must not reach this one's
        # canvas through the clipboard monitor at start.
        probe("clearclip")
        self.apps = []
        self.helpers = []

    def tearDown(self):
        for app in self.apps:
            app.stop()
        for h in self.helpers:
            if h.poll() is None:
                h.kill()
                h.wait(5)
        # A Plenvue a killed helper started (a /tray start, a hand-over) can outlive it; the next
        # test's start would hand its command line to it and exit.
        for _ in range(3):
            if not int(probe("main") or "0", 16):
                break
            probe("command", EXIT_COMMAND)
            wait_for(lambda: not int(probe("main") or "0", 16), 10)

    def assertEqual(self, first, second, msg=None):
        # A mismatch of two large pixel lists would have difflib work for many minutes on its
        # report: say where they first differ instead.
        if isinstance(first, list) and isinstance(second, list) and first != second and \
                len(repr(first)) + len(repr(second)) > 20000:
            rows = [i for i, (a, b) in enumerate(zip(first, second)) if a != b]
            where = "row %d: %r != %r" % (rows[0], first[rows[0]][:40], second[rows[0]][:40]) if rows else \
                "lengths %d != %d" % (len(first), len(second))
            self.fail((msg + ": " if msg else "") + "large lists differ, first at " + where)
        super().assertEqual(first, second, msg)

    def launch(self, exe=EXE, wait_window=True, args=()):
        app = Plenvue(exe, args)
        self.apps.append(app)
        return app.start(wait_window)

    def pattern_window(self, x, y, w, h):
        """A window painted with four known colours and black columns every 10 pixels."""
        p = subprocess.Popen(["wine", PROBE, "pattern", str(x), str(y), str(w), str(h)], env=ENV,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(p)
        wait_for(lambda: int(probe("find", "PvProbePattern", "-"), 16), timeout=20)
        time.sleep(0.5)
        return p

    def pixels(self, x, y, w, h):
        rows = probe("pixels", x, y, w, h).splitlines()
        return [r.split() for r in rows]

    def private_copy(self):
        """A copy of the program folder, for tests that change files beside the program."""
        d = tempfile.mkdtemp(prefix="plenvue-e2e-")
        for name in ("Plenvue.exe", "Ravelin.dll"):
            if os.path.exists(os.path.join(BIN_DIR, name)):
                shutil.copy(os.path.join(BIN_DIR, name), d)
        if os.path.isdir(os.path.join(BIN_DIR, "Language")):
            shutil.copytree(os.path.join(BIN_DIR, "Language"), os.path.join(d, "Language"))
        self.addCleanup(shutil.rmtree, d, True)
        return os.path.join(d, "Plenvue.exe")


def main():
    need("wine", "xdotool")  # every test drives Plenvue through these
    result = unittest.main(verbosity=2, exit=False).result
    if result.wasSuccessful():
        sys.exit(0)
    # A machine busy with other work can make Wine miss a wait once: a failed test runs once more,
    # and one that then passes is named in the output ("passed on a second run") rather than hidden.
    again, names = unittest.TestSuite(), []
    for test, _ in result.failures + result.errors:
        name = getattr(test, "_testMethodName", None)
        if not isinstance(test, unittest.TestCase) or not name:
            sys.exit(1)  # a class or module set-up that failed: nothing to run again
        again.addTest(type(test)(name))
        names.append("%s.%s" % (type(test).__name__, name))
    print("\n== running the %d failed test(s) once more" % again.countTestCases(), file=sys.stderr)
    second = unittest.TextTestRunner(verbosity=2).run(again)
    if not second.wasSuccessful():
        sys.exit(1)
    for name in names:
        print("PASSED ON A SECOND RUN: " + name, file=sys.stderr)
    sys.exit(0)
