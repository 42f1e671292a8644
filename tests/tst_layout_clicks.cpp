// Guards where a click on the quiz window lands: a picture that lets a click
// reach the box it hides, and a label, line or the map that takes a click,
// the focus or a judgement away from the controls that should have them.
#include "QuizWindow.h"
#include "TestSupport.h"

#include "auxwindows/Erreur.h"
#include "quiz/France.h"
#include "shell/Controls.h"

#include <QSignalSpy>
#include <QTest>

using namespace varnelle;
using varnelle::test::shownFrance;

class QuizClicksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void pictureTakesTheClickOfItsBox_data();
    void pictureTakesTheClickOfItsBox();
    void passiveControlsIgnoreClicks_data();
    void passiveControlsIgnoreClicks();
};

void QuizClicksTest::pictureTakesTheClickOfItsBox_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("pictureShown");
    QTest::addColumn<bool>("asPlayer"); // else a raw click into the window at the same place
    QTest::addColumn<bool>("boxClicked");

    QTest::newRow("DrapeauAllemand, as a player") << 1 << true << true << false;
    QTest::newRow("DrapeauAllemand, raw") << 1 << true << false << false;
    QTest::newRow("Phoque, raw") << 11 << true << false << false;
    QTest::newRow("Voilier, raw") << 8 << true << false << false;
    // The same raw click reaches a box whose picture is not shown.
    QTest::newRow("Check1 uncovered, raw") << 1 << false << false << true;
}

void QuizClicksTest::pictureTakesTheClickOfItsBox()
{
    QFETCH(int, box);
    QFETCH(bool, pictureShown);
    QFETCH(bool, asPlayer);
    QFETCH(bool, boxClicked);

    France* france = nullptr;
    const auto app = shownFrance(france);
    CheckBox& target = france->controls().Check(box);
    PictureBox* picture = france->controls().rewardOver(box);
    target.show();
    picture->setVisible(pictureShown);
    QSignalSpy clicks(&target, &CheckBox::Click);

    QWidget* clicked = pictureShown ? static_cast<QWidget*>(picture) : &target;
    if (asPlayer) {
        QVERIFY(test::clickAsPlayer(clicked));
    } else {
        const QPoint centre = clicked->mapTo(france, clicked->rect().center());
        QTest::mouseClick(france->windowHandle(), Qt::LeftButton, {}, centre);
    }
    QCOMPARE(clicks.isEmpty(), !boxClicked);
    QCOMPARE(target.Value() != 0, boxClicked);
}

void QuizClicksTest::passiveControlsIgnoreClicks_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("at"); // in the map box's inner area

    QTest::newRow("Carte") << QStringLiteral("Carte") << QPoint(500, 500);
    QTest::newRow("NOM") << QStringLiteral("NOM") << QPoint(100, 30);
    QTest::newRow("Rubrique") << QStringLiteral("Rubrique") << QPoint(100, 500);
    QTest::newRow("Note") << QStringLiteral("Note") << QPoint(810, 64);
    // A line lets the click through to the label it frames.
    QTest::newRow("Line7") << QStringLiteral("Objectif") << QPoint(176, 830);
    QTest::newRow("Label1") << QStringLiteral("Label1") << QPoint(780, 24);
    QTest::newRow("DrapeauBelge") << QStringLiteral("DrapeauBelge") << QPoint(600, 60);
}

void QuizClicksTest::passiveControlsIgnoreClicks()
{
    QFETCH(QString, control);
    QFETCH(QPoint, at);

    France* france = nullptr;
    const auto app = shownFrance(france);
    const CarteControls& carte = france->controls();
    carte.Check(2).show();
    carte.rewardOver(2)->show();
    carte.DEPART->setFocus(Qt::OtherFocusReason);
    QSignalSpy departClicks(carte.DEPART, &CommandButton::Click);

    const QPoint where = carte.Carte->inner()->mapTo(france, at);
    QWidget* under = france->childAt(where);
    while (under && under->objectName() != control)
        under = under->parentWidget();
    QVERIFY(under);
    QTest::mouseClick(france->windowHandle(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(france->windowHandle(), Qt::LeftButton, {}, where);

    QCOMPARE(france->focusWidget(), carte.DEPART);
    QVERIFY(departClicks.isEmpty());
    QCOMPARE(carte.Check(2).Value(), 0);
    QCOMPARE(france->session().ItemEnCours, 0);
    QCOMPARE(france->session().NbErreurs, 0);
    QVERIFY(!app->forms.erreur.loaded());
}

QTEST_MAIN(QuizClicksTest)
#include "tst_layout_clicks.moc"
