// Guards against windows that fall off a small screen or blur on a dense one:
// each window must lie whole and centred on the screen, a click at an answer
// box's scaled place must be judged as that box, the texts must stay
// readable, a window the desktop forces to another size must keep its design
// whole and centred, and a dense screen must get text and pictures drawn at
// its own resolution rather than a 1x drawing blown up.
#include "TestSupport.h"
#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/France.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Bonjour.h"
#include "shell/BonjourLayout.h"
#include "shell/Controls.h"
#include "shell/MessageBoxQuestion.h"
#include "shell/ScreenFit.h"

#include <QGraphicsView>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace varnelle;
using varnelle::test::Window;

namespace {

// The screen's name in the grabs' file names, as the test's registration
// gives it.
QString screenTag()
{
    return qEnvironmentVariable("VARNELLE_SCREEN", QStringLiteral("1280x1024"));
}

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// The window the desktop shows for a form, and the scale it shows it at.
QWidget* shownFor(Form* form)
{
    QWidget* host = hostOf(form);
    return host ? host : form;
}

double scaleOf(Form* form)
{
    const auto* view = qobject_cast<const QGraphicsView*>(hostOf(form));
    return view ? view->transform().m11() : 1.0;
}

const FormSpec& designOf(Window window)
{
    switch (window) {
    case Window::Bonjour:
        return layout::kBonjourForm;
    case Window::France:
        return layout::kFranceForm;
    case Window::Erreur:
        return kErreurForm;
    case Window::VillesDeFrance:
        return kVillesForm;
    case Window::CoupeVainqueur:
        break;
    }
    return kCoupeForm;
}

// Where a click at the centre of answer box `number` lands in the shown
// window, for a design drawn at `scale` from `corner`.
QPoint boxPoint(QWidget* shown, const Form& form, int number, QPointF corner, double scale)
{
    const QPoint inner = toPixels(layout::kCarte).topLeft() + QPoint(PictureBox::kBorder, PictureBox::kBorder);
    const QRectF place = QRectF(toPixels(layout::kAnswerBoxes[number - 1].rect, layout::kCarteScale).translated(inner));
    const QPoint at = (corner + place.center() * scale).toPoint();
    const auto* view = qobject_cast<const QGraphicsView*>(hostOf(&form));
    return view ? view->viewport()->mapTo(shown, at) : at;
}

// Whether every pixel of `image`, in device pixels, outside `design`, in
// logical ones, has the colour `plain`.
bool plainAround(const QImage& image, const QRectF& design, QColor plain)
{
    const double ratio = image.devicePixelRatio();
    const QRect inside = QRectF(design.topLeft() * ratio, design.size() * ratio).toAlignedRect().adjusted(-1, -1, 1, 1);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (!inside.contains(x, y) && row[x] != plain.rgb())
                return false;
        }
    }
    return true;
}

// Mean squared luminance step between neighbouring pixels: blurring lowers it.
double sharpness(const QImage& image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 0; y + 1 < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        const uchar* below = grey.constScanLine(y + 1);
        for (int x = 0; x + 1 < grey.width(); ++x) {
            const double dx = row[x + 1] - row[x];
            const double dy = below[x] - row[x];
            sum += dx * dx + dy * dy;
        }
    }
    return sum / (double(grey.width()) * grey.height());
}

void addWindowRows()
{
    QTest::addColumn<Window>("window");
    for (const Window window : test::kWindows)
        QTest::newRow(test::nameOf(window)) << window;
}

// A row's window, loaded and shown, and the window the desktop shows for it.
struct ShownWindow {
    explicit ShownWindow(Window window) : form(&test::load(app, window))
    {
        form->setVisible(true);
        shown = shownFor(form);
    }

    test::App app;
    Form* form;
    QWidget* shown = nullptr;
};

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void shrinkFactorKeepsWindowAndFrameOnScreen_data();
    void shrinkFactorKeepsWindowAndFrameOnScreen();
    void windowFitsCentredAndScaledOnlyWhenNeeded_data();
    void windowFitsCentredAndScaledOnlyWhenNeeded();
    void quizTextsStayReadable();
    void clickAtEachScaledBoxIsJudgedAsThatBox();
    void revisionQuestionIsAWindowOnScreen();
    void designStaysWholeAndCentredInAForcedSize_data();
    void designStaysWholeAndCentredInAForcedSize();
    void denseGrabIsSharperThanUpscaled1x_data();
    void denseGrabIsSharperThanUpscaled1x();
    void pictureIsDrawnFromItsDenseImage_data();
    void pictureIsDrawnFromItsDenseImage();
};

