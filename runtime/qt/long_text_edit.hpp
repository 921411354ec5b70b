// The line edit behind each text box: a QLineEdit that stays responsive
// with a text of many megabytes in it.
//
// A QLineEdit lays out and shapes its whole text on every repaint, and the
// cursor blinking in a focused box repaints it twice a second: with 16 MB
// in a box one repaint takes seconds, so the window would never come back
// to the user.  Above kLongText characters this edit paints and maps mouse
// positions itself, laying out only the characters around the visible part.
// Editing, the clipboard, undo and the keyboard stay QLineEdit's own.
// The cursor of a long text does not blink: each blink would measure the
// cursor's place on the whole text, a tenth of a second at 16 MB.
#pragma once

#include <QLineEdit>

class QTextLayout;

namespace kvix {

class LongTextEdit final : public QLineEdit {
public:
    explicit LongTextEdit(QWidget* parent = nullptr);

    // Texts longer than this (in UTF-16 code units) are painted by this
    // class: at 64 Ki characters a full layout costs a few milliseconds.
    static constexpr qsizetype kLongText = qsizetype{1} << 16;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Characters laid out on each side of the cursor and of the left edge:
    // far more than the widest box shows (one pixel a character at least,
    // except for zero-width ones).
    static constexpr qsizetype kSpan = 2048;

    struct View;
    bool is_long() const;
    // Lays out the part of the text around the cursor, scrolled as a
    // QLineEdit scrolls: the cursor stays inside the box, moving the
    // visible part only as far as needed.
    void lay_out_visible(QTextLayout& layout, View& view);
    qsizetype position_at(int x);

    // Where the view stands: the character at the left edge and how many
    // pixels of it are scrolled out.
    qsizetype left_char_ = 0;
    qreal left_pixels_ = 0;
    qsizetype drag_anchor_ = -1;
};

} // namespace kvix
