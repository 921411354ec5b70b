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

// The decimal text of a value counting up by one, kept as text and counted
// on in its digits, so the texts fed to the program do not come from the
// program's own formatting.  The digits end at a fixed place, with room
// for a sign in front and a word of zeros behind, so that kTextRoom bytes
// can be copied from the start of any text.
class DecimalCounter {
public:
    explicit DecimalCounter(std::int64_t start) { set(start); }

    // Starts again at `value`, written by the standard library.
    void set(std::int64_t value) {
        const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                                  : static_cast<std::uint64_t>(value);
        char tmp[24];
        const auto r = std::to_chars(tmp, tmp + sizeof tmp, magnitude);
        const auto n = static_cast<std::size_t>(r.ptr - tmp);
        first_ = kEnd - n;
        std::memcpy(digits_ + first_, tmp, n);
        negative_ = value < 0;
        digits_[first_ - 1] = '-';
    }

    // The text, and kTextRoom bytes from its start (the text, then zeros).
    std::string_view text() const {
        const std::size_t begin = first_ - (negative_ ? 1 : 0);
        return {digits_ + begin, kEnd - begin};
    }

    // The text of the next value.
    void next() {
        if (!negative_) { // the magnitude up by one, carrying into a new digit
            std::size_t i = kEnd - 1;
            while (digits_[i] == '9') {
                digits_[i] = '0';
                if (i-- == first_) {
                    digits_[--first_] = '1';
                    digits_[first_ - 1] = '-';
                    return;
                }
            }
            ++digits_[i];
            return;
        }
        // Negative: the magnitude down by one, borrowing, then dropping a
        // leading zero; -1 becomes 0.
        std::size_t i = kEnd - 1;
        while (digits_[i] == '0') {
            digits_[i] = '9';
            --i;
        }
        --digits_[i];
        if (digits_[first_] == '0') {
            if (first_ == kEnd - 1) {
                negative_ = false; // "-1" went to "0"
            } else {
                digits_[first_] = '-';
                ++first_;
            }
        }
    }

private:
    static constexpr std::size_t kEnd = 24; // digits end here: 13 .. 23 for 11 characters
    char digits_[kEnd + 8] = {};
    std::size_t first_ = kEnd;
    bool negative_ = false;
};

// A batch of consecutive values through the round trip, one step at a time
// over the whole batch: every value takes the same calls in the same order
// as alone, and the values of a batch overlap in the processor instead of
// each waiting for the one before.
template <std::size_t N>
class RoundTripBatch {
public:
    // Checks `count` (at most N) values from `first` on, whose decimal
    // texts `counter` gives (it stands at `first` and is left at the value
    // after the batch).  Calls report(u, what) for each mismatch; gives the
    // number of mismatches.
    template <class Report>
    std::size_t run(std::int64_t first, std::size_t count, DecimalCounter& counter,
                    Report&& report) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view t = counter.text();
            std::memcpy(text_[i], t.data(), kTextRoom);
            text_size_[i] = t.size();
            counter.next();
        }
        std::size_t mismatches = 0;
        const auto failed = [&](std::size_t i, const RuntimeError& e) {
            ok_[i] = false;
            ++mismatches;
            report(value(first, i), std::string("raised ") + e.what() + ": " + e.reason());
        };
        // Decimal text -> value -> serial -> date text.
        for (std::size_t i = 0; i < count; ++i) {
            try {
                const std::int32_t v = parse_int32(std::string_view(text_[i], text_size_[i]));
                // Every value is checked, each once: the text must name it.
                if (v != value(first, i)) [[unlikely]] {
                    ok_[i] = false;
                    ++mismatches;
                    report(value(first, i), "its text " + std::string(text_[i], text_size_[i]) +
                                                " was read as " + std::to_string(v));
                    continue;
                }
                const double serial = check_date(serial_of_unix_time(v));
                format_date_to(serial, date_[i]);
                ok_[i] = true;
            } catch (const RuntimeError& e) {
                failed(i, e);
            }
        }
        // Date text -> serial -> value -> decimal text.
        for (std::size_t i = 0; i < count; ++i) {
            if (!ok_[i])
                continue;
            try {
                const double serial_back = parse_date(std::string_view(date_[i], kDateTextLength));
                const std::int32_t v = round_to_int32(unix_seconds_of_serial(serial_back));
                back_size_[i] = format_int32_to(v, back_[i]);
            } catch (const RuntimeError& e) {
                failed(i, e);
            }
        }
        // The end against the start.
        for (std::size_t i = 0; i < count; ++i) {
            if (ok_[i] && !same_text(back_[i], back_size_[i], text_[i], text_size_[i])) [[unlikely]] {
                ++mismatches;
                report(value(first, i),
                       "came back as " + std::string(back_[i], back_size_[i]) + " via " +
                           std::string(date_[i], kDateTextLength));
            }
        }
        return mismatches;
    }

private:
    static std::int32_t value(std::int64_t first, std::size_t i) {
        return static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
    }

    char text_[N][kTextRoom] = {};
    std::size_t text_size_[N] = {};
    char date_[N][kDateTextLength + 5] = {}; // rows of 24, three words
    char back_[N][kTextRoom] = {};
    std::size_t back_size_[N] = {};
    bool ok_[N] = {};
};

} // namespace kvix::test
