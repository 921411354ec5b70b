#include "convert.hpp"

#include <charconv>
#include <cmath>

#include "calendar.hpp"
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
    const double x = std::floor(serial * kSecondsPerDay + 0.5);
    constexpr double first = static_cast<double>(kFirstDateSecond + kUnixEpochSerialDays * kSecondsPerDayInt);
    constexpr double last = static_cast<double>(kLastDateSecond + kUnixEpochSerialDays * kSecondsPerDayInt);
    if (!(x >= first && x <= last)) // NaN fails too
        return false;
    second = static_cast<std::int64_t>(x) - kUnixEpochSerialDays * kSecondsPerDayInt;
    return true;
}

// A serial is never typed by the user, so the refusal names none.
[[noreturn]] void date_overflow() {
    throw RuntimeError(ErrorKind::Overflow, Expected::Date, {},
                       "That date serial lies outside the dates 0100-01-01 to 9999-12-31.");
}

// Writes v as `width` digits, with leading zeros, ending at out + width.
void put_digits(char* out, std::uint32_t v, int width) {
    for (int k = width - 1; k >= 0; --k, v /= 10)
        out[k] = static_cast<char>('0' + v % 10);
}

} // namespace

std::int32_t parse_int32(std::string_view text) {
    const std::string_view t = trim_space(text);
    if (t.empty())
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           text.empty() ? "The box is empty." : "The box holds only white space.");
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (t[0] == '-' || t[0] == '+')
        ++i;
    if (i == t.size())
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           "A sign must be followed by digits.");

    // Accumulate with saturation: the value, not the digit count, decides.
    constexpr std::uint64_t kSaturated = std::uint64_t{1} << 40;
    std::uint64_t magnitude = 0;    // [0, 2^40 * 10)
    std::size_t significant = 0;    // digits after leading zeros
    for (std::size_t k = i; k < t.size(); ++k) {
        const char c = t[k];
        if (!is_digit(c)) {
            std::string reason = "Only the digits 0 to 9, with an optional sign, are accepted; \u201C";
            // Quote the whole offending character, even when it is not ASCII;
            // a UTF-8 character has at most 4 bytes, so malformed text with
            // a run of continuation bytes cannot make the message long.
            std::size_t end = k + 1;
            while (end < t.size() && end < k + 4 &&
                   (static_cast<unsigned char>(t[end]) & 0xC0) == 0x80)
                ++end;
            reason.append(t.substr(k, end - k));
            reason += "\u201D is not one.";
            if (c == '.' || c == ',')
                reason += " Unix times are whole seconds.";
            throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                               std::move(reason));
        }
        if (significant == 0 && c == '0')
            continue;
        ++significant;
        if (magnitude < kSaturated)
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    const std::uint64_t limit = negative ? std::uint64_t{2147483648} : std::uint64_t{2147483647};
    if (magnitude > limit) {
        std::string reason;
        if (significant >= kMillisecondDigits)
            reason = "It has " + std::to_string(significant) +
                     " digits: it looks like milliseconds or a finer unit. "
                     "A Unix time in seconds has at most 10 digits.";
        throw RuntimeError(ErrorKind::Overflow, Expected::Number, text, std::move(reason));
    }
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}


std::string format_int32(std::int32_t value) {
    char buf[11]; // "-2147483648"
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

void format_date_to(double serial, char* out) {
    std::int64_t second;
    if (!serial_to_second(serial, second))
        date_overflow();
    const auto [days, time_of_day] = split_days(second);
    const CivilDate date = civil_from_days(days);
    const auto hour = static_cast<std::uint32_t>(time_of_day / 3600);
    const auto minute = static_cast<std::uint32_t>(time_of_day / 60 % 60);
    const auto sec = static_cast<std::uint32_t>(time_of_day % 60);
    put_digits(out, static_cast<std::uint32_t>(date.year), 4);
    out[4] = '-';
    put_digits(out + 5, date.month, 2);
    out[7] = '-';
    put_digits(out + 8, date.day, 2);
    out[10] = ' ';
    put_digits(out + 11, hour, 2);
    out[13] = ':';
    put_digits(out + 14, minute, 2);
    out[16] = ':';
    put_digits(out + 17, sec, 2);
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
    // nearbyint rounds in the current mode, which this program never changes
    // from the default: to nearest, ties to even.
    const double r = std::nearbyint(value);
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
