// Guards the committed city revision map against a placeholder, a wrong size
// or colour scheme, a town table that lost a quiz city or its accents, and a
// city list of the artwork that names another city than the quiz asks for.
#include "quiz/Catalogue.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QTextStream>

namespace {

const QString mapPath = QStringLiteral(VARNELLE_SOURCE_DIR "/assets/pictures/VillesDeFrance.png");
const QString townsPath = QStringLiteral(VARNELLE_SOURCE_DIR "/tools/artwork/towns.tsv");
const QString citiesPath = QStringLiteral(VARNELLE_SOURCE_DIR "/tools/artwork/cities.tsv");

const QColor seaGrey(226, 226, 226);
const QColor franceYellow(255, 219, 43);
const QRgb titleBlue = qRgb(63, 72, 204);

// Every pixel of a 9 x 9 square, so that one stray pixel of a symbol or a
// name near the probe does not pass for the ground.
bool squareIs(const QImage& image, QPoint centre, const QColor& colour)
{
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            if (image.pixel(centre + QPoint(dx, dy)) != colour.rgb())
                return false;
        }
    }
    return true;
}

// The rows of a tab-separated table of the artwork, without its comments and
// header line, which must start with `header`.
QList<QStringList> readTable(const QString& path, const QString& header)
{
    QFile table(path);
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", qPrintable(path));
    QTextStream in(&table);
    in.setEncoding(QStringConverter::Utf8);
    QList<QStringList> rows;
    bool first = true;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (first && !line.startsWith(header))
            qFatal("%s does not start with %s", qPrintable(path), qPrintable(header));
        if (!first)
            rows.append(line.split(u'\t'));
        first = false;
    }
    return rows;
}

// The quiz writes some cities in capitals and Saint-Etienne without its
// accent; the maps write every name as it is spelt.
QString folded(const QString& name)
{
    QString letters;
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            letters.append(c.toUpper());
    }
    return letters;
}

} // namespace

class ArtworkRevisionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sizeAndFormat();
    void ground_data();
    void ground();
    void titleInTopLeftCorner();
    void quizCityInTownTable_data();
    void quizCityInTownTable();
    void cityListHoldsEveryCityOnce();
    void cityListNamesTheQuizCities_data();
    void cityListNamesTheQuizCities();

private:
    QImage map;
    QSet<QString> townNames;
};

void ArtworkRevisionTest::initTestCase()
{
    QVERIFY2(map.load(mapPath), qPrintable(mapPath));

    for (const QStringList& row : readTable(townsPath, QStringLiteral("name\t")))
        townNames.insert(row.value(0));
    QVERIFY(townNames.size() >= 120);
}

void ArtworkRevisionTest::sizeAndFormat()
{
    // The window's client area is exactly the map's size.
    QCOMPARE(map.size(), QSize(832, 860));
    QVERIFY(!map.hasAlphaChannel());
}

void ArtworkRevisionTest::ground_data()
{
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("sea west of Brittany") << QPoint(10, 330) << seaGrey;
    QTest::newRow("sea south of Brittany") << QPoint(40, 400) << seaGrey;
    QTest::newRow("Channel north of Brittany") << QPoint(120, 190) << seaGrey;
    QTest::newRow("Bay of Biscay") << QPoint(60, 480) << seaGrey;
    QTest::newRow("centre of France") << QPoint(480, 440) << franceYellow;
    QTest::newRow("west of the Loire") << QPoint(300, 420) << franceYellow;
    QTest::newRow("Normandy inland") << QPoint(250, 300) << franceYellow;
    QTest::newRow("Champagne") << QPoint(650, 300) << franceYellow;
    QTest::newRow("Rouergue") << QPoint(560, 600) << franceYellow;
}

void ArtworkRevisionTest::ground()
{
    QFETCH(QPoint, probe);
    QFETCH(QColor, colour);
    QVERIFY2(squareIs(map, probe, colour), qPrintable(QStringLiteral("found %1").arg(map.pixelColor(probe).name())));
}

void ArtworkRevisionTest::titleInTopLeftCorner()
{
    // Large bold letters leave well over a thousand pixels of pure blue.
    int blue = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 300; ++x)
            blue += map.pixel(x, y) == titleBlue ? 1 : 0;
    }
    QVERIFY2(blue > 1000, qPrintable(QString::number(blue)));
}

void ArtworkRevisionTest::quizCityInTownTable_data()
{
    QTest::addColumn<QString>("city");
    for (const QStringList& row : readTable(citiesPath, QStringLiteral("box\tname")))
        QTest::newRow(qPrintable(row.value(1))) << row.value(1);
}

void ArtworkRevisionTest::quizCityInTownTable()
{
    QFETCH(QString, city);
    QVERIFY2(townNames.contains(city), qPrintable(city));
}

void ArtworkRevisionTest::cityListHoldsEveryCityOnce()
{
    QList<int> boxes;
    for (const QStringList& row : readTable(citiesPath, QStringLiteral("box\tname")))
        boxes.append(row.value(0).toInt());
    const varnelle::catalogue::Theme& cities = varnelle::catalogue::kThemes.back();
    QList<int> wanted;
    for (int box = cities.first; box <= cities.last; ++box)
        wanted.append(box);
    QCOMPARE(boxes, wanted);
}

void ArtworkRevisionTest::cityListNamesTheQuizCities_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("name");
    for (const QStringList& row : readTable(citiesPath, QStringLiteral("box\tname")))
        QTest::newRow(qPrintable(row.value(1))) << row.value(0).toInt() << row.value(1);
}

void ArtworkRevisionTest::cityListNamesTheQuizCities()
{
    QFETCH(int, box);
    QFETCH(QString, name);
    const varnelle::catalogue::Theme& cities = varnelle::catalogue::kThemes.back();
    QVERIFY2(box >= cities.first && box <= cities.last, qPrintable(QString::number(box)));
    QCOMPARE(folded(name), folded(varnelle::catalogue::caption(box)));
}

QTEST_GUILESS_MAIN(ArtworkRevisionTest)
#include "tst_artwork_revision.moc"
