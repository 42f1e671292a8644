// Varnelle: the pieces the auxiliary windows are laid out from.
#pragma once

#include "shell/Controls.h"

namespace varnelle::aux {

struct PictureRow {
    TwipRect rect;
    const char* bitmap;
};

struct LabelRow {
    TwipRect rect; // in the picture's inner area when the label lies in the picture
    Colour back;
    Colour fore;
    FontSpec font;
    const char* caption;
};

// Picture1 of a window, at its place in twips, with the standard sunken border.
PictureBox* addPicture(QWidget* window, const PictureRow& row);
// Label1 of a window: opaque, centred.
Label* addLabel(QWidget* parent, const LabelRow& row);

} // namespace varnelle::aux
