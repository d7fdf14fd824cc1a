#!/usr/bin/env python3
"""Finds the camera shots in the screenshots of a run (one a second, named
shot-NNN.png after NNN seconds, as run.sh and the end-to-end test save them).

    scripts/screenshots.py [--representatives] FOLDER

prints the shots, the near-black fade frames between them and how often the
picture moves within a shot; with --representatives one line "SECONDS PATH"
per shot instead: the frame that stands for it on a contact sheet.

Each screenshot is read once through ImageMagick as a small grey picture. A
frame darker than FADE_BRIGHTNESS on average is a fade frame. Between two
others, a cut is a big change of the picture once each is divided by its own
mean brightness (so that the veil darkening the last and first second of a
shot does not count) and the best of a few offsets is taken (so that a pan
does not count either), while a new view does. Consecutive shots
that only a fade separates and that look alike are one shot with a dark
moment. Only the band between the overlays' rows (the frame rate at the top,
the clock at the bottom) is compared, since they change on their own."""

import glob
import os
import re
import subprocess
import sys
from array import array

WIDTH, HEIGHT = 128, 96
# Rows of the thumbnail compared: below the frame rate, above the clock.
BAND = (11, 83)
# Cuts are found on a coarser picture (2 x 2 thumbnail pixels to one), each
# divided by its frame's mean, compared at every offset up to SHIFT (x, y)
# coarse pixels: the smallest mean difference is the change. A pan or a slow
# flight moves the view by less than that in a second and changes little; a
# view from elsewhere changes by about 0.5 and more.
SHIFT = (6, 3)
# Mean brightness (0 black, 1 white) below which a frame is a fade frame.
FADE_BRIGHTNESS = 0.03
# A change above max(CUT_FLOOR, CUT_FACTOR x the run's median change) is a
# cut; views before and after fade frames are one shot when they change by
# less than MERGE_SHARE of that.
CUT_FLOOR = 0.35
CUT_FACTOR = 3.0
MERGE_SHARE = 0.5
# A mean difference of the grey pixels above this is motion (a still picture
# differs by nothing at all).
MOTION_FLOOR = 1e-5
# The frames of a shot that stand for it are at least this bright relative
# to its brightest (not darkened by the veil).
REPRESENTATIVE_BRIGHTNESS = 0.85


class Frame:
    """One screenshot: its file, its time in seconds and its grey band (values 0 to 1)."""

    def __init__(self, path, seconds, pixels):
        self.path = path
        self.seconds = seconds
        self.pixels = pixels
        self.mean = sum(pixels) / len(pixels)
        scale = 4.0 * self.mean or 1.0
        rows = len(pixels) // WIDTH
        self.coarse = [[(pixels[y * WIDTH + x] + pixels[y * WIDTH + x + 1] + pixels[(y + 1) * WIDTH + x]
                         + pixels[(y + 1) * WIDTH + x + 1]) / scale for x in range(0, WIDTH - 1, 2)]
                       for y in range(0, rows - 1, 2)]

    def is_fade(self):
        return self.mean < FADE_BRIGHTNESS


def read_pgm(data):
    """The grey values (0 to 1) of a binary PGM picture, and its width and height."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    if fields[0] != b"P5":
        raise ValueError("not a binary PGM picture")
    width, height, top = int(fields[1]), int(fields[2]), int(fields[3])
    body = data[position + 1:]
    samples = array("H") if top > 255 else array("B")
    count = width * height
    if len(body) < count * samples.itemsize:
        raise ValueError("the PGM picture is cut short")
    samples.frombytes(body[:count * samples.itemsize])
    if samples.itemsize == 2 and sys.byteorder == "little":
        samples.byteswap()
    return [value / top for value in samples], width, height


def seconds_of(path, index):
    """The time in a name such as shot-012.png, else the file's place in the run."""
    match = re.search(r"(\d+)\.png$", os.path.basename(path))
    return int(match.group(1)) if match else index


def load_frame(path, seconds):
    picture = subprocess.run(["convert", path, "-colorspace", "gray", "-filter", "box",
                              "-resize", "%dx%d!" % (WIDTH, HEIGHT), "-depth", "16", "pgm:-"],
                             check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE).stdout
    pixels, width, height = read_pgm(picture)
    if (width, height) != (WIDTH, HEIGHT):
        raise ValueError("%s: read as %dx%d" % (path, width, height))
    return Frame(path, seconds, pixels[BAND[0] * WIDTH:BAND[1] * WIDTH])


def load_frames(folder):
    """The screenshots shot-*.png of a folder in time order."""
    paths = sorted(glob.glob(os.path.join(folder, "shot-*.png")))
    frames = [load_frame(path, seconds_of(path, i)) for i, path in enumerate(paths)]
    return sorted(frames, key=lambda frame: frame.seconds)


