// Unix times through both calculations' conversions, text to text: decimal
// text -> value -> serial -> date text -> serial -> value -> decimal text,
// with the program's own functions in the order the calculations call them,
// and the end compared with the start.  Shared by the exhaustive sweep and
// the benchmarks.
#pragma once

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
#include "error.hpp"

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
    const double serial_back = parse_date(std::string_view(rt.date, sizeof rt.date));
    const std::int32_t value_back = round_to_int32(unix_seconds_of_serial(serial_back));
    rt.back_size = format_int32_to(value_back, rt.back);
    return text_difference(rt.back, rt.back_size, text, size) == 0;
}

// Decimal texts of consecutive values, made without the program's own
// formatting: the standard library writes a text where counting would
// change its sign or length, and between those the text of the next value
// is the last one's with its last digit stepped (a carry or borrow running
// over the digits before it), a few instructions a value.
class DecimalTexts {
public:
    // Writes the text of `value` into `out` (kTextRoom bytes, zeros after
    // the text) and gives its length.
    std::size_t write(std::int64_t value, char* out) {
        if (!(value == value_ + 1 && step())) {
            char text[kTextRoom] = {};
            size_ = static_cast<std::size_t>(std::to_chars(text, text + kTextRoom, value).ptr - text);
            std::memcpy(words_, text, kTextRoom);
            last_word_ = (size_ - 1) / 8;
            last_shift_ = 8 * ((size_ - 1) % 8);
        }
        value_ = value;
        std::memcpy(out, words_, kTextRoom);
        return size_;
    }

private:
    // The text is kept as two words, whole-word reads and writes only, so
    // that no read of the text waits for a narrower write to it.
    unsigned char byte(std::size_t i) const {
        return static_cast<unsigned char>(words_[i / 8] >> (8 * (i % 8)));
    }
    void set(std::size_t i, unsigned char c) {
        const unsigned shift = 8 * (i % 8);
        words_[i / 8] = (words_[i / 8] & ~(std::uint64_t{0xFF} << shift)) | std::uint64_t{c} << shift;
    }

    // From the text of value_ to that of value_ + 1 in place; false where
    // the sign or the length changes (the caller then writes it afresh).
    bool step() {
        if constexpr (std::endian::native != std::endian::little)
            return false; // the byte order below is the little-endian one
        // Nine times in ten only the last digit changes: one addition.
        const unsigned last = static_cast<unsigned char>(words_[last_word_] >> last_shift_);
        if (value_ >= 0 ? last != '9' : last != '0' && value_ != -1) [[likely]] {
            const std::uint64_t one = std::uint64_t{1} << last_shift_;
            words_[last_word_] += value_ >= 0 ? one : 0 - one;
            return true;
        }
        return carry();
    }

    // The rest of step(): a carry or borrow over the digits before the
    // last.
    [[gnu::noinline]] bool carry() {
        std::size_t i = size_;
        if (value_ >= 0) { // the digits count up
            while (i > 0 && byte(i - 1) == '9')
                set(--i, '0');
            if (i == 0)
                return false; // 99..9 + 1: one digit more
            set(i - 1, static_cast<unsigned char>(byte(i - 1) + 1));
            return true;
        }
        if (value_ == -1)
            return false; // -1 + 1 = 0
        // A negative value: its digits count down, and the result has no
        // leading zero unless it lost a digit ("-10" + 1 = "-9").
        while (byte(i - 1) == '0')
            set(--i, '9');
        set(i - 1, static_cast<unsigned char>(byte(i - 1) - 1));
        return byte(1) != '0';
    }

    std::uint64_t words_[kTextRoom / 8] = {};
    std::size_t size_ = 0;
    std::size_t last_word_ = 0;
    unsigned last_shift_ = 0;
    std::int64_t value_ = -(std::int64_t{1} << 40); // no value yet
};

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
            // Decimal text, then its value, then the serial, then the date
            // text; each text is written kSkew values before it is read, so
            // that the read does not wait for the write.
            pipelined(
                count, [&](std::size_t i) { text_size_[i] = texts_.write(value_of(first, i), text_[i]); },
                [&](std::size_t i) {
                    value_[i] = parse_int32(std::string_view(text_[i], text_size_[i]));
                    differ |= static_cast<std::uint32_t>(value_[i]) ^ static_cast<std::uint32_t>(value_of(first, i));
                },
                [&](std::size_t i) { serial_[i] = check_date(serial_of_unix_time(value_[i])); },
                [&](std::size_t i) { format_date_to(serial_[i], date_[i]); });
            // Date text -> serial, then the value and its decimal text,
            // then that text against the one the value started from.
            pipelined(
                count, [&](std::size_t i) { serial_[i] = parse_date(std::string_view(date_[i], kDateTextLength)); },
                [&](std::size_t i) {
                    back_size_[i] = format_int32_to(round_to_int32(unix_seconds_of_serial(serial_[i])), back_[i]);
                },
                [&](std::size_t i) { differ |= text_difference(back_[i], back_size_[i], text_[i], text_size_[i]); });
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
                const double serial = parse_date(std::string_view(date_[i], kDateTextLength));
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

    // Three or four stages over the values 0 .. count - 1, each value
    // through them in order, kSkew values apart: stage0(i), stage1(i -
    // kSkew), stage2(i - 2 * kSkew) (and stage3(i - 3 * kSkew)) in one
    // step, so that the work of different values overlaps.
    template <class Stage0, class Stage1, class Stage2>
    static void pipelined(std::size_t count, Stage0&& stage0, Stage1&& stage1, Stage2&& stage2) {
        pipelined(count, stage0, stage1, stage2, nullptr);
    }
    template <class Stage0, class Stage1, class Stage2, class Stage3>
    static void pipelined(std::size_t count, Stage0&& stage0, Stage1&& stage1, Stage2&& stage2, Stage3&& stage3) {
        constexpr std::size_t stages = std::is_null_pointer_v<std::remove_cvref_t<Stage3>> ? 3 : 4;
        const std::size_t end = count + (stages - 1) * kSkew;
        for (std::size_t i = 0; i < end; ++i) {
            if (i < count) [[likely]]
                stage0(i);
            if (i - kSkew < count) [[likely]] // wraps around below kSkew
                stage1(i - kSkew);
            if (i - 2 * kSkew < count) [[likely]]
                stage2(i - 2 * kSkew);
            if constexpr (!std::is_null_pointer_v<std::remove_cvref_t<Stage3>>)
                if (i - 3 * kSkew < count) [[likely]]
                    stage3(i - 3 * kSkew);
        }
    }

    static std::int32_t value_of(std::int64_t first, std::size_t i) {
        return static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
    }

    DecimalTexts texts_;
    char text_[N][kTextRoom] = {};
    std::size_t text_size_[N] = {};
    double serial_[N] = {};
    std::int32_t value_[N] = {};
    char date_[N][kDateTextLength + 5] = {}; // rows of 24, three words
    char back_[N][kTextRoom] = {};
    std::size_t back_size_[N] = {};
};

} // namespace kvix::test
