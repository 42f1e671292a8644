// Varnelle: what a window's layout fixes about the window itself.
#pragma once

#include "shell/Twips.h"

#include <QSize>

#include <cstdint>

namespace varnelle {

// What a window does when the desktop minimises it, which the design never
// offers but some window managers do all the same.
enum class WhenMinimised : std::uint8_t {
    // Nothing in the program shows the window again, and where no task bar
    // lists it the player could never find it: it comes straight back.
    ComesBack,
    // The program shows it again (and brings it back) at its next use.
    WaitsForNextShow,
};

// Whether a window left alone on screen keeps the program running once the
// player has closed the others.
enum class KeepsRunAlive : bool { No, Yes };

// Whether the program ever shows a window again once it has hidden it. A
// window hidden for good gives back its native window and the picture it
// was drawn into, which nothing would draw again; its controls and their
// values stay for the code that reads them.
enum class ShownAgain : bool { No, Yes };

// The client area is stored in twips, like every control in the window.
struct FormSpec {
    const char* caption;
    int clientWidthTwips;
    int clientHeightTwips;
    const char* icon;
    WhenMinimised whenMinimised = WhenMinimised::ComesBack;
    KeepsRunAlive keepsRunAlive = KeepsRunAlive::Yes;
    ShownAgain shownAgain = ShownAgain::Yes;

    constexpr QSize clientPixels() const
    {
        return toPixels(TwipRect{0, 0, clientWidthTwips, clientHeightTwips}).size();
    }
};

} // namespace varnelle
