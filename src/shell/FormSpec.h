// Varnelle: what a window's layout fixes about the window itself.
#pragma once

#include "shell/Twips.h"

#include <QSize>

namespace varnelle {

// The client area is stored in twips, like every control in the window.
struct FormSpec {
    const char* caption;
    int clientWidthTwips;
    int clientHeightTwips;
    const char* icon;

    constexpr QSize clientPixels() const
    {
        return toPixels(TwipRect{0, 0, clientWidthTwips, clientHeightTwips}).size();
    }
};

} // namespace varnelle
