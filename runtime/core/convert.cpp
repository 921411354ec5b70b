#include "convert.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "calendar.hpp"
#include "error.hpp"

namespace kvix {
namespace {

constexpr std::int64_t kSecondsPerDayInt = 86400;
constexpr std::int32_t kUnixEpochSerialDays = 25569;
static_assert(days_from_civil({1899, 12, 30}) == -kUnixEpochSerialDays);
static_assert(kUnixEpochSerial == kUnixEpochSerialDays);
static_assert(kFirstDateSecond == days_from_civil({100, 1, 1}) * kSecondsPerDayInt);
static_assert(kLastDateSecond ==
              days_from_civil({9999, 12, 31}) * kSecondsPerDayInt + kSecondsPerDayInt - 1);

// Digits a Unix time in milliseconds has from 2001-09-09 on; a number that
// long is most likely not seconds.
constexpr std::size_t kMillisecondDigits = 13;

constexpr bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space(s.back()))
        s.remove_suffix(1);
    return s;
}

// The nearest whole second of a serial, as seconds since 1970-01-01, or
// nothing when that lies outside the date range (NaN included).
bool serial_to_second(double serial, std::int64_t& second) {
    // serial * 86400 is within 2^-52 relative of the exact product; over the
    // date range that is under 1e-4 s, so the nearest second is found
    // exactly for every serial not within 1e-4 s of a half second.
    const double s = std::floor(serial * kSecondsPerDay + 0.5); // [-6.0e10, 2.6e11] when in range
    constexpr double first = static_cast<double>(kFirstDateSecond +
                                                 kUnixEpochSerialDays * kSecondsPerDayInt);
    constexpr double last = static_cast<double>(kLastDateSecond +
                                                kUnixEpochSerialDays * kSecondsPerDayInt);
    if (!(s >= first && s <= last))
        return false;
    second = static_cast<std::int64_t>(s) - kUnixEpochSerialDays * kSecondsPerDayInt;
    return true;
}

std::string serial_as_text(double value) {
    if (std::isnan(value))
        return "NaN";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

[[noreturn]] void date_overflow(double serial) {
    throw RuntimeError(ErrorKind::Overflow, Expected::Date, serial_as_text(serial),
                       "That date serial lies outside the dates 0100-01-01 to 9999-12-31.");
}

// Two-digit groups "00".."99", for writing digits two at a time.
constexpr char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline void put2(char* out, std::uint32_t v) { // v in [0, 99]
    out[0] = kDigitPairs[2 * v];
    out[1] = kDigitPairs[2 * v + 1];
}

} // namespace

std::int32_t parse_int32(std::string_view text) {
    const std::string_view t = trim(text);
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
    char buf[12]; // "-2147483648" is 11 characters
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

double parse_date(std::string_view text) {
    const std::int64_t second = parse_date_seconds(text);
    if (second < kFirstDateSecond || second > kLastDateSecond)
        throw RuntimeError(ErrorKind::Overflow, Expected::Date, text,
                           "Dates go from 0100-01-01 to 9999-12-31.");
    // Whole days and the time of day, each exact, added once at the end.
    const std::int64_t day = second >= 0 ? second / kSecondsPerDayInt
                                         : -((-second + kSecondsPerDayInt - 1) / kSecondsPerDayInt);
    const std::int64_t time_of_day = second - day * kSecondsPerDayInt; // [0, 86399]
    return static_cast<double>(day + kUnixEpochSerialDays) +
           static_cast<double>(time_of_day) / kSecondsPerDay;
}

void format_date_to(double serial, char* out) {
    std::int64_t second;
    if (!serial_to_second(serial, second))
        date_overflow(serial);
    const std::int64_t shifted = second - kFirstDateSecond;                 // [0, 3.1e11]
    const auto day = static_cast<std::int32_t>(shifted / kSecondsPerDayInt) +
                     days_from_civil({100, 1, 1});                            // [-683003, 2932896]
    auto time_of_day = static_cast<std::uint32_t>(shifted % kSecondsPerDayInt); // [0, 86399]
    const CivilDate date = civil_from_days(day);
    const auto year = static_cast<std::uint32_t>(date.year);                 // [100, 9999]
    put2(out, year / 100);
    put2(out + 2, year % 100);
    out[4] = '-';
    put2(out + 5, date.month);
    out[7] = '-';
    put2(out + 8, date.day);
    out[10] = ' ';
    put2(out + 11, time_of_day / 3600);
    time_of_day %= 3600;
    out[13] = ':';
    put2(out + 14, time_of_day / 60);
    out[16] = ':';
    put2(out + 17, time_of_day % 60);
}

std::string format_date(double serial) {
    std::string text(kDateTextLength, '\0');
    format_date_to(serial, text.data());
    return text;
}

double check_date(double value) {
    std::int64_t second;
    if (!serial_to_second(value, second))
        date_overflow(value);
    return value;
}

std::int32_t round_to_int32(double value) {
    // nearbyint rounds in the current mode, which this program never changes
    // from the default: to nearest, ties to even.
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        std::string refused = std::isfinite(r) && std::fabs(r) < 9.2e18
                                  ? std::to_string(static_cast<std::int64_t>(r))
                                  : serial_as_text(value);
        throw RuntimeError(ErrorKind::Overflow, Expected::Number, refused);
    }
    return static_cast<std::int32_t>(r);
}

} // namespace kvix
