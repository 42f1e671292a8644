#include "QuizWindow.h"

#include "quiz/France.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QEvent>
#include <QTest>

namespace varnelle::test {

QPoint inWindow(int x, int y)
{
    return {x + PictureBox::kBorder, y + PictureBox::kBorder};
}

QColor own(Colour colour)
{
    return toQColor(colour);
}

QColor role(QPalette::ColorRole colourRole)
{
    return QApplication::palette().color(colourRole);
}

QImage carteImage()
{
    return QImage(QString::fromLatin1(layout::kCarteImage)).convertToFormat(QImage::Format_RGB32);
}

std::unique_ptr<App> shownFrance(France*& france)
{
    auto app = std::make_unique<App>();
    france = &*app->forms.france;
    app->forms.france.setVisible(true);
    france->activateWindow();
    if (!QTest::qWaitForWindowActive(france))
        qWarning("the quiz window did not become active");
    return app;
}

bool PaintCounter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        painted.insert(watched);
    return false;
}

} // namespace varnelle::test
