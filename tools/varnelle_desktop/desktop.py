"""A desktop of the run's own: Xvfb on a display it picks itself, a window manager, and the program,
with the X tools a player and a test use. close() stops everything it started, whatever happened."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from . import windowmanagers

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ANTHEM = os.path.join(SOURCE_DIR, "assets", "sound", "Marseillaise.wav")
SCREEN = "1280x1024x24"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def ere(title):
    """The title as an anchored POSIX extended regular expression."""
    return "^" + re.sub(r"([.^$*+?()\[\]{}|\\])", r"\\\1", title) + "$"


def window_manager(name, **options):
    """The window manager of that name in WINDOW_MANAGERS, or None for a bare X server."""
    factory = windowmanagers.WINDOW_MANAGERS[name]
    return factory(**options) if factory else None


def import_rgb(env, window, *options):
    """A window's pixels on the X server of `env`, as 8-bit RGB: import gives 16-bit samples otherwise."""
    return subprocess.run(["import", "-window", window, *options, "-depth", "8", "rgb:-"], env=env,
                          capture_output=True, timeout=20).stdout


def differing_share(first, second):
    """The share of pixels that differ between two RGB grabs of one size."""
    if first == second:
        return 0.0
    count = len(first) // 3
    differing = sum(1 for i in range(0, 3 * count, 3) if first[i:i + 3] != second[i:i + 3])
    return differing / max(count, 1)


