// Guards the committed relief map: its file format, and that every answer box
// of the quiz window lies on its target's feature. The class mask
// carte-classes.png is written by tools/artwork/relief_map.py from the same
// rasters as the map; the colour checks tie the mask to carte.jpg, so a map
// regenerated, shifted or swapped without its mask fails. Every test runs on
// the map for high-density screens too (carte@2x.jpg and its own mask), where
// each box covers twice the pixels each way.
#include "quiz/Catalogue.h"
#include "quizwindow/CarteClasses.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Twips.h"

#include <QFile>
#include <QImage>
#include <QTest>

#include <array>
#include <cmath>

using namespace varnelle;

namespace {

using namespace varnelle::mask;

constexpr const varnelle::catalogue::Theme& kCities = varnelle::catalogue::kThemes.back();
static_assert(LastCity - FirstCity == kCities.last - kCities.first, "one symbol class for each city of the quiz");

constexpr int cityOfBox(int box)
{
    return FirstCity + box - kCities.first;
}

bool isSymbol(int value)
{
    return (value >= FirstCity && value <= LastCity) || value == Town;
}

// How much of a box its feature must cover: a country or a sea the whole box,
// a massif's high ground at least half of it, a river line or a city symbol
// a few pixels of it.
enum class Cover { Whole, Half, Touch };

constexpr QSize kMapSize{950, 860};

QString mapPath(int scale)
{
    return QStringLiteral(VARNELLE_SOURCE_DIR "/assets/map/carte%1.jpg")
        .arg(scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale));
}

QString maskPath(int scale)
{
    return QStringLiteral(VARNELLE_SOURCE_DIR "/assets/map/carte-classes%1.png")
        .arg(scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale));
}

// The map pixels under a box of the layout, on the map drawn at that scale.
QRect underBox(const varnelle::layout::AnswerBoxRow& row, int scale)
{
    const QRect r = toPixels(row.rect, varnelle::layout::kCarteScale);
    return {r.topLeft() * scale, r.size() * scale};
}

QImage loadMask(int scale)
{
    QImage mask(maskPath(scale));
    if (mask.format() == QImage::Format_Indexed8) {
        // Palette PNG: take the index, not the colour.
        QImage grey(mask.size(), QImage::Format_Grayscale8);
        for (int y = 0; y < mask.height(); ++y)
            for (int x = 0; x < mask.width(); ++x)
                grey.scanLine(y)[x] = static_cast<uchar>(mask.pixelIndex(x, y));
        return grey;
    }
    return mask;
}

int classAt(const QImage& mask, int x, int y)
{
    return mask.constScanLine(y)[x];
}

double luma(QRgb c)
{
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

struct Mean {
    double r = 0, g = 0, b = 0, l = 0;
    int n = 0;
    void add(QRgb c) { r += qRed(c), g += qGreen(c), b += qBlue(c), l += luma(c), ++n; }
    double red() const { return r / n; }
    double green() const { return g / n; }
    double blue() const { return b / n; }
    double lum() const { return l / n; }
};

} // namespace

Q_DECLARE_METATYPE(Cover)

class ArtworkMapTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data();
    void jpegIsBaselineJfifWithHalfResolutionChroma();
    void maskMatchesTheMapSize();
    void featureUnderBox_data();
    void featureUnderBox();
    void noStraySymbolUnderAnyBox();
    void maskAgreesWithTheMapColours();
};

void ArtworkMapTest::initTestCase_data()
{
    QTest::addColumn<int>("scale");
    QTest::newRow("1x") << 1;
    QTest::newRow("2x") << 2;
}

