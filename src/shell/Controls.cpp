#include "shell/Controls.h"

#include "shell/Artwork.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextOption>
#include <qdrawutil.h>

#include <limits>

namespace varnelle {

QColor toQColor(Colour colour)
{
    switch (colour.role) {
    case Colour::Role::ButtonFace:
        return QApplication::palette().color(QPalette::Button);
    case Colour::Role::ButtonText:
        return QApplication::palette().color(QPalette::ButtonText);
    case Colour::Role::Own:
        break;
    }
    return {colour.red, colour.green, colour.blue};
}

Label::Label(QWidget* parent, Colour back, Colour fore, const FontSpec& font, Align align)
    : QWidget(parent), back_(toQColor(back)), fore_(toQColor(fore)), align_(align)
{
    setFont(fontFor(font));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Label* addLabel(QWidget* parent, const LabelRow& row, ScaleMode scale)
{
    auto* label = new Label(parent, row.back, row.fore, row.font, row.align);
    label->setObjectName(QString::fromLatin1(row.name));
    label->setGeometry(toPixels(row.rect, scale));
    label->setCaption(QString::fromUtf8(row.caption));
    return label;
}

void Label::setCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    laidOut_ = false;
    update();
}

void Label::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    laidOut_ = false;
}

int Label::shownLines() const
{
    layOut();
    return shownLines_;
}

bool Label::isCut() const
{
    layOut();
    return cut_;
}

void Label::layOut() const
{
    if (laidOut_)
        return;
    laidOut_ = true;
    // Carriage return and line feed end a line; a lone one of them does too.
    QString text = caption_;
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);

    QTextOption option(align_ == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout_.clearLayout();
    layout_.setFont(font());
    layout_.setTextOption(option);
    layout_.setText(text);
    layout_.beginLayout();
    // Lines are laid out only as far as the label can show them, so even a
    // huge caption costs no more than what fits.
    shownHeight_ = 0;
    shownLines_ = 0;
    cut_ = false;
    qreal y = 0;
    for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, y));
        if (y + line.ascent() > height()) {
            cut_ = true;
            break;
        }
        y += line.height();
        shownHeight_ = y;
        ++shownLines_;
    }
    layout_.endLayout();
}

void Label::paintEvent(QPaintEvent*)
{
    layOut();
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    painter.setPen(fore_);
    painter.setClipRect(QRectF(0, 0, width(), std::min<qreal>(shownHeight_, height())));
    layout_.draw(&painter, QPointF(0, 0));
}

namespace {

QRect lineRect(int widthPixels, QPoint from, QPoint to)
{
    const int before = widthPixels / 2;
    const QRect segment = QRect(from, to).normalized();
    return segment.adjusted(-before, -before, widthPixels - 1 - before, widthPixels - 1 - before);
}

} // namespace

Line::Line(QWidget* parent, Colour colour, int widthPixels, QPoint from, QPoint to)
    : QWidget(parent), colour_(toQColor(colour))
{
    Q_ASSERT(from.x() == to.x() || from.y() == to.y());
    setGeometry(lineRect(widthPixels, from, to));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Line::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), colour_);
}

class PictureBox::Inner : public QWidget {
public:
    Inner(QWidget* parent, QColor back) : QWidget(parent), back_(back) { setAttribute(Qt::WA_OpaquePaintEvent); }

    void setBitmap(const QString& bitmap)
    {
        artwork_ = Artwork(bitmap);
        update();
    }

    const QPixmap& picture() const { return artwork_.picture(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), back_);
        artwork_.paint(painter, QPoint(0, 0));
    }

private:
    QColor back_;
    Artwork artwork_;
};

PictureBox::PictureBox(QWidget* parent, Colour back, const QString& bitmap)
    : QWidget(parent), inner_(new Inner(this, toQColor(back)))
{
    inner_->setBitmap(bitmap);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QWidget* PictureBox::inner() const
{
    return inner_;
}

void PictureBox::setBitmap(const QString& bitmap)
{
    inner_->setBitmap(bitmap);
}

const QPixmap& PictureBox::Picture() const
{
    return inner_->picture();
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    inner_->setGeometry(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
}

CommandButton::CommandButton(QWidget* parent, const FontSpec& font) : QPushButton(parent)
{
    setFont(fontFor(font));
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
}

void CommandButton::paintEvent(QPaintEvent*)
{
    // QPushButton draws its caption on one line; draw the bevel alone, then
    // the caption wrapped inside the button's contents.
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(contents, Qt::AlignCenter | Qt::TextWordWrap, text());
}

namespace {

bool isReturn(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

QKeyEvent asSpaceBar(const QKeyEvent& event)
{
    return QKeyEvent(event.type(), Qt::Key_Space, event.modifiers() & ~Qt::KeypadModifier, QStringLiteral(" "),
                     event.isAutoRepeat());
}

} // namespace

// A push button outside a dialog ignores Return; the space bar presses it on
// the key's press and clicks on its release, once however long it is held.
void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (!isReturn(*event))
        return QPushButton::keyPressEvent(event);
    QKeyEvent space = asSpaceBar(*event);
    QPushButton::keyPressEvent(&space);
    event->setAccepted(space.isAccepted());
}

void CommandButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!isReturn(*event))
        return QPushButton::keyReleaseEvent(event);
    QKeyEvent space = asSpaceBar(*event);
    QPushButton::keyReleaseEvent(&space);
    event->setAccepted(space.isAccepted());
}

TextBox::TextBox(QWidget* parent, Colour fore, const FontSpec& font) : QLineEdit(parent)
{
    setFont(fontFor(font));
    setAlignment(Qt::AlignCenter);
    // A text box holds text of any length; QLineEdit would cut it at 32767.
    setMaxLength(std::numeric_limits<int>::max());
    QPalette colours = palette();
    colours.setColor(QPalette::Text, toQColor(fore));
    setPalette(colours);
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (!typed.isEmpty())
        Q_EMIT KeyPress(typed.at(0).unicode());
    QLineEdit::keyPressEvent(event);
}

CheckBox::CheckBox(QWidget* parent, Colour back, Colour fore, const QString& caption) : QCheckBox(caption, parent)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(back));
    colours.setColor(QPalette::WindowText, toQColor(fore));
    setPalette(colours);
    setAutoFillBackground(true);
    setTristate(true);
    connect(this, &QCheckBox::clicked, this, &CheckBox::Click);
}

void CheckBox::setValue(int value)
{
    if (value == value_)
        return;
    display(value);
    Q_EMIT Click();
}

void CheckBox::nextCheckState()
{
    display(value_ == 1 ? 0 : 1);
}

void CheckBox::paintEvent(QPaintEvent*)
{
    // An answer box is its indicator alone, filling the whole box; its caption
    // would lie right of the indicator, outside the box. The style's focus
    // frame surrounds that caption, so the frame is drawn inside the
    // indicator instead, and shows when the style would show it.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = rect();
    option.text.clear();
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = rect().adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
        focus.backgroundColor = palette().color(QPalette::Base);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void CheckBox::display(int value)
{
    Q_ASSERT(value >= 0 && value <= 2);
    value_ = value;
    static constexpr Qt::CheckState kStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    setCheckState(kStates[value]);
}

} // namespace varnelle
