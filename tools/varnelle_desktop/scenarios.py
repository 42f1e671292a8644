"""Plays Varnelle as a player would, on a desktop of its own (desktop), with real X events.

Each scenario proves one thing about a whole run of the built program: it starts the program from a
working directory holding only the anthem (and, to hear it, a sound server of its own), drives it
through xdotool, checks the windows with X tools, and stops everything it started, whatever happens.

    python3 -m varnelle_desktop.scenarios BINARY LAYOUT SCENARIO [--artifacts DIR] [--workdir DIR]
        [--wm NAME] [--sound NAME]

LAYOUT is the build's layout.json. --workdir runs the program in a directory that already holds the
anthem, such as the data directory an installed package names in its desktop entry.
"""

import argparse
import os
import re
import signal
import sys
import time
import traceback
import wave

from . import sound as sounds
from .desktop import Desktop, Failure, check, differing_share
from .layout import Layout
from .player import Player
from .wayland import COMPOSITORS, WaylandDesktop, scenario_wayland
from .windowmanagers import WINDOW_MANAGERS


def scenario_welcome(d, p):
    """A name typed with real keys and Enter open the quiz window, titled and sized as designed."""
    d.start()
    quiz = p.enter_name("\u00c9lodie   Dupr\u00e9")
    _, _, width, height = d.geometry(quiz)
    check((width, height) == (950, 861), "quiz window client area %dx%d, not 950x861" % (width, height))
    check(p.on_screen() == [p.titles["France"].strip()], "windows on screen: %s" % p.on_screen())
    d.save_screenshot("e2e-welcome-quiz")


def scenario_shows_welcome(d, p):
    """The program, started from its working directory, shows its welcome window and keeps running."""
    d.start()
    d.window(p.titles["Bonjour"], 60)
    check(d.app.poll() is None, "the program ended on its own")


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
    p.win_to_the_end_texts()
    p.end_texts("e2e-perfect-end-texts")


def cup_alone(d, p):
    d.wait_gone(p.titles["France"])
    check(p.on_screen() == [p.titles["CoupeVainqueur"]], "windows on screen: %s" % p.on_screen())
    d.save_screenshot("e2e-perfect-cup")


def win_and_listen(d, p, sound_server):
    """Plays a session without an error on a sound server of the run's own, silent up to the last click,
    and waits for the first sound after it: the server, the cup window, the recording's length at the click
    and where the sound begins, and the streams the program created since the click."""
    sound = sound_server(d)
    sound.use()
    rate = sounds.RECORD_RATE
    win_to_the_last_click(d, p)
    clicked = sound.size()
    streams = len(sound.streams())
    floor = sound.rms(clicked - rate, rate)
    check(floor < QUIET, "sound before the cup window: level %.4f" % floor)
    p.click_depart()
    cup = d.window(p.titles["CoupeVainqueur"])
    heard = sound.wait_for(clicked, sound.size() + 5 * rate, lambda level: level > LOUD)
    check(heard is not None, "no sound within 5 s of the cup window's opening; streams played: %s"
          % sound.streams()[streams:])
    # The server may tell of the stream a little after its samples reach the recording.
    d.wait_for(lambda: len(sound.streams()) > streams, 5, "a sound is heard, but the server tells of no new stream")
    return sound, cup, clicked, heard, sound.streams()[streams:]


def scenario_perfect(d, p, sound_server):
    """A session without an error ends on the cup window, the quiz window hidden, the anthem heard from the
    working directory while the cup is open; closing the cup silences the anthem and ends the run."""
    sound, cup, _, heard, played = win_and_listen(d, p, sound_server)
    rate = sounds.RECORD_RATE
    playing = sound.rms(heard, 2 * rate)
    check(playing > LOUD, "the anthem does not go on playing: level %.4f" % playing)
    check([stream.name for stream in played] == [os.path.join(d.workdir, "Marseillaise.wav")],
          "streams played: %s" % played)
    # Music, so that a desktop that turns its alert sounds down or off still plays it.
    check(played[0].role == sound.ROLES["music"], "the anthem plays in the role %r, not as music" % played[0].role)
    cup_alone(d, p)
    closing = sound.size()
    check(closing - heard < (anthem_seconds(d.workdir) - 20) * rate,
          "the cup window closes %.1f s into the anthem, too near its end" % ((closing - heard) / rate))
    before = sound.rms(closing - rate, rate)
    check(before > LOUD, "the anthem no longer plays as the cup window closes: level %.4f" % before)
    d.close_from_title_bar(cup)
    quiet = sound.wait_for(closing, closing + 3 * rate, lambda level: level < QUIET)
    check(quiet is not None, "the anthem plays on 3 s after the cup window closed")
    after = sound.rms(quiet, 2 * rate)
    check(after < QUIET, "sound after the cup window closed: level %.4f" % after)
    print("anthem: level %.3f while the cup is open, %.5f from %.2f s after it closed"
          % (playing, after, (quiet - closing) / rate))
    status = d.exit_status(5)
    check(status == 0, "exit status %d after the cup window closed" % status)


