// The conversions the calculations use on every click, defined inline (and
// always inlined: each has few callers) so that a calculation's steps
// compile into one straight sequence; the paths for unusual texts and for
// errors stay out of line in convert.cpp.
// Included by convert.hpp only.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <emmintrin.h>
#define KVIX_ROUND_CVTSD2SI 1
#else
#define KVIX_ROUND_CVTSD2SI 0
#endif

#include "calendar.hpp"
#include "digit_text.hpp"

namespace kvix {
namespace convert_detail {

inline constexpr std::int64_t kSecondsPerDayInt = 86400;

// Out of line, in convert.cpp: every text but the plain ones,
// values that do not round into the 32-bit range, and the date overflow.
std::int32_t parse_int32_general(std::string_view text);
std::int32_t round_to_int32_general(double value);
[[noreturn]] void date_overflow(double serial);

// The nearest whole second of a serial, as seconds since 1970-01-01, or
// nothing when that lies outside the date range (NaN included).
inline bool serial_to_second(double serial, std::int64_t& second) {
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
    if (s <= 0) [[unlikely]] // only for x < 1: dates before 1899-12-30
        s -= static_cast<double>(s) > x ? 1 : 0;
    second = s - kUnixEpochSerialDays * kSecondsPerDayInt;
    return true;
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

} // namespace convert_detail

[[gnu::always_inline]] inline std::int32_t parse_int32(std::string_view text) {
    std::int32_t value;
    if (convert_detail::parse_plain_int32(text, value))
        return value;
    return convert_detail::parse_int32_general(text);
}

[[gnu::always_inline]] inline std::size_t format_int32_to(std::int32_t value, char* out) {
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
            digit_text::put2(p, high);
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

[[gnu::always_inline]] inline void format_date_to(double serial, char* out) {
    std::int64_t second;
    if (!convert_detail::serial_to_second(serial, second)) [[unlikely]]
        convert_detail::date_overflow(serial);
    // Seconds since 0100-01-01 00:00:00, [0, 3.2e11): a multiple of 128
    // away from whole days (86400 = 128 * 675), so the day is the 32-bit
    // quotient of the seconds / 128, [0, 2.5e9), by 675.
    const auto shifted = static_cast<std::uint64_t>(second - kFirstDateSecond);
    const auto day_count = static_cast<std::uint32_t>(shifted >> 7) / 675;       // [0, 3615893]
    const auto time_of_day = static_cast<std::uint32_t>(shifted - std::uint64_t{day_count} * convert_detail::kSecondsPerDayInt); // [0, 86399]
    const CivilDateParts date = civil_parts_from_days(static_cast<std::int32_t>(day_count) + days_from_civil({100, 1, 1}));
    const std::uint32_t minute_of_day = time_of_day / 60;                 // [0, 1439]
    const std::uint32_t second_of_minute = time_of_day - minute_of_day * 60;
    // "YYYY-MM-", "DD h" and "hh:mm:ss" as three stores of 8, 4 and 8
    // characters, in that order: the canonical date reader loads "DD" and
    // " " within the second and the other words exactly as stored, so that
    // reading a text just written takes its bytes straight from the
    // stores.  "hh:mm:" comes from the table of the day's minutes.
    using digit_text::pair_bits;
    const std::uint64_t hms = digit_text::kClockMinutes.word[minute_of_day] | pair_bits(second_of_minute) << 48;
    digit_text::store8(out, pair_bits(date.hundreds) | pair_bits(date.rest) << 16 |
                                std::uint64_t{'-'} << 32 | pair_bits(date.month) << 40 |
                                std::uint64_t{'-'} << 56);
    digit_text::store4(out + 8, static_cast<std::uint32_t>(pair_bits(date.day) | std::uint64_t{' '} << 16 |
                                                           (hms & 0xFF) << 24));
    digit_text::store8(out + 11, hms);
}

[[gnu::always_inline]] inline double check_date(double value) {
    std::int64_t second;
    if (!convert_detail::serial_to_second(value, second)) [[unlikely]]
        convert_detail::date_overflow(value);
    return value;
}

[[gnu::always_inline]] inline std::int32_t round_to_int32(double value) {
#if KVIX_ROUND_CVTSD2SI
    // cvtsd2si rounds in the current mode, as nearbyint does, in one
    // instruction; NaN and values beyond the 64-bit range give INT64_MIN.
    // Every result outside the 32-bit range goes to the general path,
    // which refuses it with its message.
    const long long r = _mm_cvtsd_si64(_mm_set_sd(value));
    if (r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())
        [[likely]] return static_cast<std::int32_t>(r);
#endif
    return convert_detail::round_to_int32_general(value);
}

} // namespace kvix
