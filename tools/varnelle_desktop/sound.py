"""A sound server of the desktop's own, whose output a run records to hear what the program plays. To
add a server, write a class with the same methods and list it in SOUND_SERVERS."""

import array
import math
import os
import re
import subprocess
import time

from .desktop import check

RECORD_RATE = 8000  # mono 16-bit samples recorded from the sink's monitor
QUARTER = RECORD_RATE // 4
SINK = "varnelle"


class PulseAudio:
    """A PulseAudio in a directory of its own, on a null sink kept busy by a silent stream so that its
    monitor delivers samples all the time, and a recording of that monitor. Its log names the streams
    players create. Its processes are the desktop's: the desktop's close() stops them. The program
    reaches it once the desktop's environment holds `server` (use())."""

    def __init__(self, desktop):
        self.desktop = desktop
        base = os.path.join(desktop.root, "pulse")
        self.env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8"}
        for name, sub in (("HOME", "home"), ("XDG_RUNTIME_DIR", "run"), ("PULSE_RUNTIME_PATH", "run"),
                          ("XDG_CONFIG_HOME", "config"), ("PULSE_STATE_PATH", "state")):
            self.env[name] = os.path.join(base, sub)
            os.makedirs(self.env[name], mode=0o700, exist_ok=True)
        self.server = "unix:" + os.path.join(base, "run", "native")
        self.log = os.path.join(base, "pulseaudio.log")
        with open(self.log, "wb") as log:
            # No start-up script (-n): only the modules named here. As root, a per-user daemon needs
            # --system=no said outright.
            self.daemon = desktop.spawn(
                ["pulseaudio", "-n", "--daemonize=no", "--system=no", "--exit-idle-time=-1", "--use-pid-file=no",
                 "--log-target=stderr", "--log-level=info", "--log-meta=no", "--log-time=no",
                 "-L", "module-null-sink sink_name=" + SINK,
                 "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + self.server[len("unix:"):]],
                env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        deadline = time.monotonic() + 20
        while subprocess.run(["pactl", "-s", self.server, "info"], env=self.env, capture_output=True,
                             timeout=10).returncode != 0:
            check(self.daemon.poll() is None and time.monotonic() < deadline,
                  "pulseaudio does not answer: %s" % self.log_text()[-2000:])
            time.sleep(0.1)
        with open("/dev/zero", "rb") as zeros:
            desktop.spawn(["pacat", "-s", self.server, "--playback", "--raw", "--latency-msec=20", "-d", SINK],
                          env=self.env, stdin=zeros, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.recording = os.path.join(base, "monitor.raw")
        with open(self.recording, "wb") as samples:
            self.parec = desktop.spawn(
                ["parec", "-s", self.server, "-d", SINK + ".monitor", "--raw", "--format=s16ne", "--channels=1",
                 "--rate=%d" % RECORD_RATE, "--latency-msec=20"],
                env=self.env, stdin=subprocess.DEVNULL, stdout=samples, stderr=subprocess.DEVNULL)
        self.reach(QUARTER)

    def use(self):
        """Makes the program started from now on play on this server."""
        self.desktop.env["PULSE_SERVER"] = self.server

    def log_text(self):
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return log.read()

    def streams_created(self):
        return re.findall(r'Created input \d+ "([^"]*)"', self.log_text())

    def size(self):
        """The number of samples recorded so far."""
        return os.path.getsize(self.recording) // 2

    def reach(self, end):
        """Waits until the recording holds `end` samples, which takes them as long as they last."""
        deadline = time.monotonic() + (end - self.size()) / RECORD_RATE + 5
        while self.size() < end:
            check(self.parec.poll() is None and time.monotonic() < deadline,
                  "the recording stops at %.2f s, short of %.2f s" % (self.size() / RECORD_RATE, end / RECORD_RATE))
            time.sleep(0.02)

    def rms(self, start, count):
        """The level of `count` samples from `start` on, full scale being 1."""
        self.reach(start + count)
        samples = array.array("h")
        with open(self.recording, "rb") as recording:
            recording.seek(2 * start)
            samples.frombytes(recording.read(2 * count))
        return math.sqrt(sum(value * value for value in samples) / count) / 32768

    def wait_for(self, start, end, wanted):
        """The first quarter of a second from `start` on, starting before `end`, whose level meets
        `wanted`, looked at every eighth of a second as the recording grows; None if there is none."""
        for at in range(start, end, QUARTER // 2):
            if wanted(self.rms(at, QUARTER)):
                return at
        return None


SOUND_SERVERS = {
    "pulseaudio": PulseAudio,
}