void HiDpiTest::initTestCase()
{
    test::setUpOnce();
}

void HiDpiTest::shrinkFactorKeepsWindowAndFrameOnScreen_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<double>("factor");

    const QSize quiz = layout::kFranceForm.clientPixels();
    QTest::newRow("desktop 1280x1024") << QSize(1280, 1024) << quiz << 1.0;
    QTest::newRow("full HD with a panel") << QSize(1920, 1053) << quiz << 1.0;
    QTest::newRow("exactly room for the frame") << quiz + kFrameAllowance << quiz << 1.0;
    QTest::newRow("one pixel short") << quiz + kFrameAllowance - QSize(0, 1) << quiz << 0.99;
    QTest::newRow("school laptop 1366x768") << QSize(1366, 768) << quiz << 0.79;
    QTest::newRow("school laptop with a task bar") << QSize(1366, 728) << quiz << 0.75;
    QTest::newRow("200% on 2560x1600") << QSize(1280, 800) << quiz << 0.83;
    QTest::newRow("narrow portrait screen") << QSize(800, 1280) << quiz << 0.82;
    QTest::newRow("small window on a small screen") << QSize(1366, 768) << QSize(120, 153) << 1.0;
}

void HiDpiTest::shrinkFactorKeepsWindowAndFrameOnScreen()
{
    QFETCH(QSize, available);
    QFETCH(QSize, client);
    QFETCH(double, factor);

    const double shrink = shrinkFactor(available, client);
    QCOMPARE(shrink, factor);
    const QSizeF scaled = QSizeF(client) * shrink + QSizeF(kFrameAllowance);
    QVERIFY(scaled.width() <= available.width() && scaled.height() <= available.height());
}

void HiDpiTest::windowFitsCentredAndScaledOnlyWhenNeeded_data()
{
    addWindowRows();
}

void HiDpiTest::windowFitsCentredAndScaledOnlyWhenNeeded()
{
    QFETCH(Window, window);
    const QString name = QString::fromLatin1(test::nameOf(window));
    test::App app;
    Form* form = &test::load(app, window);
    const QSize client = form->size();
    form->setVisible(true);
    QWidget* shown = shownFor(form);
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QVERIFY(form->Visible());

    const bool fits = shrinkFactor(available().size(), client) == 1.0;
    QCOMPARE(hostOf(form) == nullptr, fits);
    if (fits)
        QCOMPARE(form->geometry().size(), client);
    QVERIFY2(available().contains(shown->frameGeometry()), qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                                                          .arg(name)
                                                                          .arg(shown->frameGeometry().x())
                                                                          .arg(shown->frameGeometry().y())
                                                                          .arg(shown->frameGeometry().width())
                                                                          .arg(shown->frameGeometry().height())));
    QVERIFY((shown->geometry().center() - available().center()).manhattanLength() <= 1);
    test::saveGrab(shown, QStringLiteral("hidpi-%1-%2").arg(screenTag(), name));

    // Hiding and showing again go through to the window on screen.
    form->setVisible(false);
    QTRY_VERIFY(!shown->isVisible());
    form->setVisible(true);
    QVERIFY(shown->isVisible());
}

void HiDpiTest::quizTextsStayReadable()
{
    // The smallest text a child must read is drawn 16 pixels high at 1x; it
    // must keep at least 12 device pixels, and the answer boxes 9.
    test::App app;
    France& france = *app.forms.france;
    france.setVisible(true);
    const double scale = scaleOf(&france) * shownFor(&france)->devicePixelRatio();
    // Label has no meta-object of its own: findChildren<Label*>() would
    // return every widget.
    for (const QWidget* child : france.findChildren<QWidget*>()) {
        const auto* label = dynamic_cast<const Label*>(child);
        if (!label || label->Caption().trimmed().isEmpty() || label->height() < 5)
            continue;
        QVERIFY2(label->font().pixelSize() * scale >= 12.0, qPrintable(label->objectName()));
    }
    QVERIFY(france.controls().DEPART->font().pixelSize() * scale >= 12.0);
    QVERIFY(france.controls().Check(1).width() * scale >= 9.0);
}