def scenario_unplayable_anthem(d, p, sound_server):
    """A session without an error, with an anthem file that cannot be played, still ends on the cup window
    and ends the run when it closes; in the anthem's place the desktop's default event sound is heard."""
    check(os.path.dirname(d.workdir) == d.root, "the anthem of %s is not the run's own to spoil" % d.workdir)
    with open(os.path.join(d.workdir, "Marseillaise.wav"), "r+b") as anthem:
        anthem.truncate(20)  # in the middle of its header
    sound, cup, clicked, heard, played = win_and_listen(d, p, sound_server)
    rate = sounds.RECORD_RATE
    check([stream.name for stream in played] == ["bell-window-system"], "streams played: %s" % played)
    check(played[0].role == sound.ROLES["event"], "the default sound plays in the role %r, not as an event"
          % played[0].role)
    quiet = sound.wait_for(heard, heard + 3 * rate, lambda level: level < QUIET)
    check(quiet is not None, "the default sound still plays 3 s after it began")
    cup_alone(d, p)
    d.close_from_title_bar(cup)
    status = d.exit_status(5)
    check(status == 0, "exit status %d after the cup window closed" % status)
    print("default sound: %s, heard %.2f s after the click, for %.2f s at most"
          % (played[0], (heard - clicked) / rate, (quiet - heard) / rate))


def scenario_errors(d, p):
    """Wrong clicks, a closed revision window and the revision question answered Yes, Yes, No never stop
    the session; its closing click ends the run with status 0 within a second, no window left."""
    themes = p.layout.themes
    revision = p.titles["VillesDeFrance"]
    d.start()
    p.enter_name("")
    p.click_depart()
    p.click_box(3)  # Allemagne is sought: wrong
    p.find(1, 7)
    p.click_depart()
    p.click_box(12)  # a river box is not on the map yet: the click lands on the map
    p.click_box(10)  # Océan Atlantique is sought: wrong
    p.find(8, 11)
    for first, last in themes[2:4]:
        p.click_depart()
        p.find(first, last)
    p.click_depart()
    d.close_from_title_bar(p.answer_revision(yes=True))
    d.wait_gone(revision)
    p.click_depart()
    p.answer_revision(yes=True)
    p.click_depart()
    p.answer_revision(yes=False)
    p.click_box(54)  # Ajaccio is sought: wrong, while the revision window is still open
    p.find(23, 54)
    p.end_texts("e2e-errors-end-texts")
    check(revision.strip() in p.on_screen(), "windows on screen: %s" % p.on_screen())
    p.click_depart()
    status = d.exit_status(1.0)
    check(status == 0, "exit status %d after the closing click" % status)
    check(p.on_screen() == [], "windows left on screen: %s" % p.on_screen())


def scenario_error_window(d, p):
    """The error window appears at every wrong click and leaves at the next click; the player may close it."""
    error = p.titles["Erreur"]
    d.start()
    p.enter_name("Lou")
    p.click_depart()
    for wrong, right in ((3, 1), (4, 2), (5, 3)):
        p.click_box(wrong)
        d.window(error)
        p.click_box(right)
        d.wait_gone(error)
    p.click_box(7)
    d.close_from_title_bar(d.window(error))
    d.wait_gone(error)
    p.click_box(7)
    d.window(error)
    p.find(4, 7)
    d.wait_gone(error)
    check(p.on_screen() == [p.titles["France"].strip()], "windows on screen: %s" % p.on_screen())


def red_share(pixels):
    """The share of the no-entry sign's red among RGB pixels; the map under the error window has none."""
    count = len(pixels) // 3
    red = sum(1 for i in range(0, 3 * count, 3) if pixels[i] > 200 and pixels[i + 1] < 60 and pixels[i + 2] < 60)
    return red / max(count, 1)


