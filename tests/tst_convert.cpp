#include <QtTest>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "convert.hpp"
#include "date_text.hpp"
#include "error.hpp"

using kvix::ErrorKind;
using kvix::RuntimeError;

Q_DECLARE_METATYPE(kvix::ErrorKind)
Q_DECLARE_METATYPE(kvix::Expected)

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string utf8(const QString& s) { return s.toStdString(); }

// The serial of a date and time, counted independently of the program:
// whole days since 1899-12-30 plus seconds as a fraction of the day.
double serial(double days, double seconds = 0) { return days + seconds / 86400.0; }

} // namespace

class tst_Convert : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void parseInt32_data();
    void parseInt32();
    void parseInt32Refuses_data();
    void parseInt32Refuses();
    void formatInt32_data();
    void formatInt32();

    void parseDate_data();
    void parseDate();
    void parseDateRefuses_data();
    void parseDateRefuses();
    void formatDate_data();
    void formatDate();
    void formatDateHalfSecond();

    void checkDate_data();
    void checkDate();
    void roundToInt32_data();
    void roundToInt32();
    void roundToInt32Refused_data();
    void roundToInt32Refused();

    void errorMessages_data();
    void errorMessages();
    void shortenedText();
    void refusalMessagesShortAndWellFormed_data();
    void refusalMessagesShortAndWellFormed();
};

void tst_Convert::parseInt32_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("minus zero") << "-0" << 0;
    QTest::newRow("plus") << "+42" << 42;
    QTest::newRow("highest") << "2147483647" << 2147483647;
    QTest::newRow("lowest") << "-2147483648" << std::numeric_limits<int>::min();
    QTest::newRow("white space around") << " \t 1700000000 \t " << 1700000000;
    QTest::newRow("no-break spaces and a line break around") << "\u00A0\n-42\u202F" << -42;
    QTest::newRow("many leading zeros") << "0000000000000000000000000000123" << 123;
    QTest::newRow("leading zeros at the limit") << "-000000000002147483648" << std::numeric_limits<int>::min();
    // Every digit count, around the eight digits taken at once.
    QTest::newRow("one digit") << "7" << 7;
    QTest::newRow("seven digits") << "1234567" << 1234567;
    QTest::newRow("eight digits") << "87654321" << 87654321;
    QTest::newRow("nine digits") << "987654321" << 987654321;
    QTest::newRow("ten digits") << "1999999999" << 1999999999;
    QTest::newRow("ten digits, mostly zeros") << "0000000042" << 42;
    QTest::newRow("minus ten digits, mostly zeros") << "-0000000001" << -1;
    QTest::newRow("eleven characters, the limit") << "-02147483648" << std::numeric_limits<int>::min();
    // A fraction or an exponent: the nearest integer as the digits say,
    // an exact half to the even neighbour.
    QTest::newRow("milliseconds after the point") << "1405507023.107" << 1405507023;
    QTest::newRow("exponent") << "1.7e9" << 1700000000;
    QTest::newRow("capital exponent with a sign") << "1.7E+09" << 1700000000;
    QTest::newRow("negative exponent") << "14055070236e-1" << 1405507024;
    QTest::newRow("minus a half to even zero") << "-0.5" << 0;
    QTest::newRow("two and a half to two") << "2.5" << 2;
    QTest::newRow("point last") << "5." << 5;
    QTest::newRow("point first") << ".5" << 0;
    QTest::newRow("just above a half, beyond a double") << "0.50000000000000001" << 1;
    QTest::newRow("just below a half") << "2.4999999999999999999" << 2;
    QTest::newRow("lowest minus a half, to even") << "-2147483648.5" << std::numeric_limits<int>::min();
    QTest::newRow("zero, huge exponent") << "0e99999999999" << 0;
    QTest::newRow("tiny") << "7e-99999999999" << 0;
    QTest::newRow("typeset minus sign") << "\u22121" << -1;
    QTest::newRow("typeset minus signs, exponent too") << "\u221215e\u22121" << -2;
}

void tst_Convert::parseInt32() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(kvix::parse_int32(utf8(text)), value);
}

