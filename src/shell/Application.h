// Varnelle: what the program sets up before its first window.
#pragma once

class QApplication;

namespace varnelle {

inline constexpr const char* kApplicationId = "fr.varnelle.varnelle";

// In a Wayland session that also offers an X server (Xwayland, as GNOME and
// Plasma start it), runs the program through X; natively on Wayland only
// where there is no X server, or where QT_QPA_PLATFORM says so. Must run
// before the QApplication is constructed.
void choosePlatform();

// Pins the style and its palette, and installs the French strings of Qt's
// own controls and dialogs, so that every machine shows the same.
void setUpApplication(QApplication& application);

} // namespace varnelle
