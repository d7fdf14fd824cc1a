"""scripts/screenshots.py on runs made of pictures that ImageMagick paints: views that pan, fades,
cuts, a frozen picture."""

import os
import random
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import screenshots  # noqa: E402


class Run:
    """Writes a run's screenshots, shot-NNN.png one a second, cut from large pictures of night views:
    lit blocks and lamps of random places and sizes in the dark."""

    def __init__(self, folder):
        self.folder = folder
        self.views = {}
        self.seconds = 0

    def view(self, seed):
        if seed not in self.views:
            path = os.path.join(self.folder, "view-%d.png" % seed)
            shapes = random.Random(seed)
            draw = []
            for _ in range(30):
                x, y = shapes.randrange(400), shapes.randrange(300)
                grey = shapes.randrange(60, 255)
                draw += ["-fill", "rgb(%d,%d,%d)" % (grey, grey, grey)]
                if shapes.random() < 0.5:
                    draw += ["-draw", "rectangle %d,%d %d,%d" % (x, y, x + shapes.randrange(20, 100),
                                                                  y + shapes.randrange(20, 80))]
                else:
                    draw += ["-draw", "circle %d,%d %d,%d" % (x, y, x + shapes.randrange(5, 25), y)]
            subprocess.run(["convert", "-size", "400x300", "xc:rgb(10,15,30)", *draw, path], check=True)
            self.views[seed] = path
        return self.views[seed]

    def frame(self, seed, offset=0, brightness=1.0):
        """The next second: the view `seed` from `offset` pixels to the right, darkened by the veil."""
        self.seconds += 1
        path = os.path.join(self.folder, "shot-%03d.png" % self.seconds)
        subprocess.run(["convert", self.view(seed), "-crop", "256x192+%d+40" % (40 + offset), "+repage",
                        "-evaluate", "multiply", str(brightness), path], check=True)
        return path

    def same_again(self):
        """The next second shows exactly what the last did (the program presented nothing new)."""
        self.seconds += 1
        path = os.path.join(self.folder, "shot-%03d.png" % self.seconds)
        shutil.copy(os.path.join(self.folder, "shot-%03d.png" % (self.seconds - 1)), path)

    def timeline(self):
        return screenshots.Timeline(screenshots.load_frames(self.folder))


class Shots(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="zav-screenshots-")
        self.run = Run(self.folder)

    def tearDown(self):
        shutil.rmtree(self.folder)

    def test_fades_and_cuts_part_the_shots_and_the_veil_and_pans_do_not(self):
        run = self.run
        for offset in (0, 16, 32, 48):  # a pan, a quarter of the picture in four seconds
            run.frame(1, offset)
        run.frame(1, 64, brightness=0.5)  # the veil rises
        run.frame(1, 80, brightness=0.05)  # near black
        run.frame(2, 0, brightness=0.4)
        for offset in (4, 8, 12):
            run.frame(2, offset)
        run.frame(3)  # a hard cut
        run.frame(3, 6)
        run.same_again()
        run.frame(3, 12)
        timeline = run.timeline()
        shots = timeline.shots()
        self.assertEqual([shot.span() for shot in shots], [(1, 5), (7, 10), (11, 14)], timeline.describe())
        self.assertEqual([[frame.seconds for frame in fade] for fade in timeline.fades_between_shots()], [[6]])
        self.assertEqual([shot.moving_pairs() for shot in shots], [(4, 4), (3, 3), (2, 3)])
        # The frames that stand for a shot are not darkened by the veil.
        self.assertEqual([shot.representative().seconds for shot in shots], [3, 9, 13])
        self.assertIn("fade at 6 s", timeline.describe())

    def test_a_dark_moment_in_one_view_leaves_one_shot_and_fades_at_the_ends_are_not_between_shots(self):
        run = self.run
        run.frame(4, brightness=0.05)
        run.frame(4, 0)
        run.frame(4, 4)
        run.frame(4, 8, brightness=0.04)
        run.frame(4, 12)
        run.frame(5, brightness=0.05)
        timeline = run.timeline()
        shots = timeline.shots()
        self.assertEqual(len(shots), 1, timeline.describe())
        self.assertEqual([frame.seconds for frame in shots[0].frames], [2, 3, 5])
        self.assertEqual([frame.seconds for frame in shots[0].dark], [4])
        self.assertEqual(timeline.fades_between_shots(), [])

    def test_the_command_lists_one_frame_per_shot_and_fails_without_screenshots(self):
        script = os.path.join(ROOT, "scripts", "screenshots.py")
        empty = subprocess.run([sys.executable, script, self.folder], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.assertEqual(empty.returncode, 1)
        self.assertIn(b"no screenshots", empty.stderr)
        self.assertEqual(subprocess.run([sys.executable, script], stderr=subprocess.DEVNULL).returncode, 64)
        for seed in (6, 7):
            self.run.frame(seed)
            self.run.frame(seed, 4)
        listed = subprocess.run([sys.executable, script, "--representatives", self.folder], check=True,
                                stdout=subprocess.PIPE).stdout.decode().split("\n")
        self.assertEqual(listed, ["2 " + os.path.join(self.folder, "shot-002.png"),
                                  "4 " + os.path.join(self.folder, "shot-004.png"), ""])


class Pictures(unittest.TestCase):
    def test_binary_grey_pictures_of_both_depths_are_read_and_damaged_ones_refused(self):
        pixels, width, height = screenshots.read_pgm(b"P5\n# made by hand\n2 1\n65535\n\x00\x00\xff\xff")
        self.assertEqual((pixels, width, height), ([0.0, 1.0], 2, 1))
        pixels, _, _ = screenshots.read_pgm(b"P5 3 1 255\n\x00\x80\xff")
        self.assertAlmostEqual(pixels[1], 128 / 255)
        with self.assertRaises(ValueError):
            screenshots.read_pgm(b"P5\n2 2\n255\n\x00\x00\x00")
        with self.assertRaises(ValueError):
            screenshots.read_pgm(b"P6\n1 1\n255\n\x00\x00\x00")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
