"""The About box from the Help menu as a user meets it: its texts in the current language, closed by OK."""
from plenvue_e2e import PlenvueTestCase, main, probe, wait_for

TITLE = "About Plenvue"
ABOUT_COMMAND = 1926


def about_open():
    return probe("find", "#32770", TITLE) != "00000000"


class AboutBoxTest(PlenvueTestCase):
    def test_about_box_shows_name_and_version_and_ok_closes_it(self):
        self.launch()
        probe("command", ABOUT_COMMAND)
        self.assertTrue(wait_for(about_open, 15), "no About box")
        texts = probe("dialog", TITLE)
        self.assertIn("Plenvue Version1.0.0", texts)
        self.assertIn("OK", texts)
        probe("click", TITLE, 1)
        self.assertTrue(wait_for(lambda: not about_open(), 10), "OK left the About box open")
        # The program goes on: the main window is still there and answers.
        self.assertNotEqual(probe("main"), "00000000")


if __name__ == "__main__":
    main()
