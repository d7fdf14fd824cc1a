"""A PulseAudio daemon of the test's own with a null sink, and recordings of what plays into it.

Wine plays through its PulseAudio driver into the sink "capture"; parec records the sink's monitor. Everything lives
in a fresh folder, so tests never meet another daemon or the user's sound settings.

Wine 8 keeps only three of its 10 ms periods queued in PulseAudio, refilled by a timer thread whose waits go through
the wineserver, and it ignores the thread priorities Windows programs ask for (its own timer thread asks for the
highest). On a busy machine the timer comes late, PulseAudio runs dry and Wine pads the gap with silence, whatever
the program queued. So the program gets a deeper PulseAudio queue (PULSE_LATENCY_MSEC; Wine's period then grows to
20 ms), and the daemon, the wineserver and the audio threads run at a raised priority, as they would on Windows.
"""

import math
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import wave

import wine_harness as wine

RATE = 44100
PROGRAM_LATENCY_MSEC = 400  # what PulseAudio keeps queued for the program
AUDIO_NICENESS = -10
# Threads that carry the program's sound: Wine's PulseAudio timer and main loop, and the audio library's output.
AUDIO_THREADS = ("winepulse_timer", "winepulse_mainl", "zav audio out")


def _raise_priority():
    try:
        os.setpriority(os.PRIO_PROCESS, 0, AUDIO_NICENESS)
    except OSError:
        pass  # without the right to, at the usual priority


