"""Names beyond the ANSI code page as a user meets them: the program living in a folder named with
Cyrillic and CJK letters finds its language packages; automatic saving writes into such a folder,
chosen in the registry or through the folder browser of the Options dialog; Save As, Open, Copy To,
Move To and Delete on such names; a path over 260 characters saves and opens."""
import os
import shutil
import subprocess
import tempfile
import time

from plenvue_e2e import (wine_path, BIN_DIR, ENV, EXE, REG_KEY, Plenvue, PlenvueTestCase, choose_tools_menu_entry, main, need,
                         probe, wait_for, wine_reg, xdotool)

CMD_OPEN, CMD_SAVE_AS, CMD_COPY_TO, CMD_MOVE_TO, CMD_DELETE = 1801, 1803, 1805, 1806, 1807
CMD_FULL_SCREEN, CMD_OPTIONS = 1861, 1875
IDOK, IDYES = 1, 6
FOLDER = "\u0418\u0432\u0430\u043d \u674e"  # Иван 李


def reg_set(name, text):
    wine_reg("add", REG_KEY, "/v", name, "/d", text, "/f")



def caption():
    """The main window's caption in UTF-8 (the plain probe reads it in the ANSI code page)."""
    return probe("caption8").encode("latin-1").decode("utf-8")


def no_window(title):
    return probe("find", "#32770", title) == "00000000"


def folder_browser():
    return wait_for(lambda: "SysTreeView32" in probe("dialog", "Browse for Folder")
                    or "Please choose a folder." in probe("dialog", "Browse for Folder"), 15)


