// Guards the windows against what real desktops do to them: a shown window
// left behind the quiz window the player just clicked, a window minimised for
// good, a window placed by its client area instead of its frame, a design
// left in a corner of a window the desktop forced to another size, and
// buttons that ignore Return.
#include "QuizPlayer.h"

#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"

#include <QApplication>
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
    QVERIFY(player.reachPhase(5));
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

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