void ArtworkMapTest::jpegIsBaselineJfifWithHalfResolutionChroma()
{
    QFETCH_GLOBAL(int, scale);
    QFile file(mapPath(scale));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(mapPath(scale)));
    const QByteArray data = file.readAll();
    const auto byte = [&](qsizetype i) { return static_cast<quint8>(data.at(i)); };
    const auto word = [&](qsizetype i) { return (byte(i) << 8) | byte(i + 1); };

    QVERIFY(data.size() > 4 && byte(0) == 0xFF && byte(1) == 0xD8);
    // JFIF: an APP0 segment straight after the start of image.
    QCOMPARE(byte(2), quint8(0xFF));
    QCOMPARE(byte(3), quint8(0xE0));
    QCOMPARE(data.mid(6, 5), QByteArray("JFIF\0", 5));

    bool sawFrame = false;
    qsizetype i = 2;
    while (i + 4 <= data.size()) {
        QCOMPARE(byte(i), quint8(0xFF));
        const int marker = byte(i + 1);
        if (marker == 0xDA) // start of scan: the frame header came before
            break;
        const int length = word(i + 2);
        // Any other start-of-frame (extended, progressive, lossless,
        // arithmetic) would not be a baseline image.
        const bool otherFrame = marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        QVERIFY2(!otherFrame, qPrintable(QStringLiteral("frame marker FF%1").arg(marker, 2, 16)));
        if (marker == 0xC0) {
            sawFrame = true;
            QCOMPARE(byte(i + 4), quint8(8));                 // bits per sample
            QCOMPARE(word(i + 5), kMapSize.height() * scale); // lines
            QCOMPARE(word(i + 7), kMapSize.width() * scale);  // samples per line
            QCOMPARE(byte(i + 9), quint8(3));                 // components
            // Luminance sampled 2 x 2, both chrominance components 1 x 1.
            QCOMPARE(byte(i + 10 + 1), quint8(0x22));
            QCOMPARE(byte(i + 13 + 1), quint8(0x11));
            QCOMPARE(byte(i + 16 + 1), quint8(0x11));
        }
        i += 2 + length;
    }
    QVERIFY2(sawFrame, "no baseline frame header (SOF0)");
    QCOMPARE(QImage(mapPath(scale)).size(), kMapSize * scale);
}

void ArtworkMapTest::maskMatchesTheMapSize()
{
    QFETCH_GLOBAL(int, scale);
    const QImage mask = loadMask(scale);
    QVERIFY2(!mask.isNull(), qPrintable(maskPath(scale)));
    QCOMPARE(mask.format(), QImage::Format_Grayscale8);
    QCOMPARE(mask.size(), kMapSize * scale);
}

void ArtworkMapTest::featureUnderBox_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("expected");
    QTest::addColumn<Cover>("cover");

    const std::array<std::pair<int, int>, 11> countriesAndSeas{{
        {1, Germany},
        {2, Belgium},
        {3, Spain},
        {4, UnitedKingdom},
        {5, Italy},
        {6, Luxembourg},
        {7, Switzerland},
        {8, Sea},
        {9, Sea},
        {10, Sea},
        {11, Sea},
    }};
    for (const auto& [box, expected] : countriesAndSeas)
        QTest::addRow("box %d country or sea", box) << box << expected << Cover::Whole;

    const std::array<std::pair<int, int>, 5> rivers{{
        {12, Garonne},
        {13, Loire},
        {14, Rhine},
        {15, Rhone},
        {16, Seine},
    }};
    for (const auto& [box, expected] : rivers)
        QTest::addRow("box %d river", box) << box << expected << Cover::Touch;

    const std::array<std::pair<int, int>, 6> summits{{
        {17, MontBlanc},
        {18, CorsicanMountains},
        {19, Jura},
        {20, MassifCentral},
        {21, Pyrenees},
        {22, Vosges},
    }};
    for (const auto& [box, expected] : summits)
        QTest::addRow("box %d summit", box) << box << expected << Cover::Half;

    for (int box = kCities.first; box <= kCities.last; ++box)
        QTest::addRow("box %d city", box) << box << cityOfBox(box) << Cover::Touch;
}

void ArtworkMapTest::featureUnderBox()
{
    QFETCH(int, box);
    QFETCH(int, expected);
    QFETCH(Cover, cover);
    QFETCH_GLOBAL(int, scale);

    const QImage mask = loadMask(scale);
    QVERIFY(!mask.isNull());
    const auto row = layout::kAnswerBoxes.at(static_cast<size_t>(box - 1));
    QCOMPARE(row.number, box);
    const QRect r = underBox(row, scale);
    QVERIFY(QRect(QPoint(), kMapSize * scale).contains(r));

    int hits = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            hits += classAt(mask, x, y) == expected;
    const int area = r.width() * r.height();
    const QByteArray why = QByteArray::number(hits) + " of " + QByteArray::number(area) + " pixels of class " +
                           QByteArray::number(expected);
    switch (cover) {
    case Cover::Whole:
        QVERIFY2(hits == area, why.constData());
        break;
    case Cover::Half:
        QVERIFY2(2 * hits >= area, why.constData());
        break;
    case Cover::Touch:
        QVERIFY2(hits >= 3 * scale * scale, why.constData());
        break;
    }
}

