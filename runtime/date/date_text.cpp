#include "date_text.hpp"

#include <chrono>

#include "calendar.hpp"
#include "convert.hpp"
#include "error.hpp"
#include "text_space.hpp"

namespace kvix::date {
namespace {

// The text the program writes, "YYYY-MM-DD hh:mm:ss" and nothing around
// it, read by a plain check of each character before the grammar is asked.
// Gives false for every other text and for one whose date or time is not
// real: the grammar then reads it or refuses it with its reason.
bool read_written_form(std::string_view text, std::int64_t& second) {
    constexpr std::string_view kForm = "0000-00-00 00:00:00"; // '0' stands for a digit
    if (text.size() != kForm.size())
        return false;
    for (std::size_t k = 0; k < kForm.size(); ++k)
        if (kForm[k] == '0' ? byte_class(text[k]) != kByteDigit : text[k] != kForm[k])
            return false;
    const auto number = [&](std::size_t at, std::size_t digits) {
        std::uint32_t v = 0;
        for (std::size_t k = at; k < at + digits; ++k)
            v = v * 10 + static_cast<std::uint32_t>(text[k] - '0');
        return v;
    };
    const CivilDate date{static_cast<std::int32_t>(number(0, 4)), number(5, 2), number(8, 2)};
    const std::uint32_t hour = number(11, 2), minute = number(14, 2), sec = number(17, 2);
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > days_in_month(date.year, date.month) ||
        hour > 23 || minute > 59 || sec > 59)
        return false;
    second = days_from_civil(date) * std::int64_t{86400} + hour * 3600 + minute * 60 + sec;
    return true;
}

} // namespace

std::int64_t system_clock_seconds() {
    using namespace std::chrono;
    return floor<seconds>(system_clock::now()).time_since_epoch().count();
}

double read_serial(std::string_view text, Clock clock) {
    std::int64_t second;
    if (!read_written_form(text, second))
        second = read_seconds(text, clock);
    if (second < kFirstDateSecond || second > kLastDateSecond) // the report states the range
        throw RuntimeError(ErrorKind::Overflow, Expected::Date, text);
    // Whole days and the time of day, each exact, added once at the end.
    const auto [days, time_of_day] = split_days(second);
    return static_cast<double>(days + kUnixEpochSerialDays) + static_cast<double>(time_of_day) / kSecondsPerDay;
}

} // namespace kvix::date
