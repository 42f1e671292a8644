#include "shell/Forms.h"

#include "shell/Artwork.h"
#include "shell/FrameExtents.h"
#include "shell/ScreenFit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace varnelle {

namespace {

// Where the client area of `window` stands when the window, with a frame of
// `frame`, is centred in the work area.
std::optional<QRect> centredClientArea(const QWidget* window, QMargins frame)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    QRect placed = QRect(QPoint(), window->size()) + frame;
    placed.moveCenter(screen->availableGeometry().center());
    return placed - frame;
}

// How long a window manager asked to restore a window may take to do it.
constexpr int kLeaveForcedSizeMs = 500;
// Time enough to draw a window and for the compositor to show the picture.
constexpr int kRedrawnMs = 100;

} // namespace

Form::Form(Forms& forms, const FormSpec& design)
    : QWidget(nullptr), whenMinimised_(design.whenMinimised), designSize_(design.clientPixels()), owner_(forms),
      keepsRunAlive_(design.keepsRunAlive == KeepsRunAlive::Yes), shownAgain_(design.shownAgain == ShownAgain::Yes)
{
    owner_.loaded_.append(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(design.caption));
    setWindowIcon(formIcon(QString::fromLatin1(design.icon)));
    setFixedSize(designSize_);
}

Form::~Form()
{
    // An unloaded form has left the list already, and may outlive it: it is
    // deleted later, by the event loop.
    if (!unloaded_)
        owner_.loaded_.removeOne(this);
}

void Form::setVisible(bool visible)
{
    // A handler may hide a window and show it again within one event, as the
    // error window is on every wrong click. Window managers can lose a window
    // unmapped and mapped again at once, so a hide reaches the screen only
    // when the event is over, and not at all if the window is shown by then.
    visible_ = visible;
    if (visible) {
        if (!shownSinceLoad_) {
            shownSinceLoad_ = true;
            QWidget* shown = fitOnScreen(this);
            if (shown)
                shown->installEventFilter(this);
            else
                shown = this;
            // A desktop centres the whole window, frame included.
            const std::optional<QMargins> told = frameExtentsBeforeShowing(shown);
            const QMargins frame = told ? *told : frameMarginsOf(shown);
            if (const std::optional<QRect> client = centredClientArea(shown, frame)) {
                // Once the window manager has told the frame, Qt places the
                // client area at a window's position: place the client area.
                if (told)
                    shown->setGeometry(*client);
                else
                    shown->move((*client + frame).topLeft());
                centreWhenFramed_ = !told && frame.isNull();
            }
            placedAt_ = shown->geometry();
        }
        bringToFront();
    } else if (!isVisible()) {
        showNatively(false);
    } else if (!hidePending_) {
        hidePending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                hidePending_ = false;
                if (!visible_)
                    showNatively(false);
            },
            Qt::QueuedConnection);
    }
}

QWidget* Form::topLevel()
{
    QWidget* host = hostOf(this);
    return host ? host : this;
}

void Form::showNatively(bool visible)
{
    QWidget* window = topLevel();
    if (visible) {
        leavingForcedSize_ = false;
    } else if (leavingForcedSize_) {
        return;
    } else if (window->isVisible() && window->size() != window->maximumSize() && leaveForcedSize(window)) {
        // Weston's X window manager goes on showing a window hidden while
        // maximised, or while it is being restored: the window is hidden
        // once it is back at its own size, or when the window manager has
        // had its time to put it back.
        leavingForcedSize_ = true;
        QTimer::singleShot(kLeaveForcedSizeMs, this, &Form::hideOnceLeft);
        return;
    }
    mapNatively(visible);
    if (!visible)
        releaseIfHiddenForGood();
}

void Form::mapNatively(bool visible)
{
    QWidget* window = topLevel();
    if (!visible && window->isVisible())
        shownAt_ = window->geometry();
    if (QWidget* host = hostOf(this))
        host->setVisible(visible);
    QWidget::setVisible(visible);
}

void Form::releaseIfHiddenForGood()
{
    if (shownAgain_)
        return;
    // Qt creates the native window and its backing store again should the
    // window be shown after all.
    if (QWidget* host = hostOf(this))
        releaseNativeWindow(host);
    else if (windowHandle())
        destroy();
}

