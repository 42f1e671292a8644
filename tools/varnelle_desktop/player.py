"""A child playing the quiz with real X input: keys into the welcome window, clicks on the answer boxes
and DEPART where the layout puts them, keys to answer the revision question."""

from .desktop import check


class Player:
    def __init__(self, desktop, layout):
        self.d = desktop
        self.layout = layout
        self.titles = layout.titles
        self.quiz = None

    def on_screen(self):
        """The titles of the program's windows on screen, stripped."""
        return self.d.visible_windows(self.layout.all_titles())

    def type_name(self, name, delay=20):
        """Types the name into the welcome window, without validating it; returns the window."""
        welcome = self.d.window(self.titles["Bonjour"], 30)
        self.d.activate(welcome)
        if name:
            self.d.type_text(name, delay)
        return welcome

    def enter_name(self, name, delay=20):
        self.type_name(name, delay)
        self.d.press("Return")
        self.quiz = self.d.window(self.titles["France"], 30)
        self.d.wait_gone(self.titles["Bonjour"])
        return self.quiz

    def click_depart(self):
        self.d.click_in(self.quiz, self.layout.depart)

    def click_box(self, number):
        self.d.click_in(self.quiz, self.layout.boxes[number])

    def find(self, first, last):
        for number in range(first, last + 1):
            self.click_box(number)

    def answer_revision(self, yes):
        """Answers the revision question; returns the revision window if the answer was Yes."""
        revision = self.titles["VillesDeFrance"]
        question = self.d.window(self.layout.question_title)
        revising = revision.strip() in self.on_screen()
        if yes:
            self.d.key(question, "Return")  # Oui is the default button
        else:
            self.d.key(question, "Tab", "space")  # from Oui to Non, then press it
        self.d.wait_gone(self.layout.question_title)
        if yes:
            return self.d.window(revision)
        check((revision.strip() in self.on_screen()) == revising, "No changed the revision window")
        return None

    def themes_one_to_four(self):
        self.click_depart()
        for first, last in self.layout.themes[:4]:
            if first > 1:
                self.click_depart()
            self.find(first, last)

    def win_to_the_end_texts(self):
        """A session without an error, up to the click that shows the end texts."""
        self.themes_one_to_four()
        self.click_depart()
        self.answer_revision(yes=False)
        self.find(*self.layout.themes[4])

    def end_texts(self, screenshot):
        before = self.d.grab(self.quiz)
        self.click_depart()
        self.d.wait_change(self.quiz, before)
        self.d.save_screenshot(screenshot)
