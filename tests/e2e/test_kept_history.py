"""The history outlives Plenvue: a capture is kept the moment it is taken, so that a crash a second
later loses nothing; the limits take the oldest copies; a damaged store is listed as far as it can
be; File > Delete sends the file to the Recycle Bin and takes its entry off."""
import os
import shutil
import subprocess
import tempfile
import time

from plenvue_e2e import (ENV, REG_KEY, PlenvueTestCase, bin_neighbour, kept_history_folder, main, need, probe,
                         recycle_bin, show_actual_size, wait_for, wine_path, wine_reg)

CMD_FULL_SCREEN, CMD_DELETE, CMD_OPTIONS = 1861, 1807, 1875
IDYES = 6


class KeptHistoryTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        wine_reg("add", REG_KEY, "/v", "Set Clipboard Monitor Active", "/d", "0", "/f")
        self.store = kept_history_folder()

    def start(self):
        self.launch()
        probe("move", 380, 280, 640, 480)

    def capture(self):
        probe("command", CMD_FULL_SCREEN)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 15),
                        "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))

    def kept(self, ext):
        if not os.path.isdir(self.store):
            return []
        return sorted(n for n in os.listdir(self.store) if n.endswith(ext))

    def previews(self):
        rows = [r.split() for r in probe("descendants", "PlenvuePreview").splitlines()]
        return sorted((tuple(map(int, r[1:5])) for r in rows if r[5] == "1"), key=lambda r: r[1])

    def crash(self):
        """Ends Plenvue as a crash would: no unload, no chance to write anything more."""
        app = self.apps.pop()
        app.proc.kill()
        app.proc.wait(10)
        self.assertTrue(wait_for(lambda: not int(probe("main") or "0", 16), 10))

    def test_a_capture_survives_a_crash_one_second_later(self):
        self.pattern_window(20, 120, 200, 100)
        self.start()
        self.capture()
        expected = self.pixels(25, 125, 20, 1)[0]
        time.sleep(1.0)  # the moment of the crash: one second after the capture
        self.crash()
        self.start()
        items = self.previews()
        self.assertEqual(len(items), 1, probe("status"))
        x, y, r, _ = items[0]
        subprocess.run(["xdotool", "mousemove", str((x + r) // 2), str(y + 40), "click", "1"], env=ENV, check=True)
        self.assertTrue(wait_for(lambda: probe("status", 1) == "" and probe("status", 2).endswith("%"), 10))
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        self.assertEqual(self.pixels(left + 25, top + 125, 20, 1)[0], expected)
        # A capture never saved has no file: the caption says so.
        self.assertEqual(probe("caption"), "Korvane Plenvue--NewFile")
        self.assertEqual(probe("status"), "Not saved yet: this picture is kept in the history")

    def test_limits_keep_the_newest_copies_and_a_saved_capture_becomes_its_file(self):
        wine_reg("add", REG_KEY, "/v", "Kept Pictures", "/d", "2", "/f")
        self.start()
        for _ in range(3):
            self.capture()
        self.assertTrue(wait_for(lambda: len(self.kept(".png")) == 2, 10), self.kept(".png"))
        self.assertEqual(len(self.previews()), 2)
        # Auto-save: the next capture's entry is the saved file, its kept copy goes.
        out = tempfile.mkdtemp(prefix="plenvue-kept-")
        self.addCleanup(shutil.rmtree, out, True)
        wine_reg("add", REG_KEY, "/v", "SavePath", "/d", wine_path(out) + "\\", "/f")
        wine_reg("add", REG_KEY, "/v", "Set Auto Save When Startup", "/d", "1", "/f")
        self.apps.pop().stop()
        self.start()
        self.assertEqual(len(self.previews()), 2)
        self.capture()
        self.assertTrue(wait_for(lambda: len(self.kept(".ref")) == 1, 10), os.listdir(self.store))
        saved = [n for n in os.listdir(out) if not n.endswith(".tmp")]
        self.assertEqual(len(saved), 1)
        self.assertEqual(len(self.previews()), 3)
        self.apps.pop().stop()
        self.start()
        # Newest first: the saved capture's entry is on top, and it is the file.
        items = self.previews()
        self.assertEqual(len(items), 3)
        self.assertEqual(len(self.kept(".png")), 2)
        x, y, r, _ = items[0]
        subprocess.run(["xdotool", "mousemove", str((x + r) // 2), str(y + 40), "click", "1"], env=ENV, check=True)
        self.assertTrue(wait_for(lambda: probe("caption") == "Korvane Plenvue--" + wine_path(os.path.join(out, saved[0])), 10),
                        probe("caption"))

    def test_a_damaged_store_lists_what_it_can_and_says_what_it_left_out(self):
        need("convert")
        os.makedirs(self.store, exist_ok=True)
        good = "01DB000000000001-00000010.png"
        subprocess.run(["convert", "-size", "64x48", "xc:#00FF00", "PNG24:" + os.path.join(self.store, good)],
                       check=True, env=ENV)
        with open(os.path.join(self.store, good), "rb") as f:
            data = f.read()
        cut = "01DB000000000002-00000010.png"
        with open(os.path.join(self.store, cut), "wb") as f:
            f.write(data[: len(data) // 2])
        with open(os.path.join(self.store, "notes.txt"), "w") as f:
            f.write("not ours")
        with open(os.path.join(self.store, "01DB000000000003-00000010.ref"), "wb") as f:
            f.write(b"Plenvue history 1\r\n")  # cut short
        self.start()
        self.assertEqual(len(self.previews()), 1)
        status = probe("status")
        self.assertTrue(status.startswith("Left out of the history (not readable):"), status)
        for name in (cut, "notes.txt", "01DB000000000003-00000010.ref"):
            self.assertIn(name, status)
        # Nothing of the store was deleted: it may be a newer version's.
        self.assertTrue(os.path.exists(os.path.join(self.store, "notes.txt")))

    def bitmap_file(self, name):
        """A small blue BMP in a folder of the test's own, on the Recycle Bin's device."""
        need("convert")
        d = bin_neighbour("plenvue-kept-")
        self.addCleanup(shutil.rmtree, d, True)
        bmp = os.path.join(d, name)
        subprocess.run(["convert", "-size", "30x20", "xc:#0000FF", "BMP3:" + bmp], check=True, env=ENV)
        return bmp

    def test_delete_moves_the_file_to_the_recycle_bin_and_takes_its_entry_off(self):
        bmp = self.bitmap_file("recycled.bmp")
        trash = recycle_bin()
        self.start()
        probe("drop", "PlenvueHistoryStrip", wine_path(bmp))
        self.assertTrue(wait_for(lambda: probe("caption").endswith("recycled.bmp"), 10))
        self.assertEqual(len(self.previews()), 1)
        probe("command", CMD_DELETE)
        self.assertTrue(wait_for(lambda: "Are you SURE" in probe("dialog", "Plenvue"), 15))
        probe("click", "Plenvue", IDYES)
        self.assertTrue(wait_for(lambda: not os.path.exists(bmp), 10))
        self.assertTrue(wait_for(lambda: any(n.startswith("recycled") for n in os.listdir(trash)), 10), trash)
        self.assertTrue(wait_for(lambda: probe("caption") == "Korvane Plenvue--NewFile", 10), probe("caption"))
        self.assertEqual(self.previews(), [])
        self.assertEqual(probe("status"), "Moved to the Recycle Bin: " + wine_path(bmp))

    def test_ok_in_options_with_nothing_changed_keeps_the_history(self):
        bmp = self.bitmap_file("kept.bmp")
        self.start()  # fresh settings: no history mode is stored
        probe("drop", "PlenvueHistoryStrip", wine_path(bmp))
        self.assertTrue(wait_for(lambda: len(self.previews()) == 1, 10))
        before = probe("descendants", "PlenvuePreview")
        probe("command", CMD_OPTIONS)
        self.assertTrue(wait_for(lambda: probe("dialog", "Options"), 15), "no Options dialog")
        probe("click", "Options", 1)  # OK
        self.assertTrue(wait_for(lambda: not probe("dialog", "Options"), 10))
        time.sleep(0.5)
        # The very same entries: the pane was not emptied and listed again.
        self.assertEqual(probe("descendants", "PlenvuePreview"), before)


if __name__ == "__main__":
    main()
