// Unix times through both calculations' conversions, text to text: decimal
// text -> value -> serial -> date text -> serial -> value -> decimal text,
// with the program's own functions in the order the calculations call them,
// and the end compared with the start.  Shared by the exhaustive sweep and
// the benchmarks.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "calc.hpp"
#include "convert.hpp"
#include "date_text.hpp"
#include "error.hpp"

// A batch's stages are written once and stepped in three loops (see
// RoundTripBatch::pipelined): they and the loops are inlined into the
// batch's pass, so that its values stay in registers across the stages.
#if defined(__GNUC__) || defined(__clang__)
#define KVIX_ALWAYS_INLINE __attribute__((always_inline))
#else
#define KVIX_ALWAYS_INLINE
#endif

namespace kvix::test {

// Room for a decimal text, rounded up to two words.
inline constexpr std::size_t kTextRoom = 16;
static_assert(kTextRoom >= kInt32TextCapacity);

// Whether two texts in kTextRoom buffers differ, without a branch: zero
// when they are the same, the two words of each compared where the text
// lies.
inline std::uint64_t text_difference(const char* a, std::size_t a_size, const char* b, std::size_t b_size) {
    if constexpr (std::endian::native != std::endian::little)
        return a_size != b_size || std::memcmp(a, b, a_size) != 0;
    std::uint64_t a0, a1, b0, b1;
    std::memcpy(&a0, a, 8);
    std::memcpy(&a1, a + 8, 8);
    std::memcpy(&b0, b, 8);
    std::memcpy(&b1, b + 8, 8);
    // The low n bytes of the pair of words hold a text of n characters: a
    // mask of min(n, 8) bytes for the first word and of n - 8 (at least 0)
    // for the second, for the at most kInt32TextCapacity characters
    // compared.
    static_assert(kInt32TextCapacity < kTextRoom);
    static constexpr auto kMasks = [] {
        std::array<std::array<std::uint64_t, 2>, kInt32TextCapacity + 1> masks{};
        for (std::size_t n = 0; n <= kInt32TextCapacity; ++n)
            for (std::size_t byte = 0; byte < n; ++byte)
                masks[n][byte / 8] |= std::uint64_t{0xFF} << (8 * (byte % 8));
        return masks;
    }();
    const auto& mask = kMasks[a_size < kInt32TextCapacity ? a_size : kInt32TextCapacity];
    const std::uint64_t k0 = mask[0], k1 = mask[1];
    return (a_size ^ b_size) | ((a0 ^ b0) & k0) | ((a1 ^ b1) & k1);
}

// One value's round trip, from its decimal text in a kTextRoom buffer
// (zeros after the text): gives whether the decimal text came back the
// same.  The program's run-time errors pass out.
struct RoundTrip {
    char date[kDateTextLength];
    char back[kTextRoom] = {};
    std::size_t back_size = 0;
};

inline bool round_trip(const char* text, std::size_t size, RoundTrip& rt) {
    const std::int32_t value = parse_int32(std::string_view(text, size));
    const double serial = check_date(serial_of_unix_time(value));
    format_date_to(serial, rt.date);
    const double serial_back = date::read_serial(std::string_view(rt.date, sizeof rt.date), kvix::date::stopped_clock<0>);
    const std::int32_t value_back = round_to_int32(unix_seconds_of_serial(serial_back));
    rt.back_size = format_int32_to(value_back, rt.back);
    return text_difference(rt.back, rt.back_size, text, size) == 0;
}

// Decimal texts of consecutive values, made without the program's own
// formatting: a value from 1000 up (or from -1000 down) is written as the
// text of its thousands followed by its last three digits, so that the
// standard library writes one text a thousand values and each value in
// between takes its last three digits from a table.  Values from -999 to
// 999 are written whole.  Writes the texts of first .. first + count - 1
// into rows (kTextRoom bytes each, zeros after the text) and their lengths
// into sizes.
inline void write_decimal_texts(std::int64_t first, std::size_t count, char (*rows)[kTextRoom],
                                std::size_t* sizes) {
    // "000" .. "999" as four bytes, the fourth zero.
    static constexpr auto kTriples = [] {
        std::array<std::array<char, 4>, 1000> t{};
        for (std::size_t r = 0; r < 1000; ++r)
            t[r] = {static_cast<char>('0' + r / 100), static_cast<char>('0' + r / 10 % 10),
                    static_cast<char>('0' + r % 10), '\0'};
        return t;
    }();
    for (std::size_t i = 0; i < count;) {
        const std::int64_t value = first + static_cast<std::int64_t>(i);
        const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        if (magnitude < 1000) {
            char text[kTextRoom] = {};
            sizes[i] = static_cast<std::size_t>(std::to_chars(text, text + kTextRoom, value).ptr - text);
            std::memcpy(rows[i++], text, kTextRoom);
            continue;
        }
        // The values up to the next change of the thousands: the last three
        // digits count up to 999 from a positive value and down to 000 from
        // a negative one.  The text of the thousands is stored whole, then
        // the last three digits and a zero after it (the head is at most
        // eight characters, so that fits the row).
        const std::uint64_t thousands = magnitude / 1000;
        const auto last3 = static_cast<std::size_t>(magnitude % 1000);
        const std::size_t run = std::min<std::size_t>(count - i, value > 0 ? 1000 - last3 : last3 + 1);
        char head[kTextRoom] = {};
        const std::int64_t head_value = value < 0 ? -static_cast<std::int64_t>(thousands) : static_cast<std::int64_t>(thousands);
        const auto head_size = static_cast<std::size_t>(std::to_chars(head, head + kTextRoom, head_value).ptr - head);
        static_assert(kInt32TextCapacity - 3 + 4 <= kTextRoom);
        const std::ptrdiff_t direction = value > 0 ? 1 : -1;
        for (std::size_t k = 0; k < run; ++k) {
            std::memcpy(rows[i + k], head, kTextRoom);
            std::memcpy(rows[i + k] + head_size, kTriples[last3 + static_cast<std::size_t>(direction * static_cast<std::ptrdiff_t>(k))].data(), 4);
            sizes[i + k] = head_size + 3;
        }
        i += run;
    }
}

// A batch of consecutive values through the round trip, the steps taken
// over the whole batch: every value takes the same calls in the same order
// as alone, but the values of a batch overlap in the processor instead of
// each waiting for the one before.  The steps come in two passes of a few
// stages, each stage kSkew values behind the one before, so that a
// formula's floating-point status test, which waits for the formula, has
// other values' integer work beside it instead of queueing behind it, and
// the formula's operand is ready when its stage comes.
template <std::size_t N>
class RoundTripBatch {
public:
    static constexpr std::size_t kSkew = 4;

