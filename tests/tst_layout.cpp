// Guards the quiz window's layout: a control a pixel off or in the wrong
// colour, a panel the map shows through, a picture that lets a click reach the
// box it hides, a text that spills out of its panel, a broken tab chain, an
// answer box without a focus cue, and repaints that spread over the whole map.
#include "TestSupport.h"

#include "auxwindows/Erreur.h"
#include "quiz/Catalogue.h"
#include "quiz/France.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using namespace varnelle;
using namespace varnelle::layout;

namespace {

// Where a point of the map box's inner area lies in the window: past the
// 2-pixel border at the left and top.
QPoint inWindow(int x, int y)
{
    return {x + PictureBox::kBorder, y + PictureBox::kBorder};
}

QColor own(Colour colour)
{
    return toQColor(colour);
}

QColor role(QPalette::ColorRole colourRole)
{
    return QApplication::palette().color(colourRole);
}

// Counts the paint events each widget receives.
class PaintCounter : public QObject {
public:
    QSet<QObject*> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted.insert(watched);
        return false;
    }
};

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void windowFrame();
    void tableInvariants();
    void fontsAreTheBundledFaces_data();
    void fontsAreTheBundledFaces();
    void builtControlsDoNotOverlap();
    void pixelsAtLoad_data();
    void pixelsAtLoad();
    void pixelsAllVisible_data();
    void pixelsAllVisible();
    void pictureTakesTheClickOfItsBox_data();
    void pictureTakesTheClickOfItsBox();
    void passiveControlsIgnoreClicks_data();
    void passiveControlsIgnoreClicks();
    void fixedTextsFitOnOneLine_data();
    void fixedTextsFitOnOneLine();
    void trailingBlankTakesPartInCentring();
    void instructionsWrapAndAreCutAtTheBottom();
    void longNameIsCutAfterOneLine();
    void departCaptionsFit_data();
    void departCaptionsFit();
    void tabFollowsTabIndices_data();
    void tabFollowsTabIndices();
    void spaceBarActsAsAClick_data();
    void spaceBarActsAsAClick();
    void focusedBoxShowsACue();
    void mapIsDecodedOnceAtCreation();
    void captionChangeRepaintsOnlyItsLabel();

private:
    std::unique_ptr<test::App> app_;
    France* france_ = nullptr;
    QImage map_;
    QImage atLoad_;
    QImage allVisible_;

    QWidget* child(const char* name) const;
    QImage bitmap(const char* picture) const;
    std::unique_ptr<test::App> shownFrance(France*& france) const;
};

void LayoutTest::initTestCase()
{
    test::setUpOnce();
    app_ = std::make_unique<test::App>();
    france_ = &*app_->forms.france;
    france_->NOM().setCaption(QStringLiteral("Zo\u00e9"));
    app_->forms.france.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(france_));
    map_ = QImage(QString::fromLatin1(kCarteImage)).convertToFormat(QImage::Format_RGB32);
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

void LayoutTest::cleanupTestCase()
{
    app_.reset();
}

