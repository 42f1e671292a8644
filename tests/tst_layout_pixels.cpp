// Guards what the quiz window shows, pixel by pixel against the design: a
// control a pixel off or in the wrong colour, a panel the map shows through,
// a picture drawn from the wrong corner of its bitmap, an answer box drawn
// at another size.
#include "QuizWindow.h"
#include "TestSupport.h"

#include "quiz/France.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <memory>

using namespace varnelle;
using namespace varnelle::layout;
using varnelle::test::inWindow;
using varnelle::test::own;
using varnelle::test::role;

class QuizPixelsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void pixelsAtLoad_data();
    void pixelsAtLoad();
    void pixelsAllVisible_data();
    void pixelsAllVisible();

private:
    std::unique_ptr<test::App> app_;
    France* france_ = nullptr;
    QImage map_;
    QImage atLoad_;
    QImage allVisible_;

    QWidget* child(const char* name) const;
    QImage bitmap(const char* picture) const;
};

void QuizPixelsTest::initTestCase()
{
    test::setUpOnce();
    app_ = std::make_unique<test::App>();
    france_ = &*app_->forms.france;
    france_->NOM().setCaption(QStringLiteral("Zo\u00e9"));
    app_->forms.france.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(france_));
    map_ = test::carteImage();
    QCOMPARE(map_.size(), QSize(950, 860));

    atLoad_ = france_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    test::saveGrab(france_, QStringLiteral("France-load"));

    for (CheckBox* box : france_->controls().boxes)
        box->show();
    for (const RewardPictureRow& row : kRewardPictures)
        child(row.name)->show();
    allVisible_ = france_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    test::saveGrab(france_, QStringLiteral("France-all"));
    app_.reset();
    france_ = nullptr;
}

void QuizPixelsTest::cleanupTestCase()
{
    app_.reset();
}

