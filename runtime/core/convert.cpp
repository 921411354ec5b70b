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

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A serial is never typed by the user, so the refusal names none.
[[noreturn]] void date_overflow() {
    throw RuntimeError(ErrorKind::Overflow, Expected::Date, {},
                       "That date serial lies outside the dates 0100-01-01 to 9999-12-31.");
}

// The nearest whole second of a serial, as seconds since 1970-01-01.
// Throws the overflow error when that lies outside the date range (NaN
// included).
std::int64_t second_of_serial(double serial) {
    // serial * 86400 is within 2^-52 relative of the exact product; over the
    // date range that is under 1e-4 s, so the nearest second is found
    // exactly for every serial not within 1e-4 s of a half second.
    const double x = serial * kSecondsPerDay + 0.5; // the second is floor(x)
    constexpr double first = static_cast<double>(kFirstDateSecond + kUnixEpochSerialDays * kSecondsPerDayInt);
    constexpr double last = static_cast<double>(kLastDateSecond + kUnixEpochSerialDays * kSecondsPerDayInt);
    // first <= floor(x) <= last, for whole first and last, is
    // first <= x < last + 1; NaN fails both.
    if (!(x >= first && x < last + 1.0))
        date_overflow();
    // The conversion cuts towards zero: one less is the floor of a negative
    // x with a fraction (only dates before 1899-12-30 have one).
    std::int64_t whole = static_cast<std::int64_t>(x);
    if (x < 0 && static_cast<double>(whole) != x)
        --whole;
    return whole - kUnixEpochSerialDays * kSecondsPerDayInt;
}

// U+2212 MINUS SIGN in UTF-8, as typeset texts and many web pages write "-".
constexpr std::string_view kMinusSign = "\xE2\x88\x92";

// The bytes of the sign at t[i], i <= t.size(): 1 for "+" or "-", 3 for
// U+2212, 0 for none; `negative` says whether it is a minus.
constexpr std::size_t sign_at(std::string_view t, std::size_t i, bool& negative) {
    negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        return 1;
    }
    if (i < t.size() && t[i] == kMinusSign[0] && t.substr(i).starts_with(kMinusSign)) {
        negative = true;
        return kMinusSign.size();
    }
    return 0;
}

// The units of time a number too long for seconds is likely counted in,
// known by the digits of its whole part: milliseconds have 13 from
// 2001-09-09 on (10^12 ms), microseconds 16 (10^15 us), nanoseconds 19
// (10^18 ns), 100-nanosecond ticks 18 since 1601 from 1917 on and since
// 0001 in every year of the 32-bit range; no number names a time of that
// range in both 18-digit units.
struct TimeUnit {
    std::int64_t digits; // of the whole part
    std::int64_t shift;  // the power of ten from the unit to seconds
    std::int64_t origin; // the unit's zero in seconds since 1970-01-01; even, so that
                         // rounding to even before adding it rounds the sum alike
    std::string_view name;
};
constexpr std::int64_t seconds_at(std::int32_t year) {
    return std::int64_t{days_from_civil({year, 1, 1})} * kSecondsPerDayInt;
}
constexpr TimeUnit kTimeUnits[] = {
    {13, -3, 0, "milliseconds since 1970"},
    {16, -6, 0, "microseconds since 1970"},
    {19, -9, 0, "nanoseconds since 1970"},
    {18, -7, seconds_at(1601), "Windows FILETIME (100 ns since 1601-01-01)"},
    {18, -7, seconds_at(1), ".NET ticks (100 ns since 0001-01-01)"},
};
static_assert(seconds_at(1601) == -11644473600 && seconds_at(1) == -62135596800);

// Why a number whose whole part is written out in digits overflows, when
// it is as long as a time in a finer unit: the time it names in the unit
// of its length where that lies in the 32-bit range, else in each unit of
// its length, outside the range too; for another length, the lengths of
// the units.  Empty for an exponent and for fewer digits than milliseconds
// have.
std::string unit_hint(std::string_view text, const NumberRead& read) {
    if (read.exponent || read.whole < kTimeUnits[0].digits)
        return {};
    std::string hint;
    for (const TimeUnit& unit : kTimeUnits) {
        if (unit.digits != read.whole)
            continue;
        const std::int64_t second = read_number(text, unit.shift).value + unit.origin; // |.| < 10^11
        std::string instant = "Unix time " + std::to_string(second);
        if (second >= kFirstDateSecond && second <= kLastDateSecond) // its serial names it exactly
            instant = format_date(static_cast<double>(second) / kSecondsPerDay + kUnixEpochSerial) + " UTC, " + instant;
        if (fits_int32(second))
            return "As " + std::string(unit.name) + " it is " + instant + ".";
        hint += (hint.empty() ? "As " : " As ") + std::string(unit.name) + " it would be " + instant +
                ", outside the 32-bit range too.";
    }
    if (hint.empty())
        hint = "Its whole part has " + std::to_string(read.whole) +
               " digits; a Unix time in seconds has at most 10, in milliseconds 13, "
               "in microseconds 16, in nanoseconds 19.";
    return hint;
}

} // namespace

