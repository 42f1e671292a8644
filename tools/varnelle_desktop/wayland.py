"""A Wayland session of the run's own: a compositor nested in Xvfb (weston, Plasma's kwin_wayland, or GNOME's
mutter), with its Xwayland.

The program sees what a GNOME or Plasma session gives it: WAYLAND_DISPLAY, XDG_SESSION_TYPE=wayland, and
the Xwayland display in DISPLAY. Input is real: xdotool moves Xvfb's pointer and presses its keys, weston's
x11 backend turns them into Wayland input, and the compositor delivers them as it would a mouse's and a
keyboard's, raising what is clicked. What the player sees is judged from Xvfb's screen, which holds weston's
output; the X tools that find windows and their places ask Xwayland.
"""

import glob
import os
import re
import shutil
import socket
import subprocess
import time

import numpy

from .desktop import Desktop, check, import_rgb
from .windowmanagers import WindowManager

SCREEN = (1280, 1024)
# Weston's double-click period on title bars is 250 ms.
DOUBLE_CLICK_SECONDS = 0.5


class Weston(WindowManager):
    """weston with its desktop shell, in a window of the X server, and an Xwayland it starts on demand on a
    display it picks itself (the first free one, from :0 up, as an X server does: no clash)."""

    name = "weston"
    socket = "wayland-varnelle"
    title_bar = 28  # the height of the title bar its X window manager draws over a window
    panel = 32  # its panel along the top, whose clock changes
    # It publishes neither a frame's extents nor the work area its panel leaves: a window is centred to
    # within a title bar.
    placement_tolerance = 28
    # A title-bar double-click maximises even a fixed-size window, to this client area within the frame.
    maximised = (1268, 959)
    black_until_drawn = True  # its output is black until it has drawn its background
    shadow = 0  # how far beyond a window's frame it draws the window's shadow
    background_noise = 0  # by how many levels its background may change once windows are mapped

    def command(self, desktop):
        config = os.path.join(desktop.root, "weston.ini")
        with open(config, "w", encoding="utf-8") as ini:
            ini.write("[core]\nidle-time=0\n[shell]\nlocking=false\nanimation=none\nstartup-animation=none\n")
        return ["weston", "--backend=x11-backend.so", "--width=%d" % SCREEN[0], "--height=%d" % SCREEN[1],
                "--xwayland", "--socket=" + self.socket, "--config=" + config, "--idle-time=0"]

    def xwayland_display(self, desktop):
        """The display weston's Xwayland listens on, once weston says so; None before."""
        try:
            with open(os.path.join(desktop.root, self.name + ".log"), encoding="utf-8", errors="replace") as log:
                found = re.findall(r"xserver listening on display (:\d+)", log.read())
        except FileNotFoundError:
            return None
        return found[0] if found else None

    def ready(self, desktop):
        return (self.xwayland_display(desktop) is not None
                and os.path.exists(os.path.join(desktop.env["XDG_RUNTIME_DIR"], self.socket))
                and "Weston Compositor" in desktop.x(["xwininfo", "-root", "-tree"]))

    def close_point(self, client, frame):
        left, top, width, _ = client
        return left + width - 14, top - self.title_bar // 2

    def session_environment(self, desktop):
        """Variables the compositor's session gives its clients, besides the displays."""
        return {}

    def release(self):
        pass


def listen_x11(displays):
    """Binds the sockets of the first free X display of `displays` and locks it as an X server does; returns
    the display's number, its lock file and its sockets (filesystem, then abstract)."""
    for number in displays:
        lock = "/tmp/.X%d-lock" % number
        try:
            descriptor = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
        except FileExistsError:
            continue
        os.write(descriptor, b"%10d\n" % os.getpid())
        os.close(descriptor)
        path = "/tmp/.X11-unix/X%d" % number
        sockets = []
        try:
            for address in (path, "\0" + path):
                sockets.append(socket.socket(socket.AF_UNIX, socket.SOCK_STREAM))
                sockets[-1].bind(address)
                sockets[-1].listen(16)
        except OSError:
            for bound in sockets:
                bound.close()
            os.unlink(lock)
            continue
        return number, lock, sockets
    raise RuntimeError("no free X display in %s" % displays)


