"""Runs the screensaver under Wine for end-to-end tests and reads what it left behind."""

import contextlib
import glob
import math
import os
import re
import select
import subprocess
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
LOG_FOLDER = "VORNHALT Studio"
# The test prefix has no audio driver: both initialisations of the sound
# device (at start and for the window) fail with "no device", and the run goes on silently.
NO_AUDIO_DEVICE = ("ERROR", "Невозможно инициализировать звук. Причина [3]. Устройство []")


def prefix():
    return os.environ.get("WINEPREFIX", os.path.join(ROOT, "build", "win", "wineprefix"))


def screensaver_path():
    path = os.environ.get("ZAV_SCREENSAVER")
    if not path:
        raise RuntimeError("ZAV_SCREENSAVER is not set")
    return path


def log_path():
    """The log file the screensaver writes into the prefix's application-data folder."""
    pattern = os.path.join(prefix(), "drive_c", "users", "*", "AppData", "Roaming", LOG_FOLDER, "SSELog.txt")
    candidates = [p for p in glob.glob(pattern) if os.sep + "Public" + os.sep not in p]
    return candidates[0] if candidates else None


def remove_log():
    path = log_path()
    if path:
        os.remove(path)


def read_log():
    """The log as lines of (level, text) with the text decoded from Windows-1251."""
    path = log_path()
    if not path:
        return []
    with open(path, "rb") as handle:
        raw = handle.read()
    lines = []
    for line in raw.split(b"\r\n"):
        if not line:
            continue
        text = line.decode("cp1251")
        for level in ("INFO. ", "WARNING. ", "ERROR. ", "CRITICAL ERROR. ", "UNKNOWN. "):
            if text.startswith(level):
                lines.append((level.rstrip(". "), text[len(level):]))
                break
        else:
            lines.append(("?", text))
    return lines


def wait_for_log_line(line, timeout=60, process=None):
    """Polls the log until it holds `line` (level, text); False on time-out or when `process` (a Running) ends."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if line in read_log():
            return True
        if process is not None and not process.running():
            return line in read_log()
        time.sleep(0.2)
    return False


def assert_in_order(test, lines, expected):
    """Fails `test` unless every expected line appears, in this order (other lines may come between)."""
    position = 0
    for wanted in expected:
        try:
            position = lines.index(wanted, position) + 1
        except ValueError:
            test.fail("missing or out of order: %r\nlog:\n%s" % (wanted, "\n".join(map(repr, lines))))


def raw_log():
    path = log_path()
    with open(path, "rb") as handle:
        return handle.read()


def program_path(variable):
    """A program the test's environment names (ZAV_PROBE, ZAV_PREVIEW_HOST)."""
    path = os.environ.get(variable)
    if not path:
        raise RuntimeError(variable + " is not set")
    return path


def _environment(extra):
    environment = dict(os.environ)
    environment.update(extra or {})
    return environment


def run(*arguments, timeout=60, program=None, env=None):
    """Runs a Windows program (the screensaver by default); returns (exit code, seconds)."""
    command = [WINE_RUN, program or screensaver_path(), *arguments]
    started = time.monotonic()
    completed = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               timeout=timeout, env=_environment(env))
    return completed.returncode, time.monotonic() - started


class Running:
    """A Windows program started in the background; its stdout is read line by line."""

    def __init__(self, program, *arguments, env=None):
        self.process = subprocess.Popen([WINE_RUN, program, *arguments], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=_environment(env))

    def wait_for_line(self, text, timeout=60):
        """Reads stdout until a line contains `text`; False when the program ends or time runs out first."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            line = self.process.stdout.readline()
            if not line:
                return False
            if text in line.decode("utf-8", "replace"):
                return True
        return False

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=30):
        """The exit code, or None (and the program stopped) when it does not end in time."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.stop()
            return None

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


def move_mouse(times):
    """Moves the pointer `times` times, each to a new place (one motion event each)."""
    for i in range(times):
        xdotool("mousemove", str(100 + 30 * i), str(100 + 20 * i))
        time.sleep(0.05)


def paint_desktop(colour):
    """Fills the X root window with one colour, so a screenshot shows what covers it."""
    picture = os.path.join(os.environ.get("TMPDIR", "/tmp"), "zav-desktop-%d.png" % os.getpid())
    subprocess.run(["convert", "-size", "16x16", "xc:" + colour, picture], check=True)
    subprocess.run(["display", "-window", "root", picture], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=20)
    os.remove(picture)


