// Varnelle: what the program sets up before its first window.
#pragma once

class QApplication;

namespace varnelle {

inline constexpr const char* kApplicationId = "fr.varnelle.varnelle";

// Pins the style and its palette, and loads the French strings of Qt's own
// dialogs, so that every machine shows the same.
void setUpApplication(QApplication& application);

} // namespace varnelle
