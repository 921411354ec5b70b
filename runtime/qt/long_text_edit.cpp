#include "long_text_edit.hpp"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

namespace kvix {

namespace {

// The space a QLineEdit leaves between its contents rectangle and the text.
constexpr int kHorizontalMargin = 2;

// Characters a QLineEdit shows as a space rather than as a missing glyph:
// controls other than tab, the line and paragraph separators and the
// object replacement character.
bool shown_as_space(QChar c) {
    const char16_t u = c.unicode();
    return (u < 0x20 && u != 0x09) || u == 0x2028 || u == 0x2029 || u == 0xFFFC;
}

} // namespace

struct LongTextEdit::View {
    QRect clip;         // the contents rectangle: nothing is drawn outside it
    qsizetype first = 0; // index in the text of the layout's first character
    QPointF origin;     // where the layout's origin goes, in widget coordinates
};

LongTextEdit::LongTextEdit(QWidget* parent) : QLineEdit(parent) {
    // The line edit's editing engine is its one direct QObject child; its
    // timers blink the cursor (and time double and triple clicks).
    for (QObject* child : findChildren<QObject*>(Qt::FindDirectChildrenOnly))
        if (!child->isWidgetType())
            child->installEventFilter(this);
}

bool LongTextEdit::eventFilter(QObject* watched, QEvent* event) {
    // While the text is long, the blinking stops; the cursor is painted
    // steadily instead (see paintEvent).
    if (event->type() == QEvent::Timer && watched->parent() == this && is_long())
        return true;
    return QLineEdit::eventFilter(watched, event);
}

bool LongTextEdit::is_long() const { return text().size() > kLongText; }

void LongTextEdit::lay_out_visible(QTextLayout& layout, View& view) {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                        .marginsRemoved(textMargins());
    const QFontMetrics fm = fontMetrics();
    const QRect line_rect(r.x() + kHorizontalMargin, r.y() + (r.height() - fm.height() + 1) / 2,
                          r.width() - 2 * kHorizontalMargin, fm.height());
    view.clip = r;

    const QString text = this->text();
    const qsizetype n = text.size();
    const qsizetype cursor = cursorPosition();
    left_char_ = std::clamp<qsizetype>(left_char_, 0, n);
    // After a far jump the view comes from the side the cursor left: the
    // cursor then ends at the right edge going right, the left going left.
    if (std::abs(cursor - left_char_) > kSpan) {
        left_char_ = cursor > left_char_ ? cursor - kSpan : std::min(n, cursor + kSpan);
        left_pixels_ = 0;
    }
    qsizetype first = std::max<qsizetype>(0, std::min(left_char_, cursor) - kSpan);
    qsizetype end = std::min(n, std::max(left_char_, cursor) + kSpan);
    if (first > 0 && text.at(first).isLowSurrogate()) // keep surrogate pairs whole
        --first;
    if (end < n && text.at(end).isLowSurrogate())
        ++end;

    QString part = text.mid(first, end - first);
    for (QChar& c : part)
        if (shown_as_space(c))
            c = QChar(u' ');
    layout.setText(part);
    layout.setFont(font());
    QTextOption option = layout.textOption();
    option.setTextDirection(layoutDirection());
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();

    // Scroll as a line edit does, in pixels from the layout's start: keep
    // the cursor inside the line, move no further than needed, and never
    // leave empty room after the end of the text.
    const int width = line_rect.width();
    const int cursor_x = qRound(line.cursorToX(static_cast<int>(cursor - first)));
    int scroll = qRound(line.cursorToX(static_cast<int>(left_char_ - first)) + left_pixels_);
    const int used = qRound(line.naturalTextWidth()) + 1;
    if (first == 0 && end == n && used <= width)
        scroll = 0;
    else if (cursor_x - scroll >= width)
        scroll = cursor_x - width + 1;
    else if (cursor_x - scroll < 0)
        scroll = cursor_x;
    else if (end == n && used - scroll < width)
        scroll = used - width + 1;
    scroll = std::max(scroll, 0);

    const int left = line.xToCursor(scroll, QTextLine::CursorOnCharacter);
    left_char_ = first + left;
    left_pixels_ = scroll - line.cursorToX(left);
    view.first = first;
    view.origin = QPointF(line_rect.x() - scroll,
                          line_rect.y() - (qRound(line.ascent()) - fm.ascent()));
}

void LongTextEdit::paintEvent(QPaintEvent* event) {
    if (!is_long()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    QTextLayout layout;
    View view;
    lay_out_visible(layout, view);
    painter.setClipRect(view.clip);
    const QPalette pal = palette();
    painter.setPen(pal.text().color());

    QList<QTextLayout::FormatRange> selections;
    if (hasSelectedText()) {
        const qsizetype from = std::max<qsizetype>(selectionStart(), view.first);
        const qsizetype to = std::min<qsizetype>(selectionEnd(), view.first + layout.text().size());
        if (from < to) {
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(from - view.first);
            range.length = static_cast<int>(to - from);
            range.format.setBackground(pal.brush(QPalette::Highlight));
            range.format.setForeground(pal.brush(QPalette::HighlightedText));
            selections.append(range);
        }
    }
    layout.draw(&painter, view.origin, selections, QRectF(view.clip));
    // The cursor shows steadily while the box has the focus and nothing is
    // selected; its blinking phase belongs to QLineEdit.
    if (hasFocus() && !isReadOnly() && !hasSelectedText())
        layout.drawCursor(&painter, view.origin, static_cast<int>(cursorPosition() - view.first),
                          style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this));
}

qsizetype LongTextEdit::position_at(int x) {
    QTextLayout layout;
    View view;
    lay_out_visible(layout, view);
    return view.first + layout.lineAt(0).xToCursor(x - view.origin.x());
}

void LongTextEdit::mousePressEvent(QMouseEvent* event) {
    if (!is_long() || event->button() != Qt::LeftButton) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    const auto position = static_cast<int>(position_at(qRound(event->position().x())));
    if (event->modifiers() & Qt::ShiftModifier) {
        const int anchor = hasSelectedText() && selectionStart() == cursorPosition()
                               ? selectionEnd()
                               : (hasSelectedText() ? selectionStart() : cursorPosition());
        setSelection(anchor, position - anchor);
        drag_anchor_ = anchor;
    } else {
        setCursorPosition(position);
        drag_anchor_ = position;
    }
    event->accept();
}

void LongTextEdit::mouseMoveEvent(QMouseEvent* event) {
    if (!is_long() || !(event->buttons() & Qt::LeftButton) || drag_anchor_ < 0) {
        QLineEdit::mouseMoveEvent(event);
        return;
    }
    const auto anchor = static_cast<int>(std::min(drag_anchor_, text().size()));
    const auto position = static_cast<int>(position_at(qRound(event->position().x())));
    setSelection(anchor, position - anchor);
    event->accept();
}

void LongTextEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!is_long() || event->button() != Qt::LeftButton) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    // Selects the whole text, cursor at its end.
    setSelection(0, static_cast<int>(text().size()));
    event->accept();
}

} // namespace kvix
