// Guards the committed reward bitmaps, pictures and icons against a wrong file
// format (compressed, top-down, wrong depth or size), a swapped or mirrored
// flag, a sign or cup drawn where the windows clip it or lay their label, and
// icons that a 16-colour icon reader would refuse or show opaque.
// The files are written by tools/artwork/pictures.py.
#include <QFile>
#include <QImage>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

QString assetPath(const char* relative)
{
    return QStringLiteral(VARNELLE_SOURCE_DIR "/assets/") + QLatin1String(relative);
}

QByteArray readAsset(const char* relative)
{
    QFile file(assetPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

quint16 u16(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 u32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

qint32 i32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<qint32>(data.constData() + at);
}

// A 24-bit bottom-up BMP read by hand, so the test sees the stored rows and
// not what an image reader makes of them.
struct Bmp {
    QByteArray data;
    int width = 0;
    int height = 0;
    qsizetype pixels = 0;
    qsizetype stride = 0;

    explicit Bmp(const char* relative) : data(readAsset(relative))
    {
        if (data.size() < 54)
            return;
        pixels = u32(data, 10);
        width = i32(data, 18);
        height = i32(data, 22);
        stride = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
    }
    // (x, y) counted from the top-left corner, as the picture is seen.
    std::array<int, 3> rgb(int x, int y) const
    {
        const qsizetype at = pixels + qsizetype(height - 1 - y) * stride + qsizetype(x) * 3;
        const auto byte = [&](qsizetype i) { return int(quint8(data.at(i))); };
        return {byte(at + 2), byte(at + 1), byte(at)};
    }
};

bool near(const std::array<int, 3>& got, const std::array<int, 3>& want, int tolerance)
{
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > tolerance)
            return false;
    return true;
}

QByteArray describe(const std::array<int, 3>& c)
{
    return QByteArray("(") + QByteArray::number(c[0]) + ", " + QByteArray::number(c[1]) + ", " +
           QByteArray::number(c[2]) + ")";
}

using Rgb = std::array<int, 3>;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGermanRed{221, 0, 0};
constexpr Rgb kGermanGold{255, 206, 0};
constexpr Rgb kBelgianYellow{253, 218, 36};
constexpr Rgb kBelgianRed{239, 51, 64};
constexpr Rgb kSpanishRed{173, 21, 25};
constexpr Rgb kSpanishYellow{250, 189, 0};
constexpr Rgb kUnionBlue{1, 33, 105};
constexpr Rgb kUnionRed{200, 16, 46};
constexpr Rgb kItalianGreen{0, 146, 70};
constexpr Rgb kItalianWhite{244, 245, 240};
constexpr Rgb kItalianRed{206, 43, 55};
constexpr Rgb kLuxembourgRed{237, 41, 57};
constexpr Rgb kLuxembourgBlue{0, 163, 224};
constexpr Rgb kSwissRed{218, 41, 28};
constexpr Rgb kSignRed{214, 24, 32};

// The standard 16-colour palette, in the order an icon indexes it.
constexpr std::array<Rgb, 16> kPalette16{{{0, 0, 0},
                                          {128, 0, 0},
                                          {0, 128, 0},
                                          {128, 128, 0},
                                          {0, 0, 128},
                                          {128, 0, 128},
                                          {0, 128, 128},
                                          {192, 192, 192},
                                          {128, 128, 128},
                                          {255, 0, 0},
                                          {0, 255, 0},
                                          {255, 255, 0},
                                          {0, 0, 255},
                                          {255, 0, 255},
                                          {0, 255, 255},
                                          {255, 255, 255}}};

// One image of an ICO file: the palette index and mask bit of each pixel.
struct IcoImage {
    int size = 0;
    QList<int> index;  // row-major from the top
    QList<bool> clear; // AND mask: true where transparent
    int at(int x, int y) const { return index.at(y * size + x); }
    bool transparent(int x, int y) const { return clear.at(y * size + x); }
};

} // namespace

Q_DECLARE_METATYPE(Rgb)

class ArtworkPicturesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bitmapHeader_data();
    void bitmapHeader();
    void colourProbe_data();
    void colourProbe();
    void signLeavesTheClippedEdgesWhite();
    void cupLeavesTheLabelBandDark();
    void iconFile_data();
    void iconFile();
    void desktopIcon_data();
    void desktopIcon();
};

