#include "auxwindows/VillesDeFrance.h"

#include "auxwindows/AuxLayout.h"

namespace varnelle {

using aux::addPicture;

namespace {

constexpr aux::PictureRow kVillesPicture{{0, 0, 12495, 13335}, ":/pictures/VillesDeFrance.png"};

} // namespace

VillesDeFrance::VillesDeFrance(Windows& windows) : Form(windows, kVillesForm)
{
    addPicture(this, kVillesPicture);
}

} // namespace varnelle
