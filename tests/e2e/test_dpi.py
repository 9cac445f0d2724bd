"""Plenvue on a display scaled to 150 and 200 %: the main window, its toolbar and the dialogs are
drawn larger, and a full-screen capture still has every pixel of the display.

Wine takes its DPI from the LogPixels value of the prefix, read by each process as it starts; the
value is set for one test and put back afterwards, so the other tests run at 96 DPI."""
import os
import time

from plenvue_e2e import PlenvueTestCase, main, probe, screenshot, wait_for, wine_reg

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SCREENSHOTS = os.path.join(os.environ.get("PLENVUE_BIN_DIR", "build/win32"), "screenshots")
ABOUT = 1926
CAPTURE_FULL_SCREEN = 6  # the toolbar's command


def rect(*args):
    left, top, right, bottom = map(int, probe(*args).split())
    return right - left, bottom - top


def scaled(length96, dpi):
    return (length96 * dpi + 48) // 96


class DpiTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        before = wine_reg("query", DESKTOP_KEY, "/v", "LogPixels")
        self.addCleanup(self.restore_dpi, "REG_DWORD" in before, before)

    def restore_dpi(self, had_value, before):
        if had_value:
            value = before.split("REG_DWORD")[1].split()[0]
            wine_reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(int(value, 16)), "/f")
        else:
            wine_reg("delete", DESKTOP_KEY, "/v", "LogPixels", "/f")

    def set_dpi(self, dpi):
        wine_reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
        self.assertEqual(probe("dpi"), str(dpi), "Wine did not take the DPI from LogPixels")

    def measure(self):
        """What the user sees of the main window: its size, the toolbar's buttons, rebar and status bar."""
        app = self.launch()
        time.sleep(1)
        sizes = {
            "window": rect("rect"),
            "button": tuple(map(int, probe("tbbutton").split())),
            "rebar": rect("childrect", "ReBarWindow32"),
            "status": rect("childrect", "msctls_statusbar32"),
        }
        return app, sizes

    def about_box_size(self):
        probe("command", ABOUT)
        about = wait_for(lambda: int(probe("find", "#32770", "-"), 16), 10)
        self.assertTrue(about, "the About box did not open")
        time.sleep(0.5)
        size = rect("rect", "0x%x" % about)
        return about, size

    def check_scaled(self, dpi, base):
        self.set_dpi(dpi)
        app, sizes = self.measure()
        os.makedirs(SCREENSHOTS, exist_ok=True)
        screenshot(os.path.join(SCREENSHOTS, "main-%d.png" % dpi))
        # Scaled, but never larger than the 1024 x 768 screen (1280 x 960 at 200 % would not fit).
        self.assertEqual(sizes["window"], (min(scaled(640, dpi), 1024), min(scaled(480, dpi), 768)), sizes)
        # Images of 24 or 32 pixels on the buttons, not the 16-pixel ones.
        image = 24 if dpi < 192 else 32
        self.assertGreaterEqual(sizes["button"][1], base["button"][1] + image - 16, sizes)
        self.assertGreaterEqual(sizes["button"][0], base["button"][0] + image - 16, sizes)
        self.assertGreaterEqual(sizes["rebar"][1], scaled(25, dpi) - 2, sizes)
        self.assertGreaterEqual(sizes["status"][1], scaled(base["status"][1], dpi) - 3, sizes)

        about, about_size = self.about_box_size()
        screenshot(os.path.join(SCREENSHOTS, "about-%d.png" % dpi))
        # The template's dialog units follow the font, which follows the DPI.
        self.assertGreaterEqual(about_size[0] * 96, base["about"][0] * (dpi - 16), (about_size, base["about"]))
        self.assertGreaterEqual(about_size[1] * 96, base["about"][1] * (dpi - 16), (about_size, base["about"]))
        probe("dismiss", "0x%x" % about)
        wait_for(lambda: not int(probe("find", "#32770", "-"), 16), 10)

        # The capture is of the display's pixels, not of a 96-DPI view of them.
        probe("command", CAPTURE_FULL_SCREEN)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 20), probe("status"))
        self.assertEqual(probe("status"), "Capture Image Success1024*768")
        wait_for(lambda: probe("visible") == "1", 10)
        time.sleep(0.5)
        screenshot(os.path.join(SCREENSHOTS, "capture-%d.png" % dpi))
        app.stop()

    def baseline(self):
        app, sizes = self.measure()
        _, sizes["about"] = self.about_box_size()
        about = int(probe("find", "#32770", "-"), 16)
        probe("dismiss", "0x%x" % about)
        wait_for(lambda: not int(probe("find", "#32770", "-"), 16), 10)
        app.stop()
        return sizes

    def test_at_96_dpi_the_window_keeps_its_design_sizes(self):
        self.set_dpi(96)
        app, sizes = self.measure()
        self.assertEqual(sizes["window"], (640, 480))
        self.assertEqual(probe("status"), "Plenvue Is Ready")
        app.stop()

    def test_at_144_dpi_window_toolbar_and_dialog_are_scaled_and_capture_is_full_size(self):
        self.set_dpi(96)
        base = self.baseline()
        self.check_scaled(144, base)

    def test_at_192_dpi_window_toolbar_and_dialog_are_scaled_and_capture_is_full_size(self):
        self.set_dpi(96)
        base = self.baseline()
        self.check_scaled(192, base)


if __name__ == "__main__":
    main()
