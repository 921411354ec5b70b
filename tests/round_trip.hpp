// One Unix time through both calculations' conversions, text to text:
// decimal text -> value -> serial -> date text -> serial -> value -> decimal
// text, with the program's own functions in the order the calculations call
// them, and the end compared with the start.  The decimal text fed in is
// written by the standard library, not by the program.  Shared by the
// exhaustive sweep and the benchmark.
//
// The sweep takes consecutive values in batches, one step at a time over the
// whole batch: each value takes the same calls in the same order as alone,
// but the processor works on several values at once instead of each
// waiting for the one before.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calc.hpp"
#include "convert.hpp"
#include "date_text.hpp"
#include "error.hpp"

namespace kvix::test {

struct RoundTrip {
    char decimal[16];
    std::size_t decimal_size = 0;
    char date[kDateTextLength];
    std::string back;
};

// Gives whether u came back as its own decimal text; the program's run-time
// errors pass out.
inline bool round_trip(std::int32_t u, RoundTrip& rt) {
    rt.decimal_size = static_cast<std::size_t>(std::to_chars(rt.decimal, rt.decimal + sizeof rt.decimal, u).ptr - rt.decimal);
    const std::string_view decimal(rt.decimal, rt.decimal_size);
    const std::int32_t value = parse_int32(decimal);
    format_date_to(check_date(serial_of_unix_time(value)), rt.date);
    const double serial = date::read_serial(std::string_view(rt.date, kDateTextLength), kvix::date::stopped_clock<0>);
    rt.back = format_int32(round_to_int32(unix_seconds_of_serial(serial)));
    return rt.back == decimal;
}

// What went wrong with u, or nothing when it comes back.
inline std::string round_trip_mismatch(std::int32_t u) {
    RoundTrip rt;
    try {
        if (round_trip(u, rt))
            return {};
        return "came back as " + rt.back + " via " + std::string(rt.date, kDateTextLength);
    } catch (const RuntimeError& e) {
        return std::string("raised ") + e.what() + ": " + e.reason();
    }
}

// Consecutive values from `first` on, at most N at a time, each step over
// the whole batch.
template <std::size_t N>
struct RoundTripBatch {
    char decimal[N][16];
    std::size_t decimal_size[N];
    std::int32_t value[N];
    double serial[N];
    char date[N][kDateTextLength];

    // Gives whether every value came back as its own decimal text; the
    // program's run-time errors pass out.
    bool run(std::int64_t first, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            decimal_size[i] = static_cast<std::size_t>(
                std::to_chars(decimal[i], decimal[i] + sizeof decimal[i],
                              static_cast<std::int32_t>(first + static_cast<std::int64_t>(i))).ptr -
                decimal[i]);
        for (std::size_t i = 0; i < count; ++i)
            value[i] = parse_int32(std::string_view(decimal[i], decimal_size[i]));
        for (std::size_t i = 0; i < count; ++i)
            serial[i] = check_date(serial_of_unix_time(value[i]));
        for (std::size_t i = 0; i < count; ++i)
            format_date_to(serial[i], date[i]);
        for (std::size_t i = 0; i < count; ++i)
            serial[i] = date::read_serial(std::string_view(date[i], kDateTextLength), kvix::date::stopped_clock<0>);
        bool same = true;
        for (std::size_t i = 0; i < count; ++i)
            same &= same_text(format_int32(round_to_int32(unix_seconds_of_serial(serial[i]))), decimal[i],
                              decimal_size[i]);
        return same;
    }

private:
    // The texts compared character by character: at most 11 of them, too
    // few to be worth a call of memcmp.
    static bool same_text(const std::string& back, const char* text, std::size_t size) {
        if (back.size() != size)
            return false;
        char difference = 0;
        for (std::size_t k = 0; k < size; ++k)
            difference |= static_cast<char>(back[k] ^ text[k]);
        return difference == 0;
    }
};

} // namespace kvix::test
