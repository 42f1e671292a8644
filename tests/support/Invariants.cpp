#include "Invariants.h"

#include "quiz/Catalogue.h"
#include "quiz/France.h"
#include "shell/Controls.h"

namespace varnelle::test {

using namespace catalogue;

namespace {

// Written out here rather than taken from the program, so that a fault in
// the program's own number text cannot hide itself.
QString shownNumber(int number)
{
    return QLatin1Char(' ') + QString::number(number);
}

QString expectedErreurs(int tally, int etape)
{
    if (etape == NoSession)
        return QStringLiteral("Aucune erreur");
    if (tally == 0)
        return QStringLiteral("Aucune erreur...");
    if (tally == 2)
        return QStringLiteral("Une erreur");
    return shownNumber(tally / 2) + QStringLiteral(" erreurs");
}

} // namespace

QStringList SessionInvariants::check(Windows& forms)
{
    const France* france = forms.france.loaded();
    return france ? check(*france) : QStringList();
}

QStringList SessionInvariants::check(const France& france)
{
    if (window_ != &france) {
        window_ = &france;
        lastEtape_ = 0;
        lastItem_ = 0;
    }
    QStringList broken;
    auto expect = [&broken](bool holds, const QString& what) {
        if (!holds)
            broken.append(what);
    };
    const Session& session = france.session();
    const CarteControls& controls = france.controls();
    const int etape = session.Etape;
    const int item = session.ItemEnCours;
    const int tally = session.NbErreurs;

    expect(etape >= NoSession && etape <= CloseSession, QStringLiteral("Etape %1 is outside 0 to 7").arg(etape));
    expect(item >= 0 && item <= kTargetCount + 1, QStringLiteral("ItemEnCours %1 is outside 0 to 55").arg(item));
    expect(etape >= lastEtape_, QStringLiteral("Etape went down from %1 to %2").arg(lastEtape_).arg(etape));
    expect(item >= lastItem_, QStringLiteral("ItemEnCours went down from %1 to %2").arg(lastItem_).arg(item));
    lastEtape_ = session.Etape;
    lastItem_ = session.ItemEnCours;
    expect(tally >= 0 && (tally % 2 == 0 || tally == 32767),
           QStringLiteral("NbErreurs %1 is neither twice the wrong clicks nor held at 32767").arg(tally));
    expect(session.Reponse == 0 || session.Reponse == 6 || session.Reponse == 7,
           QStringLiteral("Reponse %1 is no answer of the question").arg(session.Reponse));
    if (!broken.isEmpty())
        return broken;

    const bool departShown = !controls.DEPART->isHidden();
    const QString depart = controls.DEPART->Caption();
    // The last theme opened: while one runs DEPART is hidden, and Etape is
    // that theme's number; while DEPART waits, Etape is one past it.
    int opened = 0;
    if (etape >= CountriesRun && etape <= AskRevision && !departShown) {
        opened = etape;
        const Theme& theme = catalogue::theme(opened);
        expect(item >= theme.first && item <= theme.last,
               QStringLiteral("ItemEnCours %1 is outside the running theme %2").arg(item).arg(etape));
        if (broken.isEmpty()) {
            expect(session.*theme.caption == caption(item),
                   QStringLiteral("the caption variable of theme %1 holds \"%2\", not the caption of target %3")
                       .arg(etape)
                       .arg(session.*theme.caption)
                       .arg(item));
            expect(controls.Objectif->Caption() == caption(item),
                   QStringLiteral("Objectif shows \"%1\" while target %2 is sought")
                       .arg(controls.Objectif->Caption())
                       .arg(item));
        }
    } else if (etape == NoSession) {
        expect(item == 0 && tally == 0, QStringLiteral("the session variables moved before the first DEPART"));
        expect(departShown && depart == QStringLiteral("Clique ici pour commencer"),
               QStringLiteral("DEPART does not invite to start"));
    } else if (etape == CountriesRun) {
        expect(false, QStringLiteral("DEPART is shown while the countries run"));
    } else if (etape <= ShowEndTexts) {
        opened = etape - 1;
        const Theme& done = catalogue::theme(opened);
        expect(item == done.endValue(),
               QStringLiteral("ItemEnCours %1 after theme %2 is done").arg(item).arg(etape - 1));
        expect(session.*done.caption == caption(done.last) && controls.Objectif->Caption() == caption(done.last),
               QStringLiteral("theme %1 is done but does not keep its last caption").arg(etape - 1));
        expect(depart == QString::fromUtf8(done.departWhenDone),
               QStringLiteral("DEPART reads \"%1\" after theme %2").arg(depart).arg(etape - 1));
    } else {
        opened = 5;
        expect(item == kTargetCount + 1, QStringLiteral("ItemEnCours %1 at the end of the session").arg(item));
        expect(departShown && depart == QStringLiteral("Clique ici pour sortir"),
               QStringLiteral("DEPART does not offer to leave"));
        expect(controls.Objectif->Caption() == QStringLiteral("Tests termin\u00e9s !"),
               QStringLiteral("Objectif at the end shows \"%1\"").arg(controls.Objectif->Caption()));
    }

    if (etape >= CountriesRun) {
        expect(controls.Rubrique->Caption() == session.TexteRubrique,
               QStringLiteral("Rubrique does not show TexteRubrique"));
        const QString title = etape == CloseSession ? QStringLiteral("FIN DE SESSION")
                                                    : QString::fromUtf8(catalogue::theme(opened).title);
        expect(controls.NomTheme->Caption() == title,
               QStringLiteral("NomTheme shows \"%1\", not \"%2\"").arg(controls.NomTheme->Caption(), title));
    }
    const QString note = item >= 2 ? shownNumber(item - 1) : QStringLiteral("0");
    expect(
        controls.Note->Caption() == note,
        QStringLiteral("Note shows \"%1\" with %2 targets found").arg(controls.Note->Caption()).arg(qMax(0, item - 1)));
    const QString erreurs = expectedErreurs(tally, etape);
    expect(controls.Erreurs->Caption() == erreurs,
           QStringLiteral("Erreurs shows \"%1\", not \"%2\"").arg(controls.Erreurs->Caption(), erreurs));

    // A box is on the map from the opening of its theme; found, a river,
    // summit or city box hides, while a country or sea box stays under its
    // reward picture until the next theme opens.
    for (int n = 1; n <= kTargetCount; ++n) {
        const int theme = target(n).theme;
        const bool found = n < item;
        const bool rewarded = target(n).rewardPicture != nullptr;
        if (const PictureBox* picture = controls.rewardOver(n))
            expect(picture->isHidden() != found,
                   QStringLiteral("the reward picture of target %1 is %2").arg(n).arg(found ? "hidden" : "shown"));
        const bool shown = theme <= opened && (rewarded ? theme + 1 > opened : !found);
        expect(controls.Check(n).isHidden() != shown,
               QStringLiteral("Check%1 is %2").arg(n).arg(shown ? "hidden" : "shown"));
    }
    return broken;
}

} // namespace varnelle::test
