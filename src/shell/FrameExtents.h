// Varnelle: the frame a desktop will draw around a window, known before the window is shown.
#pragma once

#include <QMargins>

class QWidget;

namespace varnelle {

// The frame's width on each side of the client area of `window`, a top-level
// not yet shown. An X11 window manager is asked for it (_NET_REQUEST_FRAME_EXTENTS)
// and waited for a moment; elsewhere the platform's own figure is taken, which
// may be none.
QMargins frameExtentsBeforeShowing(QWidget* window);

} // namespace varnelle
