// The date parser: which texts name a date, and the instant they name.
//
// Accepted: "YYYY-MM-DD hh:mm:ss", with white space around, "T" or "t" in
// place of the space, an optional trailing "Z" or "z", and a date alone
// ("YYYY-MM-DD", midnight).  The date and time are UTC.  Impossible dates
// and times are refused, never rolled over.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar.hpp"
#include "convert.hpp"
#include "error.hpp"

namespace kvix {
namespace {

constexpr std::int64_t kSecondsPerDayInt = 86400;

constexpr bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void not_a_date(std::string_view text, std::string reason) {
    throw RuntimeError(ErrorKind::ConversionFailure, Expected::Date, text, std::move(reason));
}

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};

// The fields a text names, before they are checked.
struct Fields {
    std::int32_t year = 0;
    std::uint32_t month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

std::string two_digits(std::uint32_t v) {
    return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

// Checks the fields and gives the instant in seconds since 1970-01-01.
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
    const std::int64_t days = days_from_civil({f.year, f.month, f.day});
    return days * kSecondsPerDayInt + f.hour * 3600 + f.minute * 60 + f.second;
}

// Reads exactly n digits at text[pos]; false where one is missing.
bool digits(std::string_view s, std::size_t pos, std::size_t n, std::uint32_t& value) {
    if (pos + n > s.size())
        return false;
    std::uint32_t v = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
        if (!is_digit(s[i]))
            return false;
        v = v * 10 + static_cast<std::uint32_t>(s[i] - '0');
    }
    value = v;
    return true;
}

} // namespace

std::int64_t parse_date_seconds(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && is_space(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && is_space(t.back()))
        t.remove_suffix(1);
    if (t.empty())
        not_a_date(text, text.empty() ? "The box is empty." : "The box holds only white space.");

    constexpr std::string_view kForm = "Write it as YYYY-MM-DD hh:mm:ss, e.g. 2038-01-19 03:14:07.";
    Fields f;
    std::uint32_t year = 0;
    if (!digits(t, 0, 4, year) || t.size() < 10 || t[4] != '-' || !digits(t, 5, 2, f.month) ||
        t[7] != '-' || !digits(t, 8, 2, f.day))
        not_a_date(text, std::string(kForm));
    f.year = static_cast<std::int32_t>(year);
    std::size_t pos = 10;
    if (pos < t.size()) {
        const char sep = t[pos];
        if (sep != ' ' && sep != 'T' && sep != 't')
            not_a_date(text, std::string(kForm));
        if (!digits(t, 11, 2, f.hour) || t.size() < 19 || t[13] != ':' ||
            !digits(t, 14, 2, f.minute) || t[16] != ':' || !digits(t, 17, 2, f.second))
            not_a_date(text, std::string(kForm));
        pos = 19;
        if (pos < t.size() && (t[pos] == 'Z' || t[pos] == 'z'))
            ++pos;
        if (pos != t.size()) {
            // At most 40 bytes of it, cut before a character, not inside one.
            std::size_t shown = std::min<std::size_t>(40, t.size() - pos);
            while (shown > 0 && pos + shown < t.size() &&
                   (static_cast<unsigned char>(t[pos + shown]) & 0xC0) == 0x80)
                --shown;
            not_a_date(text, "The text after the time is not understood: \u201C" +
                                 std::string(t.substr(pos, shown)) + "\u201D.");
        }
    }
    return instant_of(f, text);
}

} // namespace kvix
