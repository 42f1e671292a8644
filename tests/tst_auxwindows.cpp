// Guards the three auxiliary windows against a wrong layout (size, frame, icon,
// control places and the overruns the client area clips, colours, texts) and
// against wrong lifetimes: shown where it should be, loaded once, reloaded
// centred after the player closed it, the anthem started on Load and stopped on
// Unload.
#include "TestSupport.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/Catalogue.h"
#include "quiz/France.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace varnelle;
using varnelle::test::App;

namespace {

const QString kAnthem = QStringLiteral("play Marseillaise.wav");
const QString kStop = QStringLiteral("stop");
constexpr QPoint kMovedTo{37, 41};

QPoint screenCentre()
{
    return QGuiApplication::primaryScreen()->availableGeometry().center();
}

bool isCentred(const QWidget* window)
{
    return (window->geometry().center() - screenCentre()).manhattanLength() <= 1;
}

template <class W> W* child(QWidget* window, const char* name)
{
    return window->findChild<W*>(QString::fromLatin1(name));
}

QImage grabOf(QWidget* window, const QString& name)
{
    test::saveGrab(window, name);
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage bitmap(const char* resource)
{
    return QImage(QString::fromLatin1(resource)).convertToFormat(QImage::Format_RGB32);
}

// Every Show of a window of type W, with the place it was shown at.
template <class W> class ShowLog : public QObject {
public:
    ShowLog() { qApp->installEventFilter(this); }
    ~ShowLog() override { qApp->removeEventFilter(this); }
    ShowLog(const ShowLog&) = delete;
    ShowLog& operator=(const ShowLog&) = delete;

    struct Shown {
        QPointer<W> window;
        QPoint place;
        bool centred;
    };
    QList<Shown> shows;
    std::function<void()> onShow;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* window = qobject_cast<W*>(watched)) {
                shows.append({window, window->pos(), isCentred(window)});
                if (onShow)
                    onShow();
            }
        }
        return false;
    }
};

// The quiz window with the session started, as a player would have it.
France& startSession(App& app)
{
    app.forms.france.setVisible(true);
    France& france = *app.forms.france;
    [&] { QVERIFY(test::clickAsPlayer(france.controls().DEPART)); }();
    return france;
}

// Finds every target of the theme in progress, without a wrong click.
void findTheme(France& france)
{
    const catalogue::Theme& theme = catalogue::themeOf(france.session().ItemEnCours);
    while (france.session().ItemEnCours <= theme.last)
        QVERIFY(test::clickAsPlayer(&france.controls().Check(france.session().ItemEnCours)));
    QVERIFY(france.controls().DEPART->isVisible());
}

} // namespace

class AuxWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void frame_data();
    void frame();
    void erreurLayout();
    void villesDeFranceLayout();
    void coupeVainqueurLayout();
    void erreurLifetime_data();
    void erreurLifetime();
    void villesDeFranceLifetime_data();
    void villesDeFranceLifetime();
    void anthemStartsBeforeTheCupIsDrawn();
    void anthemStopsOnUnload_data();
    void anthemStopsOnUnload();
};

void AuxWindowsTest::frame_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QString>("icon");
    QTest::newRow("Erreur") << "Erreur" << QStringLiteral("Erreur de localisation") << QSize(120, 153)
                            << ":/icons/erreur.ico";
    QTest::newRow("VillesDeFrance")
        << "VillesDeFrance"
        << QStringLiteral(
               "Villes de France - Carte destin\u00e9e \u00e0 la r\u00e9vision des emplacements des villes principales")
        << QSize(832, 860) << ":/icons/varnelle.ico";
    QTest::newRow("CoupeVainqueur") << "CoupeVainqueur" << QStringLiteral("Coupe du vainqueur") << QSize(223, 227)
                                    << ":/icons/varnelle.ico";
}