    // Checks `count` (at most N) values from `first` on.  Calls report(u,
    // what) for each mismatch; gives the number of mismatches.
    template <class Report>
    std::size_t run(std::int64_t first, std::size_t count, Report&& report) {
        if (all_come_back(first, count)) [[likely]]
            return 0;
        return report_each(first, count, report);
    }

private:
    // The fast pass: the whole batch without a branch on any result, the
    // differences gathered as bits.  Gives whether every value came back
    // as its own text with no run-time error; the caller then looks at each
    // value again where one did not.
    bool all_come_back(std::int64_t first, std::size_t count) {
        std::uint64_t differ = 0;
        try {
            // The decimal texts, then for each its value, the serial (the
            // formula and its status test), and the date check with the
            // date text, which both start from the serial's nearest second.
            write_decimal_texts(first, count, text_, text_size_);
            pipelined(
                count,
                [&](std::size_t i) KVIX_ALWAYS_INLINE {
                    value_[i] = parse_int32(std::string_view(text_[i], text_size_[i]));
                    differ |= static_cast<std::uint32_t>(value_[i]) ^ static_cast<std::uint32_t>(value_of(first, i));
                },
                [&](std::size_t i) KVIX_ALWAYS_INLINE { serial_[i] = serial_of_unix_time(value_[i]); },
                [&](std::size_t i) KVIX_ALWAYS_INLINE { format_date_to(check_date(serial_[i]), date_[i]); });
            // Date text -> serial, then the value and its decimal text,
            // then that text against the one the value started from.
            pipelined(
                count, [&](std::size_t i) KVIX_ALWAYS_INLINE { serial_[i] = date::read_serial(std::string_view(date_[i], kDateTextLength), kvix::date::stopped_clock<0>); },
                [&](std::size_t i) KVIX_ALWAYS_INLINE {
                    back_size_[i] = format_int32_to(round_to_int32(unix_seconds_of_serial(serial_[i])), back_[i]);
                },
                [&](std::size_t i) KVIX_ALWAYS_INLINE { differ |= text_difference(back_[i], back_size_[i], text_[i], text_size_[i]); });
        } catch (const RuntimeError&) {
            return false;
        }
        return differ == 0;
    }

