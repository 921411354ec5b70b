// The fields a date text names, and the checks that turn them into an
// instant: impossible dates and times are refused with the reason, never
// rolled over into the next month or day.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calendar.hpp"

namespace kvix::date_text {

struct Fields {
    std::int32_t year = 0;              // 0..9999, as written
    std::uint32_t month = 0, day = 0;   // as written; checked by instant_of
    std::uint32_t hour = 0, minute = 0, second = 0; // 24-hour clock
    bool round_up = false;              // the fraction of the second is >= 1/2
    int weekday = -1;                   // the weekday named, 0..6 from Sunday, or -1
    std::int32_t offset_minutes = 0;    // the zone's offset east of UTC
};

// The weekday of a day count from -7000004 on, 0..6 from Sunday:
// 1970-01-01 (day 0) was a Thursday (4).  Adding 7000000 + 4, a multiple
// of 7 plus 4, makes every such count non-negative, so one unsigned
// remainder gives the weekday; the 32-bit sum wraps back to the right value
// for negative counts.  Years 0..9999 are days -719528..2932896.
constexpr int weekday_of(std::int32_t days) {
    return static_cast<int>((static_cast<std::uint32_t>(days) + (7'000'000u + 4)) % 7);
}
static_assert(weekday_of(0) == 4 && weekday_of(-1) == 3 && weekday_of(-4) == 0);
static_assert(weekday_of(24855) == 2);   // 2038-01-19, a Tuesday
static_assert(weekday_of(-719528) == 6); // 0000-01-01, a Saturday

// Throws the conversion failure of a date text, with the reason.
[[noreturn]] void not_a_date(std::string_view text, std::string reason);

// Checks the fields and gives the instant they name in seconds since
// 1970-01-01 00:00:00 UTC: the date and time as written, plus one second
// when the fraction rounds up, minus the zone's offset.
std::int64_t instant_of(const Fields& f, std::string_view text);

// The instant of fields that have passed instant_of's checks, on the day
// `days` since 1970-01-01 that their date names.
constexpr std::int64_t seconds_of(std::int32_t days, const Fields& f) {
    return days * std::int64_t{86400} + f.hour * 3600 + f.minute * 60 + f.second +
           (f.round_up ? 1 : 0) - std::int64_t{f.offset_minutes} * 60;
}

// instant_of for the fast paths: gives false where instant_of refuses,
// else the same instant.
inline bool instant_if_valid(const Fields& f, std::int64_t& seconds) {
    if (f.month - 1 > 11 || f.hour > 23 || f.minute > 59 || f.second > 59 ||
        (f.day - 1 >= kCommonMonthDays.days[f.month] && !(f.month == 2 && f.day == 29 && is_leap_year(f.year))))
        return false;
    const std::int32_t days = days_from_civil({f.year, f.month, f.day});
    if (f.weekday >= 0 && f.weekday != weekday_of(days))
        return false;
    seconds = seconds_of(days, f);
    return true;
}

} // namespace kvix::date_text
