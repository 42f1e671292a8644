"""The window managers a desktop can run, one class each: its command line, how to tell it is ready, and
the quirks a player meets under it. To add one, write a class and list it in WINDOW_MANAGERS."""

import os
import subprocess


class WindowManager:
    """An EWMH window manager, ready once it has set _NET_SUPPORTING_WM_CHECK on the root window."""

    name = None
    start_seconds = 20

    def command(self, desktop):
        raise NotImplementedError

    def environment(self, desktop):
        """Variables of its own, added to the desktop's."""
        return {}

    def pass_fds(self):
        """Descriptors it inherits, such as sockets bound for it."""
        return ()

    def ready(self, desktop):
        return "window id" in desktop.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])

    def close_point(self, client, frame):
        """The root point of the close control of a window, from its client area and its frame, both
        (left, top, width, height): at the right end of the title bar, level with its middle."""
        left, top, width, _ = client
        frame_left, frame_top, _, _ = frame
        border = left - frame_left
        return left + width - 14, (frame_top + border + top) // 2


class IceWM(WindowManager):
    """IceWM as it comes, or with a theme of its own and without its task bar, as the README's pictures
    show it."""

    name = "icewm"

    def __init__(self, theme=None, task_bar=True):
        self.theme = theme
        self.task_bar = task_bar

    def command(self, desktop):
        return ["icewm"] + (["-t", self.theme] if self.theme else [])

    def environment(self, desktop):
        if self.task_bar:
            return {}
        config = os.path.join(desktop.root, "icewm")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "preferences"), "w", encoding="utf-8") as preferences:
            preferences.write("ShowTaskBar=0\nTaskBarAutoHide=0\n")
        return {"ICEWM_PRIVCFG": config}


class Xfwm4(WindowManager):
    """Xfce's window manager with its compositor: click to raise, and a frame on every side. It reads its
    settings through xfconf, so it gets a session bus of its own."""

    name = "xfwm4"

    def command(self, desktop):
        return ["dbus-run-session", "--", "xfwm4", "--compositor=on"]


class KWin(WindowManager):
    """Plasma's window manager on X11, compositing through OpenGL: click to raise, title bars 37 pixels high
    without side borders, and a minimise control on every window. It needs a session bus."""

    name = "kwin_x11"
    start_seconds = 40

    def command(self, desktop):
        return ["dbus-run-session", "--", "kwin_x11"]

    def environment(self, desktop):
        return {"QT_QPA_PLATFORM": "xcb", "KDE_FULL_SESSION": "", "XDG_CURRENT_DESKTOP": "KDE"}


class Mutter(WindowManager):
    """GNOME's window manager and compositor as an X11 window manager: click to raise, title bars 37 pixels
    high without side borders, and a close control alone; a window of fixed size can be neither maximised
    nor put into full screen. It gets a session bus of its own, as in a session (without one it warns)."""

    name = "mutter_x11"
    start_seconds = 40

    def command(self, desktop):
        return ["dbus-run-session", "--", "mutter", "--x11", "--replace", "--sm-disable"]


class GnomeShell(Mutter):
    """GNOME Shell on X11: mutter with GNOME's top bar, dash, overview and notifications. It ends at start
    without a system bus, so its private session bus serves as one too; the harness reaches that bus
    through the address the session writes down. At start it shows its overview, which a player leaves by
    starting a program from it: the desktop is ready once the shell has left it."""

    name = "gnome-shell"

    def __init__(self):
        self.bus = None
        self.overview_seen = False

    def command(self, desktop):
        self.bus = os.path.join(desktop.root, "gnome-shell.bus")
        return ["dbus-run-session", "--", "sh", "-c", 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$0" && '
                'DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" exec gnome-shell --x11 --replace', self.bus]

    def environment(self, desktop):
        return {"XDG_SESSION_TYPE": "x11", "XDG_CURRENT_DESKTOP": "GNOME"}

    def overview(self, method, *value):
        """Gets or sets the shell's OverviewActive property: the reply, or None until the shell answers."""
        with open(self.bus, encoding="utf-8") as bus:
            address = bus.read().strip()
        out = subprocess.run(["dbus-send", "--bus=" + address, "--print-reply", "--dest=org.gnome.Shell",
                              "/org/gnome/Shell", "org.freedesktop.DBus.Properties." + method,
                              "string:org.gnome.Shell", "string:OverviewActive", *value],
                             capture_output=True, text=True, timeout=10)
        return out.stdout if out.returncode == 0 else None

    def ready(self, desktop):
        if not super().ready(desktop) or not os.path.exists(self.bus) or not os.path.getsize(self.bus):
            return False
        if "boolean true" in (self.overview("Get") or ""):
            self.overview_seen = True
            self.overview("Set", "variant:boolean:false")
            return False
        return self.overview_seen


WINDOW_MANAGERS = {
    "icewm": IceWM,
    "xfwm4": Xfwm4,
    "kwin_x11": KWin,
    "mutter_x11": Mutter,
    "gnome-shell": GnomeShell,
    # A bare X server: windows stand where the program puts them, without frames.
    "none": None,
}