void Form::bringToFront()
{
    // Window managers raise the window the player clicks: the error window,
    // shown because the quiz window was just clicked, would stay mapped
    // behind it. So every show raises and activates the window, and brings it
    // back first if the desktop had minimised it.
    QWidget* window = topLevel();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    if (window->windowHandle() && raisesOnlyWhenMapping()) {
        // Weston's X window manager brings a window to the front only when it
        // maps it, and puts it where it was created only if it is new: a
        // window mapped again opens 32 pixels further up and left each time.
        // So the window is shown as a new one, where it was first placed.
        if (window->isVisible())
            mapNatively(false);
        window->windowHandle()->destroy();
        window->setGeometry(placedAt_);
    } else if (!window->isVisible() && shownAt_.isValid()) {
        // A window manager may leave a window it withdraws where its frame
        // was (mutter: a title bar higher), and frame it from there when it
        // is shown again: it is put back where the player last saw it.
        window->setGeometry(shownAt_);
    }
    showNatively(true);
    window->raise();
    window->activateWindow();
}

void Form::minimisedBy(QEvent* event)
{
    if (event->type() != QEvent::WindowStateChange || whenMinimised_ != WhenMinimised::ComesBack)
        return;
    if (!(topLevel()->windowState() & Qt::WindowMinimized))
        return;
    // Queued: the window manager finishes minimising before the window asks
    // to come back.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (visible_ && (topLevel()->windowState() & Qt::WindowMinimized))
                bringToFront();
        },
        Qt::QueuedConnection);
}

void Form::changeEvent(QEvent* event)
{
    minimisedBy(event);
    QWidget::changeEvent(event);
}

void Form::centreOnceFramed(QWidget* shown)
{
    // Some window managers tell the frame only once they have framed the
    // window (KWin): the window is centred again then, once. Not after the
    // desktop has forced it to another size (weston's maximise): that would
    // undo the desktop's own placement.
    if (!centreWhenFramed_ || !shown->windowHandle())
        return;
    if (shown->size() != shown->minimumSize()) {
        centreWhenFramed_ = false;
        return;
    }
    const QMargins frame = shown->windowHandle()->frameMargins();
    if (frame.isNull())
        return;
    centreWhenFramed_ = false;
    if (const std::optional<QRect> client = centredClientArea(shown, frame))
        shown->setGeometry(*client);
}

void Form::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (!hostOf(this))
        centreOnceFramed(this);
}

void Form::resizedBy(QEvent* event)
{
    if (event->type() != QEvent::Resize || !leavingForcedSize_ || topLevel()->size() != topLevel()->maximumSize())
        return;
    // The compositor takes the window back at its own size with the next
    // picture the window gives it: a frame later.
    QTimer::singleShot(kRedrawnMs, this, &Form::hideOnceLeft);
}

void Form::hideOnceLeft()
{
    if (!leavingForcedSize_)
        return;
    leavingForcedSize_ = false;
    if (!visible_ || unloaded_) {
        mapNatively(false);
        releaseIfHiddenForGood();
    }
}

void Form::resizeEvent(QResizeEvent* event)
{
    resizedBy(event);
    QWidget::resizeEvent(event);
    centreDesign();
}

void Form::centreDesign()
{
    // The controls stand where the design puts them, counted from the
    // design's corner; a view that scales the form centres it itself. Some
    // controls reach past the design's edges, where its window cuts them
    // off: a larger window must cut them off there too.
    const QSize extra = size() - designSize_;
    const QPoint corner(extra.width() / 2, extra.height() / 2);
    const QPoint shift = corner - designCorner_;
    if (shift.isNull())
        return;
    designCorner_ = corner;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        child->move(child->pos() + shift);
        if (corner.isNull())
            child->clearMask();
        else
            child->setMask(QRegion(QRect(corner - child->pos(), designSize_)));
    }
    update();
}

void Form::paintEvent(QPaintEvent*)
{
    // Around the design, the desktop's plain window colour: a window's own
    // back colour belongs to its design.
    if (designCorner_.isNull())
        return;
    QPainter painter(this);
    const QRegion around = QRegion(rect()) - QRegion(QRect(designCorner_, designSize_));
    for (const QRect& part : around)
        painter.fillRect(part, QGuiApplication::palette().window());
}

bool Form::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == hostOf(this)) {
        minimisedBy(event);
        if (event->type() == QEvent::Move)
            centreOnceFramed(hostOf(this));
        resizedBy(event);
    }
    return QWidget::eventFilter(watched, event);
}

void Form::unload()
{
    if (unloaded_)
        return;
    Form_Unload();
    unloaded_ = true;
    owner_.loaded_.removeOne(this);
    visible_ = false;
    showNatively(false);
    deleteLater();
}

void Form::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (unloaded_)
        return;
    unload();
    owner_.formClosedByPlayer();
}

Forms::Forms(std::function<void()> quit) : quit_(std::move(quit))
{
}

void Forms::End()
{
    if (ended_)
        return;
    ended_ = true;
    for (Form* form : QList<Form*>(loaded_))
        form->unload();
    quit_();
}

void Forms::formClosedByPlayer()
{
    for (const Form* form : loaded_) {
        if (form->Visible() && form->keepsRunAlive())
            return;
    }
    End();
}

} // namespace varnelle
