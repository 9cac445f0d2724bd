"""Region selection and window picking driven with the real mouse, checked on the canvas."""
import os
import time

from plenvue_e2e import PlenvueTestCase, choose_tools_menu_entry, main, probe, wait_for, xdotool

RED, GREEN, BLACK = "FF0000", "00FF00", "000000"
PATTERN = (20, 120, 200, 100)  # red top-left quadrant, black columns at x = 20, 30, ...


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
        xdotool("mousemove", x1 - 5, y1 - 5)
        time.sleep(0.2)
        xdotool("mousemove", x1, y1)
        time.sleep(0.2)
        xdotool("click", 1)
        time.sleep(0.2)
        xdotool("mousemove", (x1 + x2) // 2, (y1 + y2) // 2)
        time.sleep(0.2)
        xdotool("mousemove", x2, y2)
        time.sleep(0.2)
        xdotool("click", 1)

    def assert_nothing_captured(self):
        """A cancelled selection is no capture: status and caption as they were, window in front."""
        time.sleep(0.5)
        self.assertEqual(probe("status"), self.status_before)
        self.assertEqual(probe("caption"), "Korvane Plenvue")
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10), "main window not active")

    def region_screen_gone(self):
        hwnd = probe("find", "PlenvueFullScreen", "-")
        return not int(hwnd, 16) or probe("visible", "0x" + hwnd) != "1"

    def test_drag_up_and_left_captures_exactly_the_inside_of_the_box(self):
        self.open_region_screen()
        # Anchor (85, 160), corner (55, 130): inside of the box is (56, 131), 29 x 29.
        self.drag(85, 160, 55, 130)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 15),
                        "status: " + probe("status"))
        self.assertEqual(probe("status"), "Capture Image Success29*29")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        canvas = self.pixels(left, top, 29, 29)
        screen = self.pixels(56, 131, 29, 29)
        self.assertEqual(canvas, screen)
        # No inverted band in the picture: columns x = 60, 70, 80 black, the rest red.
        self.assertEqual(canvas[0][4], BLACK)
        self.assertEqual(canvas[0][0], RED)
        self.assertEqual(canvas[28][28], RED)

    def test_right_click_during_drag_closes_without_a_picture(self):
        self.open_region_screen()
        xdotool("mousemove", 60, 140)
        time.sleep(0.2)
        xdotool("mousemove", 61, 141, "click", 1)
        time.sleep(0.2)
        xdotool("mousemove", 90, 170)
        time.sleep(0.2)
        xdotool("click", 3)
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
        self.assertEqual(probe("status"), "Capture Image Success29*29")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10), "main window not active")
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        self.assertEqual(self.pixels(left, top, 29, 29), self.pixels(56, 131, 29, 29))

    def test_escape_cancels_without_a_picture(self):
        self.open_region_screen()
        xdotool("mousemove", 60, 140)
        time.sleep(0.2)
        xdotool("click", 1)
        time.sleep(0.2)
        xdotool("mousemove", 120, 190)
        time.sleep(0.2)
        xdotool("key", "Escape")
        self.assertTrue(wait_for(self.region_screen_gone, 10))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assert_nothing_captured()


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
