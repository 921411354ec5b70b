#include <QtTest>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "calc.hpp"
#include "date_text.hpp"
#include "error.hpp"
#include "fake_text_box.hpp"
#include "fp_status.hpp"

using kvix::ErrorKind;
using kvix::RuntimeError;
using kvix::test::FakeTextBox;

Q_DECLARE_METATYPE(kvix::ErrorKind)

namespace {

constexpr const char* kPreviousOutput = "previous date text";
constexpr const char* kPreviousInput = "previous number";
constexpr kvix::ResultCode kEFail = static_cast<kvix::ResultCode>(0x80004005); // unspecified failure
constexpr kvix::date::Clock kClock = kvix::date::stopped_clock<1700000000>; // "now"

// Runs a calculation and gives the kind of error it raised, if any.
template <typename F>
bool raises(F&& calculation, ErrorKind& kind) {
    try {
        calculation();
    } catch (const RuntimeError& e) {
        kind = e.kind();
        return true;
    }
    return false;
}

} // namespace

class tst_Calc : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void calcPos_data();
    void calcPos();
    void calcPosRefuses_data();
    void calcPosRefuses();
    void calcPosFailingBox_data();
    void calcPosFailingBox();

    void calcNeg_data();
    void calcNeg();
    void calcNegRefuses_data();
    void calcNegRefuses();
    void calcNegFailingBox_data();
    void calcNegFailingBox();

    void floatingPointFault();
    void boxLeavesFlagsBehind_data();
    void boxLeavesFlagsBehind();
    void formulaTestsArithmeticFlags_data();
    void formulaTestsArithmeticFlags();
};

void tst_Calc::calcPos_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("epoch") << "0" << "1970-01-01 00:00:00";
    QTest::newRow("one day") << "86400" << "1970-01-02 00:00:00";
    QTest::newRow("minus one day") << "-86400" << "1969-12-31 00:00:00";
    QTest::newRow("minus one second") << "-1" << "1969-12-31 23:59:59";
    QTest::newRow("highest") << "2147483647" << "2038-01-19 03:14:07";
    QTest::newRow("lowest") << "-2147483648" << "1901-12-13 20:45:52";
    QTest::newRow("billennium") << "1000000000" << "2001-09-09 01:46:40";
    QTest::newRow("leap day 2000") << "951782400" << "2000-02-29 00:00:00";
    QTest::newRow("spaces, plus, zeros") << "  +0001700000000\t" << "2023-11-14 22:13:20";
    QTest::newRow("milliseconds after the point") << "1405507023.107" << "2014-07-16 10:37:03";
    QTest::newRow("exponent") << "1.7e9" << "2023-11-14 22:13:20";
}

void tst_Calc::calcPos() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    FakeTextBox in("txtInput", input.toStdString());
    FakeTextBox out("txtOutput", kPreviousOutput);
    kvix::CalcPos({in, out});
    QCOMPARE(QString::fromStdString(out.text()), expected);
    QCOMPARE(QString::fromStdString(in.text()), input); // never written
    QCOMPARE(in.writes, 0);
    QCOMPARE(in.references, 0);
    QCOMPARE(out.references, 0);
}

void tst_Calc::calcPosRefuses_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("one past highest") << "2147483648" << ErrorKind::Overflow;
    QTest::newRow("one past lowest") << "-2147483649" << ErrorKind::Overflow;
    QTest::newRow("milliseconds") << "1700000000000" << ErrorKind::Overflow;
    QTest::newRow("empty") << "" << ErrorKind::ConversionFailure;
    QTest::newRow("word") << "abc" << ErrorKind::ConversionFailure;
    QTest::newRow("decimal comma") << "1405507023,107" << ErrorKind::ConversionFailure;
    QTest::newRow("highest and a half, to even") << "2147483647.5" << ErrorKind::Overflow;
    QTest::newRow("a date") << "2038-01-19 03:14:07" << ErrorKind::ConversionFailure;
}

void tst_Calc::calcPosRefuses() {
    QFETCH(QString, input);
    QFETCH(ErrorKind, kind);
    FakeTextBox in("txtInput", input.toStdString());
    FakeTextBox out("txtOutput", kPreviousOutput);
    ErrorKind raised{};
    QVERIFY(raises([&] { kvix::CalcPos({in, out}); }, raised));
    QCOMPARE(raised, kind);
    QCOMPARE(QString::fromStdString(out.text()), QString(kPreviousOutput));
    QCOMPARE(out.writes, 0);
    QCOMPARE(in.writes, 0);
    QCOMPARE(in.references, 0);
    QCOMPARE(out.references, 0);
}

void tst_Calc::calcPosFailingBox_data() {
    QTest::addColumn<bool>("readFails");
    QTest::addColumn<bool>("writeFails");
    QTest::newRow("read fails") << true << false;
    QTest::newRow("write fails") << false << true;
}

