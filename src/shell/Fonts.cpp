#include "shell/Fonts.h"

#include <QFontDatabase>
#include <QResource>
#include <QSet>

namespace varnelle {

QFont fontFor(const FontSpec& wanted)
{
    const BundledFace& chosen = bundledFace(wanted.face);
    static QSet<const char*> registered;
    const char* file = chosen.file(wanted.bold);
    if (!registered.contains(file)) {
        registered.insert(file);
        // Given the file's name, Qt would read the face into memory of its
        // own, and again for each font engine drawn from it. The faces are
        // stored uncompressed, so the data handed over here is the program's
        // own, where FreeType reads it in place.
        QFontDatabase::addApplicationFontFromData(QResource(QString::fromLatin1(file)).uncompressedData());
    }

    QFont font(QString::fromLatin1(chosen.family));
    font.setPixelSize(pixelSize(wanted.points));
    font.setBold(wanted.bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace varnelle