void ArtworkPicturesTest::bitmapHeader_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    const struct {
        const char* file;
        int width, height;
    } rows[] = {
        {"rewards/DrapeauAllemand.bmp", 60, 39}, {"rewards/DrapeauBelge.bmp", 60, 44},
        {"rewards/DrapeauESpagnol.bmp", 60, 39}, {"rewards/DrapeauAnglais.bmp", 60, 29},
        {"rewards/DrapeauItalien.bmp", 60, 38},  {"rewards/DrapeauLuxembourg.bmp", 60, 35},
        {"rewards/DrapeauSuisse.bmp", 60, 60},   {"rewards/Voilier.bmp", 58, 85},
        {"rewards/Coquille.bmp", 60, 60},        {"rewards/Dauphin.bmp", 80, 39},
        {"rewards/Phoque.bmp", 60, 30},          {"pictures/SensInterdit.bmp", 120, 113},
        {"pictures/Coupe.bmp", 225, 225},
    };
    for (const auto& row : rows)
        QTest::newRow(row.file) << QString::fromLatin1(row.file) << row.width << row.height;
}

void ArtworkPicturesTest::bitmapHeader()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    const QByteArray data = readAsset(qPrintable(file));
    QVERIFY2(data.size() >= 54, qPrintable(assetPath(qPrintable(file))));
    QCOMPARE(data.left(2), QByteArray("BM"));
    QCOMPARE(u32(data, 2), quint32(data.size()));
    QCOMPARE(u32(data, 14), 40u); // BITMAPINFOHEADER
    QCOMPARE(i32(data, 18), width);
    QCOMPARE(i32(data, 22), height); // positive: bottom row first
    QCOMPARE(u16(data, 26), quint16(1));
    QCOMPARE(u16(data, 28), quint16(24));
    QCOMPARE(u32(data, 30), 0u); // BI_RGB, uncompressed
    const qsizetype stride = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
    QCOMPARE(qsizetype(data.size()) - qsizetype(u32(data, 10)), stride * height);
    // Qt, which shows them, must read them as the same size.
    QCOMPARE(QImage(assetPath(qPrintable(file))).size(), QSize(width, height));
}

void ArtworkPicturesTest::colourProbe_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<Rgb>("colour");
    QTest::addColumn<int>("tolerance");
    const auto add = [](const char* name, const char* file, int x, int y, Rgb colour, int tolerance = 12) {
        QTest::newRow(name) << QString::fromLatin1(file) << x << y << colour << tolerance;
    };
    // Bands sampled away from their edges; a swapped or turned flag fails.
    add("germany top black", "rewards/DrapeauAllemand.bmp", 30, 5, kBlack);
    add("germany middle red", "rewards/DrapeauAllemand.bmp", 30, 18, kGermanRed);
    add("germany bottom gold", "rewards/DrapeauAllemand.bmp", 30, 31, kGermanGold);
    add("belgium left black", "rewards/DrapeauBelge.bmp", 8, 20, kBlack);
    add("belgium middle yellow", "rewards/DrapeauBelge.bmp", 30, 20, kBelgianYellow);
    add("belgium right red", "rewards/DrapeauBelge.bmp", 52, 20, kBelgianRed);
    add("spain top red", "rewards/DrapeauESpagnol.bmp", 30, 4, kSpanishRed);
    add("spain wide yellow", "rewards/DrapeauESpagnol.bmp", 30, 12, kSpanishYellow);
    add("spain wide yellow lower", "rewards/DrapeauESpagnol.bmp", 30, 26, kSpanishYellow);
    add("spain bottom red", "rewards/DrapeauESpagnol.bmp", 30, 35, kSpanishRed);
    add("union centre red", "rewards/DrapeauAnglais.bmp", 30, 14, kUnionRed);
    add("union canton blue", "rewards/DrapeauAnglais.bmp", 19, 1, kUnionBlue);
    add("union cross white edging", "rewards/DrapeauAnglais.bmp", 26, 10, kWhite);
    // The counterchange: red below the diagonal in the hoist, above it in the
    // fly, with the broad white on the other side.
    add("union hoist saltire red below", "rewards/DrapeauAnglais.bmp", 10, 5, kUnionRed, 70);
    add("union hoist broad white above", "rewards/DrapeauAnglais.bmp", 10, 3, kWhite, 40);
    add("union fly saltire red above", "rewards/DrapeauAnglais.bmp", 49, 3, kUnionRed, 70);
    add("union fly broad white below", "rewards/DrapeauAnglais.bmp", 49, 5, kWhite, 40);
    add("italy left green", "rewards/DrapeauItalien.bmp", 8, 19, kItalianGreen);
    add("italy middle white", "rewards/DrapeauItalien.bmp", 30, 19, kItalianWhite);
    add("italy right red", "rewards/DrapeauItalien.bmp", 52, 19, kItalianRed);
    add("luxembourg top red", "rewards/DrapeauLuxembourg.bmp", 30, 5, kLuxembourgRed);
    add("luxembourg middle white", "rewards/DrapeauLuxembourg.bmp", 30, 17, kWhite);
    add("luxembourg bottom light blue", "rewards/DrapeauLuxembourg.bmp", 30, 30, kLuxembourgBlue);
    add("switzerland centre white", "rewards/DrapeauSuisse.bmp", 30, 30, kWhite);
    add("switzerland arm white", "rewards/DrapeauSuisse.bmp", 30, 14, kWhite);
    add("switzerland corner red", "rewards/DrapeauSuisse.bmp", 2, 2, kSwissRed);
    add("switzerland beyond the arm red", "rewards/DrapeauSuisse.bmp", 30, 6, kSwissRed);
    add("switzerland between arms red", "rewards/DrapeauSuisse.bmp", 15, 15, kSwissRed);
    add("sign centre bar white", "pictures/SensInterdit.bmp", 58, 54, kWhite);
    add("sign bar left end white", "pictures/SensInterdit.bmp", 28, 54, kWhite);
    add("sign ring above bar red", "pictures/SensInterdit.bmp", 58, 25, kSignRed);
    add("sign ring below bar red", "pictures/SensInterdit.bmp", 58, 85, kSignRed);
    add("sign ring left of bar red", "pictures/SensInterdit.bmp", 15, 54, kSignRed);
    add("sign ground white", "pictures/SensInterdit.bmp", 3, 3, kWhite);
}

