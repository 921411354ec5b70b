#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "error.hpp"
#include "form.hpp"
#include "form_base.hpp"
#include "main_form_controls.hpp"
#include "frm_main.hpp"

namespace {

// frmMain whose reports are recorded instead of shown in a modal message
// box, unless a test answers the real one.
class RecordingForm final : public kvix::Form {
public:
    explicit RecordingForm(std::span<const kvix::ClickBinding> bindings = kvix::frm_main_bindings())
        : Form(kvix::kFrmMain, bindings) {}
    void show_message_box(const kvix::ErrorMessage& message) override {
        if (real_box)
            return Form::show_message_box(message);
        headlines.push_back(QString::fromStdString(message.headline));
        details.push_back(QString::fromStdString(message.details));
        // As a modal message box does, run events while the report is up.
        ++depth;
        deepest = std::max(deepest, depth);
        if (on_screen_ms > 0)
            QTest::qWait(on_screen_ms);
        --depth;
    }
    bool real_box = false;
    int on_screen_ms = 0;
    int depth = 0, deepest = 0;
    QStringList headlines;
    QStringList details;
};

QString caption_text(std::string_view caption) {
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())).remove('&');
}

// Clicks `button` and, once a modal message box is up (it runs its own
// event loop, in which a timer looks for it), gives the box to `answer`,
// which must close it.  After 10 s without a box the windows are closed
// rather than the test hanging.
void click_and_answer(QPushButton* button, const std::function<void(QWidget* box)>& answer) {
    int tries = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            if (++tries > 500)
                QApplication::closeAllWindows();
            return;
        }
        poll.stop();
        answer(box);
    });
    poll.start();
    button->click(); // returns once the box is closed
    poll.stop();
}

} // namespace

class tst_Window : public QObject, public kvix::test::MainFormControls {
    Q_OBJECT

private:
    std::unique_ptr<RecordingForm> form;

    QWidget* window() const override { return form.get(); }
    void keyToFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target != nullptr);
        QTest::keyClick(target, key, modifiers);
    }

private slots:
    void init();
    void cleanup();

    void windowRecord();
    void startState();
    void tabCycle();
    void accessKeys();
    void enterAndEscapeAreInert_data();
    void enterAndEscapeAreInert();
    void captionsFit();
    void fittedFontIsTheLargest_data();
    void fittedFontIsTheLargest();
    void longTextReadWhole();
    void errorReportedAndProgramGoesOn_data();
    void errorReportedAndProgramGoesOn();
    void negativeByAccessKeys();
    void reportsInTheOrderOfThePresses();
    void unboundButtonDoesNothing();
    void messageBoxReportsError();
    void roundTripThroughTheWindow();
    void messageBoxNamesTheKindAndCopies();
    void windowClosedBeforeTheReport();
    void digitsWrittenAreAscii_data();
    void digitsWrittenAreAscii();
};

void tst_Window::init() {
    form = std::make_unique<RecordingForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void tst_Window::cleanup() { form.reset(); }

void tst_Window::windowRecord() {
    QCOMPARE(form->objectName(), QString("frmMain"));
    QCOMPARE(form->windowTitle(), QString("KVIX Quendral"));
    // 4890 x 1020 twips at 15 twips a pixel.
    QCOMPARE(form->size(), QSize(326, 68));
}

// The controls' places and sizes are checked, at one and two device pixels
// per pixel, in tst_window_desktop.

void tst_Window::startState() {
    QVERIFY(txtInput()->text().isEmpty());
    QVERIFY(txtOutput()->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), txtInput());
    QTest::keyClicks(QApplication::focusWidget(), "86400");
    QCOMPARE(txtInput()->text(), QString("86400"));
    QVERIFY(txtOutput()->text().isEmpty());
    QCOMPARE(txtInput()->maxLength(), std::numeric_limits<int>::max());
    QCOMPARE(cmdCalcPos()->text(), QString("Calculate &positively"));
    QCOMPARE(cmdCalcNeg()->text(), QString("Calculate &negatively"));
    QCOMPARE(control<QLabel>("lblInput")->text(), QString("&In"));
    QCOMPARE(control<QLabel>("lblOutput")->text(), QString("&Out"));
}

void tst_Window::tabCycle() {
    const std::vector<QWidget*> forward{cmdCalcPos(), txtOutput(), cmdCalcNeg(), txtInput()};
    for (QWidget* expected : forward) {
        keyToFocus(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected);
    }
    const std::vector<QWidget*> backward{cmdCalcNeg(), txtOutput(), cmdCalcPos(), txtInput()};
    for (QWidget* expected : backward) {
        keyToFocus(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), expected);
    }
}