QWidget* LayoutTest::child(const char* name) const
{
    auto* found = france_->findChild<QWidget*>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

QImage LayoutTest::bitmap(const char* picture) const
{
    return QImage(QStringLiteral(":/rewards/%1.bmp").arg(QString::fromLatin1(picture)))
        .convertToFormat(QImage::Format_RGB32);
}

std::unique_ptr<test::App> LayoutTest::shownFrance(France*& france) const
{
    auto app = std::make_unique<test::App>();
    france = &*app->forms.france;
    app->forms.france.setVisible(true);
    france->activateWindow();
    if (!QTest::qWaitForWindowActive(france))
        qWarning("the quiz window did not become active");
    return app;
}

void LayoutTest::windowFrame()
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

void LayoutTest::tableInvariants()
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

void LayoutTest::fontsAreTheBundledFaces_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixels"); // the size in points at 96 dots per inch
    QTest::addColumn<bool>("bold");

    const QString serif = QStringLiteral("Liberation Serif");
    QTest::newRow("Test") << QStringLiteral("Test") << serif << 16 << true;
    QTest::newRow("NOM") << QStringLiteral("NOM") << serif << 15 << true;
    QTest::newRow("Theme") << QStringLiteral("Theme") << serif << 19 << true;
    QTest::newRow("Note") << QStringLiteral("Note") << serif << 29 << true;
    QTest::newRow("sur") << QStringLiteral("sur") << serif << 27 << true;
    QTest::newRow("Erreurs") << QStringLiteral("Erreurs") << serif << 24 << true;
    QTest::newRow("DEPART") << QStringLiteral("DEPART") << QStringLiteral("Quicksand") << 19 << true;
    QTest::newRow("Label1") << QStringLiteral("Label1") << QStringLiteral("Liberation Sans") << 11 << false;
    QTest::newRow("Check1") << QStringLiteral("Check1") << QStringLiteral("Liberation Sans") << 11 << false;
}

void LayoutTest::fontsAreTheBundledFaces()
{
    QFETCH(QString, control);
    QFETCH(QString, family);
    QFETCH(int, pixels);
    QFETCH(bool, bold);

    test::App app;
    auto* widget = app.forms.france->findChild<QWidget*>(control);
    QVERIFY(widget);
    const QFontInfo resolved(widget->font());
    QCOMPARE(resolved.family(), family);
    QCOMPARE(resolved.pixelSize(), pixels);
    QCOMPARE(resolved.bold(), bold);
}

void LayoutTest::builtControlsDoNotOverlap()
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

void LayoutTest::pixelsAtLoad_data()
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

void LayoutTest::pixelsAtLoad()
{
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    QFETCH(QPoint, mapPixel);
    const QColor expected = mapPixel.x() < 0 ? colour : map_.pixelColor(mapPixel);
    QCOMPARE(atLoad_.pixelColor(at), expected);
}

void LayoutTest::pixelsAllVisible_data()
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

void LayoutTest::pixelsAllVisible()
{
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    QFETCH(QString, bitmap);
    QFETCH(QPoint, bitmapPixel);
    const QColor expected = bitmap.isEmpty() ? colour : this->bitmap(qPrintable(bitmap)).pixelColor(bitmapPixel);
    QCOMPARE(allVisible_.pixelColor(at), expected);
}

void LayoutTest::pictureTakesTheClickOfItsBox_data()
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

void LayoutTest::pictureTakesTheClickOfItsBox()
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

void LayoutTest::passiveControlsIgnoreClicks_data()
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

void LayoutTest::passiveControlsIgnoreClicks()
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

void LayoutTest::fixedTextsFitOnOneLine_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("lines");

    const auto add = [](const char* label, const char* caption, int lines) {
        QTest::addRow("%s \"%s\"", label, caption) << QString::fromLatin1(label) << QString::fromUtf8(caption) << lines;
    };
    add("Note", "0", 1);
    add("Note", " 54", 1); // the widest count
    add("sur", "sur 54 ", 1);
    add("Test", "Evaluation effectu\u00e9e par", 1);
    add("Theme", "Th\u00e8me de travail :", 1);
    add("Demande", "Objectif \u00e0 trouver", 1);
    add("Erreurs", "Aucune erreur", 1);
    add("Erreurs", " 54 erreurs", 1);
    // The title of the right panel sits on two lines above Line1.
    add("Notation", "Progression du test   Item en cours", 2);
}

void LayoutTest::fixedTextsFitOnOneLine()
{
    QFETCH(QString, label);
    QFETCH(QString, caption);
    QFETCH(int, lines);

    test::App app;
    auto* shown = app.forms.france->findChild<Label*>(label);
    QVERIFY(shown);
    shown->setCaption(caption);
    QCOMPARE(shown->shownLines(), lines);
    QVERIFY(!shown->isCut());
    if (lines == 1)
        QVERIFY(QFontMetrics(shown->font()).horizontalAdvance(caption) <= shown->width());
}

