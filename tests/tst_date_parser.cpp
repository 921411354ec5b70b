// The date parser: every family of date texts it reads, the refusals and
// their reasons, fractional seconds through the negative calculation's
// formula, hostile input, and a round trip of random instants through a
// formatter per family written here.
#include <QtTest>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "calc.hpp"
#include "convert.hpp"
#include "date_text.hpp"
#include "error.hpp"
#include "tokens.hpp"

using kvix::ErrorKind;
using kvix::RuntimeError;

namespace {

std::string utf8(const QString& s) { return s.toStdString(); }

constexpr qint64 kLowest = -2147483648LL; // 1901-12-13 20:45:52
constexpr qint64 kHighest = 2147483647;   // 2038-01-19 03:14:07

// The clock the reader is given: stopped at 2014-07-16 10:37:03 UTC.
constexpr qint64 kNow = 1405507023;
constexpr kvix::date::Clock kClock = kvix::date::stopped_clock<kNow>;

// What the negative calculation makes of a date text: the serial, the
// formula, the rounding.  Throws as the calculation does.
std::int32_t through_calc_neg(const std::string& text) {
    return kvix::round_to_int32(kvix::unix_seconds_of_serial(kvix::date::read_serial(text, kClock)));
}

// The rows of every family: text -> Unix time.
void add_columns() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("seconds");
}

// Reads the row and checks the parser, and, for an instant in the 32-bit
// range, the negative calculation's road from the same text.
void check_row() {
    QFETCH(QString, text);
    QFETCH(qint64, seconds);
    const std::string t = utf8(text);
    std::int64_t got = 0;
    try {
        got = kvix::date::read_seconds(t, kClock);
    } catch (const RuntimeError& e) {
        QFAIL(qPrintable("refused: " + QString::fromStdString(e.reason())));
    }
    QCOMPARE(qint64{got}, seconds);
    if (seconds >= kLowest && seconds <= kHighest)
        QCOMPARE(qint64{through_calc_neg(t)}, seconds);
}

// The date texts a refusal suggests stand after "e.g. " at the end of its
// reason, several joined by " or ", the reason's final "." not theirs: each
// must read to a Unix time, neither refused nor out of range.
void check_examples(const std::string& reason) {
    const QString r = QString::fromStdString(reason);
    const qsizetype at = r.indexOf("e.g. ");
    if (at < 0)
        return;
    QVERIFY2(r.indexOf("e.g.", at + 1) < 0 && r.endsWith('.'), qPrintable("examples not at the end: " + r));
    for (const QString& example : r.mid(at + 5).chopped(1).split(" or ")) {
        try {
            const std::int64_t got = kvix::date::read_seconds(utf8(example), kClock);
            QVERIFY2(got >= kLowest && got <= kHighest, qPrintable(example + " overflows, in: " + r));
        } catch (const RuntimeError& e) {
            QFAIL(qPrintable(example + " is refused: " + QString::fromStdString(e.reason()) + ", in: " + r));
        }
    }
}

// Reads the row's text, which must be refused with `kind` as a date, with
// the row's part of the reason; an overflow quotes the text whole.  Then
// every example the reason suggests must read.
void check_refused(ErrorKind kind) {
    QFETCH(QString, text);
    QFETCH(QString, reason);
    try {
        kvix::date::read_seconds(utf8(text), kClock);
        QFAIL("accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.kind(), kind);
        QCOMPARE(e.expected(), kvix::Expected::Date);
        if (kind == ErrorKind::Overflow)
            QCOMPARE(QString::fromStdString(e.refused()), text);
        else
            QCOMPARE(QString::fromStdString(kvix::describe_error(e).headline), QString("Not a date"));
        const QString got = QString::fromStdString(e.reason());
        QVERIFY2(got.contains(reason), qPrintable(got));
        check_examples(e.reason());
    }
}

} // namespace

class tst_DateParser : public QObject {
    Q_OBJECT

private slots:
    void isoExtended_data();
    void isoExtended() { check_row(); }
    void isoBasic_data();
    void isoBasic() { check_row(); }
    void mailAndHttp_data();
    void mailAndHttp() { check_row(); }
    void toolOutputs_data();
    void toolOutputs() { check_row(); }
    void monthNames_data();
    void monthNames() { check_row(); }
    void numericDates_data();
    void numericDates() { check_row(); }
    void twelveHourClock_data();
    void twelveHourClock() { check_row(); }
    void whiteSpaceAndCase_data();
    void whiteSpaceAndCase() { check_row(); }
    void germanDates_data();
    void germanDates() { check_row(); }
    void zoneNames_data();
    void zoneNames() { check_row(); }
    void clockAndUnixTime_data();
    void clockAndUnixTime() { check_row(); }
    void zoneTable();
    void readmeExamples_data();
    void readmeExamples() { check_row(); }

    void refusals_data();
    void refusals();
    void overflows_data();
    void overflows();
    void fractionalSeconds_data();
    void fractionalSeconds();
    void hostileInput_data();
    void hostileInput();
    void roundTripEveryFamily_data();
    void roundTripEveryFamily();
};

// The expected values of the rows below marked "GNU date" were written by
// GNU coreutils 9.1, `date -u -d TEXT +%s`, for the text of the row.  The
// others, in forms GNU date does not read, are worked out by hand from
// these day counts since 1970-01-01 (each checkable on a calendar):
//   2038-01-19 is day 24855:  24855 * 86400 = 2147472000; 03:14:07 is
//              11647 s, so 2038-01-19 03:14:07 is 2147483647 = 2^31 - 1.
//   2001-09-09 is day 11574:  11574 * 86400 = 999993600; 01:46:40 is
//              6400 s, so 2001-09-09 01:46:40 is 1000000000.
//   1901-12-13 is day -24856: -24856 * 86400 = -2147558400; 20:45:52 is
//              74752 s, so 1901-12-13 20:45:52 is -2147483648 = -2^31.
//   1969-12-31 is day -1:     -86400.

