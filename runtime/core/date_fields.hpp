// The fields a date text names, and the checks that turn them into an
// instant: impossible dates and times are refused with the reason, never
// rolled over into the next month or day.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kvix::date_text {

struct Fields {
    std::int32_t year = 0;              // 0..9999, as written
    std::uint32_t month = 0, day = 0;   // as written; checked by instant_of
    std::uint32_t hour = 0, minute = 0, second = 0; // 24-hour clock
    bool round_up = false;              // the fraction of the second is >= 1/2
    int weekday = -1;                   // the weekday named, 0..6 from Sunday, or -1
    std::int32_t offset_minutes = 0;    // the zone's offset east of UTC
};

// Throws the conversion failure of a date text, with the reason.
[[noreturn]] void not_a_date(std::string_view text, std::string reason);

// Checks the fields and gives the instant they name in seconds since
// 1970-01-01 00:00:00 UTC: the date and time as written, plus one second
// when the fraction rounds up, minus the zone's offset.
std::int64_t instant_of(const Fields& f, std::string_view text);

} // namespace kvix::date_text
