"""End-to-end runs of the settings dialog (/c) and its About box under Wine, driven from the keyboard."""

import os
import sys
import time
import unittest

import wine_harness as wine
from test_modes import REGISTRY_KEY

TITLE = "Night Harbor 3D Configuration"
DESKTOP = r"HKCU\Control Panel\Desktop"
RUSSIAN_TITLE = "Настройка «Ночная гавань 3D»"
DEFAULTS = {"ShowFPS": 0, "ExitOnMouseMove": 0, "ShowTime": 1, "UseDesktopSettings": 1, "Music": 1, "SFX": 1,
            "Hour24": 0, "Volume": 50, "Width": 800, "Height": 600, "ColorDepth": 32, "AntiAliasing": 0,
            "Gamma": 10}
# Parts of the windows as fractions of their client areas (left, top, right, bottom).
SETTINGS_PICTURE = (0.05, 0.10, 0.30, 0.80)   # inside the picture frame on the left
BUTTON_FACE = (0.40, 0.93, 0.62, 0.99)        # the dialog's face between its bottom buttons
ABOUT_LOGO = (0.25, 0.08, 0.75, 0.25)


def stored_values():
    return {name: int(data, 16) for name, (kind, data) in wine.registry_query(REGISTRY_KEY).items()
            if kind == "REG_DWORD"}


class SettingsDialog(unittest.TestCase):
    def setUp(self):
        wine.remove_log()
        wine.registry_delete(REGISTRY_KEY)
        self.program = None
        self.folder = wine.output_folder(self)

    def tearDown(self):
        if self.program:
            self.program.stop()
        wine.registry_delete(REGISTRY_KEY)

    def open_dialog(self, title, env=None):
        self.program = wine.Running(wine.screensaver_path(), "/c", env=env)
        window = wine.find_window(title, timeout=90)
        self.assertIsNotNone(window, "the settings dialog did not appear")
        time.sleep(1.0)
        # Without a window manager nothing hands the new window the keyboard
        # focus when another window of the display had it last.
        wine.xdotool("windowfocus", window)
        time.sleep(0.3)
        return window

    def assertPictureShown(self, shot, geometry):
        mean, deviation = wine.window_region_statistics(shot, geometry, *SETTINGS_PICTURE)
        face_mean, face_deviation = wine.window_region_statistics(shot, geometry, *BUTTON_FACE)
        self.assertLess(face_deviation, 0.02, "the sample of the dialog's face is not plain")
        self.assertGreater(deviation, 0.05, "the settings picture's area is blank")
        self.assertGreater(abs(mean - face_mean), 0.1, "the settings picture's area looks like the dialog")

    def assertEndedWell(self):
        self.assertEqual(self.program.wait(), 0)
        lines = wine.read_log()
        wine.assert_in_order(self, lines, [
            ("INFO", "Режим скринсейвера 3."),
            ("INFO", "Директория [CustomData.rar2] добавлена к директории []."),
            ("INFO", "Запущен режим конфигурирования."),
            ("INFO", "Работа скринсейвера завершена корректно."),
            ("INFO", "Конец лога."),
        ])
        # The test prefix has no audio device: the sound manager says so.
        self.assertEqual([line for line in lines if line[0] != "INFO" and line != wine.NO_AUDIO_DEVICE], [])

    def test_dialog_shows_its_picture_and_ok_from_the_keyboard_writes_the_registry(self):
        window = self.open_dialog(TITLE)
        shot = os.path.join(self.folder, "settings-dialog.png")
        wine.screenshot(shot)
        self.assertPictureShown(shot, wine.window_geometry(window))
        self.assertEqual(stored_values(), DEFAULTS)  # the first run wrote the defaults
        # The first control has the focus; Tab passes the disabled mode list
        # and goes through Music, SFX and the volume to Show FPS.
        wine.xdotool("key", "Tab", "Tab", "Tab", "Tab", "space")
        time.sleep(0.3)
        wine.xdotool("key", "Return")
        self.assertEndedWell()
        # With desktop settings on, OK takes the desktop mode (the X screen's).
        self.assertEqual(stored_values(), dict(DEFAULTS, ShowFPS=1, Width=1024, Height=768, ColorDepth=32))

    def test_about_box_opens_by_its_access_key_and_cancel_writes_nothing(self):
        self.open_dialog(TITLE)
        wine.xdotool("key", "space")  # Use Desktop Settings off, in memory only
        wine.xdotool("key", "alt+a")
        about = wine.find_window("About", timeout=20)
        self.assertIsNotNone(about, "the About box did not appear")
        time.sleep(1.0)
        wine.screenshot(os.path.join(self.folder, "screen-with-about-box.png"))
        shot = os.path.join(self.folder, "about-box.png")
        wine.screenshot(shot, window=about)
        _, _, width, height = wine.window_geometry(about)
        mean, deviation = wine.window_region_statistics(shot, (0, 0, width, height), *ABOUT_LOGO)
        self.assertGreater(deviation, 0.05, "the logo's area is blank")
        mean, deviation = wine.window_region_statistics(shot, (0, 0, width, height), 0.1, 0.35, 0.9, 0.8)
        self.assertGreater(deviation, 0.05, "the lines of text are missing")
        wine.xdotool("key", "Return")  # closes the About box
        self.assertTrue(wine.window_gone("About"), "the About box is still open")
        wine.xdotool("key", "Escape")
        self.assertEndedWell()
        self.assertEqual(stored_values(), DEFAULTS)

    def test_russian_user_locale_shows_the_russian_dialog(self):
        window = self.open_dialog(RUSSIAN_TITLE, env={"LC_ALL": "ru_RU.UTF-8"})
        shot = os.path.join(self.folder, "settings-dialog-ru.png")
        wine.screenshot(shot)
        self.assertPictureShown(shot, wine.window_geometry(window))
        wine.xdotool("key", "Escape")
        self.assertEndedWell()

    def test_on_a_display_scaled_to_150_percent_the_dialog_grows_and_stays_on_the_screen(self):
        window = self.open_dialog(TITLE)
        x, y, width, height = wine.window_geometry(window)
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)
        wine.registry_add(DESKTOP, "LogPixels", "REG_DWORD", 144)
        try:
            window = self.open_dialog(TITLE)
            shot = os.path.join(self.folder, "settings-dialog-144dpi.png")
            wine.screenshot(shot)
            geometry = wine.window_geometry(window)
            wine.xdotool("key", "Escape")
            self.assertEqual(self.program.wait(), 0)
        finally:
            wine.registry_delete_value(DESKTOP, "LogPixels")
        scaled_x, scaled_y, scaled_width, scaled_height = geometry
        self.assertAlmostEqual(scaled_width / width, 1.5, delta=0.1)
        self.assertAlmostEqual(scaled_height / height, 1.5, delta=0.1)
        # The first place centres a box of 530 x 440 pixels at 96 dots per
        # inch on the 1024 x 768 desktop; the box grows with the scale too,
        # so the larger dialog still fits on the screen.
        self.assertGreaterEqual(x, 247)  # the client area lies inside the frame
        self.assertGreaterEqual(y, 164)
        self.assertLessEqual(abs((scaled_x - 114) - (x - 247) * 1.5), 3)
        self.assertLessEqual(abs((scaled_y - 54) - (y - 164) * 1.5), 3)
        self.assertLessEqual(scaled_x + scaled_width, 1024)
        self.assertLessEqual(scaled_y + scaled_height, 768)
        self.assertPictureShown(shot, geometry)  # loaded at the larger size


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
