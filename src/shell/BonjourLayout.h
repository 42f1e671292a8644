// Varnelle: the welcome window's layout, one row per control, in twips.
#pragma once

#include "shell/Controls.h"
#include "shell/FormSpec.h"
#include "shell/Twips.h"

namespace varnelle::layout {

// The window itself: its title, client area and icon. Once the player is
// named, nothing shows it again.
inline constexpr FormSpec kBonjourForm{"      Varnelle - Accueil des participant(e)s au test",
                                       8625,
                                       2775,
                                       ":/icons/varnelle.ico",
                                       WhenMinimised::ComesBack,
                                       KeepsRunAlive::Yes,
                                       ShownAgain::No};

// clang-format off
inline constexpr LabelRow kBonjourLabels[] = {
    {"Accueil", {120, 120, 8295, 1215}, kButtonFace, kNavy, {"Script MT Bold", 15.75, true}, Align::Centre,
     "Bonjour, bienvenue \u00e0 toi. Tu vas pouvoir tester tes connaissances sur la g\u00e9ographie de la France. "
     "Il me faut tout d'abord  conna\u00eetre ton nom avant de lancer les tests de connaissance...", 0},
    {"Accueil2", {0, 1440, 3375, 495}, kButtonFace, kRed, {"Times New Roman", 15.75, true}, Align::Centre,
     "Tape ton NOM ici  >>>", 1},
    {"Accueil3", {0, 2160, 6975, 375}, kButtonFace, kNavy, {"Times New Roman", 14.25, true}, Align::Centre,
     "Puis valide avec la touche  \"ENTR\u00c9E\" ou clique ici >", 3},
};
// clang-format on

inline constexpr TwipRect kNj{3480, 1440, 4695, 495};
inline constexpr Colour kNjColour = kNavy;
inline constexpr FontSpec kNjFont{"Times New Roman", 14.25, true};

inline constexpr TwipRect kEntree{7080, 2040, 1455, 615};
inline constexpr FontSpec kEntreeFont{"MS Sans Serif", 24, false};
inline constexpr const char* kEntreeCaption = "<<<";

} // namespace varnelle::layout
