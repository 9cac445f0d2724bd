"""The Options dialog: what OK stores, and a hot key changed there."""
import time

from plenvue_e2e import REG_KEY, PlenvueTestCase, main, probe, wait_for, wine_reg, xdotool

NINE = ["BeepWhenSaving", "PrefixFileName", "SuffixFileName", "SavePath", "StartStatus",
        "Set Clipboard Monitor Active", "Set Auto Save When Startup", "Show History List", "History List Status"]


def reg_values():
    values = {}
    for line in wine_reg("query", REG_KEY).splitlines():
        # A value of one blank ends in that blank: keep it, only the line end goes.
        name, sep, text = line.rstrip("\r\n").strip(" ").partition("    REG_SZ    ")
        if not sep:
            name, sep, _ = line.strip().partition("    REG_SZ")
            text = " " if sep and line.rstrip("\r\n").endswith(" ") else ""
        if sep:
            values[name] = text
    return values


def no_window(title):
    return probe("find", "#32770", title) == "00000000"


class OptionsTest(PlenvueTestCase):
    def open_options(self):
        probe("command", 1875)
        self.assertTrue(wait_for(lambda: not no_window("Options"), 15), "no Options dialog")

    def focus_plenvue(self):
        left, top, _, _ = map(int, probe("rect").split())
        xdotool("mousemove", left + 200, top + 10, "click", 1)
        time.sleep(0.5)

    def test_ok_without_changes_writes_all_nine_values(self):
        wine_reg("delete", REG_KEY, "/f")  # a true first start: nothing stored yet
        self.launch()
        self.assertEqual({k: v for k, v in reg_values().items() if k in NINE}, {})
        self.open_options()
        probe("click", "Options", 1)
        self.assertTrue(wait_for(lambda: no_window("Options"), 10))
        values = reg_values()
        for name in NINE:
            self.assertIn(name, values)
        self.assertEqual(values["StartStatus"], " ")
        self.assertEqual(values["History List Status"], "PREVIEW")
        self.assertEqual(values["BeepWhenSaving"], "1")

    def test_new_hot_key_set_in_options_captures_and_is_stored(self):
        self.launch()
        self.open_options()
        probe("click", "Options", 1140)  # the full-screen capture's hot key button
        title = "Set Hotkey for Capture Full Screen"
        self.assertTrue(wait_for(lambda: not no_window(title), 15), "no hot key dialog")
        left, top, right, _ = map(int, probe("rect", probe("find", "#32770", title)).split())
        xdotool("mousemove", (left + right) // 2, top + 8, "click", 1)  # the dialog gets the keyboard
        time.sleep(0.5)
        left, top, right, bottom = map(int, probe("itemrect", title, 1002).split())
        xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
        time.sleep(0.3)
        xdotool("key", "ctrl+alt+q")
        time.sleep(0.5)
        probe("click", title, 1)
        self.assertTrue(wait_for(lambda: no_window(title), 10))
        self.assertIn("|1140|Ctrl+Alt+Q", probe("dialog", "Options"))
        values = reg_values()
        self.assertEqual(values.get("Hotkey0Prefix"), "6")
        self.assertEqual(values.get("Hotkey0Value"), "81")
        probe("click", "Options", 2)  # Cancel: the hot key stays
        self.assertTrue(wait_for(lambda: no_window("Options"), 10))
        self.focus_plenvue()
        xdotool("key", "ctrl+alt+q")
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success1024*768", 15),
                        "status: " + probe("status"))

    def test_hot_key_dialog_refuses_a_letter_alone_with_a_message(self):
        self.launch()
        self.open_options()
        probe("click", "Options", 1141)  # the region capture's hot key button
        title = "Set Hotkey for Capture Region"
        self.assertTrue(wait_for(lambda: not no_window(title), 15), "no hot key dialog")
        left, top, right, _ = map(int, probe("rect", probe("find", "#32770", title)).split())
        xdotool("mousemove", (left + right) // 2, top + 8, "click", 1)
        time.sleep(0.5)
        left, top, right, bottom = map(int, probe("itemrect", title, 1002).split())
        xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
        time.sleep(0.3)
        xdotool("key", "q")
        time.sleep(0.5)
        probe("click", title, 1)  # OK on Q alone
        self.assertTrue(wait_for(lambda: not no_window("Plenvue"), 10), "no refusal message")
        self.assertIn("Please add Ctrl or Alt to this hot key", probe("dialog", "Plenvue"))
        probe("click", "Plenvue", 1)  # OK
        self.assertTrue(wait_for(lambda: no_window("Plenvue"), 10))
        self.assertFalse(no_window(title), "the hot key dialog closed on a refused key")
        probe("click", title, 2)
        self.assertTrue(wait_for(lambda: no_window(title), 10))
        self.assertIn("|1141|Ctrl+Alt+1", probe("dialog", "Options"))
        self.assertNotIn("Hotkey1Prefix", reg_values())
        probe("click", "Options", 2)
        self.assertTrue(wait_for(lambda: no_window("Options"), 10))


if __name__ == "__main__":
    main()
