#include "shell/Forms.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/France.h"
#include "shell/Artwork.h"
#include "shell/Bonjour.h"
#include "shell/FrameExtents.h"
#include "shell/ScreenFit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWindow>

namespace varnelle {

Form::Form(Forms& forms, const FormSpec& design) : QWidget(nullptr), forms_(forms), whenMinimised_(design.whenMinimised)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(design.caption));
    setWindowIcon(formIcon(QString::fromLatin1(design.icon)));
    setFixedSize(design.clientPixels());
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
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                const std::optional<QMargins> told = frameExtentsBeforeShowing(shown);
                const QMargins frame = told ? *told : frameMarginsOf(shown);
                QRect placed = QRect(QPoint(), shown->size()) + frame;
                placed.moveCenter(screen->availableGeometry().center());
                // Once the window manager has told the frame, Qt places the
                // client area at a window's position: place the client area.
                if (told)
                    shown->setGeometry(placed - frame);
                else
                    shown->move(placed.topLeft());
            }
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
    if (QWidget* host = hostOf(this))
        host->setVisible(visible);
    QWidget::setVisible(visible);
}

void Form::bringToFront()
{
    // Window managers raise the window the player clicks: the error window,
    // shown because the quiz window was just clicked, would stay mapped
    // behind it. So every show raises and activates the window, and brings it
    // back first if the desktop had minimised it.
    QWidget* window = topLevel();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
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

bool Form::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == hostOf(this))
        minimisedBy(event);
    return QWidget::eventFilter(watched, event);
}

void Form::unload()
{
    if (unloaded_)
        return;
    Form_Unload();
    unloaded_ = true;
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
    forms_.formClosedByPlayer();
}

Forms::Forms(Platform& platform)
    : bonjour([this] { return new Bonjour(*this); }), france([this] { return new France(*this); }),
      erreur([this] { return new Erreur(*this); }), villesDeFrance([this] { return new VillesDeFrance(*this); }),
      coupeVainqueur([this] { return new CoupeVainqueur(*this); }), platform_(platform)
{
}

Forms::~Forms() = default;

QList<Form*> Forms::loadedForms() const
{
    QList<Form*> forms;
    for (Form* form : std::initializer_list<Form*>{bonjour.loaded(), france.loaded(), erreur.loaded(),
                                                   villesDeFrance.loaded(), coupeVainqueur.loaded()}) {
        if (form)
            forms.append(form);
    }
    return forms;
}

void Forms::End()
{
    if (ended_)
        return;
    ended_ = true;
    for (Form* form : loadedForms())
        form->unload();
    platform_.quit();
}

void Forms::formClosedByPlayer()
{
    // The error window only comments on the quiz window: alone on screen, it
    // does not keep the run going.
    for (Form* form : loadedForms()) {
        if (form->Visible() && form != erreur.loaded())
            return;
    }
    End();
}

} // namespace varnelle
