#include "shell/Artwork.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPainter>

namespace varnelle {

namespace {

// Reads an image in the format its file name gives. Left to guess, Qt loads
// every image plugin installed to ask each whether it reads a PNG or BMP
// file, before it reads it itself.
QImage readImage(const QString& path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

Artwork::Artwork(const QString& path) : path_(path), picture_(QPixmap::fromImage(readImage(path)))
{
}

const QPixmap& Artwork::dense()
{
    if (denseLooked_)
        return dense_;
    denseLooked_ = true;
    // The high-density drawings of BMP originals are PNG files.
    const qsizetype dot = path_.lastIndexOf(QLatin1Char('.'));
    const QString stem = path_.left(dot) + QStringLiteral("@2x");
    for (const QString& candidate : {stem + path_.mid(dot), stem + QStringLiteral(".png")}) {
        if (QFile::exists(candidate)) {
            dense_ = QPixmap::fromImage(readImage(candidate));
            dense_.setDevicePixelRatio(2);
            break;
        }
    }
    return dense_;
}

void Artwork::paint(QPainter& painter, QPoint at)
{
    // The scale from logical to device pixels covers both the screen's ratio
    // and a painter that renders the widget into a scaled target.
    const qreal ratio = painter.deviceTransform().m11();
    if (ratio == 1.0) {
        painter.drawPixmap(at, picture_);
        return;
    }
    // Between whole ratios neither image maps pixel for pixel: filtering
    // keeps the map's thin lines and the flags' edges from breaking into
    // uneven steps.
    const QPixmap& chosen = ratio > 1.0 && !dense().isNull() ? dense_ : picture_;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != chosen.devicePixelRatio());
    painter.drawPixmap(at, chosen);
    painter.restore();
}

QIcon formIcon(const QString& icoPath)
{
    // One icon for the whole run, shared by every window that carries it:
    // its images are decoded once.
    static QHash<QString, QIcon> made;
    const auto found = made.constFind(icoPath);
    if (found != made.cend())
        return *found;
    QIcon icon(icoPath);
    const QString stem = icoPath.left(icoPath.lastIndexOf(QLatin1Char('.')));
    // At the sizes that the ICO holds, its own drawings stay the icon.
    const QList<QSize> drawn = icon.availableSizes();
    // Title bars and task bars want at most 64 pixels, also on dense
    // screens. The X11 backend hands every size to the desktop when the
    // window is created, before it is mapped, and the desktop picks among
    // them: the first window needs them all.
    for (const int size : {16, 32, 48, 64}) {
        const QString png = QStringLiteral("%1-%2.png").arg(stem).arg(size);
        if (!drawn.contains(QSize(size, size)) && QFile::exists(png))
            icon.addPixmap(QPixmap::fromImage(readImage(png)));
    }
    made.insert(icoPath, icon);
    return icon;
}

} // namespace varnelle