    // The careful pass, one value at a time: reports each value that
    // raises a run-time error or comes back other than it went in, and
    // gives their number.
    template <class Report>
    std::size_t report_each(std::int64_t first, std::size_t count, Report&& report) {
        const auto raised = [](const RuntimeError& e) {
            return std::string("raised ") + e.what() + ": " + e.reason();
        };
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t u = value_of(first, i);
            const std::string text(text_[i], text_size_[i]);
            try {
                const std::int32_t v = parse_int32(text);
                if (v != u) {
                    ++mismatches;
                    report(u, "its text " + text + " was read as " + std::to_string(v));
                    continue;
                }
                format_date_to(check_date(serial_of_unix_time(v)), date_[i]);
                const double serial = date::read_serial(std::string_view(date_[i], kDateTextLength), kvix::date::stopped_clock<0>);
                back_size_[i] = format_int32_to(round_to_int32(unix_seconds_of_serial(serial)), back_[i]);
                if (text_difference(back_[i], back_size_[i], text_[i], text_size_[i]) != 0) {
                    ++mismatches;
                    report(u, "came back as " + std::string(back_[i], back_size_[i]) + " via " +
                                  std::string(date_[i], kDateTextLength));
                }
            } catch (const RuntimeError& e) {
                ++mismatches;
                report(u, raised(e));
            }
        }
        return mismatches;
    }

    // Three stages over the values 0 .. count - 1, each value through them
    // in order, kSkew values apart: stage0(i), stage1(i - kSkew) and
    // stage2(i - 2 * kSkew) in one step, so that the work of different
    // values overlaps.  Only the steps where the pipeline fills or drains
    // test which stages have a value; the steps between run all three.
    template <class Stage0, class Stage1, class Stage2>
    KVIX_ALWAYS_INLINE static void pipelined(std::size_t count, Stage0&& stage0, Stage1&& stage1, Stage2&& stage2) {
        constexpr std::size_t depth = 2 * kSkew; // steps from a value's first stage to its last
        const auto step = [&](std::size_t i, auto all_stages) KVIX_ALWAYS_INLINE {
            const auto has = [&](std::size_t lag) { return all_stages || i - lag < count; }; // wraps below lag
            if (has(0))
                stage0(i);
            if (has(kSkew))
                stage1(i - kSkew);
            if (has(2 * kSkew))
                stage2(i - 2 * kSkew);
        };
        const std::size_t full_end = count > depth ? count : depth;
        for (std::size_t i = 0; i < depth; ++i)
            step(i, std::false_type{});
        for (std::size_t i = depth; i < full_end; ++i)
            step(i, std::true_type{});
        for (std::size_t i = full_end; i < count + depth; ++i)
            step(i, std::false_type{});
    }

    static std::int32_t value_of(std::int64_t first, std::size_t i) {
        return static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
    }

    char text_[N][kTextRoom] = {};
    std::size_t text_size_[N] = {};
    double serial_[N] = {};
    std::int32_t value_[N] = {};
    char date_[N][kDateTextLength + 5] = {}; // rows of 24, three words
    char back_[N][kTextRoom] = {};
    std::size_t back_size_[N] = {};
};

} // namespace kvix::test
