// Varnelle: the error window, shown after a wrong click on an answer box.
#pragma once

#include "shell/Windows.h"

namespace varnelle {

// The window itself: its title, client area, icon, what minimising it does, and
// that it only comments on the quiz window: alone on screen, it does not keep
// the run going.
inline constexpr FormSpec kErreurForm{
    "Erreur de localisation", 1800, 2295, ":/icons/erreur.ico", WhenMinimised::WaitsForNextShow, KeepsRunAlive::No};

class Erreur : public Form {
    Q_OBJECT
public:
    explicit Erreur(Windows& windows);
};

} // namespace varnelle
