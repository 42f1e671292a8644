#include "quiz/France.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/Catalogue.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Controls.h"

namespace varnelle {

using namespace catalogue;

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

France::France(Windows& windows) : Form(windows, layout::kFranceForm), windows_(windows), carte_(buildCarte(this))
{
    connect(carte_.DEPART, &CommandButton::Click, this, &France::DEPART_Click);
    for (int number = 1; number <= kTargetCount; ++number)
        connect(&carte_.Check(number), &CheckBox::Click, this, [this, number] { Check_Click(number); });
}

void France::DEPART_Click()
{
    switch (session_.Etape) {
    case OpenSeas:
        openTheme(2);
        break;
    case OpenRivers:
        openTheme(3);
        break;
    case OpenSummits:
        openTheme(4);
        break;
    case AskRevision:
        askRevision();
        break;
    case ShowEndTexts:
        showEndTexts();
        break;
    case CloseSession:
        closeSession();
        break;
    default:
        startSession();
        break;
    }
}

void France::startSession()
{
    session_.Etape = CountriesRun;
    session_.NbErreurs = 0;
    carte_.Erreurs->setCaption(QStringLiteral("Aucune erreur..."));
    openTheme(1);
}

void France::openTheme(int number)
{
    const Theme& theme = catalogue::theme(number);
    session_.ItemEnCours = static_cast<std::int16_t>(theme.first);
    // The boxes of the theme before, when found, lie under their reward
    // pictures; they leave the map with their theme. Found boxes of the
    // other themes have already hidden themselves.
    if (number > 1) {
        const Theme& previous = catalogue::theme(number - 1);
        for (int n = previous.first; n <= previous.last; ++n) {
            if (target(n).rewardPicture)
                carte_.Check(n).setVisible(false);
        }
    }
    for (int n = theme.first; n <= theme.last; ++n)
        carte_.Check(n).setVisible(true);
    session_.*theme.caption = caption(theme.first);
    carte_.Objectif->setCaption(session_.*theme.caption);
    if (theme.takesName)
        session_.NomJoueur = carte_.NOM->Caption();
    writeInstructions(theme);
    carte_.DEPART->setVisible(false);
    carte_.NomTheme->setCaption(text(theme.title));
}

void France::writeInstructions(const Theme& theme)
{
    session_.TexteRubrique = session_.NomJoueur + QStringLiteral(", ") + kLineBreak + text(theme.sentence) + kLineBreak;
    session_.TexteRubrique =
        session_.TexteRubrique + text(theme.wayTo) + kLineBreak + text("OBJECTIF \u00e0 trouver ...");
    carte_.Rubrique->setCaption(session_.TexteRubrique);
}

void France::askRevision()
{
    session_.ItemEnCours = static_cast<std::int16_t>(kThemes.back().first);
    session_.Reponse = static_cast<std::int16_t>(
        windows_.platform().question.ask(this,
                                         text("Souhaites-tu r\u00e9viser la position des principales") + kLineBreak +
                                             text(" villes de France avant de continuer ?"),
                                         text(kRevisionTitle)));
    if (session_.Reponse == YesNoQuestion::kYes)
        windows_.villesDeFrance.setVisible(true);
    else
        openTheme(5);
}

void France::showEndTexts()
{
    if (session_.NbErreurs == 0)
        session_.Bilan = text("Tu n'as commis aucune erreur de localisation !");
    if (session_.NbErreurs == 2)
        session_.Bilan = text("Tu n'as commis qu'une seule erreur de localisation ...");
    if (session_.NbErreurs > 2)
        session_.Bilan =
            text("Tu as commis ") + numberText(session_.NbErreurs / 2) + text(" erreurs de localisation ...");
    session_.TexteRubrique = session_.NomJoueur + QStringLiteral(", ") + kLineBreak +
                             text("tu es parvenu(e) \u00e0 la fin de cette session de v\u00e9rification de tes "
                                  "connaissances.") +
                             kLineBreak;
    session_.TexteRubrique = session_.TexteRubrique + session_.Bilan;
    carte_.Rubrique->setCaption(session_.TexteRubrique);
    carte_.Objectif->setCaption(text("Tests termin\u00e9s !"));
    carte_.NomTheme->setCaption(text("FIN DE SESSION"));
    carte_.DEPART->setCaption(text("Clique ici pour sortir"));
    session_.Etape = CloseSession;
}

void France::closeSession()
{
    if (session_.NbErreurs == 0) {
        setVisible(false);
        windows_.coupeVainqueur.setVisible(true);
    } else {
        windows_.End();
    }
}

void France::Check_Click(int number)
{
    const Theme& theme = themeOf(number);
    windows_.erreur.setVisible(false);
    if (session_.ItemEnCours == number) {
        session_.ItemEnCours = static_cast<std::int16_t>(number + 1);
        carte_.Note->setCaption(numberText(number));
        if (target(number).rewardPicture)
            carte_.rewardOver(number)->setVisible(true);
        else
            carte_.Check(number).setVisible(false);
    } else {
        incrementChecked(session_.NbErreurs);
        windows_.erreur.setVisible(true);
        carte_.Check(number).setValue(2); // handles this click a second time, nested
        if (session_.NbErreurs == 2)
            carte_.Erreurs->setCaption(text("Une erreur"));
        else if (session_.NbErreurs > 2)
            carte_.Erreurs->setCaption(numberText(session_.NbErreurs / 2) + text(" erreurs"));
    }
    if (session_.ItemEnCours >= theme.first && session_.ItemEnCours <= theme.last)
        session_.*theme.caption = caption(session_.ItemEnCours);
    carte_.Objectif->setCaption(session_.*theme.caption);
    if (session_.ItemEnCours == theme.endValue()) {
        session_.Etape = theme.etapeWhenDone;
        carte_.DEPART->setCaption(text(theme.departWhenDone));
        carte_.DEPART->setVisible(true);
    }
}

} // namespace varnelle
