"""Region selection and window picking driven with the real mouse, checked on the canvas."""
import os
import shutil
import subprocess
import tempfile
import time

from plenvue_e2e import ENV, PROBE, PlenvueTestCase, choose_tools_menu_entry, main, need, probe, screenshot, wait_for, \
    xdotool

RED, GREEN, BLACK = "FF0000", "00FF00", "000000"
PATTERN = (20, 120, 200, 100)  # red top-left quadrant, black columns at x = 20, 30, ...


def xdotool_location():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=ENV, check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"])


class SelectionTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        self.pattern_window(*PATTERN)
        self.launch()
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)

    def open_region_screen(self):
        choose_tools_menu_entry("r")
        shown = wait_for(lambda: not self.region_screen_gone(), 15)
        self.assertTrue(shown, "region screen did not appear")
        time.sleep(0.5)
        self.status_before = probe("status")
        self.assertFalse(self.status_before.startswith("Capture Image Success"))

    def drag(self, x1, y1, x2, y2):
        """Press at (x1, y1), move in two steps, release at (x2, y2)."""
        xdotool("mousemove", x1 - 5, y1 - 5)
        time.sleep(0.2)
        xdotool("mousemove", x1, y1)
        time.sleep(0.2)
        xdotool("mousedown", 1)
        time.sleep(0.2)
        xdotool("mousemove", (x1 + x2) // 2, (y1 + y2) // 2)
        time.sleep(0.2)
        xdotool("mousemove", x2, y2)
        time.sleep(0.2)
        xdotool("mouseup", 1)

    def x_screenshot_pixels(self, x, y, w, h):
        """The X screen's pixels (import -window root), as rows of RRGGBB."""
        need("import", "convert")
        d = tempfile.mkdtemp(prefix="plenvue-region-")
        self.addCleanup(shutil.rmtree, d, True)
        shot = os.path.join(d, "root.png")
        screenshot(shot)
        out = subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", "-depth", "8",
                              "rgb:-"], env=ENV, check=True, stdout=subprocess.PIPE).stdout
        self.assertEqual(len(out), w * h * 3)
        return [[out[(r * w + c) * 3:(r * w + c) * 3 + 3].hex().upper() for c in range(w)] for r in range(h)]

    def canvas_pixels(self, w, h):
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        return self.pixels(left, top, w, h)

    def captured(self, size):
        ok = wait_for(lambda: probe("status") == "Capture Image Success" + size, 15)
        self.assertTrue(ok, "status: " + probe("status"))

    def assert_nothing_captured(self):
        """A cancelled selection is no capture: status and caption as they were, window in front."""
        time.sleep(0.5)
        self.assertEqual(probe("status"), self.status_before)
        self.assertEqual(probe("caption"), "Korvane Plenvue")
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10), "main window not active")

    def region_screen_gone(self):
        hwnd = probe("find", "PlenvueFullScreen", "-")
        return not int(hwnd, 16) or probe("visible", "0x" + hwnd) != "1"

    def check_exact_region(self, press, release):
        # Pressed or released on the black columns x = 30 and x = 90: the left one is the
        # region's first column, the right one lies just past its end.
        xdotool("mousemove", 600, 50)  # the cross-hair and the pointer's panels clear of the region
        self.open_region_screen()
        expected = self.x_screenshot_pixels(30, 130, 60, 40)  # the frozen screen is the real one
        self.drag(*press, *release)
        self.captured("60*40")
        canvas = self.canvas_pixels(60, 40)
        self.assertEqual(canvas, expected)
        self.assertEqual([canvas[0][0], canvas[0][1], canvas[0][59], canvas[39][0]], [BLACK, RED, RED, BLACK])

    def test_drag_down_and_right_captures_from_the_pressed_to_the_released_pixel(self):
        self.check_exact_region((30, 130), (90, 170))
        # Repeat Last Capture takes the same rectangle from the live screen.
        probe("clearclip")
        choose_tools_menu_entry("e")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.captured("60*40")
        self.assertEqual(self.canvas_pixels(60, 40), self.x_screenshot_pixels(30, 130, 60, 40))

    def test_drag_up_and_left_captures_the_same_rectangle(self):
        self.check_exact_region((90, 170), (30, 130))

    def test_click_without_a_drag_ends_the_selection_with_nothing_captured(self):
        self.open_region_screen()
        self.drag(300, 150, 302, 151)  # within the drag threshold: a click, over no window
        self.assertTrue(wait_for(self.region_screen_gone, 10), "the selection did not end")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        # The too-small message would have held the screen open until answered.
        self.assertFalse(probe("dialog", "Plenvue"))
        self.assert_nothing_captured()

    def test_right_click_during_drag_closes_without_a_picture(self):
        self.open_region_screen()
        xdotool("mousemove", 60, 140)
        time.sleep(0.2)
        xdotool("mousemove", 61, 141, "mousedown", 1)
        time.sleep(0.2)
        xdotool("mousemove", 90, 170)
        time.sleep(0.2)
        xdotool("click", 3)
        xdotool("mouseup", 1)
        self.assertTrue(wait_for(self.region_screen_gone, 10))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assert_nothing_captured()

    def test_one_pixel_high_region_is_too_small(self):
        self.open_region_screen()
        self.drag(100, 150, 140, 151)
        box = wait_for(lambda: probe("dialog", "Plenvue"), 10)
        self.assertIn("The region you selected is too small!", box or "")
        probe("click", "Plenvue", 1)
        self.assertTrue(wait_for(self.region_screen_gone, 10))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assert_nothing_captured()

    def check_snapped_pattern(self):
        self.captured("200*100")
        self.assertEqual(self.canvas_pixels(200, 100), self.x_screenshot_pixels(*PATTERN))

    def point_at_pattern(self):
        xdotool("mousemove", 97, 147)
        time.sleep(0.2)
        xdotool("mousemove", 100, 150)
        # The window under the pointer is outlined: its edge columns 20 to 22 are inverted (seen on
        # a row clear of the cross-hair's line at y = 150).
        outlined = wait_for(lambda: self.pixels(20, 160, 4, 1) == [["FFFFFF", "00FFFF", "00FFFF", "FF0000"]], 8, 0.1)
        self.assertTrue(outlined, "no outline: " + probe("pixels", 20, 160, 4, 1))

    def test_click_takes_the_outlined_window(self):
        self.open_region_screen()
        self.point_at_pattern()
        xdotool("click", 1)
        self.check_snapped_pattern()

    def test_enter_takes_the_outlined_window(self):
        self.open_region_screen()
        self.point_at_pattern()
        xdotool("key", "Return")
        self.check_snapped_pattern()

    def test_arrow_keys_move_the_pointer_and_the_free_corner_by_one_or_ten(self):
        xdotool("mousemove", 600, 50)
        self.open_region_screen()
        expected = self.x_screenshot_pixels(30, 130, 60, 40)
        xdotool("mousemove", 25, 127)
        time.sleep(0.2)
        for key in ("Right",) * 5 + ("shift+Down", "Up", "Up", "Up", "Up", "Up", "Up", "Up"):
            xdotool("key", key)
        self.assertTrue(wait_for(lambda: xdotool_location() == (30, 130), 5), xdotool_location())
        xdotool("mousedown", 1)
        time.sleep(0.2)
        xdotool("mousemove", 80, 160)
        time.sleep(0.2)
        for key in ("shift+Right", "shift+Down"):
            xdotool("key", key)
        self.assertTrue(wait_for(lambda: xdotool_location() == (90, 170), 5), xdotool_location())
        xdotool("mouseup", 1)
        self.captured("60*40")
        self.assertEqual(self.canvas_pixels(60, 40), expected)

    def test_hint_and_magnifier_show_while_selecting(self):
        xdotool("mousemove", 900, 400)  # the cross-hair's lines clear of the hint
        self.open_region_screen()
        xdotool("mousemove", 45, 140)
        time.sleep(0.5)
        # The hint: white text on black, centred at the top of the screen.
        top = self.x_screenshot_pixels(200, 8, 624, 24)
        self.assertGreater(sum(row.count("FFFFFF") for row in top), 50, "no hint line")
        # The magnifier below the coordinates: the red pixels around the pointer, enlarged, and
        # the black columns at x = 40 and 50 as stripes six pixels wide.
        panel = self.x_screenshot_pixels(45 + 16, 140 + 16, 100, 150)
        self.assertEqual(panel[1][2], "FFFFE1")
        reds = sum(row.count(RED) for row in panel)
        blacks = [c for c in range(100) if sum(1 for row in panel if row[c] == BLACK) > 60]
        self.assertGreater(reds, 1000)
        self.assertGreaterEqual(len(blacks), 6, "no enlarged black columns")
        xdotool("key", "Escape")
        self.assertTrue(wait_for(self.region_screen_gone, 10))

    def test_right_click_before_a_drag_closes_without_a_picture(self):
        self.open_region_screen()
        xdotool("mousemove", 60, 140)
        time.sleep(0.2)
        xdotool("mousemove", 61, 141, "click", 3)
        self.assertTrue(wait_for(self.region_screen_gone, 10))
        self.assert_nothing_captured()

    def test_press_drag_release_captures_the_band_and_shows_its_size(self):
        self.open_region_screen()
        xdotool("mousemove", 55, 130)
        time.sleep(0.2)
        xdotool("mousedown", 1)
        time.sleep(0.2)
        xdotool("mousemove", 70, 145)
        time.sleep(0.2)
        xdotool("mousemove", 85, 160)
        time.sleep(0.5)
        # The size label beside the pointer: a light box below and right of it.
        self.assertEqual(self.pixels(85 + 16 + 2, 160 + 16 + 1, 1, 1)[0][0], "FFFFE1")
        xdotool("mouseup", 1)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 15),
                        "status: " + probe("status"))
        self.assertEqual(probe("status"), "Capture Image Success30*30")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10), "main window not active")
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        self.assertEqual(self.pixels(left, top, 30, 30), self.pixels(55, 130, 30, 30))

    def test_escape_cancels_without_a_picture(self):
        self.open_region_screen()
        xdotool("mousemove", 60, 140)
        time.sleep(0.2)
        xdotool("mousedown", 1)
        time.sleep(0.2)
        xdotool("mousemove", 120, 190)
        time.sleep(0.2)
        xdotool("key", "Escape")
        xdotool("mouseup", 1)
        self.assertTrue(wait_for(self.region_screen_gone, 10))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assert_nothing_captured()

    def test_another_window_taking_the_foreground_cancels(self):
        self.open_region_screen()
        xdotool("mousemove", 60, 140)
        time.sleep(0.2)
        # Another program's new window comes to the front, as a message or a task switch would.
        other = subprocess.Popen(["wine", PROBE, "titled", "500", "100", "240", "160", "4f74686572"], env=ENV,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(other)
        self.assertTrue(wait_for(lambda: int(probe("find", "PvProbeTitled", "-"), 16), 20))
        self.assertTrue(wait_for(self.region_screen_gone, 10), "the selection stayed up behind another window")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        time.sleep(0.5)
        self.assertEqual(probe("status"), self.status_before)
        self.assertEqual(probe("caption"), "Korvane Plenvue")


class WindowPickTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        self.pattern_window(*PATTERN)

    def open_picker(self, exe=None):
        if exe:
            self.launch(exe)
        else:
            self.launch()
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)
        choose_tools_menu_entry("w")
        time.sleep(1.5)

    def test_release_over_another_applications_window_captures_it(self):
        self.open_picker()
        xdotool("mousemove", 100, 150)
        time.sleep(1)
        xdotool("click", 1)
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success200*100", 15),
                        "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        self.assertEqual(self.pixels(left, top + 10, 200, 1), self.pixels(20, 130, 200, 1))
        self.assertEqual(self.pixels(left + 1, top + 60, 1, 1)[0][0], "0000FF")

    def test_missing_library_says_so_and_closes_without_a_picture(self):
        exe = self.private_copy()
        os.remove(os.path.join(os.path.dirname(exe), "Ravelin.dll"))
        self.open_picker(exe)
        box = wait_for(lambda: probe("dialog", "Plenvue"), 10)
        self.assertIn("Ravelin.dll could not be loaded", box or "")
        probe("click", "Plenvue", 1)
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assertFalse(probe("status").startswith("Capture Image Success"), probe("status"))
        self.assertEqual(probe("caption"), "Korvane Plenvue")


if __name__ == "__main__":
    main()
