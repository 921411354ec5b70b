// The text boxes' line edit with a long text: it must look and answer the
// mouse as a plain QLineEdit does, while laying out only what shows.
#include <QtTest>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QStyleHints>
#include <QLineEdit>
#include <QVBoxLayout>

#include <memory>

#include "long_text_edit.hpp"

namespace {

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Longer than kLongText, so that the long-text painting is used.
QString long_prefix() { return QString(kvix::LongTextEdit::kLongText + 1000, 'x'); }

} // namespace

class tst_LongTextEdit : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window;
    kvix::LongTextEdit* edit = nullptr; // holds the long text
    QLineEdit* plain = nullptr;         // a plain line edit, for comparison

private slots:
    void init() {
        window = std::make_unique<QWidget>();
        edit = new kvix::LongTextEdit(window.get());
        plain = new QLineEdit(window.get());
        auto* other = new QLineEdit(window.get()); // takes the focus away from both
        // Fully hinted glyphs have whole-pixel advances, so the same
        // characters land on the same pixels whatever stands before them
        // in the text; the comparisons below rely on that.
        QFont font = edit->font();
        font.setHintingPreference(QFont::PreferFullHinting);
        for (QLineEdit* e : {static_cast<QLineEdit*>(edit), plain}) {
            e->setMaxLength(std::numeric_limits<int>::max());
            e->setFixedSize(137, 19);
            e->setFont(font);
        }
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(edit);
        layout->addWidget(plain);
        layout->addWidget(other);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        other->setFocus();
    }
    void cleanup() { window.reset(); }

    void paintsAsALineEdit_data();
    void paintsAsALineEdit();
    void clickPlacesTheCursor_data();
    void clickPlacesTheCursor();
    void longTextCursorDoesNotBlink();
};

// The long text ends (or starts) with what the plain edit holds whole; with
// the same cursor and selection both must show the same pixels.
void tst_LongTextEdit::paintsAsALineEdit_data() {
    QTest::addColumn<QString>("tail");    // what both show
    QTest::addColumn<bool>("atEnd");      // the long text ends with it, else starts with it
    QTest::addColumn<int>("cursor");      // from the start of the tail
    QTest::addColumn<int>("selected");    // characters selected before the cursor
    const QString tail = QString(40, 'x') + "0123456789 2038-01-19 03:14:07";
    QTest::newRow("cursor at the end") << tail << true << int(tail.size()) << 0;
    QTest::newRow("end selected") << tail << true << int(tail.size()) << 12;
    QTest::newRow("cursor at the start") << tail << false << 0 << 0;
    QTest::newRow("start selected") << tail << false << 5 << 5;
}

void tst_LongTextEdit::paintsAsALineEdit() {
    QFETCH(QString, tail);
    QFETCH(bool, atEnd);
    QFETCH(int, cursor);
    QFETCH(int, selected);
    const QString text = atEnd ? long_prefix() + tail : tail + long_prefix();
    const int offset = atEnd ? int(long_prefix().size()) : 0;
    edit->setText(text);
    plain->setText(tail);
    // A plain edit that never had a long text scrolls the same way.
    if (selected > 0) {
        edit->setSelection(offset + cursor - selected, selected);
        plain->setSelection(cursor - selected, selected);
    } else {
        edit->setCursorPosition(offset + cursor);
        plain->setCursorPosition(cursor);
    }
    const QImage got = edit->grab().toImage();
    const QImage expected = plain->grab().toImage();
    QCOMPARE(got.size(), expected.size());
    QVERIFY2(got == expected, "the long text shows differently from the plain line edit");
}

// A click where a character boundary shows puts the cursor there, as in a
// plain line edit showing the same characters at the same place.
void tst_LongTextEdit::clickPlacesTheCursor_data() {
    QTest::addColumn<bool>("atEnd");
    QTest::addColumn<int>("x");
    for (int x : {3, 20, 57, 100, 130}) {
        QTest::addRow("text start, x=%d", x) << false << x;
        QTest::addRow("text end, x=%d", x) << true << x;
    }
}

void tst_LongTextEdit::clickPlacesTheCursor() {
    QFETCH(bool, atEnd);
    QFETCH(int, x);
    const QString tail = "0123456789abcdefghijklmnopqrstuvwxyz 2038-01-19 03:14:07";
    const QString text = atEnd ? long_prefix() + tail : tail + long_prefix();
    const int offset = atEnd ? int(long_prefix().size()) : 0;
    edit->setText(text);
    plain->setText(tail);
    edit->setCursorPosition(atEnd ? int(text.size()) : 0);
    plain->setCursorPosition(atEnd ? int(tail.size()) : 0);
    edit->grab(); // paint once, so that both have scrolled
    plain->grab();
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(x, 9));
    QTest::mouseClick(plain, Qt::LeftButton, Qt::NoModifier, QPoint(x, 9));
    QCOMPARE(edit->cursorPosition() - offset, plain->cursorPosition());
    // A drag selects from the press to the release (read before the other
    // edit takes the focus, which clears the selection).
    QTest::mousePress(edit, Qt::LeftButton, Qt::NoModifier, QPoint(5, 9));
    QTest::mouseMove(edit, QPoint(120, 9));
    QTest::mouseRelease(edit, Qt::LeftButton, Qt::NoModifier, QPoint(120, 9));
    const QString dragged = edit->selectedText();
    QTest::mousePress(plain, Qt::LeftButton, Qt::NoModifier, QPoint(5, 9));
    QTest::mouseMove(plain, QPoint(120, 9));
    QTest::mouseRelease(plain, Qt::LeftButton, Qt::NoModifier, QPoint(120, 9));
    QCOMPARE(dragged, plain->selectedText());
    QVERIFY(!dragged.isEmpty());
}

// A focused line edit repaints as its cursor blinks; with a long text the
// cursor stands still and nothing is repainted while nothing changes.
void tst_LongTextEdit::longTextCursorDoesNotBlink() {
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash <= 0)
        QSKIP("the cursor does not blink on this platform");
    PaintCounter counter;
    edit->installEventFilter(&counter);

    edit->setText("short");
    edit->setFocus();
    QTest::qWait(50);
    counter.paints = 0;
    QTest::qWait(flash * 2);
    QVERIFY2(counter.paints >= 2, qPrintable(QString::number(counter.paints))); // it blinks

    edit->setText(QString(16 * 1024 * 1024, '7'));
    QTest::qWait(50);
    counter.paints = 0;
    QTest::qWait(flash * 2);
    QCOMPARE(counter.paints, 0);
}

QTEST_MAIN(tst_LongTextEdit)
#include "tst_long_text_edit.moc"
