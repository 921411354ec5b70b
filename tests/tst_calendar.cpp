// Every day of the date range, 0100-01-01 to 9999-12-31, against a slow
// reference that walks the calendar one day at a time: the day counts both
// ways, and the date text read and written.
#include <QtTest>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "calc.hpp"
#include "calendar.hpp"
#include "convert.hpp"
#include "date_text.hpp"

namespace {

// The reference: a date that steps forward by one day, using only the
// textbook rules (30 days hath September ...; leap years by 4, 100, 400).
struct SlowDate {
    int year, month, day;

    static bool leap(int y) { return y % 400 == 0 || (y % 4 == 0 && y % 100 != 0); }
    int month_length() const {
        static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return month == 2 && leap(year) ? 29 : lengths[month - 1];
    }
    void next() {
        if (++day > month_length()) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    bool operator==(const kvix::CivilDate& d) const {
        return d.year == year && static_cast<int>(d.month) == month && static_cast<int>(d.day) == day;
    }
};

// 0100-01-01 is 683003 days before 1970-01-01: the 1870 years 100..1969 of
// 365 days, plus a leap day in each of the 468 years 100, 104, .. 1968, less
// the 15 century years 100..1900 that 400 does not divide.
constexpr std::int32_t kDayOfYear100 = -(1870 * 365 + 468 - 15);
// The years 100..9999: 9900 years of 365 days, plus 2475 multiples of 4,
// less the 75 century years that 400 does not divide.
constexpr long kDaysInDateRange = 9900L * 365 + 2475 - 75;

} // namespace

class tst_Calendar : public QObject {
    Q_OBJECT

private slots:
    void everyDayOfTheDateRange();
    void everyDayOfTheUnixRange();
};

void tst_Calendar::everyDayOfTheDateRange() {
    SlowDate ref{100, 1, 1};
    std::int32_t n = kDayOfYear100;
    long checked = 0;
    for (; ref.year <= 9999; ref.next(), ++n, ++checked) {
        const kvix::CivilDate date = kvix::civil_from_days(n);
        if (!(ref == date))
            QFAIL(qPrintable(QString("day %1: expected %2-%3-%4, got %5-%6-%7")
                                 .arg(n).arg(ref.year).arg(ref.month).arg(ref.day)
                                 .arg(date.year).arg(date.month).arg(date.day)));
        const kvix::CivilDate from_ref{ref.year, static_cast<std::uint32_t>(ref.month),
                                       static_cast<std::uint32_t>(ref.day)};
        if (kvix::days_from_civil(from_ref) != n)
            QFAIL(qPrintable(QString("%1-%2-%3: expected day %4, got %5")
                                 .arg(ref.year).arg(ref.month).arg(ref.day).arg(n)
                                 .arg(kvix::days_from_civil(from_ref))));
        // The text of the day at 12:34:56 (45296 s), written here,
        // read by the program: whole days and the time of day.
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d 12:34:56", ref.year, ref.month, ref.day);
        const double serial = kvix::date::read_serial(text, kvix::date::stopped_clock<0>);
        if (serial != static_cast<double>(n + 25569) + 45296 / 86400.0)
            QFAIL(qPrintable(QString("%1 read as serial %2").arg(text).arg(serial, 0, 'f', 9)));
        // And the text the program writes for that serial.
        char written[kvix::kDateTextLength];
        kvix::format_date_to(serial, written);
        if (std::memcmp(written, text, sizeof written) != 0)
            QFAIL(qPrintable(QString("%1 written as %2").arg(text).arg(QString::fromLatin1(written, sizeof written))));
        if (static_cast<int>(kvix::days_in_month(ref.year, static_cast<std::uint32_t>(ref.month))) !=
            ref.month_length())
            QFAIL("days_in_month disagrees");
    }
    QCOMPARE(checked, kDaysInDateRange);
    QCOMPARE(n - 1, kvix::days_from_civil({9999, 12, 31}));
}

// Every day of the 32-bit Unix range: the text the program writes for the
// first, a middle and the last second of the day, and the text read back.
void tst_Calendar::everyDayOfTheUnixRange() {
    constexpr std::int64_t lo = -2147483648LL, hi = 2147483647LL;
    SlowDate ref{1901, 12, 13};
    const std::int64_t first_day = -24856; // 1901-12-13
    for (std::int64_t day = first_day; day * 86400 <= hi; ++day, ref.next()) {
        for (const std::int64_t second_of_day : {0LL, 45296LL, 86399LL}) {
            const std::int64_t u = day * 86400 + second_of_day;
            if (u < lo || u > hi)
                continue;
            char expected[96];
            std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", ref.year,
                          ref.month, ref.day, static_cast<int>(second_of_day / 3600),
                          static_cast<int>(second_of_day / 60 % 60),
                          static_cast<int>(second_of_day % 60));
            const std::string text =
                kvix::format_date(kvix::serial_of_unix_time(static_cast<std::int32_t>(u)));
            if (text != expected)
                QFAIL(qPrintable(QString("%1: expected %2, got %3").arg(u).arg(expected)
                                     .arg(QString::fromStdString(text))));
            const std::int32_t back = kvix::round_to_int32(
                kvix::unix_seconds_of_serial(kvix::date::read_serial(expected, kvix::date::stopped_clock<0>)));
            if (back != u)
                QFAIL(qPrintable(QString("%1: read back as %2").arg(expected).arg(back)));
        }
    }
    QCOMPARE(ref.year, 2038);
    QCOMPARE(ref.month, 1);
    QCOMPARE(ref.day, 20);
}

QTEST_APPLESS_MAIN(tst_Calendar)
#include "tst_calendar.moc"
