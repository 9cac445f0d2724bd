"""Settings as a user meets them: hot keys from the registry, the canvas colour across a restart,
and the clipboard monitor."""
import os
import subprocess
import tempfile
import time

from plenvue_e2e import (ENV, PROBE, REG_KEY, PlenvueTestCase, disable_auto_save, main, menu_item, need, probe, show_actual_size,
                         wait_for, wine_reg, xdotool)

BLUE, WHITE, RED, GREEN = "0000FF", "FFFFFF", "FF0000", "00FF00"


def reg_set(name, text):
    wine_reg("add", REG_KEY, "/v", name, "/d", text, "/f")


def reg_get(name):
    for line in wine_reg("query", REG_KEY, "/v", name).splitlines():
        line = line.strip()
        if line.startswith(name + " "):
            parts = line[len(name):].split(None, 1)  # type, then the text
            return parts[1] if len(parts) == 2 else ""
    return None


class SettingsTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        # A bitmap left on the clipboard by an earlier test would land on the canvas at start.
        reg_set("Set Clipboard Monitor Active", "0")

    def tearDown(self):
        # Leave an empty clipboard: later tests start with the monitor on.
        if self.apps and self.apps[-1].proc and self.apps[-1].proc.poll() is None:
            probe("command", 1872)
            time.sleep(0.5)
        super().tearDown()

    def focus_plenvue(self):
        left, top, _, _ = map(int, probe("rect").split())
        xdotool("mousemove", left + 200, top + 10, "click", 1)
        time.sleep(0.5)

    def canvas_pixel(self, x, y):
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        return self.pixels(left + x, top + y, 1, 1)[0][0]

    def clipboard_bitmap(self, colour):
        d = tempfile.mkdtemp(prefix="plenvue-clip-")
        path = os.path.join(d, "clip.bmp")
        need("convert", "xclip")
        subprocess.run(["convert", "-size", "64x48", "xc:#" + colour, "BMP3:" + path], check=True)
        # xclip stays to serve the selection; it is ended with the test.
        p = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "image/bmp", "-i", path], env=ENV,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(p)
        time.sleep(1.0)

    def test_default_hot_key_ctrl_alt_0_captures_full_screen(self):
        self.launch()
        self.focus_plenvue()
        xdotool("key", "ctrl+alt+0")
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success1024*768", 15),
                        "status: " + probe("status"))
        self.assertEqual(probe("caption"), "Korvane Plenvue--NewFile")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))

    def test_first_start_names_the_default_hot_keys_in_the_capture_menu(self):
        self.launch()
        for i in range(6):
            text = menu_item(1861 + i).text
            self.assertTrue(text.endswith("\tCtrl+Alt+%d" % i), repr(text))

    def test_hot_key_held_by_another_program_is_reported_without_stopping_the_start(self):
        reg_set("Hotkey0Prefix", "6")
        reg_set("Hotkey0Value", "48")
        holder = subprocess.Popen(["wine", PROBE, "holdhotkey", "3", "48"], env=ENV,  # Ctrl+Alt+0
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.helpers.append(holder)
        self.assertEqual(holder.stdout.readline().strip(), "held")
        app = self.launch()  # the window appears without anything to answer
        self.assertIn(probe("find", "#32770", "-"), ("", "00000000"))
        self.assertEqual(probe("status"), "Ctrl+Alt+0 (Capture Full Screen) is used by another program")
        # The failed one shows no hot key in the menu; the others keep theirs; the wanted key stays stored.
        self.assertEqual(menu_item(1861).text.partition("\t")[2], "")
        self.assertTrue(menu_item(1862).text.endswith("\tCtrl+Alt+1"))
        self.assertEqual(reg_get("Hotkey0Value"), "48")
        self.assertEqual(reg_get("Hotkey0Prefix"), "6")
        # A click on the balloon opens the hot-key page, the held key marked.
        probe("post", 2025, 0, 0x405)  # NIN_BALLOONUSERCLICK
        box = wait_for(lambda: "Ctrl+Alt+0 (in use)" in probe("dialog", "Options") and probe("dialog", "Options"), 15)
        self.assertTrue(box, "no Options dialog with the key marked: " + probe("dialog", "Options"))
        self.assertIn("Ctrl+Alt+1", box)
        probe("click", "Options", 2)
        self.assertTrue(wait_for(lambda: probe("find", "#32770", "Options") == "00000000", 10))
        app.stop()
        self.apps.clear()
        # The other program lets it go: the next start registers it.
        holder.kill()
        holder.wait(10)
        self.launch()
        self.assertEqual(probe("status"), "Plenvue Is Ready")
        self.assertTrue(menu_item(1861).text.endswith("\tCtrl+Alt+0"))
        again = subprocess.run(["wine", PROBE, "holdhotkey", "3", "48"], env=ENV, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, timeout=60)
        self.assertEqual(again.stdout.strip(), "fail", "Plenvue does not hold the key")

    def test_stored_hot_key_replaces_the_default(self):
        reg_set("Hotkey0Prefix", "6")
        reg_set("Hotkey0Value", "81")  # Q
        self.launch()
        self.focus_plenvue()
        xdotool("key", "ctrl+alt+0")
        time.sleep(2)
        self.assertEqual(probe("status"), "Plenvue Is Ready")
        self.focus_plenvue()
        xdotool("key", "ctrl+alt+q")
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success1024*768", 15),
                        "status: " + probe("status"))

    def test_hot_key_taken_twice_is_reported_and_the_first_still_works(self):
        reg_set("Hotkey1Prefix", "6")
        reg_set("Hotkey1Value", "48")  # the same as full screen's default
        self.launch()
        self.assertIn(probe("find", "#32770", "-"), ("", "00000000"))
        self.assertEqual(probe("status"), "Ctrl+Alt+0 (Capture Region) is used by another program")
        self.assertEqual(reg_get("Hotkey1Value"), "48")
        self.focus_plenvue()
        xdotool("key", "ctrl+alt+0")
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success1024*768", 15),
                        "status: " + probe("status"))

    def test_stored_canvas_colour_paints_the_canvas(self):
        reg_set("ForeColor", "255")  # red as 0x00BBGGRR
        self.launch()
        self.assertTrue(wait_for(lambda: self.canvas_pixel(20, 20) == RED, 10), self.canvas_pixel(20, 20))

    def test_chosen_canvas_colour_is_stored_and_survives_a_restart(self):
        self.launch()
        self.assertEqual(self.canvas_pixel(20, 20), WHITE)
        probe("command", 1835)
        title = "Color"
        self.assertTrue(wait_for(lambda: probe("dialog", title), 15), "no colour dialog")
        for edit, value in ((706, "0"), (707, "255"), (708, "0")):
            probe("settext", title, edit, value)
        probe("click", title, 1)
        self.assertTrue(wait_for(lambda: reg_get("ForeColor") == "65280", 10), reg_get("ForeColor"))
        self.assertTrue(wait_for(lambda: self.canvas_pixel(20, 20) == GREEN, 10))
        self.apps[-1].stop()
        self.launch()
        self.assertTrue(wait_for(lambda: self.canvas_pixel(20, 20) == GREEN, 10), self.canvas_pixel(20, 20))

    def test_with_the_monitor_on_only_a_bitmap_copied_after_the_start_is_taken(self):
        wine_reg("delete", REG_KEY, "/f")  # a first start: the monitor is on
        disable_auto_save()
        # Already there at the start: copied before, so not taken again (one copy per sign-in).
        self.clipboard_bitmap(RED)
        self.launch()
        time.sleep(2)
        self.assertEqual(probe("status"), "Plenvue Is Ready")
        self.assertEqual(self.canvas_pixel(5, 5), WHITE)
        self.clipboard_bitmap(BLUE)
        self.assertTrue(wait_for(lambda: probe("status") == "Get picture from clipboard success", 15),
                        "status: " + probe("status"))
        self.assertEqual(probe("caption"), "Korvane Plenvue--NewFile")
        self.assertEqual(self.canvas_pixel(5, 5), BLUE)
        self.assertEqual(self.canvas_pixel(100, 100), WHITE)  # beyond the 64x48 picture

    def test_clipboard_monitor_switched_on_takes_what_is_copied_from_then_on(self):
        self.clipboard_bitmap(RED)
        self.launch()
        time.sleep(2)
        self.assertEqual(probe("status"), "Plenvue Is Ready")
        self.assertEqual(self.canvas_pixel(5, 5), WHITE)
        probe("command", 1868)
        time.sleep(1)
        self.assertEqual(self.canvas_pixel(5, 5), WHITE)  # what was there before stays there
        self.clipboard_bitmap(BLUE)
        self.assertTrue(wait_for(lambda: probe("status") == "Get picture from clipboard success", 15),
                        "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: self.canvas_pixel(5, 5) == BLUE, 5))
        # Off again: a new bitmap is left alone; the switch was not stored.
        probe("command", 1868)
        time.sleep(1)
        probe("command", 1873)  # clear the canvas
        time.sleep(0.5)
        self.clipboard_bitmap(RED)
        time.sleep(2)
        self.assertNotEqual(self.canvas_pixel(5, 5), RED)
        self.assertEqual(reg_get("Set Clipboard Monitor Active"), "0")


if __name__ == "__main__":
    main()
