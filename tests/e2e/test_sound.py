"""The screensaver's sound under Wine, heard through a PulseAudio daemon of the test's own.

Each test runs NightHarbor3D-sound.scr (the real screensaver with the sound test scene: the looped 440 Hz music
"Music" at half scale and the looped 1 kHz "Beacon" four units left of the camera) with Wine's audio driver set to
PulseAudio, records the daemon's null sink while the scene plays, and measures what came out.
"""

import math
import os
import sys
import time
import unittest

import pulse_audio
import wine_harness as wine

REGISTRY_KEY = r"HKCU\Software\VORNHALT Studio\Night Harbor 3D"
DRIVERS_KEY = r"HKCU\Software\Wine\Drivers"
TONE_RMS = 0.5 / math.sqrt(2.0)  # both test sounds are sines of amplitude 0.5


class SoundRuns(unittest.TestCase):
    def setUp(self):
        self.program = None
        self.pulse = None
        self.niceness = {}
        wine.remove_log()
        wine.registry_add(DRIVERS_KEY, "Audio", "REG_SZ", "pulse")

    def tearDown(self):
        for ident, niceness in self.niceness.items():
            wine.set_niceness([ident], niceness)
        if self.program:
            self.program.stop()
        if self.pulse:
            self.pulse.stop()
        wine.registry_add(DRIVERS_KEY, "Audio", "REG_SZ", "")
        wine.registry_delete(REGISTRY_KEY)

    def settings(self, music, sfx, volume):
        wine.registry_delete(REGISTRY_KEY)
        wine.registry_add(REGISTRY_KEY, "Music", "REG_DWORD", int(music))
        wine.registry_add(REGISTRY_KEY, "SFX", "REG_DWORD", int(sfx))
        wine.registry_add(REGISTRY_KEY, "Volume", "REG_DWORD", volume)

    def play_and_record(self, seconds=2.5, screensaver=None):
        """Starts the screensaver (the sound test one unless told) on the test's daemon, records `seconds` of
        its run, ends it with a key."""
        self.pulse = pulse_audio.PulseDaemon()
        self.program = wine.Running(screensaver or os.environ["ZAV_SOUND_SCREENSAVER"], "/s",
                                    env=self.pulse.program_environment())
        self.assertTrue(wine.wait_for_log_line(("INFO", "Сейвер создан."), timeout=90, process=self.program),
                        "the screensaver was not created")
        # The device opened at the start: its threads run. The wineserver goes back to its niceness afterwards.
        self.niceness = wine.set_niceness(wine.server_pids(), pulse_audio.AUDIO_NICENESS)
        wine.set_niceness(self.pulse.audio_threads(), pulse_audio.AUDIO_NICENESS)
        # The loop starts; the first sound goes through the output's queue (0.37 s), Wine's buffer (0.1 s) and
        # PulseAudio's queue to the sink. Through the loop's first second (its first shaders, textures and
        # overlays) Wine's audio timer may come late once and leave a gap of up to 0.2 s: the recording starts
        # after it.
        time.sleep(1.6 + pulse_audio.PROGRAM_LATENCY_MSEC / 1000.0)
        left, right = self.pulse.record(seconds, os.path.join(wine.output_folder(self), "capture.wav"))
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)
        return left, right

    def assertDeviceOpened(self):
        lines = wine.read_log()
        opened = [text for level, text in lines if text.startswith("Звук инициализирован. Устройство [1] [")]
        self.assertTrue(opened, "the device was not initialised:\n%s" % "\n".join(map(repr, lines)))
        # The second initialisation, for the window, finds the device in use.
        self.assertIn(("ERROR", "Невозможно инициализировать звук. Причина [14]. Устройство [%s]"
                       % opened[0][len("Звук инициализирован. Устройство [1] ["):-1]), lines)

    def test_looped_music_plays_at_the_level_of_the_volume_setting(self):
        self.settings(music=True, sfx=False, volume=50)
        left, right = self.play_and_record()
        self.assertDeviceOpened()
        share, left_rms, right_rms, pitch = pulse_audio.measure(left, right, 0.02)
        self.assertGreater(share, 0.95, "the music sounded in too little of the recording")
        self.assertAlmostEqual(pitch, 440.0, delta=4.0)
        self.assertAlmostEqual(left_rms, TONE_RMS * 0.5, delta=TONE_RMS * 0.5 * 0.06)
        self.assertAlmostEqual(right_rms, left_rms, delta=0.002)

    def test_a_sound_left_of_the_camera_is_louder_in_the_left_channel(self):
        # Music off (silenced, still playing), SFX on: the beacon alone.
        self.settings(music=False, sfx=True, volume=100)
        left, right = self.play_and_record()
        self.assertDeviceOpened()
        share, left_rms, right_rms, pitch = pulse_audio.measure(left, right, 0.05)
        self.assertGreater(share, 0.95, "the beacon sounded in too little of the recording")
        self.assertAlmostEqual(pitch, 1000.0, delta=8.0)
        # Straight to the left and inside its minimum distance: the whole level on the left.
        self.assertAlmostEqual(left_rms, TONE_RMS, delta=TONE_RMS * 0.06)
        self.assertLess(right_rms, left_rms / 20)

    def test_music_and_sfx_off_give_silence(self):
        self.settings(music=False, sfx=False, volume=80)
        left, right = self.play_and_record(1.5)
        self.assertDeviceOpened()
        self.assertGreater(len(left), pulse_audio.RATE)
        self.assertLess(max(pulse_audio.rms(left), pulse_audio.rms(right)), 0.001)

    def test_the_harbour_plays_its_music_and_sounds_and_the_settings_silence_them(self):
        # The shipped screensaver and scene: the music loop everywhere, the
        # waves and the bell where they are, whichever shot comes first.
        levels = {}
        for music, sfx in ((True, True), (False, True), (False, False)):
            self.settings(music=music, sfx=sfx, volume=80)
            left, right = self.play_and_record(3.0, screensaver=wine.screensaver_path())
            self.assertDeviceOpened()
            levels[music, sfx] = max(pulse_audio.rms(left), pulse_audio.rms(right))
            self.pulse.stop()
            self.pulse = None
        self.assertGreater(levels[True, True], 0.01, "the music is not heard")
        self.assertGreater(levels[False, True], 0.0005, "the waves and the bell are not heard")
        self.assertLess(levels[False, True], levels[True, True])
        self.assertLess(levels[False, False], 0.0005, "Music and SFX off still sound")

    def test_without_an_audio_server_the_run_is_silent_and_ends_cleanly(self):
        self.settings(music=True, sfx=True, volume=50)
        missing = os.path.join(os.environ.get("TMPDIR", "/tmp"), "zav-no-pulse-%d" % os.getpid())
        started = time.monotonic()
        self.program = wine.Running(os.environ["ZAV_SOUND_SCREENSAVER"], "/s",
                                    env={"PULSE_SERVER": "unix:" + missing, "PULSE_RUNTIME_PATH": missing})
        self.assertTrue(wine.wait_for_log_line(("INFO", "Сейвер создан."), timeout=90, process=self.program))
        created = time.monotonic() - started
        time.sleep(1.0)
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)
        lines = wine.read_log()
        failed = [text for level, text in lines
                  if level == "ERROR" and text.startswith("Невозможно инициализировать звук. Причина [3].")]
        self.assertEqual(len(failed), 2, "both initialisations fail: no device")
        wine.assert_in_order(self, lines, [
            ("INFO", "Менеджер звука инициализирован."),
            ("INFO", "Сейвер создан."),
            ("INFO", "Работа скринсейвера завершена корректно."),
            ("INFO", "Менеджер звука завершил работу."),
            ("INFO", "Конец лога."),
        ])
        self.assertFalse([line for line in lines if line[0] == "WARNING" and "звука" in line[1]],
                         "the sound nodes load their sounds without a device")
        self.assertLess(created, 60)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
