"""The Image menu on a captured picture: the undo rules, the effects dialog driven with real input,
and results that equal plenvue-cli on the same pixels."""
import os
import struct
import subprocess
import tempfile
import time

from plenvue_e2e import ENV, PlenvueTestCase, main, need_native_cli, probe, wait_for, xdotool, show_actual_size

SOURCE_DIR = os.environ.get("PLENVUE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "../.."))
NATIVE_CLI = os.path.join(SOURCE_DIR, "build/native/plenvue-cli")

BLUR, NOISE, FADE, LIGHTEN, COLOR_GLASSES = 1896, 1893, 1898, 1899, 1892
NEGATIVE, GRAY, FLIP_HV, TWO_COLOURS, UNDO, CAPTURE_FULL = 1900, 1901, 1906, 1908, 1913, 1861
SHARPEN, EMBOSS, UNSHARPEN, SIXTEEN_COLOURS = 1897, 1894, 1950, 1909
TITLES = {COLOR_GLASSES: "Color Glasses", NOISE: "Noise", FADE: "Fade", LIGHTEN: "Lighten"}
WHITE = "FFFFFF"
# Part of the canvas over the pattern window's edge: quadrant colours, black columns, the desktop.
AREA = (10, 110, 50, 24)
# Across the pattern's four quadrants and its black columns.
PARITY_AREA = (100, 150, 60, 40)


def write_bmp(path, rows):
    """A 24-bit bottom-up BMP of hex RRGGBB rows."""
    h, w = len(rows), len(rows[0])
    stride = (3 * w + 3) & ~3
    body = b""
    for row in reversed(rows):
        line = b"".join(bytes.fromhex(c)[::-1] for c in row)
        body += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 0, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def read_bmp(path):
    """Hex RRGGBB rows of a bottom-up BMP of 1, 4, 8 or 24 bits."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    w, h = struct.unpack_from("<ii", data, 18)
    bpp = struct.unpack_from("<H", data, 28)[0]
    table = ["%02X%02X%02X" % (data[i + 2], data[i + 1], data[i]) for i in range(54, offset, 4)]
    stride = ((w * bpp + 31) // 32) * 4
    rows = []
    for y in range(h):
        line = data[offset + (h - 1 - y) * stride:]
        if bpp == 24:
            rows.append(["%02X%02X%02X" % (line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(w)])
        else:
            per = 8 // bpp
            rows.append([table[(line[x // per] >> (8 - bpp * (x % per + 1))) & ((1 << bpp) - 1)] for x in range(w)])
    return rows


def differences(a, b):
    """How many pixels differ, and the first one, in a short line."""
    diff = [(y, x, p, q) for y, (ra, rb) in enumerate(zip(a, b)) for x, (p, q) in enumerate(zip(ra, rb)) if p != q]
    if len(a) != len(b) or any(len(ra) != len(rb) for ra, rb in zip(a, b)):
        return "sizes differ"
    return "%d pixels differ, first %s" % (len(diff), diff[:1]) if diff else ""


class ImageMenuTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        self.pattern_window(20, 120, 200, 100)
        self.launch()
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)

    def capture(self):
        probe("command", CAPTURE_FULL)
        # The window hides for half a second before the capture and comes back with the picture.
        wait_for(lambda: probe("visible") == "0", 3, 0.1)
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 15))
        self.assertTrue(probe("status").startswith("Capture Image Success"), probe("status"))
        time.sleep(0.5)
        self.canvas_area_settles()

    def canvas_area(self):
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        x, y, w, h = AREA
        return self.pixels(left + x, top + y, w, h)

    def canvas_area_settles(self):
        last = None
        for _ in range(20):
            now = self.canvas_area()
            if now == last:
                return now
            last = now
            time.sleep(0.3)
        return last

    def command(self, cid):
        probe("command", cid)
        time.sleep(0.8)
        return self.canvas_area_settles()

    def open_dialog(self, cid):
        probe("command", cid)
        title = TITLES[cid]
        self.assertTrue(wait_for(lambda: int(probe("find", "#32770", title), 16), 15), "no dialog " + title)
        time.sleep(0.5)
        return title

    def close_dialog(self, title, button):
        probe("click", title, button)
        self.assertTrue(wait_for(lambda: not int(probe("find", "#32770", title), 16), 10))
        time.sleep(0.5)
        return self.canvas_area_settles()

    def box_text(self, title):
        parts = probe("dlgctl", title, 1004).split(" ", 4)
        return parts[4] if len(parts) > 4 else ""

    def track_pos(self, title):
        return int(probe("trackbar", title).split()[0])

    # --- undo rules ---

    def test_blur_then_undo_restores_the_picture_and_a_second_undo_keeps_it(self):
        self.capture()
        before = self.canvas_area()
        self.assertNotEqual(self.command(BLUR), before)
        self.assertEqual(self.command(UNDO), before)
        self.assertEqual(self.command(UNDO), before)

    def test_undo_before_any_effect_keeps_the_picture(self):
        self.capture()
        a = self.canvas_area()
        self.assertEqual(self.command(UNDO), a)

    def test_undo_after_a_new_capture_stays_with_the_new_capture(self):
        self.capture()
        a = self.canvas_area()
        self.command(BLUR)
        for h in self.helpers:
            h.kill()
            h.wait(5)
        self.helpers = []
        time.sleep(0.5)
        self.capture()
        b = self.canvas_area()
        self.assertNotEqual(b, a)
        self.assertEqual(self.command(UNDO), b)

    def test_two_colours_is_undone_step_by_step(self):
        self.capture()
        a = self.canvas_area()
        blurred = self.command(BLUR)
        reduced = self.command(TWO_COLOURS)
        self.assertNotEqual(reduced, blurred)
        self.assertTrue({c for row in reduced for c in row} <= {"000000", WHITE})
        self.assertEqual(self.command(UNDO), blurred)
        self.assertEqual(self.command(UNDO), a)

    def test_noise_cancelled_leaves_the_picture_and_undo_shows_it(self):
        self.capture()
        a = self.canvas_area()
        title = self.open_dialog(NOISE)
        probe("settext", title, 1004, "60")  # a preview only
        self.assertEqual(self.close_dialog(title, 2), a)
        self.assertEqual(self.command(UNDO), a)

    def test_flip_both_ways_twice_gives_the_picture_back(self):
        self.capture()
        a = self.canvas_area()
        self.assertNotEqual(self.command(FLIP_HV), a)
        self.assertEqual(self.command(FLIP_HV), a)

    def test_shortcuts_reach_colour_depth_and_undo(self):
        self.capture()
        a = self.canvas_area()
        self.command(BLUR)
        left, top, _, _ = map(int, probe("rect").split())
        xdotool("mousemove", left + 200, top + 10, "click", 1)
        time.sleep(0.5)
        xdotool("key", "shift+F1")
        self.assertTrue(wait_for(lambda: {c for r in self.canvas_area() for c in r} <= {"000000", WHITE}, 10))
        xdotool("key", "ctrl+z")  # takes back the two colours, then the blur
        xdotool("key", "ctrl+z")
        self.assertTrue(wait_for(lambda: self.canvas_area() == a, 10))

    # --- the effects dialog with real input ---

    def test_dragging_the_track_bar_to_40_sets_the_box_to_40(self):
        self.capture()
        title = self.open_dialog(LIGHTEN)
        pos, cl, ct, cr, cb, tl, tt, tr, tb = map(int, probe("trackbar", title).split())
        self.assertEqual(pos, 0)
        y = (tt + tb) // 2
        x = (tl + tr) // 2
        xdotool("mousemove", x, y, "mousedown", 1)
        time.sleep(0.3)
        # Move towards 40 of 0..99 along the channel, then correct a pixel at a time.
        target = cl + (cr - cl) * 40 // 99
        xdotool("mousemove", target, y)
        time.sleep(0.5)
        for _ in range(30):
            now = self.track_pos(title)
            if now == 40:
                break
            target += 1 if now < 40 else -1
            xdotool("mousemove", target, y)
            time.sleep(0.2)
        xdotool("mouseup", 1)
        time.sleep(0.5)
        self.assertEqual(self.track_pos(title), 40)
        self.assertEqual(self.box_text(title), "40")
        self.close_dialog(title, 2)

    def select_box(self, title):
        """Clicks into the amount box and selects its whole text."""
        l, t, r, b = map(int, probe("dlgctl", title, 1004).split()[:4])
        xdotool("mousemove", l + 4, (t + b) // 2, "click", 1)
        time.sleep(0.3)
        xdotool("key", "End", "shift+Home")
        time.sleep(0.3)

    def test_typing_40_moves_the_track_bar_and_deleting_every_digit_gives_0(self):
        self.capture()
        title = self.open_dialog(NOISE)
        self.select_box(title)
        xdotool("type", "40")
        time.sleep(0.5)
        self.assertEqual(self.box_text(title), "40")
        self.assertEqual(self.track_pos(title), 40)
        xdotool("key", "End", "BackSpace", "BackSpace")
        time.sleep(0.5)
        self.assertEqual(self.box_text(title), "0")
        self.assertEqual(self.track_pos(title), 0)
        # Letters are refused: the box takes digits only.
        xdotool("type", "a")
        time.sleep(0.3)
        self.assertEqual(self.box_text(title), "0")
        self.close_dialog(title, 2)

    def test_fade_box_never_goes_past_255(self):
        self.capture()
        title = self.open_dialog(FADE)
        self.assertEqual(self.box_text(title), "255")
        self.assertEqual(self.track_pos(title), 255)
        self.select_box(title)
        xdotool("type", "999")
        time.sleep(0.5)
        self.assertEqual(self.box_text(title), "255")
        self.assertEqual(self.track_pos(title), 255)
        self.close_dialog(title, 2)

    def test_clicking_hue_column_120_shows_pure_green(self):
        self.capture()
        title = self.open_dialog(COLOR_GLASSES)
        sl, st, sr, sb = map(int, probe("dlgctl", title, 1003).split()[:4])
        self.assertEqual(self.pixels((sl + sr) // 2, (st + sb) // 2, 1, 1)[0][0], "FF00FF")  # starts at -1
        hl, ht, hr, hb = map(int, probe("dlgctl", title, 1002).split()[:4])
        self.assertEqual(hr - hl, 241)
        xdotool("mousemove", hl + 120, (ht + hb) // 2, "click", 1)
        time.sleep(0.5)
        self.assertEqual(self.pixels((sl + sr) // 2, (st + sb) // 2, 1, 1)[0][0], "00FF00")
        self.close_dialog(title, 2)

    def test_ok_without_a_change_leaves_the_picture_for_noise_fade_and_lighten(self):
        self.capture()
        a = self.canvas_area()
        for cid in (NOISE, FADE, LIGHTEN):
            title = self.open_dialog(cid)
            self.assertEqual(self.close_dialog(title, 1), a, title)

    def test_ok_without_a_change_colours_glasses_at_hue_minus_1(self):
        self.capture()
        a = self.canvas_area()
        title = self.open_dialog(COLOR_GLASSES)
        after = self.close_dialog(title, 1)
        # Pure red takes hue -1 at saturation 0.5; the black columns stay black.
        for row_a, row_b in zip(a, after):
            for ca, cb in zip(row_a, row_b):
                if ca == "FF0000":
                    self.assertEqual(cb, "BF40BF")
                if ca == "000000":
                    self.assertEqual(cb, "000000")

    # --- the same pixels as plenvue-cli ---

    def canvas_parity_area(self):
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        x, y, w, h = PARITY_AREA
        return self.pixels(left + x, top + y, w, h)

    def apply_through_dialog(self, cid, amount):
        title = self.open_dialog(cid)
        if cid == COLOR_GLASSES:
            hl, ht, hr, hb = map(int, probe("dlgctl", title, 1002).split()[:4])
            xdotool("mousemove", hl + amount, (ht + hb) // 2, "click", 1)
            time.sleep(0.5)
        else:
            probe("settext", title, 1004, str(amount))
        self.close_dialog(title, 1)

    def test_effects_equal_plenvue_cli_on_the_same_pixels(self):
        need_native_cli(NATIVE_CLI)
        d = tempfile.mkdtemp(prefix="plenvue-imagemenu-")
        # (command, dialog amount or None, plenvue-cli words, border that depends on pixels outside)
        cases = [(NEGATIVE, None, ["negative"], 0), (GRAY, None, ["grayscale"], 0),
                 (BLUR, None, ["filter", "blur"], 1), (SHARPEN, None, ["filter", "sharpen"], 1),
                 (EMBOSS, None, ["filter", "emboss"], 1), (UNSHARPEN, None, ["filter", "unsharpen"], 1),
                 (FADE, 100, ["fade", "100"], 0), (LIGHTEN, 40, ["lighten", "40"], 0),
                 (COLOR_GLASSES, 120, ["colourise", "2"], 0), (SIXTEEN_COLOURS, None, ["depth", "4"], 0)]
        self.capture()
        before = self.canvas_parity_area()
        src = os.path.join(d, "in.bmp")
        write_bmp(src, before)
        h, w = len(before), len(before[0])
        for cid, amount, words, border in cases:
            with self.subTest(command=" ".join(words)):
                if amount is None:
                    probe("command", cid)
                else:
                    self.apply_through_dialog(cid, amount)
                time.sleep(0.8)
                self.canvas_area_settles()
                after = self.canvas_parity_area()
                out = os.path.join(d, "out.bmp")
                subprocess.run([NATIVE_CLI] + words + [src, out], check=True, env=ENV,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                expected = read_bmp(out)
                # A 3x3 filter needs the pixels around the area: compare its inside only.
                inner = lambda rows: [r[border:w - border] for r in rows[border:h - border]]
                self.assertEqual(differences(inner(after), inner(expected)), "")
                probe("command", UNDO)  # back to the captured picture for the next case
                time.sleep(0.8)
                self.canvas_area_settles()
                self.assertEqual(differences(self.canvas_parity_area(), before), "")

if __name__ == "__main__":
    main()
