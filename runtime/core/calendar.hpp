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

// Days since 1970-01-01 -> civil date: the inverse of days_from_civil.
// Splits the day count into centuries, the year of the century and the day
// of the (March-based) year, then the month and the day of the month.
constexpr CivilDate civil_from_days(std::int32_t days) {
    using namespace calendar_detail;
    const std::uint32_t r0 = static_cast<std::uint32_t>(days) + kDayShift;

    const std::uint32_t n1 = 4 * r0 + 3;
    const std::uint32_t q1 = n1 / 146097;                       // centuries
    const std::uint32_t r1 = n1 % 146097 / 4;                   // [0, 36524] day of the century

    constexpr std::uint64_t p32 = std::uint64_t{1} << 32;
    const std::uint32_t n2 = 4 * r1 + 3;
    const std::uint64_t u2 = std::uint64_t{2939745} * n2;
    const std::uint32_t q2 = static_cast<std::uint32_t>(u2 / p32);               // [0, 99] year of the century
    const std::uint32_t r2 = static_cast<std::uint32_t>(u2 % p32) / 2939745 / 4; // [0, 365] day of the year

    constexpr std::uint32_t p16 = std::uint32_t{1} << 16;
    const std::uint32_t n3 = 2141 * r2 + 197913;
    const std::uint32_t q3 = n3 / p16;                          // [3, 14] month
    const std::uint32_t r3 = n3 % p16 / 2141;                   // [0, 30] day of the month

    const std::uint32_t j = r2 >= 306 ? 1 : 0;                  // January and February
    return CivilDate{static_cast<std::int32_t>(100 * q1 + q2 + j - kYearShift), j ? q3 - 12 : q3, r3 + 1};
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
static_assert(days_in_month(2023, 2) == 28 && days_in_month(2024, 2) == 29 &&
              days_in_month(1900, 2) == 28 && days_in_month(2000, 2) == 29);
static_assert(days_in_month(2023, 1) == 31 && days_in_month(2023, 4) == 30 &&
              days_in_month(2023, 7) == 31 && days_in_month(2023, 8) == 31 &&
              days_in_month(2023, 9) == 30 && days_in_month(2023, 12) == 31);

} // namespace kvix
