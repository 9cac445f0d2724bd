"""An editable PNG in Plenvue.exe: opened with its objects, an Image-menu command run on the picture
under them, saved again with them; a damaged mark-up opens plain with a notice."""
import os
import shutil
import subprocess
import tempfile
import time

from plenvue_e2e import ENV, PlenvueTestCase, main, need, need_native_cli, probe, wait_for

SOURCE_DIR = os.environ.get("PLENVUE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "../.."))
NATIVE_CLI = os.path.join(SOURCE_DIR, "build/native/plenvue-cli")
NEGATIVE, SAVE, UNDO = 1900, 1802, 1913

OBJECTS = """{"version": 1, "objects": [
  {"type": "rect", "x": 4, "y": 3, "w": 30, "h": 18, "stroke": "#ff0000", "width": 2},
  {"type": "arrow", "x1": 50, "y1": 30, "x2": 12, "y2": 8, "width": 3},
  {"type": "step", "x": 40, "y": 2, "w": 20, "h": 20}
]}"""


class MarkupTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        need_native_cli(NATIVE_CLI)
        need("convert")
        self.dir = tempfile.mkdtemp(prefix="plenvue-markup-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.plain = self.path("in.bmp")
        subprocess.run(["convert", "-size", "64x40", "-seed", "5", "plasma:green-yellow", "-type", "TrueColor",
                        "BMP3:" + self.plain], check=True)
        with open(self.path("objects.json"), "w") as f:
            f.write(OBJECTS)
        self.marked = self.path("marked.png")
        self.cli("annotate", self.plain, self.marked, "--objects", self.path("objects.json"))

    def path(self, name):
        return os.path.join(self.dir, name)

    def cli(self, *args):
        r = subprocess.run([NATIVE_CLI] + list(args), capture_output=True, env=ENV, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r.stdout.decode("utf-8")

    def open_in_plenvue(self, path):
        self.launch(args=["/edit", path])
        self.assertTrue(wait_for(lambda: probe("caption").endswith(os.path.basename(path)), 20),
                        "caption: " + probe("caption"))

    def test_a_command_runs_under_the_objects_and_saving_keeps_them(self):
        listed = self.cli("objects", self.marked)
        self.open_in_plenvue(self.marked)
        probe("command", NEGATIVE)
        time.sleep(1)
        with open(self.marked, "rb") as f:
            first_file = f.read()
        probe("command", SAVE)
        self.assertTrue(wait_for(lambda: probe("status").endswith("Save Success"), 20), "status: " + probe("status"))
        with open(self.marked, "rb") as f:
            self.assertNotEqual(f.read(), first_file)
        # The objects are still objects, unchanged; the pixels under them are the negative.
        self.assertEqual(self.cli("objects", self.marked), listed)
        self.cli("negative", self.plain, self.path("negative.bmp"))
        self.cli("annotate", self.path("negative.bmp"), self.path("expected.bmp"), "--objects", self.path("objects.json"))
        self.cli("render", self.marked, self.path("rendered.bmp"))
        with open(self.path("expected.bmp"), "rb") as a, open(self.path("rendered.bmp"), "rb") as b:
            self.assertEqual(a.read(), b.read())
        # Undo takes the negative back; saved again, the file is the first one's picture.
        with open(self.marked, "rb") as f:
            negative_file = f.read()
        probe("command", UNDO)
        time.sleep(1)
        probe("command", SAVE)

        def rewritten():
            with open(self.marked, "rb") as f:
                return f.read() != negative_file
        self.assertTrue(wait_for(rewritten, 20), "the file was not saved again")
        self.cli("render", self.marked, self.path("back.bmp"))
        self.cli("annotate", self.plain, self.path("first.bmp"), "--objects", self.path("objects.json"))
        with open(self.path("first.bmp"), "rb") as a, open(self.path("back.bmp"), "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_a_damaged_mark_up_opens_plain_with_a_notice(self):
        with open(self.marked, "rb") as f:
            data = bytearray(f.read())
        at = data.find(b"pvMK")
        self.assertGreater(at, 0)
        data[at + 40] ^= 0x20  # the chunk's checksum no longer holds
        damaged = self.path("chunk.png")
        with open(damaged, "wb") as f:
            f.write(data)
        self.open_in_plenvue(damaged)
        self.assertTrue(wait_for(lambda: probe("status").endswith("is damaged: it opens as a plain picture."), 10),
                        "status: " + probe("status"))


if __name__ == "__main__":
    main()