void tst_DateParser::isoExtended_data() {
    add_columns();
    // GNU date
    QTest::newRow("canonical") << "2038-01-19 03:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("T and Z") << "2038-01-19T03:14:07Z" << Q_INT64_C(2147483647);
    QTest::newRow("lower-case t and z") << "2001-09-09t01:46:40z" << Q_INT64_C(1000000000);
    QTest::newRow("lowest") << "1901-12-13T20:45:52Z" << Q_INT64_C(-2147483648);
    QTest::newRow("epoch") << "1970-01-01T00:00:00Z" << Q_INT64_C(0);
    QTest::newRow("leap day") << "2000-02-29T12:00:00Z" << Q_INT64_C(951825600);
    QTest::newRow("no seconds") << "2038-01-19 03:14" << Q_INT64_C(2147483640);
    QTest::newRow("date alone") << "1901-12-14" << Q_INT64_C(-2147472000);
    QTest::newRow("one-digit month and day") << "2038-1-9" << Q_INT64_C(2146608000);
    QTest::newRow("fraction with dot") << "2009-02-13T23:31:30.25Z" << Q_INT64_C(1234567890);
    QTest::newRow("fraction with comma") << "2009-02-13T23:31:30,125Z" << Q_INT64_C(1234567890);
    QTest::newRow("many fraction digits") << "1999-12-31T23:59:59.499999999999999999999Z" << Q_INT64_C(946684799);
    QTest::newRow("offset +hh:mm") << "2038-01-19T04:14:07+01:00" << Q_INT64_C(2147483647);
    QTest::newRow("offset -hh:mm") << "2038-01-18T22:14:07-05:00" << Q_INT64_C(2147483647);
    QTest::newRow("offset +hhmm") << "1970-01-01T05:30:00+0530" << Q_INT64_C(0);
    QTest::newRow("offset +hh") << "1970-01-01T09:00:00+09" << Q_INT64_C(0);
    QTest::newRow("offset -00:00") << "1970-01-01T00:00:00-00:00" << Q_INT64_C(0);
    QTest::newRow("offset, no seconds") << "1969-12-31T19:00-05:00" << Q_INT64_C(0);
    QTest::newRow("space before offset") << "2001-09-09 03:46:40 +02:00" << Q_INT64_C(1000000000);
    QTest::newRow("fraction and offset") << "2001-09-09T03:46:40.000+02:00" << Q_INT64_C(1000000000);
    QTest::newRow("UTC") << "2001-09-09 01:46:40 UTC" << Q_INT64_C(1000000000);
    QTest::newRow("GMT") << "2001-09-09 01:46:40 GMT" << Q_INT64_C(1000000000);
    QTest::newRow("UTC+1") << "2038-01-19 04:14:07 UTC+1" << Q_INT64_C(2147483647);
    QTest::newRow("US zone") << "2038-01-18 22:14:07 EST" << Q_INT64_C(2147483647);
    QTest::newRow("first date") << "0100-01-01" << Q_INT64_C(-59011459200);
    QTest::newRow("last date") << "9999-12-31 23:59:59" << Q_INT64_C(253402300799);
    // ISO texts at their edges: offsets across midnight and the year end,
    // white space of every kind, a year outside the date range.  GNU date:
    QTest::newRow("offset across the year end") << "2038-01-01T00:30:00+01:00" << Q_INT64_C(2145915000);
    QTest::newRow("offset back across midnight") << "1969-12-31T23:00:00-01:00" << Q_INT64_C(0);
    QTest::newRow("offset -23:59") << "1970-01-01T00:00:00-23:59" << Q_INT64_C(86340);
    QTest::newRow("offset +23:59") << "1970-01-01T00:00:00+23:59" << Q_INT64_C(-86340);
    QTest::newRow("Z after minutes") << "2038-01-19T03:14Z" << Q_INT64_C(2147483640);
    QTest::newRow("tab for the T") << "2038-01-19\t03:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("control white space around") << "\t\r\n2038-01-19T03:14:07Z\v\f " << Q_INT64_C(2147483647);
    QTest::newRow("year 0099") << "0099-12-31T23:59:59Z" << Q_INT64_C(-59011459201);
    // By hand: GNU date gives 2145916799 for 2037-12-31T23:59:59Z and
    // 951868799 for 2000-03-01T00:59:59+01:00; the half second rounds each
    // up into the next year, and back across a leap day's end.
    QTest::newRow("fraction carries into the next year") << "2037-12-31T23:59:59.5Z" << Q_INT64_C(2145916800);
    QTest::newRow("fraction, offset, leap day") << "2000-03-01T00:59:59.5+01:00" << Q_INT64_C(951868800);
    // Go (time.Time.String): the offset decides, a name after it agrees
    // with it or is not known, the clock reading after it is no date.
    QTest::newRow("Go, +0000 UTC") << "2038-01-19 03:14:07 +0000 UTC" << kHighest;
    QTest::newRow("Go, CET and clock reading") << "2038-01-19 04:14:07.123456789 +0100 CET m=+0.001234567" << kHighest;
    QTest::newRow("Go, CST of China") << "2038-01-19 11:14:07 +0800 CST" << kHighest;
    QTest::newRow("Go, offset as its name") << "2038-01-19 00:14:07 -0300 -03" << kHighest;
    // Java (ZonedDateTime.toString): the zone in brackets is a label.
    QTest::newRow("Java, zone in brackets") << "2038-01-19T00:14:07-03:00[America/Argentina/Buenos_Aires]" << kHighest;
    QTest::newRow("Java, Z[UTC]") << "2038-01-19T03:14:07Z[UTC]" << kHighest;
    // Python, Java, PostgreSQL: local mean time's offsets with seconds.
    QTest::newRow("offset with seconds") << "1901-12-14T02:07:02+05:21:10" << kLowest;
    QTest::newRow("offset with seconds, basic") << "1901-12-13 17:39:24-030628" << kLowest;
    QTest::newRow("GMT, offset with seconds") << "1901-12-13 17:39:24 GMT-3:06:28" << kLowest;
    // date -Ihours, Python's isoformat(timespec='hours'): the hour alone.
    QTest::newRow("hour alone, Z") << "2038-01-19T03Z" << Q_INT64_C(2147482800);
    QTest::newRow("hour alone, offset") << "2038-01-19T04+01:00" << Q_INT64_C(2147482800);
    // Python's strftime('%Y-%j'), ('%G-W%V-%u'): ordinal and week dates;
    // week 1 of 2026 begins on 2025-12-29, and 2026 has a week 53.
    QTest::newRow("ordinal date") << "2038-019T03:14:07Z" << kHighest;
    QTest::newRow("ordinal date, day 366") << "2036-366" << Q_INT64_C(2114294400);
    QTest::newRow("week date") << "2038-W03-2T03:14:07Z" << kHighest;
    QTest::newRow("week date in the year before") << "2026-W01-1" << Q_INT64_C(1766966400);
    QTest::newRow("week 53") << "2026-W53-7" << Q_INT64_C(1798934400);
}

void tst_DateParser::isoBasic_data() {
    add_columns();
    // GNU date
    QTest::newRow("date") << "20380119" << Q_INT64_C(2147472000);
    // By hand, from the day counts above.
    QTest::newRow("date and time, Z") << "20380119T031407Z" << Q_INT64_C(2147483647);
    QTest::newRow("epoch") << "19700101T000000Z" << Q_INT64_C(0);
    QTest::newRow("no zone") << "20010909T014640" << Q_INT64_C(1000000000);
    // 2147472000 + 3*3600 + 14*60
    QTest::newRow("no seconds") << "20380119T0314Z" << Q_INT64_C(2147483640);
    // 04:14:07 at +01:00 is 03:14:07 UTC
    QTest::newRow("offset +hhmm") << "20380119T041407+0100" << Q_INT64_C(2147483647);
    // -86400 + 19*3600 + 5*3600
    QTest::newRow("offset -hh") << "19691231T190000-05" << Q_INT64_C(0);
    // Fourteen digits, as directories and certificates (GeneralizedTime) write them.
    QTest::newRow("fourteen digits") << "20380119031407" << kHighest;
    QTest::newRow("fourteen digits, fraction, Z") << "20380119031406.5Z" << kHighest;
    QTest::newRow("fourteen digits, offset") << "20380119041407+0100" << kHighest;
    // -86400 + 86399, a quarter second rounding down
    QTest::newRow("fraction") << "19691231T235959.25Z" << Q_INT64_C(-1);
    // Basic texts at their edges: lower case, white space around, an extended
    // offset after a basic time.
    QTest::newRow("lower-case t and z") << "20380119t031407z" << Q_INT64_C(2147483647);
    QTest::newRow("white space around") << " 20380119T031407Z\t" << Q_INT64_C(2147483647);
    QTest::newRow("offset +hh:mm") << "20380119T041407+01:00" << Q_INT64_C(2147483647);
    // -86400 + 86399 + 1: the half second carries into the next day
    QTest::newRow("fraction carries into the next day") << "19691231T235959.5Z" << Q_INT64_C(0);
}

void tst_DateParser::mailAndHttp_data() {
    add_columns();
    // GNU date
    QTest::newRow("mail") << "Tue, 19 Jan 2038 03:14:07 +0000" << Q_INT64_C(2147483647);
    QTest::newRow("http") << "Tue, 19 Jan 2038 03:14:07 GMT" << Q_INT64_C(2147483647);
    QTest::newRow("no weekday, UT") << "19 Jan 2038 03:14:07 UT" << Q_INT64_C(2147483647);
    QTest::newRow("Z") << "Sun, 09 Sep 2001 01:46:40 Z" << Q_INT64_C(1000000000);
    QTest::newRow("minus zero") << "Thu, 01 Jan 1970 00:00:00 -0000" << Q_INT64_C(0);
    QTest::newRow("lowest, -0500") << "Fri, 13 Dec 1901 15:45:52 -0500" << Q_INT64_C(-2147483648);
    QTest::newRow("no seconds") << "Tue, 19 Jan 2038 03:14 +0000" << Q_INT64_C(2147483640);
    QTest::newRow("comment") << "Tue, 19 Jan 2038 03:14:07 +0000 (UTC)" << Q_INT64_C(2147483647);
    QTest::newRow("nested comment") << "Tue, 19 Jan 2038 03:14:07 +0000 (U(T)C)" << Q_INT64_C(2147483647);
    QTest::newRow("cookie") << "Tuesday, 19-Jan-2038 03:14:07 GMT" << Q_INT64_C(2147483647);
    QTest::newRow("EST") << "Mon, 18 Jan 2038 22:14:07 EST" << Q_INT64_C(2147483647);
    QTest::newRow("EDT") << "Mon, 18 Jan 2038 23:14:07 EDT" << Q_INT64_C(2147483647);
    QTest::newRow("MST") << "Mon, 18 Jan 2038 20:14:07 MST" << Q_INT64_C(2147483647);
    QTest::newRow("MDT") << "Mon, 18 Jan 2038 21:14:07 MDT" << Q_INT64_C(2147483647);
    QTest::newRow("PST") << "Mon, 18 Jan 2038 19:14:07 PST" << Q_INT64_C(2147483647);
    QTest::newRow("PDT") << "Mon, 18 Jan 2038 20:14:07 PDT" << Q_INT64_C(2147483647);
}