QWidget* QuizPixelsTest::child(const char* name) const
{
    auto* found = france_->findChild<QWidget*>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

QImage QuizPixelsTest::bitmap(const char* picture) const
{
    return QImage(QStringLiteral(":/rewards/%1.bmp").arg(QString::fromLatin1(picture)))
        .convertToFormat(QImage::Format_RGB32);
}

void QuizPixelsTest::pixelsAtLoad_data()
{
    QTest::addColumn<QPoint>("at"); // in the window
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QPoint>("mapPixel"); // when the colour is the map's own

    const QColor fromMap;
    const auto add = [&](const char* name, QPoint at, QColor colour) {
        QTest::newRow(name) << at << colour << QPoint(-1, -1);
    };
    const auto map = [&](const char* name, int x, int y) {
        QTest::newRow(name) << inWindow(x, y) << fromMap << QPoint(x, y);
    };

    // The sunken border of the map box along the window's left and top edges.
    add("border left, outer", {0, 300}, role(QPalette::Dark));
    add("border left, inner", {1, 300}, role(QPalette::Shadow));
    add("border top, outer", {500, 0}, role(QPalette::Dark));
    add("border top, inner", {500, 1}, role(QPalette::Shadow));
    map("map from its top-left pixel", 220, 0);
    map("map in the middle", 500, 500);
    map("map, last column shown", 947, 500);
    map("map, last row shown", 500, 858);

    // Name panel.
    add("Test", inWindow(3, 2), own(kGreen));
    add("NOM", inWindow(3, 38), own(kGreen));
    add("NOM, right end", inWindow(216, 38), own(kGreen));
    map("map right of NOM", 217, 38);
    map("map below NOM", 100, 41);

    // Instruction panel, framed in red; its left line is half outside.
    add("Line13 left", inWindow(0, 500), own(kRed));
    add("Line13 right", inWindow(1, 500), own(kRed));
    add("Label2", inWindow(2, 500), own(kLightCyan));
    add("Label2 right end", inWindow(8, 500), own(kLightCyan));
    add("Rubrique", inWindow(100, 630), own(kLightCyan));
    add("Line12", inWindow(100, 391), own(kRed));
    add("Line12 bottom", inWindow(100, 393), own(kRed));
    map("map above Line12", 100, 390);
    add("Rubrique under Line12", inWindow(100, 394), own(kLightCyan));
    add("Line14", inWindow(177, 500), own(kRed));
    add("Line14 over Rubrique", inWindow(175, 500), own(kRed));
    add("Rubrique left of Line14", inWindow(174, 500), own(kLightCyan));
    map("map right of Line14", 178, 500);
    add("Line15", inWindow(100, 642), own(kRed));
    map("map below Line15", 100, 643);

    // Theme block.
    add("Line9", inWindow(100, 680), own(kNavy));
    add("Theme", inWindow(3, 684), own(kGreen));
    add("NomTheme", inWindow(3, 758), own(kGreen));
    add("Line10", inWindow(175, 720), own(kNavy));
    add("NomTheme left of Line10", inWindow(174, 720), own(kGreen));
    map("map right of Line10", 178, 720);
    add("Line11", inWindow(100, 762), own(kNavy));
    map("map between the blocks", 100, 770);

    // Target block; Line7 is 4 pixels wide.
    add("Line8", inWindow(100, 784), own(kNavy));
    add("Demande", inWindow(3, 788), own(kLightMagenta));
    add("Line6", inWindow(100, 809), own(kNavy));
    add("Objectif", inWindow(3, 856), own(kLightMagenta));
    add("Objectif, last row shown", inWindow(3, 857), own(kLightMagenta));
    add("Objectif left of Line7", inWindow(173, 830), own(kLightMagenta));
    add("Line7 left", inWindow(174, 830), own(kNavy));
    add("Line7 right", inWindow(177, 830), own(kNavy));
    map("map right of Line7", 178, 830);
    add("Line7 to the bottom edge", inWindow(176, 858), own(kNavy));

    // Right panel, with the 3-pixel strip of map right of Notation.
    add("Line3", inWindow(776, 10), own(kNavy));
    add("Notation", inWindow(779, 3), own(kYellow));
    add("Notation, right end", inWindow(944, 3), own(kYellow));
    map("strip right of Notation", 945, 3);
    map("strip, last column", 947, 30);
    add("Label1 dash", inWindow(784, 24), role(QPalette::Button));
    add("Label1 dash, first shown", inWindow(778, 24), role(QPalette::Button));
    add("Notation right of Label1", inWindow(785, 24), own(kYellow));
    add("Notation above Label1", inWindow(780, 23), own(kYellow));
    add("Notation below Label1", inWindow(780, 25), own(kYellow));
    add("Line1", inWindow(900, 40), own(kNavy));
    add("Line1 reaches the edge", inWindow(947, 40), own(kNavy));
    add("Note", inWindow(780, 44), own(kYellow));
    add("sur reaches the edge", inWindow(947, 50), own(kYellow));
    add("Line2", inWindow(800, 80), own(kNavy));
    add("Erreurs", inWindow(780, 110), own(kYellow));
    add("Erreurs reaches the edge", inWindow(947, 110), own(kYellow));
    add("Line4", inWindow(800, 113), own(kNavy));
    map("map below Line4", 800, 114);
    map("map left of Line3", 774, 50);

    // DEPART's face, over the sea below the name panel.
    add("DEPART face", inWindow(40, 186), role(QPalette::Button));
    map("map left of DEPART", 31, 150);
    map("map below DEPART", 100, 193);
}

void QuizPixelsTest::pixelsAtLoad()
{
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    QFETCH(QPoint, mapPixel);
    const QColor expected = mapPixel.x() < 0 ? colour : map_.pixelColor(mapPixel);
    QCOMPARE(atLoad_.pixelColor(at), expected);
}

void QuizPixelsTest::pixelsAllVisible_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("bitmap"); // the colour is this bitmap's, when given
    QTest::addColumn<QPoint>("bitmapPixel");

    const auto add = [](const char* name, QPoint at, QColor colour) {
        QTest::newRow(name) << at << colour << QString() << QPoint();
    };
    const auto shows = [](const char* name, QPoint at, const char* bitmap, QPoint pixel) {
        QTest::newRow(name) << at << QColor() << QString::fromLatin1(bitmap) << pixel;
    };

    // DrapeauAllemand: 60 x 39 in an inner area of 61 x 37 from (882, 138).
    shows("Allemand, first pixel", inWindow(882, 138), "DrapeauAllemand", {0, 0});
    shows("Allemand, last column", inWindow(941, 150), "DrapeauAllemand", {59, 12});
    shows("Allemand, last row shown", inWindow(900, 174), "DrapeauAllemand", {18, 36});
    add("Allemand, back colour strip", inWindow(942, 150), role(QPalette::Button));
    add("Allemand, back colour strip bottom", inWindow(942, 174), role(QPalette::Button));
    add("Allemand, border below", inWindow(900, 175), role(QPalette::Midlight));
    add("Allemand, border left", inWindow(880, 150), role(QPalette::Dark));
    // Its box lies under it, hidden.
    shows("Allemand hides Check1", inWindow(918, 158), "DrapeauAllemand", {36, 20});

    // Phoque shows its top-left 44 x 21 from (434, 2).
    shows("Phoque, first pixel", inWindow(434, 2), "Phoque", {0, 0});
    shows("Phoque, last pixel shown", inWindow(477, 22), "Phoque", {43, 20});
    add("Phoque, border right", inWindow(478, 10), role(QPalette::Midlight));
    add("Phoque, border below", inWindow(450, 23), role(QPalette::Midlight));

    // DrapeauAnglais exactly fills its frame; Luxembourg leaves a strip right and below.
    shows("Anglais, last pixel", inWindow(349, 30), "DrapeauAnglais", {59, 28});
    add("Anglais, border right", inWindow(350, 30), role(QPalette::Midlight));
    shows("Luxembourg, last pixel", inWindow(741, 156), "DrapeauLuxembourg", {59, 34});
    add("Luxembourg, strip right", inWindow(742, 140), role(QPalette::Button));
    add("Luxembourg, strip below", inWindow(700, 157), role(QPalette::Button));

    // An answer box on its own: the indicator fills all 13 x 13 pixels.
    add("Check30, outer frame", inWindow(48, 262), role(QPalette::Dark));
    add("Check30, inner frame", inWindow(49, 262), role(QPalette::Shadow));
    add("Check30, well", inWindow(54, 262), role(QPalette::Base));
    add("Check30, right edge", inWindow(60, 262), role(QPalette::Light));
    add("Check30, bottom edge", inWindow(54, 268), role(QPalette::Light));
}

void QuizPixelsTest::pixelsAllVisible()
{
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    QFETCH(QString, bitmap);
    QFETCH(QPoint, bitmapPixel);
    const QColor expected = bitmap.isEmpty() ? colour : this->bitmap(qPrintable(bitmap)).pixelColor(bitmapPixel);
    QCOMPARE(allVisible_.pixelColor(at), expected);
}

QTEST_MAIN(QuizPixelsTest)
#include "tst_layout_pixels.moc"
