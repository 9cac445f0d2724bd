"""File commands as a user meets them: automatic saving of captures, Save on a picture that cannot
be written in place, Delete with its question, printing without and with a printer."""
import os
import shutil
import subprocess
import tempfile
import time

from plenvue_e2e import wine_path, ENV, REG_KEY, PlenvueTestCase, bin_neighbour, main, need, probe, recycle_bin, wait_for, wine_reg

CMD_OPEN, CMD_SAVE, CMD_SAVE_AS, CMD_COPY_TO, CMD_MOVE_TO, CMD_DELETE, CMD_PRINT = 1801, 1802, 1803, 1805, 1806, 1807, 1809
CMD_FULL_SCREEN = 1861
IDOK, IDYES, IDNO = 1, 6, 7


def reg_set(name, text):
    wine_reg("add", REG_KEY, "/v", name, "/d", text, "/f")



class FilesTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        need("convert")  # makes the test pictures
        reg_set("Set Clipboard Monitor Active", "0")
        self.dir = tempfile.mkdtemp(prefix="plenvue-files-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def capture(self):
        probe("status")
        probe("command", CMD_FULL_SCREEN)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 15),
                        "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))

    def message_box(self, text_part):
        return wait_for(lambda: text_part in probe("dialog", "Plenvue"), 15)

    def open_file(self, path):
        probe("command", CMD_OPEN)
        self.assertTrue(wait_for(lambda: probe("dialog", "Load File"), 15), "no open dialog")
        self.assertEqual(probe("filename", "Load File", wine_path(path)), "")
        self.assertTrue(wait_for(lambda: probe("caption") == "Korvane Plenvue--" + wine_path(path), 15),
                        probe("caption"))

    def test_auto_save_writes_prefix_number_suffix_in_order_skipping_existing_files(self):
        reg_set("SavePath", wine_path(self.dir))
        reg_set("PrefixFileName", "cap")
        reg_set("SuffixFileName", "_a")
        reg_set("Auto Save Format", "BMP")  # a stored choice keeps its meaning
        reg_set("Set Auto Save When Startup", "1")
        reg_set("BeepWhenSaving", "1")
        with open(os.path.join(self.dir, "cap1_a.bmp"), "wb") as f:
            f.write(b"kept")
        self.launch()
        expected = ["cap0_a.bmp", "cap2_a.bmp", "cap3_a.bmp"]
        for i, name in enumerate(expected):
            self.capture()
            path = os.path.join(self.dir, name)
            self.assertTrue(wait_for(lambda: os.path.exists(path), 10), name)
            self.assertEqual(probe("caption"), "Korvane Plenvue--" + wine_path(path))
            self.assertEqual(sorted(os.listdir(self.dir)), sorted(expected[:i + 1] + ["cap1_a.bmp"]))
        head = read_bytes(os.path.join(self.dir, "cap2_a.bmp"))[:26]
        self.assertEqual(head[:2], b"BM")
        self.assertEqual(int.from_bytes(head[18:22], "little"), 1024)
        self.assertEqual(int.from_bytes(head[22:26], "little"), 768)
        self.assertEqual(read_bytes(os.path.join(self.dir, "cap1_a.bmp")), b"kept")

    def test_clipboard_picture_is_auto_saved_when_both_are_on(self):
        reg_set("SavePath", wine_path(self.dir))
        reg_set("PrefixFileName", "clip")
        reg_set("SuffixFileName", "")
        reg_set("Set Auto Save When Startup", "1")
        reg_set("Set Clipboard Monitor Active", "1")
        reg_set("Auto Save Format", "BMP")
        need("xclip")
        src = os.path.join(self.dir, "src.bmp")
        subprocess.run(["convert", "-size", "64x48", "xc:#FF00FF", "BMP3:" + src], check=True)
        # What was on the clipboard before the start is not taken: only what is copied after it.
        self.launch()
        # xclip stays to serve the selection; it is ended with the test.
        self.helpers.append(subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "image/bmp", "-i", src],
                                             env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        saved = os.path.join(self.dir, "clip0.bmp")
        self.assertTrue(wait_for(lambda: os.path.exists(saved), 15), os.listdir(self.dir))
        self.assertEqual(probe("caption"), "Korvane Plenvue--" + wine_path(saved))
        head = read_bytes(saved)[:26]
        self.assertEqual(int.from_bytes(head[18:22], "little"), 64)
        # Leave an empty clipboard for the tests after this one.
        probe("command", 1872)
        time.sleep(0.5)

    def save_as_dialog(self, command):
        """Runs Save or Save As and gives the name and 0-based type its dialog proposes."""
        probe("command", command)
        self.assertTrue(wait_for(lambda: probe("dialog", "Save File"), 15), "no Save dialog")
        # The dialog fills its name box after it shows.
        self.assertTrue(wait_for(lambda: not probe("filenamebox", "Save File").startswith("|"), 10),
                        probe("filenamebox", "Save File"))
        proposal = probe("filenamebox", "Save File")
        name, _, kind = proposal.rpartition("|")
        return name, int(kind)

    def saved_as(self, path):
        self.assertTrue(wait_for(lambda: probe("caption") == "Korvane Plenvue--" + wine_path(path), 15),
                        probe("caption"))
        self.assertEqual(probe("status"), 'File "%s" Save Success' % wine_path(path))

    def test_save_on_a_gif_picture_goes_to_save_as(self):
        gif = os.path.join(self.dir, "pic.gif")
        subprocess.run(["convert", "-size", "60x40", "xc:#00FF00", gif], check=True)
        auto = os.path.join(self.dir, "auto")
        os.mkdir(auto)
        reg_set("SavePath", wine_path(auto))
        reg_set("PrefixFileName", "shot")
        reg_set("SuffixFileName", "")
        self.launch()
        self.open_file(gif)
        self.assertEqual(probe("status"), 'File "%s" Open Success' % wine_path(gif))
        # A fresh installation: the auto-save folder, the next automatic name, PNG first.
        self.assertEqual(self.save_as_dialog(CMD_SAVE), ("shot0.png", 0))
        probe("filename", "Save File", "copy")
        saved = os.path.join(auto, "copy.png")  # a bare name: that folder and the type's extension
        self.saved_as(saved)
        self.assertEqual(read_bytes(saved)[:8], b"\x89PNG\r\n\x1a\n")
        # The gif itself is untouched and a second Save now writes in place without asking.
        # (The file is replaced whole: a new file takes the old one's place.)
        inode = os.stat(saved).st_ino
        probe("command", CMD_SAVE)
        self.assertTrue(wait_for(lambda: os.stat(saved).st_ino != inode, 10))
        self.assertFalse(probe("dialog", "Save File"))
        # Save As elsewhere with a typed extension: that folder and that type come back next time.
        other = os.path.join(self.dir, "other")
        os.mkdir(other)
        self.assertEqual(self.save_as_dialog(CMD_SAVE_AS), ("shot0.png", 0))
        probe("filename", "Save File", wine_path(os.path.join(other, "second.jpg")))
        self.saved_as(os.path.join(other, "second.jpg"))
        self.assertEqual(read_bytes(os.path.join(other, "second.jpg"))[:2], b"\xff\xd8")
        self.assertEqual(self.save_as_dialog(CMD_SAVE_AS), ("shot0.jpg", 1))
        probe("filename", "Save File", "third")
        self.saved_as(os.path.join(other, "third.jpg"))
        self.assertEqual(sorted(os.listdir(auto)), ["copy.png"])

    def test_file_that_is_no_picture_gives_unknown_format_and_changes_nothing(self):
        bad = os.path.join(self.dir, "noise.jpg")
        with open(bad, "wb") as f:
            f.write(bytes((i * 37 + 11) % 256 for i in range(600)))
        self.launch()
        caption = probe("caption")
        probe("command", CMD_OPEN)
        self.assertTrue(wait_for(lambda: probe("dialog", "Load File"), 15), "no open dialog")
        probe("filename", "Load File", wine_path(bad))
        self.assertTrue(self.message_box("Unknow Format!"), probe("dialog", "Plenvue"))
        probe("click", "Plenvue", IDOK)
        self.assertTrue(wait_for(lambda: not probe("dialog", "Plenvue"), 10))
        self.assertEqual(probe("caption"), caption)

    def test_delete_asks_and_moves_to_the_recycle_bin_only_on_yes(self):
        d = bin_neighbour("plenvue-files-")
        self.addCleanup(shutil.rmtree, d, True)
        bmp = os.path.join(d, "gone.bmp")
        subprocess.run(["convert", "-size", "30x20", "xc:#0000FF", "BMP3:" + bmp], check=True)
        self.launch()
        self.open_file(bmp)
        probe("command", CMD_DELETE)
        self.assertTrue(self.message_box("Are you SURE to delete file %s ?" % wine_path(bmp)),
                        probe("dialog", "Plenvue"))
        probe("click", "Plenvue", IDNO)
        self.assertTrue(wait_for(lambda: not probe("dialog", "Plenvue"), 10))
        self.assertTrue(os.path.exists(bmp))
        probe("command", CMD_DELETE)
        self.assertTrue(self.message_box("Are you SURE"))
        probe("click", "Plenvue", IDYES)
        self.assertTrue(wait_for(lambda: not os.path.exists(bmp), 10))
        self.assertTrue(any(n.startswith("gone") for n in os.listdir(recycle_bin())), os.listdir(recycle_bin()))
        # The picture went with its file: the canvas and the caption are cleared.
        self.assertTrue(wait_for(lambda: probe("caption") == "Korvane Plenvue--NewFile", 10), probe("caption"))

    def folder_browser(self):
        return wait_for(lambda: "SysTreeView32" in probe("dialog", "Browse for Folder")
                        or "Please choose a folder." in probe("dialog", "Browse for Folder"), 15)

    def test_copy_to_and_move_to_take_the_file_to_the_chosen_folder(self):
        src = os.path.join(self.dir, "pic.bmp")
        subprocess.run(["convert", "-size", "30x20", "xc:#0000FF", "BMP3:" + src], check=True)
        # Wine's folder browser here reliably selects a folder right below C:, not deeper ones made
        # during the test nor any on Z:.
        drive_c = os.path.join(ENV["WINEPREFIX"], "drive_c")
        copies, moved = (tempfile.mkdtemp(prefix="plenvue-e2e-", dir=drive_c) for _ in range(2))
        for d in (copies, moved):
            self.addCleanup(shutil.rmtree, d, True)
        c_path = lambda p: "C:\\" + os.path.basename(p)
        self.launch()
        self.open_file(src)
        # A cancelled folder dialog does nothing.
        probe("command", CMD_COPY_TO)
        self.assertTrue(self.folder_browser(), "no folder dialog")
        probe("click", "Browse for Folder", 2)
        time.sleep(1)
        self.assertEqual(os.listdir(copies), [])
        probe("command", CMD_COPY_TO)
        self.assertTrue(self.folder_browser())
        self.assertEqual(probe("browse", c_path(copies)), "")
        self.assertTrue(wait_for(lambda: os.path.exists(os.path.join(copies, "pic.bmp")), 10))
        self.assertTrue(os.path.exists(src))
        probe("command", CMD_MOVE_TO)
        self.assertTrue(self.folder_browser())
        probe("browse", c_path(moved))
        self.assertTrue(wait_for(lambda: os.path.exists(os.path.join(moved, "pic.bmp")), 10))
        self.assertFalse(os.path.exists(src))
        # Neither changes the current file.
        self.assertEqual(probe("caption"), "Korvane Plenvue--" + wine_path(src))

    def test_failed_save_is_reported_and_keeps_the_current_file(self):
        bmp = os.path.join(self.dir, "taken.bmp")
        subprocess.run(["convert", "-size", "30x20", "xc:#0000FF", "BMP3:" + bmp], check=True)
        self.launch()
        self.open_file(bmp)
        # A folder now stands where the file was: it cannot be replaced by a file.
        os.remove(bmp)
        os.mkdir(bmp)
        probe("command", CMD_SAVE)
        self.assertTrue(self.message_box("Can't Overwrite File"), probe("dialog", "Plenvue"))
        self.assertIn(wine_path(bmp), probe("dialog", "Plenvue"))
        probe("click", "Plenvue", IDOK)
        self.assertTrue(os.path.isdir(bmp))
        self.assertEqual(os.listdir(self.dir), ["taken.bmp"])
        self.assertEqual(probe("caption"), "Korvane Plenvue--" + wine_path(bmp))
        self.assertEqual(probe("status"), 'File "%s" Open Success' % wine_path(bmp))

    def test_print_without_a_printer_says_so(self):
        self.assertEqual(probe("printers"), "", "the test needs a prefix without printers")
        self.launch()
        probe("command", CMD_PRINT)  # no picture: nothing happens
        time.sleep(1)
        self.assertFalse(probe("dialog", "Plenvue"))
        self.capture()
        probe("command", CMD_PRINT)
        self.assertTrue(self.message_box("Printer not found."), probe("dialog", "Plenvue"))
        probe("click", "Plenvue", IDOK)

    def test_print_to_a_file_printer_fits_the_picture_to_the_page(self):
        need("gs")
        out = os.path.join(self.dir, "out.ps")
        added = probe("addprinter", "Plenvue Test Printer", out)
        self.addCleanup(probe, "delprinter", "Plenvue Test Printer")
        self.assertIn("Plenvue Test Printer", probe("printers"), "Wine could not add a PostScript printer: " + added)
        bmp = os.path.join(self.dir, "wide.bmp")
        # 200 x 100: red left half, blue right half.
        subprocess.run(["convert", "-size", "100x100", "xc:#FF0000", "-size", "100x100", "xc:#0000FF",
                        "+append", "BMP3:" + bmp], check=True)
        self.launch()
        self.open_file(bmp)
        probe("command", CMD_PRINT)
        self.assertTrue(wait_for(lambda: os.path.exists(out) and b"%%EOF" in read_bytes(out), 30),
                        "no complete print job")
        ps = read_bytes(out)
        self.assertIn(b"Landscape", ps)
        png = os.path.join(self.dir, "page.ppm")
        subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw", "-r20",
                        "-sOutputFile=" + png, out], check=True)
        w, h, px = read_ppm(png)
        box = ink_box(w, h, px)
        self.assertIsNotNone(box, "empty page")
        left, top, right, bottom = box
        bw, bh = right - left + 1, bottom - top + 1
        # Landscape output is drawn rotated on the portrait sheet: the long side runs down the page.
        long_side, short_side = max(bw, bh), min(bw, bh)
        self.assertAlmostEqual(long_side / short_side, 2.0, delta=0.15)
        # The picture fills the printable width of the landscape page: nearly the sheet's long side.
        self.assertGreater(long_side, 0.85 * max(w, h))
        # Turned a quarter to the left on the sheet: the page's top edge is the sheet's left edge
        # (the picture starts at the printable area's margin) and its left half (red) lies below.
        self.assertLess(left, 0.06 * w)
        self.assertEqual(pixel(w, px, left + bw // 2, top + bh * 3 // 4), (255, 0, 0))
        self.assertEqual(pixel(w, px, left + bw // 2, top + bh // 4), (0, 0, 255))


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def read_ppm(path):
    data = read_bytes(path)
    fields, rest = [], data
    while len(fields) < 4:
        rest = rest.lstrip()
        if rest.startswith(b"#"):
            rest = rest[rest.index(b"\n") + 1:]
            continue
        token, rest = rest.split(maxsplit=1)
        fields.append(token)
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[-w * h * 3:]


def pixel(w, px, x, y):
    i = 3 * (y * w + x)
    return px[i], px[i + 1], px[i + 2]


def ink_box(w, h, px):
    left, top, right, bottom = w, h, -1, -1
    for y in range(h):
        row = px[y * w * 3:(y + 1) * w * 3]
        for x in range(w):
            r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            if r < 200 or g < 200 or b < 200:
                left, right = min(left, x), max(right, x)
                top, bottom = min(top, y), max(bottom, y)
    return None if right < 0 else (left, top, right, bottom)


if __name__ == "__main__":
    main()
