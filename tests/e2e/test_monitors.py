"""Captures on two monitors side by side (Xorg with the dummy driver), the second monitor right
of the primary and left of it (negative desktop coordinates)."""
import os
import tempfile
import time
import unittest

from plenvue_e2e import (PlenvueTestCase, REG_KEY, choose_tools_menu_entry, main, probe, wait_for, wine_reg,
                         xdotool)
from two_monitors import TwoMonitors, read_picture, root_pixels

RED = "FF0000"


class TwoMonitorCase(PlenvueTestCase):
    SIDE = None

    @classmethod
    def setUpClass(cls):
        cls.layout = TwoMonitors(cls.SIDE).start()

    @classmethod
    def tearDownClass(cls):
        cls.layout.stop()

    def setUp(self):
        super().setUp()
        self.saves = tempfile.mkdtemp(prefix="plenvue-monitors-")
        self.addCleanup(lambda: __import__("shutil").rmtree(self.saves, True))
        # Settings that save into a folder gone after the test stay behind for nobody.
        self.addCleanup(wine_reg, "delete", REG_KEY, "/f")
        # Every capture saved as a BMP into a folder of ours, to compare with the X screen.
        wine_reg("add", REG_KEY, "/v", "SavePath", "/d", "Z:" + self.saves.replace("/", "\\") + "\\", "/f")
        wine_reg("add", REG_KEY, "/v", "Set Auto Save When Startup", "/d", "1", "/f")
        wine_reg("add", REG_KEY, "/v", "Auto Save Format", "/d", "BMP", "/f")

    def x_of(self, windows_x):
        """X root coordinates of a Windows desktop x (Wine keeps the primary at 0, 0)."""
        return windows_x - self.layout.desktop[0]

    def saved_picture(self):
        found = wait_for(lambda: [f for f in os.listdir(self.saves) if f.lower().endswith(".bmp")], 15)
        self.assertTrue(found, "no capture was saved")
        time.sleep(0.5)
        return read_picture(os.path.join(self.saves, sorted(found)[-1]))

    def start_on_primary(self):
        self.launch()
        probe("move", 380, 400, 600, 360)
        time.sleep(0.5)

    def test_wine_sees_both_monitors(self):
        monitors = self.layout.monitors()
        self.assertIn((0, 0, 1024, 768, 1), monitors)
        self.assertIn(self.layout.second + (0,), monitors)

    def test_full_screen_takes_the_whole_desktop_with_the_gap_black(self):
        second = self.layout.second
        self.pattern_window(second[0] + 100, 100, 200, 100)
        self.start_on_primary()
        choose_tools_menu_entry("f")
        left, top, width, height = self.layout.desktop
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success%d*%d" % (width, height), 20),
                        "status: " + probe("status"))
        picture = self.saved_picture()
        self.assertEqual((len(picture[0]), len(picture)), (width, height))
        # The gap under the smaller monitor is black.
        gx = second[0] - left + 10
        self.assertEqual(picture[height - 5][gx], "000000")
        # Everything but Plenvue's own window (back after the capture) equals the X screen.
        screen = root_pixels(self.layout.display, os.path.join(self.saves, "root"))
        # Left out: Plenvue's window and the system tray, which shows Plenvue's icon as it changes.
        moving = [tuple(map(int, probe("rect").split()))]
        tray = int(probe("find", "-", "Wine System Tray"), 16)
        if tray:
            moving.append(tuple(map(int, probe("rect", "0x%x" % tray).split())))
        differ = []
        for y in range(0, height, 7):
            for x in range(0, width, 7):
                if any(ml - left <= x < mr - left and mt - top <= y < mb - top for ml, mt, mr, mb in moving):
                    continue
                if (second[2] - left <= x or x < second[0] - left or y < second[3]) and picture[y][x] != screen[y][x]:
                    differ.append((x, y, picture[y][x], screen[y][x]))
        self.assertEqual(differ, [], "pixels differ from the desktop")
        # The pattern window on the second monitor is in the picture at its place.
        self.assertEqual(picture[130][second[0] - left + 100 + 5], RED)

    def select_region(self, away, press, via, release, size):
        """Drags from `press` over `via` to `release` (desktop coordinates) on the frozen screen and
        checks that the saved capture is, pixel for pixel, the rectangle between the two corners as
        the frozen screen showed it with the pointer at `away`."""
        self.start_on_primary()
        choose_tools_menu_entry("r")
        self.assertTrue(wait_for(lambda: int(probe("find", "PlenvueFullScreen", "-"), 16), 15))
        time.sleep(1)
        # The frozen screen as X shows it, with the cross-hair's lines clear of the region: the band
        # drawn later lies on the region's first row and column, which the picture holds unmarked.
        xdotool("mousemove", self.x_of(away[0]), away[1])
        time.sleep(0.5)
        screen = root_pixels(self.layout.display, os.path.join(self.saves, "frozen"))
        xdotool("mousemove", self.x_of(press[0]), press[1])
        time.sleep(0.3)
        xdotool("mousedown", 1)
        time.sleep(0.3)
        xdotool("mousemove", self.x_of(via[0]), via[1])
        time.sleep(0.3)
        xdotool("mousemove", self.x_of(release[0]), release[1])
        time.sleep(0.5)
        xdotool("mouseup", 1)
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success" + size, 20),
                        "status: " + probe("status"))
        left, right = sorted((press[0], release[0]))
        top, bottom = sorted((press[1], release[1]))
        inside = [row[self.x_of(left):self.x_of(right)] for row in screen[top:bottom]]
        self.assertEqual(self.saved_picture(), inside)

    def test_region_across_the_monitor_boundary(self):
        # From 60 pixels inside one monitor to 60 pixels inside the other, pressed, dragged, released.
        boundary = 0 if self.SIDE == "LeftOf" else 1024
        self.select_region((boundary - 200, 400), (boundary - 60, 200), (boundary, 250), (boundary + 60, 300),
                           "120*100")

    def test_region_dragged_up_and_left_on_the_second_monitor(self):
        # Pressed at the lower right, released at the upper left: the same rectangle as the other
        # way round, at negative desktop coordinates when the monitor is left of the primary.
        left = self.layout.second[0]
        self.pattern_window(left + 100, 150, 200, 100)
        self.select_region((left + 600, 500), (left + 250, 230), (left + 210, 200), (left + 120, 160), "130*70")

    def test_window_picked_on_the_second_monitor(self):
        second = self.layout.second
        self.pattern_window(second[0] + 100, 150, 200, 100)
        self.start_on_primary()
        choose_tools_menu_entry("w")
        time.sleep(1.5)
        xdotool("mousemove", self.x_of(second[0] + 180), 200)
        time.sleep(1)
        xdotool("click", 1)
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success200*100", 20),
                        "status: " + probe("status"))
        picture = self.saved_picture()
        self.assertEqual(picture[10][5], RED)

    def test_full_screen_takes_the_monitor_under_the_pointer_when_so_set(self):
        wine_reg("add", REG_KEY, "/v", "Full Screen Area", "/d", "1", "/f")
        self.start_on_primary()
        second = self.layout.second
        # The hot key: the pointer stays where it is, on the second monitor.
        xdotool("mousemove", self.x_of(second[0] + 300), 300)
        time.sleep(0.5)
        xdotool("key", "ctrl+alt+0")
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success800*600", 20),
                        "status: " + probe("status"))


class SecondMonitorRightOfThePrimary(TwoMonitorCase):
    SIDE = "RightOf"


class SecondMonitorLeftOfThePrimary(TwoMonitorCase):
    SIDE = "LeftOf"


del TwoMonitorCase

if __name__ == "__main__":
    main()
