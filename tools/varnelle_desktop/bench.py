"""The benchmark figures that need an X server: the first paint of the welcome window against a bare Qt
window, and the program's idle load and memory with the quiz window open. On Xvfb without a window
manager, so that the program's own window is the one created on the root; the programs see the
caller's environment but for the display. Prints one line per figure; no figure is a test.

    python3 -m varnelle_desktop.bench first-paint BUILD_DIR LAYOUT ROUNDS
    python3 -m varnelle_desktop.bench idle BUILD_DIR LAYOUT
"""

import argparse
import os
import subprocess
import sys
import time

from .desktop import Desktop
from .layout import Layout
from .player import Player


def bench_desktop():
    d = Desktop(wm="none")
    env = dict(os.environ, DISPLAY=d.display, XDG_RUNTIME_DIR=d.env["XDG_RUNTIME_DIR"], QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    d.env = env
    return d


def median(values):
    ordered = sorted(values, key=float)
    middle = len(ordered) // 2
    if len(ordered) % 2:
        return ordered[middle]
    return "%g" % ((float(ordered[middle - 1]) + float(ordered[middle])) / 2)


def first_paint(build, layout, rounds):
    """Warms the caches once, then alternates the two programs round by round."""
    width, height = layout.client["Bonjour"]
    with bench_desktop() as d:
        def paint(program):
            command = [os.path.join(build, "bench", "first_paint"), str(width), str(height), program]
            return subprocess.run(command, env=d.env, cwd=d.workdir, check=True, capture_output=True,
                                  text=True).stdout.strip()

        ours, bare = os.path.join(build, "varnelle"), os.path.join(build, "bench", "bare_window")
        paint(ours)
        paint(bare)
        times = {ours: [], bare: []}
        for _ in range(rounds):
            for program in (ours, bare):
                times[program].append(paint(program))
    mine, theirs = median(times[ours]), median(times[bare])
    print("first paint of the welcome window: %s ms (bare Qt window %s ms), ratio %.2f, target <= 1.15 "
          "(median of %d)" % (mine, theirs, float(mine) / float(theirs), rounds))


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
    parser.add_argument("figure", choices=("first-paint", "idle"))
    parser.add_argument("build")
    parser.add_argument("layout")
    parser.add_argument("rounds", nargs="?", type=int, default=11)
    args = parser.parse_args()
    layout = Layout(args.layout)
    build = os.path.abspath(args.build)
    if args.figure == "first-paint":
        first_paint(build, layout, args.rounds)
    else:
        idle(build, layout)
    return 0


if __name__ == "__main__":
    sys.exit(main())
