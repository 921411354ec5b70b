// Fuzz target for the date reader (read_seconds, read_serial) and the date
// text it must read back (format_date).
//
// Properties checked for every input:
// - an accepted text inside the date range formats to a text of the form
//   "YYYY-MM-DD hh:mm:ss" naming a real date and time (checked by the
//   reference calendar below), and that text parses back to the same second
//   and the same serial;
// - within the 32-bit range, the negative calculation's arithmetic on the
//   serial, (serial - 25569) * 86400 rounded, gives that same second back;
// - a text in the digits-only form "YYYY-MM-DD[( |T|t)hh:mm:ss[Z|z]]" or
//   "YYYYMMDDhhmmss", an ordinal date "YYYY-DDD" or a week date
//   "YYYY-Www-D" is accepted exactly when it names a real date and time,
//   and then names the second the reference computes for it (outside the
//   date range a refusal is allowed too);
// - every refusal is a conversion failure or an overflow with a short,
//   well-formed message.
// Any other form the parser accepts is held to the first two properties.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc.hpp"
#include "convert.hpp"
#include "date_text.hpp"
#include "error.hpp"
#include "fp_status.hpp"
#include "fuzz_support.hpp"

namespace {

using kvix_fuzz::check;

struct Fields {
    std::int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The reference calendar: the proleptic Gregorian one written out plainly,
// counting days from 0000-01-01 with the leap-year rule and a month table.
bool leap(std::int64_t y) { return y % 400 == 0 || (y % 4 == 0 && y % 100 != 0); }

std::int64_t month_length(std::int64_t y, std::int64_t m) {
    constexpr std::int64_t lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : lengths[m - 1];
}

bool is_real(const Fields& f) {
    return f.year >= 0 && f.year <= 9999 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
           f.day <= month_length(f.year, f.month) && f.hour <= 23 && f.minute <= 59 &&
           f.second <= 59;
}

// Days from 0000-01-01 to the date: 365 a year, one more for each leap year
// before it (years 0, 4, 8, ... but not 100, 200, 300, 500, ...), then the
// months before it in its own year.
std::int64_t days_since_year_zero(const Fields& f) {
    const std::int64_t y = f.year;
    std::int64_t days = 365 * y + (y + 3) / 4 - (y + 99) / 100 + (y + 399) / 400;
    for (std::int64_t m = 1; m < f.month; ++m)
        days += month_length(y, m);
    return days + f.day - 1;
}

std::int64_t seconds_since_1970(const Fields& f) {
    static const std::int64_t epoch = days_since_year_zero(Fields{1970, 1, 1, 0, 0, 0});
    return (days_since_year_zero(f) - epoch) * 86400 + f.hour * 3600 + f.minute * 60 + f.second;
}

// Seconds since 1970 of 0100-01-01 00:00:00 and 9999-12-31 23:59:59, the
// ends of the program's date range.
const std::int64_t kFirst = seconds_since_1970(Fields{100, 1, 1, 0, 0, 0});
const std::int64_t kLast = seconds_since_1970(Fields{9999, 12, 31, 23, 59, 59});

std::optional<std::int64_t> number(std::string_view s, std::size_t pos, std::size_t n) {
    if (pos + n > s.size())
        return std::nullopt;
    std::int64_t v = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
        if (!kvix_fuzz::is_digit(s[i]))
            return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// The fields of "YYYY-MM-DD" or "YYYY-MM-DD hh:mm:ss" exactly (the text the
// program writes), or nothing.
std::optional<Fields> written_form(std::string_view s, bool time_required) {
    if (s.size() != 10 && s.size() != 19)
        return std::nullopt;
    if (time_required && s.size() != 19)
        return std::nullopt;
    Fields f;
    auto y = number(s, 0, 4), mo = number(s, 5, 2), d = number(s, 8, 2);
    if (!y || !mo || !d || s[4] != '-' || s[7] != '-')
        return std::nullopt;
    f.year = *y, f.month = *mo, f.day = *d;
    if (s.size() == 19) {
        auto h = number(s, 11, 2), mi = number(s, 14, 2), se = number(s, 17, 2);
        if (!h || !mi || !se || s[13] != ':' || s[16] != ':')
            return std::nullopt;
        f.hour = *h, f.minute = *mi, f.second = *se;
    }
    return f;
}

// The digits-only canonical forms: the written form with white space
// around, "T" or "t" for the space, and a trailing "Z" or "z" after a time.
std::optional<Fields> canonical_form(std::string_view text) {
    std::string_view t = kvix_fuzz::trim(text);
    if (t.size() == 20 && (t.back() == 'Z' || t.back() == 'z'))
        t.remove_suffix(1);
    if (t.size() != 10 && t.size() != 19)
        return std::nullopt;
    std::string s(t);
    if (s.size() == 19) {
        if (s[10] != ' ' && s[10] != 'T' && s[10] != 't')
            return std::nullopt;
        s[10] = ' ';
    }
    return written_form(s, false);
}

// The day after a date, by the month table.
Fields next_day(Fields f) {
    if (++f.day > month_length(f.year, f.month)) {
        f.day = 1;
        if (++f.month > 12) {
            f.month = 1;
            ++f.year;
        }
    }
    return f;
}

Fields walk(Fields f, std::int64_t days) {
    for (; days > 0; --days)
        f = next_day(f);
    return f;
}

// The Monday of week 1 of a year: the first Monday from 29 December of the
// year before (0000-01-01 was a Saturday).
Fields week_one_monday(std::int64_t year) {
    Fields f{year - 1, 12, 29, 0, 0, 0};
    while ((days_since_year_zero(f) + 5) % 7 != 0)
        f = next_day(f);
    return f;
}

// "YYYY-DDD" or "YYYY-Www-D" exactly, years 0101 to 9998: the day it names,
// found by walking the calendar, its fields out of range where it names
// none; or nothing for another text.
std::optional<Fields> ordinal_or_week(std::string_view t) {
    const auto y = number(t, 0, 4);
    if (!y || *y < 101 || *y > 9998 || t.size() < 8 || t[4] != '-')
        return std::nullopt;
    if (t.size() == 8) {
        const auto d = number(t, 5, 3);
        if (!d)
            return std::nullopt;
        const std::int64_t year_days = leap(*y) ? 366 : 365;
        if (*d < 1 || *d > year_days)
            return Fields{*y, 0, 0, 0, 0, 0};
        return walk(Fields{*y, 1, 1, 0, 0, 0}, *d - 1);
    }
    const auto w = number(t, 6, 2), d = number(t, 9, 1);
    if (t.size() != 10 || t[5] != 'W' || t[8] != '-' || !w || !d)
        return std::nullopt;
    const Fields day = walk(week_one_monday(*y), (*w - 1) * 7 + *d - 1);
    const bool real = *w >= 1 && *d >= 1 && *d <= 7 &&
                      days_since_year_zero(day) < days_since_year_zero(week_one_monday(*y + 1));
    return real ? day : Fields{*y, 0, 0, 0, 0, 0};
}

// "YYYYMMDDhhmmss" exactly.
std::optional<Fields> fourteen_digits(std::string_view t) {
    if (t.size() != 14 || !number(t, 0, 14))
        return std::nullopt;
    return Fields{*number(t, 0, 4), *number(t, 4, 2), *number(t, 6, 2),
                  *number(t, 8, 2), *number(t, 10, 2), *number(t, 12, 2)};
}

std::string describe(const Fields& f) {
    return std::to_string(f.year) + "-" + std::to_string(f.month) + "-" + std::to_string(f.day) +
           " " + std::to_string(f.hour) + ":" + std::to_string(f.minute) + ":" +
           std::to_string(f.second);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<Fields> canonical = canonical_form(text);
    if (!canonical)
        canonical = ordinal_or_week(kvix_fuzz::trim(text));
    if (!canonical)
        canonical = fourteen_digits(kvix_fuzz::trim(text));

    std::int64_t second = 0;
    try {
        second = kvix::date::read_seconds(text, kvix::date::stopped_clock<0>);
    } catch (const kvix::RuntimeError& e) {
        // An overflow too: a text whose every reading lies outside the
        // 32-bit range, such as month and day either way round.
        kvix_fuzz::check_refusal(e, text, kvix::Expected::Date, true);
        if (canonical && is_real(*canonical)) {
            const std::int64_t s = seconds_since_1970(*canonical);
            check(s < kFirst || s > kLast, "a real date in the date range is accepted", text,
                  describe(*canonical));
        }
        return 0;
    }

    if (canonical) {
        check(is_real(*canonical), "a digits-only text naming no real date is refused", text,
              describe(*canonical));
        check(second == seconds_since_1970(*canonical),
              "a digits-only text names the second of its fields", text,
              "parser: " + std::to_string(second) + ", reference: " +
                  std::to_string(seconds_since_1970(*canonical)));
    }

    double serial = 0;
    try {
        serial = kvix::date::read_serial(text, kvix::date::stopped_clock<0>);
    } catch (const kvix::RuntimeError& e) {
        kvix_fuzz::check_refusal(e, text, kvix::Expected::Date, true);
        check(e.kind() == kvix::ErrorKind::Overflow && (second < kFirst || second > kLast),
              "parse_date refuses only what lies outside the date range", text,
              std::to_string(second));
        return 0;
    }
    check(second >= kFirst && second <= kLast, "parse_date refuses what lies outside the date range",
          text, std::to_string(second));

    // The text the program writes for that serial names a real date and
    // time, and the same second.
    const std::string written = kvix::format_date(serial);
    const std::optional<Fields> fields = written_form(written, true);
    check(fields.has_value(), "format_date writes YYYY-MM-DD hh:mm:ss", text, written);
    check(is_real(*fields), "an accepted text formats to a real date and time", text, written);
    check(seconds_since_1970(*fields) == second, "the written text names the same second", text,
          written + " is " + std::to_string(seconds_since_1970(*fields)) + ", parser said " +
              std::to_string(second));
    check(kvix::date::read_seconds(written, kvix::date::stopped_clock<0>) == second, "the written text parses to the same second",
          text, written);
    check(kvix::date::read_serial(written, kvix::date::stopped_clock<0>) == serial, "the written text parses to the same serial", text,
          written);

    // The negative calculation's arithmetic gives the second back exactly.
    kvix::clear_fp_status();
    if (second >= INT32_MIN && second <= INT32_MAX) {
        check(kvix::round_to_int32(kvix::unix_seconds_of_serial(serial)) == second,
              "(serial - 25569) * 86400, rounded, is the second named", text, written);
    } else {
        bool refused = false;
        try {
            (void)kvix::round_to_int32(kvix::unix_seconds_of_serial(serial));
        } catch (const kvix::RuntimeError& e) {
            refused = e.kind() == kvix::ErrorKind::Overflow;
        }
        check(refused, "a second outside the 32-bit range is an overflow", text, written);
    }
    return 0;
}
