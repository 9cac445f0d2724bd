"""The mark-up editor in the main window, driven as a user would: tools by their keys, drags with
the mouse, text typed in place, zoom, Undo and Redo, crop, redaction, Save As an editable PNG, and
opening it again to move an object. The file is then read back with plenvue-cli."""
import json
import os
import shutil
import struct
import subprocess
import tempfile
import time

from plenvue_e2e import wine_path, ENV, PlenvueTestCase, main, need, need_native_cli, probe, wait_for, xdotool

SOURCE_DIR = os.environ.get("PLENVUE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "../.."))
NATIVE_CLI = os.path.join(SOURCE_DIR, "build/native/plenvue-cli")
SAVE_AS, ZOOM_IN, ZOOM_ACTUAL, MOSAIC = 1803, 1839, 1838, 12662
WM_KEYDOWN, VK_HOME = 0x100, 0x24



def read_bmp(path):
    """A 24-bit BMP's pixels as rows of (r, g, b), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = data[offset + y * stride: offset + y * stride + width * 3]
        rows.append([(row[3 * x + 2], row[3 * x + 1], row[3 * x]) for x in range(width)])
    return rows[::-1] if height > 0 else rows


class EditorTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        need_native_cli(NATIVE_CLI)
        need("convert")
        self.dir = tempfile.mkdtemp(prefix="plenvue-editor-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.picture = os.path.join(self.dir, "in.bmp")
        subprocess.run(["convert", "-size", "240x160", "-seed", "7", "plasma:white-gray", "-type", "TrueColor",
                        "BMP3:" + self.picture], check=True)

    def cli(self, *args):
        r = subprocess.run([NATIVE_CLI] + list(args), capture_output=True, env=ENV, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r.stdout.decode("utf-8")

    def objects(self, path):
        return json.loads(self.cli("objects", path))["objects"]

    def edit(self, path):
        self.launch(args=["/edit", path])
        self.assertTrue(wait_for(lambda: probe("caption").endswith(os.path.basename(path)), 20),
                        "caption: " + probe("caption"))
        self.origin = tuple(map(int, probe("childrect", "PlenvueEditor").split()[:2]))
        # Focus on the canvas: a click with the Select tool on an empty spot selects nothing.
        self.click(235, 5)

    def at(self, x, y):
        return str(self.origin[0] + x), str(self.origin[1] + y)

    def click(self, x, y):
        xdotool("mousemove", *self.at(x, y))
        xdotool("click", "1")
        time.sleep(0.2)

    def drag(self, *points):
        xdotool("mousemove", *self.at(*points[0]))
        xdotool("mousedown", "1")
        for p in points[1:]:
            time.sleep(0.05)
            xdotool("mousemove", *self.at(*p))
        time.sleep(0.1)
        xdotool("mouseup", "1")
        time.sleep(0.3)

    def key(self, *keys):
        xdotool("key", *keys)
        time.sleep(0.2)

    def undo_step(self):
        return probe("status", 1)

    def zoom(self):
        return probe("status", 2)

    def save_as(self, path):
        probe("command", SAVE_AS)
        self.assertTrue(wait_for(lambda: probe("dialog", "Save File"), 15), "Save As did not open")
        probe("filename", "Save File", wine_path(path))
        self.assertTrue(wait_for(lambda: probe("status").endswith("Save Success"), 15), probe("status"))

    def test_every_tool_undo_redo_zoom_crop_redact_text_save_and_move(self):
        self.edit(self.picture)
        self.assertEqual(self.zoom(), "100 %")
        self.key("r")
        self.drag((20, 20), (50, 40), (80, 60))
        self.assertTrue(wait_for(lambda: self.undo_step() == "Undo: Draw", 5), self.undo_step())
        self.key("e")
        self.drag((100, 20), (140, 50))
        self.key("l")
        self.drag((20, 100), (80, 130))
        self.key("a")
        self.drag((100, 100), (150, 120))
        self.key("p")
        self.drag((160, 20), (170, 30), (180, 40), (200, 30))
        self.key("h")
        self.drag((160, 60), (190, 62), (220, 60))
        self.key("n")
        self.click(200, 120)
        self.key("t")
        self.click(30, 70)
        xdotool("type", "Hi")
        self.key("ctrl+Return")
        # At 200 %, from the top-left corner: a client point is half as far in the picture.
        probe("command", ZOOM_IN)
        probe("command", ZOOM_IN)
        self.assertTrue(wait_for(lambda: self.zoom() == "200 %", 5), self.zoom())
        probe("post", WM_KEYDOWN, VK_HOME, 0)
        time.sleep(0.3)
        self.key("r")
        self.drag((2 * 170, 2 * 130), (2 * 190, 2 * 150))
        probe("command", ZOOM_ACTUAL)
        self.assertTrue(wait_for(lambda: self.zoom() == "100 %", 5), self.zoom())
        probe("post", WM_KEYDOWN, VK_HOME, 0)
        time.sleep(0.3)
        # Undo takes the last rectangle back, Redo brings it again, Ctrl+Shift+Z as Ctrl+Y.
        self.key("ctrl+z")
        self.key("ctrl+y")
        self.key("ctrl+z")
        self.key("ctrl+shift+z")
        # A solid redaction over the bottom-left corner, then a mosaic one.
        self.key("x")
        self.drag((2, 142), (40, 156))
        self.assertTrue(wait_for(lambda: self.undo_step() == "Undo: Redact", 5), self.undo_step())
        probe("command", MOSAIC)
        self.drag((200, 140), (236, 156))
        # Crop away the right column of 10 pixels: the objects keep their places.
        self.key("c")
        self.drag((0, 0), (230, 160))
        self.assertTrue(wait_for(lambda: probe("status").startswith("Crop: 230 x 160"), 5), probe("status"))
        self.key("Return")
        self.assertTrue(wait_for(lambda: self.undo_step() == "Undo: Crop", 5), self.undo_step())

        saved = os.path.join(self.dir, "marked.png")
        self.save_as(saved)
        objects = self.objects(saved)
        by_type = {}
        for o in objects:
            by_type.setdefault(o["type"], []).append(o)
        self.assertEqual(sorted(by_type), ["arrow", "ellipse", "highlight", "line", "pen", "rect", "step", "text"])
        first, small = by_type["rect"]
        self.assertEqual((first["x"], first["y"], first["w"], first["h"]), (20, 20, 60, 40))
        self.assertEqual((small["x"], small["y"], small["w"], small["h"]), (170, 130, 20, 20))
        e = by_type["ellipse"][0]
        self.assertEqual((e["x"], e["y"], e["w"], e["h"]), (100, 20, 40, 30))
        line = by_type["line"][0]
        self.assertEqual((line["x1"], line["y1"], line["x2"], line["y2"]), (20, 100, 80, 130))
        arrow = by_type["arrow"][0]
        self.assertEqual((arrow["x1"], arrow["y1"], arrow["x2"], arrow["y2"]), (100, 100, 150, 120))
        self.assertEqual(by_type["pen"][0]["points"][0], [160, 20])
        self.assertEqual(by_type["text"][0]["text"], "Hi")
        self.assertEqual((by_type["text"][0]["x"], by_type["text"][0]["y"]), (30, 70))
        step = by_type["step"][0]
        self.assertEqual((step["x"] + step["w"] / 2, step["y"] + step["h"] / 2), (200, 120))

        # The flattened file is the stored base with its objects drawn again (text aside: the
        # native tool does not draw text), and the redactions are solid black and a mosaic.
        self.cli("convert", saved, os.path.join(self.dir, "flat.bmp"))
        self.cli("render", saved, os.path.join(self.dir, "rendered.bmp"))
        flat = read_bmp(os.path.join(self.dir, "flat.bmp"))
        rendered = read_bmp(os.path.join(self.dir, "rendered.bmp"))
        self.assertEqual((len(flat[0]), len(flat)), (230, 160))
        t = by_type["text"][0]
        text_box = (t["x"] - 4, t["y"] - 4, t["x"] + t["w"] + 4, t["y"] + t["h"] + 4)
        for y in range(160):
            for x in range(230):
                if text_box[0] <= x < text_box[2] and text_box[1] <= y < text_box[3]:
                    continue
                self.assertEqual(flat[y][x], rendered[y][x], (x, y))
        self.assertEqual({flat[y][x] for y in range(143, 155) for x in range(3, 39)}, {(0, 0, 0)})
        self.assertGreater(len({flat[y][x] for y in range(141, 156) for x in range(201, 229)}), 1)

        # Opened again: the rectangle is dragged by its left edge 10 pixels right and down.
        self.apps[-1].stop()
        self.edit(saved)
        self.key("v")
        self.drag((20, 40), (25, 45), (30, 50))
        self.assertTrue(wait_for(lambda: self.undo_step() == "Undo: Move", 5), self.undo_step())
        with open(saved, "rb") as f:
            before = f.read()

        def rewritten():
            with open(saved, "rb") as f:
                return f.read() != before
        self.key("ctrl+s")
        self.assertTrue(wait_for(rewritten, 15), "not saved in place: " + probe("status"))
        moved = [o for o in self.objects(saved) if o["type"] == "rect"]
        self.assertIn((30, 30, 60, 40), [(o["x"], o["y"], o["w"], o["h"]) for o in moved])

    def test_closing_with_unsaved_drawings_asks_first(self):
        self.edit(self.picture)
        self.key("r")
        self.drag((10, 10), (60, 60))
        probe("close")
        self.assertTrue(wait_for(lambda: probe("dialog", "Plenvue"), 10), "no question on close")
        self.assertIn("not saved", probe("dialog", "Plenvue"))
        # No: Plenvue ends without saving.
        probe("click", "Plenvue", 7)
        self.assertTrue(self.apps[-1].exited(15))


if __name__ == "__main__":
    main()
