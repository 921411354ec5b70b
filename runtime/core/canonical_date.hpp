// The fast path of the date parser: the canonical date text, the form the
// program itself writes, "YYYY-MM-DD hh:mm:ss", read in a few word-wide
// steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calendar.hpp"
#include "digit_text.hpp"

namespace kvix {

// Reads exactly "YYYY-MM-DD hh:mm:ss" (19 characters, nothing around) naming
// a real date from 0100-01-01 on and a real time of day: gives the day
// (days since 1970-01-01) and the second of the day [0, 86399].  Gives
// false, and leaves both alone, for every other text, also one that only
// fails a check: the general parser then reads it or refuses it with its
// reason.
[[gnu::always_inline]] inline bool read_canonical_date(std::string_view text, std::int32_t& day,
                                std::uint32_t& second_of_day) {
    using namespace digit_text;
    if (text.size() != 19)
        return false;
    // Two words, "YYYY-MM-" and "DD hh:mm", then ":" and "ss": the loads
    // match the stores of format_date_to, so a text it has just written is
    // read from its stores without waiting for them to reach the cache.
    const std::uint64_t a = load8(text.data());
    const std::uint64_t b = load8(text.data() + 8);
    // c is "hh:mm:ss" as it would have been loaded from position 11; only
    // its last three bytes are filled in and used.
    const auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(text[i])}; };
    const std::uint64_t c = byte(16) << 40 | byte(17) << 48 | byte(18) << 56;
    // Byte masks (0xFF per byte) of the digits and of the separators, in
    // text order from the lowest byte.
    constexpr std::uint64_t kDigitsA = 0x00FFFF00FFFFFFFF; // YYYY?MM?
    constexpr std::uint64_t kDigitsB = 0xFFFF00FFFF00FFFF; // DD?hh?mm
    constexpr std::uint64_t kDigitsC = 0xFFFF000000000000; // ......ss
    constexpr std::uint64_t kSepsA = 0xFF0000FF00000000, kSepsAText = 0x2D00002D00000000;  // '-' '-'
    constexpr std::uint64_t kSepsB = 0x0000FF0000FF0000, kSepsBText = 0x00003A0000200000;  // ' ' ':'
    constexpr std::uint64_t kSepsC = 0x0000FF0000000000, kSepsCText = 0x00003A0000000000;  // ':'
    if ((((a & kSepsA) ^ kSepsAText) | ((b & kSepsB) ^ kSepsBText) | ((c & kSepsC) ^ kSepsCText)) != 0)
        return false;
    // Digits: XOR with '0' maps exactly '0'..'9' to 0..9.  A byte is 10 or
    // more when it or it plus 0x76 has the top bit; a carry out of a failing
    // byte can only make the next byte fail too.
    const std::uint64_t da = (a ^ ('0' * kEachByte)) & kDigitsA;
    const std::uint64_t db = (b ^ ('0' * kEachByte)) & kDigitsB;
    const std::uint64_t dc = (c ^ ('0' * kEachByte)) & kDigitsC;
    const auto over_nine = [](std::uint64_t d) { return (d | (d + 0x76 * kEachByte)) & (0x80 * kEachByte); };
    if ((over_nine(da) | over_nine(db) | over_nine(dc)) != 0)
        return false;
    // Each byte becomes ten times itself plus the next byte: the two-digit
    // number starting there (at most 99, so no carry).
    const std::uint64_t pa = da * 10 + (da >> 8);
    const std::uint64_t pb = db * 10 + (db >> 8);
    const std::uint64_t pc = dc * 10 + (dc >> 8);
    const auto at = [](std::uint64_t w, int index) { return static_cast<std::uint32_t>(w >> (8 * index)) & 0xFF; };
    const std::uint32_t year = at(pa, 0) * 100 + at(pa, 2);
    const std::uint32_t month = at(pa, 5);
    const std::uint32_t mday = at(pb, 0);
    const std::uint32_t hour = at(pb, 3);
    const std::uint32_t minute = at(pb, 6);
    const std::uint32_t second = at(pc, 6);
    const auto y = static_cast<std::int32_t>(year);
    // Days of each month in a common year; 29 February is looked at apart.
    static constexpr std::uint8_t kMonthDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || month - 1 > 11 || hour > 23 || minute > 59 || second > 59)
        return false;
    if (mday - 1 >= kMonthDays[month] && !(month == 2 && mday == 29 && is_leap_year(y)))
        return false;
    day = days_from_civil({y, month, mday});
    second_of_day = hour * 3600 + minute * 60 + second;
    return true;
}

} // namespace kvix
