"""The screensaver on a display with two monitors: the second gets a black window of its own."""

import sys
import unittest

import wine_harness as wine

TITLE = "Night Harbor 3D"
# Wine reports two monitors for this X server, both at (0, 0): the second
# one's window lies under the scene's, so it shows in the window list only.
TWO_SCREENS = ("-screen", "0", "1024x768x24", "-screen", "1", "800x600x24", "+xinerama", "-extension", "RANDR")


class TwoMonitors(unittest.TestCase):
    def test_the_second_monitor_gets_a_black_window_and_a_key_ends_the_run(self):
        with wine.own_display(*TWO_SCREENS):
            wine.remove_log()
            program = wine.Running(wine.screensaver_path(), "/s")
            try:
                self.assertTrue(wine.wait_for_log_line(("INFO", "Сейвер создан."), timeout=90, process=program),
                                "the screensaver was not created")
                self.assertIn(("INFO", "Монитор 0,0 800x600 закрыт чёрным окном."), wine.read_log())
                sizes = sorted(wine.window_geometry(window)[2:] for window in wine.windows_titled(TITLE))
                self.assertEqual(sizes, [(800, 600), (1024, 768)])
                wine.xdotool("key", "Escape")
                self.assertEqual(program.wait(), 0)
                self.assertTrue(wine.window_gone(TITLE))
            finally:
                program.stop()
        self.assertIn(("INFO", "Конец лога."), wine.read_log())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