void ArtworkPicturesTest::colourProbe()
{
    QFETCH(QString, file);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(Rgb, colour);
    QFETCH(int, tolerance);
    const Bmp bmp(qPrintable(file));
    QVERIFY(bmp.width > x && bmp.height > y);
    const Rgb got = bmp.rgb(x, y);
    QVERIFY2(near(got, colour, tolerance), describe(got) + " instead of " + describe(colour));
}

void ArtworkPicturesTest::signLeavesTheClippedEdgesWhite()
{
    // The error window shows 117 x 109 pixels of it: the sign must lie whole
    // inside, and what is cut off is plain ground.
    const Bmp bmp("pictures/SensInterdit.bmp");
    QCOMPARE(bmp.width, 120);
    QCOMPARE(bmp.height, 113);
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x)
            if (x >= 117 || y >= 109)
                QVERIFY2(bmp.rgb(x, y) == kWhite, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    // ... and the sign reaches the inner area's edges no closer than a pixel.
    for (int x = 0; x < 117; ++x) {
        QVERIFY(bmp.rgb(x, 0) == kWhite);
        QVERIFY(bmp.rgb(x, 108) == kWhite);
    }
}

void ArtworkPicturesTest::cupLeavesTheLabelBandDark()
{
    // The label (yellow on dark purple) lies over rows 200 to 216, columns 8
    // to 208; a foot or a laurel leaf reaching into it would show round it.
    const Bmp bmp("pictures/Coupe.bmp");
    QCOMPARE(bmp.width, 225);
    for (int y = 196; y <= 220; ++y)
        for (int x = 4; x <= 212; ++x) {
            const Rgb c = bmp.rgb(x, y);
            QVERIFY2(c[0] < 60 && c[1] < 60 && c[2] < 100,
                     qPrintable(QStringLiteral("(%1, %2) ").arg(x).arg(y) + QString::fromLatin1(describe(c))));
        }
    // The cup itself is golden: red and green high, blue low, on the bowl.
    const Rgb bowl = bmp.rgb(120, 95);
    QVERIFY2(bowl[0] > 180 && bowl[1] > 120 && bowl[2] < bowl[0] - 60, describe(bowl));
}

void ArtworkPicturesTest::iconFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<int>>("colours"); // palette indices the design needs in the large image
    // France in the flag's blue, white and red with its grey edge; the wrench
    // outlined in black with a grey body.
    QTest::newRow("application") << QStringLiteral("icons/varnelle.ico") << QList<int>{12, 15, 9, 8, 7};
    QTest::newRow("error window") << QStringLiteral("icons/erreur.ico") << QList<int>{0, 7};
}

