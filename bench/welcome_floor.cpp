// The floor of start-up: the welcome window as plain Qt draws it, and nothing
// more. The same client size, the same five texts in the same bundled faces
// and sizes, the same colours, field and button, in the same style, all read
// from the program's own layout; no forms runtime, no icon, no translation.
// Whatever the program spends beyond this before its first paint is its own.
#include "shell/BonjourLayout.h"
#include "shell/Fonts.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

namespace {

using namespace varnelle;
using namespace varnelle::layout;

QColor colourOf(Colour colour)
{
    return {colour.red, colour.green, colour.blue};
}

class Floor : public QWidget {
public:
    Floor()
    {
        setWindowTitle(QString::fromUtf8(kBonjourForm.caption));
        setFixedSize(kBonjourForm.clientPixels());
        for (const LabelRow& row : kBonjourLabels)
            fonts_.append(fontFor(row.font));

        auto* nj = new QLineEdit(this);
        nj->setGeometry(toPixels(kNj));
        nj->setFont(fontFor(kNjFont));
        nj->setAlignment(Qt::AlignCenter);
        QPalette colours = nj->palette();
        colours.setColor(QPalette::Text, colourOf(kNjColour));
        nj->setPalette(colours);

        auto* entree = new QPushButton(QString::fromLatin1(kEntreeCaption), this);
        entree->setGeometry(toPixels(kEntree));
        entree->setFont(fontFor(kEntreeFont));
        nj->setFocus();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        qsizetype index = 0;
        for (const LabelRow& row : kBonjourLabels) {
            painter.setFont(fonts_.at(index++));
            painter.setPen(colourOf(row.fore));
            painter.drawText(toPixels(row.rect), Qt::AlignHCenter | Qt::TextWordWrap, QString::fromUtf8(row.caption));
        }
    }

private:
    QList<QFont> fonts_;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    Floor window;
    window.show();
    return QApplication::exec();
}