def centred_frame(d, window):
    """Checks that the window's frame, not its client area, stands in the middle of the work area. A window
    manager that tells the frame only once it has framed the window (KWin) lets the program centre it then:
    the frame has a few seconds to get there."""
    area = [int(v) for v in re.findall(r"\d+", d.x(["xprop", "-root", "_NET_WORKAREA"]).split("=")[-1])[:4]]
    if len(area) < 4:  # KWin names no work area: it is the whole screen
        area = [0, 0] + [int(v) for v in d.x(["xdotool", "getdisplaygeometry"]).split()]
    deadline = time.monotonic() + 5
    while True:
        left, top, width, height = d.geometry(d.frame_of(window))
        off = (2 * left + width - (2 * area[0] + area[2]), 2 * top + height - (2 * area[1] + area[3]))
        if max(abs(v) for v in off) <= 2 or time.monotonic() > deadline:
            break
        time.sleep(0.05)
    check(max(abs(v) for v in off) <= 2, "frame %s off the work area's centre by %s half-pixels"
          % ((left, top, width, height), off))


def scenario_error_window_seen(d, p):
    """The error window's own pixels are on screen, in front of the quiz window, after every wrong click in
    a row, also after the player minimised it; every window's frame opens centred in the work area, and the
    error window opens there again after a right click took it away."""
    error = p.titles["Erreur"]
    d.start()
    centred_frame(d, d.window(p.titles["Bonjour"], 30))
    p.enter_name("Lou")
    centred_frame(d, p.quiz)
    p.click_depart()
    for wrong in (3, 4, 5, 6):
        p.click_box(wrong)
        window = d.window(error)
        if wrong == 3:
            centred_frame(d, window)
        d.wait_for(lambda: red_share(d.grab(window)) > 0.2, 10,
                   "the error window is not seen after the wrong click on box %d" % wrong)
        d.save_screenshot("e2e-error-seen-%d" % wrong)
        if wrong == 5:
            d.x(["xdotool", "windowminimize", "--sync", window])
    p.click_box(1)
    d.wait_gone(error)
    p.click_box(3)  # Belgique is sought now
    window = d.window(error)
    d.wait_for(lambda: red_share(d.grab(window)) > 0.2, 10, "the error window is not seen after a right click")
    centred_frame(d, window)


def region(pixels, width, rect):
    """The RGB pixels of rect (left, top, width, height) out of a grab `width` pixels wide."""
    left, top, w, h = rect
    return b"".join(pixels[3 * ((top + y) * width + left):3 * ((top + y) * width + left + w)] for y in range(h))


def settled_grab(d, window):
    """A grab of the window once it is drawn (more than one colour: a compositor shows a window black or not
    at all until its first frame) and two grabs in a row agree."""
    grabs = [d.grab(window)]

    def settled():
        grabs.append(d.grab(window))
        return grabs[-1] == grabs[-2] and len(set(grabs[-1][i:i + 3] for i in range(0, len(grabs[-1]), 300))) > 1

    d.wait_for(settled, 10, "window %s is not drawn, or keeps changing" % window)
    return grabs[-1]


