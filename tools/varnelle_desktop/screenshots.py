"""Takes the README's pictures of the five windows from the real program, played as a child would: one
session with a wrong click for the error window, then a session without errors for the revision map,
the quiz window during the cities and the winner's cup. Under IceWM's Windows 95 look, without its task
bar.

    python3 -m varnelle_desktop.screenshots BINARY LAYOUT OUT_DIR
"""

import argparse
import os
import subprocess
import sys
import time

from .desktop import Desktop
from .layout import Layout
from .player import Player
from .windowmanagers import IceWM


def shoot(d, window, out, name):
    # The pause lets the program and the window manager finish drawing.
    time.sleep(1)
    subprocess.run(["import", "-window", window, "-frame", os.path.join(out, name + ".png")], env=d.env,
                   timeout=20, check=True)
    print(os.path.join(out, name + ".png"))


def error_session(d, p, out):
    d.start()
    welcome = p.type_name("Camille", delay=80)
    shoot(d, welcome, out, "bonjour")
    d.x(["xdotool", "key", "Return"])
    p.quiz = d.window(p.titles["France"], 30)
    p.click_depart()
    p.find(1, 2)
    p.click_box(5)
    shoot(d, d.window(p.titles["Erreur"]), out, "erreur")
    d.stop()


def winning_session(d, p, out):
    d.start()
    p.enter_name("Louis", delay=80)
    p.themes_one_to_four()
    p.click_depart()
    villes = p.answer_revision(yes=True)
    shoot(d, villes, out, "villes")
    d.key(villes, "alt+F4")
    d.wait_gone(p.titles["VillesDeFrance"])
    p.click_depart()
    p.answer_revision(yes=False)
    first, last = p.layout.themes[4]
    p.find(first, 44)
    shoot(d, p.quiz, out, "france")
    p.find(45, last)
    p.click_depart()
    p.click_depart()
    shoot(d, d.window(p.titles["CoupeVainqueur"]), out, "coupe")
    d.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("layout")
    parser.add_argument("out")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    layout = Layout(args.layout)
    with Desktop(os.path.abspath(args.binary), wm=IceWM(theme="win95/default.theme", task_bar=False)) as d:
        player = Player(d, layout)
        error_session(d, player, args.out)
        winning_session(d, player, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
