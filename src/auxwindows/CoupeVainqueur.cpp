#include "auxwindows/CoupeVainqueur.h"

#include "auxwindows/AuxLayout.h"

namespace varnelle {

using aux::addPicture;

namespace {

constexpr aux::PictureRow kCoupePicture{{0, 0, 3375, 3495}, ":/pictures/Coupe.bmp"};
// The label lies in the picture: its position counts from the picture's inner corner.
constexpr LabelRow kCoupeLabel{"Label1",
                               {120, 3000, 3015, 255},
                               rgb(64, 0, 64),
                               rgb(255, 255, 0),
                               {"MS Sans Serif", 9.75, true},
                               Align::Centre,
                               " 54 items sur 54 r\u00e9solus !",
                               1};

} // namespace

CoupeVainqueur::CoupeVainqueur(Windows& windows) : Form(windows, kCoupeForm), windows_(windows)
{
    addLabel(addPicture(this, kCoupePicture)->inner(), kCoupeLabel);
    Form_Load();
}

void CoupeVainqueur::Form_Load()
{
    windows_.platform().sound.playFile(QString::fromLatin1(kAnthem));
}

void CoupeVainqueur::Form_Unload()
{
    windows_.platform().sound.stop();
}

} // namespace varnelle
