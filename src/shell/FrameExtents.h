// Varnelle: the frame a desktop will draw around a window, known before the window is shown.
#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace varnelle {

// The frame's width on each side of the client area of `window`, a top-level
// not yet shown, as an X11 window manager tells it when asked
// (_NET_REQUEST_FRAME_EXTENTS); nullopt where no window manager answers.
std::optional<QMargins> frameExtentsBeforeShowing(QWidget* window);

// The frame the platform itself reports for `window` where no window manager
// told one: the offscreen platform's fake frames, for one.
QMargins frameMarginsOf(QWidget* window);

} // namespace varnelle