class PulseDaemon:
    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="zav-pulse-")
        for sub in ("home", "runtime", "state"):
            os.makedirs(os.path.join(self.folder, sub))
        with open(os.path.join(self.folder, "default.pa"), "w") as script:
            script.write("load-module module-null-sink sink_name=capture format=s16le rate=%d channels=2\n" % RATE)
            script.write("load-module module-native-protocol-unix auth-anonymous=1 socket=%s\n" % self.socket())
            script.write("set-default-sink capture\nset-default-source capture.monitor\n")
        with open(os.path.join(self.folder, "client.conf"), "w") as config:
            config.write("autospawn = no\n")
        environment = dict(os.environ)
        environment.update(HOME=os.path.join(self.folder, "home"), XDG_RUNTIME_DIR=self.path("runtime"),
                           PULSE_RUNTIME_PATH=self.path("runtime"), PULSE_STATE_PATH=self.path("state"))
        self.daemon = subprocess.Popen(
            ["pulseaudio", "-n", "-F", self.path("default.pa"), "--daemonize=no", "--exit-idle-time=-1",
             "--use-pid-file=no", "--realtime=no", "--high-priority=no"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment,
            preexec_fn=_raise_priority)
        self.keep_alive = None
        deadline = time.monotonic() + 10
        while subprocess.run(["pactl", "info"], env=self.client_environment(), stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL).returncode != 0:
            if time.monotonic() > deadline or self.daemon.poll() is not None:
                self.stop()
                raise RuntimeError("the PulseAudio daemon did not start")
            time.sleep(0.05)
        # An idle null sink renders in blocks of up to 2 s; a recorder kept
        # running makes later recordings start at once.
        self.keep_alive = subprocess.Popen(
            ["parec", "-d", "capture.monitor", "--raw", "--latency-msec=20"], stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=self.client_environment())

    def path(self, name):
        return os.path.join(self.folder, name)

    def socket(self):
        return self.path("native")

    def client_environment(self):
        """What a client (wine, parec, pactl) needs to reach this daemon and no other."""
        return {"PULSE_SERVER": "unix:" + self.socket(), "PULSE_COOKIE": self.path("cookie"),
                "PULSE_RUNTIME_PATH": self.path("runtime"), "PULSE_CLIENTCONFIG": self.path("client.conf")}

    def program_environment(self):
        """What the program under test needs: the client's environment and a deeper PulseAudio queue."""
        environment = self.client_environment()
        environment["PULSE_LATENCY_MSEC"] = str(PROGRAM_LATENCY_MSEC)
        return environment

    def audio_threads(self):
        """The ids of the threads of this daemon's clients that carry their sound (AUDIO_THREADS)."""
        return wine.threads_of(("PULSE_SERVER=unix:" + self.socket()).encode(), AUDIO_THREADS)

    def record(self, seconds, keep=None):
        """Records the sink for `seconds`; returns (left, right) as lists of floats. With `keep`, the recording
        is also copied to that path, to listen to or measure again."""
        capture = self.path("capture.wav")
        if os.path.exists(capture):
            os.remove(capture)
        environment = dict(os.environ)
        environment.update(self.client_environment())
        recorder = subprocess.Popen(
            ["parec", "-d", "capture.monitor", "--file-format=wav", "--rate=%d" % RATE, "--channels=2",
             "--format=s16le", "--latency-msec=20", capture],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment)
        deadline = time.monotonic() + 5
        while (not os.path.exists(capture) or os.path.getsize(capture) <= 44) and time.monotonic() < deadline:
            time.sleep(0.01)
        time.sleep(seconds)
        recorder.send_signal(signal.SIGINT)  # finalises the WAV header
        recorder.wait(timeout=10)
        if keep:
            shutil.copyfile(capture, keep)
        return read_stereo(capture)

    def stop(self):
        for process in (self.keep_alive, self.daemon):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def read_stereo(path):
    with wave.open(path, "rb") as capture:
        frames = capture.readframes(capture.getnframes())
    values = struct.unpack("<%dh" % (len(frames) // 2), frames[:len(frames) // 4 * 4])
    return [v / 32768.0 for v in values[0::2]], [v / 32768.0 for v in values[1::2]]


def rms(values):
    return math.sqrt(sum(v * v for v in values) / len(values)) if values else 0.0


def frequency(values, rate=RATE):
    """The frequency of a tone from its rising zero crossings; 0 when there are too few."""
    crossings = [i for i in range(1, len(values)) if values[i - 1] < 0.0 <= values[i]]
    if len(crossings) < 3:
        return 0.0
    return (len(crossings) - 1) * rate / (crossings[-1] - crossings[0])


BLOCK = RATE // 100  # 10 ms


def block_levels(values):
    return [rms(values[i:i + BLOCK]) for i in range(0, len(values) - BLOCK + 1, BLOCK)]


def sounding_stretches(left, right, threshold):
    """Runs of 10 ms blocks in which either channel is louder than `threshold`, as (start, end) sample indices.

    A loaded machine may let the output run dry for a few blocks; the level and pitch of what plays are measured
    over these stretches, and the share of the recording they cover is checked on its own.
    """
    loud = [max(a, b) > threshold for a, b in zip(block_levels(left), block_levels(right))]
    stretches, start = [], None
    for index, on in enumerate(loud + [False]):
        if on and start is None:
            start = index
        elif not on and start is not None:
            stretches.append((start * BLOCK, index * BLOCK))
            start = None
    return stretches


def median_level(values, stretches):
    """The median RMS of the 50 ms windows inside the stretches: a level that dropouts do not pull down."""
    window = 5 * BLOCK
    levels = sorted(rms(values[i:i + window]) for start, end in stretches for i in range(start, end - window + 1, window))
    return levels[len(levels) // 2] if levels else 0.0


def measure(left, right, threshold):
    """(share of the recording that sounds, left level, right level, left frequency) over the sounding stretches."""
    stretches = sounding_stretches(left, right, threshold)
    sounding = sum(end - start for start, end in stretches)
    # A dropout shorter than a block may still cut a period: the pitch comes
    # from the spacing of rising zero crossings inside the stretches, the
    # spacings far from their median left out.
    spacings = []
    for start, end in stretches:
        values = left[start:end]
        crossings = [i for i in range(1, len(values)) if values[i - 1] < 0.0 <= values[i]]
        spacings += [b - a for a, b in zip(crossings, crossings[1:])]
    pitch = 0.0
    if spacings:
        middle = sorted(spacings)[len(spacings) // 2]
        kept = [s for s in spacings if abs(s - middle) <= 0.2 * middle]
        pitch = RATE * len(kept) / sum(kept)
    return sounding / max(1, len(left)), median_level(left, stretches), median_level(right, stretches), pitch
