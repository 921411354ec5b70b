// Unix times through both calculations' conversions, text to text: decimal
// text -> value -> serial -> date text -> serial -> value -> decimal text,
// with the program's own functions in the order the calculations call them,
// and the end compared with the start.  Shared by the exhaustive sweep and
// the benchmarks.
#pragma once

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "calc.hpp"
#include "convert.hpp"
#include "error.hpp"

namespace kvix::test {

// Room for a decimal text, rounded up to two words.
inline constexpr std::size_t kTextRoom = 16;
static_assert(kTextRoom >= kInt32TextCapacity);

// Whether two texts in kTextRoom buffers are the same: the two words of
// each, compared where the text lies.
inline bool same_text(const char* a, std::size_t a_size, const char* b, std::size_t b_size) {
    if (a_size != b_size)
        return false;
    if constexpr (std::endian::native != std::endian::little)
        return std::memcmp(a, b, a_size) == 0;
    std::uint64_t a0, a1, b0, b1;
    std::memcpy(&a0, a, 8);
    std::memcpy(&a1, a + 8, 8);
    std::memcpy(&b0, b, 8);
    std::memcpy(&b1, b + 8, 8);
    // The low a_size bytes of the pair of words hold the text.
    const auto low_bytes = [](std::size_t n) { // n in [0, 8]
        return n >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * n)) - 1;
    };
    const std::uint64_t k0 = low_bytes(a_size < 8 ? a_size : 8);
    const std::uint64_t k1 = low_bytes(a_size > 8 ? a_size - 8 : 0);
    return (((a0 ^ b0) & k0) | ((a1 ^ b1) & k1)) == 0;
}

// One value's round trip, from its decimal text: gives whether the decimal
// text came back the same.  The program's run-time errors pass out.
struct RoundTrip {
    char date[kDateTextLength];
    char back[kTextRoom] = {};
    std::size_t back_size = 0;
};

inline bool round_trip(std::string_view text, RoundTrip& rt) {
    const std::int32_t value = parse_int32(text);
    const double serial = check_date(serial_of_unix_time(value));
    format_date_to(serial, rt.date);
    const double serial_back = parse_date(std::string_view(rt.date, sizeof rt.date));
    const std::int32_t value_back = round_to_int32(unix_seconds_of_serial(serial_back));
    rt.back_size = format_int32_to(value_back, rt.back);
    return rt.back_size == text.size() && std::memcmp(rt.back, text.data(), text.size()) == 0;
}

// Decimal texts of values, made without the program's own formatting: the
// standard library writes the sign and thousands, once for every thousand
// consecutive values, and a table of "000".."999" the last three digits.
// The texts of consecutive values thus come at a few instructions each.
class DecimalTexts {
public:
    DecimalTexts() {
        for (std::uint32_t i = 0; i < 1000; ++i) {
            triples_[3 * i] = static_cast<char>('0' + i / 100);
            triples_[3 * i + 1] = static_cast<char>('0' + i / 10 % 10);
            triples_[3 * i + 2] = static_cast<char>('0' + i % 10);
        }
    }

    // Writes the text of `value` into `out` (kTextRoom bytes, zeros after
    // the text) and gives its length.
    std::size_t write(std::int64_t value, char* out) {
        const bool negative = value < 0;
        const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value)
                                                 : static_cast<std::uint64_t>(value);
        const std::uint64_t thousands = magnitude / 1000;
        if (thousands == 0) { // no thousands: the library writes it all
            std::memset(out, 0, kTextRoom);
            return static_cast<std::size_t>(std::to_chars(out, out + kTextRoom, value).ptr - out);
        }
        if (thousands != thousands_ || negative != negative_) {
            std::memset(prefix_, 0, sizeof prefix_);
            const std::int64_t signed_thousands = negative ? -static_cast<std::int64_t>(thousands)
                                                           : static_cast<std::int64_t>(thousands);
            prefix_size_ = static_cast<std::size_t>(
                std::to_chars(prefix_, prefix_ + sizeof prefix_, signed_thousands).ptr - prefix_);
            thousands_ = thousands;
            negative_ = negative;
        }
        std::memcpy(out, prefix_, kTextRoom);
        std::memcpy(out + prefix_size_, triples_ + 3 * (magnitude - thousands * 1000), 3);
        return prefix_size_ + 3;
    }

