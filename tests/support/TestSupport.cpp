#include "TestSupport.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/France.h"
#include "shell/Application.h"
#include "shell/Bonjour.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>

namespace varnelle::test {

int ScriptedQuestion::ask(QWidget*, const QString& prompt, const QString& title)
{
    prompts.append(prompt);
    titles.append(title);
    return answers.isEmpty() ? kNo : answers.takeFirst();
}

App::App() : platform{question, sound, [this] { ++quits; }}, forms(platform)
{
}

const char* nameOf(Window window)
{
    switch (window) {
    case Window::Bonjour:
        return "Bonjour";
    case Window::France:
        return "France";
    case Window::Erreur:
        return "Erreur";
    case Window::VillesDeFrance:
        return "VillesDeFrance";
    case Window::CoupeVainqueur:
        break;
    }
    return "CoupeVainqueur";
}

Form& load(App& app, Window window)
{
    switch (window) {
    case Window::Bonjour:
        return *app.forms.bonjour;
    case Window::France:
        return *app.forms.france;
    case Window::Erreur:
        return *app.forms.erreur;
    case Window::VillesDeFrance:
        return *app.forms.villesDeFrance;
    case Window::CoupeVainqueur:
        break;
    }
    return *app.forms.coupeVainqueur;
}

void setUpOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    setUpApplication(*qApp);
}

bool clickAsPlayer(QWidget* control)
{
    if (!control->isVisible()) {
        qWarning("%s is not visible: no player can click it", qPrintable(control->objectName()));
        return false;
    }
    QWidget* window = control->window();
    const QPoint centre = control->mapTo(window, control->rect().center());
    QWidget* under = window->childAt(centre);
    if (under != control && !control->isAncestorOf(under)) {
        qWarning("%s is covered by %s", qPrintable(control->objectName()),
                 under ? qPrintable(under->objectName()) : "nothing");
        return false;
    }
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    return true;
}

void typeText(QWidget* control, const QString& text)
{
    // One key per character as the player sees it: a character beyond the
    // 16-bit range comes as one event holding both halves of its pair.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

void saveGrab(QWidget* window, const QString& name)
{
    const QString directory = qEnvironmentVariable("VARNELLE_GRABS", QDir::tempPath());
    QDir().mkpath(directory);
    window->grab().save(directory + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace varnelle::test