class Desktop:
    """Xvfb, a window manager and the program, run from a working directory holding only the anthem
    (or from `workdir`, which already holds it, such as the data directory of an installed package)."""

    def __init__(self, binary=None, artifacts=None, workdir=None, wm="icewm", screen=SCREEN):
        self.binary = binary
        self.artifacts = artifacts
        self.wrap = None  # a command the program runs under, such as strace
        self.processes = []
        self.app = None
        self.root = tempfile.mkdtemp(prefix="varnelle-desktop-")
        self.home = os.path.join(self.root, "home")
        runtime = os.path.join(self.root, "run")
        for directory in (self.home, runtime):
            os.makedirs(directory, mode=0o700)
        if workdir:
            self.workdir = workdir
        else:
            self.workdir = os.path.join(self.root, "work")
            os.makedirs(self.workdir, mode=0o700)
            shutil.copy(ANTHEM, self.workdir)
        self.env = {
            "PATH": "/usr/bin:/bin",
            "HOME": self.home,
            "XDG_RUNTIME_DIR": runtime,
            "LANG": "C.UTF-8",
            # No sound server unless the run starts its own (see sound): a server another run started
            # must not hear this one.
            "PULSE_SERVER": "unix:" + os.path.join(runtime, "no-pulse"),
        }
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        self.screen = self.env  # the X server whose pixels the player sees
        try:
            self.display = self._start_xvfb(screen)
            self.env["DISPLAY"] = self.display
            self.wm = window_manager(wm) if isinstance(wm, str) else wm
            if self.wm:
                self._start_window_manager()
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def spawn(self, command, env=None, **options):
        """Starts a process of the desktop's own, in a session of its own, which close() stops."""
        process = subprocess.Popen(command, env=env or self.env, start_new_session=True, **options)
        self.processes.append(process)
        return process

    def log(self, name):
        return open(os.path.join(self.root, name + ".log"), "wb")

    def _start_xvfb(self, screen):
        read_end, write_end = os.pipe()
        with self.log("xvfb") as log:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp",
                        "-noreset"], pass_fds=(write_end,), stdout=log, stderr=log)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "Xvfb reported no display")
        return ":" + number

    def _start_window_manager(self):
        env = dict(self.env, **self.wm.environment(self))
        with self.log(self.wm.name) as log:
            self.spawn(self.wm.command(self), env=env, stdout=log, stderr=log, cwd=self.home,
                       pass_fds=self.wm.pass_fds())
        self.wait_for(lambda: self.wm.ready(self), self.wm.start_seconds, "%s did not start" % self.wm.name)

    def start(self, binary=None):
        """Starts the program in its working directory."""
        command = [binary or self.binary]
        if self.wrap:
            command = self.wrap + command
        self.app = self.spawn(command, cwd=self.workdir)
        return self.app

    def stop(self):
        """Ends the program, as a session that is over."""
        if self.app is not None and self.app.poll() is None:
            os.killpg(self.app.pid, signal.SIGTERM)
            self.app.wait()
        self.app = None

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            process.wait()
        self.processes = []
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

    def visible(self, title):
        """The ids of the windows on screen with exactly that title."""
        return self.x(["xdotool", "search", "--onlyvisible", "--name", ere(title)]).split()

    def window(self, title, seconds=15):
        """The window with exactly that title once it is on screen."""
        # xdotool's --sync may answer while the window is still being mapped,
        # with no id at all: ask again until the window is there.
        found = []
        self.wait_for(lambda: found.append(self.visible(title)) or found[-1], seconds,
                      "no window %r on screen" % title.strip())
        ids = found[-1]
        check(len(ids) == 1, "%d windows %r on screen" % (len(ids), title.strip()))
        name = self.x(["xdotool", "getwindowname", ids[0]]).rstrip("\n")
        check(name == title, "title %r, not %r" % (name, title))
        return ids[0]

    def visible_windows(self, titles):
        """Those of the titles that a window on screen has, stripped."""
        return [title.strip() for title in titles if self.visible(title)]

    def wait_gone(self, title, seconds=15):
        self.wait_for(lambda: not self.visible(title), seconds, "window %r still on screen" % title.strip())

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
        """The top-level window on screen at that point: a frame, or a window without one."""
        self.x(["xdotool", "mousemove", str(x), str(y)])
        out = self.x(["xdotool", "getmouselocation", "--shell"])
        return self.frame_of(re.search(r"WINDOW=(\d+)", out).group(1))

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

    def top_seen(self, window):
        """Whether the screen shows the top rows of the window's client area, just under its title bar, as the
        window draws them. A compositing window manager puts a newly mapped window on screen a while after
        mapping it, and until then a click on its title bar reaches the window behind. (The title bar itself
        cannot be compared: KWin's frame window does not hold the title bar KWin shows.) Without a
        compositor both grabs are the screen's pixels."""
        left, top, width, height = self.geometry(window)
        size = "%dx%d" % (width, min(height, 16))
        on_screen = import_rgb(self.screen, "root", "-crop", "%s+%d+%d" % (size, left, top))
        return differing_share(on_screen, import_rgb(self.env, window, "-crop", size + "+0+0")) < 0.01

    def close_from_title_bar(self, window):
        """Clicks the close control of the window's title bar, once the window is on screen."""
        self.wait_for(lambda: self.top_seen(window), 10, "window %s is not on screen under its title bar" % window)
        x, y = self.wm.close_point(self.geometry(window), self.geometry(self.frame_of(window)))
        self.x(["xdotool", "mousemove", str(x), str(y), "click", "1"])

    def activate(self, window):
        """Raises the window and gives it the keyboard."""
        self.x(["xdotool", "windowactivate", "--sync", window])

    def type_text(self, text, delay=20):
        self.x(["xdotool", "type", "--delay", str(delay), text])

    def press(self, *keys):
        self.x(["xdotool", "key", "--clearmodifiers"] + list(keys))

    def key(self, window, *keys):
        self.activate(window)
        self.press(*keys)

    def grab(self, window):
        """The pixels of the window's client area as the screen shows them, 8-bit RGB."""
        left, top, width, height = self.geometry(window)
        return import_rgb(self.screen, "root", "-crop", "%dx%d+%d+%d" % (width, height, left, top))

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
        """The whole screen, into the artifacts directory if there is one."""
        if self.artifacts:
            os.makedirs(self.artifacts, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(self.artifacts, name + ".png")],
                           env=self.screen, timeout=20, check=True)

    def exit_status(self, seconds):
        try:
            return self.app.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("the program still runs %.1f s later" % (seconds))
