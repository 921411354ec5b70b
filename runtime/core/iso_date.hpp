// The second fast path of the date parser: the ISO 8601 / RFC 3339 texts
// in their common shapes, read in one pass over the characters, without the
// tokenizer.  It only ever accepts: any text it does not read in full goes
// to the general parser, which reads it or refuses it with its reason, so
// the two never disagree on a refusal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calendar.hpp"

namespace kvix::date_text {

namespace iso_detail {

// The white space the tokenizer skips among ASCII characters: the space
// and the control characters tab, line feed, vertical tab, form feed and
// carriage return (0x09..0x0D).
constexpr bool is_ascii_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace iso_detail

// Reads, with any ASCII white space around and nothing else:
//   YYYY-MM-DD
//   YYYY-MM-DD[T|t|one white space]hh:mm[:ss[(.|,)fraction]][zone]
//   YYYYMMDD, YYYYMMDD[T|t]hhmm[zone], YYYYMMDD[T|t]hhmmss[(.|,)fraction][zone]
// where the fraction has one digit or more and the zone, directly after the
// time, is Z, z, +hh:mm, +hhmm or +hh (or with "-").  The year must be
// from 0100, the date real, the time of day from 00:00:00 to 23:59:59, the
// offset from -23:59 to +23:59.  Gives the instant in seconds since
// 1970-01-01 00:00:00 UTC by the general parser's rule: the date and time as
// written, plus one second when the fraction's first digit is 5 or more,
// minus the offset.  Gives false, leaving `seconds` alone, for any other
// text, also one that only fails a check.
[[gnu::always_inline]] inline bool read_iso_date(std::string_view text, std::int64_t& seconds) {
    using iso_detail::is_ascii_space;
    const char* p = text.data();
    std::size_t n = text.size();
    while (n != 0 && is_ascii_space(p[0])) {
        ++p;
        --n;
    }
    // Both forms open with four digits: a text that does not is passed on
    // at once.
    const auto is_digit = [](char c) { return static_cast<unsigned char>(c) - unsigned{'0'} <= 9; };
    if (n < 8 || !is_digit(p[0]) || !is_digit(p[1]) || !is_digit(p[2]) || !is_digit(p[3]) ||
        (p[4] != '-' && !is_digit(p[4])))
        return false;
    while (is_ascii_space(p[n - 1])) // stops at the latest at the digits at the start
        --n;
    // The character at i, or 0 past the end: 0 is read as no digit and no
    // separator, and the end itself is always tested as pos == n.
    const auto ch = [&](std::size_t i) __attribute__((always_inline)) -> char {
        return i < n ? p[i] : '\0';
    };
    // The value of the digit at i in 0..9, or 10 or more for any other
    // character: subtracting '0' in unsigned arithmetic wraps the bytes
    // below '0' to above 9.
    const auto dig = [&](std::size_t i) __attribute__((always_inline)) -> std::uint32_t {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(ch(i))) - '0';
    };
    const auto is_dig = [&](std::size_t i) __attribute__((always_inline)) { return dig(i) <= 9; };
    // Two digits at i as a number, or a value above 99 (flagging no digits)
    // when either is no digit.
    const auto two = [&](std::size_t i) __attribute__((always_inline)) -> std::uint32_t {
        const std::uint32_t hi = dig(i), lo = dig(i + 1);
        return hi <= 9 && lo <= 9 ? hi * 10 + lo : 100;
    };
    constexpr std::uint32_t kNoDigits = 100;

    // The date.
    const std::uint32_t century = two(0), year_of_century = two(2);
    std::uint32_t month, mday;
    std::size_t pos;
    const bool basic = ch(4) != '-';
    if (!basic) {
        if (ch(7) != '-')
            return false;
        month = two(5);
        mday = two(8);
        pos = 10;
    } else {
        month = two(4);
        mday = two(6);
        pos = 8;
    }
    if (century >= kNoDigits || year_of_century >= kNoDigits || month >= kNoDigits ||
        mday >= kNoDigits)
        return false;
    const auto year = static_cast<std::int32_t>(century * 100 + year_of_century);
    if (year < 100 || month - 1 > 11 || mday - 1 >= days_in_month(year, month))
        return false;

    // The time, when there is more.
    std::uint32_t hour = 0, minute = 0, second = 0;
    bool round_up = false;
    std::int32_t offset_minutes = 0;
    if (pos != n) {
        const char sep = ch(pos);
        if (sep == 'T' || sep == 't')
            ++pos;
        else if (!basic && is_ascii_space(sep))
            ++pos;
        else
            return false;
        bool has_seconds;
        if (!basic) { // hh:mm[:ss]
            if (ch(pos + 2) != ':')
                return false;
            hour = two(pos);
            minute = two(pos + 3);
            pos += 5;
            has_seconds = ch(pos) == ':';
            if (has_seconds) {
                second = two(pos + 1);
                pos += 3;
            }
        } else { // hhmm or hhmmss, the run of digits exactly 4 or 6 long
            hour = two(pos);
            minute = two(pos + 2);
            has_seconds = is_dig(pos + 4);
            if (has_seconds) {
                second = two(pos + 4);
                pos += 6;
            } else {
                pos += 4;
            }
        }
        if (hour > 23 || minute > 59 || second > 59 || is_dig(pos))
            return false;
        // The fraction: its first digit decides the rounding (at least a
        // half exactly when it is 5 or more); the rest are passed over.
        if (has_seconds && (ch(pos) == '.' || ch(pos) == ',') && is_dig(pos + 1)) {
            round_up = ch(pos + 1) >= '5';
            pos += 2;
            while (is_dig(pos))
                ++pos;
        }
        // The zone.
        if (pos != n) {
            const char z = ch(pos);
            if (z == 'Z' || z == 'z') {
                ++pos;
            } else if (z == '+' || z == '-') {
                const std::uint32_t hours = two(pos + 1);
                std::uint32_t minutes = 0;
                pos += 3;
                if (is_dig(pos)) { // +hhmm
                    minutes = two(pos);
                    pos += 2;
                } else if (ch(pos) == ':') { // +hh:mm
                    minutes = two(pos + 1);
                    pos += 3;
                }
                if (hours > 23 || minutes > 59 || is_dig(pos))
                    return false;
                const auto offset = static_cast<std::int32_t>(hours * 60 + minutes);
                offset_minutes = z == '-' ? -offset : offset;
            } else {
                return false;
            }
            if (pos != n)
                return false;
        }
    }
    const std::int32_t days = days_from_civil({year, month, mday});
    seconds = days * std::int64_t{86400} + hour * 3600 + minute * 60 + second + (round_up ? 1 : 0) -
              std::int64_t{offset_minutes} * 60;
    return true;
}

} // namespace kvix::date_text
