// Guards the windows against what real desktops do to them: a shown window
// left behind the quiz window the player just clicked, a window minimised for
// good, a window placed by its client area instead of its frame, and
// buttons that ignore Return. A window forced to another size is tst_hidpi's,
// which runs on screens where the windows are scaled too.
#include "QuizPlayer.h"

#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "shell/Bonjour.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>

using namespace varnelle;
using varnelle::test::QuizPlayer;

namespace {

// The window manager raises and activates the window a player clicks.
void activateAsWindowManager(QWidget* window)
{
    window->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window->window()));
}

void minimiseAsWindowManager(QWidget* window)
{
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    QCoreApplication::processEvents();
}

// A key held down: its press, the presses the keyboard repeats, its release.
void holdKey(QWidget* widget, Qt::Key key, int repeats)
{
    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QStringLiteral("\r");
    for (int press = 0; press <= repeats; ++press) {
        if (press > 0) {
            QKeyEvent release(QEvent::KeyRelease, key, modifiers, text, true);
            QApplication::sendEvent(widget, &release);
        }
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text, press > 0);
        QApplication::sendEvent(widget, &event);
    }
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text, false);
    QApplication::sendEvent(widget, &release);
}

bool isShownInFront(QWidget* window)
{
    return window->isVisible() && !(window->windowState() & Qt::WindowMinimized) &&
           QApplication::activeWindow() == window;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void errorWindowInFrontAtEveryWrongClick();
    void revisionMapInFrontAtEveryYes();
    void minimisedWindowsComeBack();
    void framesCentredInTheWorkArea();
    void keysPressAFocusedButtonOnce_data();
    void keysPressAFocusedButtonOnce();
};

void DesktopTest::errorWindowInFrontAtEveryWrongClick()
{
    QuizPlayer player;
    player.enterName(QStringLiteral("Lou"));
    QVERIFY(player.clickDepart());
    for (int wrong : {3, 4, 5}) {
        activateAsWindowManager(&player.france());
        QVERIFY(player.clickBox(wrong));
        Erreur* erreur = player.app.forms.erreur.loaded();
        QTRY_VERIFY2(isShownInFront(erreur), qPrintable(QStringLiteral("after a wrong click on Check%1").arg(wrong)));
        erreur->move(erreur->pos() + QPoint(13, 7));
    }
    const QPoint movedTo = player.app.forms.erreur->pos();
    activateAsWindowManager(&player.france());
    QVERIFY(player.clickBox(6));
    QCOMPARE(player.app.forms.erreur->pos(), movedTo);
    QVERIFY(player.clickBox(1));
    QTRY_VERIFY(!player.app.forms.erreur->isVisible());
    QVERIFY(player.broken.isEmpty());
}

void DesktopTest::revisionMapInFrontAtEveryYes()
{
    QuizPlayer player;
    player.app.question.answers = {YesNoQuestion::kYes, YesNoQuestion::kYes, YesNoQuestion::kNo};
    player.enterName(QStringLiteral("Lou"));
    QVERIFY(player.reachPhase(AskRevision));
    for (int yes = 1; yes <= 2; ++yes) {
        activateAsWindowManager(&player.france());
        QVERIFY(player.clickDepart());
        QTRY_VERIFY2(isShownInFront(player.app.forms.villesDeFrance.loaded()), qPrintable(QString::number(yes)));
    }
}

void DesktopTest::minimisedWindowsComeBack()
{
    QuizPlayer player;
    player.enterName(QStringLiteral("Lou"));
    QVERIFY(player.clickDepart());
    QVERIFY(player.clickBox(3));
    Erreur* erreur = player.app.forms.erreur.loaded();
    minimiseAsWindowManager(erreur);
    QVERIFY(erreur->windowState() & Qt::WindowMinimized);
    QVERIFY(player.clickBox(4));
    QTRY_VERIFY(isShownInFront(erreur));

    // Nothing would ever show the quiz window again.
    minimiseAsWindowManager(&player.france());
    QTRY_VERIFY(isShownInFront(&player.france()));
    QVERIFY(player.broken.isEmpty());
}

void DesktopTest::framesCentredInTheWorkArea()
{
    QuizPlayer player;
    player.enterName(QStringLiteral("Lou"));
    QVERIFY(player.clickDepart());
    QVERIFY(player.clickBox(3));
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (QWidget* window : std::initializer_list<QWidget*>{&player.france(), player.app.forms.erreur.loaded()}) {
        QVERIFY(window->frameGeometry() != window->geometry());
        QVERIFY2((window->frameGeometry().center() - centre).manhattanLength() <= 1, qPrintable(window->windowTitle()));
    }
}

void DesktopTest::keysPressAFocusedButtonOnce_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("repeats");
    QTest::newRow("space bar") << int(Qt::Key_Space) << 0;
    QTest::newRow("Return") << int(Qt::Key_Return) << 0;
    QTest::newRow("Enter of the keypad") << int(Qt::Key_Enter) << 0;
    QTest::newRow("Return held down") << int(Qt::Key_Return) << 5;
    QTest::newRow("Enter held down") << int(Qt::Key_Enter) << 5;
}

void DesktopTest::keysPressAFocusedButtonOnce()
{
    QFETCH(int, key);
    QFETCH(int, repeats);
    QuizPlayer player;
    player.app.question.answers = {YesNoQuestion::kYes, YesNoQuestion::kNo};
    Bonjour& bonjour = *player.app.forms.bonjour;
    bonjour.setVisible(true);
    test::typeText(&bonjour.nj(), QStringLiteral("Lou"));
    QWidget* entree = bonjour.findChild<QWidget*>(QStringLiteral("Entree"));
    entree->setFocus(Qt::TabFocusReason);
    holdKey(entree, Qt::Key(key), repeats);
    QVERIFY(!bonjour.Visible());
    QVERIFY(player.app.forms.france.loaded() && player.france().isVisible());
    QCOMPARE(player.france().NOM().Caption(), QStringLiteral("Lou"));

    // One phase per press: the session starts, and the countries stay open.
    QWidget* depart = player.controls().DEPART;
    depart->setFocus(Qt::TabFocusReason);
    holdKey(depart, Qt::Key(key), repeats);
    QCOMPARE(player.session().Etape, CountriesRun);
    QCOMPARE(player.session().ItemEnCours, 1);
    QVERIFY(player.reachPhase(AskRevision));
    depart->setFocus(Qt::TabFocusReason);
    holdKey(depart, Qt::Key(key), repeats);
    QCOMPARE(player.app.question.prompts.size(), 1);
    QVERIFY(player.app.forms.villesDeFrance.loaded());
    QVERIFY(player.broken.isEmpty());
}

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
