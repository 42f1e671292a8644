// Varnelle: the state of one quiz session, the variables of the quiz window.
#pragma once

#include <QString>

#include <cstdint>
#include <limits>

namespace varnelle {

// The values of Etape, each named after what the next click on DEPART does in
// it. From OpenSeas to AskRevision the value stays while the theme that the
// click opened runs; DEPART, hidden then, tells the two halves apart.
enum Phase : std::int16_t {
    NoSession = 0,    // the quiz window as it was created: DEPART starts the session
    CountriesRun = 1, // the first theme runs, DEPART hidden
    OpenSeas = 2,
    OpenRivers = 3,
    OpenSummits = 4,
    AskRevision = 5,  // the revision question, then on No the cities
    ShowEndTexts = 6, // every target found
    CloseSession = 7, // the end texts shown
};

struct Session {
    std::int16_t Etape = NoSession; // phase: what the next click on DEPART does
    std::int16_t ItemEnCours = 0;   // number of the target sought, 55 once all are found
    std::int16_t NbErreurs = 0;     // one per handling of a wrong click: two per wrong click
    QString PaysCherche;
    QString MerCherchee;
    QString FleuveCherche;
    QString SommetCherche;
    QString VilleCherchee;
    QString NomJoueur;
    QString TexteRubrique;
    QString Bilan;
    std::int16_t Reponse = 0; // answer to the revision question: 6 Yes, 7 No
};

// Adds one to a 16-bit counter. At the top of its range the counter stays
// there: a tally never wraps to a negative value, and a session never fails
// for counting too much.
constexpr void incrementChecked(std::int16_t& counter)
{
    if (counter < std::numeric_limits<std::int16_t>::max())
        ++counter;
}

// A number as the quiz shows it: the place of the sign (a blank for zero and
// above), then the decimal digits.
inline QString numberText(int number)
{
    return (number < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(number < 0 ? -number : number);
}

} // namespace varnelle