void HiDpiTest::clickAtEachScaledBoxIsJudgedAsThatBox()
{
    test::App app;
    France& france = *app.forms.france;
    france.setVisible(true);
    QWidget* shown = shownFor(&france);
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    const double scale = scaleOf(&france);
    // The view's viewport takes the clicks where the window is scaled.
    auto* view = qobject_cast<QGraphicsView*>(hostOf(&france));
    QWindow* window = shown->windowHandle();
    const QPoint inner = toPixels(layout::kCarte).topLeft() + QPoint(PictureBox::kBorder, PictureBox::kBorder);

    for (const layout::AnswerBoxRow& row : layout::kAnswerBoxes) {
        CheckBox& box = france.controls().Check(row.number);
        if (!box.isVisible())
            france.DEPART_Click();
        QVERIFY(box.isVisible());
        QCOMPARE(int(france.session().ItemEnCours), row.number);

        const QRectF place = QRectF(toPixels(row.rect, layout::kCarteScale).translated(inner));
        QPoint at = (place.center() * scale).toPoint();
        if (view)
            at = view->viewport()->mapTo(shown, at);
        QTest::mouseClick(window, Qt::LeftButton, {}, at);

        QVERIFY2(france.session().NbErreurs == 0, qPrintable(QStringLiteral("box %1 judged wrong").arg(row.number)));
        QCOMPARE(int(france.session().ItemEnCours), row.number + 1);
    }
}

void HiDpiTest::revisionQuestionIsAWindowOnScreen()
{
    // Over a quiz window scaled into a view, the question must still be a
    // window of its own, whole on the screen, that its buttons answer.
    test::App app;
    France& france = *app.forms.france;
    france.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(shownFor(&france)));
    bool ownWindow = false;
    bool onScreen = false;
    QTimer::singleShot(0, [&] {
        // Found wherever it was drawn, and answered in every case, so that a
        // question lost inside the scaled view fails the test instead of
        // blocking it.
        QList<QMessageBox*> boxes;
        for (QWidget* top : QApplication::topLevelWidgets())
            boxes += top->findChildren<QMessageBox*>() << qobject_cast<QMessageBox*>(top);
        boxes.removeAll(nullptr);
        if (boxes.isEmpty())
            return;
        QMessageBox* box = boxes.first();
        ownWindow = box->isWindow() && !box->graphicsProxyWidget();
        onScreen = box->screen()->availableGeometry().contains(box->frameGeometry());
        box->button(QMessageBox::No)->click();
    });
    MessageBoxQuestion question;
    QCOMPARE(question.ask(&france, QStringLiteral("Souhaites-tu r\u00e9viser ?"), QStringLiteral("R\u00e9viser")),
             YesNoQuestion::kNo);
    QVERIFY(ownWindow);
    QVERIFY(onScreen);
}

void HiDpiTest::designStaysWholeAndCentredInAForcedSize_data()
{
    addWindowRows();
}

void HiDpiTest::designStaysWholeAndCentredInAForcedSize()
{
    // Window managers force even a fixed-size window to the whole screen
    // (full screen, maximised). The design stays whole and centred in it,
    // unscaled where it fits, on the desktop's plain window colour; clicks
    // still reach its boxes; and the window is its own size again after.
    QFETCH(Window, window);
    const ShownWindow row(window);
    Form* form = row.form;
    QWidget* shown = row.shown;
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    const QSize own = shown->size();
    const double ownScale = scaleOf(form);

    shown->setWindowState(Qt::WindowFullScreen);
    const QSize screen = shown->screen()->geometry().size();
    QTRY_COMPARE(shown->size(), screen);
    const QSizeF design = designOf(window).clientPixels();
    const double scale = std::min({1.0, screen.width() / design.width(), screen.height() / design.height()});
    QRectF placed(QPointF(), design * scale);
    placed.moveCenter(QRectF(QPointF(), QSizeF(screen)).center());
    test::saveGrab(shown, QStringLiteral("hidpi-%1-%2-full-screen").arg(screenTag(), test::nameOf(window)));
    QVERIFY(plainAround(shown->grab().toImage(), placed, QGuiApplication::palette().window().color()));

    if (window == Window::France) {
        auto& france = static_cast<France&>(*form);
        france.DEPART_Click();
        for (int number = 1; number <= 7; ++number) {
            QTest::mouseClick(shown->windowHandle(), Qt::LeftButton, {},
                              boxPoint(shown, france, number, placed.topLeft(), scale));
            QVERIFY2(france.session().NbErreurs == 0, qPrintable(QStringLiteral("box %1 judged wrong").arg(number)));
            QCOMPARE(int(france.session().ItemEnCours), number + 1);
        }
    }

    shown->setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(shown->size(), own);
    QCOMPARE(scaleOf(form), ownScale);
    if (window == Window::France) {
        auto& france = static_cast<France&>(*form);
        france.DEPART_Click();
        QTest::mouseClick(shown->windowHandle(), Qt::LeftButton, {}, boxPoint(shown, france, 8, {}, ownScale));
        QCOMPARE(int(france.session().ItemEnCours), 9);
        QCOMPARE(int(france.session().NbErreurs), 0);
    }
}

