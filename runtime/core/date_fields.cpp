#include "date_fields.hpp"

#include "calendar.hpp"
#include "error.hpp"

namespace kvix::date_text {
namespace {

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
constexpr const char* kWeekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};

std::string two_digits(std::uint32_t v) {
    return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

std::string iso_date(const Fields& f) {
    const auto y = static_cast<std::uint32_t>(f.year);
    return two_digits(y / 100) + two_digits(y % 100) + "-" + two_digits(f.month) + "-" +
           two_digits(f.day);
}

} // namespace

void not_a_date(std::string_view text, std::string reason) {
    throw RuntimeError(ErrorKind::ConversionFailure, Expected::Date, text, std::move(reason));
}

std::int64_t instant_of(const Fields& f, std::string_view text) {
    if (f.month < 1 || f.month > 12)
        not_a_date(text, "There is no month " + two_digits(f.month) + "; months go from 01 to 12.");
    const std::uint32_t month_days = days_in_month(f.year, f.month);
    if (f.day < 1 || f.day > month_days)
        not_a_date(text, std::string(kMonthNames[f.month - 1]) + " " + std::to_string(f.year) +
                             " has " + std::to_string(month_days) + " days; there is no day " +
                             two_digits(f.day) + ".");
    if (f.hour > 23)
        not_a_date(text, "Hours go from 00 to 23; there is no hour " + two_digits(f.hour) + ".");
    if (f.minute > 59)
        not_a_date(text, "Minutes go from 00 to 59; there is no minute " + two_digits(f.minute) + ".");
    if (f.second == 60)
        not_a_date(text, "Second 60 is a leap second, and Unix time has none.");
    if (f.second > 59)
        not_a_date(text, "Seconds go from 00 to 59; there is no second " + two_digits(f.second) + ".");
    const std::int32_t days = days_from_civil({f.year, f.month, f.day});
    if (f.weekday >= 0 && f.weekday != weekday_of(days))
        not_a_date(text, iso_date(f) + " is a " + kWeekdayNames[weekday_of(days)] + ", not a " +
                             kWeekdayNames[f.weekday] + ".");
    return seconds_of(days, f);
}

} // namespace kvix::date_text
