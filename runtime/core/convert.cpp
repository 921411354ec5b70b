#include "convert.hpp"

#include <charconv>
#include <cmath>

#include "calendar.hpp"
#include "error.hpp"
#include "text_space.hpp"

namespace kvix {
namespace {

using convert_detail::kSecondsPerDayInt;
static_assert(days_from_civil({1899, 12, 30}) == -kUnixEpochSerialDays);
static_assert(kUnixEpochSerial == kUnixEpochSerialDays);
static_assert(kFirstDateSecond == days_from_civil({100, 1, 1}) * kSecondsPerDayInt);
static_assert(kLastDateSecond ==
              days_from_civil({9999, 12, 31}) * kSecondsPerDayInt + kSecondsPerDayInt - 1);

// Digits a Unix time in milliseconds has from 2001-09-09 on; a number that
// long is most likely not seconds.
constexpr std::size_t kMillisecondDigits = 13;

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string serial_as_text(double value) {
    if (std::isnan(value))
        return "NaN";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

} // namespace

void convert_detail::date_overflow(double serial) {
    throw RuntimeError(ErrorKind::Overflow, Expected::Date, serial_as_text(serial),
                       "That date serial lies outside the dates 0100-01-01 to 9999-12-31.");
}

std::int32_t convert_detail::parse_int32_general(std::string_view text) {
    const std::string_view t = trim_space(text);
    if (t.empty())
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           text.empty() ? "The box is empty." : "The box holds only white space.");
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (t[0] == '-' || t[0] == '+')
        ++i;
    if (i == t.size())
        throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                           "A sign must be followed by digits.");

    // Accumulate with saturation: the value, not the digit count, decides.
    constexpr std::uint64_t kSaturated = std::uint64_t{1} << 40;
    std::uint64_t magnitude = 0;    // [0, 2^40 * 10)
    std::size_t significant = 0;    // digits after leading zeros
    for (std::size_t k = i; k < t.size(); ++k) {
        const char c = t[k];
        if (!is_digit(c)) {
            std::string reason = "Only the digits 0 to 9, with an optional sign, are accepted; \u201C";
            // Quote the whole offending character, even when it is not ASCII;
            // a UTF-8 character has at most 4 bytes, so malformed text with
            // a run of continuation bytes cannot make the message long.
            std::size_t end = k + 1;
            while (end < t.size() && end < k + 4 &&
                   (static_cast<unsigned char>(t[end]) & 0xC0) == 0x80)
                ++end;
            reason.append(t.substr(k, end - k));
            reason += "\u201D is not one.";
            if (c == '.' || c == ',')
                reason += " Unix times are whole seconds.";
            throw RuntimeError(ErrorKind::ConversionFailure, Expected::Number, text,
                               std::move(reason));
        }
        if (significant == 0 && c == '0')
            continue;
        ++significant;
        if (magnitude < kSaturated)
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    const std::uint64_t limit = negative ? std::uint64_t{2147483648} : std::uint64_t{2147483647};
    if (magnitude > limit) {
        std::string reason;
        if (significant >= kMillisecondDigits)
            reason = "It has " + std::to_string(significant) +
                     " digits: it looks like milliseconds or a finer unit. "
                     "A Unix time in seconds has at most 10 digits.";
        throw RuntimeError(ErrorKind::Overflow, Expected::Number, text, std::move(reason));
    }
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}


std::string format_int32(std::int32_t value) {
    char buf[kInt32TextCapacity];
    return std::string(buf, format_int32_to(value, buf));
}

std::string format_date(double serial) {
    std::string text(kDateTextLength, '\0');
    format_date_to(serial, text.data());
    return text;
}

std::int32_t convert_detail::round_to_int32_general(double value) {
    // nearbyint rounds in the current mode, which this program never changes
    // from the default: to nearest, ties to even.
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        std::string refused = std::isfinite(r) && std::fabs(r) < 9.2e18
                                  ? std::to_string(static_cast<std::int64_t>(r))
                                  : serial_as_text(value);
        throw RuntimeError(ErrorKind::Overflow, Expected::Number, refused);
    }
    return static_cast<std::int32_t>(r);
}


} // namespace kvix
