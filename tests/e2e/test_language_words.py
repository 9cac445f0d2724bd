"""Switching the language as a user does (Options, the language button, the chooser) changes the
texts made in code, not only those of the package's forms: the Options dialog's capture-delay and
full-screen lists and the menus' shortcut words, to German and back to English."""
import time

from plenvue_e2e import PlenvueTestCase, main, menu_item, probe, wait_for, xdotool

OPTIONS = {"English": "Options", "German": "Optionen"}
CHOOSER = {"English": "Choose Language Package", "German": "Sprachpaket w\u00e4hlen"}
# The chooser lists each package under its own name: "English", "Deutsch".
INITIAL = {"English": "e", "German": "d"}
LANGUAGE_BUTTON, CHOOSER_LIST = 1115, 1003
DELAY_LIST, FULL_SCREEN_LIST = 1162, 1167
CMD_OPEN, CMD_DELETE = 1801, 1807
DELAYS = {"English": ["No Delay", "3 Seconds", "5 Seconds", "10 Seconds"],
          "German": ["Keine Verz\u00f6gerung", "3 Sekunden", "5 Sekunden", "10 Sekunden"]}
AREAS = {"English": ["The whole desktop", "The monitor under the pointer", "The primary monitor"],
         "German": ["Den ganzen Desktop", "Den Bildschirm unter dem Mauszeiger", "Den Hauptbildschirm"]}
SHORTCUTS = {"English": {CMD_OPEN: "\tCtrl+O", CMD_DELETE: "\tDel"},
             "German": {CMD_OPEN: "\tStrg+O", CMD_DELETE: "\tEntf"}}


def no_window(title):
    return probe("find", "#32770", title) == "00000000"


def combo_entries(title, control):
    """The entries of a dialog's combo box (the probe's first line is count and choice)."""
    lines = probe("combo", title, control).encode("latin-1").decode("utf-8").splitlines()
    return lines[1:]


class LanguageWordsTest(PlenvueTestCase):
    def choose(self, current, wanted):
        """The language button of the open Options dialog, then the package by its name's first letter."""
        probe("click", OPTIONS[current], LANGUAGE_BUTTON)
        chooser = CHOOSER[current]
        self.assertTrue(wait_for(lambda: not no_window(chooser), 15), "no language chooser")
        left, top, right, bottom = map(int, probe("itemrect", chooser, CHOOSER_LIST).split())
        xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)
        time.sleep(0.5)
        xdotool("key", INITIAL[wanted])
        time.sleep(0.5)
        xdotool("key", "Return")
        self.assertTrue(wait_for(lambda: no_window(chooser), 10), "the chooser stayed open")
        self.assertTrue(wait_for(lambda: not no_window(OPTIONS[wanted]), 10), "Options not relabelled")

    def assert_words_of(self, language):
        title = OPTIONS[language]
        other = "German" if language == "English" else "English"
        self.assertEqual(combo_entries(title, DELAY_LIST), DELAYS[language])
        self.assertEqual(combo_entries(title, FULL_SCREEN_LIST), AREAS[language])
        for command, shortcut in SHORTCUTS[language].items():
            entry = menu_item(command)
            self.assertIsNotNone(entry, "no menu entry %d" % command)
            self.assertTrue(entry.text.endswith(shortcut), "%s: menu entry %r" % (language, entry.text))
            self.assertFalse(entry.text.endswith(SHORTCUTS[other][command]), entry.text)

    def test_lists_and_menu_shortcuts_follow_the_language_there_and_back(self):
        self.launch()
        probe("command", 1875)  # Tools > Option
        self.assertTrue(wait_for(lambda: not no_window(OPTIONS["English"]), 15), "no Options dialog")
        self.assert_words_of("English")
        self.choose("English", "German")
        self.assert_words_of("German")
        self.choose("German", "English")
        self.assert_words_of("English")
        probe("click", OPTIONS["English"], 2)
        self.assertTrue(wait_for(lambda: no_window(OPTIONS["English"]), 10))


if __name__ == "__main__":
    main()
