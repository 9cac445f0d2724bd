"""plenvue-cli.exe capture on two monitors (Xorg with the dummy driver), the second one left of the
primary: monitor numbers, negative desktop coordinates, the gap under the smaller monitor."""
import json
import os
import shutil
import subprocess
import tempfile

from plenvue_e2e import BIN_DIR, ENV, PlenvueTestCase, main
from two_monitors import TwoMonitors, read_picture, root_pixels

CLI = os.path.join(BIN_DIR, "plenvue-cli.exe")


class CliOnTwoMonitors(PlenvueTestCase):
    @classmethod
    def setUpClass(cls):
        cls.layout = TwoMonitors("LeftOf").start()

    @classmethod
    def tearDownClass(cls):
        cls.layout.stop()

    def setUp(self):
        super().setUp()
        self.dir = tempfile.mkdtemp(prefix="plenvue-cli-monitors-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def capture(self, name, *args):
        """(exit status, the JSON record or None, the picture's rows or None)."""
        path = os.path.join(self.dir, name + ".bmp")
        out_path = os.path.join(self.dir, name + ".out")
        with open(out_path, "wb") as out:
            rc = subprocess.run(["wine", CLI, "capture"] + list(args) +
                                ["--json", "--out", "Z:" + path.replace("/", "\\")],
                                stdout=out, stderr=subprocess.DEVNULL, env=ENV, timeout=90).returncode
        with open(out_path, "rb") as f:
            text = f.read().decode("utf-8")
        if rc != 0:
            self.assertEqual(text, "")
            self.assertFalse(os.path.exists(path))
            return rc, None, None
        return rc, json.loads(text), read_picture(path)

    def screen(self, left, top, width, height):
        """A part of the X root, in Windows desktop coordinates."""
        rows = root_pixels(self.layout.display, os.path.join(self.dir, "root"))
        x0 = left - self.layout.desktop[0]
        return [row[x0:x0 + width] for row in rows[top:top + height]]

    def test_monitors_by_number_with_negative_coordinates(self):
        rc, record, picture = self.capture("m2", "monitor", "2")
        self.assertEqual(rc, 0)
        self.assertEqual((record["left"], record["top"], record["width"], record["height"], record["monitor"]),
                         (-800, 0, 800, 600, 2))
        self.assertEqual(picture, self.screen(-800, 0, 800, 600))
        rc, record, _ = self.capture("m1", "monitor", "1")
        self.assertEqual((record["left"], record["width"], record["monitor"]), (0, 1024, 1))
        self.assertEqual(self.capture("m3", "monitor", "3")[0], 3)

    def test_region_across_the_boundary_and_one_in_the_gap(self):
        rc, record, picture = self.capture("across", "region", "-60,200,120,100")
        self.assertEqual(rc, 0)
        self.assertEqual((record["left"], record["top"], record["width"], record["height"]), (-60, 200, 120, 100))
        self.assertEqual(picture, self.screen(-60, 200, 120, 100))
        # Under the smaller monitor no monitor shows anything.
        self.assertEqual(self.capture("gap", "region", "-400,650,20,20")[0], 3)

    def test_screen_area_desktop_and_primary(self):
        rc, record, picture = self.capture("desktop", "screen", "--area", "desktop")
        self.assertEqual(rc, 0)
        self.assertEqual((record["left"], record["top"], record["width"], record["height"]), (-800, 0, 1824, 768))
        self.assertEqual(picture[700][100], "000000")  # the gap is black
        self.assertEqual([row[:800] for row in picture[:600]], self.screen(-800, 0, 800, 600))
        rc, record, _ = self.capture("primary", "screen", "--area", "primary")
        self.assertEqual((record["left"], record["width"], record["height"], record["monitor"]), (0, 1024, 768, 1))


if __name__ == "__main__":
    main()
