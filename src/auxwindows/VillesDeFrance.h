// Varnelle: the city revision window, a map of the cities with their names.
#pragma once

#include "shell/Windows.h"

namespace varnelle {

// The window itself: its title, client area, icon, and what minimising it does.
inline constexpr FormSpec kVillesForm{
    "Villes de France - Carte destin\u00e9e \u00e0 la r\u00e9vision des emplacements des villes principales", 12480,
    12900, ":/icons/varnelle.ico", WhenMinimised::WaitsForNextShow};

class VillesDeFrance : public Form {
    Q_OBJECT
public:
    explicit VillesDeFrance(Windows& windows);
};

} // namespace varnelle
