"""Help texts in the status line as a user meets them: walking the menu bar with the keyboard and
resting the pointer on a toolbar button; F1 where no program opens the help pages."""
import os
import re
import time

from plenvue_e2e import BIN_DIR, PlenvueTestCase, main, probe, wait_for, wine_reg, xdotool, REG_KEY

SOURCE_DIR = os.environ.get("PLENVUE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "../.."))


def english_texts():
    """The English package's items, as its source file holds them."""
    texts = {}
    with open(os.path.join(SOURCE_DIR, "lang", "English.rc"), encoding="cp1252") as f:
        for line in f:
            m = re.match(r'\s*(\d+),\s*"(.*)"\s*$', line)
            if m:
                texts[int(m.group(1))] = m.group(2).replace('""', '"')
    return texts


class StatusHelpTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        # A bitmap left on the clipboard by an earlier test would replace the ready text.
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")
        self.texts = english_texts()

    def focus(self):
        left, top, _, _ = map(int, probe("rect").split())
        xdotool("mousemove", left + 200, top + 10, "click", 1)
        time.sleep(0.5)

    def status_becomes(self, number):
        want = self.texts[number]
        got = wait_for(lambda: probe("status") == want, 10)
        self.assertTrue(got, "status %r, wanted item %d %r" % (probe("status"), number, want))

    def test_menu_titles_show_their_help_while_the_menu_bar_is_walked(self):
        self.launch()
        self.focus()
        xdotool("key", "F10")  # the menu bar, File selected, nothing opened
        self.status_becomes(1800)
        # Each menu keeps its help wherever it stands: File, Edit, View, Draw, Tools.
        for number in (12600, 1830, 12630, 1860):
            xdotool("key", "Right")
            self.status_becomes(number)
        xdotool("key", "Escape")
        time.sleep(0.5)
        xdotool("key", "Escape")
        time.sleep(0.5)
        # Opening the Image menu highlights its first entry, the Filters submenu title.
        xdotool("key", "alt+i")
        self.status_becomes(1891)
        xdotool("key", "Down")  # Negative Image, a plain entry
        self.status_becomes(1900)
        xdotool("key", "Escape")
        time.sleep(0.5)
        xdotool("key", "Escape")

    def test_resting_on_a_toolbar_button_shows_its_tip_and_status_text(self):
        self.launch()
        self.focus()
        left, top, right, bottom = map(int, probe("childrect", "ToolbarWindow32").split())
        self.assertGreater(right, left, "no toolbar")
        # The first button, Open, sits at the toolbar's left edge.
        xdotool("mousemove", left + 10, top + 10)
        time.sleep(0.2)
        xdotool("mousemove", left + 11, top + 11)
        tip = wait_for(lambda: probe("tooltip") == "Open", 15)
        self.assertTrue(tip, "tooltip: " + probe("tooltip"))
        self.assertEqual(probe("status"), "Open a picture from a file")
        xdotool("mousemove", left + 200, top + 200)

    def test_f1_without_a_program_for_the_pages_names_their_folder(self):
        # Wine reads associations from the machine-wide classes of the run's own prefix: .html is
        # pointed at a class without any command for the test, and put back after it.
        classes = r"HKLM\Software\Classes"
        before = None
        for line in wine_reg("query", classes + r"\.html", "/ve").splitlines():
            parts = line.strip().split("    ")
            if len(parts) >= 3 and parts[1] == "REG_SZ":
                before = parts[2]
        wine_reg("add", classes + r"\.html", "/ve", "/d", "PlenvueNoProgram", "/f")
        wine_reg("add", classes + r"\PlenvueNoProgram", "/ve", "/d", "No program", "/f")
        if before is None:
            self.addCleanup(wine_reg, "delete", classes + r"\.html", "/f")
        else:
            self.addCleanup(wine_reg, "add", classes + r"\.html", "/ve", "/d", before, "/f")
        self.addCleanup(wine_reg, "delete", classes + r"\PlenvueNoProgram", "/f")
        self.launch()
        self.focus()
        xdotool("key", "F1")
        folder = BIN_DIR
        want = "Z:" + os.path.join(os.path.abspath(folder), "help", "en").replace("/", "\\") + "\\"
        self.assertTrue(wait_for(lambda: want in probe("dialog", "Plenvue"), 15),
                        "no message naming %s: %r" % (want, probe("dialog", "Plenvue")))
        self.assertIn("No program is set up to open the help pages", probe("dialog", "Plenvue"))
        probe("click", "Plenvue", 1)
        self.assertTrue(wait_for(lambda: not probe("dialog", "Plenvue"), 10))


if __name__ == "__main__":
    main()
