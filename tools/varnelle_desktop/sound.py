"""A sound server of the desktop's own, whose output a run records to hear what the program plays, and
which tells the streams the program created with their properties. To add a server, derive a class from
SoundServer and list it in SOUND_SERVERS."""

import array
import json
import math
import os
import re
import subprocess
import time

from .desktop import check

RECORD_RATE = 8000  # mono 16-bit samples recorded from the sink's monitor
QUARTER = RECORD_RATE // 4
SINK = "varnelle"


class Stream:
    """A stream a player created on the server: its name and the properties the server keeps for it."""

    def __init__(self, name, properties):
        self.name = name
        self.properties = properties

    @property
    def role(self):
        return self.properties.get("media.role")

    def __repr__(self):
        return "%r (role %r)" % (self.name, self.role)


class SoundServer:
    """A sound server of the run's own on a null sink named SINK, kept busy by a silent stream so that its
    monitor delivers samples all the time, and a recording of that monitor. Both servers speak the PulseAudio
    protocol on `server`, which the program reaches once the desktop's environment holds it (use()). Its
    processes are the desktop's: the desktop's close() stops them.

    ROLES maps the media role a player gives a stream to the role the server keeps for it."""

    ROLES = {}

    def __init__(self, desktop, name, server):
        self.desktop = desktop
        self.name = name
        self.base = os.path.join(desktop.root, name)
        self.env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8"}
        for variable, sub in (("HOME", "home"), ("XDG_RUNTIME_DIR", "run"), ("XDG_CONFIG_HOME", "config"),
                              ("XDG_STATE_HOME", "state")):
            self.env[variable] = os.path.join(self.base, sub)
            os.makedirs(self.env[variable], mode=0o700, exist_ok=True)
        self.server = "unix:" + os.path.join(self.base, "run", server)
        self.log = os.path.join(self.base, name + ".log")

    def pactl(self, *arguments):
        return subprocess.run(["pactl", "-s", self.server, *arguments], env=self.env, capture_output=True,
                              text=True, timeout=10)

    def wait_answer(self, processes):
        deadline = time.monotonic() + 20
        while self.pactl("info").returncode != 0:
            check(all(process.poll() is None for process in processes) and time.monotonic() < deadline,
                  "%s does not answer: %s" % (self.name, self.log_text()[-2000:]))
            time.sleep(0.1)

    def record(self):
        """Starts the silent stream and the recording, and waits for its first quarter of a second."""
        with open("/dev/zero", "rb") as zeros:
            self.desktop.spawn(["pacat", "-s", self.server, "--playback", "--raw", "--latency-msec=20", "-d", SINK],
                               env=self.env, stdin=zeros, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.recording = os.path.join(self.base, "monitor.raw")
        with open(self.recording, "wb") as samples:
            self.parec = self.desktop.spawn(
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

    def streams(self):
        """The streams created so far, oldest first, but the recording's own."""
        raise NotImplementedError

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


# The two streams the recording itself creates.
OWN_STREAMS = ("pacat", "parec")


class PulseAudio(SoundServer):
    """A PulseAudio daemon with only the modules the run needs. It logs each stream it creates, with the
    stream's properties on the lines after."""

    ROLES = {"music": "music", "event": "event"}

    def __init__(self, desktop):
        super().__init__(desktop, "pulseaudio", "native")
        self.env["PULSE_RUNTIME_PATH"] = self.env["XDG_RUNTIME_DIR"]
        self.env["PULSE_STATE_PATH"] = self.env["XDG_STATE_HOME"]
        with open(self.log, "wb") as log:
            # No start-up script (-n): only the modules named here. As root, a per-user daemon needs
            # --system=no said outright.
            daemon = desktop.spawn(
                ["pulseaudio", "-n", "--daemonize=no", "--system=no", "--exit-idle-time=-1", "--use-pid-file=no",
                 "--log-target=stderr", "--log-level=info", "--log-meta=no", "--log-time=no",
                 "-L", "module-null-sink sink_name=" + SINK,
                 "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + self.server[len("unix:"):]],
                env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        self.wait_answer([daemon])
        self.record()

    def streams(self):
        found = []
        created = re.compile(r'Created input \d+ "([^"]*)".*\n((?:.*sink-input\.c: {5}.*\n)*)')
        for match in created.finditer(self.log_text()):
            properties = dict(re.findall(r'sink-input\.c: {5}(\S+) = "([^"]*)"', match.group(2)))
            found.append(Stream(match.group(1), properties))
        return [stream for stream in found if stream.properties.get("application.name") not in OWN_STREAMS]


class PipeWire(SoundServer):
    """PipeWire as a Debian 12 desktop runs it for its user: pipewire, the WirePlumber session manager and
    pipewire-pulse, on a session bus of their own (WirePlumber ends without one), with no sound card: the
    null sink is loaded through pipewire-pulse, as PulseAudio's module. pw-dump follows the graph and writes
    every node's properties and state as they change.

    pipewire-pulse keeps a PulseAudio role under PipeWire's own name for it, and reports the PulseAudio name
    back to PulseAudio clients."""

    ROLES = {"music": "Music", "event": "Notification"}

    def __init__(self, desktop):
        super().__init__(desktop, "pipewire", os.path.join("pulse", "native"))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(self.env["XDG_RUNTIME_DIR"], "bus")
        self.dump = os.path.join(self.base, "pw-dump.json")
        with open(self.log, "wb") as log:
            processes = [desktop.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                        "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"]],
                                       env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)]
            self.wait_file(os.path.join(self.env["XDG_RUNTIME_DIR"], "bus"), processes)
            processes.append(desktop.spawn(["pipewire"], env=self.env, stdin=subprocess.DEVNULL, stdout=log,
                                           stderr=log))
            self.wait_file(os.path.join(self.env["XDG_RUNTIME_DIR"], "pipewire-0"), processes)
            for command in (["wireplumber"], ["pipewire-pulse"]):
                processes.append(desktop.spawn(command, env=self.env, stdin=subprocess.DEVNULL, stdout=log,
                                               stderr=log))
        self.wait_answer(processes)
        loaded = self.pactl("load-module", "module-null-sink", "sink_name=" + SINK)
        check(loaded.returncode == 0, "pipewire-pulse loads no null sink: %s" % loaded.stderr)
        deadline = time.monotonic() + 10
        while self.pactl("get-default-sink").stdout.strip() != SINK:
            check(time.monotonic() < deadline, "WirePlumber does not make %s the default sink" % SINK)
            time.sleep(0.1)
        with open(self.dump, "wb") as dump, open(self.log, "ab") as log:
            desktop.spawn(["pw-dump", "--monitor", "--no-colors"], env=self.env, stdin=subprocess.DEVNULL,
                          stdout=dump, stderr=log)
        self.record()

    def wait_file(self, path, processes):
        deadline = time.monotonic() + 20
        while not os.path.exists(path):
            check(all(process.poll() is None for process in processes) and time.monotonic() < deadline,
                  "no %s: %s" % (path, self.log_text()[-2000:]))
            time.sleep(0.05)

    def objects(self):
        """Every change pw-dump has written so far, in order: an object with its info, or, with info None,
        an object removed. A change written only in part is left for the next call."""
        with open(self.dump, encoding="utf-8", errors="replace") as dump:
            text = dump.read()
        decoder = json.JSONDecoder()
        changes, at = [], 0
        while True:
            while at < len(text) and text[at].isspace():
                at += 1
            try:
                batch, at = decoder.raw_decode(text, at)
            except ValueError:
                return changes
            changes.extend(batch)

    def nodes(self):
        """The properties of the output streams' nodes, oldest first, as last changed."""
        found = {}
        for change in self.objects():
            info = change.get("info") or {}
            properties = info.get("props", {})
            if change.get("type") == "PipeWire:Interface:Node" and properties.get("media.class") == \
                    "Stream/Output/Audio":
                found.setdefault(change["id"], {}).update(properties)
        return list(found.values())

    def streams(self):
        return [Stream(node.get("media.name"), node) for node in self.nodes()
                if node.get("application.name") not in OWN_STREAMS]


SOUND_SERVERS = {
    "pulseaudio": PulseAudio,
    "pipewire": PipeWire,
}
