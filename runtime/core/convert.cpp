#include "convert.hpp"

#include <cmath>
#include <string>

#include "calendar.hpp"
#include "digits.hpp"
#include "error.hpp"
#include "text_space.hpp"

namespace kvix {
namespace {

static_assert(days_from_civil({1899, 12, 30}) == -kUnixEpochSerialDays);
static_assert(kUnixEpochSerial == kUnixEpochSerialDays);
static_assert(kFirstDateSecond == days_from_civil({100, 1, 1}) * kSecondsPerDayInt);
static_assert(kLastDateSecond ==
              days_from_civil({9999, 12, 31}) * kSecondsPerDayInt + kSecondsPerDayInt - 1);

// Digits a Unix time in milliseconds has from 2001-09-09 on; a number that
// long is most likely not seconds.
constexpr std::size_t kMillisecondDigits = 13;

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The nearest whole second of a serial, as seconds since 1970-01-01, or
// nothing when that lies outside the date range (NaN included).
bool serial_to_second(double serial, std::int64_t& second) {
    // serial * 86400 is within 2^-52 relative of the exact product; over the
    // date range that is under 1e-4 s, so the nearest second is found
    // exactly for every serial not within 1e-4 s of a half second.
    const double x = serial * kSecondsPerDay + 0.5; // the second is floor(x)
    constexpr double first = static_cast<double>(kFirstDateSecond + kUnixEpochSerialDays * kSecondsPerDayInt);
    constexpr double last = static_cast<double>(kLastDateSecond + kUnixEpochSerialDays * kSecondsPerDayInt);
    // first <= floor(x) <= last, for whole first and last, is
    // first <= x < last + 1; NaN fails both.
    if (!(x >= first && x < last + 1.0))
        return false;
    // The conversion cuts towards zero: one less is the floor of a negative
    // x with a fraction (only dates before 1899-12-30 have one).
    std::int64_t whole = static_cast<std::int64_t>(x);
    if (x < 0 && static_cast<double>(whole) != x)
        --whole;
    second = whole - kUnixEpochSerialDays * kSecondsPerDayInt;
    return true;
}

// A serial is never typed by the user, so the refusal names none.
[[noreturn]] void date_overflow() {
    throw RuntimeError(ErrorKind::Overflow, Expected::Date, {},
                       "That date serial lies outside the dates 0100-01-01 to 9999-12-31.");
}

// Refuses a number text at t[k], quoting the whole character there, even
// when it is not ASCII; a UTF-8 character has at most 4 bytes, so malformed
// text with a run of continuation bytes cannot make the message long.
[[noreturn]] void not_a_number_at(std::string_view text, std::string_view t, std::size_t k) {
    if (k == t.size())
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           "An exponent must be followed by digits, e.g. 1.7e9.");
    if (t[k] == ',')
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           "A comma is not read: it could separate thousands as well as a fraction. "
                           "Write a fraction with a point, e.g. 1405507023.107, and no separators.");
    std::size_t end = k + 1;
    while (end < t.size() && end < k + 4 && (static_cast<unsigned char>(t[end]) & 0xC0) == 0x80)
        ++end;
    throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                       "Only the digits 0 to 9 are accepted, with an optional sign, a decimal point "
                       "and an exponent (1405507023.107, 1.7e9); \u201C" +
                           std::string(t.substr(k, end - k)) + "\u201D is not one.");
}

} // namespace

