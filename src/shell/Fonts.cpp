#include "shell/Fonts.h"

#include <QFontDatabase>
#include <QSet>

namespace varnelle {

QFont fontFor(const FontSpec& wanted)
{
    const BundledFace& chosen = bundledFace(wanted.face);
    static QSet<const char*> registered;
    const char* file = chosen.file(wanted.bold);
    if (!registered.contains(file)) {
        registered.insert(file);
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    }

    QFont font(QString::fromLatin1(chosen.family));
    font.setPixelSize(pixelSize(wanted.points));
    font.setBold(wanted.bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace varnelle
