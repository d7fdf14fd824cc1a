"""End-to-end runs of the real screensaver under Wine, one mode at a time."""

import os
import sys
import time
import unittest

import wine_harness as wine

GREY = "rgb(128,128,128)"
REGISTRY_KEY = r"HKCU\Software\VORNHALT Studio\Night Harbor 3D"
SETTINGS_LINES = [
    ("INFO", "Ресурс настроек загружен."),
    ("INFO", "Значения параметров по-умолчанию загружены."),
    ("INFO", "Значения параметров по-умолчанию установлены."),
    ("INFO", "Значения параметров прочитаны из реестра."),
    ("INFO", "ShowFPS: false"),
    ("INFO", "Gamma: 10"),
    ("INFO", "Ресурс локальных данных загружен."),
    ("INFO", "Значения локальных данных загружены."),
]


class ScreensaverModes(unittest.TestCase):
    def setUp(self):
        wine.remove_log()
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.stop()

    def assertInOrder(self, lines, expected):
        wine.assert_in_order(self, lines, expected)

    def test_password_mode_starts_nothing(self):
        wine.registry_delete(REGISTRY_KEY)
        code, _ = wine.run("/a", "5")
        self.assertEqual(code, 0)
        lines = wine.read_log()
        self.assertInOrder(lines, [("INFO", "Режим скринсейвера 4.")] + SETTINGS_LINES[:3] + [
            ("INFO", "Первый запуск скринсейвера. Запись параметров по-умолчанию в реестр..."),
            ("INFO", "Значения параметров по-умолчанию записаны в реестр."),
            ("INFO", "Значения параметров прочитаны из реестра."),
            ("INFO", "Скринсейвер инициализирован."),
            ("INFO", "Окна скринсейвера созданы."),
            ("INFO", "Сейвер создан."),
            ("INFO", "Работа скринсейвера завершена корректно."),
            ("INFO", "Окна скринсейвера удалены."),
            ("INFO", "Скринсейвер завершил работу."),
            ("INFO", "Конец лога."),
        ])
        self.assertEqual(lines[-1], ("INFO", "Конец лога."))
        self.assertNotIn(("INFO", "Инициализация движка v.0.1.2:"), lines)
        self.assertFalse([line for line in lines if line[0] != "INFO"], "mode 4 logs no problems")
        # The final line is Windows-1251 bytes with a CR LF line end.
        self.assertTrue(wine.raw_log().endswith("INFO. Конец лога.\r\n".encode("cp1251")))

    def test_first_run_writes_defaults_to_the_registry(self):
        wine.registry_delete(REGISTRY_KEY)
        self.assertEqual(wine.run("/a")[0], 0)
        values = wine.registry_query(REGISTRY_KEY)
        for name in ("ShowFPS", "ExitOnMouseMove", "ShowTime", "UseDesktopSettings", "Music", "SFX", "Hour24",
                     "Volume", "Width", "Height", "ColorDepth", "AntiAliasing", "Gamma"):
            self.assertIn(name, values)
            self.assertEqual(values[name][0], "REG_DWORD")
        self.assertEqual(int(values["Volume"][1], 16), 50)
        self.assertEqual(int(values["Gamma"][1], 16), 10)
        # The second run reads them back instead of writing.
        wine.remove_log()
        self.assertEqual(wine.run("/a")[0], 0)
        lines = wine.read_log()
        self.assertNotIn(("INFO", "Первый запуск скринсейвера. Запись параметров по-умолчанию в реестр..."), lines)
        self.assertInOrder(lines, SETTINGS_LINES)

    def test_screensaver_loads_its_scene_from_the_archives_runs_and_ends_on_a_key(self):
        # Both media archives mount from the executable's resources, the
        # overlays' pictures load from CustomData, the loading screen is
        # shown, the scene loads from Media, and the loop covers the screen
        # with the drawn harbour until a key ends the run.
        wine.paint_desktop(GREY)
        self.program = wine.Running(wine.screensaver_path(), "/s")
        self.assertTrue(wine.wait_for_log_line(("INFO", "Сейвер создан."), timeout=90, process=self.program),
                        "the screensaver was not created")
        # The first frames of a busy machine may take a while.
        shot = os.path.join(wine.output_folder(self), "harbour.png")
        deadline = time.monotonic() + 20
        while True:
            time.sleep(1.0)
            wine.screenshot(shot)
            if wine.region_statistics(shot, 0, 0, *wine.screen_size())[0] > 0.02 or time.monotonic() > deadline:
                break
        # Whichever shot comes first: a night picture over the whole screen,
        # with detail in it, and none of the grey desktop left.
        mean, deviation = wine.region_statistics(shot, 0, 0, *wine.screen_size())
        self.assertGreater(mean, 0.02, "the harbour is not drawn")
        self.assertLess(mean, 0.45, "the frames do not cover the desktop")
        self.assertGreater(deviation, 0.03, "the frame is one flat colour")
        self.assertLess(wine.colour_share(shot, GREY), 0.01, "the desktop shows")
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)
        lines = wine.read_log()
        self.assertInOrder(lines, [("INFO", "Режим скринсейвера 1.")] + SETTINGS_LINES + [
            ("INFO", "Инициализация движка v.0.1.2:"),
            ("INFO", "Постинициализация движка завершилась удачно."),
            ("INFO", "Загружается кодек [RAR2FileCodec]."),
            ("INFO", "Директория [CustomData.rar2] добавлена к директории []."),
            ("INFO", "Удаляется файл [CustomData.rar2]."),
            ("INFO", "Директория [Media.rar2] добавлена к директории []."),
            ("INFO", "Удаляется файл [Media.rar2]."),
            ("INFO", "Скринсейвер инициализирован."),
            ("INFO", "Создание системного окна [Night Harbor 3D]."),
            ("INFO", "Окна скринсейвера созданы."),
            ("INFO", "LoadingTexture Loaded"),
            ("INFO", "Кеширование..."),
            ("INFO", "Кеширование закончено."),
            ("INFO", "Сейвер создан."),
            ("INFO", "Работа скринсейвера завершена корректно."),
            ("INFO", "Окна скринсейвера удалены."),
            ("INFO", "Завершение работы движка:"),
            ("INFO", "Удаляется директория [CustomData.rar2]."),
            ("INFO", "Удаляется директория [Media.rar2]."),
            ("INFO", "Завершение работы движка завершилось удачно."),
            ("INFO", "Скринсейвер завершил работу."),
            ("INFO", "Конец лога."),
        ])
        # Nothing else goes wrong on the way: the scene, every codec and
        # every picture load, and nothing is reported missing.
        problems = [line for line in lines if line[0] != "INFO" and line != wine.NO_AUDIO_DEVICE]
        self.assertEqual(problems, [])

    def test_screensaver_shows_the_clock_bottom_right_and_the_frame_rate_top_left(self):
        wine.registry_delete(REGISTRY_KEY)
        self.assertEqual(wine.run("/a")[0], 0)  # the first run writes the defaults
        wine.registry_add(REGISTRY_KEY, "ShowFPS", "REG_DWORD", 1)
        wine.registry_add(REGISTRY_KEY, "Hour24", "REG_DWORD", 1)
        try:
            self.program = wine.Running(wine.screensaver_path(), "/s")
            self.assertTrue(wine.wait_for_log_line(("INFO", "Сейвер создан."), timeout=90, process=self.program),
                            "the screensaver was not created")
            folder = wine.output_folder(self)
            shots = [os.path.join(folder, "clock-%d.png" % i) for i in range(2)]
            # On 1024 x 768 the cells are 38 x 58 pixels: the clock's from
            # (697, 691) to (1005, 749) at most, the frame rate's from (9, 19).
            clock = (690, 680, 320, 75)
            rate = (5, 15, 90, 65)
            # Beside the clock, the black bar below the scene's cinema band:
            # the loading screen covers it until the first frames come.
            bar = (100, 690, 500, 60)
            deadline = time.monotonic() + 20
            while True:
                wine.screenshot(shots[0])
                if (wine.region_statistics(shots[0], *clock)[0] > 0.03 and
                        wine.region_statistics(shots[0], *bar)[0] < 0.01) or time.monotonic() > deadline:
                    break
                time.sleep(0.5)
            time.sleep(1.2)
            wine.screenshot(shots[1])
            wine.xdotool("key", "Escape")
            self.assertEqual(self.program.wait(), 0)
            for shot in shots:
                for x, y, width, height in (clock, rate):
                    mean, deviation = wine.region_statistics(shot, x, y, width, height)
                    self.assertGreater(mean, 0.03, "nothing drawn at %r in %s" % ((x, y), shot))
                    self.assertGreater(deviation, 0.05)
                # Beside them, the bar alone.
                self.assertLess(wine.region_statistics(shot, *bar)[0], 0.01)
            self.assertGreater(wine.region_difference(shots[0], shots[1], *clock), 0.001,
                               "the clock did not change in a second")
        finally:
            wine.registry_delete(REGISTRY_KEY)

    def test_preview_draws_the_preview_picture_from_its_archive(self):
        # The host window stays long enough for a slow, busy machine to start
        # the screensaver inside it before the window closes.
        code, seconds = wine.run(wine.screensaver_path(), "10", program=wine.program_path("ZAV_PREVIEW_HOST"))
        self.assertEqual(code, 0)
        lines = wine.read_log()
        self.assertInOrder(lines, [
            ("INFO", "Режим скринсейвера 0."),
            ("INFO", "Директория [CustomData.rar2] добавлена к директории []."),
            ("INFO", "Скринсейвер инициализирован."),
            ("INFO", "Окна скринсейвера созданы."),
            ("INFO", "Сейвер создан."),
            ("INFO", "Работа скринсейвера завершена корректно."),
            ("INFO", "Окна скринсейвера удалены."),
            ("INFO", "Конец лога."),
        ])
        # The picture is found and decoded; the preview shows CustomData only.
        self.assertEqual([line for line in lines if line[0] != "INFO" and line != wine.NO_AUDIO_DEVICE], [])
        self.assertNotIn(("INFO", "Директория [Media.rar2] добавлена к директории []."), lines)

    def test_registry_values_from_reg_add_are_read_and_clamped(self):
        wine.registry_delete(REGISTRY_KEY)
        wine.registry_add(REGISTRY_KEY, "Volume", "REG_DWORD", 250)
        wine.registry_add(REGISTRY_KEY, "Gamma", "REG_DWORD", 0xFFFFFE0C)  # -500
        wine.registry_add(REGISTRY_KEY, "ShowFPS", "REG_DWORD", 7)
        wine.registry_add(REGISTRY_KEY, "Width", "REG_SZ", "abc")  # four bytes in the narrow view
        wine.registry_add(REGISTRY_KEY, "Height", "REG_SZ", "a long text value")
        try:
            self.assertEqual(wine.run("/a")[0], 0)
            lines = wine.read_log()
            self.assertNotIn(("INFO", "Первый запуск скринсейвера. Запись параметров по-умолчанию в реестр..."),
                             lines)
            for expected in ("Volume: 100", "Gamma: -100", "ShowFPS: true", "Width: %d" % 0x00636261,
                             "Height: 600", "ColorDepth: 32"):
                self.assertIn(("INFO", expected), lines)
        finally:
            wine.registry_delete(REGISTRY_KEY)

    def test_russian_user_locale_gets_the_russian_settings(self):
        wine.registry_delete(REGISTRY_KEY)
        try:
            self.assertEqual(wine.run("/a", env={"LC_ALL": "ru_RU.UTF-8"})[0], 0)
            lines = wine.read_log()
            for expected in ("ShowFPS: true", "ExitOnMouseMove: true", "Hour24: true", "Volume: 80", "Gamma: 0"):
                self.assertIn(("INFO", expected), lines)
            self.assertEqual(int(wine.registry_query(REGISTRY_KEY)["Volume"][1], 16), 80)
        finally:
            wine.registry_delete(REGISTRY_KEY)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