def change(first, second):
    """How much the view changes between two frames (see SHIFT): 0 for the same view however dark."""
    sx, sy = SHIFT
    a, b = first.coarse, second.coarse
    rows, columns = len(a) - 2 * sy, len(a[0]) - 2 * sx
    best = None
    for dy in range(-sy, sy + 1):
        for dx in range(-sx, sx + 1):
            total = 0.0
            for y in range(sy, sy + rows):
                total += sum(abs(p - q) for p, q in zip(a[y][sx:sx + columns], b[y + dy][sx + dx:sx + dx + columns]))
            if best is None or total < best:
                best = total
    return best / (rows * columns)


def motion(first, second):
    """The mean difference of the grey pixels of two frames (0 to 1)."""
    return sum(abs(x - y) for x, y in zip(first.pixels, second.pixels)) / len(first.pixels)


class Shot:
    """Consecutive frames of one view; `dark` holds the fade frames of a dark moment inside it."""

    def __init__(self, frame):
        self.frames = [frame]
        self.dark = []

    def moving_pairs(self):
        """(pairs of consecutive frames that differ, pairs)."""
        pairs = list(zip(self.frames, self.frames[1:]))
        return sum(1 for a, b in pairs if motion(a, b) > MOTION_FLOOR), len(pairs)

    def representative(self):
        """The middle one of the frames that the veil does not darken."""
        brightest = max(frame.mean for frame in self.frames)
        bright = [frame for frame in self.frames if frame.mean >= REPRESENTATIVE_BRIGHTNESS * brightest]
        return bright[len(bright) // 2]

    def span(self):
        return self.frames[0].seconds, self.frames[-1].seconds


class Timeline:
    """A run cut into shots and the fade frames between them, in time order."""

    def __init__(self, frames):
        self.frames = frames
        ordinary = [frame for frame in frames if not frame.is_fade()]
        changes = sorted(change(a, b) for a, b in zip(ordinary, ordinary[1:]))
        median = changes[len(changes) // 2] if changes else 0.0
        self.cut_change = max(CUT_FLOOR, CUT_FACTOR * median)
        # Entries are Shot objects and lists of fade frames.
        self.entries = []
        for frame in frames:
            last = self.entries[-1] if self.entries else None
            if frame.is_fade():
                if isinstance(last, list):
                    last.append(frame)
                else:
                    self.entries.append([frame])
            elif isinstance(last, Shot) and change(last.frames[-1], frame) <= self.cut_change:
                last.frames.append(frame)
            elif (isinstance(last, list) and len(self.entries) >= 2
                  and change(self.entries[-2].frames[-1], frame) <= MERGE_SHARE * self.cut_change):
                # Only dark frames came between two frames of one view.
                fade = self.entries.pop()
                self.entries[-1].dark.extend(fade)
                self.entries[-1].frames.append(frame)
            else:
                self.entries.append(Shot(frame))

    def shots(self):
        return [entry for entry in self.entries if isinstance(entry, Shot)]

    def fades_between_shots(self):
        """The runs of fade frames that have a shot on either side."""
        return [entry for i, entry in enumerate(self.entries)
                if isinstance(entry, list) and 0 < i < len(self.entries) - 1]

    def describe(self):
        lines = ["%d frames, %d shots (a cut is a change above %.2f)"
                 % (len(self.frames), len(self.shots()), self.cut_change)]
        for entry in self.entries:
            if isinstance(entry, Shot):
                moving, pairs = entry.moving_pairs()
                first, last = entry.span()
                lines.append("shot %d-%d s: %d frames, moving in %d of %d pairs, shown by %s%s"
                             % (first, last, len(entry.frames), moving, pairs,
                                os.path.basename(entry.representative().path),
                                ", dark at %s s" % ", ".join(str(f.seconds) for f in entry.dark) if entry.dark else ""))
            else:
                lines.append("fade at %s s" % ", ".join(str(frame.seconds) for frame in entry))
        return "\n".join(lines)


def main(arguments):
    representatives = "--representatives" in arguments
    folders = [argument for argument in arguments if argument != "--representatives"]
    if len(folders) != 1 or folders[0].startswith("-"):
        print("usage: scripts/screenshots.py [--representatives] FOLDER", file=sys.stderr)
        return 64
    frames = load_frames(folders[0])
    if not frames:
        print("no screenshots (shot-*.png) in %s" % folders[0], file=sys.stderr)
        return 1
    timeline = Timeline(frames)
    if representatives:
        for shot in timeline.shots():
            frame = shot.representative()
            print("%d %s" % (frame.seconds, frame.path))
    else:
        print(timeline.describe())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