class KWinWayland(Weston):
    """Plasma's compositor in a window of the X server, with the Xwayland it starts on sockets bound here, on
    a display of this desktop's range: server-side Breeze title bars 37 pixels high without side borders,
    frames told before mapping, no panel (no Plasma shell) and a black background. It needs a session bus,
    and runs as a copy without the file capability of /usr/bin/kwin_wayland, which a sandbox may refuse."""

    name = "kwin_wayland"
    start_seconds = 40
    title_bar = 37
    panel = 0
    placement_tolerance = 2
    maximised = None  # a fixed-size window is not maximisable
    black_until_drawn = False  # its background is black
    displays = range(280, 300)

    def __init__(self):
        self.display = self.lock = None
        self.sockets = []

    def command(self, desktop):
        self.display, self.lock, self.sockets = listen_x11(self.displays)
        binary = os.path.join(desktop.root, "bin", "kwin_wayland")
        os.makedirs(os.path.dirname(binary))
        shutil.copyfile("/usr/bin/kwin_wayland", binary)
        os.chmod(binary, 0o755)
        fds = []
        for bound in self.sockets:
            fds += ["--xwayland-fd", str(bound.fileno())]
        return ["dbus-run-session", "--", binary, "--x11-display", desktop.display, "--width", str(SCREEN[0]),
                "--height", str(SCREEN[1]), "--socket", self.socket, "--xwayland", "--xwayland-display",
                ":%d" % self.display] + fds

    def environment(self, desktop):
        return {"XDG_CURRENT_DESKTOP": "KDE", "KDE_FULL_SESSION": ""}

    def pass_fds(self):
        return tuple(bound.fileno() for bound in self.sockets)

    def xwayland_display(self, desktop):
        return ":%d" % self.display

    def ready(self, desktop):
        xwayland = dict(desktop.env, DISPLAY=self.xwayland_display(desktop))
        checked = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=xwayland,
                                 capture_output=True, text=True, timeout=20).stdout
        return (os.path.exists(os.path.join(desktop.env["XDG_RUNTIME_DIR"], self.socket)) and "window id" in checked
                and "KDE Wayland Compositor" in desktop.x(["xwininfo", "-root", "-tree"]))

    def close_point(self, client, frame):
        return WindowManager.close_point(self, client, frame)

    def release(self):
        for bound in self.sockets:
            bound.close()
        if self.lock:
            for path in (self.lock, "/tmp/.X11-unix/X%d" % self.display):
                if os.path.exists(path):
                    os.unlink(path)
        self.sockets, self.lock = [], None


class MutterNested(KWinWayland):
    """GNOME's compositor in a window of the X server, without GNOME Shell: its Xwayland on the first free
    displays from :0 up (one public, one for GNOME's own services: mutter 43 names no other), opened to
    clients with an Xauthority file in the runtime directory, and title bars 37 pixels high. Not in the test
    command: it is run by hand, its display out of any range a test may keep to."""

    name = "mutter"
    shadow = 48
    background_noise = 1  # it draws its background rounded otherwise once a window is mapped

    def command(self, desktop):
        return ["dbus-run-session", "--", "mutter", "--nested", "--wayland", "--wayland-display", self.socket]

    def environment(self, desktop):
        return {"MUTTER_DEBUG_DUMMY_MODE_SPECS": "%dx%d" % SCREEN, "XDG_CURRENT_DESKTOP": "GNOME"}

    def pass_fds(self):
        return ()

    def xwayland_display(self, desktop):
        try:
            with open(os.path.join(desktop.root, self.name + ".log"), encoding="utf-8", errors="replace") as log:
                found = re.findall(r"Using public X11 display (:\d+)", log.read())
        except FileNotFoundError:
            return None
        return found[0] if found else None

    def session_environment(self, desktop):
        found = glob.glob(os.path.join(desktop.env["XDG_RUNTIME_DIR"], ".mutter-Xwaylandauth.*"))
        return {"XAUTHORITY": found[0], "XDG_CURRENT_DESKTOP": "GNOME"} if found else {}

    def ready(self, desktop):
        display = self.xwayland_display(desktop)
        if not display or not self.session_environment(desktop):
            return False
        xwayland = dict(desktop.env, DISPLAY=display, **self.session_environment(desktop))
        checked = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=xwayland,
                                 capture_output=True, text=True, timeout=20).stdout
        return "window id" in checked and "mutter" in desktop.x(["xwininfo", "-root", "-tree"])

    def release(self):
        pass


COMPOSITORS = {"weston": Weston, "kwin_wayland": KWinWayland, "mutter": MutterNested}


