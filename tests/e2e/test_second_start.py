"""Plenvue.exe started again while it runs: the new process hands its command line (/capture MODE,
/edit FILE, /tray or nothing) to the running instance and ends; the same switches on a first start."""
import os
import shutil
import struct
import subprocess
import tempfile
import time

from plenvue_e2e import ENV, EXE, REG_KEY, PlenvueTestCase, main, probe, wait_for, wine_reg

NO_BOX = ("", "00000000")


def write_bmp(path, width, height, rgb):
    stride = (width * 3 + 3) // 4 * 4
    row = bytes([rgb[2], rgb[1], rgb[0]]) * width + b"\0" * (stride - width * 3)
    pixels = row * height
    header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


class SecondStartTest(PlenvueTestCase):
    def second_start(self, *args, cwd=None):
        """Runs Plenvue.exe again; its exit status, which must come without any dialog."""
        p = subprocess.run(["wine", EXE] + list(args), env=ENV, cwd=cwd or os.path.dirname(EXE),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        return p.returncode

    def hide(self):
        probe("post", 0x112, 0xF020, 0)  # minimised to the notification area
        self.assertTrue(wait_for(lambda: probe("visible") == "0", 10))

    def test_plain_second_start_brings_the_hidden_window_to_the_front(self):
        first = self.launch()
        self.hide()
        self.assertEqual(self.second_start(), 0)
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10), "the window stayed hidden")
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10), "not in front")
        self.assertIn(probe("find", "#32770", "-"), NO_BOX)  # no "still running" message any more
        self.assertIsNone(first.proc.poll())

    def test_plain_second_start_shows_a_tray_start_whose_window_never_appeared(self):
        first = self.launch(args=["/tray"], wait_window=False)
        self.assertTrue(wait_for(lambda: int(probe("main") or "0", 16), 40), "no main window")
        self.assertEqual(probe("visible"), "0")
        self.assertEqual(self.second_start(), 0)
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10), "the window stayed hidden")
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10), "not in front")
        self.assertIn(probe("find", "#32770", "-"), NO_BOX)
        # Laid out as a window shown at start: the status bar reads as usual.
        self.assertEqual(probe("status"), "Plenvue Is Ready")
        self.assertIsNone(first.proc.poll())

    def test_plain_second_start_shows_a_window_closed_to_the_notification_area(self):
        wine_reg("add", REG_KEY, "/v", "Close To Notification Area", "/d", "1", "/f")
        first = self.launch()
        probe("close")
        self.assertTrue(wait_for(lambda: probe("visible") == "0", 10))
        self.assertEqual(self.second_start(), 0)
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10), "the window stayed hidden")
        self.assertTrue(wait_for(lambda: probe("foreground") == probe("main"), 10), "not in front")
        self.assertEqual(probe("iconic"), "0")
        self.assertIsNone(first.proc.poll())

    def test_tray_second_start_leaves_the_window_as_it_is(self):
        self.launch()
        self.hide()
        self.assertEqual(self.second_start("/tray"), 0)
        time.sleep(2)
        self.assertEqual(probe("visible"), "0")

    def test_capture_switch_captures_in_the_running_instance_and_on_a_first_start(self):
        self.launch()
        self.assertEqual(self.second_start("/capture", "screen"), 0)
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success1024*768", 20),
                        "status: " + probe("status"))
        self.apps[0].stop()
        self.apps.clear()
        self.launch(args=["/capture", "screen"])
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success1024*768", 20),
                        "status: " + probe("status"))

    def test_edit_switch_opens_the_file_or_says_it_cannot(self):
        folder = tempfile.mkdtemp(prefix="plenvue-edit-")
        self.addCleanup(shutil.rmtree, folder, True)
        write_bmp(os.path.join(folder, "green.bmp"), 30, 20, (0, 255, 0))
        self.launch()
        self.hide()
        # A name relative to the second start's folder, which is not the running instance's.
        self.assertEqual(self.second_start("/edit", "green.bmp", cwd=folder), 0)
        self.assertTrue(wait_for(lambda: probe("caption").endswith("green.bmp"), 20), "caption: " + probe("caption"))
        self.assertEqual(probe("visible"), "1")
        self.assertTrue(probe("status").endswith("green.bmp\" Open Success"), probe("status"))
        caption = probe("caption")

        self.assertEqual(self.second_start("/edit", "missing.bmp", cwd=folder), 0)
        box = wait_for(lambda: probe("find", "#32770", "Plenvue") not in NO_BOX and probe("dialog", "Plenvue"), 20)
        self.assertIn("missing.bmp cannot be opened", box or "")
        probe("click", "Plenvue", 2)
        probe("click", "Plenvue", 1)
        self.assertTrue(wait_for(lambda: probe("find", "#32770", "Plenvue") in NO_BOX, 10))
        self.assertEqual(probe("caption"), caption)


if __name__ == "__main__":
    main()
