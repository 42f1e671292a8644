// Guards the quiz window's frame and where its controls stand: a wrong size,
// title or frame button, a map box that does not overhang the window as
// designed, a table row outside the map or sharing a tab index, and built
// controls that overlap.
#include "TestSupport.h"

#include "quiz/France.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QScreen>
#include <QSet>
#include <QTest>

using namespace varnelle;
using namespace varnelle::layout;

class QuizFrameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void windowFrame();
    void tableInvariants();
    void builtControlsDoNotOverlap();
};

void QuizFrameTest::windowFrame()
{
    test::App app;
    France& france = *app.forms.france;
    QCOMPARE(france.windowTitle(),
             QStringLiteral("    Varnelle par Brindaz - Evaluation des connaissances g\u00e9ographiques "));
    QCOMPARE(france.size(), QSize(950, 861));
    QCOMPARE(france.minimumSize(), france.maximumSize());
    const Qt::WindowFlags flags = france.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!france.windowIcon().isNull());

    const CarteControls& carte = france.controls();
    QCOMPARE(carte.DEPART->geometry(), QRect(32, 112, 137, 81));
    QCOMPARE(carte.DEPART->Caption(), QStringLiteral("Clique ici pour commencer"));
    QCOMPARE(carte.Check(2).text(), QStringLiteral("Check1"));
    QCOMPARE(carte.Check(31).size(), QSize(13, 13));
    for (CheckBox* box : carte.boxes)
        QVERIFY(!box->isVisibleTo(&france) && box->Value() == 0);

    app.forms.france.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(&france));
    // The map box overhangs the window's right and bottom edges.
    QCOMPARE(carte.Carte->geometry(), QRect(0, 0, 953, 865));
    QCOMPARE(carte.Carte->inner()->geometry(), QRect(2, 2, 949, 861));
    const QPoint centre = QApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((france.geometry().center() - centre).manhattanLength() <= 1);
}

void QuizFrameTest::tableInvariants()
{
    for (std::size_t i = 0; i < kAnswerBoxes.size(); ++i)
        QCOMPARE(kAnswerBoxes[i].number, static_cast<int>(i) + 1);

    // Children stand in the map box's scale: its inner area counts 14235 x 12900.
    const auto insideCarte = [](TwipRect rect) {
        return rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= kCarteScale.unitsX &&
               rect.top + rect.height <= kCarteScale.unitsY;
    };
    QSet<int> tabIndices{kCarteTabIndex, kDepart.tabIndex};
    int controls = 2;
    for (const AnswerBoxRow& row : kAnswerBoxes) {
        QVERIFY2(insideCarte(row.rect), row.caption);
        tabIndices.insert(row.tabIndex);
        ++controls;
    }
    for (const RewardPictureRow& row : kRewardPictures) {
        QVERIFY2(insideCarte(row.rect), row.name);
        const AnswerBoxRow& box = kAnswerBoxes.at(static_cast<std::size_t>(row.covers - 1));
        QVERIFY2(toPixels(row.rect, kCarteScale).contains(toPixels(box.rect, kCarteScale)), row.name);
        tabIndices.insert(row.tabIndex);
        ++controls;
    }
    QVERIFY(insideCarte(kDepart.rect));
    for (const LabelRow& row : kLabels) {
        tabIndices.insert(row.tabIndex);
        ++controls;
    }
    QCOMPARE(tabIndices.size(), controls);
}

void QuizFrameTest::builtControlsDoNotOverlap()
{
    test::App app;
    const CarteControls& carte = app.forms.france->controls();
    QWidget* surface = carte.Carte->inner();

    QList<QWidget*> pictures;
    for (const RewardPictureRow& row : kRewardPictures)
        pictures.append(surface->findChild<QWidget*>(QString::fromLatin1(row.name)));
    QList<QWidget*> painted;
    for (const LabelRow& row : kLabels)
        painted.append(surface->findChild<QWidget*>(QString::fromLatin1(row.name)));
    for (const LineRow& row : kLines)
        painted.append(surface->findChild<QWidget*>(QString::fromLatin1(row.name)));
    QCOMPARE(painted.count(nullptr), 0);
    QCOMPARE(pictures.count(nullptr), 0);

    for (CheckBox* box : carte.boxes) {
        QCOMPARE(box->size(), QSize(13, 13));
        for (CheckBox* other : carte.boxes)
            QVERIFY2(box == other || !box->geometry().intersects(other->geometry()), qPrintable(box->objectName()));
        for (const RewardPictureRow& row : kRewardPictures) {
            const QWidget* picture = carte.rewardOver(row.covers);
            QVERIFY2(&carte.Check(row.covers) == box || !picture->geometry().intersects(box->geometry()),
                     qPrintable(box->objectName()));
        }
        QVERIFY(!carte.DEPART->geometry().intersects(box->geometry()));
    }
    for (QWidget* picture : pictures)
        QVERIFY(!carte.DEPART->geometry().intersects(picture->geometry()));

    QList<QWidget*> above = pictures;
    above.append(carte.DEPART);
    for (CheckBox* box : carte.boxes)
        above.append(box);
    for (QWidget* low : painted) {
        for (QWidget* high : above) {
            QVERIFY2(!low->geometry().intersects(high->geometry()),
                     qPrintable(low->objectName() + QStringLiteral(" under ") + high->objectName()));
        }
    }
}

QTEST_MAIN(QuizFrameTest)
#include "tst_layout_frame.moc"
