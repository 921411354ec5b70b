// The proleptic Gregorian calendar as day counts.
//
// Both directions use Neri and Schneider's Euclidean-affine-function
// algorithms ("Euclidean affine functions and their application to calendar
// algorithms", Softw. Pract. Exper. 2023), in 32-bit unsigned arithmetic.
// Day 0 is 1970-01-01; years from -1468000 to 1468000 are exact, far more
// than the years 100 to 9999 the program uses.
#pragma once

#include <cstdint>

namespace kvix {

struct CivilDate {
    std::int32_t year;
    std::uint32_t month; // 1..12
    std::uint32_t day;   // 1..31

    friend constexpr bool operator==(const CivilDate&, const CivilDate&) = default;
};

namespace calendar_detail {
// The algorithms count years from a shifted origin so that every value they
// touch is non-negative; the shift is a multiple of 400 years (one cycle).
inline constexpr std::uint32_t kYearShift = 1468000;      // 3670 cycles
inline constexpr std::uint32_t kDayShift = 536895458;     // days from -1468000-03-01 to 1970-01-01 as 32-bit
} // namespace calendar_detail

constexpr bool is_leap_year(std::int32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr std::uint32_t days_in_month(std::int32_t y, std::uint32_t m) {
    if (m == 2)
        return is_leap_year(y) ? 29 : 28;
    // 30 days in April, June, September and November, 31 otherwise:
    // the pattern of (m ^ (m >> 3)) & 1 over 1..12.
    return 30 | ((m ^ (m >> 3)) & 1);
}

// Days of each month in a common year, indexed by the month's number and 0
// for the numbers 0 and 13..15 that are no month, so that a month checked
// or kept to four bits indexes it safely.  29 February is looked at apart.
inline constexpr auto kCommonMonthDays = [] {
    struct Table {
        std::uint8_t days[16];
    } t{};
    for (std::uint32_t m = 1; m <= 12; ++m)
        t.days[m] = static_cast<std::uint8_t>(days_in_month(2001, m));
    return t;
}();
static_assert(kCommonMonthDays.days[2] == 28 && kCommonMonthDays.days[12] == 31 &&
              kCommonMonthDays.days[13] == 0);

// Civil date -> days since 1970-01-01.  The year starts on March 1 so that
// February, with its variable length, is the last month of the year.
constexpr std::int32_t days_from_civil(CivilDate date) {
    using namespace calendar_detail;
    const std::uint32_t y1 = static_cast<std::uint32_t>(date.year) + kYearShift; // [0, 2936000]
    const std::uint32_t j = date.month < 3 ? 1 : 0;   // January and February
    const std::uint32_t y0 = y1 - j;                  // computational year
    const std::uint32_t m0 = j ? date.month + 12 : date.month; // [3, 14]
    const std::uint32_t d0 = date.day - 1;            // [0, 30]

    const std::uint32_t q1 = y0 / 100;                          // centuries
    const std::uint32_t yc = 1461 * y0 / 4 - q1 + q1 / 4;       // days before year y0
    const std::uint32_t mc = (979 * m0 - 2919) / 32;            // days before month m0
    return static_cast<std::int32_t>(yc + mc + d0 - kDayShift);
}

namespace calendar_detail {
// Days since 1970-01-01 -> the algorithm's century (from the shifted
// origin), year of the century, month in the March-based year [3, 14] and
// day of the month [0, 30], and whether the day falls in January or
// February (which belong to the next civil year).
struct MarchDate {
    std::uint32_t century, year_of_century, month, day0, january_or_february;
};

constexpr MarchDate march_date_from_days(std::int32_t days) {
    const std::uint32_t r0 = static_cast<std::uint32_t>(days) + kDayShift;

    // Century and day of the century.
    const std::uint32_t n1 = 4 * r0 + 3;
    const std::uint32_t q1 = n1 / 146097;
    const std::uint32_t r1 = n1 % 146097 / 4;                   // [0, 36524]

    // Year of the century and day of the (March-based) year.
    constexpr std::uint64_t p32 = std::uint64_t{1} << 32;
    const std::uint32_t n2 = 4 * r1 + 3;
    const std::uint64_t u2 = std::uint64_t{2939745} * n2;
    const std::uint32_t q2 = static_cast<std::uint32_t>(u2 / p32);         // [0, 99]
    const std::uint32_t r2 = static_cast<std::uint32_t>(u2 % p32) / 2939745 / 4; // [0, 365]

    // Month and day of the month.
    constexpr std::uint32_t p16 = std::uint32_t{1} << 16;
    const std::uint32_t n3 = 2141 * r2 + 197913;
    const std::uint32_t q3 = n3 / p16;                          // [3, 14]
    const std::uint32_t r3 = n3 % p16 / 2141;                   // [0, 30]
    return MarchDate{q1, q2, q3, r3, r2 >= 306 ? 1u : 0u};
}
} // namespace calendar_detail

// Days since 1970-01-01 -> civil date.
constexpr CivilDate civil_from_days(std::int32_t days) {
    using namespace calendar_detail;
    const MarchDate m = march_date_from_days(days);
    const std::uint32_t j = m.january_or_february;
    return CivilDate{static_cast<std::int32_t>(100 * m.century + m.year_of_century + j - kYearShift),
                     j ? m.month - 12 : m.month, m.day0 + 1};
}

// The same for years from 0 on, with the year as its hundreds and the rest,
// [0, 99], straight from the algorithm's century and year of the century
// (the shift is a whole number of centuries), so that writing the year
// takes no division by 100.
struct CivilDateParts {
    std::uint32_t hundreds;     // year / 100
    std::uint32_t rest;         // year % 100
    std::uint32_t month;        // 1..12
    std::uint32_t day;          // 1..31
};

constexpr CivilDateParts civil_parts_from_days(std::int32_t days) {
    using namespace calendar_detail;
    static_assert(kYearShift % 100 == 0);
    const MarchDate m = march_date_from_days(days);
    const std::uint32_t j = m.january_or_february;
    // Year of the century plus j reaches 100 only for January and
    // February after a year ...99, which start the next century.
    const std::uint32_t rest = m.year_of_century + j;           // [0, 100]
    const std::uint32_t carry = rest == 100 ? 1 : 0;
    return CivilDateParts{m.century + carry - kYearShift / 100, rest - 100 * carry,
                          j ? m.month - 12 : m.month, m.day0 + 1};
}

static_assert(days_from_civil({1970, 1, 1}) == 0);
static_assert(days_from_civil({2000, 3, 1}) == 11017);
static_assert(days_from_civil({1899, 12, 30}) == -25569);  // the date-serial origin
static_assert(days_from_civil({1901, 12, 13}) == -24856);  // lowest 32-bit Unix time
static_assert(days_from_civil({2038, 1, 19}) == 24855);    // highest 32-bit Unix time
static_assert(civil_from_days(0) == CivilDate{1970, 1, 1});
static_assert(civil_from_days(-1) == CivilDate{1969, 12, 31});
static_assert(civil_from_days(11016) == CivilDate{2000, 2, 29});
static_assert(civil_from_days(-25569) == CivilDate{1899, 12, 30});
static_assert(civil_from_days(days_from_civil({100, 1, 1})) == CivilDate{100, 1, 1});
static_assert(civil_from_days(days_from_civil({9999, 12, 31})) == CivilDate{9999, 12, 31});
static_assert(civil_parts_from_days(days_from_civil({2000, 2, 29})).hundreds == 20 &&
              civil_parts_from_days(days_from_civil({2000, 2, 29})).rest == 0);
static_assert(civil_parts_from_days(days_from_civil({1999, 12, 31})).hundreds == 19 &&
              civil_parts_from_days(days_from_civil({1999, 12, 31})).rest == 99);
static_assert(civil_parts_from_days(days_from_civil({100, 1, 1})).hundreds == 1 &&
              civil_parts_from_days(days_from_civil({100, 1, 1})).rest == 0);
static_assert(days_in_month(2023, 2) == 28 && days_in_month(2024, 2) == 29 &&
              days_in_month(1900, 2) == 28 && days_in_month(2000, 2) == 29);
static_assert(days_in_month(2023, 1) == 31 && days_in_month(2023, 4) == 30 &&
              days_in_month(2023, 7) == 31 && days_in_month(2023, 8) == 31 &&
              days_in_month(2023, 9) == 30 && days_in_month(2023, 12) == 31);

} // namespace kvix
