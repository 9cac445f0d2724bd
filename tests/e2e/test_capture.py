"""Captures through the Tools menu as a user makes them, checked on the canvas."""
import time

from plenvue_e2e import PlenvueTestCase, choose_tools_menu_entry, main, probe, wait_for

RED, GREEN, BLUE, BLACK = "FF0000", "00FF00", "0000FF", "000000"


class CaptureTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        self.pattern_window(20, 120, 200, 100)
        self.launch()
        # Keep Plenvue clear of the pattern so both stay visible afterwards.
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)

    def capture_from_tools_menu(self, mnemonic):
        choose_tools_menu_entry(mnemonic)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 15),
                        "status: " + probe("status"))

    def test_full_screen_from_tools_menu_shows_screen_on_canvas(self):
        self.capture_from_tools_menu("f")
        self.assertEqual(probe("status"), "Capture Image Success1024*768")
        self.assertEqual(probe("caption"), "Korvane Plenvue--NewFile")
        left, top, _, _ = map(int, probe("childrect", "PlenvueCanvas").split())
        # Screen pixel (x, y) of the capture shows at canvas (x, y).
        seen = self.pixels(left + 25, top + 125, 20, 1)[0]
        expected = self.pixels(25, 125, 20, 1)[0]
        self.assertEqual(seen, expected)
        self.assertIn(RED, seen)
        self.assertIn(BLACK, seen)
        # Clear Canvas leaves the canvas colour (white by default) where the picture was.
        probe("command", 1873)
        self.assertTrue(wait_for(lambda: set(self.pixels(left + 25, top + 125, 20, 1)[0]) == {"FFFFFF"}, 5))

    def test_repeat_last_as_first_capture_takes_full_screen(self):
        self.capture_from_tools_menu("e")
        self.assertEqual(probe("status"), "Capture Image Success1024*768")


if __name__ == "__main__":
    main()