void tst_DateParser::toolOutputs_data() {
    add_columns();
    // GNU date
    QTest::newRow("date") << "Tue Jan 19 03:14:07 UTC 2038" << Q_INT64_C(2147483647);
    QTest::newRow("date, two spaces") << "Thu Jan  1 00:00:00 UTC 1970" << Q_INT64_C(0);
    QTest::newRow("date, GMT") << "Fri Dec 13 20:45:52 GMT 1901" << Q_INT64_C(-2147483648);
    QTest::newRow("date, EST") << "Mon Jan 18 22:14:07 EST 2038" << Q_INT64_C(2147483647);
    QTest::newRow("date, 12-hour") << "Tue Jan 19 03:14:07 AM UTC 2038" << Q_INT64_C(2147483647);
    QTest::newRow("asctime") << "Tue Jan 19 03:14:07 2038" << Q_INT64_C(2147483647);
    QTest::newRow("asctime, two spaces") << "Sun Sep  9 01:46:40 2001" << Q_INT64_C(1000000000);
    QTest::newRow("javascript") << "Tue Jan 19 2038 03:14:07 GMT+0000 (Coordinated Universal Time)" << Q_INT64_C(2147483647);
    QTest::newRow("javascript, +0100") << "Tue Jan 19 2038 04:14:07 GMT+0100 (Central European Standard Time)" << Q_INT64_C(2147483647);
    QTest::newRow("javascript, -0500") << "Wed Dec 31 1969 19:00:00 GMT-0500 (Eastern Standard Time)" << Q_INT64_C(0);
    QTest::newRow("javascript, +0530") << "Sun Sep 09 2001 07:16:40 GMT+0530 (India Standard Time)" << Q_INT64_C(1000000000);
    QTest::newRow("javascript, +1245") << "Thu Jan 01 1970 12:45:00 GMT+1245 (Chatham Standard Time)" << Q_INT64_C(0);
    // By hand: the top of the range, written with +0000 and at +01:00.
    QTest::newRow("web server log") << "[19/Jan/2038:03:14:07 +0000]" << Q_INT64_C(2147483647);
    QTest::newRow("web server log, offset") << "19/Jan/2038:04:14:07 +0100" << Q_INT64_C(2147483647);
    // git log, PostgreSQL (DateStyle Postgres, MDY and DMY), openssl x509 -dates:
    // the zone after the year.
    QTest::newRow("git") << "Tue Jan 19 03:14:07 2038 +0000" << kHighest;
    QTest::newRow("PostgreSQL, fraction") << "Tue Jan 19 03:14:06.5 2038 UTC" << kHighest;
    QTest::newRow("PostgreSQL, day first, offset") << "Tue 19 Jan 00:14:07 2038 -03" << kHighest;
    QTest::newRow("openssl") << "Jan 19 03:14:07 2038 GMT" << kHighest;
    // exiftool: a photo's date with colons.
    QTest::newRow("EXIF") << "2038:01:19 03:14:07" << kHighest;
    QTest::newRow("EXIF, offset") << "2038:01:19 04:14:07.123+01:00" << kHighest;
    // The common forms' reader: the word-wide layouts and clock with what
    // may follow them.  GNU date:
    QTest::newRow("date, one-digit hour") << "Tue Jan 19 3:14:07 UTC 2038" << Q_INT64_C(2147483647);
    QTest::newRow("dots, one-digit hour, PM") << "19.01.2038 3:14:07 PM" << Q_INT64_C(2147526847);
    QTest::newRow("year first slashes, offset") << "2038/01/19 04:14:07 +01:00" << Q_INT64_C(2147483647);
    // By hand: GNU date gives 2147483646 for 03:14:06; the half second
    // rounds up.
    QTest::newRow("mail, fraction") << "Tue, 19 Jan 2038 03:14:06.5 +0000" << Q_INT64_C(2147483647);
}

void tst_DateParser::monthNames_data() {
    add_columns();
    // GNU date
    QTest::newRow("day month year") << "19 Jan 2038" << Q_INT64_C(2147472000);
    QTest::newRow("full month, time") << "19 January 2038 03:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("month day, year") << "Jan 19, 2038" << Q_INT64_C(2147472000);
    QTest::newRow("full month day, year, time") << "January 19, 2038 03:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("no comma") << "Jan 19 2038" << Q_INT64_C(2147472000);
    QTest::newRow("abbreviation dot") << "jan. 19, 2038" << Q_INT64_C(2147472000);
    QTest::newRow("upper case, 12-hour") << "SEPTEMBER 9, 2001 1:46:40 AM" << Q_INT64_C(1000000000);
    QTest::newRow("weekday") << "Tuesday, January 19, 2038" << Q_INT64_C(2147472000);
    QTest::newRow("day-month-year dashes") << "13-Dec-1901 20:45:52" << Q_INT64_C(-2147483648);
    // By hand: 2147472000 + 3*3600 + 14*60, and the top of the range.
    QTest::newRow("comma before time") << "Jan 19, 2038, 3:14 AM" << Q_INT64_C(2147483640);
    QTest::newRow("ordinal suffix, month first") << "January 19th, 2038" << Q_INT64_C(2147472000);
    QTest::newRow("ordinal suffix, day first") << "22nd January 2038" << Q_INT64_C(2147731200);
    QTest::newRow("ordinal suffix 1st") << "Jan 1st, 1970" << Q_INT64_C(0);
    QTest::newRow("at") << "January 19, 2038 at 3:14:07 AM" << Q_INT64_C(2147483647);
    // By hand: 3:14:07.5 p.m. at +01:00 is 14:14:07.5 UTC, rounding to
    // 14:14:08: 2147472000 + 14*3600 + 14*60 + 8.  The longest form read.
    QTest::newRow("everything at once") << "[Tuesday, January 19, 2038 at 3:14:07.5 p.m. GMT+01:00 (CET)]" << Q_INT64_C(2147523248);
}

void tst_DateParser::numericDates_data() {
    add_columns();
    // By hand, from the day counts above: day first with dots.
    QTest::newRow("dots") << "19.01.2038" << Q_INT64_C(2147472000);
    QTest::newRow("dots, one digit, time") << "19.1.2038 03:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("dots, epoch") << "1.1.1970" << Q_INT64_C(0);
    QTest::newRow("dots, lowest") << "13.12.1901 20:45:52" << Q_INT64_C(-2147483648);
    // GNU date
    QTest::newRow("year first slashes") << "2038/01/19 03:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("year first slashes, one digit") << "2001/9/9 01:46:40" << Q_INT64_C(1000000000);
    QTest::newRow("year first slashes, date alone") << "1970/01/01" << Q_INT64_C(0);
    QTest::newRow("month first slashes") << "01/19/2038" << Q_INT64_C(2147472000);
    QTest::newRow("month first slashes, time") << "1/19/2038 03:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("month first slashes, lowest") << "12/13/1901 20:45:52" << Q_INT64_C(-2147483648);
    QTest::newRow("month first slashes, 12-hour") << "09/09/2001 1:46:40 AM" << Q_INT64_C(1000000000);
    // By hand: day first where only that order names a date, and the same
    // date both ways, 2038-05-05 = 2038-01-19 + 106 days.
    QTest::newRow("day first slashes") << "19/01/2038" << Q_INT64_C(2147472000);
    QTest::newRow("slashes, the same date both ways") << "05/05/2038" << Q_INT64_C(2156630400);
    // By hand: a browser's en-US text, a narrow no-break space before AM.
    QTest::newRow("browser locale") << "1/19/2038, 3:14:07\u202FAM" << Q_INT64_C(2147483647);
}

