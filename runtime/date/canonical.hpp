// The fast path of the date reader: the canonical date text, the form the
// program itself writes (format_date_to), "YYYY-MM-DD hh:mm:ss", read in
// three word-wide loads.  Called from read_serial only; every text it
// reads, the general reader reads to the same instant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calendar.hpp"
#include "digit_text.hpp"

namespace kvix::date {

namespace canonical_detail {
using digit_text::kEachByte;

// The parts of a canonical text, each loaded from within one store of
// format_date_to (so that reading a text just written takes each part
// straight from its store): "YYYY-MM-" from 0, "DD" and " " from 8 and 10,
// and "hh:mm:ss" from 11.  Each word's pattern has the separators where they
// belong and '0' where a digit belongs; XOR with it leaves 0 at every
// separator and the digit's value at every digit of a canonical text.
inline constexpr std::uint64_t kPatternA = 0x2D30302D30303030; // "0000-00-"
inline constexpr std::uint64_t kPatternB = 0x0000000000203030; // "00 "
inline constexpr std::uint64_t kPatternC = 0x30303A30303A3030; // "00:00:00"
// Per byte, what makes the byte's top bit carry over when the XOR left
// more than it may: 0x76 (= 0x80 - 10) where a digit 0..9 belongs, 0x7F
// (= 0x80 - 1) where 0 belongs.
inline constexpr std::uint64_t kLimitA = 0x7F76767F76767676;
inline constexpr std::uint64_t kLimitB = 0x00000000007F7676;
inline constexpr std::uint64_t kLimitC = 0x76767F76767F7676;
inline constexpr std::uint64_t kTopBits = 0x80 * kEachByte;

// Whether every byte of x = word ^ pattern is within its limit: a byte is
// over when x itself has the top bit (0x80 and up) or x plus its limit
// reaches 0x80.  A carry out of a byte happens only when x is 0x81 or more,
// which fails by its own top bit, so it cannot hide or fake a failure.
constexpr bool bytes_within(std::uint64_t x, std::uint64_t limit) {
    return (((x + limit) | x) & kTopBits) == 0;
}
static_assert(bytes_within(0x0009, 0x7676) && !bytes_within(0x000A, 0x7676));
static_assert(bytes_within(0x00, 0x7F) && !bytes_within(0x01, 0x7F) && !bytes_within(0xFF, 0x7F));

// Days from 1970-01-01 to January 1 of each year 0..9999, times two, plus
// one for a leap year; and the days before each month in a common and in
// a leap year.  A day then takes two loads and two additions.
inline constexpr auto kYearStarts = [] {
    struct Table {
        std::int32_t start[10000];
    } t{};
    for (std::int32_t y = 0; y < 10000; ++y)
        t.start[y] = days_from_civil({y, 1, 1}) * 2 + (is_leap_year(y) ? 1 : 0);
    return t;
}();
inline constexpr auto kDaysBeforeMonth = [] {
    struct Table {
        std::uint16_t days[2][13]; // [leap][month 1..12]
    } t{};
    for (std::uint32_t leap = 0; leap < 2; ++leap)
        for (std::uint32_t m = 2; m <= 12; ++m)
            t.days[leap][m] = static_cast<std::uint16_t>(t.days[leap][m - 1] +
                                                         days_in_month(leap ? 2000 : 2001, m - 1));
    return t;
}();
static_assert(kYearStarts.start[1970] == 0 && kYearStarts.start[2000] == 10957 * 2 + 1);
static_assert(kDaysBeforeMonth.days[0][3] == 59 && kDaysBeforeMonth.days[1][3] == 60 &&
              kDaysBeforeMonth.days[1][12] == 335);
} // namespace canonical_detail

// Reads exactly "YYYY-MM-DD hh:mm:ss" (19 characters, nothing around) naming
// a real date from 0100-01-01 on and a real time of day: gives the day
// (days since 1970-01-01) and the second of the day [0, 86399].  Gives
// false, and leaves both alone, for every other text, also one that only
// fails a check: the general parser then reads it or refuses it with its
// reason.
[[gnu::always_inline]] inline bool read_canonical(std::string_view text, std::int32_t& day,
                                                  std::uint32_t& second_of_day) {
    using namespace canonical_detail;
    using digit_text::load8;
    if (text.size() != 19)
        return false;
    const std::uint64_t a = load8(text.data()) ^ kPatternA;
    const std::uint64_t b = (digit_text::load2(text.data() + 8) |
                             std::uint64_t{static_cast<unsigned char>(text[10])} << 16) ^ kPatternB;
    const std::uint64_t c = load8(text.data() + 11) ^ kPatternC;
    if (!bytes_within(a, kLimitA) || !bytes_within(b, kLimitB) || !bytes_within(c, kLimitC))
        return false;
    // Every byte is now a digit's value or 0.  Ten times each byte plus the
    // next is the two-digit number starting there, at most 99, so no carry:
    // a holds YY at bytes 0 and 2 and MM at 5; b DD at 0; c hh, mm and ss
    // at 0, 3 and 6.
    const std::uint64_t pa = a * 10 + (a >> 8);
    const std::uint64_t pb = b * 10 + (b >> 8);
    const std::uint64_t pc = c * 10 + (c >> 8);
    const auto at = [](std::uint64_t w, int index) { return static_cast<std::uint32_t>(w >> (8 * index)) & 0xFF; };
    const std::uint32_t year = at(pa, 0) * 100 + at(pa, 2); // [0, 9999]
    const std::uint32_t month = at(pa, 5);                  // [0, 99]
    const std::uint32_t mday = at(pb, 0);                   // [0, 99]
    const std::uint32_t hour = at(pc, 0);
    const std::uint32_t minute = at(pc, 3);
    const std::uint32_t second = at(pc, 6);
    const bool out_of_range = (year < 100) | (month - 1 > 11) | (hour > 23) | (minute > 59) |
                              (second > 59) | (mday - 1 >= kCommonMonthDays.days[month & 15]);
    if (out_of_range) [[unlikely]] {
        if (!(year >= 100 && month == 2 && mday == 29 && hour <= 23 && minute <= 59 && second <= 59 &&
              is_leap_year(static_cast<std::int32_t>(year))))
            return false;
    }
    const std::int32_t year_start = kYearStarts.start[year];
    day = (year_start >> 1) + kDaysBeforeMonth.days[year_start & 1][month] + static_cast<std::int32_t>(mday) - 1;
    second_of_day = hour * 3600 + minute * 60 + second;
    return true;
}

} // namespace kvix::date