void AuxWindowsTest::frame()
{
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(QString, icon);
    App app;
    Form* form = nullptr;
    if (window == QLatin1String("Erreur"))
        form = &*app.forms.erreur;
    else if (window == QLatin1String("VillesDeFrance"))
        form = &*app.forms.villesDeFrance;
    else
        form = &*app.forms.coupeVainqueur;
    form->setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(form));

    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->size(), client);
    QCOMPARE(form->minimumSize(), client);
    QCOMPARE(form->maximumSize(), client);
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(isCentred(form));

    const QIcon expected(icon);
    QVERIFY(!expected.availableSizes().isEmpty());
    // The desktop may ask for larger sizes too; those of the icon itself are its own drawings.
    for (const QSize size : expected.availableSizes()) {
        QVERIFY(form->windowIcon().availableSizes().contains(size));
        QCOMPARE(form->windowIcon().pixmap(size).toImage(), expected.pixmap(size).toImage());
    }
}

void AuxWindowsTest::erreurLayout()
{
    App app;
    app.forms.erreur.setVisible(true);
    Erreur* erreur = app.forms.erreur.loaded();
    QVERIFY(QTest::qWaitForWindowExposed(erreur));
    auto* picture = child<PictureBox>(erreur, "Picture1");
    auto* label = child<Label>(erreur, "Label1");
    QVERIFY(picture && label);
    // Both overrun the client area: one pixel to the right, the label 16 below.
    QCOMPARE(picture->geometry(), QRect(0, 0, 121, 113));
    QCOMPARE(label->geometry(), QRect(0, 112, 121, 57));
    QCOMPARE(label->Caption(), QStringLiteral("ERREUR ! Essaie encore"));
    QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(label->font().pixelSize(), 16);
    QVERIFY(label->font().bold());
    // Both words show in the 41 pixels of the label left inside the window.
    const QRect text =
        QFontMetrics(label->font()).boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->Caption());
    QVERIFY2(text.height() <= erreur->height() - label->y(), qPrintable(QString::number(text.height())));

    const QImage shown = grabOf(erreur, QStringLiteral("Erreur"));
    const QImage sign = bitmap(":/pictures/SensInterdit.bmp");
    QCOMPARE(sign.size(), QSize(120, 113));
    // The inner area, 117 x 109, shows the sign from its top-left corner; the
    // label hides the bitmap's rows below 110.
    QCOMPARE(shown.copy(2, 2, 117, 108), sign.copy(0, 0, 117, 108));
    QCOMPARE(QColor(shown.pixel(1, 153 - 1)), QColor(Qt::white));
    QCOMPARE(QColor(shown.pixel(119, 140)), QColor(Qt::white));
    const QRgb peach = qRgb(255, 224, 192);
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            QVERIFY2(shown.pixel(x, y) != peach, "the window's own back colour shows");
    }
    int dark = 0;
    for (int y = 112; y < 153; ++y) {
        for (int x = 0; x < 120; ++x)
            dark += qGray(shown.pixel(x, y)) < 64;
    }
    QVERIFY2(dark > 100, "the label's black text is missing");
}

void AuxWindowsTest::villesDeFranceLayout()
{
    App app;
    app.forms.villesDeFrance.setVisible(true);
    VillesDeFrance* villes = app.forms.villesDeFrance.loaded();
    QVERIFY(QTest::qWaitForWindowExposed(villes));
    auto* picture = child<PictureBox>(villes, "Picture1");
    QVERIFY(picture);
    QCOMPARE(picture->geometry(), QRect(0, 0, 833, 889));

    const QImage shown = grabOf(villes, QStringLiteral("VillesDeFrance"));
    const QImage map = bitmap(":/pictures/VillesDeFrance.png");
    QCOMPARE(map.size(), QSize(832, 860));
    // The map is shifted by the border, without its last 3 columns and 2 rows.
    QCOMPARE(shown.copy(2, 2, 829, 858), map.copy(0, 0, 829, 858));
    // Left, top and one pixel of the right border show; no bottom border.
    const QRgb rightBorder = shown.pixel(831, 400);
    for (int y = 2; y < 860; ++y) {
        QCOMPARE(shown.pixel(831, y), rightBorder);
        QCOMPARE(shown.pixel(0, y), shown.pixel(0, 400));
    }
    QVERIFY(shown.pixel(2, 859) == map.pixel(0, 857));
}