void tst_DateParser::twelveHourClock_data() {
    add_columns();
    // GNU date
    QTest::newRow("AM") << "2038-01-19 3:14:07 AM" << Q_INT64_C(2147483647);
    QTest::newRow("PM") << "2038-01-19 3:14:07 PM" << Q_INT64_C(2147526847);
    QTest::newRow("midnight") << "1970-01-01 12:00:00 AM" << Q_INT64_C(0);
    QTest::newRow("noon") << "1970-01-01 12:00:00 PM" << Q_INT64_C(43200);
    QTest::newRow("a.m.") << "1970-01-01 12:30 a.m." << Q_INT64_C(1800);
    QTest::newRow("p.m.") << "1970-01-01 11:59:59 p.m." << Q_INT64_C(86399);
    QTest::newRow("glued pm") << "1970-01-01 3pm" << Q_INT64_C(54000);
    QTest::newRow("hour alone") << "Jan 1, 1970 12 PM" << Q_INT64_C(43200);
    QTest::newRow("lower case am") << "1970-01-01 1:00 am" << Q_INT64_C(3600);
    // By hand: 12:xx AM is in the first hour of the day.
    QTest::newRow("a.m without the last dot") << "1970-01-01 12:00:01 a.m" << Q_INT64_C(1);
}

void tst_DateParser::whiteSpaceAndCase_data() {
    add_columns();
    // GNU date
    QTest::newRow("white space around") << " \t 2038-01-19 03:14:07 \n " << Q_INT64_C(2147483647);
    QTest::newRow("runs inside") << "Tue,   19\tJan  2038   03:14:07    GMT" << Q_INT64_C(2147483647);
    QTest::newRow("upper case") << "TUE, 19 JAN 2038 03:14:07 GMT" << Q_INT64_C(2147483647);
    // By hand: the top of the range with a no-break space, and at -05:00
    // written with the typographic minus sign.
    QTest::newRow("no-break space") << "2038-01-19\u00A003:14:07" << Q_INT64_C(2147483647);
    QTest::newRow("minus sign") << "2038-01-18T22:14:07\u221205:00" << Q_INT64_C(2147483647);
    QTest::newRow("minus sign after UTC") << "2038-01-18 22:14:07 UTC\u221205:00" << Q_INT64_C(2147483647);
}

void tst_DateParser::germanDates_data() {
    add_columns();
    // By hand, from the day counts above; 2000-03-01 is day 11017
    // (951868800), 2000-05-01 day 11078 (957139200), 2000-01-01 day 10957
    // (946684800), a Saturday.
    QTest::newRow("date command") << "Di 19. Jan 04:14:07 CET 2038" << kHighest;
    QTest::newRow("date command, padded day") << "Do  1. Jan 01:00:00 MEZ 1970" << Q_INT64_C(0);
    QTest::newRow("long date and time") << "Dienstag, 19. Januar 2038 03:14:07" << kHighest;
    QTest::newRow("long date") << "Dienstag, 19. Januar 2038" << Q_INT64_C(2147472000);
    QTest::newRow("um and Uhr") << "19. Januar 2038 um 03:14 Uhr" << Q_INT64_C(2147483640);
    QTest::newRow("hour alone with Uhr") << "19.01.2038 um 3 Uhr" << Q_INT64_C(2147482800);
    QTest::newRow("short month with a dot, comma") << "19. Jan. 2038, 03:14:07" << kHighest;
    QTest::newRow("dots and Uhr") << "19.01.2038 03:14 Uhr" << Q_INT64_C(2147483640);
    QTest::newRow("short weekday, dot and comma") << "Di., 19.01.2038 03:14" << Q_INT64_C(2147483640);
    QTest::newRow("J\u00e4n. upper case") << "19. J\u00c4N. 2038" << Q_INT64_C(2147472000);
    QTest::newRow("Sept.") << "So., 9. Sept. 2001 01:46:40" << Q_INT64_C(1000000000);
    // By hand: 1970-03-01 is day 31 + 28 = 59 (5097600), its umlaut
    // written as a and U+0308 COMBINING DIAERESIS.
    QTest::newRow("decomposed umlaut") << "1. Ma\u0308rz 1970" << Q_INT64_C(5097600);
}

// Zone names as mail and log lines from Europe, Asia, Australia and
// Newfoundland write them; the zone table's every row is checked by
// zoneTable.
void tst_DateParser::zoneNames_data() {
    add_columns();
    // By hand: 03:14:07 UTC is 04:14:07 at +01:00, 12:14:07 at +09:00,
    // 14:14:07 at +11:00, 00:44:07 at -02:30.
    QTest::newRow("CET") << "19 Jan 2038 04:14:07 CET" << kHighest;
    QTest::newRow("AEDT, lower case") << "2038-01-19 14:14:07 aedt" << kHighest;
    QTest::newRow("BST in the date form") << "Tue Jan 19 04:14:07 BST 2038" << kHighest;
}

// The clock stands at kNow, 2014-07-16 10:37:03 UTC; its day began at
// 1405468800 (kNow rounded down to a multiple of 86400).
void tst_DateParser::clockAndUnixTime_data() {
    add_columns();
    QTest::newRow("now") << "now" << kNow;
    QTest::newRow("jetzt, capitals, space around") << " JETZT " << kNow;
    QTest::newRow("today") << "today" << Q_INT64_C(1405468800);
    QTest::newRow("yesterday") << "yesterday" << Q_INT64_C(1405382400);
    QTest::newRow("tomorrow") << "tomorrow" << Q_INT64_C(1405555200);
    QTest::newRow("@ and a Unix time") << "@1405507023" << Q_INT64_C(1405507023);
    QTest::newRow("@ and a negative one") << "@-1" << Q_INT64_C(-1);
    QTest::newRow("@ beyond the range") << "@2147483648" << Q_INT64_C(2147483648);
    // After @ a number is read as the upper box reads it.
    QTest::newRow("@ and a half, to even") << "@1.5" << Q_INT64_C(2);
    QTest::newRow("@ and minus a half, to even") << "@-0.5" << Q_INT64_C(0);
    QTest::newRow("@ and an exponent") << "@1.7e9" << Q_INT64_C(1700000000);
    QTest::newRow("@ and a typeset minus sign") << "@\u22121" << Q_INT64_C(-1);
}

// Every row of the zone table: a name of one row names its offset; a name
// of several rows is refused, naming each reading.
void tst_DateParser::zoneTable() {
    const auto zones = kvix::date::zone_names();
    for (std::size_t k = 0; k < zones.size(); ++k) {
        const auto& z = zones[k];
        const std::string text = "1970-01-01 00:00:00 " + std::string(z.name);
        const bool ambiguous = (k > 0 && zones[k - 1].name == z.name) ||
                               (k + 1 < zones.size() && zones[k + 1].name == z.name);
        try {
            const std::int64_t got = kvix::date::read_seconds(text, kClock);
            QVERIFY2(!ambiguous, text.c_str());
            QCOMPARE(got, -std::int64_t{z.offset} * 60);
        } catch (const RuntimeError& e) {
            QVERIFY2(ambiguous, qPrintable(QString::fromStdString(text + ": " + e.reason())));
            const std::string reading = kvix::date::offset_text(z.offset) + " (" + std::string(z.region) + ")";
            QVERIFY2(e.reason().find(reading) != std::string::npos, e.reason().c_str());
        }
    }
}

