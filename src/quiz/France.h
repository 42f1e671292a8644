// Varnelle: the quiz window, where the whole session takes place.
//
// How the quiz works, for a newcomer:
// - The window is the map box Carte (quizwindow/Carte.h), built from the layout
//   tables of quizwindow/FranceLayout.h: 54 answer boxes CheckN lying on their
//   places, 11 reward pictures over the boxes of countries and seas, the
//   button DEPART and the panels of labels.
// - Session (quiz/Session.h) holds the whole state; the 54 targets and their
//   five themes are the constant tables of quiz/Catalogue.h.
// - Two handlers share them, and never call each other: DEPART_Click, the theme
//   sequencer, runs one phase per click, chosen by Etape; Check_Click(n), the
//   answer checking of box n, judges a click against ItemEnCours and, after a
//   theme's last target, sets Etape and shows DEPART again.
// - A wrong answer grays its box, and the check box raises Click again nested
//   inside that change: each wrong click is handled twice, so NbErreurs counts
//   two per wrong click, which the texts divide by two.
#pragma once

#include "quiz/Session.h"
#include "quizwindow/Carte.h"
#include "shell/Windows.h"

namespace varnelle {

namespace catalogue {
struct Theme;
}

// The title of the question asked before the cities, which Yes or No answers.
inline constexpr const char* kRevisionTitle = "R\u00e9viser ou Continuer imm\u00e9diatement";

class France : public Form {
    Q_OBJECT
public:
    explicit France(Windows& windows);

    const Session& session() const { return session_; }
    const CarteControls& controls() const { return carte_; }
    Label& NOM() const { return *carte_.NOM; }

    void DEPART_Click();
    void Check_Click(int number);

private:
    friend class FranceTestAccess; // lets a test start from a tally near the top of its range

    void startSession();
    void openTheme(int theme);
    void askRevision();
    void showEndTexts();
    void closeSession();
    void writeInstructions(const catalogue::Theme& theme);

    Windows& windows_;
    Session session_;
    CarteControls carte_;
};

} // namespace varnelle
