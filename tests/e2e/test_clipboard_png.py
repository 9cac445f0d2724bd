"""Copy and paste with other programs, PNG files and the capture delay, as a user meets them: another
X client reads Plenvue's picture from the clipboard, Plenvue takes one an X client put there, every
capture goes to the clipboard without the monitor taking it back, PNG files are written and read,
and a delayed capture counts down before it captures."""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import zlib

from plenvue_e2e import wine_path, ENV, PROBE, REG_KEY, PlenvueTestCase, main, menu_item, need, probe, wait_for, wine_reg, show_actual_size

CMD_SAVE_AS, CMD_FULL_SCREEN, CMD_CLEAR_CLIP = 1803, 1861, 1872
CMD_COPY, CMD_PASTE = 1877, 1878
CMD_NO_DELAY, CMD_DELAY_3 = 1881, 1882
IDOK = 1
PATTERN = (20, 120, 200, 100)  # where the pattern window stands: x, y, w, h


def reg_set(name, text):
    wine_reg("add", REG_KEY, "/v", name, "/d", text, "/f")



# An independent reader of the two formats, from the standard library only: pixels as "RRGGBB"
# rows, top row first.

def decode_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("no PNG signature")
    pos, idat, header, palette = 8, b"", None, None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if zlib.crc32(kind + body) != struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]:
            raise ValueError("bad CRC in " + kind.decode("latin-1"))
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"PLTE":
            palette = body
        elif kind == b"IEND":
            break
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or interlace != 0 or colour not in (2, 6, 3):
        raise ValueError("unsupported PNG form %r" % (header,))
    bpp = {2: 3, 6: 4, 3: 1}[colour]
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        if colour == 3:
            rows.append(["%02X%02X%02X" % tuple(palette[3 * v:3 * v + 3]) for v in line])
        else:
            rows.append(["%02X%02X%02X" % tuple(line[x * bpp:x * bpp + 3]) for x in range(width)])
    return rows


def decode_bmp(data):
    if data[:2] != b"BM":
        raise ValueError("no BMP signature")
    offset = struct.unpack("<I", data[10:14])[0]
    width, height, _, bits = struct.unpack("<iiHH", data[18:30])
    if bits not in (24, 32):
        raise ValueError("unsupported BMP depth %d" % bits)
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        line = data[offset + y * stride:offset + y * stride + width * step]
        rows.append(["%02X%02X%02X" % (line[x * step + 2], line[x * step + 1], line[x * step]) for x in range(width)])
    return rows[::-1] if height > 0 else rows


