#include "shell/MessageBoxQuestion.h"

#include "shell/Controls.h"
#include "shell/ScreenFit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <algorithm>

namespace varnelle {

namespace {

// QMessageBox takes Escape and the title-bar close as the No button; this
// question must be answered by one of its buttons, so both are refused.
class ButtonsOnlyMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override
    {
        if (clickedButton())
            QMessageBox::closeEvent(event);
        else
            event->ignore();
    }
};

// Room the window manager takes beside the title: the window's icon and its
// title-bar buttons.
constexpr int kTitleBarControlsWidth = 100;

// Title bars commonly use 12 points when the desktop names no font (icewm,
// for one), larger than the application's default.
constexpr qreal kTitlePointSize = 12;

// Like the classic message box, the question is wide enough for its whole
// title to show; Qt leaves room only for a plain title of the application's
// font, and window managers draw titles larger, often bold.
void widenForTitle(QMessageBox& box, const QString& title)
{
    QFont titleFont = QApplication::font();
    titleFont.setPointSizeF(std::max(titleFont.pointSizeF(), kTitlePointSize));
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarControlsWidth;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

} // namespace

int MessageBoxQuestion::ask(QWidget* parent, const QString& prompt, const QString& title)
{
    // A window scaled down to fit a small screen is drawn inside a view; the
    // question belongs to that view, so that it stays a window of its own
    // instead of being drawn, scaled, inside the picture of the window.
    QWidget* owner = parent ? parent->window() : nullptr;
    if (QWidget* host = owner ? hostOf(owner) : nullptr)
        owner = host;
    ButtonsOnlyMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No, owner);
    box.setObjectName(QStringLiteral("Question"));
    // The dialog face of the classic design, from the bundled fonts: the
    // desktop's own font would lay the question out differently on every
    // machine.
    box.setFont(fontFor(FontSpec{}));
    widenForTitle(box, title);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Non"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? kYes : kNo;
}

} // namespace varnelle
