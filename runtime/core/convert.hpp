// Conversions between texts, 32-bit integers and date serials.
//
// A date serial is a double: days since 1899-12-30 00:00:00 plus the time of
// day as a fraction of a day, so 1970-01-01 00:00:00 is 25569.0 and noon adds
// 0.5.  The date range is 0100-01-01 00:00:00 .. 9999-12-31 23:59:59.
// None of these depends on the machine's locale or time zone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace kvix {

inline constexpr double kSecondsPerDay = 86400.0;
// Days from 1899-12-30 (serial 0) to 1970-01-01 (Unix time 0).
inline constexpr std::int32_t kUnixEpochSerialDays = 25569;
inline constexpr double kUnixEpochSerial = kUnixEpochSerialDays;

// The date range in whole seconds since 1970-01-01 00:00:00.
inline constexpr std::int64_t kFirstDateSecond = -59011459200;  // 0100-01-01 00:00:00
inline constexpr std::int64_t kLastDateSecond = 253402300799;   // 9999-12-31 23:59:59

inline constexpr std::int64_t kSecondsPerDayInt = 86400;

// A second of the date range, as seconds since 1970-01-01 00:00:00 -> whole
// days since 1970-01-01 and the second of that day, [0, 86399].  Counted
// from the first day of the range, where every such second is positive.
struct DayAndTime {
    std::int32_t days;
    std::int32_t second_of_day;
};
constexpr DayAndTime split_days(std::int64_t second) {
    static_assert(kFirstDateSecond % kSecondsPerDayInt == 0);
    const auto since_first = static_cast<std::uint64_t>(second - kFirstDateSecond); // [0, 3.2e11)
    const auto day_count = since_first / kSecondsPerDayInt;
    return {static_cast<std::int32_t>(static_cast<std::int64_t>(day_count) + kFirstDateSecond / kSecondsPerDayInt),
            static_cast<std::int32_t>(since_first - day_count * kSecondsPerDayInt)};
}
static_assert(split_days(-1).days == -1 && split_days(-1).second_of_day == 86399);
static_assert(split_days(-86400).days == -1 && split_days(-86400).second_of_day == 0);
static_assert(split_days(86399).days == 0 && split_days(86399).second_of_day == 86399);

// Length of a formatted date text, "YYYY-MM-DD hh:mm:ss".
inline constexpr std::size_t kDateTextLength = 19;

// A number text as both boxes read it, the upper box's text and a Unix
// time after "@" in the lower box: one optional sign ("+", "-" or U+2212
// MINUS SIGN), ASCII digits with an optional decimal point among or around
// them (at least one digit), and an optional exponent ("e" or "E", an
// optional sign, digits).  A value with a fraction is rounded to the
// nearest integer as its decimal digits say exactly, an exact half to the
// even neighbour.
inline constexpr std::int64_t kNumberSaturation = 1'000'000'000'000'000'000; // 10^18, the first of 19 digits
struct NumberRead {
    static constexpr std::size_t kNoFault = static_cast<std::size_t>(-1);
    std::int64_t value = 0;  // the rounded value, saturated at -kNumberSaturation..kNumberSaturation
    std::int64_t whole = 0;  // digits of the whole part from the first nonzero one, the exponent applied
    bool exponent = false;   // an exponent is written
    std::size_t fault_at = kNoFault; // where the trimmed text stops being a number; kNoFault for a number
};
// Reads a text with white space around it (text_space.hpp, the same as
// around a date).  The value is that of the text times 10^shift (the
// exponent moved by shift), so a number in a finer unit is read as whole
// seconds just as exactly.
NumberRead read_number(std::string_view text, std::int64_t shift = 0);
// Why read_number refused a text, for its message.
std::string number_fault(std::string_view text, const NumberRead& read);

constexpr bool fits_int32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

// Throws the refusal of a text that read_number read as no number (the
// conversion failure) or as one outside the 32-bit range (the overflow
// error; when its whole part is written out in as many digits as a time in
// a finer unit has, milliseconds, microseconds, nanoseconds or
// 100-nanosecond ticks, the report names that time).
[[noreturn]] void refuse_int32(std::string_view text, const NumberRead& read);

// Text -> signed 32-bit integer, a number as read_number reads it.
// Refuses any other text (a decimal comma too) and a rounded value outside
// the 32-bit range as refuse_int32 says.
inline std::int32_t parse_int32(std::string_view text) {
    const NumberRead read = read_number(text);
    if (read.fault_at != NumberRead::kNoFault || !fits_int32(read.value))
        refuse_int32(text, read);
    return static_cast<std::int32_t>(read.value);
}

// Signed 32-bit integer -> its decimal digits, "-" before a negative value.
std::string format_int32(std::int32_t value);

// Date serial -> "YYYY-MM-DD hh:mm:ss", the time of day rounded to the
// nearest second (an exact half second goes to the later one), written into
// a caller's buffer of kDateTextLength characters.  Throws the overflow
// error for a serial outside the date range.
void format_date_to(double serial, char* out);
// The same as a new text.
std::string format_date(double serial);

// The date check: a floating value -> the same value as a date serial.
// Throws the overflow error unless it lies in the date range (NaN does not).
double check_date(double value);

// Floating value -> nearest signed 32-bit integer, an exact half going to
// the even neighbour.  Throws the overflow error for NaN and for values
// whose rounding falls outside the 32-bit range.
std::int32_t round_to_int32(double value);

} // namespace kvix
