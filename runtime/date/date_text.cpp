#include "date_text.hpp"

#include <chrono>

#include "calendar.hpp"
#include "convert.hpp"
#include "error.hpp"
#include "fields.hpp"

namespace kvix::date {
namespace {

// The text the program writes, "YYYY-MM-DD hh:mm:ss" and nothing around
// it, read by a plain check of each character before the grammar is asked.
// Gives false for every other text, and for one whose date or time is not
// real or lies before the date range: the grammar then reads it or refuses
// it with its reason.
bool read_written_form(std::string_view text, DayAndTime& day_and_time) {
    if (text.size() != kDateTextLength || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return false;
    bool all_digits = true;
    const auto digits_at = [&](std::size_t at) {
        const auto tens = static_cast<std::uint32_t>(static_cast<unsigned char>(text[at]) - '0');
        const auto ones = static_cast<std::uint32_t>(static_cast<unsigned char>(text[at + 1]) - '0');
        all_digits &= tens <= 9 && ones <= 9; // other characters wrap around to large numbers
        return tens * 10 + ones;
    };
    const CivilDate date{static_cast<std::int32_t>(digits_at(0) * 100 + digits_at(2)), digits_at(5),
                         digits_at(8)};
    const std::uint32_t hour = digits_at(11), minute = digits_at(14), sec = digits_at(17);
    if (!all_digits || date.year < 100 || !is_real_date(date.year, date.month, date.day) || hour > 23 ||
        minute > 59 || sec > 59)
        return false;
    day_and_time = {days_from_civil(date), static_cast<std::int32_t>(hour * 3600 + minute * 60 + sec)};
    return true;
}

} // namespace

std::int64_t system_clock_seconds() {
    using namespace std::chrono;
    return floor<seconds>(system_clock::now()).time_since_epoch().count();
}

double read_serial(std::string_view text, Clock clock) {
    DayAndTime at;
    if (!read_written_form(text, at)) {
        const std::int64_t second = read_seconds(text, clock);
        if (second < kFirstDateSecond || second > kLastDateSecond) // the report states the range
            throw RuntimeError(ErrorKind::Overflow, Expected::Date, text);
        at = split_days(second);
    }
    // Whole days and the time of day, each exact, added once at the end.
    return static_cast<double>(at.days + kUnixEpochSerialDays) + static_cast<double>(at.second_of_day) / kSecondsPerDay;
}

} // namespace kvix::date
