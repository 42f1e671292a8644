// Varnelle: the frame a desktop will draw around a window, known before the
// window is shown, the size it may force on a window, and how it brings a
// window to the front.
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

// Asks an X11 window manager to take a shown top-level out of a size it
// forced on it (maximised or full screen), before the window is hidden: a
// compositor that keeps no state of its own on the window (weston's X window
// manager) otherwise goes on showing a window hidden while maximised.
// False where there is no window manager to ask.
bool leaveForcedSize(QWidget* window);

// Whether the X11 window manager keeps its own stacking, ignoring requests
// to raise or activate a window, and brings a window to the front only when
// it maps the window (weston's).
bool raisesOnlyWhenMapping();

} // namespace varnelle
