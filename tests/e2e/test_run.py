"""End-to-end runs of the screensaver's window, device, input and loops under Wine and Xvfb.

The real screensaver's run is checked in test_modes.py. These tests run the
probe program instead: the same window, device, input and loop code with an
empty scene and no archives, which reports on stdout when its loop runs.
"""

import sys
import time
import unittest

import wine_harness as wine
from test_modes import GREY, REGISTRY_KEY

LOOP_RUNNING = "loop running"


class ScreensaverRuns(unittest.TestCase):
    def setUp(self):
        wine.remove_log()
        wine.registry_delete(REGISTRY_KEY)
        wine.xdotool("mousemove", "512", "384")
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.stop()
        wine.registry_delete(REGISTRY_KEY)

    def start(self, *arguments):
        self.program = wine.Running(wine.program_path("ZAV_PROBE"), *arguments, env={"ZAV_PROBE_SECONDS": "40"})
        self.assertTrue(self.program.wait_for_line(LOOP_RUNNING), "the loop never ran")
        time.sleep(0.5)

    def assertInOrder(self, lines, expected):
        wine.assert_in_order(self, lines, expected)

    def test_full_screen_run_clears_the_screen_logs_the_device_and_ends_on_a_key(self):
        wine.paint_desktop(GREY)
        self.assertGreater(wine.screen_mean(), 0.4)
        self.start("/s")
        self.assertLess(wine.screen_mean(), 0.01, "the cleared frames do not cover the screen")
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)
        # A busy X server may take a moment to show the desktop again.
        deadline = time.monotonic() + 10
        while wine.screen_mean() <= 0.4 and time.monotonic() < deadline:
            time.sleep(0.5)
        self.assertGreater(wine.screen_mean(), 0.4, "the window is still there after the run")
        lines = wine.read_log()
        self.assertInOrder(lines, [
            ("INFO", "Режим скринсейвера 1."),
            ("INFO", "Создание системного окна [Night Harbor 3D]."),
            ("INFO", "Created HARDWARE VERTEXPROCESSING"),
            ("INFO", "COLOR BPP 32"),
            ("INFO", "Samples 1"),
        ])
        texts = [text for _, text in lines]
        position = 0
        for prefix in ("Vendor [", "Driver [", "Simultaneous Textures [", "Max Active Lights [", "Volume Textures [",
                       "Cube Textures [", "Projected Textures [", "VERTEX SHADER ", "PIXEL SHADER ",
                       "Point Sprites [", "Occlusion Query [", "Hardware Shadowmaps [", "A16B16G16R16F Textures ["):
            found = [i for i, text in enumerate(texts) if i >= position and text.startswith(prefix)]
            self.assertTrue(found, "capability line %r missing or out of order" % prefix)
            position = found[0] + 1
        self.assertInOrder(lines, [
            ("INFO", "Окна скринсейвера созданы."),
            ("INFO", "Работа скринсейвера завершена корректно."),
            ("INFO", "Окна скринсейвера удалены."),
            ("INFO", "Завершение работы движка завершилось удачно."),
            ("INFO", "Скринсейвер завершил работу."),
            ("INFO", "Конец лога."),
        ])
        self.assertFalse([line for line in lines
                          if line[0] not in ("INFO",) and "Менеджер" not in line[1] and line != wine.NO_AUDIO_DEVICE],
                         "the run logs no problems")

    def test_with_exit_on_mouse_move_ten_moves_are_tolerated_and_the_eleventh_ends_the_run(self):
        wine.registry_add(REGISTRY_KEY, "ExitOnMouseMove", "REG_DWORD", 1)
        self.start("/s")
        wine.move_mouse(10)
        time.sleep(1.0)
        self.assertTrue(self.program.running(), "ten moves ended the run")
        wine.xdotool("mousemove", "900", "700")
        self.assertEqual(self.program.wait(timeout=15), 0)
        self.assertIn(("INFO", "ExitOnMouseMove: true"), wine.read_log())

    def test_without_exit_on_mouse_move_moves_never_end_the_run_but_a_click_does(self):
        self.start("/s")
        wine.move_mouse(15)
        time.sleep(1.0)
        self.assertTrue(self.program.running(), "mouse movement ended the run")
        wine.xdotool("click", "1")
        self.assertEqual(self.program.wait(timeout=15), 0)

    def test_preview_runs_inside_the_host_window_until_it_closes(self):
        code, seconds = wine.run(wine.program_path("ZAV_PROBE"), "3", program=wine.program_path("ZAV_PREVIEW_HOST"),
                                 env={"ZAV_PROBE_SECONDS": "40"})
        self.assertEqual(code, 0)  # the host returns the preview's exit code
        self.assertLess(seconds, 20)
        lines = wine.read_log()
        self.assertInOrder(lines, [
            ("INFO", "Режим скринсейвера 0."),
            ("INFO", "Окна скринсейвера созданы."),
            ("ERROR", "Не найден файл данных [preview.bmp]."),
            ("INFO", "Работа скринсейвера завершена корректно."),
            ("INFO", "Окна скринсейвера удалены."),
            ("INFO", "Конец лога."),
        ])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
