// The click path that both window layers share, driven through a window
// layer of its own: keys are tokens ("Alt+P", "End", "A"), handled the way
// a dialog manager handles them, and a report records its headline.
#include <QtTest>

#include <algorithm>
#include <deque>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "error.hpp"
#include "form_base.hpp"
#include "frm_main.hpp"

namespace {

class FakeForm;

class FakeBox final : public kvix::FormTextBox {
public:
    FakeBox(kvix::FormBase& form, const kvix::ControlDecl& decl) : FormTextBox(form, decl) {}
    kvix::ResultCode write_text(std::string_view text) override {
        text_ = text;
        return kvix::kResultOk;
    }
    std::string text_, throws_;

private:
    kvix::ResultCode read_control_text(std::string& text) override {
        if (throws_ == "bad_alloc")
            throw std::bad_alloc();
        if (!throws_.empty())
            throw std::length_error(throws_);
        text = text_;
        return kvix::kResultOk;
    }
};

class FakeForm final : public kvix::FormBase {
public:
    FakeForm() : FormBase(kvix::kFrmMain, kvix::frm_main_bindings()), focus_(first_focus()) {
        for (const kvix::ControlDecl* c : tab_order())
            if (c->kind == kvix::ControlKind::TextBox)
                add_box(std::make_unique<FakeBox>(*this, *c));
    }

    FakeBox& box(std::string_view name) { return static_cast<FakeBox&>(text_box(name)); }
    std::string focus() const { return std::string(focus_->name); }

    // A key typed while the program is idle: handled at once.
    void key(const QString& token) {
        if (token.startsWith("Alt+")) {
            const QChar letter = token.back().toLower();
            for (const kvix::ControlDecl* c : tab_order()) {
                const QString caption = QString::fromUtf8(c->caption.data(), qsizetype(c->caption.size()));
                const qsizetype amp = caption.indexOf('&');
                if (amp < 0 || caption.at(amp + 1).toLower() != letter)
                    continue;
                if (c->kind == kvix::ControlKind::Button)
                    press(*c);
                else
                    focus_ = next_focus(c);
            }
        } else if (token == "End") {
            selected_ = false;
        } else if (focus_->kind == kvix::ControlKind::TextBox) {
            std::string& text = box(focus_->name).text_;
            if (selected_)
                text.clear();
            selected_ = false;
            text += token.toStdString();
        }
    }

    std::deque<QString> typed_ahead;   // queued for the window, not yet handled
    QStringList during_report;         // keys handled while the first report is up
    QStringList reports;
    QString details;                   // of every report
    std::vector<std::size_t> left_when_shown; // keys still queued as each report showed
    int depth = 0, deepest = 0;

private:
    void take_typed_ahead() override {
        while (!typed_ahead.empty()) {
            const QString token = typed_ahead.front();
            typed_ahead.pop_front();
            key(token);
        }
    }
    bool wait_while_open(int) override { return true; }
    void show_message_box(const kvix::ErrorMessage& message) override {
        left_when_shown.push_back(typed_ahead.size());
        reports << QString::fromStdString(message.headline);
        details += QString::fromStdString(message.details);
        deepest = std::max(deepest, ++depth);
        // The report's own loop delivers what comes while it is up.
        for (const QString& token : std::exchange(during_report, {}))
            key(token);
        --depth;
    }
    void focus_and_select(kvix::FormTextBox& box) override {
        for (const kvix::ControlDecl* c : tab_order())
            focus_ = c->name == box.name() ? c : focus_;
        selected_ = true;
    }

    const kvix::ControlDecl* focus_;
    bool selected_ = false;
};

} // namespace

class tst_ClickPath : public QObject {
    Q_OBJECT

private slots:
    void pressesInOrder_data();
    void pressesInOrder();
    void nowIsTheSystemClock();
};

// A press, keys typed ahead of it and keys delivered while its report is
// up: every press runs, one at a time and in the order of the presses;
// keys typed ahead are handled before the report shows, each where the
// focus is in its turn; the focus ends in the box the failed press read,
// whatever the calculation threw.
void tst_ClickPath::pressesInOrder_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("ahead");
    QTest::addColumn<QStringList>("during");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QString>("in_after");
    QTest::addColumn<QString>("out_after");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("throws"); // reading txtInput: bad_alloc, or a length error with this text
    const QString nan = "Not a number";
    QTest::newRow("a press while a report is up")
        << "abc" << "bad date" << QStringList{} << QStringList{"Alt+N"}
        << QStringList{nan, "Not a date"} << "abc" << "bad date" << "txtOutput" << "";
    QTest::newRow("the same button twice")
        << "12abc" << "" << QStringList{"Alt+P"} << QStringList{}
        << QStringList{nan, nan} << "12abc" << "" << "txtInput" << "";
    QTest::newRow("an access key typed ahead of letters")
        << "12abc" << "zz" << QStringList{"Alt+O", "End", "A", "B"} << QStringList{}
        << QStringList{nan} << "12abc" << "zzAB" << "txtInput" << "";
    QTest::newRow("a refused press, then both buttons")
        << "12abc" << "Thu, 01 Jan 1970 00:00:05 GMT" << QStringList{"Alt+N", "Alt+P"} << QStringList{}
        << QStringList{nan} << "5" << "1970-01-01 00:00:05" << "txtInput" << "";
    QTest::newRow("out of memory, then the other button")
        << "0" << "@5" << QStringList{"Alt+N"} << QStringList{}
        << QStringList{"Not enough memory"} << "5" << "@5" << "txtInput" << "bad_alloc";
    QTest::newRow("another exception, its text reported")
        << "0" << "kept" << QStringList{} << QStringList{}
        << QStringList{"Internal error"} << "0" << "kept" << "txtInput" << "text too long to convert";
}

void tst_ClickPath::pressesInOrder() {
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QStringList, ahead);
    QFETCH(QStringList, during);
    QFETCH(QStringList, reports);
    QFETCH(QString, throws);
    FakeForm form;
    form.box("txtInput").throws_ = throws.toStdString();
    form.box("txtInput").text_ = in.toStdString();
    form.box("txtOutput").text_ = out.toStdString();
    form.typed_ahead.assign(ahead.begin(), ahead.end());
    form.during_report = during;
    form.key("Alt+P");
    QCOMPARE(form.reports, reports);
    QCOMPARE(form.deepest, 1);
    QCOMPARE(form.left_when_shown, std::vector<std::size_t>(reports.size(), 0));
    QTEST(QString::fromStdString(form.box("txtInput").text_), "in_after");
    QTEST(QString::fromStdString(form.box("txtOutput").text_), "out_after");
    QTEST(QString::fromStdString(form.focus()), "focus");
    QVERIFY2(throws == "bad_alloc" || form.details.contains(throws), qPrintable(form.details));
}

// The binding reads "now" from the system clock: its second at the press,
// or from 2038-01-19 03:14:08 UTC on, an overflow.
void tst_ClickPath::nowIsTheSystemClock() {
    FakeForm form;
    form.box("txtOutput").text_ = "now";
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    form.key("Alt+N");
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    const std::string& got = form.box("txtInput").text_;
    if (after <= std::numeric_limits<qint32>::max())
        QVERIFY2(std::stoll(got) >= before && std::stoll(got) <= after, got.c_str());
    else
        QCOMPARE(form.reports, QStringList{"Overflow"});
}

QTEST_GUILESS_MAIN(tst_ClickPath)
#include "tst_click_path.moc"
