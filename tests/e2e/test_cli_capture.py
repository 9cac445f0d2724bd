"""plenvue-cli.exe capture under Wine: every mode against known windows and regions, checked
against an X screenshot, and the contract scripts rely on (exit status, standard output only for
the result, nothing written on a cancel or an error)."""
import json
import os
import shutil
import struct
import subprocess
import tempfile
import time

from plenvue_e2e import (BIN_DIR, ENV, PROBE, REG_KEY, PlenvueTestCase, main, need, need_native_cli, probe,
                         wait_for, wine_reg, xdotool)

SOURCE_DIR = os.environ.get("PLENVUE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "../.."))
NATIVE_CLI = os.path.join(SOURCE_DIR, "build/native/plenvue-cli")
CLI = os.path.join(BIN_DIR, "plenvue-cli.exe")
PATTERN = (20, 120, 200, 100)
TITLE = "\u041e\u043a\u043d\u043e \u65e5\u672c pattern"  # Cyrillic and CJK


def win_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_bmp(path):
    """(width, height, rows of (r, g, b) top to bottom) of a 24-bit BMP."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:2] == b"BM", path
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    assert bits == 24, (path, bits)
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(abs(height)):
        src = height - 1 - y if height > 0 else y
        line = data[offset + src * stride: offset + src * stride + width * 3]
        rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, width * 3, 3)])
    return width, abs(height), rows


class CliCaptureTest(PlenvueTestCase):
    @classmethod
    def setUpClass(cls):
        need("import", "convert")
        need_native_cli(NATIVE_CLI)

    def setUp(self):
        super().setUp()
        self.dir = tempfile.mkdtemp(prefix="plenvue-cli-capture-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        # Auto-save goes into this test's folder, never beside the program.
        wine_reg("add", REG_KEY, "/v", "SavePath", "/d", win_path(self.dir), "/f")

    def run_cli(self, *args, timeout=90):
        """(exit status, stdout bytes, stderr text); output through files, never a pipe Wine inherits."""
        out_path, err_path = os.path.join(self.dir, "stdout.bin"), os.path.join(self.dir, "stderr.txt")
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            rc = subprocess.run(["wine", CLI, "capture"] + list(args), stdout=out, stderr=err, env=ENV,
                                timeout=timeout).returncode
        with open(out_path, "rb") as o, open(err_path, "rb") as e:
            return rc, o.read(), e.read().decode("utf-8", "replace")

    def start_cli(self, *args):
        out = open(os.path.join(self.dir, "async-out.bin"), "wb")
        err = open(os.path.join(self.dir, "async-err.txt"), "wb")
        p = subprocess.Popen(["wine", CLI, "capture"] + list(args), stdout=out, stderr=err, env=ENV)
        self.helpers.append(p)
        self.addCleanup(out.close)
        self.addCleanup(err.close)
        return p

    def screen_part(self, left, top, width, height):
        shot = os.path.join(self.dir, "x.png")
        crop = os.path.join(self.dir, "x-crop.bmp")
        subprocess.run(["import", "-window", "root", shot], env=ENV, check=True)
        subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (width, height, left, top), "+repage",
                        "-type", "TrueColor", "BMP3:" + crop], check=True)
        return read_bmp(crop)[2]

    def assert_matches_screen(self, bmp, left, top):
        width, height, rows = read_bmp(bmp)
        self.assertEqual(rows, self.screen_part(left, top, width, height))
        return width, height, rows

    def titled_window(self, x, y, w, h, title=TITLE):
        p = subprocess.Popen(["wine", PROBE, "titled", str(x), str(y), str(w), str(h), title.encode("utf-8").hex()], env=ENV,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(p)
        wait_for(lambda: int(probe("find", "PvProbeTitled", "-"), 16), timeout=20)
        time.sleep(1)
        return p

    def assert_failed_quietly(self, expected, rc, out, err, path=None):
        self.assertEqual(rc, expected, err)
        self.assertEqual(out, b"")
        self.assertTrue(err.startswith("plenvue-cli: "), err)
        if path:
            self.assertFalse(os.path.exists(path))

    def test_screen_region_and_monitor_match_the_x_screenshot(self):
        self.pattern_window(*PATTERN)
        screen = os.path.join(self.dir, "screen.bmp")
        rc, out, err = self.run_cli("screen", "--out", win_path(screen))
        self.assertEqual(rc, 0, err)
        self.assertEqual(out.decode("utf-8"), win_path(screen) + "\n")
        self.assertEqual(err, "")
        self.assertEqual(self.assert_matches_screen(screen, 0, 0)[:2], (1024, 768))

        region = os.path.join(self.dir, "region.bmp")
        rc, out, err = self.run_cli("region", "20,120,200,100", "--out", win_path(region))
        self.assertEqual(rc, 0, err)
        _, _, rows = self.assert_matches_screen(region, 20, 120)
        self.assertEqual(rows[0][0], (0, 0, 0))      # the grid column at x = 0
        self.assertEqual(rows[10][5], (255, 0, 0))   # the red quadrant
        self.assertEqual(rows[90][155], (255, 255, 0))

        rc, out, err = self.run_cli("monitor", "1", "--json", "--format", "bmp", "--out",
                                    win_path(os.path.join(self.dir, "m1")))
        self.assertEqual(rc, 0, err)
        record = json.loads(out.decode("utf-8"))
        self.assertEqual((record["width"], record["height"], record["left"], record["top"], record["monitor"]),
                         (1024, 768, 0, 0, 1))
        self.assertEqual(record["format"], "bmp")
        self.assert_matches_screen(os.path.join(self.dir, "m1"), 0, 0)

    def test_window_by_unicode_title_with_frame_or_client_and_the_active_window(self):
        self.titled_window(300, 200, 240, 160)
        frame = os.path.join(self.dir, "frame.bmp")
        rc, out, err = self.run_cli("window", TITLE, "--json", "--out", win_path(frame))
        self.assertEqual(rc, 0, err)
        f = json.loads(out.decode("utf-8"))
        self.assertEqual(f["path"], win_path(frame))
        self.assertEqual((f["width"], f["height"], f["left"], f["top"]), (240, 160, 300, 200))
        self.assert_matches_screen(frame, 300, 200)

        client = os.path.join(self.dir, "client.bmp")
        rc, out, err = self.run_cli("window", "\u65e5\u672c", "--match", "contains", "--client", "--json",
                                    "--out", win_path(client))
        self.assertEqual(rc, 0, err)
        c = json.loads(out.decode("utf-8"))
        self.assertLess(c["width"], 240)
        self.assertLess(c["height"], 160)
        self.assertGreaterEqual(c["left"], 300)
        self.assertGreater(c["top"], 200)  # below the caption
        _, _, rows = self.assert_matches_screen(client, c["left"], c["top"])
        self.assertEqual(rows[0][0], (0, 0, 0))
        self.assertEqual(rows[5][5], (255, 0, 0))

        active = os.path.join(self.dir, "active.bmp")
        rc, out, err = self.run_cli("active", "--json", "--out", win_path(active))
        self.assertEqual(rc, 0, err)
        a = json.loads(out.decode("utf-8"))
        self.assertEqual((a["width"], a["height"], a["left"], a["top"]), (240, 160, 300, 200))
        self.assert_matches_screen(active, 300, 200)

    def test_interactive_region_and_pick(self):
        self.pattern_window(*PATTERN)
        out = os.path.join(self.dir, "drag.bmp")
        p = self.start_cli("region", "--out", win_path(out))
        self.assertTrue(wait_for(lambda: int(probe("find", "PlenvueFullScreen", "-"), 16), 20),
                        "the region screen did not appear")
        time.sleep(1)
        for x, y in ((50, 125), (55, 130)):
            xdotool("mousemove", x, y)
            time.sleep(0.3)
        xdotool("mousedown", 1)
        time.sleep(0.3)
        xdotool("mousemove", 70, 145)
        time.sleep(0.3)
        xdotool("mousemove", 85, 160)
        time.sleep(0.3)
        xdotool("mouseup", 1)
        self.assertEqual(p.wait(30), 0)
        self.assertEqual(read_bmp(out)[:2], (30, 30))
        self.assert_matches_screen(out, 55, 130)

        picked = os.path.join(self.dir, "pick.bmp")
        p = self.start_cli("pick", "--out", win_path(picked))
        self.assertTrue(wait_for(lambda: int(probe("find", "PlenvueSnapWindow", "-"), 16), 20),
                        "the window picker did not appear")
        time.sleep(1)
        xdotool("mousemove", 97, 147)
        time.sleep(0.3)
        xdotool("mousemove", 100, 150)
        time.sleep(1)
        xdotool("click", 1)
        self.assertEqual(p.wait(30), 0)
        self.assertEqual(read_bmp(picked)[:2], (200, 100))
        time.sleep(0.5)
        self.assert_matches_screen(picked, 20, 120)

    def test_escape_in_region_selection_exits_one_and_writes_nothing(self):
        out = os.path.join(self.dir, "never.png")
        p = self.start_cli("region", "--out", win_path(out))
        self.assertTrue(wait_for(lambda: int(probe("find", "PlenvueFullScreen", "-"), 16), 20))
        time.sleep(1)
        xdotool("mousemove", 60, 140)
        time.sleep(0.2)
        xdotool("mousedown", 1)
        time.sleep(0.2)
        xdotool("mousemove", 120, 190)
        time.sleep(0.2)
        xdotool("key", "Escape")
        xdotool("mouseup", 1)
        self.assertEqual(p.wait(30), 1)
        self.assertFalse(os.path.exists(out))
        with open(os.path.join(self.dir, "async-out.bin"), "rb") as f:
            self.assertEqual(f.read(), b"")
        with open(os.path.join(self.dir, "async-err.txt"), "rb") as f:
            self.assertIn(b"cancelled", f.read())

    def test_usage_errors_exit_two_and_failures_exit_three_writing_nothing(self):
        target = os.path.join(self.dir, "none.png")
        for args in (["desktop"], ["screen", "--colour"], ["monitor", "x"], ["region", "0,0,0,5"],
                     ["region", "1,2,3"], ["screen", "--delay", "61"], ["screen", "--quality", "101"],
                     ["screen", "--out"], ["active", "--area", "primary"]):
            with self.subTest(args=args):
                rc, out, err = self.run_cli(*(args + ["--out", win_path(target)] if "--out" not in args else args))
                self.assert_failed_quietly(2, rc, out, err, target)
        blocker = os.path.join(self.dir, "file")
        with open(blocker, "w") as f:
            f.write("x")
        for args in (["window", "No Such Window Title 7"], ["region", "5000,5000,10,10"], ["monitor", "2"]):
            with self.subTest(args=args):
                rc, out, err = self.run_cli(*(args + ["--out", win_path(target)]))
                self.assert_failed_quietly(3, rc, out, err, target)
        # A folder that cannot be written: its parent is a file.
        unwritable = os.path.join(blocker, "x.png")
        rc, out, err = self.run_cli("screen", "--out", win_path(unwritable))
        self.assert_failed_quietly(3, rc, out, err)
        self.assertIn("could not be written", err)
        self.assertEqual(sorted(os.listdir(self.dir)), ["file", "stderr.txt", "stdout.bin"])

    def test_messages_come_from_the_users_language_package(self):
        wine_reg("add", REG_KEY, "/v", "LanguagePackage", "/d", win_path(os.path.join(BIN_DIR, "Language", "German.dll")),
                 "/f")
        rc, out, err = self.run_cli("region", "5000,5000,10,10")
        self.assert_failed_quietly(3, rc, out, err)
        self.assertIn("liegt auf keinem Bildschirm", err)

    def test_picture_on_standard_output_is_a_valid_png_and_nothing_else(self):
        self.pattern_window(*PATTERN)
        rc, out, err = self.run_cli("region", "20,120,200,100", "--out", "-", "--format", "png")
        self.assertEqual(rc, 0, err)
        self.assertEqual(out[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(out[-8:-4], b"IEND")
        self.assertEqual(struct.unpack(">II", out[16:24]), (200, 100))
        png = os.path.join(self.dir, "stdout.png")
        with open(png, "wb") as f:
            f.write(out)
        bmp = os.path.join(self.dir, "stdout.bmp")
        subprocess.run([NATIVE_CLI, "convert", png, bmp], check=True)
        self.assertEqual(read_bmp(bmp)[2], self.screen_part(20, 120, 200, 100))
        self.assertEqual(sorted(os.listdir(self.dir)), ["stderr.txt", "stdout.bin", "stdout.bmp", "stdout.png",
                                                         "x-crop.bmp", "x.png"])

    def test_auto_save_names_take_the_next_free_number(self):
        wine_reg("add", REG_KEY, "/v", "PrefixFileName", "/d", "shot-", "/f")
        wine_reg("add", REG_KEY, "/v", "SuffixFileName", "/d", "-x", "/f")
        wine_reg("add", REG_KEY, "/v", "Auto Save Format", "/d", "PNG", "/f")
        with open(os.path.join(self.dir, "shot-1-x.png"), "wb") as f:
            f.write(b"taken")
        names = []
        for _ in range(3):
            rc, out, err = self.run_cli("region", "0,0,16,16")
            self.assertEqual(rc, 0, err)
            names.append(out.decode("utf-8"))
        self.assertEqual(names, [win_path(os.path.join(self.dir, n)) + "\n"
                                 for n in ("shot-0-x.png", "shot-2-x.png", "shot-3-x.png")])
        with open(os.path.join(self.dir, "shot-1-x.png"), "rb") as f:
            self.assertEqual(f.read(), b"taken")
        with open(os.path.join(self.dir, "shot-3-x.png"), "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    def test_unicode_and_long_output_paths(self):
        folder = os.path.join(self.dir, "\u0421\u043d\u0438\u043c\u043e\u043a \u65e5\u672c", "d" * 120, "e" * 120)
        os.makedirs(folder)
        path = os.path.join(folder, "\u0448\u043e\u0442.jpeg")
        self.assertGreater(len(win_path(path)), 260)
        rc, out, err = self.run_cli("region", "0,0,32,24", "--out", win_path(path), "--quality", "95", "--json")
        self.assertEqual(rc, 0, err)
        record = json.loads(out.decode("utf-8"))
        self.assertEqual(record["path"], win_path(path))
        self.assertEqual(record["format"], "jpeg")
        with open(path, "rb") as f:
            self.assertEqual(f.read(3), b"\xff\xd8\xff")

    def test_delay_waits_before_capturing(self):
        out = os.path.join(self.dir, "later.bmp")
        started = time.time()
        p = self.start_cli("region", "20,120,200,100", "--delay", "4", "--out", win_path(out))
        time.sleep(0.5)
        self.pattern_window(*PATTERN)  # appears during the delay
        self.assertEqual(p.wait(60), 0)
        self.assertGreaterEqual(time.time() - started, 4)
        self.assertEqual(read_bmp(out)[2][10][5], (255, 0, 0))

    def test_clipboard_copy_is_marked_so_a_running_plenvue_leaves_it_alone(self):
        self.launch()  # its clipboard monitor is on at a first start
        status = probe("status")
        rc, out, err = self.run_cli("region", "0,0,20,10", "--clipboard", "--out",
                                    win_path(os.path.join(self.dir, "c.png")))
        self.assertEqual(rc, 0, err)
        self.assertEqual(probe("clipinfo").split(), ["dib", "png", "own"])
        time.sleep(3)
        self.assertEqual(probe("status"), status)
        self.assertEqual(probe("caption"), "Korvane Plenvue")


if __name__ == "__main__":
    main()
