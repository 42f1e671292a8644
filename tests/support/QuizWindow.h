// Varnelle tests: the quiz window as its layout tests look at it, and how to reach its pixels.
#pragma once

#include "TestSupport.h"

#include "shell/Twips.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPalette>
#include <QPoint>
#include <QSet>

#include <memory>

namespace varnelle {
class France;
}

namespace varnelle::test {

// Where a point of the map box's inner area lies in the quiz window: past
// the 2-pixel border at the left and top.
QPoint inWindow(int x, int y);

// A colour of the layout's own tables, and one the style takes from the palette.
QColor own(Colour colour);
QColor role(QPalette::ColorRole colourRole);

// The relief map as its file holds it, one pixel per pixel of the map box.
QImage carteImage();

// The five windows with the quiz window shown and, where the platform can,
// active, as a player finds it after giving a name.
std::unique_ptr<App> shownFrance(France*& france);

// Counts the paint events each widget receives, as an application-wide event filter.
class PaintCounter : public QObject {
public:
    QSet<QObject*> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace varnelle::test
