"""Window picking: the outline while open, where a release picks, what rectangle it captures."""
import time

from plenvue_e2e import PlenvueTestCase, choose_tools_menu_entry, main, probe, show_actual_size, wait_for, xdotool

PICKER = "PlenvueSnapWindow"


class PickTest(PlenvueTestCase):
    def open_picker(self, pattern):
        self.pattern_window(*pattern)
        self.launch()
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)
        choose_tools_menu_entry("w")
        self.assertTrue(wait_for(self.picker_open, 15), "the window picker did not open")
        time.sleep(1)

    def picker_open(self):
        return int(probe("find", PICKER, "-"), 16) != 0

    def click_at(self, x, y):
        xdotool("mousemove", x - 3, y - 3)
        time.sleep(0.3)
        xdotool("mousemove", x, y)
        time.sleep(1)
        xdotool("click", 1)

    def picked(self, size):
        return wait_for(lambda: probe("status") == "Capture Image Success" + size, 15)

    def test_release_over_plenvues_own_window_does_not_pick(self):
        self.open_picker((20, 120, 200, 100))
        before = probe("status")
        self.click_at(700, 600)  # over the main window, which the picker keeps disabled
        time.sleep(2)
        self.assertTrue(self.picker_open(), "a release over Plenvue's own window closed the picker")
        self.assertEqual(probe("status"), before)
        self.click_at(100, 150)
        self.assertTrue(self.picked("200*100"), "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: not self.picker_open(), 10))
        # No outline in the picture: just inside the edge it is the window's own red.
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        self.assertEqual(self.pixels(left + 1, top + 1, 2, 1), [["FF0000", "FF0000"]])

    def test_window_partly_off_screen_is_captured_whole(self):
        # 30 rows above the screen and 76 columns beyond its right edge (the top-left corner holds
        # Wine's tray window): the capture keeps the real rectangle.
        self.open_picker((900, -30, 200, 100))
        self.click_at(950, 40)
        self.assertTrue(self.picked("200*100"), "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        # The visible part sits in the picture where the window has it, 30 rows down.
        self.assertEqual(self.pixels(left, top + 40, 120, 1), self.pixels(900, 10, 120, 1))


    def test_outline_inverts_the_edge_of_the_window_under_the_pointer(self):
        self.open_picker((20, 120, 200, 100))
        xdotool("mousemove", 100, 150)
        # The 3-pixel pen lies on the left edge x = 20: columns 19 to 21 are inverted while the
        # outline shows (black column 20 turns white, red 21 cyan); column 22 keeps its red.
        outlined = wait_for(lambda: self.pixels(20, 150, 3, 1) == [["FFFFFF", "00FFFF", "FF0000"]], 8, 0.05)
        self.assertTrue(outlined, "no outline seen: " + probe("pixels", 20, 150, 3, 1))
        self.click_at(100, 150)
        self.assertTrue(self.picked("200*100"), "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        # The pick waits for the outline to be wiped: the window's own colours are in the picture.
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        self.assertEqual(self.pixels(left, top + 30, 3, 1), [["000000", "FF0000", "FF0000"]])
        # And the screen is left as it was.
        self.assertEqual(self.pixels(20, 150, 3, 1), [["000000", "FF0000", "FF0000"]])

    def assert_cancelled(self, before):
        self.assertTrue(wait_for(lambda: not self.picker_open(), 10), "picking did not end")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10), "the main window did not come back")
        self.assertEqual(probe("status"), before)
        # No outline left behind: the window's edge has its own colours.
        self.assertTrue(wait_for(lambda: self.pixels(20, 150, 3, 1) == [["000000", "FF0000", "FF0000"]], 10),
                        probe("pixels", 20, 150, 3, 1))

    def test_escape_cancels_picking_and_brings_the_main_window_back(self):
        self.open_picker((20, 120, 200, 100))
        before = probe("status")
        xdotool("mousemove", 100, 150)
        time.sleep(1)
        xdotool("key", "Escape")
        self.assert_cancelled(before)

    def test_right_click_cancels_picking_and_never_reaches_the_window(self):
        self.open_picker((20, 120, 200, 100))
        before = probe("status")
        xdotool("mousemove", 100, 150)
        time.sleep(1)
        xdotool("click", 3)
        self.assert_cancelled(before)
        # The pattern window names a right button it was given in its title.
        self.assertEqual(probe("text", "0x" + probe("find", "PvProbePattern", "-")), "Pattern")


if __name__ == "__main__":
    main()