void HiDpiTest::denseGrabIsSharperThanUpscaled1x_data()
{
    addWindowRows();
}

void HiDpiTest::denseGrabIsSharperThanUpscaled1x()
{
    QFETCH(Window, window);
    const ShownWindow row(window);
    Form* form = row.form;
    QWidget* shown = row.shown;
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    const double ratio = shown->devicePixelRatio() * scaleOf(form);
    if (ratio <= 1.0)
        QSKIP("the screen is not denser than the layouts");

    if (auto* france = qobject_cast<France*>(form)) {
        for (CheckBox* box : france->controls().boxes)
            box->show();
        for (PictureBox* picture : france->controls().pictureOver) {
            if (picture)
                picture->show();
        }
    }
    const QImage dense = shown->grab().toImage();
    test::saveGrab(shown, QStringLiteral("hidpi-%1-%2-dense").arg(screenTag(), test::nameOf(window)));
    // The same window drawn at one device pixel per logical pixel, then
    // blown up to the dense grab's size: what a blurry window looks like.
    QImage single(shown->size(), QImage::Format_RGB32);
    shown->render(&single);
    const QImage blownUp = single.scaled(dense.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    const double gain = sharpness(dense) / sharpness(blownUp);
    QVERIFY2(
        gain > 1.3,
        qPrintable(QStringLiteral("%1 at ratio %2: sharpness gain %3").arg(test::nameOf(window)).arg(ratio).arg(gain)));
}

void HiDpiTest::pictureIsDrawnFromItsDenseImage_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("dense");
    const auto add = [](const char* tag, Window window, const char* picture, const char* dense) {
        QTest::newRow(tag) << window << QString::fromLatin1(picture) << QString::fromLatin1(dense);
    };
    add("map", Window::France, "Carte", ":/map/carte@2x.jpg");
    add("flag", Window::France, "DrapeauSuisse", ":/rewards/DrapeauSuisse@2x.png");
    add("seal", Window::France, "Phoque", ":/rewards/Phoque@2x.png");
    add("no-entry sign", Window::Erreur, "Picture1", ":/pictures/SensInterdit@2x.png");
    add("revision map", Window::VillesDeFrance, "Picture1", ":/pictures/VillesDeFrance@2x.png");
    add("cup", Window::CoupeVainqueur, "Picture1", ":/pictures/Coupe@2x.png");
}

void HiDpiTest::pictureIsDrawnFromItsDenseImage()
{
    QFETCH(Window, window);
    QFETCH(QString, picture);
    QFETCH(QString, dense);
    const ShownWindow row(window);
    Form* form = row.form;
    QVERIFY(QTest::qWaitForWindowExposed(row.shown));
    const double ratio = form->devicePixelRatio();
    if (ratio <= 1.0 || hostOf(form))
        QSKIP("pictures are compared where the screen alone is dense");

    auto* box = dynamic_cast<PictureBox*>(form->findChild<QWidget*>(picture));
    QVERIFY(box);
    box->show();
    // The picture alone, without the panels and boxes over it, painted as
    // the screen's backing store paints it.
    QWidget* inner = box->inner();
    QImage grab((QSizeF(inner->size()) * ratio).toSize(), QImage::Format_RGB32);
    grab.setDevicePixelRatio(ratio);
    inner->render(&grab, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    grab.setDevicePixelRatio(1);

    // What the screen should show: the dense image at the screen's ratio,
    // against the 1x image blown up, which a blurred picture would match.
    const QImage denseImage(dense);
    QVERIFY(!denseImage.isNull());
    const auto shownAt = [&](const QImage& image, double factor) {
        const QImage scaled = factor == 1.0 ? image
                                            : image.scaled((QSizeF(image.size()) * factor).toSize(),
                                                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return scaled.convertToFormat(QImage::Format_RGB32);
    };
    const auto difference = [&](const QImage& expected) {
        const int width = std::min(grab.width(), expected.width());
        const int height = std::min(grab.height(), expected.height());
        double sum = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const QRgb a = grab.pixel(x, y);
                const QRgb b = expected.pixel(x, y);
                sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        return sum / (3.0 * width * height);
    };
    const double fromDense = difference(shownAt(denseImage, ratio / 2));
    const double from1x = difference(shownAt(box->Picture().toImage(), ratio));
    QVERIFY2(fromDense < 0.8 * from1x && (ratio != 2.0 || fromDense < 1.0),
             qPrintable(QStringLiteral("ratio %1: %2 from the dense image, %3 from the 1x one")
                            .arg(ratio)
                            .arg(fromDense)
                            .arg(from1x)));
}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