def scenario_full_screen(d, p):
    """A quiz window the desktop puts into full screen shows its design whole and unscaled in the middle of
    the screen, on plain grey, and its answer boxes still take the clicks there; out of full screen the
    window is its own size again, as it was."""
    d.start()
    quiz = p.enter_name("Lou")
    _, _, width, height = d.geometry(quiz)
    own = settled_grab(d, quiz)
    d.x(["wmctrl", "-i", "-r", quiz, "-b", "add,fullscreen"])
    screen = tuple(int(v) for v in d.x(["xdotool", "getdisplaygeometry"]).split())
    d.wait_for(lambda: d.geometry(quiz)[2:] == screen, 10, "the quiz window is not full screen")
    design = ((screen[0] - width) // 2, (screen[1] - height) // 2, width, height)
    def centred():
        seen = d.grab(quiz)
        around = region(seen, screen[0], (0, 0, design[0], screen[1]))
        return differing_share(region(seen, screen[0], design), own) < 0.01 and len(set(
            around[i:i + 3] for i in range(0, len(around), 3))) == 1
    d.wait_for(centred, 10, "the design is not whole in the middle of the full screen, on plain grey")
    d.save_screenshot("e2e-full-screen")
    at = lambda point: (design[0] + point[0], design[1] + point[1])
    d.click_in(quiz, at(p.layout.depart))
    d.click_in(quiz, at(p.layout.boxes[3]))  # Allemagne is sought: wrong
    error = d.window(p.titles["Erreur"])
    d.wait_for(lambda: red_share(d.grab(error)) > 0.2, 10, "the error window is not seen over the full screen")
    d.save_screenshot("e2e-full-screen-error")
    d.click_in(quiz, at(p.layout.boxes[1]))
    d.wait_gone(p.titles["Erreur"])
    playing = region(settled_grab(d, quiz), screen[0], design)
    d.x(["wmctrl", "-i", "-r", quiz, "-b", "remove,fullscreen"])
    d.wait_for(lambda: d.geometry(quiz)[2:] == (width, height), 10, "the quiz window is not its own size again")
    centred_frame(d, quiz)
    d.wait_for(lambda: differing_share(d.grab(quiz), playing) < 0.01, 10, "the design is not back in its window")
    p.click_box(4)  # Belgique is sought: wrong
    d.window(p.titles["Erreur"])
    p.click_box(2)
    d.wait_gone(p.titles["Erreur"])


def scenario_return_on_buttons(d, p):
    """Return presses the focused Entree button, as the welcome window's own text says, and the quiz window
    that it opens takes the clicks."""
    d.start()
    p.type_name("Lou")
    d.press("Tab")  # from the name field to Entree
    d.press("Return")
    p.quiz = d.window(p.titles["France"], 30)
    d.wait_gone(p.titles["Bonjour"])
    p.click_depart()
    p.click_box(3)  # Allemagne is sought: wrong
    error = d.window(p.titles["Erreur"])
    d.wait_for(lambda: red_share(d.grab(error)) > 0.2, 10, "the error window is not seen after the wrong click")


def scenario_close_quiz(d, p):
    """The quiz window closed from its title bar mid-session ends the run, no window left behind."""
    d.start()
    p.enter_name("Lou")
    p.click_depart()
    p.find(1, 2)
    p.click_box(7)
    d.window(p.titles["Erreur"])
    d.close_from_title_bar(p.quiz)
    status = d.exit_status(5)
    check(status == 0, "exit status %d after the quiz window closed" % status)
    check(p.on_screen() == [], "windows left on screen: %s" % p.on_screen())


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
    cup = d.window(p.titles["CoupeVainqueur"])
    cup_alone(d, p)
    d.close_from_title_bar(cup)
    status = d.exit_status(5)
    check(status == 0, "exit status %d after the cup window closed" % status)
    with open(log, encoding="utf-8", errors="replace") as trace:
        writes, reads = files_touched(trace.read(), d.workdir)
    check(not writes, "files written: %s" % sorted(writes))
    check(reads <= {"Marseillaise.wav"}, "files opened in the working directory: %s" % sorted(reads))


SCENARIOS = {
    "welcome": scenario_welcome,
    "shows-welcome": scenario_shows_welcome,
    "perfect": scenario_perfect,
    "unplayable-anthem": scenario_unplayable_anthem,
    "errors": scenario_errors,
    "error-window": scenario_error_window,
    "close-quiz": scenario_close_quiz,
    "error-window-seen": scenario_error_window_seen,
    "files": scenario_files,
    "full-screen": scenario_full_screen,
    "return-on-buttons": scenario_return_on_buttons,
    "wayland": scenario_wayland,
}
# --wm names a desktop out of both tables.
NAMED_TWICE = set(WINDOW_MANAGERS) & set(COMPOSITORS)
assert not NAMED_TWICE, "desktops named twice: %s" % sorted(NAMED_TWICE)
# Scenarios that listen to the program: they are given the sound server to start.
HEARING = {"perfect", "unplayable-anthem"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("layout")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--artifacts")
    parser.add_argument("--workdir")
    parser.add_argument("--wm", default="icewm", choices=sorted(WINDOW_MANAGERS) + sorted(COMPOSITORS))
    parser.add_argument("--sound", default="pulseaudio", choices=sorted(sounds.SOUND_SERVERS))
    args = parser.parse_args()

    # CTest stops a test that runs too long with SIGTERM: clean up then too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))
    layout = Layout(args.layout)
    if args.wm in COMPOSITORS:
        desktop = WaylandDesktop(os.path.abspath(args.binary), args.artifacts, args.workdir, COMPOSITORS[args.wm]())
    else:
        desktop = Desktop(os.path.abspath(args.binary), args.artifacts, args.workdir, args.wm)
    try:
        started = time.monotonic()
        extra = (sounds.SOUND_SERVERS[args.sound],) if args.scenario in HEARING else ()
        SCENARIOS[args.scenario](desktop, Player(desktop, layout), *extra)
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