class WaylandDesktop(Desktop):
    """Xvfb and a nested compositor; the program and the X tools in the compositor's session."""

    def _start_window_manager(self):
        super()._start_window_manager()
        self.screen = dict(self.env)  # Xvfb: weston's output, and where input comes from
        self.env.update(DISPLAY=self.wm.xwayland_display(self), WAYLAND_DISPLAY=self.wm.socket,
                        XDG_SESSION_TYPE="wayland", **self.wm.session_environment(self))
        self.title_clicked = 0.0

    def close(self):
        super().close()
        if getattr(self, "wm", None):
            self.wm.release()

    # Input, through Xvfb and the compositor

    def on_screen(self, command):
        return subprocess.run(command, env=self.screen, capture_output=True, text=True, timeout=20).stdout

    def pointer_to(self, x, y):
        """Puts the compositor's pointer at (x, y) of its output. Weston's x11 backend moves its pointer by
        the motion it sees, so the pointer is first pinned in the top-left corner by a motion larger than
        the output."""
        self.on_screen(["xdotool", "mousemove", str(SCREEN[0] - 1), str(SCREEN[1] - 1), "mousemove", "0", "0",
                        "mousemove", str(x), str(y)])

    def click_at(self, x, y, count=1):
        self.pointer_to(x, y)
        self.on_screen(["xdotool", "click", "--repeat", str(count), "--delay", "80", "1"])

    def title_bar_point(self, window):
        """A point of the window's title bar, a third of the way along."""
        left, top, width, _ = self.geometry(window)
        return left + width // 3, top - self.wm.title_bar // 2

    def click_title_bar(self, window, count=1):
        """Clicks the window's title bar, `count` times in a row. Weston takes a click that comes within its
        double-click period of the last one on a title bar for a double-click, which maximises: clicks
        meant apart wait that period out."""
        time.sleep(max(0, self.title_clicked + DOUBLE_CLICK_SECONDS - time.monotonic()))
        self.click_at(*self.title_bar_point(window), count=count)
        self.title_clicked = time.monotonic()

    def activate(self, window):
        """Raises the window and gives it the keyboard as a player does: by a click on its title bar."""
        self.click_title_bar(window)

    def type_text(self, text, delay=20):
        self.on_screen(["xdotool", "type", "--delay", str(delay), text])

    def press(self, *keys):
        self.on_screen(["xdotool", "key"] + list(keys))

    def window_under(self, x, y):
        self.pointer_to(x, y)
        out = self.x(["xdotool", "getmouselocation", "--shell"])
        return re.search(r"WINDOW=(\d+)", out).group(1)

    def click_in(self, window, point):
        left, top, _, _ = self.geometry(window)
        x, y = left + point[0], top + point[1]
        if self.window_under(x, y) not in (window, self.frame_of(window)):
            self.activate(window)
        self.click_at(x, y)

    def close_from_title_bar(self, window):
        self.click_at(*self.wm.close_point(self.geometry(window), self.geometry(self.frame_of(window))))

    # What the player sees: the compositor's output on Xvfb

    def grab_screen(self):
        return import_rgb(self.screen, "root")

    def own_pixels(self, window):
        """The window's contents as the program drew them, whatever covers it on screen."""
        return import_rgb(self.env, window)

    def seen(self, window):
        """Whether the player sees the whole window: the screen shows its own pixels where it lies, all but
        a few (a text cursor blinks)."""
        screen, own = self.grab(window), self.own_pixels(window)
        if not screen or len(screen) != len(own):
            return False
        differ = numpy.frombuffer(screen, numpy.uint8) != numpy.frombuffer(own, numpy.uint8)
        return differ.reshape(-1, 3).any(axis=1).mean() < 0.01


STRAY_PIXELS = 2000  # more than the pointer covers, less than any window's title bar


def screen_pixels(d):
    return numpy.frombuffer(d.grab_screen(), numpy.uint8).reshape(SCREEN[1], SCREEN[0], 3)


def empty_desktop(d):
    """The compositor's output before the program shows anything, once it has drawn its background (weston's
    output is black before; KWin's background is black) and two grabs in a row agree."""
    shots = [screen_pixels(d)]
    panel = d.wm.panel

    def drawn():
        shots.append(screen_pixels(d))
        return (not d.wm.black_until_drawn or shots[-1][panel:].any()) and (shots[-1][panel:] == shots[-2][panel:]).all()

    d.wait_for(drawn, 15, "weston draws no background")
    return shots[-1]