std::int32_t parse_int32(std::string_view text) {
    const std::string_view t = trim_space(text);
    if (t.empty())
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           text.empty() ? "The box is empty." : "The box holds only white space.");
    const std::size_t n = t.size();
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (t[0] == '-' || t[0] == '+')
        ++i;
    if (i == n)
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           "A sign must be followed by digits.");

    // The digits of the whole part, of the fraction after an optional
    // point, and an optional exponent: 1405507023.107, .5, 5., 1.7E+09.
    const std::size_t whole_begin = i;
    while (i < n && is_digit(t[i]))
        ++i;
    const std::size_t whole_digits = i - whole_begin;
    std::size_t fraction_begin = i;
    if (i < n && t[i] == '.')
        fraction_begin = ++i;
    while (i < n && is_digit(t[i]))
        ++i;
    const std::size_t digits = whole_digits + (i - fraction_begin);
    if (digits == 0)
        not_a_number_at(text, t, i == fraction_begin && i > whole_begin ? i - 1 : i);
    // Saturated far beyond any exponent that leaves a 32-bit value.
    constexpr std::int64_t kExponentCap = 1'000'000'000;
    std::int64_t exponent = 0;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        const bool exponent_negative = i < n && t[i] == '-';
        if (i < n && (t[i] == '-' || t[i] == '+'))
            ++i;
        if (i == n || !is_digit(t[i]))
            not_a_number_at(text, t, i);
        for (; i < n && is_digit(t[i]); ++i)
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (t[i] - '0');
        if (exponent_negative)
            exponent = -exponent;
    }
    if (i < n)
        not_a_number_at(text, t, i);

    // The k-th digit of the mantissa, the point taken out.
    const auto digit = [&](std::size_t k) {
        return static_cast<std::uint32_t>(t[k < whole_digits ? whole_begin + k : fraction_begin + (k - whole_digits)] - '0');
    };
    std::size_t first = 0; // the first significant digit
    while (first < digits && digit(first) == 0)
        ++first;
    if (first == digits) // zero, whatever its sign and exponent
        return 0;
    // Digits of the whole part, counted from the first significant one:
    // the value is at least 10^(whole - 1) when whole > 0.
    const std::int64_t whole = static_cast<std::int64_t>(whole_digits) - static_cast<std::int64_t>(first) + exponent;
    const std::uint64_t limit = negative ? std::uint64_t{2147483648} : std::uint64_t{2147483647};
    const auto overflow = [&] {
        std::string reason;
        if (whole >= static_cast<std::int64_t>(kMillisecondDigits))
            reason = "Its whole part has " + (whole < kExponentCap ? std::to_string(whole) : std::string("so many")) +
                     " digits: it looks like milliseconds or a finer unit. "
                     "A Unix time in seconds has at most 10 digits.";
        throw RuntimeError(ErrorKind::Overflow, Expected::Number, text, std::move(reason));
    };
    constexpr std::int64_t kLimitDigits = 10; // "2147483648"
    if (whole > kLimitDigits)
        overflow();

    // The whole part, then rounded to the nearest by the digits after it:
    // above a half up, below down, an exact half to the even neighbour.
    std::uint64_t magnitude = 0; // [0, 10^10)
    const std::size_t significant = digits - first;
    for (std::int64_t k = 0; k < whole; ++k)
        magnitude = magnitude * 10 + (static_cast<std::size_t>(k) < significant ? digit(first + static_cast<std::size_t>(k)) : 0);
    if (whole >= 0 && static_cast<std::size_t>(whole) < significant) {
        const std::size_t half_at = first + static_cast<std::size_t>(whole);
        const std::uint32_t next = digit(half_at);
        bool above_half = next > 5;
        if (next == 5)
            for (std::size_t k = half_at + 1; k < digits && !above_half; ++k)
                above_half = digit(k) != 0;
        if (above_half || (next == 5 && magnitude % 2 == 1))
            ++magnitude;
    }
    if (magnitude > limit)
        overflow();
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}


std::string format_int32(std::int32_t value) {
    return std::to_string(value);
}

void format_date_to(double serial, char* out) {
    std::int64_t second;
    if (!serial_to_second(serial, second))
        date_overflow();
    const auto [days, second_of_day] = split_days(second);
    const CivilDate date = civil_from_days(days);
    const auto time_of_day = static_cast<std::uint32_t>(second_of_day); // [0, 86399]
    const std::uint32_t hour = time_of_day / 3600, minute = time_of_day / 60 % 60, sec = time_of_day % 60;
    const auto year = static_cast<std::uint32_t>(date.year); // [100, 9999]
    put_two_digits(out, year / 100);
    put_two_digits(out + 2, year % 100);
    out[4] = '-';
    put_two_digits(out + 5, date.month);
    out[7] = '-';
    put_two_digits(out + 8, date.day);
    out[10] = ' ';
    put_two_digits(out + 11, hour);
    out[13] = ':';
    put_two_digits(out + 14, minute);
    out[16] = ':';
    put_two_digits(out + 17, sec);
}

std::string format_date(double serial) {
    std::string text(kDateTextLength, '\0');
    format_date_to(serial, text.data());
    return text;
}

double check_date(double value) {
    std::int64_t second;
    if (!serial_to_second(value, second))
        date_overflow();
    return value;
}

std::int32_t round_to_int32(double value) {
    // rint rounds in the current mode, which this program never changes
    // from the default: to nearest, ties to even.
    const double r = std::rint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        // The rounded whole number where 64 bits hold it, as every value of
        // the calculations' formulas is; NaN and larger values name none.
        const bool shown = std::fabs(r) < 0x1p63;
        throw RuntimeError(ErrorKind::Overflow, Expected::Number,
                           shown ? std::to_string(static_cast<std::int64_t>(r)) : std::string());
    }
    return static_cast<std::int32_t>(r);
}

} // namespace kvix
