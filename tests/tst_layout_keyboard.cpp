// Guards the quiz window from the keyboard: a tab chain out of the tab
// indices, a space bar judged otherwise than a click, and an answer box that
// shows no cue when it has the focus.
#include "QuizWindow.h"
#include "TestSupport.h"

#include "quiz/France.h"
#include "shell/Controls.h"

#include <QImage>
#include <QTest>

using namespace varnelle;
using varnelle::test::shownFrance;

class QuizKeyboardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void tabFollowsTabIndices_data();
    void tabFollowsTabIndices();
    void spaceBarActsAsAClick_data();
    void spaceBarActsAsAClick();
    void focusedBoxShowsACue();
};

void QuizKeyboardTest::tabFollowsTabIndices_data()
{
    QTest::addColumn<QList<int>>("boxes");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<bool>("depart");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("at load") << QList<int>{} << QStringList{} << true << QStringList{"Carte", "DEPART", "Carte"};
    QTest::newRow("countries") << QList<int>{1, 2, 3, 4, 5, 6, 7} << QStringList{"DrapeauSuisse"} << false
                               << QStringList{"Carte",  "Check1", "Check2", "Check3",        "Check4",
                                              "Check5", "Check6", "Check7", "DrapeauSuisse", "Carte"};
    QTest::newRow("seas found, rivers shown")
        << QList<int>{12, 13, 14, 15, 16} << QStringList{"Phoque", "Coquille", "Voilier", "Dauphin"} << true
        << QStringList{"Carte",   "DEPART",  "Voilier", "Dauphin", "Coquille", "Phoque",
                       "Check12", "Check13", "Check14", "Check15", "Check16",  "Carte"};
    // Summits 20 to 22 are not in number order.
    QTest::newRow("summits") << QList<int>{20, 21, 22} << QStringList{} << false
                             << QStringList{"Carte", "Check21", "Check22", "Check20", "Carte"};
}

void QuizKeyboardTest::tabFollowsTabIndices()
{
    QFETCH(QList<int>, boxes);
    QFETCH(QStringList, pictures);
    QFETCH(bool, depart);
    QFETCH(QStringList, order);

    France* france = nullptr;
    const auto app = shownFrance(france);
    const CarteControls& carte = france->controls();
    for (int box : boxes)
        carte.Check(box).show();
    for (const QString& picture : pictures)
        france->findChild<QWidget*>(picture)->show();
    carte.DEPART->setVisible(depart);

    carte.Carte->setFocus(Qt::TabFocusReason);
    QStringList visited{france->focusWidget()->objectName()};
    while (visited.size() < order.size()) {
        QTest::keyClick(france->focusWidget(), Qt::Key_Tab);
        visited.append(france->focusWidget()->objectName());
    }
    QCOMPARE(visited, order);
}

void QuizKeyboardTest::spaceBarActsAsAClick_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("spaceBar");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("sought");

    QTest::newRow("right box, click") << 1 << false << 1 << 0 << 2;
    QTest::newRow("right box, space") << 1 << true << 1 << 0 << 2;
    QTest::newRow("wrong box, click") << 3 << false << 2 << 2 << 1;
    QTest::newRow("wrong box, space") << 3 << true << 2 << 2 << 1;
}

void QuizKeyboardTest::spaceBarActsAsAClick()
{
    QFETCH(int, box);
    QFETCH(bool, spaceBar);
    QFETCH(int, value);
    QFETCH(int, errors);
    QFETCH(int, sought);

    France* france = nullptr;
    const auto app = shownFrance(france);
    france->DEPART_Click();
    CheckBox& pressed = france->controls().Check(box);
    if (spaceBar) {
        pressed.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&pressed, Qt::Key_Space);
    } else {
        QVERIFY(test::clickAsPlayer(&pressed));
    }
    QCOMPARE(pressed.Value(), value);
    QCOMPARE(france->session().NbErreurs, errors);
    QCOMPARE(france->session().ItemEnCours, sought);
}

void QuizKeyboardTest::focusedBoxShowsACue()
{
    France* france = nullptr;
    const auto app = shownFrance(france);
    CheckBox& box = france->controls().Check(30);
    box.show();
    const QImage plain = box.grab().toImage();

    france->controls().Carte->setFocus(Qt::TabFocusReason);
    QTest::keyClick(france->focusWidget(), Qt::Key_Tab);
    QTest::keyClick(france->focusWidget(), Qt::Key_Tab);
    QCOMPARE(france->focusWidget(), &box);
    QCOMPARE(box.size(), QSize(13, 13));
    const QImage focused = box.grab().toImage();
    QCOMPARE(focused.size(), plain.size());
    QVERIFY(focused != plain);
    // The cue keeps inside the indicator's well: its sunken frame is untouched.
    const QRect well = box.rect().adjusted(2, 2, -2, -2);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (!well.contains(x, y))
                QCOMPARE(focused.pixel(x, y), plain.pixel(x, y));
        }
    }

    // A wrong answer grays the box; the cue still shows around the mark.
    QTest::keyClick(&box, Qt::Key_Space);
    QCOMPARE(box.Value(), 2);
    QCOMPARE(france->focusWidget(), &box);
    test::saveGrab(france, QStringLiteral("France-focus"));
    const QImage grayedFocused = box.grab().toImage();
    box.clearFocus();
    QVERIFY(box.grab().toImage() != grayedFocused);
}

QTEST_MAIN(QuizKeyboardTest)
#include "tst_layout_keyboard.moc"
