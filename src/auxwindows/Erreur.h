// Varnelle: the error window, shown after a wrong click on an answer box.
#pragma once

#include "shell/Forms.h"

namespace varnelle {

// The window itself: its title, client area, icon, and what minimising it does.
inline constexpr FormSpec kErreurForm{"Erreur de localisation", 1800, 2295, ":/icons/erreur.ico",
                                      WhenMinimised::WaitsForNextShow};

class Erreur : public Form {
    Q_OBJECT
public:
    explicit Erreur(Forms& forms);
};

} // namespace varnelle