namespace {

// The rows of a grab, from `from` down, that hold nothing but `back`.
bool onlyBackBelow(const QImage& image, int from, QColor back)
{
    for (int y = from; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != back)
                return false;
        }
    }
    return true;
}

// The columns of a grab that hold some pixel other than `back`.
std::pair<int, int> inkColumns(const QImage& image, QColor back)
{
    int first = image.width();
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != back) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

} // namespace

void LayoutTest::trailingBlankTakesPartInCentring()
{
    test::App app;
    auto* sur = app.forms.france->findChild<Label*>(QStringLiteral("sur"));
    QVERIFY(sur);
    const auto inkOf = [sur](const QString& caption) {
        sur->setCaption(caption);
        return inkColumns(sur->grab().toImage().convertToFormat(QImage::Format_RGB32), own(kYellow));
    };
    const auto [bareFirst, bareLast] = inkOf(QStringLiteral("sur 54"));
    const auto [first, last] = inkOf(QStringLiteral("sur 54 "));
    const qreal halfBlank = QFontMetricsF(sur->font()).horizontalAdvance(QLatin1Char(' ')) / 2;
    QVERIFY(halfBlank >= 2);
    QVERIFY(std::abs(bareFirst - first - halfBlank) <= 1);
    QVERIFY(std::abs(bareLast - last - halfBlank) <= 1);
    // The three blanks of Notation's title push "Item" onto a line of its
    // own; blanks where a line wraps do not count in the centring.
    auto* notation = app.forms.france->findChild<Label*>(QStringLiteral("Notation"));
    QVERIFY(notation);
    notation->setCaption(QStringLiteral("Progression du test\r\nItem en cours"));
    const QImage broken = notation->grab().toImage();
    notation->setCaption(QStringLiteral("Progression du test   Item en cours"));
    QCOMPARE(notation->grab().toImage(), broken);
}

void LayoutTest::instructionsWrapAndAreCutAtTheBottom()
{
    France* france = nullptr;
    const auto app = shownFrance(france);
    Label& rubrique = *france->controls().Rubrique;
    QCOMPARE(rubrique.size(), QSize(169, 249));

    // The longest instruction of a session, the seas', after the name given
    // to a player who types none: its last line just shows.
    france->NOM().setCaption(QStringLiteral("Utilisateur Anonyme"));
    france->DEPART_Click();
    for (int n = 1; n <= 7; ++n)
        france->Check_Click(n);
    france->DEPART_Click();
    QVERIFY(rubrique.Caption().endsWith(QStringLiteral("OBJECTIF \u00e0 trouver ...")));
    test::saveGrab(france, QStringLiteral("France-seas"));
    QVERIFY(!rubrique.isCut());
    QCOMPARE(rubrique.shownLines(), 14);

    // A name on two lines pushes the last line below the bottom edge: the
    // label keeps its size and nothing of the text spills onto the map below.
    const QString twoLines = QStringLiteral("Marie-Charlotte Dupont-Lefebvre");
    QString longer = rubrique.Caption();
    rubrique.setCaption(longer.replace(QStringLiteral("Utilisateur Anonyme"), twoLines));
    QVERIFY(rubrique.isCut());
    QCOMPARE(rubrique.shownLines(), 14);
    QCOMPARE(rubrique.size(), QSize(169, 249));
    const QImage window = france->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 643; y < 660; ++y) {
        for (int x = 0; x < 180; ++x)
            QCOMPARE(window.pixelColor(inWindow(x, y)), map_.pixelColor(x, y));
    }
    const QImage image = rubrique.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Wrapped within the panel: lines run from its left edge to near its right.
    const auto [first, last] = inkColumns(image, own(kLightCyan));
    QVERIFY(first < 3);
    QVERIFY(last > 150);
}

