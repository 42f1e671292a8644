#include "auxwindows/VillesDeFrance.h"

#include "auxwindows/AuxLayout.h"

namespace varnelle {

using aux::addPicture;

namespace {

constexpr FormSpec kVillesForm{
    "Villes de France - Carte destin\u00e9e \u00e0 la r\u00e9vision des emplacements des villes principales", 12480,
    12900, ":/icons/varnelle.ico"};
constexpr aux::PictureRow kVillesPicture{{0, 0, 12495, 13335}, ":/pictures/VillesDeFrance.png"};

} // namespace

VillesDeFrance::VillesDeFrance(Forms& forms) : Form(forms, kVillesForm)
{
    addPicture(this, kVillesPicture);
}

} // namespace varnelle