void tst_Window::accessKeys() {
    keyToFocus(Qt::Key_O, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), txtOutput());
    keyToFocus(Qt::Key_I, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), txtInput());
    txtInput()->setText("-1");
    QSignalSpy clicked(cmdCalcPos(), &QPushButton::clicked);
    keyToFocus(Qt::Key_P, Qt::AltModifier);
    QTRY_COMPARE(txtOutput()->text(), QString("1969-12-31 23:59:59"));
    QCOMPARE(clicked.count(), 1);
}

void tst_Window::enterAndEscapeAreInert_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    QTest::newRow("Enter in txtInput") << "txtInput" << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in txtInput") << "txtInput" << int(Qt::Key_Enter);
    QTest::newRow("Escape in txtInput") << "txtInput" << int(Qt::Key_Escape);
    QTest::newRow("Enter in txtOutput") << "txtOutput" << int(Qt::Key_Return);
    QTest::newRow("Escape in txtOutput") << "txtOutput" << int(Qt::Key_Escape);
}

void tst_Window::enterAndEscapeAreInert() {
    QFETCH(QString, box);
    QFETCH(int, key);
    txtInput()->setText("0");
    txtOutput()->setText("1970-01-02 00:00:00");
    auto* edit = control<QLineEdit>(qPrintable(box));
    edit->setFocus();
    QSignalSpy pos(cmdCalcPos(), &QPushButton::clicked);
    QSignalSpy neg(cmdCalcNeg(), &QPushButton::clicked);
    QTest::keyClick(edit, Qt::Key(key));
    QTest::qWait(300); // longer than an access key's animated click
    QCOMPARE(pos.count(), 0);
    QCOMPARE(neg.count(), 0);
    QCOMPARE(txtInput()->text(), QString("0"));
    QCOMPARE(txtOutput()->text(), QString("1970-01-02 00:00:00"));
    QVERIFY(form->isVisible());
}

// Every caption shows whole inside its control, measured with the font the
// window actually got on this machine.
void tst_Window::captionsFit() {
    for (const kvix::ControlDecl& c : kvix::kFrmMain.controls) {
        auto* w = form->findChild<QWidget*>(QString::fromUtf8(c.name.data(), qsizetype(c.name.size())));
        QVERIFY(w != nullptr);
        const QFontMetrics fm(w->font());
        const QString caption = caption_text(c.caption);
        QRect room = w->contentsRect();
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            QStyleOptionButton option;
            option.initFrom(button);
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        }
        if (caption.isEmpty()) { // a text box: one line of text fits its height
            QVERIFY2(fm.height() <= w->height(), qPrintable(QString::fromUtf8(c.name.data())));
            continue;
        }
        QVERIFY2(fm.horizontalAdvance(caption) <= room.width(),
                 qPrintable(QString("%1: %2 > %3").arg(caption).arg(fm.horizontalAdvance(caption)).arg(room.width())));
        QVERIFY2(fm.height() <= room.height(), qPrintable(caption));
        if (auto* label = qobject_cast<QLabel*>(w))
            QVERIFY(label->sizeHint().width() <= label->width());
    }
}

// The fitted font is the largest half-point size from the base down that
// fits: everything fits in it, and half a point more no longer fits.
void tst_Window::fittedFontIsTheLargest_data() {
    QTest::addColumn<double>("base");
    QTest::newRow("6.5 pt") << 6.5;
    QTest::newRow("8 pt") << 8.0;
    QTest::newRow("9 pt") << 9.0;
    QTest::newRow("10.25 pt") << 10.25;
    QTest::newRow("14 pt") << 14.0;
    QTest::newRow("36 pt") << 36.0;
}

void tst_Window::fittedFontIsTheLargest() {
    QFETCH(double, base);
    QFont font = form->font();
    font.setPointSizeF(base);
    const QFont fitted = kvix::fit_font(*form, kvix::kFrmMain, font);
    const double points = fitted.pointSizeF();
    QVERIFY2(points <= base && points >= 6.0, qPrintable(QString::number(points)));
    // The fitted size fits (fitting from it keeps it), and half a point
    // more does not (fitting from there goes below it).
    if (points > 6.0)
        QCOMPARE(kvix::fit_font(*form, kvix::kFrmMain, fitted).pointSizeF(), points);
    if (points < base) {
        QFont larger = fitted;
        larger.setPointSizeF(points + 0.5);
        QVERIFY2(kvix::fit_font(*form, kvix::kFrmMain, larger).pointSizeF() < points + 0.5,
                 qPrintable(QString::number(points)));
    }
    // Half points counted from the base.
    QCOMPARE(std::fmod(base - points, 0.5), 0.0);
}