void tst_Convert::parseInt32Refuses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<QString>("reason"); // a part the reason must hold
    const auto conv = ErrorKind::ConversionFailure;
    const auto over = ErrorKind::Overflow;
    QTest::newRow("empty") << "" << conv << "empty";
    QTest::newRow("white space") << "  \t" << conv << "white space";
    QTest::newRow("sign alone") << "-" << conv << "sign";
    QTest::newRow("two signs") << "+-1" << conv << "\u201C-\u201D";
    QTest::newRow("decimal comma") << "1405507023,107" << conv << "with a point";
    QTest::newRow("exponent without digits") << "1e" << conv << "exponent must be followed by digits";
    QTest::newRow("point alone") << "." << conv << "\u201C.\u201D";
    QTest::newRow("exponent alone") << "e9" << conv << "\u201Ce\u201D";
    QTest::newRow("hexadecimal") << "0x10" << conv << "\u201Cx\u201D";
    QTest::newRow("trailing letters") << "12abc" << conv << "\u201Ca\u201D";
    QTest::newRow("grouped") << "1 000" << conv << "\u201C \u201D";
    QTest::newRow("grouped with a no-break space") << "1\u00A0000" << conv << "\u201C\u00A0\u201D";
    QTest::newRow("arabic-indic digits") << "\u0661\u0662\u0663" << conv << "\u201C\u0661\u201D";
    QTest::newRow("long number then a letter") << "99999999999999x" << conv << "\u201Cx\u201D";
    // A wrong character in each part of a ten-digit number, and characters
    // next to the digits in the code table.
    QTest::newRow("letter first") << "x123456789" << conv << "\u201Cx\u201D";
    QTest::newRow("letter second") << "1x23456789" << conv << "\u201Cx\u201D";
    QTest::newRow("letter in the last eight") << "12345x7890" << conv << "\u201Cx\u201D";
    QTest::newRow("letter last") << "123456789x" << conv << "\u201Cx\u201D";
    QTest::newRow("colon, after 9") << "1234567:" << conv << "\u201C:\u201D";
    QTest::newRow("slash, before 0") << "/1234567" << conv << "\u201C/\u201D";
    QTest::newRow("accented letter in eight") << "123456\u00E9" << conv << "\u201C\u00E9\u201D";
    QTest::newRow("sign inside") << "1234-5678" << conv << "\u201C-\u201D";
    QTest::newRow("one past highest") << "2147483648" << over << "";
    QTest::newRow("one past lowest") << "-2147483649" << over << "";
    QTest::newRow("eleven digits") << "21474836480" << over << "";
    // A whole part written out as long as a time in a finer unit: the
    // time it names, rounded to the second as the box rounds a fraction.
    QTest::newRow("milliseconds") << "1700000000000" << over
                                  << "As milliseconds since 1970 it is 2023-11-14 22:13:20 UTC, Unix time 1700000000.";
    QTest::newRow("microseconds, negative") << "-1700000000000000" << over
                                            << "As microseconds since 1970 it is 1916-02-18 01:46:40 UTC, Unix time -1700000000.";
    QTest::newRow("nanoseconds, a half to even") << "1700000001500000000" << over
                                                 << "since 1970 it is 2023-11-14 22:13:22 UTC, Unix time 1700000002.";
    QTest::newRow("18 digits since 1601") << "133444736000000000" << over
                                          << "As Windows FILETIME (100 ns since 1601-01-01) it is 2023-11-14 22:13:20 UTC";
    QTest::newRow("18 digits since 0001") << "638355968000000000" << over
                                          << "As .NET ticks (100 ns since 0001-01-01) it is 2023-11-14 22:13:20 UTC";
    QTest::newRow("18 digits, neither") << "300000000000000000" << over
                                        << "it would be 2551-08-31 05:20:00 UTC, Unix time 18355526400, outside the "
                                           "32-bit range too. As .NET ticks (100 ns since 0001-01-01) it would be "
                                           "0951-08-31 05:20:00 UTC, Unix time -32135596800, outside";
    QTest::newRow("milliseconds beyond 2038") << "9999999999999.5" << over
                                              << "it would be 2286-11-20 17:46:40 UTC, Unix time 10000000000, outside";
    QTest::newRow("fourteen digits, no unit") << "17000000000000" << over << "has 14 digits";
    QTest::newRow("huge") << QString(500, '9') << over << "500 digits";
    QTest::newRow("highest and a half, to even") << "2147483647.5" << over << "";
    QTest::newRow("exponent beyond the range") << "1e10" << over << "";
    QTest::newRow("an exponent, no unit") << "1e400" << over << "";
}

