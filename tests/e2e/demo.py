"""Headless demonstration: Plenvue in a private display takes one full-screen capture through the
Tools menu; a screenshot of its main window showing the capture is written to the given path."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from plenvue_e2e import (ENV, PROBE, Plenvue, choose_tools_menu_entry, disable_auto_save, need, probe,  # noqa: E402
                         wait_for)


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "plenvue-demo.png")
    need("wine", "xdotool", "import")
    pattern = subprocess.Popen(["wine", PROBE, "pattern", "20", "120", "300", "200"], env=ENV,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    disable_auto_save()  # the demonstration leaves no capture file beside the program
    app = Plenvue().start()
    try:
        probe("move", 330, 200, 680, 520)
        time.sleep(0.5)
        choose_tools_menu_entry("f")
        wait_for(lambda: probe("status").startswith("Capture Image Success"), 15)
        time.sleep(1.0)
        left, top, right, bottom = map(int, probe("rect").split())
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{right - left}x{bottom - top}+{left}+{top}", "+repage", out], env=ENV, check=True)
        print("status bar: " + probe("status"))
        print("screenshot: " + out)
    finally:
        app.stop()
        pattern.kill()
        pattern.wait(5)


if __name__ == "__main__":
    main()