def check_nothing_else_seen(d, empty, windows, when):
    """Outside the frames of the given windows and their shadows, the output shows the empty desktop: no window
    the program hid or closed leaves anything on screen."""
    differ = (numpy.abs(screen_pixels(d).astype(int) - empty) > d.wm.background_noise).any(axis=2)
    differ[:d.wm.panel] = False
    for window in windows:
        left, top, width, height = d.geometry(d.frame_of(window))
        margin = d.wm.shadow
        differ[max(top - margin, 0):top + height + margin, max(left - margin, 0):left + width + margin] = False
    rows, columns = numpy.nonzero(differ)
    check(len(rows) < STRAY_PIXELS, "%s, %d pixels outside the program's windows show something else than the "
          "desktop, within (%d, %d)-(%d, %d)" % (when, len(rows), columns.min(initial=0), rows.min(initial=0),
                                                  columns.max(initial=0), rows.max(initial=0)))


def seen_window(d, title):
    """The window of that title once the player sees it whole, where the compositor put it."""
    window = d.window(title, 30)
    d.wait_for(lambda: d.seen(window), 15, "the window %r is not seen whole on screen" % title.strip())
    return window


def check_centred(d, window, name):
    """The window with its title bar lies at the centre of the output, to within what the compositor lets a
    program know of its frame."""
    left, top, width, height = d.geometry(window)
    x, y = left + width / 2, (top - d.wm.title_bar + top + height) / 2
    tolerance = d.wm.placement_tolerance
    check(abs(x - SCREEN[0] / 2) <= tolerance and abs(y - SCREEN[1] / 2) <= tolerance,
          "the %s window's centre is at (%d, %d), not at the screen's (%d, %d)"
          % (name, x, y, SCREEN[0] / 2, SCREEN[1] / 2))


def maximise(d, window, name):
    """A double-click on the title bar is weston's maximise."""
    d.click_title_bar(window, count=2)
    d.wait_for(lambda: d.geometry(window)[2:] == d.wm.maximised, 10, "the %s window was not maximised: %s"
               % (name, d.geometry(window)))
    d.wait_for(lambda: d.seen(window), 10, "the %s window is not seen whole once maximised" % name)
    check(d.app.poll() is None, "the program ended when its %s window was maximised" % name)


def maximise_and_restore(d, window, name):
    """A second double-click on the title bar restores the window."""
    before = d.geometry(window)
    maximise(d, window, name)
    d.click_title_bar(window, count=2)
    d.wait_for(lambda: d.geometry(window) == before, 10, "the %s window did not come back to its place: %s, not %s" % (name, d.geometry(window), before))
    d.wait_for(lambda: d.seen(window), 10, "the %s window is not seen whole once restored" % name)
    check(d.app.poll() is None, "the program ended when its %s window was restored" % name)


def check_error_window_over_quiz(d, p):
    """The error window is seen whole, over the middle of the quiz window: it covers that window's centre."""
    error = seen_window(d, p.titles["Erreur"])
    left, top, width, height = d.geometry(p.quiz)
    e_left, e_top, e_width, e_height = d.geometry(error)
    dx = e_left + e_width / 2 - (left + width / 2)
    dy = e_top + e_height / 2 - (top + height / 2)
    check(abs(dx) < e_width / 2 and abs(dy) < e_height / 2,
          "the error window's centre is (%+d, %+d) from the quiz window's" % (dx, dy))


def scenario_wayland(d, p):
    """In a Wayland session with Xwayland the program runs through X: its windows open centred, the error
    window is seen over the middle of the quiz window after every wrong click, also in a row, and maximising a window from its title bar, which
    natively ends the run with a protocol error, only maximises it; a window hidden while maximised leaves
    nothing of it on screen."""
    empty = empty_desktop(d)
    d.start()
    welcome = seen_window(d, p.titles["Bonjour"])
    check_centred(d, welcome, "welcome")
    d.save_screenshot("e2e-%s-welcome" % d.wm.name)
    if d.wm.maximised:
        maximise_and_restore(d, welcome, "welcome")
        maximise(d, welcome, "welcome")  # and validated so: the hidden window must leave the screen
    p.enter_name("Lou")
    check_centred(d, seen_window(d, p.titles["France"]), "quiz")
    check_nothing_else_seen(d, empty, [p.quiz], "once the name is validated")
    p.click_depart()
    for wrong in (3, 4, 5):  # Allemagne is sought; weston raises the quiz window clicked
        p.click_box(wrong)
        check_error_window_over_quiz(d, p)
        d.save_screenshot("e2e-%s-error-%d" % (d.wm.name, wrong))
    p.click_box(1)
    d.wait_gone(p.titles["Erreur"])
    if d.wm.maximised:
        maximise_and_restore(d, p.quiz, "quiz")
    p.click_box(3)
    check_error_window_over_quiz(d, p)