void tst_Convert::parseInt32Refuses() {
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    QFETCH(QString, reason);
    try {
        kvix::parse_int32(utf8(text));
        QFAIL("accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.kind(), kind);
        QCOMPARE(e.expected(), kvix::Expected::Number);
        const QString got = QString::fromStdString(e.reason());
        QVERIFY2(got.contains(reason), qPrintable(got));
        if (reason.isEmpty())
            QVERIFY2(!got.contains("milliseconds"), qPrintable(got));
    }
}

void tst_Convert::formatInt32_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("minus one") << -1 << "-1";
    QTest::newRow("highest") << 2147483647 << "2147483647";
    QTest::newRow("lowest") << std::numeric_limits<int>::min() << "-2147483648";
    QTest::newRow("nine") << 9 << "9";
    QTest::newRow("ten") << 10 << "10";
    QTest::newRow("ten digits, inner zeros") << 2000000007 << "2000000007";
}

void tst_Convert::formatInt32() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(kvix::format_int32(value)), text);
    QCOMPARE(kvix::parse_int32(kvix::format_int32(value)), value);
}

void tst_Convert::parseDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("serial");
    QTest::newRow("serial origin") << "1899-12-30 00:00:00" << 0.0;
    QTest::newRow("unix epoch") << "1970-01-01 00:00:00" << 25569.0;
    QTest::newRow("noon") << "1900-01-01 12:00:00" << 2.5;
    QTest::newRow("six in the morning") << "1970-01-02 06:00:00" << 25570.25;
    QTest::newRow("before the origin") << "1899-12-29 18:00:00" << -0.25;
    QTest::newRow("first date") << "0100-01-01 00:00:00" << -657434.0;
    QTest::newRow("last date") << "9999-12-31 23:59:59" << serial(2958465, 86399);
    QTest::newRow("date alone") << "1970-01-02" << 25570.0;
    QTest::newRow("T") << "1970-01-02T06:00:00" << 25570.25;
    QTest::newRow("t and z") << "1970-01-02t06:00:00z" << 25570.25;
    QTest::newRow("Z") << "1970-01-02T06:00:00Z" << 25570.25;
    QTest::newRow("white space") << " \t1970-01-02 06:00:00\t " << 25570.25;
    QTest::newRow("leap day 2000") << "2000-02-29 00:00:00" << 36585.0;
    QTest::newRow("slashes, year first") << "2000/01/01 00:00:00" << 36526.0;
    QTest::newRow("highest unix time") << "2038-01-19 03:14:07" << serial(50424, 11647);
}

void tst_Convert::parseDate() {
    QFETCH(QString, text);
    QFETCH(double, serial);
    QCOMPARE(kvix::date::read_serial(utf8(text), kvix::date::stopped_clock<0>), serial);
}

void tst_Convert::parseDateRefuses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<QString>("reason");
    const auto conv = ErrorKind::ConversionFailure;
    const auto over = ErrorKind::Overflow;
    QTest::newRow("empty") << "" << conv << "empty";
    QTest::newRow("white space") << " " << conv << "white space";
    QTest::newRow("30 February") << "1970-02-30" << conv << "February 1970 has 28 days";
    QTest::newRow("29 February 2023") << "2023-02-29 00:00:00" << conv << "February 2023 has 28 days";
    QTest::newRow("29 February 1900") << "1900-02-29" << conv << "February 1900 has 28 days";
    QTest::newRow("31 April") << "2001-04-31" << conv << "April 2001 has 30 days";
    QTest::newRow("day zero") << "2001-04-00" << conv << "no day 00";
    QTest::newRow("month 13") << "2000-13-01" << conv << "no month 13";
    QTest::newRow("month zero") << "2000-00-01" << conv << "no month 00";
    QTest::newRow("hour 24") << "2000-01-01 24:00:00" << conv << "no hour 24";
    QTest::newRow("minute 60") << "2000-01-01 23:60:00" << conv << "no minute 60";
    QTest::newRow("leap second") << "2000-01-01 23:59:60" << conv << "leap second";
    QTest::newRow("second 61") << "2000-01-01 23:59:61" << conv << "no second 61";
    QTest::newRow("trailing text") << "2000-01-01 00:00:00 extra" << conv << "not understood: \u201Cextra\u201D";
    QTest::newRow("a number") << "1700000000" << conv << "YYYY-MM-DD";
    const QString range = "from 1901-12-13 20:45:52 to 2038-01-19 03:14:07"; // the overflow's one range
    QTest::newRow("before the date range") << "0099-12-31 23:59:59" << over << range;
    QTest::newRow("year zero") << "0000-01-01" << over << range;
    QTest::newRow("@ and a huge exponent") << "@-1e400" << over << range;
    // The canonical form with one character wrong in each part.
    QTest::newRow("letter in the year") << "2O00-01-01 00:00:00" << conv << "YYYY-MM-DD";
    QTest::newRow("letter in the seconds") << "2000-01-01 00:00:0x" << conv << "hh:mm:ss";
    QTest::newRow("colon in the minutes") << "2000-01-01 00:0::00" << conv << "hh:mm:ss";
    QTest::newRow("dot for the last colon") << "2000-01-01 00:00.00" << conv << "not understood: \u201C.00\u201D";
    QTest::newRow("canonical, day 32") << "2000-01-32 00:00:00" << conv << "January 2000 has 31 days";
    QTest::newRow("canonical, second 60") << "2000-01-01 00:00:60" << conv << "leap second";
}