void tst_Calc::calcPosFailingBox() {
    QFETCH(bool, readFails);
    QFETCH(bool, writeFails);
    FakeTextBox in("txtInput", "0");
    FakeTextBox out("txtOutput", kPreviousOutput);
    if (readFails)
        in.read_result = kEFail;
    if (writeFails)
        out.write_result = kEFail;
    try {
        kvix::CalcPos({in, out});
        QFAIL("no error raised");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.kind(), ErrorKind::ControlCallFailed);
        // The message names the box, the operation and the code.
        const QString reason = QString::fromStdString(e.reason());
        QVERIFY2(reason.contains(readFails ? "Reading the text of txtInput" : "Writing the text of txtOutput"),
                 qPrintable(reason));
        QVERIFY2(reason.contains(QString::number(kEFail)), qPrintable(reason));
    }
    QCOMPARE(QString::fromStdString(out.text()), QString(kPreviousOutput));
    QCOMPARE(QString::fromStdString(in.text()), QString("0"));
    QCOMPARE(in.references, 0);
    QCOMPARE(out.references, 0);
}

void tst_Calc::calcNeg_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("epoch") << "1970-01-01 00:00:00" << "0";
    QTest::newRow("one day") << "1970-01-02 00:00:00" << "86400";
    QTest::newRow("minus one second") << "1969-12-31 23:59:59" << "-1";
    QTest::newRow("highest") << "2038-01-19 03:14:07" << "2147483647";
    QTest::newRow("lowest") << "1901-12-13 20:45:52" << "-2147483648";
    QTest::newRow("date alone") << "2000-02-29" << "951782400";
    QTest::newRow("T and Z") << "  2001-09-09T01:46:40Z " << "1000000000";
    QTest::newRow("German date command") << "Di 19. Jan 04:14:07 CET 2038" << "2147483647";
    QTest::newRow("@ and a Unix time") << "@1405507023" << "1405507023";
    QTest::newRow("now, the second of the clock given") << "now" << "1700000000";
}

void tst_Calc::calcNeg() {
    QFETCH(QString, date);
    QFETCH(QString, expected);
    FakeTextBox in("txtInput", kPreviousInput);
    FakeTextBox out("txtOutput", date.toStdString());
    kvix::CalcNeg({in, out}, kClock);
    QCOMPARE(QString::fromStdString(in.text()), expected);
    QCOMPARE(QString::fromStdString(out.text()), date);
    QCOMPARE(out.writes, 0);
    QCOMPARE(in.references, 0);
    QCOMPARE(out.references, 0);
}

void tst_Calc::calcNegRefuses_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("one past highest") << "2038-01-19 03:14:08" << ErrorKind::Overflow;
    QTest::newRow("one before lowest") << "1901-12-13 20:45:51" << ErrorKind::Overflow;
    QTest::newRow("year 9999") << "9999-12-31 23:59:59" << ErrorKind::Overflow;
    QTest::newRow("year 100") << "0100-01-01 00:00:00" << ErrorKind::Overflow;
    QTest::newRow("before the date range") << "0099-12-31 23:59:59" << ErrorKind::Overflow;
    QTest::newRow("@ beyond the range") << "@2147483648" << ErrorKind::Overflow;
    QTest::newRow("empty") << "" << ErrorKind::ConversionFailure;
    QTest::newRow("number") << "1700000000" << ErrorKind::ConversionFailure;
    QTest::newRow("30 February") << "1970-02-30 00:00:00" << ErrorKind::ConversionFailure;
    QTest::newRow("leap second") << "2016-12-31 23:59:60" << ErrorKind::ConversionFailure;
}

void tst_Calc::calcNegRefuses() {
    QFETCH(QString, date);
    QFETCH(ErrorKind, kind);
    FakeTextBox in("txtInput", kPreviousInput);
    FakeTextBox out("txtOutput", date.toStdString());
    ErrorKind raised{};
    QVERIFY(raises([&] { kvix::CalcNeg({in, out}, kClock); }, raised));
    QCOMPARE(raised, kind);
    QCOMPARE(QString::fromStdString(in.text()), QString(kPreviousInput));
    QCOMPARE(in.writes, 0);
    QCOMPARE(out.writes, 0);
    QCOMPARE(in.references, 0);
    QCOMPARE(out.references, 0);
}

void tst_Calc::calcNegFailingBox_data() {
    QTest::addColumn<bool>("readFails");
    QTest::newRow("read fails") << true;
    QTest::newRow("write fails") << false;
}

void tst_Calc::calcNegFailingBox() {
    QFETCH(bool, readFails);
    FakeTextBox in("txtInput", kPreviousInput);
    FakeTextBox out("txtOutput", "1970-01-01 00:00:00");
    (readFails ? out.read_result : in.write_result) = kEFail;
    ErrorKind raised{};
    QVERIFY(raises([&] { kvix::CalcNeg({in, out}, kClock); }, raised));
    QCOMPARE(raised, ErrorKind::ControlCallFailed);
    QCOMPARE(QString::fromStdString(in.text()), QString(kPreviousInput));
    QCOMPARE(QString::fromStdString(out.text()), QString("1970-01-01 00:00:00"));
    QCOMPARE(in.references, 0);
    QCOMPARE(out.references, 0);
}

