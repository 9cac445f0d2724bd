"""Captures through the Tools menu as a user makes them, checked on the canvas."""
import subprocess
import time

from plenvue_e2e import (ENV, PROBE, REG_KEY, PlenvueTestCase, choose_tools_menu_entry, main, menus, open_menu, probe,
                         show_actual_size, wait_for, wine_reg, xdotool)

RED, GREEN, BLUE, BLACK = "FF0000", "00FF00", "0000FF", "000000"


class CaptureTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        # Whatever an earlier program left on the clipboard must not land on the canvas at start.
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")
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
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        # Screen pixel (x, y) of the capture shows at canvas (x, y).
        seen = self.pixels(left + 25, top + 125, 20, 1)[0]
        expected = self.pixels(25, 125, 20, 1)[0]
        self.assertEqual(seen, expected)
        self.assertIn(RED, seen)
        self.assertIn(BLACK, seen)
        # Clear Canvas leaves the canvas colour (white by default) where the picture was.
        probe("command", 1873)
        self.assertTrue(wait_for(lambda: set(self.pixels(left + 25, top + 125, 20, 1)[0]) == {"FFFFFF"}, 5))

    def image_menu_as_opened(self):
        """The Image menu's entries while the user has it open: (text, grayed) in order."""
        open_menu("i")
        items = menus()["menu"]
        xdotool("key", "Escape", "Escape")
        tops = [i for i, item in enumerate(items) if item.depth == 0]
        image = [i for i in tops if items[i].text == "&Image"][0]
        start = image + 1
        following = [i for i in tops if i > image]
        end = following[0] if following else len(items)
        return [(item.text, item.grayed) for item in items[start:end] if item.depth == 1 and item.text]

    def test_image_submenus_open_only_with_a_picture(self):
        before = self.image_menu_as_opened()
        self.assertTrue(before)
        # The submenus wait for a picture; the plain commands and Undo stay available.
        submenus = ("&Filters", "&Mirror", "&Color Depth")
        self.assertEqual([t for t, g in before if g], list(submenus), before)
        self.capture_from_tools_menu("f")
        after = self.image_menu_as_opened()
        self.assertTrue(all(not g for _, g in after), after)

    def test_repeat_last_as_first_capture_takes_full_screen(self):
        self.capture_from_tools_menu("e")
        self.assertEqual(probe("status"), "Capture Image Success1024*768")


class ActiveWindowFromOwnToolbarTest(PlenvueTestCase):
    def test_toolbar_takes_the_window_active_before_plenvue_not_the_tray(self):
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")
        p = subprocess.Popen(["wine", PROBE, "titled", "40", "300", "240", "160", "4f74686572"], env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(p)
        titled = wait_for(lambda: int(probe("find", "PvProbeTitled", "-"), 16), timeout=20)
        self.assertTrue(titled)
        time.sleep(1)
        self.launch()
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)
        # Through Wine's tray window (the notification area) back to Plenvue, as a user reaching
        # the toolbar from the icon does: the tray must not count as the window active before.
        xdotool("mousemove", 13, 32, "click", 1)
        time.sleep(0.5)
        xdotool("mousemove", 700, 600, "click", 1)
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10))
        left, top, right, bottom = map(int, probe("rect", "0x%x" % titled).split())
        probe("command", 8)  # the toolbar's Capture Active Window
        size = "%d*%d" % (right - left, bottom - top)
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success" + size, 15),
                        "status: %s, expected %s" % (probe("status"), size))


if __name__ == "__main__":
    main()