// Every example of the README's table of forms, read to the instant the
// README states for it: 2038-01-19 03:14:07 UTC (2147483647), 03:14:00
// where it has no seconds, midnight where it has no time, 0 for the one of
// 1970.  Which applies is told by the text: the seconds are written ":07"
// or "1407", a time without seconds "3:14" or "0314".
void tst_DateParser::readmeExamples_data() {
    add_columns();
    QFile readme(KVIX_README);
    QVERIFY2(readme.open(QIODevice::ReadOnly | QIODevice::Text), KVIX_README);
    const QStringList lines = QString::fromUtf8(readme.readAll()).split('\n');
    const qsizetype header = lines.indexOf("| form | examples |");
    QVERIFY(header >= 0);
    const QRegularExpression example("`([^`]+)`");
    for (qsizetype k = header + 2; k < lines.size() && lines[k].startsWith('|'); ++k) {
        const QString cell = lines[k].section('|', 2, 2);
        QVERIFY2(cell.contains('`'), qPrintable(lines[k])); // every form has examples
        for (const auto& m : example.globalMatch(cell)) {
            const QString text = m.captured(1);
            const qint64 seconds = text.contains("1970") ? 0
                                   : text.contains(":07") || text.contains("1407") ? kHighest
                                   : text.contains("3:14") || text.contains("0314") ? Q_INT64_C(2147483640)
                                                                                    : Q_INT64_C(2147472000);
            QTest::newRow(qPrintable(text)) << text << seconds;
        }
    }
}