void AuxWindowsTest::coupeVainqueurLayout()
{
    App app;
    app.forms.coupeVainqueur.setVisible(true);
    CoupeVainqueur* coupe = app.forms.coupeVainqueur.loaded();
    QVERIFY(QTest::qWaitForWindowExposed(coupe));
    auto* picture = child<PictureBox>(coupe, "Picture1");
    auto* label = child<Label>(coupe, "Label1");
    QVERIFY(picture && label);
    QCOMPARE(picture->geometry(), QRect(0, 0, 225, 233));
    QCOMPARE(label->parentWidget(), picture->inner());
    // Over the bitmap's rows 200 to 216 and columns 8 to 208.
    QCOMPARE(label->geometry(), QRect(8, 200, 201, 17));
    QCOMPARE(label->Caption(), QStringLiteral(" 54 items sur 54 r\u00e9solus !"));
    QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(label->font().pixelSize(), 13);
    QVERIFY(label->font().bold());
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->Caption()) < label->width());

    const QImage shown = grabOf(coupe, QStringLiteral("CoupeVainqueur"));
    const QImage cup = bitmap(":/pictures/Coupe.bmp");
    QCOMPARE(cup.size(), QSize(225, 225));
    // The whole height of the bitmap, without its last 4 columns.
    QCOMPARE(shown.copy(2, 2, 221, 200), cup.copy(0, 0, 221, 200));
    QCOMPARE(shown.copy(2, 219, 221, 8), cup.copy(0, 217, 221, 8));
    const QImage band = shown.copy(10, 202, 201, 17);
    QCOMPARE(QColor(band.pixel(0, 0)), QColor(64, 0, 64));
    QCOMPARE(QColor(band.pixel(200, 16)), QColor(64, 0, 64));
    int yellow = 0;
    for (int y = 0; y < band.height(); ++y) {
        for (int x = 0; x < band.width(); ++x)
            yellow += band.pixel(x, y) == qRgb(255, 255, 0);
    }
    QVERIFY2(yellow > 100, "the yellow text is missing");
}

void AuxWindowsTest::erreurLifetime_data()
{
    // R: a right click, W: a wrong click, M: the player moves the error
    // window, C: the player closes it from its title bar.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("instances");
    QTest::newRow("first click right loads it without showing it") << "R"
                                                                   << "hidden"
                                                                   << "-" << 1;
    QTest::newRow("first click wrong shows it at the centre") << "W"
                                                              << "shown"
                                                              << "centre" << 1;
    QTest::newRow("two wrong clicks keep the moved place") << "WMW"
                                                           << "shown"
                                                           << "moved" << 1;
    QTest::newRow("a right click hides it where it was moved") << "WMR"
                                                               << "hidden"
                                                               << "moved" << 1;
    QTest::newRow("shown again where it was moved") << "WMRW"
                                                    << "shown"
                                                    << "moved" << 1;
    QTest::newRow("closed, a right click reloads it hidden") << "WMCR"
                                                             << "hidden"
                                                             << "-" << 2;
    QTest::newRow("closed, a wrong click shows it at the centre") << "WMCW"
                                                                  << "shown"
                                                                  << "centre" << 2;
    QTest::newRow("closed, reloaded hidden, then shown at the centre") << "WMCRW"
                                                                       << "shown"
                                                                       << "centre" << 2;
    QTest::newRow("closed and never clicked again stays unloaded") << "WC"
                                                                   << "unloaded"
                                                                   << "-" << 1;
}

