"""The installer and its uninstaller under Wine: silent runs per user and into the system folder, the
installed screensaver's runs, and the pages' language."""

import filecmp
import os
import re
import sys
import time
import unittest

import wine_harness as wine
from test_dialog import TITLE as DIALOG_TITLE
from test_modes import REGISTRY_KEY

ENTRY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\NightHarbor3D"
USER_ENTRY = "HKCU\\" + ENTRY
MACHINE_ENTRY = "HKLM\\" + ENTRY
DESKTOP = r"HKCU\Control Panel\Desktop"
SCREENSAVER_FILE = "NightHarbor3D.scr"


def installer():
    return wine.program_path("ZAV_INSTALLER")


def entry_values(key):
    return {name: data for name, (_, data) in wine.registry_query(key).items()}


def command_words(command):
    """A registry command line (a quoted program, then switches) as its words."""
    match = re.match(r'^"([^"]+)"(.*)$', command)
    if not match:
        raise AssertionError("not a quoted program: %r" % command)
    return [match.group(1)] + match.group(2).split()


def desktop_value(name):
    value = wine.registry_query(DESKTOP).get(name)
    return value[1] if value else None


class Installer(unittest.TestCase):
    def setUp(self):
        wine.remove_log()
        wine.registry_delete(REGISTRY_KEY)
        self.program = None
        # The user's screensaver choice as it was, put back afterwards.
        self.saved_desktop = {name: desktop_value(name) for name in ("SCRNSAVE.EXE", "ScreenSaveActive")}

    def tearDown(self):
        if self.program:
            self.program.stop()
        for name, value in self.saved_desktop.items():
            if value is None:
                wine.registry_delete_value(DESKTOP, name)
            else:
                wine.registry_add(DESKTOP, name, "REG_SZ", value)
        wine.registry_delete(REGISTRY_KEY)

    def install(self, *switches):
        code, _ = wine.run("/S", *switches, program=installer(), timeout=120)
        self.assertEqual(code, 0, "the installer failed")

    def uninstall(self, entry_key, *switches):
        """Runs the entry's quiet uninstall command and waits until the entry is gone (the uninstaller
        runs on from a copy of itself in the temporary folder)."""
        words = command_words(entry_values(entry_key)["QuietUninstallString"])
        self.assertIn("/S", words)
        code, _ = wine.run(*words[1:], *switches, program=words[0], timeout=120)
        self.assertEqual(code, 0, "the uninstaller failed")
        self.assertTrue(wine.wait_until(lambda: not wine.registry_key_exists(entry_key)),
                        "the installed-programs entry stays")

    def assertInstalledFrom(self, entry_key, screensaver_folder):
        """Checks the entry and the files it names; returns the installed .scr and the uninstaller."""
        values = entry_values(entry_key)
        self.assertEqual((values["DisplayName"], values["Publisher"]), ("Night Harbor 3D", "VORNHALT Studio"))
        screensaver = os.path.join(wine.unix_path(screensaver_folder or values["InstallLocation"]),
                                   SCREENSAVER_FILE)
        self.assertTrue(filecmp.cmp(screensaver, wine.screensaver_path(), shallow=False),
                        "the installed screensaver is not the built one")
        uninstaller = wine.unix_path(command_words(values["UninstallString"])[0])
        self.assertTrue(os.path.isfile(uninstaller))
        self.assertEqual(os.path.dirname(uninstaller), wine.unix_path(values["InstallLocation"]))
        return screensaver, uninstaller

    def test_silent_per_user_install_runs_and_the_silent_uninstall_leaves_nothing(self):
        self.install("/CURRENT")
        screensaver, uninstaller = self.assertInstalledFrom(USER_ENTRY, None)
        self.assertIn(os.sep + "AppData" + os.sep + "Local" + os.sep + "Programs" + os.sep, screensaver)
        self.assertFalse(wine.registry_key_exists(MACHINE_ENTRY))
        # The current screensaver, by a path without spaces: the system
        # appends " /s" to it unquoted.
        current = desktop_value("SCRNSAVE.EXE")
        self.assertNotIn(" ", current)
        self.assertTrue(os.path.samefile(wine.unix_path(current), screensaver))
        self.assertEqual(desktop_value("ScreenSaveActive"), "1")

        # The installed screensaver runs full screen as the system starts it,
        # and shows its dialog.
        self.program = wine.Running(current, "/s")
        self.assertTrue(wine.wait_for_log_line(("INFO", "Сейвер создан."), timeout=90, process=self.program))
        time.sleep(1.0)
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)
        self.program = wine.Running(screensaver, "/c")
        window = wine.find_window(DIALOG_TITLE, timeout=90)
        self.assertIsNotNone(window, "the installed screensaver's dialog did not appear")
        time.sleep(1.0)
        wine.xdotool("windowfocus", window)
        time.sleep(0.3)
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)
        self.assertTrue(wine.registry_query(REGISTRY_KEY), "the runs saved no settings")
        self.assertIsNotNone(wine.log_path())

        self.uninstall(USER_ENTRY, "/REMOVESETTINGS")
        self.assertTrue(wine.wait_until(lambda: not os.path.exists(os.path.dirname(uninstaller))),
                        "the installation folder stays")
        self.assertFalse(os.path.exists(screensaver))
        self.assertFalse(wine.registry_key_exists(REGISTRY_KEY), "the settings stay")
        self.assertIsNone(wine.log_path())
        # No screensaver rather than a missing one.
        self.assertIsNone(desktop_value("SCRNSAVE.EXE"))
        self.assertEqual(desktop_value("ScreenSaveActive"), "0")

    def test_elevated_install_into_the_system_folder_keeps_what_it_is_not_asked_to_change(self):
        # Wine's user has administrator rights. Without /CURRENT the current
        # screensaver stays, and without /REMOVESETTINGS the settings do.
        wine.registry_add(DESKTOP, "SCRNSAVE.EXE", "REG_SZ", r"C:\windows\system32\other.scr")
        wine.registry_add(REGISTRY_KEY, "Volume", "REG_DWORD", 33)
        self.install("/ALLUSERS")
        screensaver, uninstaller = self.assertInstalledFrom(MACHINE_ENTRY, r"C:\windows\system32")
        self.assertFalse(wine.registry_key_exists(USER_ENTRY))
        self.assertIn(os.sep + "Program Files" + os.sep, uninstaller)
        self.assertEqual(desktop_value("SCRNSAVE.EXE"), r"C:\windows\system32\other.scr")
        self.uninstall(MACHINE_ENTRY)
        self.assertTrue(wine.wait_until(lambda: not os.path.exists(os.path.dirname(uninstaller))),
                        "the uninstaller's folder stays")
        self.assertFalse(os.path.exists(screensaver))
        self.assertEqual(desktop_value("SCRNSAVE.EXE"), r"C:\windows\system32\other.scr")
        self.assertEqual(int(wine.registry_query(REGISTRY_KEY)["Volume"][1], 16), 33)

    def test_pages_follow_the_systems_language(self):
        for environment, title in (({}, "Night Harbor 3D Setup"),
                                   ({"LC_ALL": "ru_RU.UTF-8"}, "Установка Ночная гавань 3D")):
            self.program = wine.Running(installer(), env=environment)
            self.assertIsNotNone(wine.find_window(title, timeout=60), "no installer window titled %r" % title)
            self.program.stop()
            self.assertTrue(wine.window_gone(title))
        self.assertFalse(wine.registry_key_exists(USER_ENTRY))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