void tst_Window::longTextReadWhole() {
    // 40,000 characters: more than a line edit takes by default.
    const QString text = QString(39999, '0') + "1";
    txtInput()->setText(text);
    QCOMPARE(txtInput()->text().size(), 40000);
    cmdCalcPos()->click();
    QCOMPARE(txtOutput()->text(), QString("1970-01-01 00:00:01"));
    QVERIFY(form->headlines.isEmpty());
}

void tst_Window::errorReportedAndProgramGoesOn_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("positive");
    QTest::addColumn<QString>("headline");
    QTest::newRow("not a number") << "12abc" << "kept" << true << "Not a number";
    QTest::newRow("overflow") << "2147483648" << "kept" << true << "Overflow";
    QTest::newRow("not a date") << "kept" << "1970-02-30" << false << "Not a date";
    QTest::newRow("date overflow") << "kept" << "2038-01-19 03:14:08" << false << "Overflow";
    // The rounding overflows on a number; the report quotes the text typed.
    QTest::newRow("date overflow in the rounding") << "kept" << "0100-01-01" << false << "Overflow";
}

void tst_Window::errorReportedAndProgramGoesOn() {
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, positive);
    QFETCH(QString, headline);
    txtInput()->setText(input);
    txtOutput()->setText(output);
    (positive ? cmdCalcPos() : cmdCalcNeg())->click();
    QCOMPARE(form->headlines, QStringList{headline});
    QVERIFY2(form->details.front().contains("Refused: \u201C" + (positive ? input : output) + "\u201D"),
             qPrintable(form->details.front()));
    QCOMPARE(txtInput()->text(), input);
    QCOMPARE(txtOutput()->text(), output);
    // The box that was read has the focus, its text selected.
    QLineEdit* read = positive ? txtInput() : txtOutput();
    QCOMPARE(QApplication::focusWidget(), read);
    QCOMPARE(read->selectedText(), read->text());
    // And the program goes on.
    txtInput()->setText("0");
    cmdCalcPos()->click();
    QCOMPARE(txtOutput()->text(), QString("1970-01-01 00:00:00"));
    QCOMPARE(form->headlines.size(), 1);
}

void tst_Window::negativeByAccessKeys() {
    txtOutput()->setText("2038-01-19 03:14:07");
    keyToFocus(Qt::Key_O, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), txtOutput());
    keyToFocus(Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(txtInput()->text(), QString("2147483647"));
}

