// Varnelle: the controls of the forms runtime, drawn the way the layouts describe them.
#pragma once

#include "shell/Fonts.h"
#include "shell/Twips.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QTextLayout>
#include <QWidget>

#include <memory>

namespace varnelle {

enum class Align : std::uint8_t { Left, Centre };

QColor toQColor(Colour colour);

// An opaque label: fills its rectangle with its back colour and shows its
// caption wrapped at word breaks within its width. It never grows: a line
// whose baseline falls below the bottom edge is not shown, and what lies
// below the edge is cut off.
class Label : public QWidget {
public:
    Label(QWidget* parent, Colour back, Colour fore, const FontSpec& font, Align align);

    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);

    // How many lines of the caption show, and whether some of it is cut off.
    int shownLines() const;
    bool isCut() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The caption is laid out when it is first shown or asked about, once
    // both it and the size are known: a label built hidden is captioned and
    // then resized when first shown, and each layout shapes the whole text.
    void layOut() const;

    QString caption_;
    QColor back_;
    QColor fore_;
    Align align_;
    mutable QTextLayout layout_;
    mutable bool laidOut_ = false;
    mutable qreal shownHeight_ = 0;
    mutable int shownLines_ = 0;
    mutable bool cut_ = false;
};

// A label as a layout stores it: position in its container's scale units.
struct LabelRow {
    const char* name;
    TwipRect rect;
    Colour back;
    Colour fore;
    FontSpec font;
    Align align;
    const char* caption;
    int tabIndex;
};

// Builds the label of that row in `parent`, named, placed and captioned.
Label* addLabel(QWidget* parent, const LabelRow& row, ScaleMode scale = kTwips);

// A straight line of a given pixel width, centred on the segment between its
// end points (given in the parent's pixels). Only horizontal and vertical
// lines occur in the layouts; the ends are squared, so framing lines meet
// cleanly at the corners.
class Line : public QWidget {
public:
    Line(QWidget* parent, Colour colour, int widthPixels, QPoint from, QPoint to);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

// A picture box: the standard 2-pixel sunken border around an inner area that
// shows its bitmap unscaled from the top-left corner, clipped by the area, on
// the back colour. Child controls belong in inner(), which clips them too.
class PictureBox : public QWidget {
public:
    PictureBox(QWidget* parent, Colour back, const QString& bitmap);

    QWidget* inner() const;
    void setBitmap(const QString& bitmap);
    // The bitmap as decoded when it was set; painting never decodes it again.
    const QPixmap& Picture() const;

    static constexpr int kBorder = 2;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Inner;
    Inner* inner_;
};

// A standard push button whose caption is centred and wrapped at word breaks
// inside the button, as a command button shows it. Return and Enter press it
// as the space bar does, as on the desktops children know.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(QWidget* parent, const FontSpec& font);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

Q_SIGNALS:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

// A one-line text box. KeyPress is raised with the key's character code
// before the key reaches the text (13 for Enter).
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(QWidget* parent, Colour fore, const FontSpec& font);

Q_SIGNALS:
    void KeyPress(int keyAscii);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A check box with the three values of a classic check box: 0 unchecked,
// 1 checked, 2 grayed. Click is raised once for each click of the player (or
// space bar), after the value has moved, and once for each change of Value
// made in code, nested inside setValue(): a handler that grays its own box
// therefore runs a second time before setValue() returns, and that second
// run's own setValue(2) changes nothing and raises nothing. The player can
// never click a box into grayed: unchecked and checked swap, grayed leaves to
// checked.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    CheckBox(QWidget* parent, Colour back, Colour fore, const QString& caption);

    int Value() const { return value_; }
    void setValue(int value);

Q_SIGNALS:
    void Click();

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void display(int value);

    // The focus frame lies just inside the indicator's 2-pixel sunken frame.
    static constexpr int kFocusInset = 2;

    int value_ = 0;
};

} // namespace varnelle
