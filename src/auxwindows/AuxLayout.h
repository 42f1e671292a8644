// Varnelle: the pieces the auxiliary windows are laid out from.
#pragma once

#include "shell/Controls.h"

namespace varnelle::aux {

struct PictureRow {
    TwipRect rect;
    const char* bitmap;
};

// Picture1 of a window, at its place in twips, with the standard sunken border.
PictureBox* addPicture(QWidget* window, const PictureRow& row);

} // namespace varnelle::aux
