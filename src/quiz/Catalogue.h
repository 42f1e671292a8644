// Varnelle: the 54 targets of a session, in the order they are asked, and the data of their five themes.
#pragma once

#include "quiz/Session.h"

#include <array>

namespace varnelle::catalogue {

// The caption variable of the session that holds the target sought in a theme.
using CaptionVariable = QString Session::*;

struct Theme {
    int first; // first and last target numbers
    int last;
    CaptionVariable caption;
    Phase etapeWhenDone;        // phase that the next click on DEPART runs
    const char* departWhenDone; // caption of DEPART once the theme is done
    const char* title;          // NomTheme while the theme runs
    const char* sentence;
    const char* wayTo;
    // Whether NomJoueur is copied from NOM when the theme opens; the later
    // themes greet the player with the copy taken when the seas opened.
    bool takesName;

    constexpr int endValue() const { return last + 1; }
};

inline constexpr const char* kPassOn = " Clique ici pour passer \u00e0 la suite";
inline constexpr const char* kFinish = " Clique ici pour terminer cette session";

// clang-format off
inline constexpr std::array<Theme, 5> kThemes{{
    {1, 7, &Session::PaysCherche, OpenSeas, kPassOn, "Pays Frontaliers",
     "pour commencer, tu vas devoir localiser les sept pays frontaliers qui entourent la France. ",
     " Pour cela, tu vas devoir cliquer dans la case correspondante \u00e0 chaque pays, au fur et \u00e0 mesure de la demande affich\u00e9e ci-dessous sous la case...", true},
    {8, 11, &Session::MerCherchee, OpenRivers, kPassOn, "Mers et oc\u00e9ans",
     "pour continuer, tu vas devoir localiser les quatre mers ou oc\u00e9ans qui baignent les c\u00f4tes de France. ",
     " Pour cela, tu vas devoir cliquer dans la case correspondante \u00e0 chaque mer ou oc\u00e9an, au fur et \u00e0 mesure de la demande affich\u00e9e ci-dessous sous la case...", true},
    {12, 16, &Session::FleuveCherche, OpenSummits, kPassOn, "Fleuves de France",
     "pour continuer, tu vas devoir localiser les cinq fleuves qui arrosent la France. ",
     " Pour cela, tu vas devoir cliquer dans la case correspondante \u00e0 chaque fleuve, au fur et \u00e0 mesure de la demande affich\u00e9e ci-dessous sous la case...", false},
    {17, 22, &Session::SommetCherche, AskRevision, kPassOn, "Montagnes de France",
     "pour continuer, tu vas devoir localiser six sommets des montagnes de France. ",
     " Pour cela, tu vas devoir cliquer dans la case correspondante \u00e0 chaque sommet, au fur et \u00e0 mesure de la demande affich\u00e9e ci-dessous sous la case...", false},
    {23, 54, &Session::VilleCherchee, ShowEndTexts, kFinish, "VILLES de FRANCE",
     "pour continuer, tu vas devoir localiser 32 villes de France. ",
     " Pour cela, tu vas devoir cliquer dans la case correspondante \u00e0 chaque ville, au fur et \u00e0 mesure de la demande affich\u00e9e ci-dessous sous la case...", false},
}};
// clang-format on

// What finding a target changes on the map: the reward picture of that name,
// which lies over the target's box, is shown; or, without one, the box hides.
inline constexpr const char* kHideBox = nullptr;

struct Target {
    int number;
    int theme; // 1 to 5
    const char* caption;
    const char* rewardPicture;
};

// clang-format off
inline constexpr std::array<Target, 54> kTargets{{
    {1, 1, "Allemagne", "DrapeauAllemand"},
    {2, 1, "Belgique", "DrapeauBelge"},
    {3, 1, "Espagne", "DrapeauESpagnol"},
    {4, 1, "Grande-Bretagne", "DrapeauAnglais"},
    {5, 1, "Italie", "DrapeauItalien"},
    {6, 1, "Luxembourg", "DrapeauLuxembourg"},
    {7, 1, "Suisse", "DrapeauSuisse"},
    {8, 2, "Oc\u00e9an Atlantique", "Voilier"},
    {9, 2, "Manche", "Coquille"},
    {10, 2, "Mer M\u00e9diterran\u00e9e", "Dauphin"},
    {11, 2, "Mer du Nord", "Phoque"},
    {12, 3, "Garonne", kHideBox},
    {13, 3, "Loire", kHideBox},
    {14, 3, "Rhin", kHideBox},
    {15, 3, "Rh\u00f4ne", kHideBox},
    {16, 3, "Seine", kHideBox},
    {17, 4, "ALPES\r\nMont-Blanc 4810m", kHideBox},
    {18, 4, "Corse - Monte Cinto 2706m", kHideBox},
    {19, 4, "Jura - Cr\u00eat de la Neige 1723m", kHideBox},
    {20, 4, "Massif Central - Puy de Sancy 1885m", kHideBox},
    {21, 4, "Pyr\u00e9n\u00e9es - Mont Vignemale 3298m", kHideBox},
    {22, 4, "Vosges - Grand Ballon 1424m", kHideBox},
    {23, 5, "Ajaccio", kHideBox},
    {24, 5, "Amiens", kHideBox},
    {25, 5, "ARLES", kHideBox},
    {26, 5, "Bastia", kHideBox},
    {27, 5, "Bayonne", kHideBox},
    {28, 5, "Besan\u00e7on", kHideBox},
    {29, 5, "Bordeaux", kHideBox},
    {30, 5, "BREST", kHideBox},
    {31, 5, "Clermont-Ferrand", kHideBox},
    {32, 5, "DIJON", kHideBox},
    {33, 5, "Grenoble", kHideBox},
    {34, 5, "Le Havre", kHideBox},
    {35, 5, "LILLE", kHideBox},
    {36, 5, "Limoges", kHideBox},
    {37, 5, "LYON", kHideBox},
    {38, 5, "Marseille", kHideBox},
    {39, 5, "METZ", kHideBox},
    {40, 5, "Montpellier", kHideBox},
    {41, 5, "NANCY", kHideBox},
    {42, 5, "Nantes", kHideBox},
    {43, 5, "NICE", kHideBox},
    {44, 5, "N\u00eemes", kHideBox},
    {45, 5, "Orl\u00e9ans", kHideBox},
    {46, 5, "PARIS", kHideBox},
    {47, 5, "Poitiers", kHideBox},
    {48, 5, "RENNES", kHideBox},
    {49, 5, "ROUEN", kHideBox},
    {50, 5, "Saint-Etienne", kHideBox},
    {51, 5, "Saint-Nazaire", kHideBox},
    {52, 5, "Strasbourg", kHideBox},
    {53, 5, "Toulon", kHideBox},
    {54, 5, "Toulouse", kHideBox},
}};
// clang-format on

// Targets are numbered from 1 to kTargetCount; the boxes bear the same numbers.
inline constexpr int kTargetCount = static_cast<int>(kTargets.size());

// Whether row n of a table numbered after the targets holds number n:
// target(n), and the boxes named after the targets, rely on it.
template <class Rows> constexpr bool numberedInOrder(const Rows& rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].number != static_cast<int>(i) + 1)
            return false;
    }
    return true;
}

constexpr const Theme& theme(int number)
{
    return kThemes.at(static_cast<std::size_t>(number - 1));
}

constexpr const Target& target(int number)
{
    return kTargets.at(static_cast<std::size_t>(number - 1));
}

constexpr const Theme& themeOf(int number)
{
    return theme(target(number).theme);
}

inline QString caption(int number)
{
    return QString::fromUtf8(target(number).caption);
}

} // namespace varnelle::catalogue