// A fault signalled since the last clear is raised by the formula's test;
// the formulas themselves never signal one for 32-bit Unix times.
void tst_Calc::floatingPointFault() {
    std::feclearexcept(FE_ALL_EXCEPT);
    QCOMPARE(kvix::serial_of_unix_time(0), 25569.0);
    std::feraiseexcept(FE_DIVBYZERO);
    ErrorKind raised{};
    QVERIFY(raises([] { kvix::serial_of_unix_time(0); }, raised));
    QCOMPARE(raised, ErrorKind::FloatingPointFault);
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_INVALID);
    QVERIFY(raises([] { kvix::unix_seconds_of_serial(25569.0); }, raised));
    QCOMPARE(raised, ErrorKind::FloatingPointFault);
    // Inexact alone is no fault: 1/86400 is inexact.
    std::feclearexcept(FE_ALL_EXCEPT);
    const double seconds = kvix::unix_seconds_of_serial(kvix::serial_of_unix_time(1));
    QVERIFY(std::fabs(seconds - 1.0) < 1e-6);
}

// A box whose read and write leave the invalid flag set: the status is
// cleared after each, so the calculation's own test does not see it.
void tst_Calc::boxLeavesFlagsBehind_data() {
    QTest::addColumn<bool>("positive");
    QTest::newRow("positive, invalid left by both boxes") << true;
    QTest::newRow("negative, invalid left by both boxes") << false;
}

void tst_Calc::boxLeavesFlagsBehind() {
    QFETCH(bool, positive);
    FakeTextBox in("txtInput", "86400");
    FakeTextBox out("txtOutput", "1970-01-02 00:00:00");
    in.flags_left = out.flags_left = FE_INVALID;
    kvix::clear_fp_status();
    positive ? kvix::CalcPos({in, out}) : kvix::CalcNeg({in, out}, kClock);
    QCOMPARE(in.writes + out.writes, 1);
    QCOMPARE(QString::fromStdString(in.text()), QString("86400"));
    QCOMPARE(QString::fromStdString(out.text()), QString("1970-01-02 00:00:00"));
}

// The program runs in the user's locale once its window starts (the toolkit
// sets it from the environment); so do these tests, so that the locale
// matrix can show any dependence on it.
void tst_Calc::initTestCase() { std::setlocale(LC_ALL, ""); }

namespace {

// Double arithmetic that signals one kind of floating-point exception; the
// operands go through volatile so that the compiler computes it at run time.
enum class Signal { Invalid, DivideByZero, Overflow, Inexact, Underflow };

void signal_by_arithmetic(Signal which) {
    volatile double zero = 0.0, one = 1.0, three = 3.0;
    volatile double big = std::numeric_limits<double>::max();
    volatile double tiny = std::numeric_limits<double>::min();
    volatile double result = 0.0;
    switch (which) {
    case Signal::Invalid: result = zero / zero; break;
    case Signal::DivideByZero: result = one / zero; break;
    case Signal::Overflow: result = big * three; break;
    case Signal::Inexact: result = one / three; break;
    case Signal::Underflow: result = tiny / three; break;
    }
    (void)result;
}

} // namespace

Q_DECLARE_METATYPE(Signal)

// The test after each formula sees what double arithmetic signalled since
// the last clear: invalid, division by zero and overflow are faults; inexact
// and underflow are not.
void tst_Calc::formulaTestsArithmeticFlags_data() {
    QTest::addColumn<Signal>("which");
    QTest::addColumn<bool>("fault");
    QTest::newRow("0 / 0") << Signal::Invalid << true;
    QTest::newRow("1 / 0") << Signal::DivideByZero << true;
    QTest::newRow("largest * 3") << Signal::Overflow << true;
    QTest::newRow("1 / 3") << Signal::Inexact << false;
    QTest::newRow("smallest normal / 3") << Signal::Underflow << false;
}

void tst_Calc::formulaTestsArithmeticFlags() {
    QFETCH(Signal, which);
    QFETCH(bool, fault);
    for (const bool negative : {false, true}) {
        kvix::clear_fp_status();
        signal_by_arithmetic(which);
        ErrorKind raised{};
        const bool threw = negative ? raises([] { kvix::unix_seconds_of_serial(25569.5); }, raised)
                                    : raises([] { kvix::serial_of_unix_time(43200); }, raised);
        QCOMPARE(threw, fault);
        if (fault)
            QCOMPARE(raised, ErrorKind::FloatingPointFault);
        // After a clear the same formula passes.
        kvix::clear_fp_status();
        QVERIFY(!raises([] { kvix::serial_of_unix_time(43200); }, raised));
    }
}

QTEST_APPLESS_MAIN(tst_Calc)
#include "tst_calc.moc"
