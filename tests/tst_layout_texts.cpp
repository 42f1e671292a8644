// Guards the quiz window's texts: a face or size other than the bundled
// ones, a fixed text that wraps or is cut, a blank that does not count in
// the centring, instructions or a name that spill out of their panel, and a
// caption of DEPART that does not fit its button.
#include "QuizWindow.h"
#include "TestSupport.h"

#include "quiz/Catalogue.h"
#include "quiz/France.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Controls.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <cmath>

using namespace varnelle;
using namespace varnelle::layout;
using varnelle::test::inWindow;
using varnelle::test::own;
using varnelle::test::role;
using varnelle::test::shownFrance;

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

class QuizTextsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void fontsAreTheBundledFaces_data();
    void fontsAreTheBundledFaces();
    void fixedTextsFitOnOneLine_data();
    void fixedTextsFitOnOneLine();
    void trailingBlankTakesPartInCentring();
    void instructionsWrapAndAreCutAtTheBottom();
    void longNameIsCutAfterOneLine();
    void departCaptionsFit_data();
    void departCaptionsFit();
};

void QuizTextsTest::fontsAreTheBundledFaces_data()
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

void QuizTextsTest::fontsAreTheBundledFaces()
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

void QuizTextsTest::fixedTextsFitOnOneLine_data()
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

void QuizTextsTest::fixedTextsFitOnOneLine()
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

void QuizTextsTest::trailingBlankTakesPartInCentring()
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

void QuizTextsTest::instructionsWrapAndAreCutAtTheBottom()
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
    const QImage map = test::carteImage();
    for (int y = 643; y < 660; ++y) {
        for (int x = 0; x < 180; ++x)
            QCOMPARE(window.pixelColor(inWindow(x, y)), map.pixelColor(x, y));
    }
    const QImage image = rubrique.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Wrapped within the panel: lines run from its left edge to near its right.
    const auto [first, last] = inkColumns(image, own(kLightCyan));
    QVERIFY(first < 3);
    QVERIFY(last > 150);
}

void QuizTextsTest::longNameIsCutAfterOneLine()
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

void QuizTextsTest::departCaptionsFit_data()
{
    QTest::addColumn<QString>("caption");
    for (const char* caption : {kDepart.caption, catalogue::kPassOn, catalogue::kFinish, "Clique ici pour sortir"})
        QTest::newRow(caption) << QString::fromUtf8(caption);
}

void QuizTextsTest::departCaptionsFit()
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

QTEST_MAIN(QuizTextsTest)
#include "tst_layout_texts.moc"
