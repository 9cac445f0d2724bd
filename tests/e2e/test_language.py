"""Language packages as a user meets them: the chooser on a first start without any package, and
switching to German in the Options dialog."""
import os
import shutil
import time

from plenvue_e2e import REG_KEY, PlenvueTestCase, main, probe, wait_for, wine_reg, xdotool

CHOOSER = "Choose Language Package"


def reg_get(name):
    for line in wine_reg("query", REG_KEY, "/v", name).splitlines():
        line = line.strip()
        if line.startswith(name + " "):
            parts = line[len(name):].split(None, 1)
            return parts[1] if len(parts) == 2 else ""
    return None


def no_window(title):
    return probe("find", "#32770", title) == "00000000"


def click_center(title, control_id):
    left, top, right, bottom = map(int, probe("itemrect", title, control_id).split())
    xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
    time.sleep(0.5)


class LanguageTest(PlenvueTestCase):
    def choose_german_in_options(self):
        probe("command", 1875)  # Tools > Option
        self.assertTrue(wait_for(lambda: not no_window("Options"), 15), "no Options dialog")
        probe("click", "Options", 1115)  # the language button
        self.assertTrue(wait_for(lambda: not no_window(CHOOSER), 15), "no language chooser")
        # A real choice: into the list, the entry's first letter, Enter for OK.
        click_center(CHOOSER, 1003)
        xdotool("key", "d")
        time.sleep(0.5)
        xdotool("key", "Return")
        self.assertTrue(wait_for(lambda: no_window(CHOOSER), 10), "the chooser stayed open")

    def test_first_start_without_any_package_shows_chooser_and_cancel_ends_before_main_window(self):
        exe = self.private_copy()
        shutil.rmtree(os.path.join(os.path.dirname(exe), "Language"))
        app = self.launch(exe, wait_window=False)
        self.assertTrue(wait_for(lambda: not no_window(CHOOSER), 40), "no chooser")
        text = probe("dialog", CHOOSER)
        self.assertIn("This maybe the first time you run Plenvue. Please choose the language package.", text)
        self.assertIn("The language(s) in the list available:", text)
        self.assertEqual(probe("main"), "00000000")
        probe("click", CHOOSER, 2)  # Cancel
        question = wait_for(lambda: probe("dialog", "Plenvue"), 15)
        self.assertIn("This operation will EXIT Plenvue.", question)
        self.assertEqual(probe("main"), "00000000")
        probe("click", "Plenvue", 1)  # OK: leave
        self.assertTrue(app.exited(20), "Plenvue did not end")
        self.assertIsNone(reg_get("LanguagePackage"), "the start-up choice wrote a setting")

    def test_stored_package_gone_and_no_default_asks_in_mode_one_and_keeps_the_setting(self):
        exe = self.private_copy()
        shutil.rmtree(os.path.join(os.path.dirname(exe), "Language"))
        wine_reg("add", REG_KEY, "/v", "LanguagePackage", "/d", "C:\\gone\\Klingon.dll", "/f")
        app = self.launch(exe, wait_window=False)
        self.assertTrue(wait_for(lambda: not no_window(CHOOSER), 40), "no chooser")
        self.assertIn("Plenvue cannot find the language package. please resetting.", probe("dialog", CHOOSER))
        probe("click", CHOOSER, 2)
        self.assertTrue(wait_for(lambda: probe("dialog", "Plenvue"), 15))
        probe("click", "Plenvue", 2)  # Cancel in the question: the chooser stays
        self.assertTrue(wait_for(lambda: no_window("Plenvue"), 10))
        self.assertFalse(no_window(CHOOSER))
        self.assertIsNone(app.proc.poll())
        probe("click", CHOOSER, 2)
        self.assertTrue(wait_for(lambda: probe("dialog", "Plenvue"), 15))
        probe("click", "Plenvue", 1)
        self.assertTrue(app.exited(20), "Plenvue did not end")
        self.assertEqual(reg_get("LanguagePackage"), "C:\\gone\\Klingon.dll")

    def test_german_in_options_relabels_at_once_and_survives_restart(self):
        app = self.launch()
        self.assertEqual(probe("status"), "Plenvue Is Ready")
        self.choose_german_in_options()
        # The Options dialog itself and the main window's status text changed while it is open.
        self.assertTrue(wait_for(lambda: not no_window("Optionen"), 10), "Options not relabelled")
        self.assertEqual(probe("status"), "Plenvue ist bereit")
        self.assertIn("|1115|Deutsch", probe("dialog", "Optionen"))
        self.assertTrue(reg_get("LanguagePackage").endswith("German.dll"))
        # Cancel keeps the new language.
        probe("click", "Optionen", 2)
        self.assertTrue(wait_for(lambda: no_window("Optionen"), 10))
        self.assertEqual(probe("status"), "Plenvue ist bereit")
        self.assertTrue(reg_get("LanguagePackage").endswith("German.dll"))
        # The menu bar answers to the German mnemonic of "&Datei".
        left, top, _, _ = map(int, probe("rect").split())
        xdotool("mousemove", left + 200, top + 10, "click", 1)
        time.sleep(0.5)
        xdotool("key", "alt+d")
        self.assertTrue(wait_for(lambda: probe("find", "#32768", "-") != "00000000", 10), "Datei did not open")
        xdotool("key", "Escape")
        xdotool("key", "Escape")
        time.sleep(0.5)
        app.stop()
        self.launch()
        self.assertTrue(wait_for(lambda: probe("status") == "Plenvue ist bereit", 10), probe("status"))


if __name__ == "__main__":
    main()
