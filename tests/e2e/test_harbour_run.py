"""A minute and a half of the real screensaver under Wine, watched through a screenshot a second.

The screenshots stay in the test's output folder (shot-NNN.png after NNN
seconds of the scene, and what the analysis found in analysis.txt), so that
scripts/contact-sheet.sh can make a contact sheet of them.
"""

import os
import subprocess
import sys
import time
import unittest

import wine_harness as wine
from test_modes import GREY, REGISTRY_KEY

sys.path.insert(0, os.path.join(wine.ROOT, "scripts"))
import screenshots  # noqa: E402

RUN_SECONDS = 90
SHOTS_WANTED = 5
# How much of the run's pairs of consecutive frames of one shot must differ:
# on a busy machine the program may now and then present no new frame for a
# whole second.
MOVING_SHARE = 0.75
OVERLAYS_UNAVAILABLE = ("WARNING", "Экранные надписи: недоступно в этой сборке, пропущено.")
# The clock's row in the 24-hour form, as fractions of the screen: eight
# cells of 0.0375 x 0.075 ending 0.01875 short of the right edge, 0.025 above
# the bottom, with a margin.
CLOCK = (0.67, 0.885, 0.99, 0.983)
# A grey level above which a pixel belongs to the digits' bright strokes, and
# the share of the clock's region that strokes cover (thin digits, not a
# bright patch).
STROKE_LEVEL = 0.7
STROKE_SHARE = (0.01, 0.35)


class Capture:
    """Screenshots at fixed times, each saved in the background so that a slow conversion does not
    delay the next one; at most a few at once."""

    def __init__(self, folder):
        self.folder = folder
        self.pending = []
        for old in os.listdir(folder):
            os.remove(os.path.join(folder, old))

    def take(self, seconds):
        while len(self.pending) >= 3:
            self.pending.pop(0).wait()
        path = os.path.join(self.folder, "shot-%03d.png" % seconds)
        self.pending.append(subprocess.Popen("xwd -root -silent | convert xwd:- '%s'" % path, shell=True,
                                             stdin=subprocess.DEVNULL))

    def finish(self):
        for process in self.pending:
            process.wait()
        self.pending = []


def bright_shares(path, regions):
    """For each region (x, y, width, height) of a picture, the share of its pixels above STROKE_LEVEL."""
    command = ["convert", path, "-colorspace", "gray", "-threshold", "%d%%" % (STROKE_LEVEL * 100)]
    for x, y, width, height in regions:
        command += ["(", "-clone", "0", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", ")"]
    command += ["-delete", "0", "-format", "%[fx:mean]\n", "info:"]
    output = subprocess.run(command, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE).stdout
    return [float(value) for value in output.decode().split()]


class HarbourRun(unittest.TestCase):
    def setUp(self):
        wine.remove_log()
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.stop()
        wine.registry_delete(REGISTRY_KEY)

    def run_and_capture(self, folder):
        wine.registry_delete(REGISTRY_KEY)
        self.assertEqual(wine.run("/a")[0], 0)  # the first run writes the defaults
        for name, value in (("ShowTime", 1), ("Hour24", 1), ("ShowFPS", 0)):
            wine.registry_add(REGISTRY_KEY, name, "REG_DWORD", value)
        wine.remove_log()
        wine.paint_desktop(GREY)
        wine.xdotool("mousemove", "512", "384")
        self.program = wine.Running(wine.screensaver_path(), "/s")
        self.assertTrue(wine.wait_for_log_line(("INFO", "Сейвер создан."), timeout=120, process=self.program),
                        "the screensaver was not created")
        capture = Capture(folder)
        started = time.monotonic()
        for second in range(1, RUN_SECONDS + 1):
            time.sleep(max(0.0, started + second - time.monotonic()))
            self.assertTrue(self.program.running(), "the screensaver ended by itself after %d s" % second)
            capture.take(second)
        capture.finish()
        wine.xdotool("key", "Escape")
        self.assertEqual(self.program.wait(), 0)

    def test_ninety_seconds_show_several_shots_with_fades_between_them_motion_and_the_clock(self):
        folder = wine.output_folder(self)
        self.run_and_capture(folder)
        lines = wine.read_log()
        timeline = screenshots.Timeline(screenshots.load_frames(folder))
        report = [timeline.describe()]
        self.assertEqual(len(timeline.frames), RUN_SECONDS, "screenshots missing")
        shots = timeline.shots()
        # Shots of a frame or two are the odd frame between a fade and a cut.
        long_shots = [shot for shot in shots if len(shot.frames) >= 3]

        with self.subTest("shots"):
            self.assertGreaterEqual(len(long_shots), SHOTS_WANTED, "\n".join(report))

        with self.subTest("fades"):
            fades = timeline.fades_between_shots()
            self.assertTrue(fades, "no near-black frame between two shots\n" + "\n".join(report))

        with self.subTest("motion"):
            counts = [shot.moving_pairs() for shot in shots]
            moving = sum(count[0] for count in counts)
            pairs = sum(count[1] for count in counts)
            self.assertGreater(pairs, 0, "no two consecutive frames of one shot")
            self.assertGreaterEqual(moving, MOVING_SHARE * pairs, "\n".join(report))
            still = [shot.span() for shot in long_shots if shot.moving_pairs()[0] == 0]
            self.assertEqual(still, [], "shots in which nothing moves\n" + "\n".join(report))

        with self.subTest("clock"):
            if OVERLAYS_UNAVAILABLE in lines:
                self.skipTest("the clock is not checked: this build has no overlays (%s)" % OVERLAYS_UNAVAILABLE[1])
            width, height = wine.screen_size()
            left, top, right, bottom = CLOCK
            clock = (int(width * left), int(height * top), int(width * (right - left)), int(height * (bottom - top)))
            # The same rectangle in the bottom left corner, where no overlay is drawn.
            plain = (width - clock[0] - clock[2], clock[1], clock[2], clock[3])
            sampled = timeline.frames[::3]
            shown = []
            for frame in sampled:
                digits, scene = bright_shares(frame.path, [clock, plain])
                report.append("clock in %s: %.3f bright (%.3f bottom left)"
                              % (os.path.basename(frame.path), digits, scene))
                if STROKE_SHARE[0] <= digits <= STROKE_SHARE[1] and digits >= scene + STROKE_SHARE[0]:
                    shown.append(frame)
            self.assertGreaterEqual(len(shown), 0.9 * len(sampled), "\n".join(report))

        with self.subTest("log"):
            errors = [line for line in lines
                      if line[0] in ("ERROR", "CRITICAL ERROR") and line != wine.NO_AUDIO_DEVICE]
            self.assertEqual(errors, [])
            report += ["%s. %s" % line for line in lines if line[0] == "WARNING"]

        with open(os.path.join(folder, "analysis.txt"), "w", encoding="utf-8") as summary:
            summary.write("\n".join(report) + "\n")
        print("\n".join(report))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
