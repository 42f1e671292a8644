#include "auxwindows/Erreur.h"

#include "auxwindows/AuxLayout.h"

namespace varnelle {

using aux::addPicture;

namespace {

constexpr Colour kErreurBack = rgb(255, 224, 192);
constexpr aux::PictureRow kErreurPicture{{0, 0, 1815, 1695}, ":/pictures/SensInterdit.bmp"};
constexpr LabelRow kErreurLabel{
    "Label1",      {0, 1680, 1815, 855},     kWhite, kButtonText, {"Times New Roman", 12, true},
    Align::Centre, "ERREUR ! Essaie encore", 1};

} // namespace

Erreur::Erreur(Windows& windows) : Form(windows, kErreurForm)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(kErreurBack));
    setPalette(colours);
    setAutoFillBackground(true);
    addPicture(this, kErreurPicture);
    addLabel(this, kErreurLabel);
}

} // namespace varnelle