void tst_DateParser::refusals_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // a part the reason must hold
    // Two-digit and other short or long years.
    const QString four = "write the year with four digits";
    QTest::newRow("dots, two-digit year") << "19.01.38" << four;
    QTest::newRow("slashes, two-digit year") << "01/19/38" << "could be 1938 or 2038";
    QTest::newRow("RFC 850 year") << "Tuesday, 19-Jan-38 03:14:07 GMT" << four;
    QTest::newRow("two-digit year first") << "38-01-19" << four;
    QTest::newRow("month name, two-digit year") << "Jan 19, 38" << four;
    QTest::newRow("three-digit year") << "Jan 19, 038" << four;
    QTest::newRow("five-digit year") << "12038-01-19" << four;
    QTest::newRow("three-digit year, the years of Unix time") << "19.01.238" << "four digits, from 1901 to 2038";
    QTest::newRow("comma before the year") << "19 Jan, 2038" << "comma before the year";
    QTest::newRow("dot after a full month name") << "1. M\u00e4rz. 1970" << "dot after the full month name \u201CM\u00e4rz\u201D";
    QTest::newRow("year missing") << "Jan 19" << "year is missing";
    QTest::newRow("year missing, syslog") << "Jan 19 03:14:07" << "year is missing";
    // A weekday that contradicts the date names the right one.
    QTest::newRow("wrong weekday, mail") << "Mon, 19 Jan 2038 03:14:07 GMT" << "2038-01-19 is a Tuesday, not a Monday";
    QTest::newRow("wrong weekday, date") << "Sat Jan  1 00:00:00 UTC 1970" << "1970-01-01 is a Thursday, not a Saturday";
    QTest::newRow("wrong weekday, full") << "Wednesday, January 19, 2038" << "is a Tuesday";
    // Impossible dates and times are never rolled over.
    QTest::newRow("29 February 2038") << "2038-02-29" << "February 2038 has 28 days";
    QTest::newRow("29 February 1900, names") << "Feb 29, 1900" << "February 1900 has 28 days";
    QTest::newRow("31 April, dots") << "31.04.2038" << "April 2038 has 30 days";
    QTest::newRow("30 February, slashes") << "02/30/2038" << "no day 30";
    QTest::newRow("day 32, basic") << "20380132" << "no day 32";
    QTest::newRow("month 13, basic") << "20381301" << "no month 13";
    QTest::newRow("hour 24") << "2038-01-19 24:00" << "no hour 24";
    QTest::newRow("minute 60") << "Jan 19, 2038 3:60 PM" << "no minute 60";
    QTest::newRow("13 PM") << "Jan 1, 1970 13:00 PM" << "from 1 to 12; there is no hour 13 PM";
    QTest::newRow("0 AM") << "1970-01-01 0:30 am" << "there is no hour 0 AM";
    QTest::newRow("slashes, both orders real") << "05/04/2037" << "\u201C05/04/2037\u201D could be 4 May 2037 or 5 April 2037: write it with the year first, e.g. 2037-05-04 or 2037-04-05";
    QTest::newRow("slashes, one order outside") << "01/04/2038" << "1 April 2038 lies outside the range of Unix time: write it with the year first, e.g. 2038-01-04.";
    QTest::newRow("dashes, day first") << "19-01-2038" << "e.g. 2038-01-19 or 19.01.2038";
    QTest::newRow("dashes, month first") << "1-19-2038" << "e.g. 2038-01-19 or 01/19/2038";
    QTest::newRow("dashes, no date either way") << "13-13-2038" << "names no date in either order";
    QTest::newRow("dashes, either order") << "05-04-2037" << "could be 2037-05-04 (month first) or 2037-04-05 (day first)";
    QTest::newRow("dashes, two-digit year last") << "19-01-38" << "The year \u201C38\u201D has two digits";
    // Unix time has no leap second.
    QTest::newRow("leap second") << "2016-12-31T23:59:60Z" << "leap second";
    QTest::newRow("leap second, mail") << "Sat, 31 Dec 2016 23:59:60 GMT" << "leap second";
    QTest::newRow("leap second with fraction") << "2016-12-31 23:59:60.5" << "leap second";
    // Ambiguous zone names name their readings; others are not known.
    QTest::newRow("IST") << "Tue, 19 Jan 2038 08:44:07 IST" << "\u201CIST\u201D is ambiguous: it is +05:30 (India), +01:00 (Ireland) or +02:00 (Israel)";
    QTest::newRow("CST, as Java writes China's time") << "Tue Jan 19 11:14:07 CST 2038" << "\u201CCST\u201D is ambiguous: it is -06:00 (US Central), +08:00 (China) or -05:00 (Cuba)";
    QTest::newRow("CDT") << "Mon, 18 Jan 2038 22:14:07 CDT" << "-05:00 (US Central) or -04:00 (Cuba)";
    QTest::newRow("CDT after the year") << "Tue Jan 19 03:14:07 2038 CDT" << "\u201CCDT\u201D is ambiguous";
    QTest::newRow("name that disagrees with the offset") << "2038-01-19 04:14:07 +0100 EST" << "The offset \u201C+0100\u201D and the zone \u201CEST\u201D disagree: \u201CEST\u201D is -05:00";
    QTest::newRow("local mean time, offset cut") << "1901-12-14 02:07:02 +0521 MMT" << "write the offset with its seconds";
    QTest::newRow("critical zone in brackets") << "2038-01-19T04:14:07+01:00[!Europe/Berlin]" << "no zone database";
    QTest::newRow("calendar tag in brackets") << "2038-01-19T04:14:07+01:00[Europe/Berlin][u-ca=hebrew]" << "\u201C[u-ca=hebrew]\u201D";
    QTest::newRow("zone in brackets without an offset") << "2038-01-19T03:14:07[Europe/Berlin]" << "Write its offset from UTC before it";
    QTest::newRow("ordinal suffix that does not fit") << "January 19st, 2038" << "The day 19 is written 19th, not 19st";
    QTest::newRow("no week 53") << "2038-W53-1" << "has 52 weeks; there is no week 53";
    QTest::newRow("no day 366") << "2038-366" << "2038 has 365 days";
    QTest::newRow("Unix time and offset") << "2147483647 +0000" << "the Unix time goes into the upper box";
    QTest::newRow("military letter") << "2038-01-19 03:14:07 A" << "\u201CA\u201D is not known here";
    QTest::newRow("zone without a time") << "2038-01-19 UTC" << "needs a time before it";
    QTest::newRow("zone before and after the year") << "Tue Jan 19 03:14:07 UTC 2038 UTC" << "\u201CUTC\u201D stands in the wrong place";
    QTest::newRow("space inside a. m.") << "2038-01-19 03:14:07 a. m." << "a.m. without a space inside it";
    // Relative words other than the clock's are refused; the clock's stand alone.
    QTest::newRow("tomorrow with time") << "tomorrow 03:14" << "\u201Ctomorrow\u201D is read alone";
    QTest::newRow("days ago") << "3 days ago" << "\u201Cago\u201D is relative";
    QTest::newRow("next weekday") << "next Tuesday" << "relative";
    QTest::newRow("space after @") << "@ 1405507023" << "right after \u201C@\u201D, without a space";
    QTest::newRow("@ and more than a number") << "@1405507023 UTC" << "\u201C@\u201D takes a Unix time alone. Only the digits";
    // A time without a date.
    QTest::newRow("time alone") << "03:14:07" << "time without a date";
    QTest::newRow("12-hour time alone") << "3 PM" << "time without a date";
    QTest::newRow("time before the date") << "03:14:07 2038-01-19" << "time without a date";
    // Text not understood is quoted.
    QTest::newRow("trailing word") << "2038-01-19 03:14:07 extra" << "not understood: \u201Cextra\u201D";
    QTest::newRow("unknown zone-like capitals") << "2038-01-19 03:14:07 NZT" << "\u201CNZT\u201D. If it names a time zone, write its offset from UTC instead, such as +01:00. The zone names read are UT, UTC, GMT, Z, WET,";
    QTest::newRow("unknown zone, date command") << "Tue Jan 19 03:14:07 NZT 2038" << "\u201CNZT\u201D is not known here";
    QTest::newRow("unknown zone, German date command") << "Di 19. Jan 03:14:07 WEZ 2038" << "\u201CWEZ\u201D is not known here";
    QTest::newRow("zone and offset, date command") << "Tue Jan 19 03:14:07 CET+1 2038" << "\u201CCET+1\u201D is not known here";
    QTest::newRow("zone in a comment, date command") << "Tue Jan 19 03:14:07 (UTC) 2038" << "\u201C(UTC)\u201D is not read as a zone";
    QTest::newRow("trailing word after a date") << "19 Jan 2038 noon" << "\u201Cnoon\u201D";
    QTest::newRow("trailing colon") << "2038-01-19 03:14:07 +01:00:00:00" << "\u201C:00\u201D";
    QTest::newRow("comment without a zone") << "2038-01-19 03:14:07 (UTC)" << "\u201C(UTC)\u201D";
    QTest::newRow("unclosed comment") << "2038-01-19 03:14:07 +0000 (UTC" << "\u201C(UTC\u201D";
    QTest::newRow("unbalanced nested comment") << "Tue, 19 Jan 2038 03:14:07 +0000 (a(b)" << "\u201C(a(b)\u201D is not closed";
    QTest::newRow("unclosed bracket") << "[19/Jan/2038:03:14:07 +0000" << "\u201C]\u201D is missing";
    // Broken forms say what is read.
    QTest::newRow("time half written") << "2038-01-19 03:1" << "hh:mm:ss";
    QTest::newRow("T without time") << "2038-01-19T" << "hh:mm:ss";
    QTest::newRow("year first, slashes, day missing") << "2038/01" << "YYYY/MM/DD";
    QTest::newRow("year first with dots") << "2038.01.19" << "DD.MM.YYYY";
    QTest::newRow("basic time of five digits") << "20380119T03140" << "YYYYMMDDThhmmss";
    // ISO shapes one character off, or failing a check: the general reason.
    QTest::newRow("seconds one digit short") << "2038-01-19T03:14:0Z" << "hh:mm:ss";
    QTest::newRow("seconds one digit long") << "2038-01-19T03:14:077Z" << "hh:mm:ss";
    QTest::newRow("basic time of seven digits") << "20380119T0314071Z" << "YYYYMMDDThhmmss";
    QTest::newRow("offset minutes one digit") << "2038-01-19T03:14:07+01:0" << "+hh:mm";
    QTest::newRow("offset of three digits") << "2038-01-19T03:14:07+010" << "+hh:mm";
    QTest::newRow("fraction after minutes") << "2038-01-19T03:14.5Z" << "not understood: \u201C.5Z\u201D";
    QTest::newRow("fraction without digits") << "2038-01-19T03:14:07.Z" << "not understood: \u201C.Z\u201D";
    QTest::newRow("Z twice") << "2038-01-19T03:14:07ZZ" << "\u201CZZ\u201D. If it names a time zone";
    QTest::newRow("29 February, T and Z") << "2038-02-29T00:00:00Z" << "February 2038 has 28 days";
    QTest::newRow("hour 24, T and Z") << "2038-01-19T24:00:00Z" << "no hour 24";
    QTest::newRow("offset 24 hours, T") << "2038-01-19T03:14:07+24:00" << "offsets go from -23:59 to +23:59";
    // Shaped like the common forms' layouts, one part off: the general reason.
    QTest::newRow("mail, year cut short") << "Tue, 19 Jan 203" << "\u201C203\u201D does not have four digits";
    QTest::newRow("mail, weekday for the month") << "Tue, 19 Tue 2038" << "YYYY-MM-DD hh:mm:ss";
    QTest::newRow("dots, five-digit year") << "19.01.20381" << "\u201C20381\u201D does not have four digits";
    QTest::newRow("date, year cut short") << "Tue Jan 19 03:14:07 UTC 203" << "\u201C203\u201D does not have four digits";
    QTest::newRow("date, hour 24") << "Tue Jan 19 24:00:00 UTC 2038" << "no hour 24";
    QTest::newRow("asctime, wrong weekday") << "Wed Jan 19 03:14:07 2038" << "2038-01-19 is a Tuesday, not a Wednesday";
    QTest::newRow("day first names, offset 24 hours") << "19 Jan 2038 03:14:07 +2400" << "offsets go from";
    QTest::newRow("javascript, comment unclosed") << "Tue Jan 19 2038 03:14:07 GMT+0000 (Coordinated" << "\u201C(Coordinated\u201D";
    QTest::newRow("offset of one digit") << "2038-01-19 03:14:07 +1" << "+hh:mm";
    QTest::newRow("offset 24 hours") << "2038-01-19 03:14:07 +2400" << "offsets go from -23:59 to +23:59";
    QTest::newRow("offset minute 60") << "2038-01-19 03:14:07 +01:60" << "offsets go from";
    QTest::newRow("a number") << "1700000000" << "A number alone is not a date";
    QTest::newRow("eight digits, no date") << "86400000" << "A number alone is not a date; a Unix time goes into the upper box";
    // German forms: Uhr after a time, um before one, the checks as ever.
    QTest::newRow("Uhr without a time") << "19.01.2038 Uhr" << "\u201CUhr\u201D needs a time before it";
    QTest::newRow("Uhr after AM") << "19. Jan 2038 03:14:07 AM Uhr" << "\u201CUhr\u201D and AM or PM do not go together";
    QTest::newRow("um without a time") << "19. Januar 2038 um" << "hh:mm";
    QTest::newRow("German weekday that does not fit") << "Mo 19. Jan 04:14:07 CET 2038" << "is a Tuesday, not a Monday";
    QTest::newRow("a word") << "Tuesday" << "YYYY-MM-DD hh:mm:ss";
    QTest::newRow("not ASCII") << "\u00BD 2038" << "YYYY-MM-DD hh:mm:ss";
    QTest::newRow("signed year") << "+2038-01-19" << "YYYY-MM-DD hh:mm:ss";
    QTest::newRow("minus sign for a dash") << "2038\u221201\u221219" << "U+2212 MINUS SIGN after \u201C2038\u201D is no dash";
    // (QString's reading of UTF-8 drops a byte order mark at the start.)
    QTest::newRow("byte order mark before") << QChar(0xFEFF) + QString("2038-01-19 03:14:07") << "U+FEFF ZERO WIDTH NO-BREAK SPACE (byte order mark) before \u201C2038-01-19\u201D";
    QTest::newRow("zero width space after") << "2038-01-19 03:14:07\u200B" << "U+200B ZERO WIDTH SPACE after \u201C03:14:07\u201D";
    QTest::newRow("decomposed umlaut, relative") << "u\u0308bermorgen" << "\u201Cu\u0308bermorgen\u201D is relative";
    QTest::newRow("empty") << "" << "empty";
    QTest::newRow("white space") << " \t\u00A0 " << "only white space";
}

void tst_DateParser::refusals() { check_refused(ErrorKind::ConversionFailure); }

// Texts every reading of which lies outside the range of Unix time: an
// overflow that quotes the text and says why, not a hint to rewrite it.
void tst_DateParser::overflows_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // a part the reason must hold
    QTest::newRow("slashes, both orders real and outside") << "05/04/2038" << "\u201C05/04/2038\u201D could be 4 May 2038 or 5 April 2038, and both lie outside";
    QTest::newRow("dashes, both orders real and outside") << "05-04-2038" << "could be 2038-05-04 (month first) or 2038-04-05 (day first), and both lie outside";
    QTest::newRow("dashes, one order real and outside") << "1-20-2038" << "names 2038-01-20, outside";
}