void LayoutTest::longNameIsCutAfterOneLine()
{
    test::App app;
    Label& nom = app.forms.france->NOM();
    QCOMPARE(nom.size(), QSize(217, 25));
    nom.setCaption(QStringLiteral("Marie-Charlotte Dupont-Lefebvre de la Rochefoucauld"));
    QCOMPARE(nom.shownLines(), 1);
    QVERIFY(nom.isCut());
    const QImage image = nom.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(onlyBackBelow(image, QFontMetrics(nom.font()).height() + 1, own(kGreen)));
    QVERIFY(!onlyBackBelow(image, 0, own(kGreen)));
}

void LayoutTest::departCaptionsFit_data()
{
    QTest::addColumn<QString>("caption");
    for (const char* caption : {kDepart.caption, catalogue::kPassOn, catalogue::kFinish, "Clique ici pour sortir"})
        QTest::newRow(caption) << QString::fromUtf8(caption);
}

void LayoutTest::departCaptionsFit()
{
    QFETCH(QString, caption);
    test::App app;
    CommandButton& depart = *app.forms.france->controls().DEPART;
    QCOMPARE(depart.size(), QSize(137, 81));
    depart.setCaption(caption);
    test::saveGrab(&depart, QStringLiteral("DEPART-%1").arg(caption.size()));

    // Inside the bevel, every word whole and every line shown.
    const QRect face = depart.rect().adjusted(2, 2, -2, -2);
    const QFontMetrics metrics(depart.font());
    const QRect text = metrics.boundingRect(face, Qt::AlignCenter | Qt::TextWordWrap, caption);
    QVERIFY2(face.contains(text), qPrintable(QStringLiteral("%1 x %2").arg(text.width()).arg(text.height())));
    QVERIFY(text.height() > metrics.height());
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        QVERIFY(metrics.horizontalAdvance(word) <= face.width());

    // Drawn there, centred and wrapped: no ink outside that text block.
    const QImage image = depart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect ink;
    for (int y = face.top(); y <= face.bottom(); ++y) {
        for (int x = face.left(); x <= face.right(); ++x) {
            if (image.pixelColor(x, y) != role(QPalette::Button))
                ink |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY2(
        text.adjusted(-1, -1, 1, 1).contains(ink),
        qPrintable(QStringLiteral("ink %1,%2 %3 x %4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
    QVERIFY(ink.height() > metrics.height());
}

void LayoutTest::tabFollowsTabIndices_data()
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

void LayoutTest::tabFollowsTabIndices()
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

void LayoutTest::spaceBarActsAsAClick_data()
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

void LayoutTest::spaceBarActsAsAClick()
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

void LayoutTest::focusedBoxShowsACue()
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

void LayoutTest::mapIsDecodedOnceAtCreation()
{
    test::App app;
    France& france = *app.forms.france;
    const QPixmap& map = france.controls().Carte->Picture();
    QCOMPARE(map.size(), QSize(950, 860));
    const qint64 decoded = map.cacheKey();
    app.forms.france.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(&france));
    france.grab();
    france.controls().Note->setCaption(QStringLiteral(" 3"));
    france.grab();
    QCOMPARE(france.controls().Carte->Picture().cacheKey(), decoded);
}

void LayoutTest::captionChangeRepaintsOnlyItsLabel()
{
    France* france = nullptr;
    const auto app = shownFrance(france);
    QApplication::processEvents();
    Label* note = france->controls().Note;

    PaintCounter counter;
    qApp->installEventFilter(&counter);
    note->setCaption(QStringLiteral(" 7"));
    QTRY_VERIFY(counter.painted.contains(note));
    qApp->removeEventFilter(&counter);

    // Lines over the label's edges repaint with it; nothing else does.
    for (QObject* painted : std::as_const(counter.painted)) {
        auto* widget = qobject_cast<QWidget*>(painted);
        QVERIFY(widget);
        const bool lineOverNote = dynamic_cast<Line*>(widget) && widget->geometry().intersects(note->geometry());
        QVERIFY2(widget == note || lineOverNote, qPrintable(widget->objectName()));
    }
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
