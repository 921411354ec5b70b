#include "convert.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <emmintrin.h>
#define KVIX_ROUND_CVTSD2SI 1
#else
#define KVIX_ROUND_CVTSD2SI 0
#endif

#include "calendar.hpp"
#include "canonical_date.hpp"
#include "digit_text.hpp"
#include "error.hpp"

namespace kvix {
namespace {

using digit_text::put2;

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
    const double x = serial * kSecondsPerDay + 0.5; // the second is floor(x)
    constexpr double first = static_cast<double>(kFirstDateSecond +
                                                 kUnixEpochSerialDays * kSecondsPerDayInt);
    constexpr double last = static_cast<double>(kLastDateSecond +
                                                kUnixEpochSerialDays * kSecondsPerDayInt);
    // first <= floor(x) <= last, for whole first and last, is
    // first <= x < last + 1; NaN fails both.
    if (!(x >= first && x < last + 1.0))
        return false;
    // floor without a library call: |x| < 2^39, so the conversion, which
    // cuts towards zero, is exact, and one less is the floor of a negative
    // x with a fraction.  Every serial of a 32-bit Unix time is positive.
    std::int64_t s = static_cast<std::int64_t>(x);
    if (x < 0.0) [[unlikely]] // only dates before 1899-12-30
        s -= static_cast<double>(s) > x ? 1 : 0;
    second = s - kUnixEpochSerialDays * kSecondsPerDayInt;
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

// Plain decimal digits with an optional "-" and nothing around them: at most
// ten digits, so the value is exact in 64 bits.  Gives false for every other
// text and for values outside the 32-bit range, which parse_int32_general
// then refuses with its reason.
inline bool parse_plain_int32(std::string_view text, std::int32_t& value) {
    const std::size_t size = text.size();
    if (size - 1 >= kInt32TextCapacity) // empty (wraps around) or too long
        return false;
    const char* p = text.data();
    const bool negative = *p == '-';
    p += negative ? 1 : 0;
    const std::size_t count = size - (negative ? 1 : 0); // digits, when all are
    if (count > 10)
        return false;
    const auto digit = [](char c) { return static_cast<std::uint32_t>(static_cast<unsigned char>(c)) - '0'; };
    std::uint64_t magnitude;
    if (count >= 8) {
        // The last eight digits at once, then the one or two before them.
        const std::uint64_t eight = digit_text::load8(p + count - 8);
        if (!digit_text::all_digits8(eight))
            return false;
        magnitude = digit_text::value_of_eight_digits(eight);
        if (count > 8) {
            std::uint32_t high = digit(p[0]);
            if (high > 9)
                return false;
            if (count == 10) {
                const std::uint32_t second = digit(p[1]);
                if (second > 9)
                    return false;
                high = high * 10 + second;
            }
            magnitude += std::uint64_t{high} * 100000000;
        }
    } else {
        if (count == 0)
            return false;
        magnitude = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t d = digit(p[i]);
            if (d > 9)
                return false;
            magnitude = magnitude * 10 + d;
        }
    }
    if (magnitude > (negative ? std::uint64_t{2147483648} : std::uint64_t{2147483647}))
        return false;
    value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                               : static_cast<std::int64_t>(magnitude));
    return true;
}

std::int32_t parse_int32_general(std::string_view text) {
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

} // namespace

std::int32_t parse_int32(std::string_view text) {
    std::int32_t value;
    if (parse_plain_int32(text, value))
        return value;
    return parse_int32_general(text);
}

std::size_t format_int32_to(std::int32_t value, char* out) {
    char* p = out;
    auto v = static_cast<std::uint32_t>(value);
    if (value < 0) {
        *p++ = '-';
        v = 0u - v; // the magnitude, 2^31 included
    }
    // Eight digits in one word, with the one or two before them for nine or
    // ten digits; a shorter number drops the word's leading zeros.  Every
    // eight-byte store stays inside the kInt32TextCapacity characters: it
    // ends at the end for nine or ten digits, and starts at most at the
    // second character (after a sign) for eight or fewer.
    if (v >= 100000000) {
        const std::uint32_t high = v / 100000000; // [1, 42]
        const std::uint32_t low = v - high * 100000000;
        if (high >= 10) {
            put2(p, high);
            p += 2;
        } else {
            *p++ = static_cast<char>('0' + high);
        }
        digit_text::store8(p, digit_text::eight_digits(low));
        return static_cast<std::size_t>(p + 8 - out);
    }
    // The digit count: bit_width * 1233 / 4096 is floor(bits * log10(2)) for
    // up to 32 bits, one less than the count or the count itself; comparing
    // with that power of ten decides.  v | 1 has the count of v, 0 included.
    static constexpr std::uint32_t kPow10[9] = {1,      10,      100,      1000,     10000,
                                                100000, 1000000, 10000000, 100000000};
    const std::uint32_t w = v | 1;
    const auto t = static_cast<std::uint32_t>(std::bit_width(w)) * 1233 >> 12; // [0, 8]
    const std::uint32_t count = t + (w >= kPow10[t] ? 1 : 0);                  // [1, 8]
    digit_text::store8(p, digit_text::eight_digits(v) >> (8 * (8 - count)));
    return static_cast<std::size_t>(p + count - out);
}

