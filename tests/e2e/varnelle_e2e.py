#!/usr/bin/python3
"""Plays Varnelle as a player would, under a real X server and window manager.

Each scenario starts its own Xvfb (on a display it picks itself) and icewm,
runs the built program from a working directory holding only the anthem (and,
to hear it, may start a PulseAudio of its own), drives it with real
X events through xdotool, checks the windows with X tools, and stops
everything it started, whatever happens.

    varnelle_e2e.py BINARY SOURCE_DIR SCENARIO [--artifacts DIR] [--workdir DIR]

--workdir runs the program in a directory that already holds the anthem, such as
the data directory an installed package names in its desktop entry.
"""

import argparse
import array
import fractions
import math
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import wave

QUIZ_TITLE = "    Varnelle par Brindaz - Evaluation des connaissances g\u00e9ographiques "
WELCOME_TITLE = "      Varnelle - Accueil des participant(e)s au test"
ERROR_TITLE = "Erreur de localisation"
REVISION_TITLE = "Villes de France - Carte destin\u00e9e \u00e0 la r\u00e9vision des emplacements des villes principales"
QUESTION_TITLE = "R\u00e9viser ou Continuer imm\u00e9diatement"
CUP_TITLE = "Coupe du vainqueur"
ALL_TITLES = (QUIZ_TITLE, WELCOME_TITLE, ERROR_TITLE, REVISION_TITLE, QUESTION_TITLE, CUP_TITLE)

# The first and last target of each theme, in the order the sequencer opens them.
THEMES = ((1, 7), (8, 11), (12, 16), (17, 22), (23, 54))
CARTE_BORDER = 2  # the map box's sunken border, inside the quiz window's client area


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def half_up(value):
    return int(fractions.Fraction(value) + fractions.Fraction(1, 2))


def to_pixels(left, top, width, height):
    """The map box counts 12900 units down an inner area 12915 twips high."""
    y = lambda v: half_up(fractions.Fraction(v) * 12915 / 12900 / 15)
    x = lambda v: half_up(fractions.Fraction(v) / 15)
    return x(left), y(top), x(width), y(height)