void ArtworkMapTest::noStraySymbolUnderAnyBox()
{
    // A second town symbol under a box would let a child click the wrong
    // town and be right, or the right town and doubt it.
    QFETCH_GLOBAL(int, scale);
    const QImage mask = loadMask(scale);
    QVERIFY(!mask.isNull());
    for (const auto& row : layout::kAnswerBoxes) {
        const QRect r = underBox(row, scale);
        const int own = row.number >= kCities.first ? cityOfBox(row.number) : -1;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const int value = classAt(mask, x, y);
                if (isSymbol(value) && value != own)
                    QFAIL(qPrintable(QStringLiteral("box %1: symbol of class %2 at (%3, %4)")
                                         .arg(row.number)
                                         .arg(value)
                                         .arg(x)
                                         .arg(y)));
            }
    }
}

void ArtworkMapTest::maskAgreesWithTheMapColours()
{
    QFETCH_GLOBAL(int, scale);
    const QImage map = QImage(mapPath(scale)).convertToFormat(QImage::Format_RGB32);
    const QImage mask = loadMask(scale);
    QVERIFY(!map.isNull() && !mask.isNull());

    Mean openSea, land, cities, borders, blank;
    std::array<Mean, 5> rivers;
    for (int y = 3; y < map.height() - 3; ++y) {
        for (int x = 3; x < map.width() - 3; ++x) {
            const int value = classAt(mask, x, y);
            const QRgb colour = map.pixel(x, y);
            // Open sea: sea for 3 pixels around, away from coasts and JPEG
            // ringing.
            bool allAround = true;
            for (int dy = -3; dy <= 3 && allAround; ++dy)
                for (int dx = -3; dx <= 3 && allAround; ++dx)
                    allAround = classAt(mask, x + dx, y + dy) == value;
            if (value == Sea && allAround)
                openSea.add(colour);
            else if (value >= France && value <= 21 && allAround)
                land.add(colour);
            else if (value >= Garonne && value <= Seine)
                rivers[static_cast<size_t>(value - Garonne)].add(colour);
            else if (value >= FirstCity && value <= LastCity)
                cities.add(colour);
            else if (value == Border)
                borders.add(colour);
            else if (value == Blank && allAround)
                blank.add(colour);
        }
    }
    QVERIFY(openSea.n > 100000 && land.n > 100000 && cities.n > 32 * 30 && blank.n > 10000);

    // Light blue sea.
    QVERIFY2(std::abs(openSea.red() - 166) < 12 && std::abs(openSea.green() - 206) < 12 &&
                 std::abs(openSea.blue() - 234) < 12,
             qPrintable(QStringLiteral("sea %1 %2 %3").arg(openSea.red()).arg(openSea.green()).arg(openSea.blue())));
    // Dark blue-green rivers, darker than the land by far; a line shifted
    // by a pixel or two loses most of its darkness.
    for (size_t i = 0; i < rivers.size(); ++i) {
        const Mean& river = rivers[i];
        QVERIFY2(river.n > 100, qPrintable(QStringLiteral("river class %1 is missing").arg(Garonne + int(i))));
        QVERIFY2(river.lum() < 95 && river.lum() < land.lum() - 80 && river.blue() > river.red() + 20,
                 qPrintable(QStringLiteral("river class %1: %2 %3 %4")
                                .arg(Garonne + int(i))
                                .arg(river.red())
                                .arg(river.green())
                                .arg(river.blue())));
    }
    QVERIFY2(cities.lum() < 70, qPrintable(QString::number(cities.lum())));
    QVERIFY2(borders.lum() < 70, qPrintable(QString::number(borders.lum())));
    QVERIFY2(blank.red() > 240 && blank.green() > 240 && blank.blue() > 240, "blank corners are not near-white");
}

QTEST_GUILESS_MAIN(ArtworkMapTest)
#include "tst_artwork_map.moc"
