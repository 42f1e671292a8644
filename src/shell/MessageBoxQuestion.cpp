#include "shell/MessageBoxQuestion.h"

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
    ButtonsOnlyMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("Question"));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Non"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? kYes : kNo;
}

} // namespace varnelle
