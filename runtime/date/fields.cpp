#include "fields.hpp"

#include <limits>
#include <string_view>
#include <utility>

#include "calendar.hpp"
#include "convert.hpp"
#include "digits.hpp"
#include "error.hpp"
#include "tokens.hpp"

namespace kvix::date {
namespace {

// The weekday of a day count from -7000004 on, 0..6 from Sunday:
// 1970-01-01 (day 0) was a Thursday (4).  Adding 7000000 + 4, a multiple
// of 7 plus 4, makes every such count non-negative, so one unsigned
// remainder gives the weekday; the 32-bit sum wraps back to the right value
// for negative counts.  Years 0..9999 are days -719528..2932896.
constexpr int weekday_of(std::int32_t days) {
    return static_cast<int>((static_cast<std::uint32_t>(days) + (7'000'000u + 4)) % 7);
}
static_assert(weekday_of(0) == 4 && weekday_of(-1) == 3 && weekday_of(-4) == 0);
static_assert(weekday_of(24855) == 2);   // 2038-01-19, a Tuesday
static_assert(weekday_of(-719528) == 6); // 0000-01-01, a Saturday

// The Monday that begins week 1 of an ISO week-numbering year: the Monday
// on or before 4 January, which lies in week 1 by definition.
constexpr std::int32_t first_monday(std::int32_t year) {
    const std::int32_t jan4 = days_from_civil({year, 1, 4});
    return jan4 - (weekday_of(jan4) + 6) % 7; // days since Monday, [0, 6]
}
// The weeks of an ISO week-numbering year, 52 or 53: 28 December always
// lies in its last week.
constexpr std::uint32_t weeks_in_year(std::int32_t year) {
    return static_cast<std::uint32_t>((days_from_civil({year, 12, 28}) - first_monday(year)) / 7 + 1);
}
static_assert(first_monday(2026) == days_from_civil({2025, 12, 29}));
static_assert(first_monday(2038) == days_from_civil({2038, 1, 4}));
static_assert(weeks_in_year(2020) == 53 && weeks_in_year(2026) == 53 && weeks_in_year(2038) == 52);

// The English ordinal suffix of a day [1, 31]: 1 st, 2 nd, 3 rd, 4 th.
constexpr int suffix_of(std::uint32_t day) {
    const std::uint32_t ones = day % 10;
    return day / 10 == 1 || ones == 0 || ones > 3 ? 4 : static_cast<int>(ones);
}
static_assert(suffix_of(1) == 1 && suffix_of(11) == 4 && suffix_of(12) == 4 && suffix_of(22) == 2 && suffix_of(23) == 3);
constexpr std::string_view kSuffixes[] = {"", "st", "nd", "rd", "th"};

// The day counts of 1901-12-13, the first day of Unix time, and of
// 2038-01-19, its last: the days of its first and last seconds.
constexpr std::int32_t kFirstUnixDay = split_days(std::numeric_limits<std::int32_t>::min()).days;
constexpr std::int32_t kLastUnixDay = split_days(std::numeric_limits<std::int32_t>::max()).days;
static_assert(kFirstUnixDay == -24856 && kLastUnixDay == 24855);

std::int32_t days_of(const Fields& f) { return days_from_civil({f.year, f.month, f.day}); }

std::string four_digits(std::int32_t year) {
    const auto y = static_cast<std::uint32_t>(year); // [0, 9999]
    return two_digits(y / 100) + two_digits(y % 100);
}

// "4 May 2038".
std::string day_in_words(const Fields& f) {
    return std::to_string(f.day) + " " + std::string(name_of(WordClass::Month, static_cast<int>(f.month))) +
           " " + std::to_string(f.year);
}

// Month and day that name two dates, either way round: refused with both
// readings, and each written with the year first where that reads.  Month
// and day differ and are both 1..12, so each reading lies more than two
// days from the ends of Unix time (1901-12-13 20:45:52, 2038-01-19
// 03:14:07), and its time and offset, which move it by less than two
// days, cannot carry it across them: it lies in the range exactly when its
// midnight does.  When neither does, the text is an overflow.
[[noreturn]] void refuse_either_order(const Fields& f, std::string_view text) {
    Fields day_first = f;
    std::swap(day_first.month, day_first.day);
    std::string reason = quoted(text.substr(f.date_begin, f.date_end - f.date_begin)) + " could be " +
                         day_in_words(f) + " or " + day_in_words(day_first);
    const bool month_first_reads = midnight_in_range(f), day_first_reads = midnight_in_range(day_first);
    if (!month_first_reads && !day_first_reads)
        out_of_range(text, reason + ", and both lie outside the range of Unix time.");
    if (!month_first_reads || !day_first_reads)
        reason += "; " + day_in_words(month_first_reads ? day_first : f) + " lies outside the range of Unix time";
    const std::string examples = month_first_reads && day_first_reads
                                     ? iso_date(f) + " or " + iso_date(day_first)
                                     : iso_date(month_first_reads ? f : day_first);
    not_a_date(text, reason + ": write it with the year first, e.g. " + examples + ".");
}

} // namespace

std::string two_digits(std::uint32_t v) {
    std::string s(2, '0');
    put_two_digits(s.data(), v);
    return s;
}

std::string iso_date(const Fields& f) {
    return four_digits(f.year) + "-" + two_digits(f.month) + "-" + two_digits(f.day);
}

std::string dot_date(const Fields& f) {
    return two_digits(f.day) + "." + two_digits(f.month) + "." + four_digits(f.year);
}

std::string slash_date(const Fields& f) {
    return two_digits(f.month) + "/" + two_digits(f.day) + "/" + four_digits(f.year);
}

bool is_real_date(std::int32_t year, std::uint32_t month, std::uint32_t day) {
    return month - 1 < 12 && day - 1 < days_in_month(year, month);
}

bool midnight_in_range(const Fields& f) {
    const std::int32_t days = days_of(f);
    return days > kFirstUnixDay && days <= kLastUnixDay;
}

bool day_in_range(const Fields& f) {
    const std::int32_t days = days_of(f);
    return days >= kFirstUnixDay && days <= kLastUnixDay;
}

std::string quoted(std::string_view s) { return "\u201C" + shorten_for_message(s) + "\u201D"; }

void not_a_date(std::string_view text, std::string reason) {
    throw RuntimeError(ErrorKind::ConversionFailure, Expected::Date, text, std::move(reason));
}

void out_of_range(std::string_view text, std::string reason) {
    throw RuntimeError(ErrorKind::Overflow, Expected::Date, text, std::move(reason));
}

std::int64_t instant_of(Fields f, std::string_view text) {
    if (f.half != 0) {
        if (f.hour < 1 || f.hour > 12)
            not_a_date(text, "With AM or PM the hours go from 1 to 12; there is no hour " +
                                 std::to_string(f.hour) + (f.half == 1 ? " AM." : " PM."));
        f.hour = f.hour % 12 + (f.half == 2 ? 12 : 0); // 12 AM is midnight, 12 PM noon
    }
    if (f.offset_hours > 23 || f.offset_minutes > 59 || f.offset_seconds > 59)
        not_a_date(text, "The zone offset " +
                             quoted(text.substr(f.offset_begin, f.offset_end - f.offset_begin)) +
                             " is impossible: offsets go from -23:59 to +23:59.");
    if (f.kind == Fields::Kind::Ordinal) {
        const std::uint32_t year_days = is_leap_year(f.year) ? 366 : 365;
        if (f.year_day < 1 || f.year_day > year_days)
            not_a_date(text, std::to_string(f.year) + " has " + std::to_string(year_days) +
                                 " days; there is no day " + std::to_string(f.year_day) + " of it.");
        const CivilDate date = civil_from_days(days_from_civil({f.year, 1, 1}) + static_cast<std::int32_t>(f.year_day) - 1);
        f.month = date.month;
        f.day = date.day;
    } else if (f.kind == Fields::Kind::Week) {
        const std::uint32_t weeks = weeks_in_year(f.year);
        if (f.week < 1 || f.week > weeks)
            not_a_date(text, "The week-numbering year " + std::to_string(f.year) + " has " + std::to_string(weeks) +
                                 " weeks; there is no week " + two_digits(f.week) + ".");
        if (f.week_day < 1 || f.week_day > 7)
            not_a_date(text, "The days of a week go from 1 (Monday) to 7 (Sunday); there is no day " +
                                 std::to_string(f.week_day) + ".");
        // [first_monday - 0, first_monday + 52 * 7 + 6]: may lie in the years before and after
        const CivilDate date = civil_from_days(first_monday(f.year) + static_cast<std::int32_t>((f.week - 1) * 7 + f.week_day - 1));
        f.year = date.year;
        f.month = date.month;
        f.day = date.day;
    }
    if (f.either_order) {
        const bool month_first = is_real_date(f.year, f.month, f.day);
        const bool day_first = is_real_date(f.year, f.day, f.month);
        if (month_first && day_first && f.month != f.day)
            refuse_either_order(f, text);
        // Day first when only that is a date, or when only its month is
        // real: the checks below then name what is wrong with it.
        if (day_first || (!month_first && f.month > 12 && f.day - 1 < 12))
            std::swap(f.month, f.day);
    }
    // Eight digits alone that name no date are most likely a number.
    const std::string alone = f.number_alone ? " A number alone is not a date; a Unix time goes into "
                                               "the upper box."
                                             : "";
    if (f.month < 1 || f.month > 12)
        not_a_date(text, "There is no month " + two_digits(f.month) + "; months go from 01 to 12." + alone);
    const std::uint32_t month_days = days_in_month(f.year, f.month);
    if (f.day < 1 || f.day > month_days)
        not_a_date(text, std::string(name_of(WordClass::Month, static_cast<int>(f.month))) + " " +
                             std::to_string(f.year) + " has " + std::to_string(month_days) +
                             " days; there is no day " + two_digits(f.day) + "." + alone);
    if (f.suffix != 0 && f.suffix != suffix_of(f.day))
        not_a_date(text, "The day " + std::to_string(f.day) + " is written " + std::to_string(f.day) +
                             std::string(kSuffixes[suffix_of(f.day)]) + ", not " + std::to_string(f.day) +
                             std::string(kSuffixes[f.suffix]) + ".");
    if (f.hour > 23)
        not_a_date(text, "Hours go from 00 to 23; there is no hour " + two_digits(f.hour) + ".");
    if (f.minute > 59)
        not_a_date(text, "Minutes go from 00 to 59; there is no minute " + two_digits(f.minute) + ".");
    if (f.second == 60)
        not_a_date(text, "Second 60 is a leap second, and Unix time has none.");
    if (f.second > 59)
        not_a_date(text, "Seconds go from 00 to 59; there is no second " + two_digits(f.second) + ".");
    const std::int32_t days = days_of(f);
    if (f.weekday >= 0 && f.weekday != weekday_of(days))
        not_a_date(text, iso_date(f) + " is a " +
                             std::string(name_of(WordClass::Weekday, weekday_of(days))) +
                             ", not a " + std::string(name_of(WordClass::Weekday, f.weekday)) + ".");
    const auto offset = static_cast<std::int64_t>(f.offset_hours * 3600 + f.offset_minutes * 60 + f.offset_seconds);
    return days * std::int64_t{86400} + f.hour * 3600 + f.minute * 60 + f.second +
           (f.round_up ? 1 : 0) - (f.offset_west ? -offset : offset);
}

} // namespace kvix::date
