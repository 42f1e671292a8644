#include "auxwindows/AuxLayout.h"

namespace varnelle::aux {

PictureBox* addPicture(QWidget* window, const PictureRow& row)
{
    auto* picture = new PictureBox(window, kButtonFace, QString::fromLatin1(row.bitmap));
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(toPixels(row.rect));
    return picture;
}

Label* addLabel(QWidget* parent, const LabelRow& row)
{
    auto* label = new Label(parent, row.back, row.fore, row.font, Align::Centre);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(toPixels(row.rect));
    label->setCaption(QString::fromUtf8(row.caption));
    return label;
}

} // namespace varnelle::aux