void AuxWindowsTest::erreurLifetime()
{
    QFETCH(QString, steps);
    QFETCH(QString, state);
    QFETCH(QString, place);
    QFETCH(int, instances);
    App app;
    ShowLog<Erreur> log;
    France& france = startSession(app);
    QVERIFY(!app.forms.erreur.loaded());
    // Counted by identity: a new window may take the address of the one destroyed.
    QPointer<Erreur> last;
    int loaded = 0;
    for (const QChar step : steps) {
        const int sought = france.session().ItemEnCours;
        if (step == QLatin1Char('R'))
            QVERIFY(test::clickAsPlayer(&france.controls().Check(sought)));
        else if (step == QLatin1Char('W'))
            QVERIFY(test::clickAsPlayer(&france.controls().Check(sought + 1)));
        else if (step == QLatin1Char('M'))
            app.forms.erreur->move(kMovedTo);
        else if (step == QLatin1Char('C'))
            QVERIFY(app.forms.erreur->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (Erreur* now = app.forms.erreur.loaded(); now && now != last) {
            last = now;
            ++loaded;
        }
    }

    QCOMPARE(loaded, instances);
    QCOMPARE(app.quits, 0);
    Erreur* erreur = app.forms.erreur.loaded();
    QCOMPARE(erreur ? (erreur->Visible() ? "shown" : "hidden") : "unloaded", state);
    // A window is never shown before being moved anywhere but at the centre.
    for (const auto& shown : log.shows) {
        if (shown.window == erreur)
            QVERIFY(shown.centred || shown.place == kMovedTo);
    }
    if (place == QLatin1String("centre"))
        QVERIFY(isCentred(erreur));
    else if (place == QLatin1String("moved"))
        QCOMPARE(erreur->pos(), kMovedTo);
    else if (erreur)
        QVERIFY2(std::none_of(log.shows.cbegin(), log.shows.cend(),
                              [erreur](const auto& shown) { return shown.window == erreur; }),
                 "the error window was shown by a right click");
}

void AuxWindowsTest::villesDeFranceLifetime_data()
{
    // Y, N: DEPART clicked and the revision question answered Yes or No;
    // M, C: the player moves or closes the map; E: the cities are found and
    // the session closed without an error, which shows the cup window.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("instances");
    QTest::addColumn<int>("asked");
    QTest::newRow("No at the first asking never loads it") << "N"
                                                           << "unloaded"
                                                           << "-" << 0 << 1;
    QTest::newRow("Yes shows it at the centre") << "Y"
                                                << "shown"
                                                << "centre" << 1 << 1;
    QTest::newRow("Yes twice leaves one window in its place") << "YMY"
                                                              << "shown"
                                                              << "moved" << 1 << 2;
    QTest::newRow("closed, Yes shows it at the centre again") << "YMCY"
                                                              << "shown"
                                                              << "centre" << 2 << 2;
    QTest::newRow("No leaves it open during the cities") << "YMN"
                                                         << "shown"
                                                         << "moved" << 1 << 2;
    QTest::newRow("left open while the cup window shows") << "YMNE"
                                                          << "shown"
                                                          << "moved" << 1 << 2;
    QTest::newRow("closed before the cup window stays closed") << "YCNE"
                                                               << "unloaded"
                                                               << "-" << 1 << 2;
}

void AuxWindowsTest::villesDeFranceLifetime()
{
    QFETCH(QString, steps);
    QFETCH(QString, state);
    QFETCH(QString, place);
    QFETCH(int, instances);
    QFETCH(int, asked);
    App app;
    France& france = startSession(app);
    for (int theme = 1; theme <= 4; ++theme) {
        findTheme(france);
        if (theme < 4)
            QVERIFY(test::clickAsPlayer(france.controls().DEPART));
    }
    QCOMPARE(france.session().Etape, AskRevision);
    QVERIFY(app.question.prompts.isEmpty());

    // Counted by identity: a new window may take the address of the one destroyed.
    QPointer<VillesDeFrance> last;
    int loaded = 0;
    for (const QChar step : steps) {
        if (step == QLatin1Char('Y') || step == QLatin1Char('N')) {
            app.question.answers = {step == QLatin1Char('Y') ? YesNoQuestion::kYes : YesNoQuestion::kNo};
            QVERIFY(test::clickAsPlayer(france.controls().DEPART));
            QCOMPARE(france.session().Etape, AskRevision);
            QCOMPARE(france.controls().DEPART->isVisible(), step == QLatin1Char('Y'));
        } else if (step == QLatin1Char('M')) {
            app.forms.villesDeFrance->move(kMovedTo);
        } else if (step == QLatin1Char('C')) {
            QVERIFY(app.forms.villesDeFrance->close());
        } else if (step == QLatin1Char('E')) {
            findTheme(france);
            QVERIFY(test::clickAsPlayer(france.controls().DEPART));
            QVERIFY(test::clickAsPlayer(france.controls().DEPART));
            QVERIFY(!france.Visible());
            QVERIFY(app.forms.coupeVainqueur.loaded() && app.forms.coupeVainqueur->Visible());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (VillesDeFrance* now = app.forms.villesDeFrance.loaded(); now && now != last) {
            last = now;
            ++loaded;
        }
    }

    QCOMPARE(loaded, instances);
    QCOMPARE(app.question.prompts.size(), asked);
    QCOMPARE(app.quits, 0);
    VillesDeFrance* villes = app.forms.villesDeFrance.loaded();
    QCOMPARE(villes ? (villes->Visible() ? "shown" : "hidden") : "unloaded", state);
    if (place == QLatin1String("centre"))
        QVERIFY(isCentred(villes));
    else if (place == QLatin1String("moved"))
        QCOMPARE(villes->pos(), kMovedTo);
}

void AuxWindowsTest::anthemStartsBeforeTheCupIsDrawn()
{
    App app;
    ShowLog<CoupeVainqueur> log;
    log.onShow = [&app] { app.sound.events.append(QStringLiteral("shown")); };
    QVERIFY(app.sound.events.isEmpty());
    app.forms.coupeVainqueur.setVisible(true);
    QCOMPARE(app.sound.events, (QStringList{kAnthem, QStringLiteral("shown")}));
    QVERIFY(isCentred(app.forms.coupeVainqueur.loaded()));
}

void AuxWindowsTest::anthemStopsOnUnload_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("quits");
    QTest::newRow("closed from its title bar") << "close" << QStringList{kAnthem, kStop} << 1;
    QTest::newRow("closed with the revision map open") << "close, map open" << QStringList{kAnthem, kStop} << 0;
    QTest::newRow("application ended") << "End" << QStringList{kAnthem, kStop} << 1;
    QTest::newRow("end of a run that never won") << "End, never shown" << QStringList{} << 1;
}

void AuxWindowsTest::anthemStopsOnUnload()
{
    QFETCH(QString, how);
    QFETCH(QStringList, events);
    QFETCH(int, quits);
    App app;
    app.forms.france.setVisible(true);
    app.forms.france.setVisible(false);
    if (how.contains(QLatin1String("map open")))
        app.forms.villesDeFrance.setVisible(true);
    if (!how.contains(QLatin1String("never shown")))
        app.forms.coupeVainqueur.setVisible(true);
    if (how.startsWith(QLatin1String("close")))
        QVERIFY(app.forms.coupeVainqueur->close());
    else
        app.forms.End();
    QCOMPARE(app.sound.events, events);
    QCOMPARE(app.quits, quits);
    QVERIFY(!app.forms.coupeVainqueur.loaded());
}

QTEST_MAIN(AuxWindowsTest)
#include "tst_auxwindows.moc"
