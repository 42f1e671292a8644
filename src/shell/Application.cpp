#include "shell/Application.h"

#include "shell/Artwork.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <mutex>

namespace varnelle {

namespace {

// Qt's own French strings (the name field's context menu, the question's
// standard buttons), read the first time Qt asks for one of them: the
// welcome window shows none, and reading them costs start-up time. Installed
// while it holds nothing, the translator has Qt send no LanguageChange, so
// nothing asks it for the layout direction, which stays Qt's default, left
// to right, as the French strings have it.
class LazyQtStrings : public QTranslator {
public:
    explicit LazyQtStrings(QObject* parent) : QTranslator(parent) {}

    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        std::call_once(loaded_, [this] {
            if (!strings_.load(QStringLiteral(":/translations/qtbase_fr.qm")))
                qWarning("Qt's French strings are not in the program: Qt's own controls speak English");
        });
        return strings_.translate(context, sourceText, disambiguation, n);
    }

private:
    mutable std::once_flag loaded_;
    mutable QTranslator strings_;
};

} // namespace

void choosePlatform()
{
    // Through X the windows keep the places the program gives them (centred,
    // the error window over the quiz window) and only the controls their
    // fixed size allows. Natively, the compositors place top-levels where
    // they like, and Qt's own title bars offer maximise on every window,
    // which weston answers with a size that a fixed window cannot take: the
    // connection ends with a protocol error and the run with it. The price
    // is Xwayland's upscaling on scaled outputs.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

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

    QCoreApplication::installTranslator(new LazyQtStrings(&application));
}

} // namespace varnelle
