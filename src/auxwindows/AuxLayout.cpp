#include "auxwindows/AuxLayout.h"

namespace varnelle::aux {

PictureBox* addPicture(QWidget* window, const PictureRow& row)
{
    auto* picture = new PictureBox(window, kButtonFace, QString::fromLatin1(row.bitmap));
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(toPixels(row.rect));
    return picture;
}

} // namespace varnelle::aux