std::string format_int32(std::int32_t value) {
    char buf[kInt32TextCapacity];
    return std::string(buf, format_int32_to(value, buf));
}

namespace {

// Every text but the canonical one: the date parser, then the date range.
[[gnu::noinline]] double parse_date_general(std::string_view text) {
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

} // namespace

double parse_date(std::string_view text) {
    // The canonical text, the form format_date writes, through its fast path:
    // whole days and the time of day come out directly.  Every other text,
    // and a canonical one that names no date, goes to the date parser.
    std::int32_t canonical_day;
    std::uint32_t second_of_day;
    if (read_canonical_date(text, canonical_day, second_of_day)) [[likely]]
        return static_cast<double>(canonical_day + kUnixEpochSerialDays) +
               static_cast<double>(second_of_day) / kSecondsPerDay;
    return parse_date_general(text);
}

void format_date_to(double serial, char* out) {
    std::int64_t second;
    if (!serial_to_second(serial, second))
        date_overflow(serial);
    // Seconds since 0100-01-01 00:00:00, [0, 3.2e11): a multiple of 128
    // away from whole days (86400 = 128 * 675), so the day is the 32-bit
    // quotient of the seconds / 128, [0, 2.5e9), by 675.
    const auto shifted = static_cast<std::uint64_t>(second - kFirstDateSecond);
    const auto day_count = static_cast<std::uint32_t>(shifted >> 7) / 675;       // [0, 3652058]
    auto time_of_day = static_cast<std::uint32_t>(shifted - std::uint64_t{day_count} * kSecondsPerDayInt); // [0, 86399]
    const CivilDate date = civil_from_days(static_cast<std::int32_t>(day_count) + days_from_civil({100, 1, 1}));
    const auto year = static_cast<std::uint32_t>(date.year);                 // [100, 9999]
    const std::uint32_t hour = time_of_day / 3600;
    time_of_day %= 3600;
    const std::uint32_t minute = time_of_day / 60;
    const std::uint32_t second_of_minute = time_of_day % 60;
    // "YYYY-MM-", "DD h" and "hh:mm:ss" as three stores of 8, 4 and 8
    // characters, in that order: the canonical date reader loads "DD" and
    // " " within the second and the other words exactly as stored, so that
    // reading a text just written takes its bytes straight from the
    // stores.
    using digit_text::pair_bits;
    const std::uint64_t hh = pair_bits(hour);
    digit_text::store8(out, pair_bits(year / 100) | pair_bits(year % 100) << 16 |
                                std::uint64_t{'-'} << 32 | pair_bits(date.month) << 40 |
                                std::uint64_t{'-'} << 56);
    digit_text::store4(out + 8, static_cast<std::uint32_t>(pair_bits(date.day) | std::uint64_t{' '} << 16 |
                                                           (hh & 0xFF) << 24));
    digit_text::store8(out + 11, hh | std::uint64_t{':'} << 16 | pair_bits(minute) << 24 |
                                     std::uint64_t{':'} << 40 | pair_bits(second_of_minute) << 48);
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

namespace {

std::int32_t round_to_int32_general(double value) {
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

} // namespace

std::int32_t round_to_int32(double value) {
#if KVIX_ROUND_CVTSD2SI
    // cvtsd2si rounds in the current mode, as nearbyint does, in one
    // instruction; NaN and values beyond the 64-bit range give INT64_MIN.
    // Every result outside the 32-bit range goes to the general path,
    // which refuses it with its message.
    const long long r = _mm_cvtsd_si64(_mm_set_sd(value));
    if (r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())
        [[likely]] return static_cast<std::int32_t>(r);
#endif
    return round_to_int32_general(value);
}

} // namespace kvix
