// The fields a date text names, and the checks that turn them into an
// instant: impossible dates and times are refused with the reason, never
// rolled over into the next month or day.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvix::date {

struct Fields {
    std::int32_t year = 0;                          // [0, 9999], as written
    std::uint32_t month = 0, day = 0;               // [0, 99], as written
    // An ISO ordinal date (2038-019) or week date (2038-W03-2) instead of
    // month and day: the day of the year [0, 999], or the week [0, 99] and
    // its day [0, 9] from Monday.
    enum class Kind : std::uint8_t { Calendar, Ordinal, Week } kind = Kind::Calendar;
    std::uint32_t year_day = 0, week = 0, week_day = 0;
    int suffix = 0;                                 // the day's English ordinal suffix: 0 none, 1 st, 2 nd, 3 rd, 4 th
    std::uint32_t hour = 0, minute = 0, second = 0; // [0, 99], as written
    int half = 0;                                   // 12-hour clock: 0 none, 1 AM, 2 PM
    bool round_up = false;                          // the fraction of the second is >= 1/2
    int weekday = -1;                               // the weekday named, 0..6 from Sunday, or -1
    // The zone's offset east of UTC as written: sign, hours, minutes and
    // seconds [0, 99], and where the text writes it in digits (empty for a
    // name).
    bool offset_west = false;
    std::uint32_t offset_hours = 0, offset_minutes = 0, offset_seconds = 0;
    std::size_t offset_begin = 0, offset_end = 0;
    bool either_order = false;                      // month and day may stand either way round
    std::size_t date_begin = 0, date_end = 0;       // where the text writes them, for messages
    bool number_alone = false;                      // the text is eight or fourteen digits alone
};

// v, [0, 99], as two digits: "07".
std::string two_digits(std::uint32_t v);

// A date's fields written as 2038-01-19, 19.01.2038 and 01/19/2038.
std::string iso_date(const Fields& f);
std::string dot_date(const Fields& f);
std::string slash_date(const Fields& f);

// Whether year, month and day name a day of the calendar.
bool is_real_date(std::int32_t year, std::uint32_t month, std::uint32_t day);

// Whether the midnight of a real date lies in the range of Unix time, so
// that the date written alone reads: 1901-12-14 to 2038-01-19.
bool midnight_in_range(const Fields& f);

// Whether any second of a real date lies in the range of Unix time:
// 1901-12-13 to 2038-01-19.
bool day_in_range(const Fields& f);

// “text”, shortened for a message.
std::string quoted(std::string_view text);

// Throws the conversion failure of a date text, with the reason.
[[noreturn]] void not_a_date(std::string_view text, std::string reason);

// Throws the overflow of a date text every reading of which lies outside
// the range of Unix time, with the reason.
[[noreturn]] void out_of_range(std::string_view text, std::string reason);

// Checks the fields once, in this order: the 12-hour clock, the offset,
// an ordinal or week date (made a month and day), the order of month and
// day, the month, the day and its ordinal suffix, the time of day, the
// weekday.  Month and day that may stand either way round are read in the
// order that names a real date; when both orders do, and name different
// dates, the text is refused with both readings (an overflow when both lie
// outside the range of Unix time).  Gives the instant they
// name in seconds since 1970-01-01 00:00:00 UTC: the date and time as
// written, plus one second when the fraction rounds up, minus the zone's
// offset.
std::int64_t instant_of(Fields f, std::string_view text);

} // namespace kvix::date
