// Guards the one conversion from stored twips to pixels: a rounding slip moves
// every control of a window by a pixel, or opens a gap between two panels.
#include "quizwindow/FranceLayout.h"
#include "shell/Twips.h"

#include <QTest>

using namespace varnelle;

Q_DECLARE_METATYPE(varnelle::TwipRect)

class TwipsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void positions_data();
    void positions();
    void rectangles_data();
    void rectangles();
    void adjacentRectanglesShareTheirEdge();
};

void TwipsTest::positions_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<bool>("carteVertical");
    QTest::addColumn<int>("pixels");
    // Halves round away from zero: 7.5 twips is half a pixel.
    QTest::newRow("zero") << 0 << false << 0;
    QTest::newRow("under half a pixel") << 7 << false << 0;
    QTest::newRow("half a pixel") << 8 << false << 1;
    QTest::newRow("whole pixels") << 13680 << false << 912;
    QTest::newRow("box width 200") << 200 << false << 13;
    QTest::newRow("box height 195") << 195 << false << 13;
    QTest::newRow("negative half") << -8 << false << -1;
    // The map box's vertical unit is 12915/12900 of a twip.
    QTest::newRow("map top 2280") << 2280 << true << 152;
    QTest::newRow("map top 12360") << 12360 << true << 825;
    QTest::newRow("map top 8040") << 8040 << true << 537;
    QTest::newRow("map full height") << 12900 << true << 861;
    QTest::newRow("map 600") << 600 << true << 40;
}

void TwipsTest::positions()
{
    QFETCH(int, units);
    QFETCH(bool, carteVertical);
    QFETCH(int, pixels);
    const QPoint converted = toPixels(0, units, carteVertical ? layout::kCarteScale : kTwips);
    QCOMPARE(converted.y(), pixels);
}

void TwipsTest::rectangles_data()
{
    QTest::addColumn<TwipRect>("rect");
    QTest::addColumn<bool>("onCarte");
    QTest::addColumn<QRect>("pixels");
    // Every answer box is 13 pixels square, though the map's scale would
    // stretch some of them to 14 if their edges were rounded one by one.
    QTest::newRow("Check1") << TwipRect{13680, 2280, 200, 200} << true << QRect(912, 152, 13, 13);
    QTest::newRow("Check31, 195 high") << TwipRect{7920, 8040, 200, 195} << true << QRect(528, 537, 13, 13);
    QTest::newRow("NOM") << TwipRect{0, 240, 3255, 375} << true << QRect(0, 16, 217, 25);
    QTest::newRow("Notation") << TwipRect{11640, 0, 2535, 735} << true << QRect(776, 0, 169, 49);
    QTest::newRow("Rubrique") << TwipRect{120, 5880, 2535, 3735} << true << QRect(8, 392, 169, 249);
    QTest::newRow("Carte in the window") << TwipRect{0, 0, 14295, 12975} << false << QRect(0, 0, 953, 865);
    QTest::newRow("Bonjour nj") << TwipRect{3480, 1440, 4695, 495} << false << QRect(232, 96, 313, 33);
}

void TwipsTest::rectangles()
{
    QFETCH(TwipRect, rect);
    QFETCH(bool, onCarte);
    QFETCH(QRect, pixels);
    QCOMPARE(toPixels(rect, onCarte ? layout::kCarteScale : kTwips), pixels);
}

void TwipsTest::adjacentRectanglesShareTheirEdge()
{
    // Theme above NomTheme, Demande above Objectif: stored edge to edge or
    // overlapping by a twip row, they must never open a gap in pixels.
    const std::pair<std::string_view, std::string_view> stacked[] = {
        {"Test", "NOM"}, {"Theme", "NomTheme"}, {"Demande", "Objectif"}, {"Notation", "Note"}, {"Note", "Erreurs"}};
    for (const auto& [upper, lower] : stacked) {
        QRect upperRect;
        QRect lowerRect;
        for (const auto& row : layout::kLabels) {
            if (row.name == upper)
                upperRect = toPixels(row.rect, layout::kCarteScale);
            if (row.name == lower)
                lowerRect = toPixels(row.rect, layout::kCarteScale);
        }
        QVERIFY2(lowerRect.top() <= upperRect.bottom() + 1, upper.data());
    }
}

QTEST_APPLESS_MAIN(TwipsTest)
#include "tst_twips.moc"
