#include "shell/MessageBoxQuestion.h"

#include "shell/ScreenFit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

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
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Non"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? kYes : kNo;
}

} // namespace varnelle
