#include "shell/ScreenFit.h"

#include <QCloseEvent>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace varnelle {

namespace {

// The window the desktop sees in place of a form too large for the screen.
class ScaledHost : public QGraphicsView {
public:
    ScaledHost(QWidget* window, double factor) : window_(window), ownFactor_(factor)
    {
        setWindowFlags(window->windowFlags());
        setWindowTitle(window->windowTitle());
        setWindowIcon(window->windowIcon());
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setAlignment(Qt::AlignCenter);
        setBackgroundBrush(palette().window());
        setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);

        auto* scene = new QGraphicsScene(this);
        QGraphicsProxyWidget* proxy = scene->addWidget(window, Qt::Widget);
        proxy->setPos(0, 0);
        scene->setSceneRect(QRectF(QPointF(0, 0), QSizeF(window->size())));
        setScene(scene);
        setTransform(QTransform::fromScale(factor, factor));
        setFixedSize((QSizeF(window->size()) * factor).toSize());
        // The form is deleted when it is unloaded; its window goes with it.
        connect(window, &QObject::destroyed, this, [this] { delete this; });
    }

    void releaseNativeWindow()
    {
        if (windowHandle())
            destroy();
    }

protected:
    // A desktop may force the window to another size (full screen,
    // maximised): the form stays whole and centred in it, drawn at most at
    // its own size, and at its own factor again at the window's own size.
    void resizeEvent(QResizeEvent* event) override
    {
        QGraphicsView::resizeEvent(event);
        const QSizeF form = window_->size();
        const double fit = std::min(width() / form.width(), height() / form.height());
        const double factor = size() == minimumSize() ? ownFactor_ : std::min(1.0, fit);
        setTransform(QTransform::fromScale(factor, factor));
    }

    // The title bar's close control belongs to the form.
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        window_->close();
    }

private:
    QWidget* window_;
    double ownFactor_;
};

} // namespace

double shrinkFactor(QSize available, QSize client)
{
    const QSize room = available - kFrameAllowance;
    const double fit = std::min(double(room.width()) / client.width(), double(room.height()) / client.height());
    if (fit >= 1.0)
        return 1.0;
    return std::max(0.01, std::floor(fit * 100.0) / 100.0);
}

QWidget* fitOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return nullptr;
    const double factor = shrinkFactor(screen->availableGeometry().size(), window->size());
    if (factor >= 1.0)
        return nullptr;
    return new ScaledHost(window, factor);
}

QWidget* hostOf(const QWidget* window)
{
    const QGraphicsProxyWidget* proxy = window->graphicsProxyWidget();
    if (!proxy || !proxy->scene())
        return nullptr;
    return proxy->scene()->views().value(0);
}

void releaseNativeWindow(QWidget* host)
{
    static_cast<ScaledHost*>(host)->releaseNativeWindow();
}

} // namespace varnelle
