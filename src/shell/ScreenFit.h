// Varnelle: shows a window scaled down when it would not fit on the screen.
#pragma once

#include <QSize>

class QWidget;

namespace varnelle {

// Room kept around a window's client area for the frame that the desktop
// draws: a title bar of up to 40 pixels and borders of up to 8. The frame's
// real size is known only once the window exists, so each side keeps the
// larger of the two.
inline constexpr QSize kFrameAllowance{2 * 8, 2 * 40};

// The factor, at most 1 and a whole number of hundredths, by which a window
// whose client area is `client` must shrink so that it lies, centred with its
// frame, within `available`.
double shrinkFactor(QSize available, QSize client);

// Where `window` would not fit in the available area of the primary screen,
// embeds it in a view that draws it scaled down, and returns that view: it
// is the window to place and show from then on, and it goes when `window`
// goes. Returns nullptr, and changes nothing, where `window` fits.
//
// A view rather than Qt's global scale factor (QT_SCALE_FACTOR): below 1,
// Qt 6.4's widgets keep painting at full size into the smaller window, so
// the bottom and right of every window would be cut off. The view scales
// its painter, so text, check boxes and the map are still drawn at the
// device's resolution, and it maps every click back onto the widget under
// it: the forms do not know they are scaled.
QWidget* fitOnScreen(QWidget* window);

// The view that `window` was embedded in by fitOnScreen(), or nullptr.
QWidget* hostOf(const QWidget* window);

// Gives back the native window of `host`, a view made by fitOnScreen() and
// hidden, with the picture it was drawn into. Showing it again creates both
// anew.
void releaseNativeWindow(QWidget* host);

} // namespace varnelle
