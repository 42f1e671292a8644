"""The layout of the program's windows, as the build exports it (build/layout.json)."""

import json


def centre(rect):
    left, top, width, height = rect
    return left + width // 2, top + height // 2


class Layout:
    """Titles and client sizes of the windows, and where the player clicks in the quiz window's client
    area: the centre of each answer box and of DEPART."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as export:
            data = json.load(export)
        self.data = data
        windows = data["windows"]
        self.titles = {name: window["title"] for name, window in windows.items()}
        self.client = {name: tuple(window["client"]) for name, window in windows.items()}
        self.question_title = data["question"]["title"]
        carte = data["carte"]
        self.boxes = {box["number"]: centre(box["client"]) for box in carte["boxes"]}
        self.depart = centre(carte["depart"]["client"])
        # The first and last target of each theme, in the order the sequencer opens them.
        self.themes = [(theme["first"], theme["last"]) for theme in data["themes"]]

    def all_titles(self):
        """Every title a window of the program may have on screen, the question's included."""
        return tuple(self.titles.values()) + (self.question_title,)
