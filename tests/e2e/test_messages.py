"""Raw window messages of the main window: hot keys during a modal dialog and the notification
icon's menu."""
import time

from plenvue_e2e import PlenvueTestCase, main, menus, probe, wait_for, wine_reg, REG_KEY, xdotool

READY = "Plenvue Is Ready"
CAPTURE_IDS = list(range(1861, 1867))


class MessagesTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        # A bitmap left on the clipboard by an earlier test would replace the ready text.
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")

    def test_hot_key_while_the_about_box_is_open_does_not_capture(self):
        self.launch()
        self.assertEqual(probe("status"), READY)
        probe("command", 1926)  # Help > About
        self.assertTrue(wait_for(lambda: probe("dialog", "About Plenvue"), 15), "no About box")
        box = int(probe("find", "#32770", "About Plenvue"), 16)
        left, top, right, _ = map(int, probe("rect", "0x%x" % box).split())
        xdotool("mousemove", (left + right) // 2, top + 10, "click", 1)
        time.sleep(0.5)
        xdotool("key", "ctrl+alt+0")
        time.sleep(2)
        self.assertEqual(probe("status"), READY)
        self.assertEqual(probe("visible"), "1")  # a capture would have hidden the window
        probe("click", "About Plenvue", 1)
        self.assertTrue(wait_for(lambda: probe("find", "#32770", "About Plenvue") == "00000000", 10))
        # Once the box is closed the same key captures again.
        left, top, _, _ = map(int, probe("rect").split())
        xdotool("mousemove", left + 200, top + 10, "click", 1)
        time.sleep(0.5)
        xdotool("key", "ctrl+alt+0")
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 15),
                        "status: " + probe("status"))

    def test_right_click_on_the_notification_icon_pops_up_the_capture_menu(self):
        self.launch()
        probe("post", 2025, 0, 517)  # the icon's callback with right button up
        popup = wait_for(lambda: int(probe("find", "#32768", "-"), 16), 10)
        self.assertTrue(popup, "no popup menu")
        self.assertEqual(probe("visible", "0x%x" % popup), "1")
        # The popup is the system menu; Wine keeps menus private to their process, so it is read there.
        ids = [item.id for item in menus()["system"]]
        self.assertEqual([i for i in ids if i in CAPTURE_IDS], CAPTURE_IDS, ids)
        xdotool("key", "Escape")
        self.assertTrue(wait_for(lambda: probe("find", "#32768", "-") == "00000000"
                                 or probe("visible", "0x" + probe("find", "#32768", "-")) != "1", 10),
                        "the menu stayed open")
        self.assertEqual(probe("status"), READY)


if __name__ == "__main__":
    main()