void ArtworkPicturesTest::iconFile()
{
    QFETCH(QString, file);
    QFETCH(QList<int>, colours);
    const QByteArray data = readAsset(qPrintable(file));
    QVERIFY2(data.size() > 6 + 2 * 16, qPrintable(assetPath(qPrintable(file))));
    QCOMPARE(u16(data, 0), quint16(0));
    QCOMPARE(u16(data, 2), quint16(1)); // an icon, not a cursor
    QCOMPARE(u16(data, 4), quint16(2));

    QList<int> sizes;
    QList<IcoImage> images;
    for (int entry = 0; entry < 2; ++entry) {
        const qsizetype e = 6 + 16 * entry;
        const int size = quint8(data.at(e));
        QCOMPARE(int(quint8(data.at(e + 1))), size);
        QCOMPARE(int(quint8(data.at(e + 2))), 16); // colours
        QCOMPARE(u16(data, e + 4), quint16(1));    // planes
        QCOMPARE(u16(data, e + 6), quint16(4));    // bits per pixel
        const quint32 bytes = u32(data, e + 8);
        const quint32 offset = u32(data, e + 12);
        QVERIFY(qsizetype(offset) + qsizetype(bytes) <= data.size());

        const qsizetype h = offset;
        QCOMPARE(u32(data, h), 40u);
        QCOMPARE(i32(data, h + 4), size);
        QCOMPARE(i32(data, h + 8), 2 * size); // image and mask
        QCOMPARE(u16(data, h + 14), quint16(4));
        QCOMPARE(u32(data, h + 16), 0u);
        for (int i = 0; i < 16; ++i) {
            const qsizetype p = h + 40 + 4 * i;
            const Rgb c{int(quint8(data.at(p + 2))), int(quint8(data.at(p + 1))), int(quint8(data.at(p)))};
            QVERIFY2(c == kPalette16[i], "palette entry " + QByteArray::number(i) + " is " + describe(c));
        }
        const qsizetype xorStride = ((size * 4 + 31) / 32) * 4;
        const qsizetype andStride = ((size + 31) / 32) * 4;
        const qsizetype xorAt = h + 40 + 64;
        const qsizetype andAt = xorAt + xorStride * size;
        QCOMPARE(qsizetype(bytes), 40 + 64 + (xorStride + andStride) * size);

        IcoImage image;
        image.size = size;
        for (int y = 0; y < size; ++y) {
            const qsizetype row = size - 1 - y; // bottom row first
            for (int x = 0; x < size; ++x) {
                const int byte = quint8(data.at(xorAt + row * xorStride + x / 2));
                image.index.append(x % 2 == 0 ? byte >> 4 : byte & 0x0F);
                const int bits = quint8(data.at(andAt + row * andStride + x / 8));
                image.clear.append((bits >> (7 - x % 8)) & 1);
            }
        }
        sizes.append(size);
        images.append(image);
    }
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, (QList<int>{16, 32}));

    for (const IcoImage& image : images) {
        const int last = image.size - 1;
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{last, 0}, std::pair{0, last}, std::pair{last, last}})
            QVERIFY2(image.transparent(x, y),
                     qPrintable(QStringLiteral("%1 px corner (%2, %3) opaque").arg(image.size).arg(x).arg(y)));
        int opaque = 0;
        for (bool clear : image.clear)
            opaque += clear ? 0 : 1;
        // A drawing, not an empty or a filled square.
        QVERIFY2(opaque > image.size * image.size / 5 && opaque < image.size * image.size * 9 / 10,
                 qPrintable(QString::number(opaque)));
    }
    const IcoImage& large = images.at(0).size == 32 ? images.at(0) : images.at(1);
    for (int colour : colours) {
        bool found = false;
        for (int y = 0; y < 32 && !found; ++y)
            for (int x = 0; x < 32 && !found; ++x)
                found = !large.transparent(x, y) && large.at(x, y) == colour;
        QVERIFY2(found, qPrintable(QStringLiteral("palette index %1 unused").arg(colour)));
    }
}

void ArtworkPicturesTest::desktopIcon_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QString::number(size))) << size;
}

void ArtworkPicturesTest::desktopIcon()
{
    QFETCH(int, size);
    const QString path = assetPath(qPrintable(QStringLiteral("icons/varnelle-%1.png").arg(size)));
    const QImage icon(path);
    QVERIFY2(!icon.isNull(), qPrintable(path));
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(size - 1, size - 1)), 0);
    // West blue, east red: a mirrored drawing fails. Sampled two fifths of the
    // way down, where the outline spans the width, a little inside the
    // outline so that neither its antialiased rim nor the grey edge counts.
    const auto colourInside = [&](int y, bool fromWest) {
        const int step = fromWest ? 1 : -1;
        int x = fromWest ? 0 : size - 1;
        while (x >= 0 && x < size && qAlpha(icon.pixel(x, y)) < 255)
            x += step;
        x += step * (size / 8 + 1);
        return icon.pixel(qBound(0, x, size - 1), y);
    };
    const int y = size * 2 / 5;
    const QRgb west = colourInside(y, true);
    QVERIFY2(qBlue(west) > 200 && qRed(west) < 60, qPrintable(QString::number(west, 16)));
    const QRgb east = colourInside(y, false);
    QVERIFY2(qRed(east) > 200 && qBlue(east) < 60, qPrintable(QString::number(east, 16)));
}

QTEST_GUILESS_MAIN(ArtworkPicturesTest)
#include "tst_artwork_pictures.moc"
