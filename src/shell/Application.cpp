#include "shell/Application.h"

#include "shell/Artwork.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace varnelle {

void setUpApplication(QApplication& application)
{
    QApplication::setApplicationName(QStringLiteral("Varnelle"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
    QApplication::setWindowIcon(formIcon(QStringLiteral(":/icons/varnelle.ico")));

    // The classic style draws check boxes exactly 13 pixels square, the size
    // of the answer boxes, and sunken frames as the layouts expect; its own
    // palette keeps a dark desktop theme from recolouring the windows.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QApplication::setPalette(QApplication::style()->standardPalette());

    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral(":/translations/qtbase_fr.qm")))
        QCoreApplication::installTranslator(translator);
}

} // namespace varnelle