NumberRead read_number(std::string_view text, std::int64_t shift) {
    const std::string_view t = trim_space(text);
    NumberRead r;
    const auto refused_at = [&r](std::size_t at) {
        r.fault_at = at;
        return r;
    };
    const std::size_t n = t.size();
    bool negative;
    std::size_t i = sign_at(t, 0, negative);
    if (i == n)
        return refused_at(i);

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
        return refused_at(i == fraction_begin && i > whole_begin ? i - 1 : i);
    // Saturated far beyond any exponent that leaves a 19-digit value.
    constexpr std::int64_t kExponentCap = 1'000'000'000;
    std::int64_t exponent = 0;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        r.exponent = true;
        bool exponent_negative;
        i += 1 + sign_at(t, i + 1, exponent_negative);
        if (i == n || !is_digit(t[i]))
            return refused_at(i);
        for (; i < n && is_digit(t[i]); ++i)
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (t[i] - '0');
        if (exponent_negative)
            exponent = -exponent;
    }
    if (i < n)
        return refused_at(i);

    // The k-th digit of the mantissa, the point taken out.
    const auto digit = [&](std::size_t k) {
        return static_cast<std::uint32_t>(t[k < whole_digits ? whole_begin + k : fraction_begin + (k - whole_digits)] - '0');
    };
    std::size_t first = 0; // the first significant digit
    while (first < digits && digit(first) == 0)
        ++first;
    if (first == digits) // zero, whatever its sign and exponent
        return r;
    // Digits of the whole part, counted from the first significant one:
    // the value is at least 10^(whole - 1) when whole > 0.
    const std::int64_t whole = static_cast<std::int64_t>(whole_digits) - static_cast<std::int64_t>(first) + exponent + shift;
    r.whole = whole;
    constexpr std::int64_t kSaturationDigits = 18; // the value is below 10^18
    if (whole > kSaturationDigits) {
        r.value = negative ? -kNumberSaturation : kNumberSaturation;
        return r;
    }

    // The whole part, then rounded to the nearest by the digits after it:
    // above a half up, below down, an exact half to the even neighbour.
    std::uint64_t magnitude = 0; // [0, 10^18]
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
    r.value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return r;
}

std::string number_fault(std::string_view text, const NumberRead& read) {
    const std::string_view t = trim_space(text);
    if (t.empty())
        return text.empty() ? "The box is empty." : "The box holds only white space.";
    // The text ends too early only when it is a sign alone or ends inside
    // its exponent.
    const std::size_t k = read.fault_at;
    if (bool negative; k == t.size() && sign_at(t, 0, negative) == k)
        return "A sign must be followed by digits.";
    if (k == t.size())
        return "An exponent must be followed by digits, e.g. 1.7e9.";
    if (t[k] == ',')
        return "A comma is not read: it could separate thousands as well as a fraction. "
               "Write a fraction with a point, e.g. 1405507023.107, and no separators.";
    // The whole character at t[k], even when it is not ASCII; a UTF-8
    // character has at most 4 bytes, so malformed text with a run of
    // continuation bytes cannot make the message long.
    std::size_t end = k + 1;
    while (end < t.size() && end < k + 4 && (static_cast<unsigned char>(t[end]) & 0xC0) == 0x80)
        ++end;
    return "Only the digits 0 to 9 are accepted, with an optional sign, a decimal point "
           "and an exponent (1405507023.107, 1.7e9); \u201C" +
           std::string(t.substr(k, end - k)) + "\u201D is not one.";
}

void refuse_int32(std::string_view text, const NumberRead& read) {
    if (read.fault_at != NumberRead::kNoFault)
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text, number_fault(text, read));
    throw RuntimeError(ErrorKind::Overflow, Expected::Number, text, unit_hint(text, read));
}

std::string format_int32(std::int32_t value) { return std::to_string(value); }

void format_date_to(double serial, char* out) {
    const auto [days, second_of_day] = split_days(second_of_serial(serial));
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
    second_of_serial(value);
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