def read_layout(source_dir):
    """Box number -> centre of the box in client pixels; and DEPART's centre."""
    with open(os.path.join(source_dir, "src/quizwindow/FranceLayout.h"), encoding="utf-8") as header:
        text = header.read()
    table = text[text.index("kAnswerBoxes{{"):]
    table = table[: table.index("}};")]
    boxes = {}
    for row in re.finditer(r"\{(\d+), \{(\d+), (\d+), (\d+), (\d+)\}", table):
        number, rect = int(row.group(1)), [int(v) for v in row.groups()[1:]]
        x, y, w, h = to_pixels(*rect)
        boxes[number] = (CARTE_BORDER + x + w // 2, CARTE_BORDER + y + h // 2)
    check(sorted(boxes) == list(range(1, 55)), "the layout does not list boxes 1 to 54")
    depart = re.search(r"kDepart\{\s*\"DEPART\", \{(\d+), (\d+), (\d+), (\d+)\}", text)
    x, y, w, h = to_pixels(*[int(v) for v in depart.groups()])
    return boxes, (CARTE_BORDER + x + w // 2, CARTE_BORDER + y + h // 2)


def ere(title):
    """The title as an anchored POSIX extended regular expression."""
    return "^" + re.sub(r"([.^$*+?()\[\]{}|\\])", r"\\\1", title) + "$"


class Desktop:
    """Xvfb, icewm and the program, all stopped by close() whatever happened."""

    def __init__(self, binary, source_dir, artifacts, workdir=None):
        self.binary = binary
        self.source_dir = source_dir
        self.artifacts = artifacts
        self.wrap = None  # a command the program runs under, such as strace
        self.processes = []
        self.app = None
        self.root = tempfile.mkdtemp(prefix="varnelle-e2e-")
        self.home = os.path.join(self.root, "home")
        runtime = os.path.join(self.root, "run")
        for directory in (self.home, runtime):
            os.makedirs(directory, mode=0o700)
        if workdir:
            self.workdir = workdir
        else:
            self.workdir = os.path.join(self.root, "work")
            os.makedirs(self.workdir, mode=0o700)
            shutil.copy(os.path.join(source_dir, "assets/sound/Marseillaise.wav"), self.workdir)
        self.env = {
            "PATH": "/usr/bin:/bin",
            "HOME": self.home,
            "XDG_RUNTIME_DIR": runtime,
            "LANG": "C.UTF-8",
            # No sound server unless a scenario starts its own (SoundServer):
            # a server another test started must not hear this one.
            "PULSE_SERVER": "unix:" + os.path.join(runtime, "no-pulse"),
        }
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        self.display = self._start_xvfb()
        self.env["DISPLAY"] = self.display
        self._start_window_manager()

    def _spawn(self, command, env=None, **options):
        process = subprocess.Popen(command, env=env or self.env, start_new_session=True, **options)
        self.processes.append(process)
        return process

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.root, "xvfb.log"), "wb")
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     "-noreset"], pass_fds=(write_end,), stdout=log, stderr=log)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "Xvfb reported no display")
        return ":" + number

    def _start_window_manager(self):
        log = open(os.path.join(self.root, "icewm.log"), "wb")
        self._spawn(["icewm"], stdout=log, stderr=log, cwd=self.home)
        self.wait_for(lambda: "window id" in self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), 20,
                      "icewm did not start")

    def start(self):
        command = [self.binary]
        if self.wrap:
            command = self.wrap + command
        self.app = self._spawn(command, cwd=self.workdir)
        return self.app

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            process.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    # X tools

    def x(self, command, timeout=10):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=timeout)
        return result.stdout

    def wait_for(self, condition, seconds, message):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if condition():
                return
            if self.app is not None and self.app.poll() is not None:
                break
            time.sleep(0.05)
        check(condition(), message)

    def window(self, title, seconds=15):
        """The window with exactly that title once it is on screen."""
        # xdotool's --sync may answer while the window is still being mapped,
        # with no id at all: ask again until the window is there.
        found = []
        self.wait_for(lambda: found.append(self.x(["xdotool", "search", "--onlyvisible", "--name", ere(title)]).split())
                      or found[-1], seconds, "no window %r on screen" % title.strip())
        ids = found[-1]
        check(len(ids) == 1, "%d windows %r on screen" % (len(ids), title.strip()))
        name = self.x(["xdotool", "getwindowname", ids[0]]).rstrip("\n")
        check(name == title, "title %r, not %r" % (name, title))
        return ids[0]

    def visible_windows(self):
        found = []
        for title in ALL_TITLES:
            if self.x(["xdotool", "search", "--onlyvisible", "--name", ere(title)]).split():
                found.append(title.strip())
        return found

    def wait_gone(self, title, seconds=15):
        self.wait_for(lambda: not self.x(["xdotool", "search", "--onlyvisible", "--name", ere(title)]).split(),
                      seconds, "window %r still on screen" % title.strip())

    def geometry(self, window):
        info = self.x(["xwininfo", "-id", window])
        field = lambda name: int(re.search(name + r":\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))

    def frame_of(self, window):
        """The window manager's frame around a window: its ancestor just under the root, in decimal."""
        current = int(window)
        while True:
            tree = self.x(["xwininfo", "-id", str(current), "-tree"])
            root = int(re.search(r"Root window id: (0x[0-9a-f]+)", tree).group(1), 16)
            parent = int(re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1), 16)
            if parent == root:
                return str(current)
            current = parent

    def window_under(self, x, y):
        self.x(["xdotool", "mousemove", str(x), str(y)])
        out = self.x(["xdotool", "getmouselocation", "--shell"])
        return re.search(r"WINDOW=(\d+)", out).group(1)

    def click_in(self, window, point):
        """Clicks a point of a window's client area, raising the window first
        if another one lies over that point, as a player would."""
        left, top, _, _ = self.geometry(window)
        x, y = left + point[0], top + point[1]
        frame = self.frame_of(window)
        if self.window_under(x, y) != frame:
            self.x(["xdotool", "windowactivate", "--sync", window])
            check(self.window_under(x, y) == frame, "point %s of window %s stays covered" % (point, window))
        self.x(["xdotool", "mousemove", str(x), str(y), "click", "1"])

    def close_from_title_bar(self, window):
        """Clicks the close control at the right end of the window's title bar."""
        left, top, width, _ = self.geometry(window)
        frame_left, frame_top, _, _ = self.geometry(self.frame_of(window))
        border = left - frame_left
        title_bar_middle = (frame_top + border + top) // 2
        self.x(["xdotool", "mousemove", str(left + width - 14), str(title_bar_middle), "click", "1"])

    def key(self, window, *keys):
        self.x(["xdotool", "windowactivate", "--sync", window])
        self.x(["xdotool", "key", "--clearmodifiers"] + list(keys))

    def grab(self, window):
        left, top, width, height = self.geometry(window)
        return subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, left, top),
                               "rgb:-"], env=self.env, capture_output=True, timeout=20).stdout

    def wait_change(self, window, before, seconds=10):
        """Waits until the window looks different from before and has settled."""
        state = {"last": before}

        def settled():
            now = self.grab(window)
            done = now != before and now == state["last"]
            state["last"] = now
            return done

        self.wait_for(settled, seconds, "window %s did not change" % window)

    def save_screenshot(self, name):
        if self.artifacts:
            os.makedirs(self.artifacts, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(self.artifacts, name + ".png")], env=self.env,
                           timeout=20, check=True)

    def exit_status(self, seconds):
        try:
            return self.app.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("the program still runs %.1f s later" % (seconds))


