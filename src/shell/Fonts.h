// Varnelle: the fonts the layouts name, and the free faces bundled in their place.
#pragma once

#include <QFont>

#include <string_view>

namespace varnelle {

// A font as the layouts name it. The face names are those of the original
// design; bundledFace() maps them to the free faces bundled with the program.
struct FontSpec {
    const char* face = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
};

// A bundled free face that stands in for a designed one, chosen by its
// metrics so that the fixed texts wrap where the layouts expect.
struct BundledFace {
    std::string_view face;
    const char* family;
    const char* regular; // bundled files; a face missing one is drawn from the other
    const char* bold;

    constexpr const char* file(bool wantBold) const { return (wantBold && bold) || !regular ? bold : regular; }
};

inline constexpr BundledFace kBundledFaces[] = {
    {"MS Sans Serif", "Liberation Sans", ":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf"},
    {"Arial", "Liberation Sans", ":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf"},
    {"Times New Roman", "Liberation Serif", nullptr, ":/fonts/LiberationSerif-Bold.ttf"},
    {"Arial Rounded MT Bold", "Quicksand", nullptr, ":/fonts/Quicksand-Bold.ttf"},
    {"Script MT Bold", "Dancing Script", nullptr, ":/fonts/DancingScript-Bold.otf"},
};

// The bundled face drawn for a designed face; unknown faces get the first.
constexpr const BundledFace& bundledFace(std::string_view face)
{
    for (const BundledFace& bundled : kBundledFaces) {
        if (bundled.face == face)
            return bundled;
    }
    return kBundledFaces[0];
}

// Sizes are points at 96 dots per inch, the resolution of the layouts: a
// pixel size keeps the text in step with the twips whatever the screen's
// logical resolution claims. Rounds to the nearest pixel, halves up.
constexpr int pixelSize(double points)
{
    return static_cast<int>(points * 96.0 / 72.0 + 0.5);
}

// The bundled face drawn for a designed font, at its pixel size, antialiased.
// Each bundled file is registered when a font first asks for it, so that
// start-up reads only the faces of the welcome window.
QFont fontFor(const FontSpec& wanted);

} // namespace varnelle
