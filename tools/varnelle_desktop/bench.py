"""The benchmark figures that need an X server: the first paint of the welcome window against the floor
(bench/welcome_floor, the same window in plain Qt) and a bare Qt window, in time and in instructions,
and the program's idle load and memory with the quiz window open. On Xvfb without a window manager,
so that the program's own window is the one created on the root; the programs see the caller's
environment but for the display, an empty home and a session bus of their own, as on a first launch
on a desktop. Prints one line per figure; no figure is a test.

    python3 -m varnelle_desktop.bench first-paint BUILD_DIR LAYOUT ROUNDS
    python3 -m varnelle_desktop.bench counts BUILD_DIR LAYOUT
    python3 -m varnelle_desktop.bench cold BUILD_DIR LAYOUT ROUNDS
    python3 -m varnelle_desktop.bench idle BUILD_DIR LAYOUT
"""

import argparse
import glob
import os
import re
import subprocess
import sys
import time

from .desktop import Desktop
from .layout import Layout
from .player import Player


def bench_desktop():
    d = Desktop(wm="none")
    env = dict(os.environ, DISPLAY=d.display, XDG_RUNTIME_DIR=d.env["XDG_RUNTIME_DIR"], HOME=d.home,
               QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    # Without a session bus, every Qt program's accessibility bridge has libdbus fork and look for
    # dbus-launch along the whole PATH: one more process on the start-up path, and counts that vary.
    with d.log("dbus") as log:
        bus = d.spawn(["dbus-daemon", "--session", "--nofork", "--print-address"], env=env, stdout=subprocess.PIPE,
                      stderr=log, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    d.env = env
    return d


def programs(build):
    """The welcome window, then its floors: the same window in plain Qt, and a bare Qt window."""
    return (("Varnelle", os.path.join(build, "varnelle")),
            ("floor", os.path.join(build, "bench", "welcome_floor")),
            ("bare window", os.path.join(build, "bench", "bare_window")))


def median(values):
    ordered = sorted(values, key=float)
    middle = len(ordered) // 2
    if len(ordered) % 2:
        return ordered[middle]
    return "%g" % ((float(ordered[middle - 1]) + float(ordered[middle])) / 2)


def first_paint(build, layout, rounds):
    """Warms the caches once, then alternates the programs round by round."""
    width, height = layout.client["Bonjour"]
    with bench_desktop() as d:
        def paint(program):
            command = [os.path.join(build, "bench", "first_paint"), str(width), str(height), program]
            return subprocess.run(command, env=d.env, cwd=d.workdir, check=True, capture_output=True,
                                  text=True).stdout.strip()

        measured = programs(build)
        for _, program in measured:
            paint(program)
        times = {name: [] for name, _ in measured}
        for _ in range(rounds):
            for name, program in measured:
                times[name].append(paint(program))
    report("first paint of the welcome window", {name: float(median(t)) for name, t in times.items()}, "ms",
           "(median of %d alternated rounds)" % rounds)


def report(figure, values, unit, how):
    ours, floor, bare = (values[name] for name, _ in programs(""))
    print("%s: %s %s, floor %s %s, bare window %s %s; ratio to the floor %.2f, target <= 1.10; "
          "to the bare window %.2f %s" % (figure, ours, unit, floor, unit, bare, unit, ours / floor, ours / bare, how))


def instructions(d, build, program):
    """Instructions from exec to the first picture on the X server, as callgrind counts them."""
    env = dict(d.env, LD_PRELOAD=os.path.join(build, "bench", "libstop_at_first_paint.so"))
    result = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", program], env=env,
                            cwd=d.workdir, check=True, capture_output=True, text=True)
    return int(re.search(r"Collected : (\d+)", result.stderr).group(1))


def counts(build):
    """Each program counted twice: the same binary and inputs give the same count, whatever the machine does."""
    with bench_desktop() as d:
        values, spread = {}, 0.0
        for name, program in programs(build):
            first, second = instructions(d, build, program), instructions(d, build, program)
            values[name] = round(min(first, second) / 1e6, 2)
            spread = max(spread, abs(first - second) / min(first, second) * 100)
    report("instructions to the first paint", values, "M", "(callgrind, two runs within %.2f %%)" % spread)


def libraries(binary):
    """The shared libraries the dynamic loader maps for a binary."""
    listed = subprocess.run(["ldd", binary], check=True, capture_output=True, text=True).stdout
    return {os.path.realpath(path) for path in re.findall(r"=> (/\S+)", listed)}


def program_files(program):
    """A program's files: itself, its libraries, and the Qt plugins an X11 start-up loads, with theirs."""
    files = {os.path.realpath(program)} | libraries(program)
    qtcore = next(path for path in files if "libQt6Core" in path)
    plugins = os.path.join(os.path.dirname(qtcore), "qt6", "plugins")
    for pattern in ("platforms/libqxcb.so", "xcbglintegrations/*.so", "imageformats/*.so",
                    "platforminputcontexts/*.so"):
        for plugin in glob.glob(os.path.join(plugins, pattern)):
            files |= {os.path.realpath(plugin)} | libraries(plugin)
    return files


def drop_from_page_cache(files):
    for path in files:
        with open(path, "rb") as file:
            os.posix_fadvise(file.fileno(), 0, 0, os.POSIX_FADV_DONTNEED)


def cold(build, layout, rounds):
    """First paint with the program's and its libraries' files out of the page cache, and only those."""
    width, height = layout.client["Bonjour"]
    measured = programs(build)[:2]
    with bench_desktop() as d:
        times = {name: [] for name, _ in measured}
        for _ in range(rounds):
            for name, program in measured:
                drop_from_page_cache(program_files(program))
                command = [os.path.join(build, "bench", "first_paint"), str(width), str(height), program]
                times[name].append(float(subprocess.run(command, env=d.env, cwd=d.workdir, check=True,
                                                        capture_output=True, text=True).stdout))
    ours, floor = (float(median(times[name])) for name, _ in measured)
    print("cold first paint, files dropped from the page cache: %s ms, floor %s ms; ratio %.2f (median of %d)"
          % (ours, floor, ours / floor, rounds))


def idle(build, layout):
    with bench_desktop() as d:
        app = d.start(os.path.join(build, "varnelle"))
        Player(d, layout).enter_name("")
        time.sleep(1)

        def ticks():
            with open("/proc/%d/stat" % app.pid, encoding="ascii") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            return int(fields[11]) + int(fields[12])  # utime and stime

        before = ticks()
        time.sleep(10)
        after = ticks()
        with open("/proc/%d/status" % app.pid, encoding="ascii") as status:
            peak = next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))
    print("idle with the quiz window open: %.1f %% CPU over 10 s, target 0 %%"
          % ((after - before) * 100 / (os.sysconf("SC_CLK_TCK") * 10)))
    print("resident memory of the program at the quiz window under X: %.1f MiB" % (peak / 1024))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("figure", choices=("first-paint", "counts", "cold", "idle"))
    parser.add_argument("build")
    parser.add_argument("layout")
    parser.add_argument("rounds", nargs="?", type=int, default=11)
    args = parser.parse_args()
    layout = Layout(args.layout)
    build = os.path.abspath(args.build)
    if args.figure == "first-paint":
        first_paint(build, layout, args.rounds)
    elif args.figure == "counts":
        counts(build)
    elif args.figure == "cold":
        cold(build, layout, args.rounds)
    else:
        idle(build, layout)
    return 0


if __name__ == "__main__":
    sys.exit(main())