RECORD_RATE = 8000  # mono 16-bit samples recorded from the sink's monitor
QUARTER = RECORD_RATE // 4
SINK = "varnelle"


class SoundServer:
    """A PulseAudio of the desktop's own, in a directory of its own, on a null sink kept busy by a silent
    stream so that its monitor delivers samples all the time, and a recording of that monitor. Its log
    names the streams players create. Its processes are the desktop's: close() stops them."""

    def __init__(self, desktop):
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
            self.daemon = desktop._spawn(
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
            desktop._spawn(["pacat", "-s", self.server, "--playback", "--raw", "--latency-msec=20", "-d", SINK],
                           env=self.env, stdin=zeros, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.recording = os.path.join(base, "monitor.raw")
        with open(self.recording, "wb") as samples:
            self.parec = desktop._spawn(
                ["parec", "-s", self.server, "-d", SINK + ".monitor", "--raw", "--format=s16ne", "--channels=1",
                 "--rate=%d" % RECORD_RATE, "--latency-msec=20"],
                env=self.env, stdin=subprocess.DEVNULL, stdout=samples, stderr=subprocess.DEVNULL)
        self.reach(QUARTER)

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


class Player:
    def __init__(self, desktop, boxes, depart):
        self.d = desktop
        self.boxes = boxes
        self.depart = depart
        self.quiz = None

    def enter_name(self, name):
        welcome = self.d.window(WELCOME_TITLE, 30)
        self.d.x(["xdotool", "windowactivate", "--sync", welcome])
        if name:
            self.d.x(["xdotool", "type", "--delay", "20", name])
        self.d.x(["xdotool", "key", "Return"])
        self.quiz = self.d.window(QUIZ_TITLE, 30)
        self.d.wait_gone(WELCOME_TITLE)
        return self.quiz

    def click_depart(self):
        self.d.click_in(self.quiz, self.depart)

    def click_box(self, number):
        self.d.click_in(self.quiz, self.boxes[number])

    def find(self, first, last):
        for number in range(first, last + 1):
            self.click_box(number)

    def answer_revision(self, yes):
        question = self.d.window(QUESTION_TITLE)
        revising = REVISION_TITLE.strip() in self.d.visible_windows()
        if yes:
            self.d.key(question, "Return")  # Oui is the default button
        else:
            self.d.key(question, "Tab", "space")  # from Oui to Non, then press it
        self.d.wait_gone(QUESTION_TITLE)
        if yes:
            return self.d.window(REVISION_TITLE)
        check((REVISION_TITLE.strip() in self.d.visible_windows()) == revising, "No changed the revision window")
        return None

    def themes_one_to_four(self):
        self.click_depart()
        for first, last in THEMES[:4]:
            if first > 1:
                self.click_depart()
            self.find(first, last)

    def end_texts(self, screenshot):
        before = self.d.grab(self.quiz)
        self.click_depart()
        self.d.wait_change(self.quiz, before)
        self.d.save_screenshot(screenshot)


# Scenarios: each proves one thing about a whole run of the program.


def scenario_welcome(d, p):
    """A name typed with real keys and Enter open the quiz window, titled and sized as designed."""
    d.start()
    quiz = p.enter_name("\u00c9lodie   Dupr\u00e9")
    _, _, width, height = d.geometry(quiz)
    check((width, height) == (950, 861), "quiz window client area %dx%d, not 950x861" % (width, height))
    check(d.visible_windows() == [QUIZ_TITLE.strip()], "windows on screen: %s" % d.visible_windows())
    d.save_screenshot("e2e-welcome-quiz")


# The anthem, through the monitor, stays far above LOUD but for rests of half a second at most; the
# silent stream keeps the monitor below QUIET.
LOUD = 0.02
QUIET = 0.001


def anthem_seconds(workdir):
    with wave.open(os.path.join(workdir, "Marseillaise.wav")) as anthem:
        return anthem.getnframes() / anthem.getframerate()


def win_to_the_last_click(d, p):
    """A session without an error, up to the click that opens the cup window."""
    d.start()
    p.enter_name("Camille")
    p.themes_one_to_four()
    p.click_depart()
    p.answer_revision(yes=False)
    p.find(*THEMES[4])
    p.end_texts("e2e-perfect-end-texts")


def cup_alone(d):
    d.wait_gone(QUIZ_TITLE)
    check(d.visible_windows() == [CUP_TITLE], "windows on screen: %s" % d.visible_windows())
    d.save_screenshot("e2e-perfect-cup")


def scenario_perfect(d, p):
    """A session without an error ends on the cup window, the quiz window hidden, the anthem heard from the
    working directory while the cup is open; closing the cup silences the anthem and ends the run."""
    sound = SoundServer(d)
    d.env["PULSE_SERVER"] = sound.server
    win_to_the_last_click(d, p)
    clicked = sound.size()
    streams = len(sound.streams_created())
    floor = sound.rms(clicked - RECORD_RATE, RECORD_RATE)
    check(floor < QUIET, "sound before the cup window: level %.4f" % floor)
    p.click_depart()
    cup = d.window(CUP_TITLE)
    heard = sound.wait_for(clicked, sound.size() + 5 * RECORD_RATE, lambda level: level > LOUD)
    check(heard is not None, "no sound within 5 s of the cup window's opening; streams played: %s"
          % sound.streams_created()[streams:])
    playing = sound.rms(heard, 2 * RECORD_RATE)
    check(playing > LOUD, "the anthem does not go on playing: level %.4f" % playing)
    played = sound.streams_created()[streams:]
    check(played == [os.path.join(d.workdir, "Marseillaise.wav")], "streams played: %s" % played)
    cup_alone(d)
    closing = sound.size()
    check(closing - heard < (anthem_seconds(d.workdir) - 20) * RECORD_RATE,
          "the cup window closes %.1f s into the anthem, too near its end" % ((closing - heard) / RECORD_RATE))
    before = sound.rms(closing - RECORD_RATE, RECORD_RATE)
    check(before > LOUD, "the anthem no longer plays as the cup window closes: level %.4f" % before)
    d.close_from_title_bar(cup)
    quiet = sound.wait_for(closing, closing + 3 * RECORD_RATE, lambda level: level < QUIET)
    check(quiet is not None, "the anthem plays on 3 s after the cup window closed")
    after = sound.rms(quiet, 2 * RECORD_RATE)
    check(after < QUIET, "sound after the cup window closed: level %.4f" % after)
    print("anthem: level %.3f while the cup is open, %.5f from %.2f s after it closed"
          % (playing, after, (quiet - closing) / RECORD_RATE))
    status = d.exit_status(5)
    check(status == 0, "exit status %d after the cup window closed" % status)


def scenario_errors(d, p):
    """Wrong clicks, a closed revision window and the revision question answered Yes, Yes, No never stop
    the session; its closing click ends the run with status 0 within a second, no window left."""
    d.start()
    p.enter_name("")
    p.click_depart()
    p.click_box(3)  # Allemagne is sought: wrong
    p.find(1, 7)
    p.click_depart()
    p.click_box(12)  # a river box is not on the map yet: the click lands on the map
    p.click_box(10)  # Océan Atlantique is sought: wrong
    p.find(8, 11)
    for first, last in THEMES[2:4]:
        p.click_depart()
        p.find(first, last)
    p.click_depart()
    d.close_from_title_bar(p.answer_revision(yes=True))
    d.wait_gone(REVISION_TITLE)
    p.click_depart()
    p.answer_revision(yes=True)
    p.click_depart()
    p.answer_revision(yes=False)
    p.click_box(54)  # Ajaccio is sought: wrong, while the revision window is still open
    p.find(23, 54)
    p.end_texts("e2e-errors-end-texts")
    check(REVISION_TITLE.strip() in d.visible_windows(), "windows on screen: %s" % d.visible_windows())
    p.click_depart()
    status = d.exit_status(1.0)
    check(status == 0, "exit status %d after the closing click" % status)
    check(d.visible_windows() == [], "windows left on screen: %s" % d.visible_windows())


def scenario_error_window(d, p):
    """The error window appears at every wrong click and leaves at the next click; the player may close it."""
    d.start()
    p.enter_name("Lou")
    p.click_depart()
    for wrong, right in ((3, 1), (4, 2), (5, 3)):
        p.click_box(wrong)
        d.window(ERROR_TITLE)
        p.click_box(right)
        d.wait_gone(ERROR_TITLE)
    p.click_box(7)
    d.close_from_title_bar(d.window(ERROR_TITLE))
    d.wait_gone(ERROR_TITLE)
    p.click_box(7)
    d.window(ERROR_TITLE)
    p.find(4, 7)
    d.wait_gone(ERROR_TITLE)
    check(d.visible_windows() == [QUIZ_TITLE.strip()], "windows on screen: %s" % d.visible_windows())


def scenario_close_quiz(d, p):
    """The quiz window closed from its title bar mid-session ends the run, no window left behind."""
    d.start()
    p.enter_name("Lou")
    p.click_depart()
    p.find(1, 2)
    p.click_box(7)
    d.window(ERROR_TITLE)
    d.close_from_title_bar(p.quiz)
    status = d.exit_status(5)
    check(status == 0, "exit status %d after the quiz window closed" % status)
    check(d.visible_windows() == [], "windows left on screen: %s" % d.visible_windows())


FILE_CALLS = "open,openat,openat2,creat,truncate,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,link,linkat," \
             "symlink,symlinkat"
# QtGui looks once for this made-up resource name as a file; it never exists and nothing is read.
QT_PROBE = ":/non-existent"
WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND")


def files_touched(log, workdir):
    """From strace's log: the files opened for writing (or created, renamed, removed) and the files opened
    in the working directory, as (writes, reads). A write that failed wrote nothing; a failed opening in the
    working directory still shows the program looking for a file there."""
    writes, reads = set(), set()
    call = re.compile(r'^\d+\s+(\w+)\((?:AT_FDCWD|-?\d+)(?:<[^>]*>)?, "([^"]*)"(.*)\) = (-?\d+)|'
                      r'^\d+\s+(\w+)\("([^"]*)"(.*)\) = (-?\d+)')
    for line in log.splitlines():
        match = call.match(line)
        if not match:
            continue
        name, path, rest, result = match.groups()[:4] if match.group(1) else match.groups()[4:]
        opening = name.startswith("open")
        if int(result) >= 0 and (not opening or any(flag in rest for flag in WRITE_FLAGS)):
            if path != "/dev/null":
                writes.add("%s %s" % (name, path))
        if path == QT_PROBE:
            continue
        absolute = os.path.normpath(os.path.join(workdir, path))
        if opening and (absolute == workdir or absolute.startswith(workdir + os.sep)):
            reads.add(os.path.relpath(absolute, workdir))
    return writes, reads


def scenario_files(d, p):
    """A whole winning session writes no file and opens nothing in the working directory but the anthem.
    There is no sound server: libpulse, once connected, writes a cookie of its own into HOME."""
    log = os.path.join(d.root, "strace.log")
    d.wrap = ["strace", "-f", "-qq", "-y", "-o", log, "-e", "trace=" + FILE_CALLS]
    win_to_the_last_click(d, p)
    p.click_depart()
    cup = d.window(CUP_TITLE)
    cup_alone(d)
    d.close_from_title_bar(cup)
    status = d.exit_status(5)
    check(status == 0, "exit status %d after the cup window closed" % status)
    with open(log, encoding="utf-8", errors="replace") as trace:
        writes, reads = files_touched(trace.read(), d.workdir)
    check(not writes, "files written: %s" % sorted(writes))
    check(reads <= {"Marseillaise.wav"}, "files opened in the working directory: %s" % sorted(reads))


SCENARIOS = {
    "welcome": scenario_welcome,
    "perfect": scenario_perfect,
    "errors": scenario_errors,
    "error-window": scenario_error_window,
    "close-quiz": scenario_close_quiz,
    "files": scenario_files,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("source_dir")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--artifacts")
    parser.add_argument("--workdir")
    args = parser.parse_args()

    # CTest stops a test that runs too long with SIGTERM: clean up then too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))
    boxes, depart = read_layout(args.source_dir)
    desktop = Desktop(os.path.abspath(args.binary), args.source_dir, args.artifacts, args.workdir)
    try:
        started = time.monotonic()
        SCENARIOS[args.scenario](desktop, Player(desktop, boxes, depart))
        print("scenario %s passed in %.1f s" % (args.scenario, time.monotonic() - started))
    except Failure as failure:
        desktop.save_screenshot("e2e-%s-failure" % args.scenario)
        print("FAIL: %s\n%s" % (failure, "".join(traceback.format_tb(failure.__traceback__)[1:-1])))
        return 1
    finally:
        desktop.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