class UnicodeTest(PlenvueTestCase):
    def setUp(self):
        super().setUp()
        reg_set("Set Clipboard Monitor Active", "0")
        self.root = tempfile.mkdtemp(prefix="plenvue-unicode-")
        self.addCleanup(shutil.rmtree, self.root, True)

    def program_in_unicode_folder(self):
        folder = os.path.join(self.root, FOLDER, "\u30d7\u30ed\u30b0\u30e9\u30e0")  # プログラム
        os.makedirs(folder)
        for name in ("Plenvue.exe", "Ravelin.dll"):
            shutil.copy(os.path.join(BIN_DIR, name), folder)
        shutil.copytree(os.path.join(BIN_DIR, "Language"), os.path.join(folder, "Language"))
        return os.path.join(folder, "Plenvue.exe")

    def test_program_in_a_cyrillic_and_cjk_folder_starts_with_its_english_and_german_packages(self):
        exe = self.program_in_unicode_folder()
        # No chooser: the default English package beside the program was found.
        app = self.launch(exe)
        self.assertTrue(wait_for(lambda: probe("status") == "Plenvue Is Ready", 15), probe("status"))
        app.stop()
        german = os.path.join(os.path.dirname(exe), "Language", "German.dll")
        reg_set("LanguagePackage", wine_path(german))
        self.launch(exe)
        self.assertTrue(wait_for(lambda: probe("status") == "Plenvue ist bereit", 15), probe("status"))

    def test_program_in_a_cyrillic_and_cjk_folder_loads_ravelin_and_picks_a_window(self):
        exe = self.program_in_unicode_folder()
        self.pattern_window(20, 120, 200, 100)
        self.launch(exe)
        probe("move", 380, 280, 640, 480)
        time.sleep(0.5)
        choose_tools_menu_entry("w")
        # Ravelin.dll beside the program is loaded by its full path; failing that, a message says so.
        self.assertTrue(wait_for(lambda: int(probe("find", "PlenvueSnapWindow", "-"), 16) != 0, 15),
                        probe("dialog", "Plenvue"))
        time.sleep(1)
        xdotool("mousemove", 97, 147)
        time.sleep(0.3)
        xdotool("mousemove", 100, 150)
        time.sleep(1)
        xdotool("click", 1)
        self.assertTrue(wait_for(lambda: probe("status") == "Capture Image Success200*100", 15), probe("status"))

    def test_auto_save_writes_the_generated_names_into_a_cyrillic_and_cjk_folder(self):
        target = os.path.join(self.root, FOLDER, "\u622a\u56fe")  # 截图
        os.makedirs(target)
        reg_set("SavePath", wine_path(target))
        reg_set("PrefixFileName", "\u0441\u043d\u0438\u043c\u043e\u043a")  # снимок
        reg_set("SuffixFileName", "")
        reg_set("Set Auto Save When Startup", "1")
        self.launch()
        for i in range(2):
            probe("command", CMD_FULL_SCREEN)
            name = "\u0441\u043d\u0438\u043c\u043e\u043a%d.png" % i  # a fresh installation saves PNG
            path = os.path.join(target, name)
            self.assertTrue(wait_for(lambda: os.path.exists(path), 15), os.listdir(target))
            self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assertEqual(sorted(os.listdir(target)),
                         ["\u0441\u043d\u0438\u043c\u043e\u043a0.png", "\u0441\u043d\u0438\u043c\u043e\u043a1.png"])
        with open(os.path.join(target, "\u0441\u043d\u0438\u043c\u043e\u043a1.png"), "rb") as f:
            self.assertEqual(f.read(4), b"\x89PNG")


    def drive_c_folder(self, name):
        """A folder right below C:, where Wine's folder browser reliably selects."""
        path = tempfile.mkdtemp(prefix=name + "-", dir=os.path.join(ENV["WINEPREFIX"], "drive_c"))
        self.addCleanup(shutil.rmtree, path, True)
        return path, "C:\\" + os.path.basename(path)

    def test_folder_browser_copy_move_and_delete_on_cyrillic_and_cjk_names(self):
        shots, shots_c = self.drive_c_folder(FOLDER)
        copies, copies_c = self.drive_c_folder("\u30b3\u30d4\u30fc")  # コピー
        moved, moved_c = self.drive_c_folder("\u041f\u0435\u0440\u0435\u043d\u043e\u0441")  # Перенос
        reg_set("PrefixFileName", "\u0441\u043d\u0438\u043c\u043e\u043a")
        reg_set("SuffixFileName", "")
        reg_set("Set Auto Save When Startup", "1")
        self.launch()
        # The save folder chosen through the Options dialog's folder browser.
        probe("command", CMD_OPTIONS)
        self.assertTrue(wait_for(lambda: not no_window("Options"), 15), "no Options dialog")
        probe("click", "Options", 1124)
        self.assertTrue(folder_browser(), "no folder dialog")
        self.assertEqual(probe("browse", shots_c), "")
        self.assertTrue(wait_for(lambda: no_window("Browse for Folder"), 10))
        time.sleep(0.5)
        probe("click", "Options", IDOK)
        self.assertTrue(wait_for(lambda: no_window("Options"), 10))
        probe("command", CMD_FULL_SCREEN)
        shot = os.path.join(shots, "\u0441\u043d\u0438\u043c\u043e\u043a0.png")
        self.assertTrue(wait_for(lambda: os.path.exists(shot), 15), os.listdir(shots))
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assertEqual(caption(), "Korvane Plenvue--" + shots_c + "\\" + os.path.basename(shot))

        probe("command", CMD_COPY_TO)
        self.assertTrue(folder_browser(), "no folder dialog for Copy To")
        self.assertEqual(probe("browse", copies_c), "")
        self.assertTrue(wait_for(lambda: os.listdir(copies) == [os.path.basename(shot)], 10), os.listdir(copies))
        self.assertTrue(os.path.exists(shot))
        probe("command", CMD_MOVE_TO)
        self.assertTrue(folder_browser(), "no folder dialog for Move To")
        self.assertEqual(probe("browse", moved_c), "")
        self.assertTrue(wait_for(lambda: os.listdir(moved) == [os.path.basename(shot)], 10), os.listdir(moved))
        self.assertFalse(os.path.exists(shot))

        # Delete on the copy, opened by its name.
        copy = os.path.join(copies, os.path.basename(shot))
        self.open_file(copies_c + "\\" + os.path.basename(shot))
        probe("command", CMD_DELETE)
        self.assertTrue(wait_for(lambda: "SURE" in probe("dialog", "Plenvue"), 15))
        probe("click", "Plenvue", IDYES)
        self.assertTrue(wait_for(lambda: not os.path.exists(copy), 10))

    def open_file(self, path):
        probe("command", CMD_OPEN)
        self.assertTrue(wait_for(lambda: probe("dialog", "Load File"), 15), "no open dialog")
        self.assertEqual(probe("filename", "Load File", path), "")
        self.assertTrue(wait_for(lambda: caption() == "Korvane Plenvue--" + path, 15), caption())

    def save_as(self, path):
        probe("command", CMD_SAVE_AS)
        self.assertTrue(wait_for(lambda: probe("dialog", "Save File"), 15), "no save dialog")
        self.assertEqual(probe("filename", "Save File", path), "")
        self.assertTrue(wait_for(lambda: caption() == "Korvane Plenvue--" + path, 15), caption())

    def test_save_as_and_open_on_cyrillic_and_cjk_names(self):
        need("convert")
        folder = os.path.join(self.root, FOLDER)
        os.makedirs(folder)
        src = os.path.join(folder, "\u0438\u0441\u0445\u043e\u0434\u043d\u0438\u043a \u539f\u56fe.bmp")
        subprocess.run(["convert", "-size", "30x20", "xc:#0000FF", "BMP3:" + src], check=True)
        self.launch()
        self.open_file(wine_path(src))
        copy = os.path.join(folder, "\u043a\u043e\u043f\u0438\u044f \u526f\u672c.bmp")
        self.save_as(wine_path(copy))
        self.assertTrue(wait_for(lambda: os.path.exists(copy), 10), os.listdir(folder))
        with open(copy, "rb") as f:
            self.assertEqual(f.read(2), b"BM")
        self.open_file(wine_path(src))
        self.open_file(wine_path(copy))
        self.assertEqual(sorted(os.listdir(folder)), sorted([os.path.basename(src), os.path.basename(copy)]))

    def test_a_path_over_260_characters_is_auto_saved_and_opens(self):
        need("convert")
        # Wine's file dialogs take no names beyond MAX_PATH: the long path is reached through the
        # save folder and opened by dropping it on the history strip.
        deep = os.path.join(self.root, FOLDER)
        while len(wine_path(deep)) < 280:
            deep = os.path.join(deep, "\u0433\u043b\u0443\u0431\u043e\u043a\u043e " + "d" * 30)
        os.makedirs(deep)
        reg_set("SavePath", wine_path(deep))
        reg_set("PrefixFileName", "\u0441\u043d\u0438\u043c\u043e\u043a")
        reg_set("SuffixFileName", "")
        reg_set("Set Auto Save When Startup", "1")
        self.launch()
        probe("command", CMD_FULL_SCREEN)
        shot = os.path.join(deep, "\u0441\u043d\u0438\u043c\u043e\u043a0.png")
        self.assertGreater(len(wine_path(shot)), 260)
        self.assertTrue(wait_for(lambda: os.path.exists(shot), 15), "not saved")
        with open(shot, "rb") as f:
            self.assertEqual(f.read(4), b"\x89PNG")
        self.assertTrue(wait_for(lambda: probe("visible") == "1", 10))
        self.assertTrue(wait_for(lambda: caption() == "Korvane Plenvue--" + wine_path(shot), 10), caption())
        other = os.path.join(self.root, "other.bmp")
        subprocess.run(["convert", "-size", "30x20", "xc:#00FF00", "BMP3:" + other], check=True)
        self.open_file(wine_path(other))
        self.assertEqual(probe("dropw", "PlenvueHistoryStrip", wine_path(shot)), "")
        self.assertTrue(wait_for(lambda: caption() == "Korvane Plenvue--" + wine_path(shot), 10), caption())
    def test_cli_converts_between_cyrillic_and_cjk_names(self):
        need("convert")
        folder = os.path.join(self.root, FOLDER)
        os.makedirs(folder)
        src = os.path.join(folder, "\u0432\u0445\u043e\u0434.bmp")  # вход
        out = os.path.join(folder, "\u0432\u044b\u0445\u043e\u0434 \u56fe.png")  # выход 图
        subprocess.run(["convert", "-size", "20x10", "xc:#FF0000", "BMP3:" + src], check=True)
        with tempfile.TemporaryFile() as log:
            r = subprocess.run(["wine", os.path.join(BIN_DIR, "plenvue-cli.exe"), "convert", wine_path(src),
                                wine_path(out)], stdout=log, stderr=log, env=ENV, timeout=120)
            log.seek(0)
            self.assertEqual(r.returncode, 0, log.read())
        with open(out, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    def test_german_package_shows_its_umlauts_with_a_cyrillic_system_code_page(self):
        # Wine takes the system code page from the locale: Russian gives 1251, which has no umlauts.
        reg_set("LanguagePackage", wine_path(os.path.join(BIN_DIR, "Language", "German.dll")))
        app = Plenvue(EXE)
        self.apps.append(app)
        app.proc = subprocess.Popen(["wine", EXE], env=dict(ENV, LC_ALL="ru_RU.UTF-8", LANG="ru_RU.UTF-8"),
                                    cwd=BIN_DIR, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertTrue(wait_for(lambda: int(probe("main") or "0", 16), 40), "no main window")
        self.assertTrue(wait_for(lambda: probe("status") == "Plenvue ist bereit", 15), probe("status"))
        probe("command", CMD_OPTIONS)
        self.assertTrue(wait_for(lambda: not no_window("Optionen"), 15), "no Optionen dialog")
        texts = probe("dialog8", "Optionen").encode("latin-1").decode("utf-8")
        self.assertIn("|1100|Zwischenablage-\u00dcberwachung aktivieren", texts)
        probe("click", "Optionen", 2)
        self.assertTrue(wait_for(lambda: no_window("Optionen"), 10))


if __name__ == "__main__":
    main()
