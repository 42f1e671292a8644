// Varnelle: what lies under each pixel of the relief map, as its class mask
// (assets/map/carte-classes.png, one byte a pixel) records it.
//
// The program never reads the mask: the artwork generator writes it with these
// values, which it takes from the exported layout, and the tests judge every
// answer box against it. A pixel takes the first of: blank, city, town, named
// river, other river, border, massif, lake, sea, country.
#pragma once

#include <array>

namespace varnelle::mask {

enum Class : int {
    Blank = 0, // the corners under the window's panels, left undrawn
    Sea = 1,
    Lake = 2,
    France = 10,
    Belgium = 11,
    Luxembourg = 12,
    Germany = 13,
    Switzerland = 14,
    Italy = 15,
    Spain = 16,
    UnitedKingdom = 17,
    Netherlands = 18,
    Andorra = 19,
    Monaco = 20,
    OtherLand = 21,
    Garonne = 30,
    Loire = 31,
    Rhine = 32,
    Rhone = 33,
    Seine = 34,
    OtherRiver = 35,
    MontBlanc = 40, // the massif's high ground, above a height of its own
    CorsicanMountains = 41,
    Jura = 42,
    MassifCentral = 43,
    Pyrenees = 44,
    Vosges = 45,
    Border = 50,    // national border line
    FirstCity = 60, // the symbol of the first city of the quiz; the next cities follow in order
    LastCity = 91,
    Town = 100, // the symbol of any other town
};

struct NamedClass {
    const char* name;
    Class value;
};

// clang-format off
inline constexpr std::array<NamedClass, 31> kClasses{{
    {"Blank", Blank}, {"Sea", Sea}, {"Lake", Lake},
    {"France", France}, {"Belgium", Belgium}, {"Luxembourg", Luxembourg}, {"Germany", Germany},
    {"Switzerland", Switzerland}, {"Italy", Italy}, {"Spain", Spain}, {"UnitedKingdom", UnitedKingdom},
    {"Netherlands", Netherlands}, {"Andorra", Andorra}, {"Monaco", Monaco}, {"OtherLand", OtherLand},
    {"Garonne", Garonne}, {"Loire", Loire}, {"Rhine", Rhine}, {"Rhone", Rhone}, {"Seine", Seine},
    {"OtherRiver", OtherRiver},
    {"MontBlanc", MontBlanc}, {"CorsicanMountains", CorsicanMountains}, {"Jura", Jura},
    {"MassifCentral", MassifCentral}, {"Pyrenees", Pyrenees}, {"Vosges", Vosges},
    {"Border", Border}, {"FirstCity", FirstCity}, {"LastCity", LastCity}, {"Town", Town},
}};
// clang-format on

} // namespace varnelle::mask