def rgba_png(width, height, pixels):
    """pixels: rows of (r, g, b, a), top first."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def crop(rows, x, y, w, h):
    return [r[x:x + w] for r in rows[y:y + h]]


class ClipboardPngTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        need("xclip")
        self.dir = tempfile.mkdtemp(prefix="plenvue-clip-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        reg_set("Set Clipboard Monitor Active", "0")
        # Leave an empty clipboard for whatever runs next.
        self.addCleanup(probe, "clearclip")

    def clipboard(self, target):
        """What another X client gets from the clipboard as `target`."""
        # A loaded machine can leave one request unanswered for long; asking again is what a user's
        # program would do, so a slow answer reads as nothing yet rather than failing the test.
        try:
            r = subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-o"], env=ENV,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
        except subprocess.TimeoutExpired:
            return b""
        return r.stdout

    def serve_clipboard(self, target, path):
        """An X client that puts a file on the clipboard and serves it until the test ends."""
        p = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-t", target, "-i", path], env=ENV,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(p)
        time.sleep(1.0)
        return p

    def put_clip(self, form, path):
        """Another Windows program (the probe) puts the file's bytes there as `form`, and only them."""
        return subprocess.run(["wine", PROBE, "putclip", form, wine_path(path)], env=ENV, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=60).returncode

    def start_with_pattern(self):
        self.pattern_window(*PATTERN)
        self.launch()
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)

    def capture(self):
        probe("command", CMD_FULL_SCREEN)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 20),
                        "status: " + probe("status"))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))

    def pattern_pixels(self):
        x, y, w, h = PATTERN
        return self.pixels(x + 5, y + 5, w - 10, h - 10)

    def canvas_pixels(self, w, h):
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        return self.pixels(left, top, w, h)

    def test_copy_gives_other_programs_a_png_and_a_bitmap_equal_to_the_canvas(self):
        reg_set("Copy Every Capture", "0")
        self.start_with_pattern()
        screen = self.pattern_pixels()
        self.capture()
        probe("command", CMD_COPY)
        png = wait_for(lambda: self.clipboard("image/png"), 60)
        self.assertTrue(png, "no image/png on the clipboard")
        from_png = decode_png(png)
        self.assertEqual((len(from_png[0]), len(from_png)), (1024, 768))
        x, y, w, h = PATTERN
        self.assertEqual(crop(from_png, x + 5, y + 5, w - 10, h - 10), screen)
        from_bmp = decode_bmp(wait_for(lambda: self.clipboard("image/bmp"), 60))
        self.assertEqual(from_bmp, from_png)
        # What the canvas shows at its top left is the same picture.
        self.assertEqual(self.canvas_pixels(200, 60), crop(from_png, 0, 0, 200, 60))
        self.assertEqual(probe("status"), "Picture copied to the clipboard")

    def test_copy_with_an_empty_canvas_leaves_the_clipboard_alone(self):
        src = os.path.join(self.dir, "keep.png")
        with open(src, "wb") as f:
            f.write(rgba_png(3, 2, [[(9, 8, 7, 255)] * 3] * 2))
        self.serve_clipboard("image/png", src)
        self.launch()
        probe("command", CMD_COPY)
        time.sleep(1.0)
        self.assertEqual(decode_png(self.clipboard("image/png")), [["090807"] * 3] * 2)

    def test_paste_takes_a_png_another_program_put_there(self):
        pixels = [[(255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (10, 20, 30, 255)] * 10] * 30
        src = os.path.join(self.dir, "pasted.png")
        with open(src, "wb") as f:
            f.write(rgba_png(40, 30, pixels))
        self.serve_clipboard("image/png", src)
        self.launch()
        probe("command", CMD_PASTE)
        self.assertTrue(wait_for(lambda: probe("status") == "Get picture from clipboard success", 15),
                        probe("status"))
        self.assertEqual(probe("caption"), "Korvane Plenvue--NewFile")
        expected = [["%02X%02X%02X" % p[:3] for p in row] for row in pixels]
        self.assertEqual(self.canvas_pixels(40, 30), expected)

    def test_paste_refuses_hostile_dibs_another_program_put_there(self):
        def dib(width, height, bits, pixel_bytes, colours_used=0, header=40, planes=1):
            return struct.pack("<IiiHHIIiiII", header, width, height, planes, bits, 0, 0, 0, 0, colours_used, 0) + \
                bytes(pixel_bytes)
        good = os.path.join(self.dir, "good.png")
        with open(good, "wb") as f:
            f.write(rgba_png(8, 6, [[(200, 10, 60, 255)] * 8] * 6))
        hostile = {
            "huge": dib(100000, 100000, 24, 64),
            "negative width": dib(-16, 16, 24, 16 * 48),
            "most negative height": dib(16, -2 ** 31, 24, 16 * 48),
            "colour table past the end": dib(4, 4, 8, 12, colours_used=256),
            "more bits than bytes": dib(16, 16, 32, 16 * 48),
            "no such bit count": dib(16, 16, 7, 16 * 64),
            "header past the end": dib(2, 2, 24, 16, header=0x7FFFFFF0),
            "two planes": dib(2, 2, 24, 16, planes=2),
        }
        self.launch()
        # Another program's well-formed DIB is taken.
        one_by_two = struct.pack("<IiiHHIIiiII", 40, 1, -2, 1, 24, 0, 0, 0, 0, 0, 0) + bytes([30, 20, 10, 0, 3, 2, 1, 0])
        path = os.path.join(self.dir, "fine.dib")
        with open(path, "wb") as f:
            f.write(one_by_two)
        self.assertEqual(self.put_clip("dib", path), 0)
        probe("command", CMD_PASTE)
        self.assertTrue(wait_for(lambda: probe("status") == "Get picture from clipboard success", 15), probe("status"))
        self.assertEqual(self.canvas_pixels(1, 2), [["0A141E"], ["010203"]])
        for name, block in hostile.items():
            with self.subTest(name):
                self.assertEqual(self.put_clip("png", good), 0)
                probe("command", CMD_PASTE)
                self.assertTrue(wait_for(lambda: probe("status") == "Get picture from clipboard success", 15),
                                probe("status"))
                before = self.canvas_pixels(8, 6)
                path = os.path.join(self.dir, "hostile.dib")
                with open(path, "wb") as f:
                    f.write(block)
                self.assertEqual(self.put_clip("dib", path), 0)
                probe("command", CMD_PASTE)
                self.assertTrue(wait_for(lambda: probe("status") ==
                                         "The picture on the clipboard is damaged or too large and was not taken.", 15),
                                probe("status"))
                self.assertEqual(self.canvas_pixels(8, 6), before)
                self.assertEqual(before, [["C80A3C"] * 8] * 6)

    def test_every_capture_is_copied_and_the_monitor_does_not_take_it_back(self):
        reg_set("Set Clipboard Monitor Active", "1")
        reg_set("Set Auto Save When Startup", "1")
        reg_set("SavePath", wine_path(self.dir))
        reg_set("PrefixFileName", "cap")
        reg_set("Auto Save Format", "PNG")
        self.start_with_pattern()
        screen = self.pattern_pixels()
        self.capture()
        saved = os.path.join(self.dir, "cap0.png")
        self.assertTrue(wait_for(lambda: os.path.exists(saved), 15), os.listdir(self.dir))
        png = wait_for(lambda: self.clipboard("image/png"), 60)
        self.assertTrue(png, "the capture is not on the clipboard")
        x, y, w, h = PATTERN
        self.assertEqual(crop(decode_png(png), x + 5, y + 5, w - 10, h - 10), screen)
        # Auto-save as PNG: read by the independent decoder, equal to the screen that was captured.
        with open(saved, "rb") as f:
            self.assertEqual(crop(decode_png(f.read()), x + 5, y + 5, w - 10, h - 10), screen)
        time.sleep(2.0)  # room for a second, wrong, clipboard round
        self.assertEqual(os.listdir(self.dir), ["cap0.png"])
        # The status is the capture's, not the clipboard monitor's.
        self.assertEqual(probe("status"), "Capture Image Success1024*768")
        self.assertEqual(probe("caption"), "Korvane Plenvue--" + wine_path(saved))
        # A picture another program copies afterwards is still taken, once.
        elsewhere = tempfile.mkdtemp(prefix="plenvue-other-")
        self.addCleanup(shutil.rmtree, elsewhere, True)
        src = os.path.join(elsewhere, "other.png")
        with open(src, "wb") as f:
            f.write(rgba_png(8, 8, [[(0, 128, 255, 255)] * 8] * 8))
        self.serve_clipboard("image/png", src)
        taken = os.path.join(self.dir, "cap1.png")
        self.assertTrue(wait_for(lambda: os.path.exists(taken), 15), os.listdir(self.dir))
        time.sleep(2.0)
        self.assertEqual(sorted(os.listdir(self.dir)), ["cap0.png", "cap1.png"])

    def test_save_as_png_writes_a_png_equal_to_the_capture(self):
        reg_set("Copy Every Capture", "0")
        self.start_with_pattern()
        screen = self.pattern_pixels()
        self.capture()
        probe("command", CMD_SAVE_AS)
        self.assertTrue(wait_for(lambda: probe("dialog", "Save File"), 15), "no save dialog")
        target = os.path.join(self.dir, "shot.png")
        probe("filename", "Save File", wine_path(target))
        self.assertTrue(wait_for(lambda: probe("caption") == "Korvane Plenvue--" + wine_path(target), 15),
                        probe("caption"))
        with open(target, "rb") as f:
            rows = decode_png(f.read())
        self.assertEqual((len(rows[0]), len(rows)), (1024, 768))
        x, y, w, h = PATTERN
        self.assertEqual(crop(rows, x + 5, y + 5, w - 10, h - 10), screen)
        self.assertFalse(os.path.exists(target + ".bmp"))

    def test_png_with_transparency_opens_over_the_canvas_colour(self):
        reg_set("ForeColor", str(0x00C08040))  # 0x00BBGGRR: red 40, green 80, blue C0
        half = [[(255, 0, 0, 255)] * 10 + [(0, 0, 0, 0)] * 10 + [(0, 255, 0, 128)] * 10] * 12
        path = os.path.join(self.dir, "alpha.png")
        with open(path, "wb") as f:
            f.write(rgba_png(30, 12, half))
        self.launch()
        probe("drop", "PlenvueHistoryStrip", wine_path(path))
        self.assertTrue(wait_for(lambda: probe("caption") == "Korvane Plenvue--" + wine_path(path), 15),
                        probe("caption"))
        row = self.canvas_pixels(30, 1)[0]
        self.assertEqual(row[:10], ["FF0000"] * 10)
        self.assertEqual(row[10:20], ["4080C0"] * 10)
        self.assertEqual(row[20:], ["20C060"] * 10)  # green at alpha 128 over the canvas colour

    def test_hostile_png_gives_unknown_format_and_changes_nothing(self):
        good = rgba_png(16, 16, [[(1, 2, 3, 255)] * 16] * 16)
        bad = bytearray(good)
        bad[16:24] = struct.pack(">II", 100000, 100000)  # claims ten gigapixels; CRC now wrong too
        path = os.path.join(self.dir, "hostile.png")
        with open(path, "wb") as f:
            f.write(bytes(bad[:60]))
        self.launch()
        caption = probe("caption")
        probe("drop", "PlenvueHistoryStrip", wine_path(path))
        self.assertTrue(wait_for(lambda: "Unknow Format!" in probe("dialog", "Plenvue"), 15),
                        probe("dialog", "Plenvue"))
        probe("click", "Plenvue", IDOK)
        self.assertTrue(wait_for(lambda: not probe("dialog", "Plenvue"), 10))
        self.assertEqual(probe("caption"), caption)
        self.assertEqual(probe("status"), "Plenvue Is Ready")

    def test_delayed_capture_shows_the_count_then_captures(self):
        reg_set("Capture Delay", "3")
        reg_set("Copy Every Capture", "0")
        self.start_with_pattern()
        probe("command", CMD_FULL_SCREEN)
        seen = set()

        def counting():
            s = probe("status")
            if s.startswith("Plenvue: capturing in "):
                seen.add(s)
            return s.startswith("Capture Image Success")
        self.assertTrue(wait_for(counting, 30, 0.2), probe("status"))
        self.assertIn("Plenvue: capturing in 3 s", seen)
        self.assertTrue(seen <= {"Plenvue: capturing in 3 s", "Plenvue: capturing in 2 s", "Plenvue: capturing in 1 s"},
                        seen)
        self.assertEqual(probe("status"), "Capture Image Success1024*768")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        # The picture is the screen with the pattern window in it, shown from its top left.
        x, y, w, h = PATTERN
        show_actual_size()
        left, top, _, _ = map(int, probe("childrect", "PlenvueEditor").split())
        self.assertEqual(self.pixels(left + x + 5, top + y + 5, w - 10, h - 10), self.pattern_pixels())

    def test_tools_menu_sets_the_delay_for_the_run(self):
        reg_set("Copy Every Capture", "0")
        self.launch()
        self.assertTrue(menu_item(CMD_NO_DELAY).checked)
        probe("command", CMD_DELAY_3)
        self.assertTrue(wait_for(lambda: menu_item(CMD_DELAY_3).checked, 10))
        self.assertFalse(menu_item(CMD_NO_DELAY).checked)
        self.assertEqual(menu_item(CMD_DELAY_3).text, "&3 Seconds")
        probe("command", CMD_FULL_SCREEN)
        self.assertTrue(wait_for(lambda: probe("status") == "Plenvue: capturing in 3 s", 10), probe("status"))
        self.assertTrue(wait_for(lambda: probe("status").startswith("Capture Image Success"), 20), probe("status"))
        # For the run only: nothing is stored.
        self.assertNotIn("Capture Delay", wine_reg("query", REG_KEY))

    def test_same_hot_key_during_the_count_cancels_the_capture(self):
        reg_set("Capture Delay", "10")
        self.launch()
        probe("command", CMD_FULL_SCREEN)
        self.assertTrue(wait_for(lambda: probe("status").startswith("Plenvue: capturing in "), 10), probe("status"))
        probe("post", 0x312, 45057, 0)  # WM_HOTKEY of the full-screen capture
        self.assertTrue(wait_for(lambda: probe("status") == "Delayed capture cancelled", 10), probe("status"))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        time.sleep(1.5)
        self.assertEqual(probe("status"), "Delayed capture cancelled")


if __name__ == "__main__":
    main()
