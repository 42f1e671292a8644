// Varnelle: pictures and icons that stay sharp on high-density screens.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QPainter;

namespace varnelle {

// A picture drawn from one of two images: its own, and a drawing of the same
// at twice the size (the file next to it named with "@2x"), used wherever a
// logical pixel covers more than one device pixel.
class Artwork {
public:
    Artwork() = default;
    // Decodes the image at once; the "@2x" image waits for a dense screen.
    explicit Artwork(const QString& path);

    // The image itself, as decoded when the artwork was made.
    const QPixmap& picture() const { return picture_; }

    // Draws the artwork at its own size in logical pixels, top-left at `at`.
    void paint(QPainter& painter, QPoint at);

private:
    const QPixmap& dense();

    QString path_;
    QPixmap picture_;
    QPixmap dense_;
    bool denseLooked_ = false;
};

// The icon of a window: the ICO file, with the PNG drawings of the same icon
// named after it ("<name>-<size>.png") at the sizes the ICO lacks, which
// title bars, task bars and window switchers pick from at any density.
QIcon formIcon(const QString& icoPath);

} // namespace varnelle
