"""Two monitors side by side for the end-to-end tests: an Xorg server with the dummy video driver
(Xvfb cannot place screens), a 1024x768 primary and an 800x600 monitor right of it or left of it.

The server gets a generated configuration and a display number of its own; the run's Wine prefix
is moved to it (its wineserver is ended before and after, so every Wine process on the way sees
one display only). Everything started here is ended by PID.
"""
import os
import subprocess
import tempfile
import time

import plenvue_e2e
from plenvue_e2e import ENV, need

PRIMARY = (1024, 768)
SECOND = (800, 600)

_CONFIG = """Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Monitor"
  Identifier "M0"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Option "PreferredMode" "{pw}x{ph}"
  Option "Primary" "true"
EndSection
Section "Monitor"
  Identifier "M1"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Option "PreferredMode" "{sw}x{sh}"
  Option "Enable" "true"
  Option "{side}" "M0"
EndSection
Section "Device"
  Identifier "D0"
  Driver "dummy"
  VideoRam 65536
  Option "Monitor-DUMMY0" "M0"
  Option "Monitor-DUMMY1" "M1"
EndSection
Section "Screen"
  Identifier "S0"
  Device "D0"
  Monitor "M0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual {vw} {vh}
  EndSubSection
EndSection
"""


def _free_display():
    wanted = os.environ.get("PLENVUE_XORG_DISPLAY")
    if wanted:
        return int(wanted)
    for n in range(150, 200):
        if not os.path.exists("/tmp/.X11-unix/X%d" % n) and not os.path.exists("/tmp/.X%d-lock" % n):
            return n
    raise AssertionError("no free X display number for the two-monitor server")


class TwoMonitors:
    """side: "RightOf" or "LeftOf" (the second monitor's place beside the primary)."""

    def __init__(self, side):
        self.side = side
        self.proc = None
        self.folder = None
        self.saved_display = None

    @property
    def desktop(self):
        """The virtual desktop in Windows coordinates: left, top, width, height."""
        width = PRIMARY[0] + SECOND[0]
        left = -SECOND[0] if self.side == "LeftOf" else 0
        return left, 0, width, max(PRIMARY[1], SECOND[1])

    @property
    def second(self):
        """The second monitor in Windows coordinates: left, top, right, bottom."""
        left = -SECOND[0] if self.side == "LeftOf" else PRIMARY[0]
        return left, 0, left + SECOND[0], SECOND[1]

    def start(self):
        need("Xorg", "xrandr", "wineserver")
        self.folder = tempfile.mkdtemp(prefix="plenvue-xorg-")
        config = os.path.join(self.folder, "xorg.conf")
        _, _, vw, vh = self.desktop
        with open(config, "w") as f:
            f.write(_CONFIG.format(pw=PRIMARY[0], ph=PRIMARY[1], sw=SECOND[0], sh=SECOND[1], side=self.side,
                                   vw=vw, vh=vh))
        n = _free_display()
        self.display = ":%d" % n
        self._wineserver_kill()
        self.proc = subprocess.Popen(["Xorg", self.display, "-config", config, "-noreset", "-nolisten", "tcp",
                                      "-logfile", os.path.join(self.folder, "xorg.log"), "-novtswitch",
                                      "-sharevts"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 20
        while not os.path.exists("/tmp/.X11-unix/X%d" % n):
            if self.proc.poll() is not None or time.time() > deadline:
                log = open(os.path.join(self.folder, "xorg.log"), errors="replace").read()[-2000:]
                self.stop()
                raise AssertionError("Xorg with the dummy driver did not start:\n" + log)
            time.sleep(0.2)
        time.sleep(2)
        self.saved_display = ENV.get("DISPLAY")
        ENV["DISPLAY"] = self.display
        return self

    def monitors(self):
        """The monitors Wine reports: [(left, top, right, bottom, primary)]."""
        rows = plenvue_e2e.probe("monitors").splitlines()
        return [tuple(int(v) for v in r.split()) for r in rows if r.strip()]

    def stop(self):
        self._wineserver_kill()
        if self.saved_display is not None:
            ENV["DISPLAY"] = self.saved_display
            self.saved_display = None
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)
        self.proc = None
        if self.folder:
            subprocess.run(["rm", "-rf", self.folder], check=False)
            self.folder = None
        # The next tests find the server of the run's display kept up, as the run left it.
        subprocess.run(["wineserver", "-p"], env=ENV, check=False, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    @staticmethod
    def _wineserver_kill():
        subprocess.run(["wineserver", "-k"], env=ENV, check=False, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        time.sleep(1)


def root_pixels(display, path):
    """The X root window (every monitor) as rows of RRGGBB strings, through ImageMagick."""
    need("import", "convert")
    png = path + ".png"
    subprocess.run(["import", "-display", display, "-window", "root", png], env=ENV, check=True)
    return read_picture(png)


def read_picture(path):
    """Any picture ImageMagick reads, as rows of RRGGBB strings."""
    need("convert", "identify")
    size = subprocess.run(["identify", "-format", "%w %h", path], env=ENV, check=True,
                          capture_output=True).stdout.decode().split()
    w, h = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], env=ENV, check=True,
                         capture_output=True).stdout
    return [["%02X%02X%02X" % tuple(raw[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]