void tst_DateParser::overflows() { check_refused(ErrorKind::Overflow); }

// A fraction of a second rounds to the nearest second, an exact half to
// the later one, decided on the digits: by the time the date serial is
// made the instant is already whole, so the serial's base-2 error (under
// 1e-5 s in this range) cannot decide it.  Expected values by hand: the
// instant is the whole second written plus the fraction, so 23:59:59.5 on
// 1969-12-31 is -0.5 s, whose later neighbour is 0.
void tst_DateParser::fractionalSeconds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("inRange");
    QTest::addColumn<int>("unix");
    QTest::newRow("-0.5 goes to 0") << "1969-12-31 23:59:59.5" << true << 0;
    QTest::newRow("-0.5, comma") << "1969-12-31 23:59:59,5" << true << 0;
    QTest::newRow("-1.5 goes to -1") << "1969-12-31 23:59:58.5" << true << -1;
    QTest::newRow("just below -0.5") << "1969-12-31 23:59:59.4999999999999999999999" << true << -1;
    QTest::newRow("0.5 goes to 1") << "1970-01-01 00:00:00.5" << true << 1;
    QTest::newRow("just below 0.5") << "1970-01-01 00:00:00.4999999999999999999999" << true << 0;
    QTest::newRow("just above 0.5") << "1970-01-01 00:00:00.5000000000000000000001" << true << 1;
    QTest::newRow("0.5 at +01:00") << "1970-01-01T01:00:00.5+01:00" << true << 1;
    QTest::newRow("0.999") << "1970-01-01 00:00:00.999" << true << 1;
    QTest::newRow("-0.5, 12-hour") << "Dec 31, 1969 11:59:59.5 PM" << true << 0;
    QTest::newRow("0.5, date form") << "Thu Jan  1 00:00:00.5 UTC 1970" << true << 1;
    QTest::newRow("highest - 0.5") << "2038-01-19 03:14:06.5" << true << 2147483647;
    QTest::newRow("highest + 0.4999") << "2038-01-19 03:14:07.4999999999" << true << 2147483647;
    QTest::newRow("highest + 0.5 overflows") << "2038-01-19 03:14:07.5" << false << 0;
    QTest::newRow("lowest - 0.5") << "1901-12-13 20:45:51.5" << true << -2147483647 - 1;
    QTest::newRow("lowest - 0.5000001 overflows") << "1901-12-13 20:45:51.4999999" << false << 0;
    QTest::newRow("lowest + 0.5") << "1901-12-13 20:45:52.5" << true << -2147483647;
    QTest::newRow("-0.5, Z after the fraction") << "1969-12-31 23:59:59.5Z" << true << 0;
    QTest::newRow("basic form") << "19700101T000000,5Z" << true << 1;
}

void tst_DateParser::fractionalSeconds() {
    QFETCH(QString, text);
    QFETCH(bool, inRange);
    QFETCH(int, unix);
    const std::string t = utf8(text);
    try {
        const double x = kvix::unix_seconds_of_serial(kvix::date::read_serial(t, kClock));
        const std::int32_t got = kvix::round_to_int32(x);
        QVERIFY(inRange);
        QCOMPARE(got, unix);
        // The formula's value is a whole second but for the serial's
        // base-2 error, so no half-way case is left to the rounding.
        QVERIFY2(std::fabs(x - unix) < 1e-3, qPrintable(QString::number(x, 'g', 17)));
    } catch (const RuntimeError& e) {
        QVERIFY2(!inRange, qPrintable(QString::fromStdString(e.reason())));
        QCOMPARE(e.kind(), ErrorKind::Overflow);
    }
}

// Huge pastes: read or refused in one pass, and a refusal keeps only a
// shortened copy of the text.
void tst_DateParser::hostileInput_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint64>("seconds");
    constexpr int kMega = 1 << 20;
    const QByteArray date = "2038-01-19 03:14:07";
    QTest::newRow("a megabyte of space, then a date") << QByteArray(kMega, ' ') + date << true << kHighest;
    QTest::newRow("a date, then a megabyte of space") << date + QByteArray(kMega, '\t') << true << kHighest;
    QTest::newRow("a million fraction digits") << date + "." + QByteArray(kMega, '4') << true << kHighest;
    QTest::newRow("a megabyte comment") << date + " +0000 (" + QByteArray(kMega, 'x') + ")" << true << kHighest;
    QTest::newRow("a million digits") << QByteArray(kMega, '7') << false << qint64{0};
    QTest::newRow("a million letters") << QByteArray(kMega, 'q') << false << qint64{0};
    QTest::newRow("a million dashes") << QByteArray(kMega, '-') << false << qint64{0};
    QTest::newRow("many tokens") << QByteArray("1-").repeated(kMega / 2) << false << qint64{0};
    QTest::newRow("many tokens after a date") << date + QByteArray(" 1").repeated(kMega / 2) << false << qint64{0};
    QTest::newRow("open parentheses") << date + " +0000 " + QByteArray(kMega, '(') << false << qint64{0};
    // A broken UTF-8 sequence takes no ASCII byte with it: the "0" after
    // the first two bytes of a no-break-space-like sequence stays a digit.
    QTest::newRow("broken UTF-8 before digits") << QByteArray("\xE2\x80" "020380119") << false << qint64{0};
    QTest::newRow("many non-ASCII characters") << QByteArray("\xC3\xA4").repeated(kMega / 2) << false << qint64{0};
}

void tst_DateParser::hostileInput() {
    QFETCH(QByteArray, text);
    QFETCH(bool, accepted);
    QFETCH(qint64, seconds);
    try {
        const std::int64_t got = kvix::date::read_seconds(text.toStdString(), kClock);
        QVERIFY(accepted);
        QCOMPARE(qint64{got}, seconds);
    } catch (const RuntimeError& e) {
        QVERIFY2(!accepted, qPrintable(QString::fromStdString(e.reason())));
        QVERIFY2(e.reason().size() < 400, qPrintable(QString::number(e.reason().size())));
        QVERIFY(e.refused().size() < 120);
        check_examples(e.reason());
    }
}

