"""Hot keys stored as named keys (Print Screen, alone and with modifiers) are shown by their names on
the Options dialog's hot key buttons and in the Tools menu's capture entries, never as "Unknown"."""
from plenvue_e2e import REG_KEY, PlenvueTestCase, main, menu_item, probe, wait_for, wine_reg

VK_SNAPSHOT = 44
# Stored modifiers: "0" none, 1 Shift, 2 Ctrl, 4 Alt, added.
STORED = {0: ("0", "Print Screen"), 1: ("6", "Ctrl+Alt+Print Screen"), 2: ("3", "Ctrl+Shift+Print Screen")}
HOTKEY_BUTTON = 1140  # + capture kind
CAPTURE_ENTRY = 1861  # + capture kind


def no_window(title):
    return probe("find", "#32770", title) == "00000000"


def button_texts(title):
    """Dialog control texts by id, from the "class|id|text" lines the probe prints."""
    texts = {}
    for line in probe("dialog8", title).encode("latin-1").decode("utf-8").splitlines():
        parts = line.split("|", 2)
        if len(parts) == 3:
            texts[int(parts[1])] = parts[2]
    return texts


class HotkeyNamesTest(PlenvueTestCase):
    def test_print_screen_alone_and_with_modifiers_is_named_in_options_and_menu(self):
        for kind, (modifier, _) in STORED.items():
            wine_reg("add", REG_KEY, "/v", "Hotkey%dPrefix" % kind, "/d", modifier, "/f")
            wine_reg("add", REG_KEY, "/v", "Hotkey%dValue" % kind, "/d", str(VK_SNAPSHOT), "/f")
        self.launch()

        for kind, (_, name) in STORED.items():
            entry = menu_item(CAPTURE_ENTRY + kind)
            self.assertIsNotNone(entry, "no capture entry %d in the menu" % kind)
            self.assertTrue(entry.text.endswith("\t" + name), "menu entry %r" % entry.text)
            self.assertNotIn("Unknown", entry.text)

        probe("command", 1875)  # Tools > Option
        self.assertTrue(wait_for(lambda: not no_window("Options"), 15), "no Options dialog")
        texts = button_texts("Options")
        for kind, (_, name) in STORED.items():
            # A key another program holds is marked after its name; the name stays first.
            shown = texts.get(HOTKEY_BUTTON + kind, "")
            self.assertTrue(shown.startswith(name), "hot key button %d shows %r" % (kind, shown))
            self.assertNotIn("Unknown", shown)
        probe("click", "Options", 2)
        self.assertTrue(wait_for(lambda: no_window("Options"), 10))


if __name__ == "__main__":
    main()
