"""Start-up, the main window's toggles and minimising (a second start: test_second_start.py)."""
import time

from plenvue_e2e import REG_KEY, PlenvueTestCase, main, probe, wait_for, wine_reg, xdotool

WM_CLOSE, WM_LBUTTONUP, ICON_CALLBACK = 0x10, 0x202, 2025


class StartupTest(PlenvueTestCase):
    def test_view_toggles_hide_toolbar_and_status_bar(self):
        self.launch()
        self.assertEqual(probe("childvisible", "ReBarWindow32"), "1")
        probe("command", 1831)  # View > Tool Bar
        self.assertTrue(wait_for(lambda: probe("childvisible", "ReBarWindow32") == "0", 5))
        probe("command", 1832)  # View > Status Bar
        self.assertTrue(wait_for(lambda: probe("childvisible", "msctls_statusbar32") == "0", 5))
        probe("command", 1831)
        self.assertTrue(wait_for(lambda: probe("childvisible", "ReBarWindow32") == "1", 5))

    def test_minimise_hides_window(self):
        self.launch()
        probe("post", 0x112, 0xF020, 0)  # WM_SYSCOMMAND SC_MINIMIZE
        self.assertTrue(wait_for(lambda: probe("visible") == "0", 10))
        # A double click on the notification icon brings it back.
        probe("post", 2025, 0, 0x203)
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))

    def test_close_with_the_setting_on_keeps_running_in_the_notification_area(self):
        wine_reg("add", REG_KEY, "/v", "Close To Notification Area", "/d", "1", "/f")
        app = self.launch()
        probe("post", WM_CLOSE, 0, 0)
        self.assertTrue(wait_for(lambda: probe("visible") == "0", 10), "the window stayed")
        self.assertFalse(app.exited(2), "closing ended the program")
        probe("post", ICON_CALLBACK, 0, WM_LBUTTONUP)  # a click on the icon
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10), "the icon did not bring it back")
        probe("command", 1811)  # File > Exit
        self.assertTrue(app.exited(), "File > Exit did not end the program")

    def test_tray_start_hides_on_close_and_the_icon_menu_exit_ends(self):
        app = self.launch(args=["/tray"], wait_window=False)
        self.assertTrue(wait_for(lambda: int(probe("main") or "0", 16), 40), "no main window")
        self.assertEqual(probe("visible"), "0")
        probe("post", ICON_CALLBACK, 0, 0x203)  # double click
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        probe("post", WM_CLOSE, 0, 0)
        self.assertTrue(wait_for(lambda: probe("visible") == "0", 10), "the window stayed")
        self.assertFalse(app.exited(2), "closing ended the program")
        probe("syscommand", 1811)  # the icon menu's Exit
        self.assertTrue(app.exited(), "Exit did not end the program")

    def test_close_with_the_setting_off_ends_the_program(self):
        app = self.launch()
        probe("post", WM_CLOSE, 0, 0)
        self.assertTrue(app.exited(), "closing did not end the program")

    def test_about_box_shows_version_credit_and_addresses(self):
        self.launch()
        probe("command", 1926)  # Help > About
        box = wait_for(lambda: probe("dialog", "About Plenvue"), timeout=15)
        self.assertIn("|1002|Plenvue Version1.0.0", box)
        self.assertIn("|1003|Special Thanks to  Plenvue  ,the Localizer", box)
        self.assertIn("[mailto:", box)
        probe("click", "About Plenvue", 1)
        self.assertTrue(wait_for(lambda: probe("find", "#32770", "About Plenvue") == "00000000", 10))


if __name__ == "__main__":
    main()