void tst_Convert::parseDateRefuses() {
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    QFETCH(QString, reason);
    try {
        kvix::date::read_serial(utf8(text), kvix::date::stopped_clock<0>);
        QFAIL("accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.kind(), kind);
        QCOMPARE(e.expected(), kvix::Expected::Date);
        const QString got = QString::fromStdString(kind == ErrorKind::Overflow ? kvix::describe_error(e).details
                                                                               : e.reason());
        QVERIFY2(got.contains(reason), qPrintable(got));
        QVERIFY2(!got.contains("0100-01-01"), qPrintable(got));
    }
}

void tst_Convert::formatDate_data() {
    QTest::addColumn<double>("serial");
    QTest::addColumn<QString>("text");
    QTest::newRow("serial origin") << 0.0 << "1899-12-30 00:00:00";
    QTest::newRow("unix epoch") << 25569.0 << "1970-01-01 00:00:00";
    QTest::newRow("noon") << 2.5 << "1900-01-01 12:00:00";
    QTest::newRow("before the origin") << -0.25 << "1899-12-29 18:00:00";
    QTest::newRow("first date") << -657434.0 << "0100-01-01 00:00:00";
    QTest::newRow("last date") << serial(2958465, 86399) << "9999-12-31 23:59:59";
    QTest::newRow("lowest unix time") << 713.8651851851864 << "1901-12-13 20:45:52";
    QTest::newRow("highest unix time") << 50424.13480324074 << "2038-01-19 03:14:07";
    // The time of day goes to the nearest second, with every carry.
    QTest::newRow(":59.4 stays") << serial(25569, 59.4) << "1970-01-01 00:00:59";
    QTest::newRow(":59.6 carries") << serial(25569, 59.6) << "1970-01-01 00:01:00";
    QTest::newRow("into the next day") << serial(25569, 86399.6) << "1970-01-02 00:00:00";
    QTest::newRow("into the next month") << serial(25599, 86399.6) << "1970-02-01 00:00:00";
    QTest::newRow("into the next year") << serial(36525, 86399.7) << "2000-01-01 00:00:00";
    QTest::newRow("into a leap day") << serial(36584, 86399.9) << "2000-02-29 00:00:00";
    QTest::newRow("midnight minus a little") << serial(25570, -0.3) << "1970-01-02 00:00:00";
    QTest::newRow("before the origin, rounding") << serial(-1, 86399.8) << "1899-12-30 00:00:00";
}

void tst_Convert::formatDate() {
    QFETCH(double, serial);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(kvix::format_date(serial)), text);
}

// An exact half second goes to the later second.
void tst_Convert::formatDateHalfSecond() {
    const double half = 0.5 / 86400.0;
    QCOMPARE(half * 86400.0, 0.5); // the product is exact, so the rule decides
    QCOMPARE(QString::fromStdString(kvix::format_date(half)), QString("1899-12-30 00:00:01"));
    QCOMPARE(QString::fromStdString(kvix::format_date(-half)), QString("1899-12-30 00:00:00"));
}

void tst_Convert::checkDate_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("inRange");
    QTest::newRow("first date") << -657434.0 << true;
    QTest::newRow("a second before") << serial(-657434, -1) << false;
    QTest::newRow("last date") << serial(2958465, 86399) << true;
    QTest::newRow("rounds to 10000-01-01") << serial(2958465, 86399.7) << false;
    QTest::newRow("10000-01-01") << 2958466.0 << false;
    QTest::newRow("zero") << 0.0 << true;
    QTest::newRow("NaN") << kNaN << false;
    QTest::newRow("infinity") << kInf << false;
    QTest::newRow("minus infinity") << -kInf << false;
    QTest::newRow("huge") << 1e300 << false;
}