def screen_mean():
    """The mean brightness of the whole screen, 0 (black) to 1 (white)."""
    shot = subprocess.run("xwd -root -silent | convert xwd:- -colorspace gray -format '%[fx:mean]' info:",
                          shell=True, check=True, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
    return float(shot.stdout.decode().strip())


def screen_size():
    """(width, height) of the X screen."""
    shell = subprocess.run(["xdotool", "getdisplaygeometry"], check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE).stdout.decode().split()
    return int(shell[0]), int(shell[1])


def registry_add(key, name, kind, data):
    subprocess.run([WINE_RUN, "reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f"], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def registry_delete(key):
    subprocess.run([WINE_RUN, "reg", "delete", key, "/f"], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def registry_delete_value(key, name):
    subprocess.run([WINE_RUN, "reg", "delete", key, "/v", name, "/f"], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


_REGISTRY_LINE = re.compile(r"^    (.+?)    (REG_[A-Z_]+)    ?(.*)$")


def registry_query(key):
    """Values directly under a key as {name: (type, data)}; empty when the key is missing."""
    completed = subprocess.run([WINE_RUN, "reg", "query", key], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    values = {}
    for line in completed.stdout.decode("utf-8", "replace").replace("\r", "").split("\n"):
        match = _REGISTRY_LINE.match(line)
        if match:
            values[match.group(1)] = (match.group(2), match.group(3))
    return values


def registry_key_exists(key):
    return subprocess.run([WINE_RUN, "reg", "query", key], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def unix_path(windows_path):
    """Where a Windows path of the prefix is on this machine (short names resolved)."""
    completed = subprocess.run([WINE_RUN, "winepath", "-u", windows_path], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True)
    return completed.stdout.decode("utf-8").strip()


def wait_until(condition, timeout=30):
    """Polls `condition` until it holds; its last result."""
    deadline = time.monotonic() + timeout
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.3)
    return condition()


def _processes(entry):
    """(pid, command name) of every readable process whose environment holds `entry` (bytes "NAME=value")."""
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % pid) as comm, open("/proc/%s/environ" % pid, "rb") as environ:
                if b"\0" + entry + b"\0" in b"\0" + environ.read():
                    yield int(pid), comm.read().strip()
        except OSError:
            continue


def server_pids():
    """The wineserver of this prefix (a list: empty when none runs)."""
    return [pid for pid, name in _processes(b"WINEPREFIX=" + prefix().encode()) if name.startswith("wineserver")]


def threads_of(entry, names):
    """The ids of the threads named one of `names` in the processes whose environment holds `entry`."""
    found = []
    for pid, _ in _processes(entry):
        try:
            tids = os.listdir("/proc/%d/task" % pid)
        except OSError:
            continue  # it ended meanwhile
        for tid in tids:
            try:
                with open("/proc/%d/task/%s/comm" % (pid, tid)) as comm:
                    if comm.read().strip() in names:
                        found.append(int(tid))
            except OSError:
                continue
    return found


def set_niceness(ids, niceness):
    """Sets the niceness of processes or threads (Linux keeps it per thread); returns {id: niceness before} for
    the ones it changed. Without the right to raise priorities it changes nothing."""
    before = {}
    for ident in ids:
        try:
            old = os.getpriority(os.PRIO_PROCESS, ident)
            os.setpriority(os.PRIO_PROCESS, ident, niceness)
            before[ident] = old
        except OSError:
            continue
    return before


def output_folder(test):
    """A folder for what `test` (a unittest.TestCase) leaves to look at, such as screenshots."""
    base = os.environ.get("ZAV_E2E_OUTPUT", os.path.join(ROOT, "build", "win", "e2e-output"))
    folder = os.path.join(base, test.id().split(".")[-1])
    os.makedirs(folder, exist_ok=True)
    return folder


def windows_titled(name):
    """The X window ids of the mapped top-level windows titled `name`.
    (xdotool's search does not match titles outside Latin-1.)"""
    pattern = re.compile(r'^\s*(0x[0-9a-f]+) "(.*)": \(')
    tree = subprocess.run(["xwininfo", "-root", "-children"], stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
    return [match.group(1) for match in map(pattern.match, tree.split("\n"))
            if match and match.group(2) == name and _mapped(match.group(1))]


def find_window(name, timeout=60):
    """The X window id of a mapped top-level window titled `name`, or None when none appears in time."""
    deadline = time.monotonic() + timeout
    while True:
        windows = windows_titled(name)
        if windows:
            return windows[0]
        if time.monotonic() >= deadline:
            return None
        time.sleep(0.2)


def window_gone(name, timeout=10):
    """True once no mapped top-level window is titled `name`; False when one still is after `timeout`."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if find_window(name, timeout=0) is None:
            return True
        time.sleep(0.2)
    return False


def _mapped(window):
    info = subprocess.run(["xwininfo", "-id", window], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
    return "IsViewable" in info


def window_geometry(window):
    """(x, y, width, height) of an X window on the screen: for a Wine window, its client area."""
    shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], check=True,
                           stdin=subprocess.DEVNULL, stdout=subprocess.PIPE).stdout.decode()
    values = dict(line.split("=", 1) for line in shell.split() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def screenshot(path, window=None):
    """Saves the whole screen, or what one window shows, as a PNG file. Without a window manager,
    the screen keeps black where a window that Wine opens over another of its windows lies (the
    About box over the settings dialog, a drop-down list); the window itself holds its picture."""
    source = "-id %s" % window if window else "-root"
    subprocess.run("xwd %s -silent | convert xwd:- '%s'" % (source, path), shell=True, check=True,
                   stdin=subprocess.DEVNULL)


def region_statistics(path, x, y, width, height):
    """(mean, standard deviation) of the grey levels, 0 to 1, of a rectangle of a picture file."""
    result = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage",
                             "-colorspace", "gray", "-format", "%[fx:mean] %[fx:standard_deviation]", "info:"],
                            check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
    mean, deviation = (float(value) for value in result.stdout.decode().split())
    # ImageMagick's deviation of a region of one colour can come out as nan.
    return mean, 0.0 if math.isnan(deviation) else deviation


def colour_share(path, colour):
    """The share, 0 to 1, of a picture's pixels that are exactly `colour` (an ImageMagick colour)."""
    result = subprocess.run(["convert", path, "-alpha", "off", "-fill", "white", "-opaque", colour, "-fill", "black",
                             "+opaque", "white", "-colorspace", "gray", "-format", "%[fx:mean]", "info:"],
                            check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
    return float(result.stdout.decode())


def region_difference(first, second, x, y, width, height):
    """The mean difference, 0 to 1, between a rectangle of two picture files of one size."""
    result = subprocess.run(["convert", first, second, "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage",
                             "-compose", "difference", "-composite", "-colorspace", "gray", "-format", "%[fx:mean]",
                             "info:"], check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
    return float(result.stdout.decode().strip())


def window_region_statistics(path, geometry, left, top, right, bottom):
    """region_statistics of the part of a window (x, y, width, height) between fractions of its size;
    for a picture of the window alone, give its geometry with x and y 0."""
    x, y, width, height = geometry
    return region_statistics(path, x + int(width * left), y + int(height * top),
                             int(width * (right - left)), int(height * (bottom - top)))


def _restart_wine_server():
    """Stops every program of the prefix and starts its server and services anew on the current DISPLAY."""
    environment = _environment({"WINEPREFIX": prefix(), "WINEARCH": "win64", "WINEDEBUG": "-all",
                                "WINEDLLOVERRIDES": "mscoree,mshtml="})
    quiet = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL,
             "env": environment}
    subprocess.run(["wineserver", "-k"], **quiet)
    subprocess.run(["wineserver", "-w"], timeout=30, **quiet)
    subprocess.run(["wineserver", "-p"], timeout=30, **quiet)
    subprocess.run(["wineboot"], timeout=120, **quiet)


@contextlib.contextmanager
def own_display(*screens):
    """An X server of the block's own with these screen arguments, with the prefix's Wine server restarted
    on it (Wine takes the monitor layout from the display once per server); afterwards the server is
    restarted on the display before. Every program of the prefix stops on the way: only for a test that
    runs alone."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", *screens], pass_fds=(write,),
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n") and select.select([read], [], [], 30)[0]:
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    previous = os.environ.get("DISPLAY")
    try:
        if not number.strip():
            raise RuntimeError("the X server did not start")
        os.environ["DISPLAY"] = ":" + number.decode().strip()
        _restart_wine_server()
        yield os.environ["DISPLAY"]
    finally:
        if previous is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = previous
        _restart_wine_server()
        server.terminate()
        server.wait()
