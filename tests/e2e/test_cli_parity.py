"""plenvue-cli gives the same bytes on Linux and as plenvue-cli.exe under Wine."""
import os
import subprocess
import tempfile
import unittest

from plenvue_e2e import BIN_DIR, ENV, main, need, need_native_cli

SOURCE_DIR = os.environ.get("PLENVUE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "../.."))
NATIVE_CLI = os.path.join(SOURCE_DIR, "build/native/plenvue-cli")
WIN_CLI = os.path.join(BIN_DIR, "plenvue-cli.exe")

# Each case: the command's words before IN OUT, the words after, and the output's extension.
CASES = [
    (["convert"], [], ".bmp"),
    (["convert"], ["--quality", "90"], ".jpg"),
    (["filter", "blur"], [], ".bmp"),
    (["filter", "soften-more"], [], ".bmp"),
    (["filter", "sharpen"], [], ".bmp"),
    (["filter", "emboss"], [], ".bmp"),
    (["filter", "minimum"], [], ".bmp"),
    (["fade", "100"], [], ".bmp"),
    (["lighten", "40"], [], ".bmp"),
    (["lighten", "-60"], [], ".bmp"),
    (["colourise", "2.5"], [], ".bmp"),
    (["noise", "40"], ["--seed", "7"], ".bmp"),
    (["noise", "40"], ["--random", "--seed", "7"], ".bmp"),
    (["negative"], [], ".bmp"),
    (["mirror-hv"], [], ".bmp"),
    (["grayscale"], [], ".bmp"),
    (["bw"], [], ".bmp"),
    (["palette", "16"], ["--diffuse"], ".bmp"),
    (["palette", "websafe"], [], ".bmp"),
    (["palette", "optimal:64:5"], ["--diffuse"], ".bmp"),
    (["depth", "1"], [], ".bmp"),
    (["depth", "4"], [], ".bmp"),
    (["depth", "8"], [], ".bmp"),
]


class CliParityTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        need_native_cli(NATIVE_CLI)
        need("convert")
        cls.dir = tempfile.mkdtemp(prefix="plenvue-parity-")
        cls.input = os.path.join(cls.dir, "in.bmp")
        # An odd-sized picture with smooth areas and hard edges.
        subprocess.run(["convert", "-size", "37x23", "-seed", "3", "plasma:red-blue",
                        "-fill", "white", "-draw", "rectangle 5,5 12,9", "-type", "TrueColor",
                        "BMP3:" + cls.input], check=True)

    def run_both(self, words, extra, ext, tag):
        native_out = os.path.join(self.dir, tag + "-native" + ext)
        win_out = os.path.join(self.dir, tag + "-win" + ext)
        n = subprocess.run([NATIVE_CLI] + words + [self.input, native_out] + extra,
                           capture_output=True, env=ENV)
        self.assertEqual(n.returncode, 0, n.stderr)
        with tempfile.TemporaryFile() as log:
            w = subprocess.run(["wine", WIN_CLI] + words + [self.input, win_out] + extra,
                               stdout=log, stderr=log, env=ENV)
            log.seek(0)
            self.assertEqual(w.returncode, 0, log.read())
        with open(native_out, "rb") as a, open(win_out, "rb") as b:
            return a.read(), b.read()

    def test_every_shape_is_drawn_to_the_same_bytes(self):
        # Shapes, badges and redactions come from the portable rasteriser: the same bytes on both.
        objects = os.path.join(self.dir, "shapes.json")
        with open(objects, "w") as f:
            f.write("""{"version": 1, "objects": [
              {"type": "rect", "x": 2.5, "y": 1, "w": 20, "h": 12, "fill": "#00ff0060", "radius": 4},
              {"type": "ellipse", "x": 10, "y": 4, "w": 25, "h": 17, "stroke": "#0000ffc0", "width": 2.25},
              {"type": "line", "x1": 0, "y1": 22, "x2": 36, "y2": 3, "width": 1.5},
              {"type": "arrow", "x1": 30, "y1": 20, "x2": 4, "y2": 6, "heads": "both"},
              {"type": "pen", "points": [[3, 3], [9, 15], [17, 7], [30, 18]], "width": 2},
              {"type": "highlight", "points": [[0, 11], [36, 12]], "width": 6},
              {"type": "step", "x": 20, "y": 2, "w": 16, "h": 16, "start": 7},
              {"type": "redact", "x": 1.5, "y": 15.5, "w": 9, "h": 6, "style": "mosaic", "cell": 3, "seed": 9},
              {"type": "redact", "x": 26, "y": 0, "w": 5, "h": 4}
            ]}""")
        native, windows = self.run_both(["annotate"], ["--objects", objects], ".bmp", "shapes")
        self.assertGreater(len(native), 54)
        self.assertEqual(native, windows)

    def test_every_effect_gives_identical_bytes(self):
        for i, (words, extra, ext) in enumerate(CASES):
            with self.subTest(command=" ".join(words + extra)):
                native, windows = self.run_both(words, extra, ext, "case%d" % i)
                self.assertGreater(len(native), 54)
                self.assertEqual(native, windows)


if __name__ == "__main__":
    main()
