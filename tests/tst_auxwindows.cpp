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
using varnelle::test::Window;

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

// What a lifetime case finds at its end: the window unloaded, loaded but
// hidden, or shown; and where it stands.
enum class Presence { Unloaded, Hidden, Shown };
enum class Place {
    NotShown, // not shown since it was last loaded
    Centre,
    Moved, // where the player moved it
};

Presence presenceOf(const Form* form)
{
    if (!form)
        return Presence::Unloaded;
    return form->Visible() ? Presence::Shown : Presence::Hidden;
}

// What the player does to the quiz window and the error window.
enum class ErreurStep {
    Right, // a click on the box sought
    Wrong, // a click on another box
    Move,  // the error window moved by the player
    Close, // the error window closed from its title bar
};

// What the player does to the quiz window and the revision map.
enum class VillesStep {
    Yes,   // DEPART clicked, the revision question answered Yes
    No,    // the same, answered No
    Move,  // the map moved by the player
    Close, // the map closed from its title bar
    Win,   // the cities found and the session closed without an error: the cup window shows
};

// How the cup window goes.
enum class CupEnd {
    TitleBar, // the player closes it
    EndOfRun, // the application ends
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

Q_DECLARE_METATYPE(Presence)
Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(QList<ErreurStep>)
Q_DECLARE_METATYPE(QList<VillesStep>)
Q_DECLARE_METATYPE(CupEnd)

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
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QString>("icon");
    QTest::newRow("Erreur") << Window::Erreur << QStringLiteral("Erreur de localisation") << QSize(120, 153)
                            << ":/icons/erreur.ico";
    QTest::newRow("VillesDeFrance")
        << Window::VillesDeFrance
        << QStringLiteral(
               "Villes de France - Carte destin\u00e9e \u00e0 la r\u00e9vision des emplacements des villes principales")
        << QSize(832, 860) << ":/icons/varnelle.ico";
    QTest::newRow("CoupeVainqueur") << Window::CoupeVainqueur << QStringLiteral("Coupe du vainqueur") << QSize(223, 227)
                                    << ":/icons/varnelle.ico";
}

void AuxWindowsTest::frame()
{
    QFETCH(Window, window);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(QString, icon);
    App app;
    Form* form = &test::load(app, window);
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
    QTest::addColumn<QList<ErreurStep>>("steps");
    QTest::addColumn<Presence>("presence");
    QTest::addColumn<Place>("place");
    QTest::addColumn<int>("instances");
    using enum ErreurStep;
    using enum Presence;
    using enum Place;
    using Steps = QList<ErreurStep>;
    QTest::newRow("first click right loads it without showing it") << Steps{Right} << Hidden << NotShown << 1;
    QTest::newRow("first click wrong shows it at the centre") << Steps{Wrong} << Shown << Centre << 1;
    QTest::newRow("two wrong clicks keep the moved place") << Steps{Wrong, Move, Wrong} << Shown << Moved << 1;
    QTest::newRow("a right click hides it where it was moved") << Steps{Wrong, Move, Right} << Hidden << Moved << 1;
    QTest::newRow("shown again where it was moved") << Steps{Wrong, Move, Right, Wrong} << Shown << Moved << 1;
    QTest::newRow("closed, a right click reloads it hidden")
        << Steps{Wrong, Move, Close, Right} << Hidden << NotShown << 2;
    QTest::newRow("closed, a wrong click shows it at the centre")
        << Steps{Wrong, Move, Close, Wrong} << Shown << Centre << 2;
    QTest::newRow("closed, reloaded hidden, then shown at the centre")
        << Steps{Wrong, Move, Close, Right, Wrong} << Shown << Centre << 2;
    QTest::newRow("closed and never clicked again stays unloaded") << Steps{Wrong, Close} << Unloaded << NotShown << 1;
}