// Alt+P and at once Alt+N with both boxes refused: the second click, which
// comes while the first error is on screen, runs after that report, so the
// reports come in order, one at a time, and the focus ends in the box that
// the last press read.
void tst_Window::reportsInTheOrderOfThePresses() {
    form->on_screen_ms = 400;
    txtInput()->setText("abc");
    txtOutput()->setText("bad date");
    keyToFocus(Qt::Key_P, Qt::AltModifier);
    keyToFocus(Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(form->headlines, (QStringList{"Not a number", "Not a date"}));
    QTRY_COMPARE(form->depth, 0);
    QCOMPARE(form->deepest, 1);
    QCOMPARE(QApplication::focusWidget(), txtOutput());
    QCOMPARE(txtOutput()->selectedText(), QString("bad date"));
    QCOMPARE(txtInput()->text(), QString("abc"));
}

// A window whose negative button has no calculation bound: clicking it
// changes nothing and reports nothing.
void tst_Window::unboundButtonDoesNothing() {
    const kvix::ClickBinding only_positive[] = {kvix::frm_main_bindings().front()};
    QCOMPARE(only_positive[0].control, std::string_view("cmdCalcPos"));
    RecordingForm partial(only_positive);
    auto* in = partial.findChild<QLineEdit*>("txtInput");
    auto* out = partial.findChild<QLineEdit*>("txtOutput");
    in->setText("5");
    out->setText("1970-01-01 00:00:00");
    partial.findChild<QPushButton*>("cmdCalcNeg")->click();
    QCOMPARE(in->text(), QString("5"));
    QVERIFY(partial.headlines.isEmpty());
    partial.findChild<QPushButton*>("cmdCalcPos")->click();
    QCOMPARE(out->text(), QString("1970-01-01 00:00:05"));
}

// The real report: a modal message box titled with the window's title, the
// kind first, then what was refused and the range.
void tst_Window::messageBoxReportsError() {
    form->real_box = true;
    txtInput()->setText("1700000000000");
    QString title, text, details;
    click_and_answer(cmdCalcPos(), [&](QWidget* shown) {
        auto* box = qobject_cast<QMessageBox*>(shown);
        if (box == nullptr) {
            shown->close();
            return;
        }
        title = box->windowTitle();
        text = box->text();
        details = box->informativeText();
        box->accept();
    });
    QCOMPARE(title, QString("KVIX Quendral"));
    QCOMPARE(text, QString("Overflow"));
    QVERIFY2(details.contains("1700000000000"), qPrintable(details));
    QVERIFY2(details.contains("milliseconds"), qPrintable(details));
    QVERIFY2(details.contains("-2147483648 to 2147483647"), qPrintable(details));
    QVERIFY2(details.contains("1901-12-13 20:45:52 to 2038-01-19 03:14:07"), qPrintable(details));
    QVERIFY(txtOutput()->text().isEmpty());
}

// Alt+P then Alt+N gives back the number it started from.  The access keys
// are used for the range ends; the random values click the buttons directly,
// which runs the same handlers without going through the keyboard.
void tst_Window::roundTripThroughTheWindow() {
    for (const char* ends : {"-2147483648", "2147483647", "0", "-1"}) {
        txtInput()->setText(ends);
        txtInput()->setFocus();
        keyToFocus(Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(!txtOutput()->text().isEmpty());
        txtInput()->setText("changed");
        keyToFocus(Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(txtInput()->text(), QString(ends));
        txtOutput()->clear();
    }
    QRandomGenerator random(20261207);
    for (int i = 0; i < 500; ++i) {
        const auto u = static_cast<qint32>(random.generate());
        txtInput()->setText(QString::number(u));
        cmdCalcPos()->click();
        txtInput()->clear();
        cmdCalcNeg()->click();
        QCOMPARE(txtInput()->text(), QString::number(u));
    }
    QVERIFY(form->headlines.isEmpty());
}

// The message box itself: titled with the window's title, it names the
// kind, shows a huge refused text shortened, Ctrl+C copies its text and
// Enter closes it, leaving both boxes as they were.
void tst_Window::messageBoxNamesTheKindAndCopies() {
    form->real_box = true;
    const QString million_nines(1000000, '9');
    txtInput()->setText(million_nines);
    txtOutput()->setText("kept");
    QString title, copied;
    click_and_answer(cmdCalcPos(), [&](QWidget* box) {
        title = box->windowTitle();
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        copied = QGuiApplication::clipboard()->text();
        QTest::keyClick(box, Qt::Key_Return);
    });

    QCOMPARE(title, QString("KVIX Quendral"));
    QVERIFY2(copied.startsWith("Overflow\n"), qPrintable(copied));
    QVERIFY2(copied.contains("(1000000 characters)"), qPrintable(copied));
    QVERIFY2(copied.contains("1000000 digits"), qPrintable(copied));
    QVERIFY2(copied.size() < 600, qPrintable(QString::number(copied.size())));
    QVERIFY(txtInput()->text() == million_nines);
    QCOMPARE(txtOutput()->text(), QString("kept"));
    QVERIFY(form->isVisible());
}

// The window closed in the moment before its report comes up (the close
// box, clicked right after a refused press): no message box follows.
void tst_Window::windowClosedBeforeTheReport() {
    form->real_box = true;
    txtInput()->setText("12abc");
    bool boxShown = false;
    QTimer::singleShot(kvix::kReportHoldMs / 4, form.get(), [this] { form->close(); });
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            boxShown = true;
            box->close();
        }
    });
    poll.start();
    cmdCalcPos()->click();
    poll.stop();
    QVERIFY(!boxShown);
    QVERIFY(!form->isVisible());
}

// Whatever the locale (the toolkit sets the C library's from the
// environment at start, and its own system locale may write other digits),
// the boxes get ASCII digits.  Expected texts: well-known instants.
void tst_Window::digitsWrittenAreAscii_data() {
    QTest::addColumn<QString>("unixTime");
    QTest::addColumn<QString>("date");
    QTest::newRow("1234567890") << "1234567890" << "2009-02-13 23:31:30";
    QTest::newRow("-1234567890") << "-1234567890" << "1930-11-18 00:28:30";
    QTest::newRow("highest") << "2147483647" << "2038-01-19 03:14:07";
}

void tst_Window::digitsWrittenAreAscii() {
    QFETCH(QString, unixTime);
    QFETCH(QString, date);
    qInfo("locale: LC_ALL=%s, system locale %s writes 1234567890 as %s", qgetenv("LC_ALL").constData(),
          qPrintable(QLocale::system().name()), qPrintable(QLocale::system().toString(1234567890)));
    txtInput()->setText(unixTime);
    cmdCalcPos()->click();
    QCOMPARE(txtOutput()->text(), date);
    txtInput()->clear();
    cmdCalcNeg()->click();
    QCOMPARE(txtInput()->text(), unixTime);
    for (const QString& written : {txtInput()->text(), txtOutput()->text()})
        for (QChar c : written)
            QVERIFY2(c.unicode() < 0x80, qPrintable(written));
    QVERIFY(form->headlines.isEmpty());
}

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