void tst_Convert::checkDate() {
    QFETCH(double, value);
    QFETCH(bool, inRange);
    try {
        const double checked = kvix::check_date(value);
        QVERIFY(inRange);
        QCOMPARE(checked, value);
        QCOMPARE(kvix::format_date(value).size(), kvix::kDateTextLength);
    } catch (const RuntimeError& e) {
        QVERIFY(!inRange);
        QCOMPARE(e.kind(), ErrorKind::Overflow);
    }
    // format_date refuses exactly what the date check refuses.
    bool formatted = true;
    try {
        kvix::format_date(value);
    } catch (const RuntimeError&) {
        formatted = false;
    }
    QCOMPARE(formatted, inRange);
}

void tst_Convert::roundToInt32_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("inRange");
    QTest::addColumn<int>("rounded");
    QTest::newRow("half to even, 0") << 0.5 << true << 0;
    QTest::newRow("half to even, 2") << 1.5 << true << 2;
    QTest::newRow("half to even, 2 again") << 2.5 << true << 2;
    QTest::newRow("minus half") << -0.5 << true << 0;
    QTest::newRow("minus one and a half") << -1.5 << true << -2;
    QTest::newRow("just below a half") << 0.49999999999999994 << true << 0;
    QTest::newRow("just above a whole") << 86400.00000000001 << true << 86400;
    QTest::newRow("just below a whole") << -0.9999999999 << true << -1;
    QTest::newRow("highest") << 2147483647.4 << true << 2147483647;
    QTest::newRow("half past highest") << 2147483647.5 << false << 0;
    QTest::newRow("lowest, half to even") << -2147483648.5 << true << std::numeric_limits<int>::min();
    QTest::newRow("below lowest") << -2147483648.6 << false << 0;
    QTest::newRow("NaN") << kNaN << false << 0;
    QTest::newRow("infinity") << kInf << false << 0;
    QTest::newRow("minus infinity") << -kInf << false << 0;
    QTest::newRow("huge") << 1e300 << false << 0;
}

void tst_Convert::roundToInt32() {
    QFETCH(double, value);
    QFETCH(bool, inRange);
    QFETCH(int, rounded);
    try {
        const int got = kvix::round_to_int32(value);
        QVERIFY(inRange);
        QCOMPARE(got, rounded);
    } catch (const RuntimeError& e) {
        QVERIFY(!inRange);
        QCOMPARE(e.kind(), ErrorKind::Overflow);
    }
}

// What the overflow names as refused: the rounded whole number where 64
// bits hold one, nothing otherwise.
void tst_Convert::roundToInt32Refused_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("refused");
    QTest::newRow("one past highest") << 2147483648.0 << "2147483648";
    QTest::newRow("half past highest, to even") << 2147483647.5 << "2147483648";
    QTest::newRow("one below lowest") << -2147483649.0 << "-2147483649";
    QTest::newRow("half below that, to even") << -2147483649.5 << "-2147483650";
    QTest::newRow("beyond 64 bits, none") << 1e300 << "";
    QTest::newRow("NaN, none") << kNaN << "";
}

