"""The history pane as a user meets it: files dropped on the pane open and enter the history (the
newest on top, a file already there not listed twice), a chosen entry reopens its file without a
new entry, the toolbar steps through and clears the entries, in list and in preview mode; the
preview strip scrolls while a button is held."""
import os
import shutil
import subprocess
import tempfile
import time

from plenvue_e2e import wine_path, ENV, REG_KEY, PlenvueTestCase, main, need, probe, wait_for, wine_reg, xdotool, show_actual_size

RED, GREEN, BLUE = "FF0000", "00FF00", "0000FF"
PREVIOUS, NEXT, CLEAR = 14, 15, 16



class HistoryTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")
        self.dir = tempfile.mkdtemp(prefix="plenvue-history-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        need("convert")
        self.files = {}
        for name, colour in (("red.bmp", "red"), ("green.bmp", "lime"), ("blue.bmp", "blue")):
            path = os.path.join(self.dir, name)
            subprocess.run(["convert", "-size", "320x200", "xc:" + colour, "BMP3:" + path], check=True, env=ENV)
            self.files[name] = wine_path(path)
        subprocess.run(["convert", "-size", "40x30", "xc:blue", "-type", "Palette", "PCX:" + os.path.join(self.dir, "a.PCX")],
                       check=True, env=ENV)
        self.files["a.PCX"] = wine_path(os.path.join(self.dir, "a.PCX"))
        with open(os.path.join(self.dir, "notes.txt"), "w") as f:
            f.write("not a picture")
        self.files["notes.txt"] = wine_path(os.path.join(self.dir, "notes.txt"))

    def start(self, mode):
        wine_reg("add", REG_KEY, "/v", "History List Status", "/d", mode, "/f")
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")
        self.launch()
        probe("move", 200, 100, 640, 480)
        time.sleep(0.5)

    def caption_ends(self, name):
        return wait_for(lambda: probe("caption").endswith(name), 10)

    def canvas_colour(self):
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        return self.pixels(left + 5, top + 5, 1, 1)[0][0]

    def listbox(self):
        lines = probe("listbox").splitlines()
        count, sel = map(int, lines[0].split())
        return count, sel, lines[1:]

    def previews(self):
        rows = [r.split() for r in probe("descendants", "PlenvuePreview").splitlines()]
        return [tuple(map(int, r[1:5])) for r in rows if r[5] == "1"]

    def click(self, x, y):
        xdotool("mousemove", x, y, "click", 1)

    def test_list_mode_grows_reopens_steps_and_clears(self):
        self.start("LIST")
        self.assertEqual(probe("childvisible", "LISTBOX"), "1")
        for name in ("red.bmp", "green.bmp", "a.PCX"):
            probe("drop", "LISTBOX", self.files[name])
            self.assertTrue(self.caption_ends(name), probe("caption"))
        self.assertEqual(self.listbox()[0], 3)
        self.assertEqual(self.canvas_colour(), BLUE)  # the PCX file opened
        probe("drop", "LISTBOX", self.files["notes.txt"])
        time.sleep(1.0)
        count, _, lines = self.listbox()
        self.assertEqual(count, 3)
        self.assertEqual(lines, [self.files["a.PCX"], self.files["green.bmp"], self.files["red.bmp"]])
        # Dropped again, a file keeps its one entry.
        probe("drop", "LISTBOX", self.files["red.bmp"])
        self.assertTrue(self.caption_ends("red.bmp"), probe("caption"))
        self.assertEqual(self.listbox()[0], 3)
        # A click on the first line reopens its file without a new entry.
        left, top, _, _ = map(int, probe("descendants", "LISTBOX").split()[1:5])
        self.click(left + 30, top + 8)
        self.assertTrue(self.caption_ends("a.PCX"), probe("caption"))
        self.assertTrue(wait_for(lambda: self.canvas_colour() == BLUE, 5))
        self.assertEqual(self.listbox()[:2], (3, 0))
        probe("command", NEXT)
        self.assertTrue(self.caption_ends("green.bmp"))
        self.assertEqual(self.listbox()[:2], (3, 1))
        probe("command", PREVIOUS)
        self.assertTrue(self.caption_ends("a.PCX"))
        probe("command", PREVIOUS)  # already at the first line
        time.sleep(0.5)
        self.assertEqual(self.listbox()[:2], (3, 0))
        probe("command", CLEAR)
        self.assertTrue(wait_for(lambda: self.listbox()[0] == 0, 5))

    def test_preview_mode_grows_reopens_steps_and_clears(self):
        self.start("PREVIEW")
        self.assertEqual(probe("childvisible", "PlenvueHistoryStrip"), "1")
        probe("drop", "PlenvueHistoryStrip", self.files["red.bmp"])
        self.assertTrue(self.caption_ends("red.bmp"))
        probe("drop", "PlenvueHistoryClient", self.files["green.bmp"])
        self.assertTrue(self.caption_ends("green.bmp"))
        probe("drop", "PlenvueHistoryStrip", self.files["notes.txt"])
        time.sleep(1.0)
        items = self.previews()
        self.assertEqual(len(items), 2)
        first, second = sorted(items, key=lambda r: r[1])
        # The thumbnails show their pictures, the newest on top.
        self.assertEqual(self.pixels((first[0] + first[2]) // 2, first[1] + 40, 1, 1)[0][0], GREEN)
        self.assertEqual(self.pixels((second[0] + second[2]) // 2, second[1] + 40, 1, 1)[0][0], RED)
        self.click((second[0] + second[2]) // 2, second[1] + 40)
        self.assertTrue(self.caption_ends("red.bmp"), probe("caption"))
        self.assertTrue(wait_for(lambda: self.canvas_colour() == RED, 5))
        self.assertEqual(len(self.previews()), 2)
        probe("command", PREVIOUS)
        self.assertTrue(self.caption_ends("green.bmp"))
        probe("command", PREVIOUS)  # already the first
        time.sleep(0.5)
        self.assertTrue(probe("caption").endswith("green.bmp"))
        probe("command", NEXT)
        self.assertTrue(self.caption_ends("red.bmp"))
        probe("command", CLEAR)
        self.assertTrue(wait_for(lambda: len(self.previews()) == 0, 5))
        # After clearing, a new entry starts the strip again and is selected.
        probe("drop", "PlenvueHistoryStrip", self.files["blue.bmp"])
        self.assertTrue(self.caption_ends("blue.bmp"))
        self.assertEqual(len(self.previews()), 1)

    def test_preview_strip_scrolls_while_the_lower_button_is_held(self):
        self.start("PREVIEW")
        for i in range(6):
            # Six files: a file already in the history is not listed twice.
            name = ("red.bmp", "green.bmp", "blue.bmp")[i % 3]
            copy = os.path.join(self.dir, "%d-%s" % (i, name))
            shutil.copyfile(os.path.join(self.dir, name), copy)
            probe("drop", "PlenvueHistoryStrip", wine_path(copy))
            self.assertTrue(wait_for(lambda: len(self.previews()) == i + 1, 10))
        top_before = min(r[1] for r in self.previews())
        buttons = [r.split() for r in probe("descendants", "PlenvueLight3D").splitlines()]
        lower = max((tuple(map(int, b[1:5])) for b in buttons), key=lambda r: r[1])
        xdotool("mousemove", (lower[0] + lower[2]) // 2, (lower[1] + lower[3]) // 2, "mousedown", 1)
        time.sleep(1.5)
        xdotool("mouseup", 1)
        top_after = min(r[1] for r in self.previews())
        self.assertLess(top_after, top_before)
        time.sleep(0.6)  # the timer has stopped with the release
        self.assertEqual(min(r[1] for r in self.previews()), top_after)


if __name__ == "__main__":
    main()