private:
    char triples_[3000];
    char prefix_[kTextRoom + 8] = {};
    std::size_t prefix_size_ = 0;
    std::uint64_t thousands_ = ~std::uint64_t{0};
    bool negative_ = false;
};

// A batch of consecutive values through the round trip, one step at a time
// over the whole batch: every value takes the same calls in the same order
// as alone, and the values of a batch overlap in the processor instead of
// each waiting for the one before.
template <std::size_t N>
class RoundTripBatch {
public:
    // Checks `count` (at most N) values from `first` on.  Calls report(u,
    // what) for each mismatch; gives the number of mismatches.
    template <class Report>
    std::size_t run(std::int64_t first, std::size_t count, Report&& report) {
        // A value whose step raises a run-time error, or whose text comes
        // back wrong, is reported and drops out of the later steps.
        std::size_t dropped = 0;
        std::memset(dropped_, 0, count);
        const auto drop = [&](std::size_t i, const std::string& what) {
            dropped_[i] = true;
            ++dropped;
            report(value_of(first, i), what);
        };
        const auto raised = [](const RuntimeError& e) {
            return std::string("raised ") + e.what() + ": " + e.reason();
        };
        const auto skip = [&](std::size_t i) { return dropped != 0 && dropped_[i]; };

        // The texts are all written before the first is read, so no read
        // waits for a write still on its way to the cache.
        for (std::size_t i = 0; i < count; ++i)
            text_size_[i] = texts_.write(value_of(first, i), text_[i]);
        // Decimal text -> value -> serial.  Every value is checked, each
        // once, so the text must name it.
        for (std::size_t i = 0; i < count; ++i) {
            try {
                const std::int32_t v = parse_int32(std::string_view(text_[i], text_size_[i]));
                if (v != value_of(first, i)) [[unlikely]] {
                    drop(i, "its text " + std::string(text_[i], text_size_[i]) + " was read as " +
                                std::to_string(v));
                    continue;
                }
                serial_[i] = check_date(serial_of_unix_time(v));
            } catch (const RuntimeError& e) {
                drop(i, raised(e));
            }
        }
        // Serial -> date text: a step of its own, so that more values are
        // on their way at once.
        for (std::size_t i = 0; i < count; ++i) {
            if (skip(i)) [[unlikely]]
                continue;
            try {
                format_date_to(serial_[i], date_[i]);
            } catch (const RuntimeError& e) {
                drop(i, raised(e));
            }
        }
        // Date text -> serial -> value -> decimal text.
        for (std::size_t i = 0; i < count; ++i) {
            if (skip(i)) [[unlikely]]
                continue;
            try {
                const double serial = parse_date(std::string_view(date_[i], kDateTextLength));
                back_size_[i] = format_int32_to(round_to_int32(unix_seconds_of_serial(serial)), back_[i]);
            } catch (const RuntimeError& e) {
                drop(i, raised(e));
            }
        }
        // The end against the start.
        std::size_t mismatches = dropped;
        for (std::size_t i = 0; i < count; ++i)
            if (!skip(i) && !same_text(back_[i], back_size_[i], text_[i], text_size_[i])) [[unlikely]] {
                ++mismatches;
                report(value_of(first, i), "came back as " + std::string(back_[i], back_size_[i]) +
                                               " via " + std::string(date_[i], kDateTextLength));
            }
        return mismatches;
    }

private:
    static std::int32_t value_of(std::int64_t first, std::size_t i) {
        return static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
    }

    DecimalTexts texts_;
    char text_[N][kTextRoom] = {};
    std::size_t text_size_[N] = {};
    bool dropped_[N] = {};
    double serial_[N] = {};
    char date_[N][kDateTextLength + 5] = {}; // rows of 24, three words
    char back_[N][kTextRoom] = {};
    std::size_t back_size_[N] = {};
};

} // namespace kvix::test