void AuxWindowsTest::erreurLifetime()
{
    QFETCH(QList<ErreurStep>, steps);
    QFETCH(Presence, presence);
    QFETCH(Place, place);
    QFETCH(int, instances);
    App app;
    ShowLog<Erreur> log;
    France& france = startSession(app);
    QVERIFY(!app.forms.erreur.loaded());
    // Counted by identity: a new window may take the address of the one destroyed.
    QPointer<Erreur> last;
    int loaded = 0;
    for (const ErreurStep step : steps) {
        const int sought = france.session().ItemEnCours;
        switch (step) {
        case ErreurStep::Right:
            QVERIFY(test::clickAsPlayer(&france.controls().Check(sought)));
            break;
        case ErreurStep::Wrong:
            QVERIFY(test::clickAsPlayer(&france.controls().Check(sought + 1)));
            break;
        case ErreurStep::Move:
            app.forms.erreur->move(kMovedTo);
            break;
        case ErreurStep::Close:
            QVERIFY(app.forms.erreur->close());
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (Erreur* now = app.forms.erreur.loaded(); now && now != last) {
            last = now;
            ++loaded;
        }
    }

    QCOMPARE(loaded, instances);
    QCOMPARE(app.quits, 0);
    Erreur* erreur = app.forms.erreur.loaded();
    QCOMPARE(presenceOf(erreur), presence);
    // A window is never shown before being moved anywhere but at the centre.
    for (const auto& shown : log.shows) {
        if (shown.window == erreur)
            QVERIFY(shown.centred || shown.place == kMovedTo);
    }
    switch (place) {
    case Place::Centre:
        QVERIFY(isCentred(erreur));
        break;
    case Place::Moved:
        QCOMPARE(erreur->pos(), kMovedTo);
        break;
    case Place::NotShown:
        QVERIFY2(std::none_of(log.shows.cbegin(), log.shows.cend(),
                              [erreur](const auto& shown) { return erreur && shown.window == erreur; }),
                 "the error window was shown by a right click");
        break;
    }
}

void AuxWindowsTest::villesDeFranceLifetime_data()
{
    QTest::addColumn<QList<VillesStep>>("steps");
    QTest::addColumn<Presence>("presence");
    QTest::addColumn<Place>("place");
    QTest::addColumn<int>("instances");
    QTest::addColumn<int>("asked");
    using enum VillesStep;
    using enum Presence;
    using enum Place;
    using Steps = QList<VillesStep>;
    QTest::newRow("No at the first asking never loads it") << Steps{No} << Unloaded << NotShown << 0 << 1;
    QTest::newRow("Yes shows it at the centre") << Steps{Yes} << Shown << Centre << 1 << 1;
    QTest::newRow("Yes twice leaves one window in its place") << Steps{Yes, Move, Yes} << Shown << Moved << 1 << 2;
    QTest::newRow("closed, Yes shows it at the centre again")
        << Steps{Yes, Move, Close, Yes} << Shown << Centre << 2 << 2;
    QTest::newRow("No leaves it open during the cities") << Steps{Yes, Move, No} << Shown << Moved << 1 << 2;
    QTest::newRow("left open while the cup window shows") << Steps{Yes, Move, No, Win} << Shown << Moved << 1 << 2;
    QTest::newRow("closed before the cup window stays closed")
        << Steps{Yes, Close, No, Win} << Unloaded << NotShown << 1 << 2;
}

void AuxWindowsTest::villesDeFranceLifetime()
{
    QFETCH(QList<VillesStep>, steps);
    QFETCH(Presence, presence);
    QFETCH(Place, place);
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
    for (const VillesStep step : steps) {
        switch (step) {
        case VillesStep::Yes:
        case VillesStep::No:
            app.question.answers = {step == VillesStep::Yes ? YesNoQuestion::kYes : YesNoQuestion::kNo};
            QVERIFY(test::clickAsPlayer(france.controls().DEPART));
            QCOMPARE(france.session().Etape, AskRevision);
            QCOMPARE(france.controls().DEPART->isVisible(), step == VillesStep::Yes);
            break;
        case VillesStep::Move:
            app.forms.villesDeFrance->move(kMovedTo);
            break;
        case VillesStep::Close:
            QVERIFY(app.forms.villesDeFrance->close());
            break;
        case VillesStep::Win:
            findTheme(france);
            QVERIFY(test::clickAsPlayer(france.controls().DEPART));
            QVERIFY(test::clickAsPlayer(france.controls().DEPART));
            QVERIFY(!france.Visible());
            QVERIFY(app.forms.coupeVainqueur.loaded() && app.forms.coupeVainqueur->Visible());
            break;
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
    QCOMPARE(presenceOf(villes), presence);
    switch (place) {
    case Place::Centre:
        QVERIFY(isCentred(villes));
        break;
    case Place::Moved:
        QCOMPARE(villes->pos(), kMovedTo);
        break;
    case Place::NotShown:
        QVERIFY(!villes || !villes->Visible());
        break;
    }
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
    QTest::addColumn<CupEnd>("end");
    QTest::addColumn<bool>("mapOpen");
    QTest::addColumn<bool>("cupShown");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("quits");
    using enum CupEnd;
    QTest::newRow("closed from its title bar") << TitleBar << false << true << QStringList{kAnthem, kStop} << 1;
    QTest::newRow("closed with the revision map open") << TitleBar << true << true << QStringList{kAnthem, kStop} << 0;
    QTest::newRow("application ended") << EndOfRun << false << true << QStringList{kAnthem, kStop} << 1;
    QTest::newRow("end of a run that never won") << EndOfRun << false << false << QStringList{} << 1;
}

void AuxWindowsTest::anthemStopsOnUnload()
{
    QFETCH(CupEnd, end);
    QFETCH(bool, mapOpen);
    QFETCH(bool, cupShown);
    QFETCH(QStringList, events);
    QFETCH(int, quits);
    App app;
    app.forms.france.setVisible(true);
    app.forms.france.setVisible(false);
    if (mapOpen)
        app.forms.villesDeFrance.setVisible(true);
    if (cupShown)
        app.forms.coupeVainqueur.setVisible(true);
    switch (end) {
    case CupEnd::TitleBar:
        QVERIFY(app.forms.coupeVainqueur->close());
        break;
    case CupEnd::EndOfRun:
        app.forms.End();
        break;
    }
    QCOMPARE(app.sound.events, events);
    QCOMPARE(app.quits, quits);
    QVERIFY(!app.forms.coupeVainqueur.loaded());
}

QTEST_MAIN(AuxWindowsTest)
#include "tst_auxwindows.moc"