void tst_Convert::roundToInt32Refused() {
    QFETCH(double, value);
    QFETCH(QString, refused);
    try {
        kvix::round_to_int32(value);
        QFAIL("accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.kind(), ErrorKind::Overflow);
        QCOMPARE(QString::fromStdString(e.refused()), refused);
    }
}

void tst_Convert::errorMessages_data() {
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<kvix::Expected>("expected");
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("accepted"); // a part of the line saying what is accepted
    QTest::newRow("not a number") << ErrorKind::ConversionFailure << kvix::Expected::Number
                                  << "Not a number" << "-2147483648 to 2147483647";
    QTest::newRow("not a date") << ErrorKind::ConversionFailure << kvix::Expected::Date
                                << "Not a date" << "1901-12-13 20:45:52 to 2038-01-19 03:14:07";
    QTest::newRow("overflow") << ErrorKind::Overflow << kvix::Expected::Number << "Overflow"
                              << "-2147483648 to 2147483647, that is from 1901-12-13 20:45:52 to "
                                 "2038-01-19 03:14:07";
    QTest::newRow("floating-point fault") << ErrorKind::FloatingPointFault << kvix::Expected::Nothing
                                          << "Floating-point fault" << "unchanged";
    QTest::newRow("control call failed") << ErrorKind::ControlCallFailed << kvix::Expected::Nothing
                                         << "Control call failed" << "unchanged";
}

void tst_Convert::errorMessages() {
    QFETCH(ErrorKind, kind);
    QFETCH(kvix::Expected, expected);
    QFETCH(QString, headline);
    QFETCH(QString, accepted);
    const kvix::ErrorMessage m = kvix::describe_error(RuntimeError(kind, expected, "abc", "Why."));
    QCOMPARE(QString::fromStdString(m.headline), headline);
    const QString details = QString::fromStdString(m.details);
    QVERIFY2(details.contains(accepted), qPrintable(details));
    QVERIFY2(details.contains("Why."), qPrintable(details));
}

void tst_Convert::shortenedText() {
    const std::string long_text = std::string(40000, '7') + "\xC3\xA4" + std::string(100, '8');
    const std::string shown = kvix::shorten_for_message(long_text);
    QVERIFY(shown.size() < 100);
    QVERIFY(QString::fromStdString(shown).contains("40101 characters"));
    QVERIFY(QString::fromStdString(shown).startsWith(QString(40, '7')));
    // Cut on a character boundary: a two-byte character is never split.
    std::string accented;
    for (int i = 0; i < 100; ++i)
        accented += "\xC3\xA4";
    const QByteArray bytes = QByteArray::fromStdString(kvix::shorten_for_message(accented));
    QVERIFY(QString::fromUtf8(bytes).toUtf8() == bytes);
    QVERIFY(QString::fromUtf8(bytes).contains("100 characters"));
    QCOMPARE(kvix::shorten_for_message("short"), std::string("short"));
}

// Whatever text is refused, the message stays short, and the message of a
// well-formed text is well-formed UTF-8: no character is cut in two.
void tst_Convert::refusalMessagesShortAndWellFormed_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("date");
    QTest::addColumn<QByteArray>("quoted"); // what the reason must quote, whole
    // Refused trailing text longer than a message shows keeps its first 40
    // bytes, cut back to a character boundary, then an ellipsis.
    const QByteArray x38(38, 'x'), x39(39, 'x'), tail(30, 'z');
    const QByteArray ellipsis("\xE2\x80\xA6");
    QTest::newRow("date: a character ending at the 40-byte cut")
        << "2038-01-19 03:14:07 " + x38 + "\xC3\xA4" + tail << true
        << "\xE2\x80\x9C" + x38 + "\xC3\xA4" + ellipsis;
    QTest::newRow("date: a character across the 40-byte cut")
        << "2038-01-19 03:14:07 " + x39 + "\xC3\xA4" + tail << true
        << "\xE2\x80\x9C" + x39 + ellipsis;
    QTest::newRow("date: a long paste after the time")
        << "2038-01-19 03:14:07" + QByteArray(100000, 'y') << true << QByteArray(40, 'y');
    QTest::newRow("number: a run of continuation bytes (malformed)")
        << "9" + QByteArray(300, '\x8B') << false << QByteArray("\xE2\x80\x9C\x8B\x8B\x8B\x8B\xE2\x80\x9D"); // at most 4 bytes, as a character
    QTest::newRow("number: a four-byte character")
        << QByteArray("12\xF0\x9F\x98\x80") << false << QByteArray("\xE2\x80\x9C\xF0\x9F\x98\x80\xE2\x80\x9D");
}

void tst_Convert::refusalMessagesShortAndWellFormed() {
    QFETCH(QByteArray, text);
    QFETCH(bool, date);
    QFETCH(QByteArray, quoted);
    const std::string input = text.toStdString();
    try {
        if (date)
            kvix::date::read_serial(input, kvix::date::stopped_clock<0>);
        else
            kvix::parse_int32(input);
        QFAIL("accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.kind(), ErrorKind::ConversionFailure);
        const QByteArray reason = QByteArray::fromStdString(e.reason());
        QVERIFY2(reason.contains(quoted), reason.constData());
        const kvix::ErrorMessage m = kvix::describe_error(e);
        QVERIFY2(m.details.size() < 400, qPrintable(QString::number(m.details.size())));
        const QByteArray details = QByteArray::fromStdString(m.details);
        if (QString::fromUtf8(text).toUtf8() == text) // the input is well-formed
            QCOMPARE(QString::fromUtf8(details).toUtf8(), details);
    }
}

// The program runs in the user's locale once its window starts (the toolkit
// sets it from the environment); so do these tests, so that the locale
// matrix can show any dependence on it.
void tst_Convert::initTestCase() { std::setlocale(LC_ALL, ""); }

QTEST_APPLESS_MAIN(tst_Convert)
#include "tst_convert.moc"