namespace {

// The formatters of the round trip: each writes an instant in one family's
// form, from Qt's calendar (independent of the parser), with a random zone
// offset, weekday, fraction or spelling where the form has one.

constexpr const char* kMonthFull[12] = {"January", "February", "March", "April", "May", "June",
                                        "July", "August", "September", "October", "November",
                                        "December"};
constexpr const char* kWeekdayFull[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};

std::string abbreviation(const char* name) { return std::string(name, 3); }

struct Local {
    int year, month, day, hour, minute, second, weekday; // weekday 0..6 from Sunday
};

// The wall-clock fields of instant t at offset_minutes east of UTC.
Local local_of(qint64 t, int offset_minutes) {
    const QDateTime dt = QDateTime::fromSecsSinceEpoch(t + offset_minutes * 60LL, Qt::UTC);
    const QDate d = dt.date();
    const QTime tm = dt.time();
    return {d.year(), d.month(), d.day(), tm.hour(), tm.minute(), tm.second(), d.dayOfWeek() % 7};
}

std::string format(const char* fmt, auto... args) {
    char buf[200];
    const int n = std::snprintf(buf, sizeof buf, fmt, args...);
    return std::string(buf, static_cast<std::size_t>(n));
}

// "+hh:mm" (colon) or "+hhmm".
std::string offset_text(int minutes, bool colon) {
    const char sign = minutes < 0 ? '-' : '+';
    const int m = std::abs(minutes);
    return format(colon ? "%c%02d:%02d" : "%c%02d%02d", sign, m / 60, m % 60);
}

int hour12(int h) { return h % 12 == 0 ? 12 : h % 12; }

struct Case {
    std::string text;
    qint64 expected;
    bool refused = false; // names two dates, so it must be refused
};

using Rng = std::mt19937_64;

int random_offset(Rng& rng) {
    return std::uniform_int_distribution<int>(-(23 * 60 + 59), 23 * 60 + 59)(rng);
}

// A fraction of a second that rounds as the instant requires: the text
// names t - 1 with a fraction of at least a half, or t with less.
struct Fraction {
    qint64 written;
    std::string digits; // with the separator, or empty
};
Fraction random_fraction(Rng& rng, qint64 t) {
    switch (std::uniform_int_distribution<int>(0, 2)(rng)) {
    case 0: return {t, ""};
    case 1: { // below a half: first digit 0..4
        const auto first = std::uniform_int_distribution<int>(0, 4)(rng);
        return {t, format(".%d%06d", first, std::uniform_int_distribution<int>(0, 999999)(rng))};
    }
    default: { // a half or more: first digit 5..9
        const auto first = std::uniform_int_distribution<int>(5, 9)(rng);
        return {t - 1, format(",%d%03d", first, std::uniform_int_distribution<int>(0, 999)(rng))};
    }
    }
}

Case iso_extended(Rng& rng, qint64 t) {
    const Fraction f = random_fraction(rng, t);
    const int off = random_offset(rng);
    const Local l = local_of(f.written, off);
    return {format("%04d-%02d-%02dT%02d:%02d:%02d%s%s", l.year, l.month, l.day, l.hour, l.minute,
                   l.second, f.digits.c_str(), offset_text(off, true).c_str()),
            t};
}

Case iso_basic(Rng& rng, qint64 t) {
    const bool utc = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
    const int off = utc ? 0 : random_offset(rng);
    const Local l = local_of(t, off);
    return {format("%04d%02d%02dT%02d%02d%02d%s", l.year, l.month, l.day, l.hour, l.minute,
                   l.second, utc ? "Z" : offset_text(off, false).c_str()),
            t};
}

Case mail(Rng& rng, qint64 t) {
    static const char* const kUs[6] = {"EST", "EDT", "MST", "MDT", "PST", "PDT"};
    static const int kUsHours[6] = {-5, -4, -7, -6, -8, -7};
    const int pick = std::uniform_int_distribution<int>(0, 7)(rng);
    const int off = pick < 6 ? kUsHours[pick] * 60 : pick == 6 ? 0 : random_offset(rng);
    const std::string zone = pick < 6 ? kUs[pick] : pick == 6 ? "GMT" : offset_text(off, false);
    const Local l = local_of(t, off);
    const bool weekday = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
    return {format("%s%02d %s %04d %02d:%02d:%02d %s",
                   weekday ? (abbreviation(kWeekdayFull[l.weekday]) + ", ").c_str() : "", l.day,
                   abbreviation(kMonthFull[l.month - 1]).c_str(), l.year, l.hour, l.minute,
                   l.second, zone.c_str()),
            t};
}

Case date_command(Rng&, qint64 t) {
    const Local l = local_of(t, 0);
    return {format("%s %s %2d %02d:%02d:%02d UTC %04d", abbreviation(kWeekdayFull[l.weekday]).c_str(),
                   abbreviation(kMonthFull[l.month - 1]).c_str(), l.day, l.hour, l.minute, l.second,
                   l.year),
            t};
}

Case asctime_form(Rng&, qint64 t) {
    const Local l = local_of(t, 0);
    return {format("%s %s %2d %02d:%02d:%02d %04d", abbreviation(kWeekdayFull[l.weekday]).c_str(),
                   abbreviation(kMonthFull[l.month - 1]).c_str(), l.day, l.hour, l.minute, l.second,
                   l.year),
            t};
}

Case javascript(Rng& rng, qint64 t) {
    const int off = random_offset(rng);
    const Local l = local_of(t, off);
    return {format("%s %s %02d %04d %02d:%02d:%02d GMT%s (Some Standard Time)",
                   abbreviation(kWeekdayFull[l.weekday]).c_str(),
                   abbreviation(kMonthFull[l.month - 1]).c_str(), l.day, l.year, l.hour, l.minute,
                   l.second, offset_text(off, false).c_str()),
            t};
}

Case month_name_first(Rng&, qint64 t) {
    const Local l = local_of(t, 0);
    return {format("%s %d, %04d %d:%02d:%02d %s", kMonthFull[l.month - 1], l.day, l.year,
                   hour12(l.hour), l.minute, l.second, l.hour < 12 ? "AM" : "PM"),
            t};
}

Case day_month_name(Rng& rng, qint64 t) {
    const Local l = local_of(t, 0);
    const bool full = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
    return {format("%d %s %04d %02d:%02d:%02d", l.day,
                   full ? kMonthFull[l.month - 1] : abbreviation(kMonthFull[l.month - 1]).c_str(),
                   l.year, l.hour, l.minute, l.second),
            t};
}

Case day_first_dots(Rng&, qint64 t) {
    const Local l = local_of(t, 0);
    return {format("%d.%d.%04d %02d:%02d:%02d", l.day, l.month, l.year, l.hour, l.minute, l.second),
            t};
}

Case year_first_slashes(Rng&, qint64 t) {
    const Local l = local_of(t, 0);
    return {format("%04d/%02d/%02d %02d:%02d:%02d", l.year, l.month, l.day, l.hour, l.minute,
                   l.second),
            t};
}

// Month or day first at random; refused when both orders name a date and
// they differ.
Case slashes_year_last(Rng& rng, qint64 t) {
    const Local l = local_of(t, 0);
    const bool day_first = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
    return {format("%d/%d/%04d, %d:%02d:%02d %s", day_first ? l.day : l.month,
                   day_first ? l.month : l.day, l.year, hour12(l.hour), l.minute, l.second,
                   l.hour < 12 ? "a.m." : "p.m."),
            t, l.day <= 12 && l.day != l.month};
}

Case web_server_log(Rng& rng, qint64 t) {
    const int off = random_offset(rng);
    const Local l = local_of(t, off);
    return {format("[%02d/%s/%04d:%02d:%02d:%02d %s]", l.day,
                   abbreviation(kMonthFull[l.month - 1]).c_str(), l.year, l.hour, l.minute,
                   l.second, offset_text(off, false).c_str()),
            t};
}

using Formatter = Case (*)(Rng&, qint64);

} // namespace

Q_DECLARE_METATYPE(Formatter)

void tst_DateParser::roundTripEveryFamily_data() {
    QTest::addColumn<Formatter>("formatter");
    QTest::newRow("ISO 8601 extended") << Formatter{iso_extended};
    QTest::newRow("ISO 8601 basic") << Formatter{iso_basic};
    QTest::newRow("RFC 5322") << Formatter{mail};
    QTest::newRow("date command") << Formatter{date_command};
    QTest::newRow("asctime") << Formatter{asctime_form};
    QTest::newRow("JavaScript") << Formatter{javascript};
    QTest::newRow("month name first, 12-hour") << Formatter{month_name_first};
    QTest::newRow("day month name year") << Formatter{day_month_name};
    QTest::newRow("day first with dots") << Formatter{day_first_dots};
    QTest::newRow("year first with slashes") << Formatter{year_first_slashes};
    QTest::newRow("slashes, year last, a.m./p.m.") << Formatter{slashes_year_last};
    QTest::newRow("web server log") << Formatter{web_server_log};
}

// Seeded random instants over the whole 32-bit range and its ends: each
// text the family's formatter writes reads back as the same instant.
void tst_DateParser::roundTripEveryFamily() {
    QFETCH(Formatter, formatter);
    Rng rng(20380119);
    std::uniform_int_distribution<qint64> instant(kLowest, kHighest);
    constexpr int kCount = 3000;
    for (int k = 0; k < kCount; ++k) {
        const qint64 t = k == 0 ? kLowest : k == 1 ? kHighest : k == 2 ? 0 : instant(rng);
        const Case c = formatter(rng, t);
        std::int64_t got = 0;
        try {
            got = kvix::date::read_seconds(c.text, kClock);
            QVERIFY2(!c.refused, c.text.c_str());
        } catch (const RuntimeError& e) {
            if (c.refused)
                continue;
            QFAIL(qPrintable(QString::fromStdString(c.text + ": " + e.reason())));
        }
        if (got != c.expected)
            QFAIL(qPrintable(QString::fromStdString(c.text) + ": " + QString::number(got) +
                             ", expected " + QString::number(c.expected)));
    }
}

QTEST_APPLESS_MAIN(tst_DateParser)
#include "tst_date_parser.moc"
