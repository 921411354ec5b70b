// Fuzz target for the number parser, parse_int32, and its inverse
// format_int32.
//
// Properties checked for every input:
// - the parser agrees with a slow reference below: same value, or the same
//   kind of refusal (not a number / overflow);
// - a value formats to its canonical text (no sign for zero or positives,
//   no leading zeros), which parses back to the same value;
// - the date text of the value (what the positive calculation writes)
//   parses back to the same second;
// - every refusal has a short, well-formed message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert.hpp"
#include "date_text.hpp"
#include "error.hpp"
#include "fuzz_support.hpp"

namespace {

using kvix_fuzz::check;

enum class Outcome { Value, NotANumber, Overflow };

struct Reference {
    Outcome outcome = Outcome::NotANumber;
    std::int64_t value = 0;
    std::string canonical; // the text format_int32 must give for value
};

// A sign, "+", "-" or U+2212 MINUS SIGN, taken off the front of t when
// one stands there: true for a minus.
bool take_sign(std::string_view& t) {
    if (t.starts_with("\u2212")) {
        t.remove_prefix(std::string_view("\u2212").size());
        return true;
    }
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        const bool minus = t.front() == '-';
        t.remove_prefix(1);
        return minus;
    }
    return false;
}

// The reference: white space around, one optional sign, then digits with
// at most one point among or around them (one digit at least), then an
// optional exponent: "e" or "E", an optional sign and digits; a sign is
// "+", "-" or U+2212.  The value
// is decided on digit strings of any length: the point is moved by the
// exponent within the digits padded with zeros, then the whole part is
// rounded by comparing the fraction's digits with a half, "5" and zeros,
// an exact half going to the even neighbour.
Reference reference_parse(std::string_view text) {
    Reference r;
    std::string_view t = kvix_fuzz::trim(text);
    const bool negative = take_sign(t);
    std::string digits;
    std::int64_t point_at = -1; // digits before the point; -1: no point
    std::size_t i = 0;
    for (; i < t.size(); ++i) {
        if (kvix_fuzz::is_digit(t[i]))
            digits += t[i];
        else if (t[i] == '.' && point_at < 0)
            point_at = static_cast<std::int64_t>(digits.size());
        else
            break;
    }
    if (digits.empty())
        return r;
    if (point_at < 0)
        point_at = static_cast<std::int64_t>(digits.size());
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        t.remove_prefix(i + 1);
        i = 0;
        const bool exponent_negative = take_sign(t);
        std::string exponent;
        for (; i < t.size() && kvix_fuzz::is_digit(t[i]); ++i)
            exponent += t[i];
        if (exponent.empty())
            return r;
        exponent.erase(0, exponent.find_first_not_of('0') == std::string::npos ? exponent.size() - 1
                                                                               : exponent.find_first_not_of('0'));
        // Beyond a million places every nonzero value has overflowed or
        // rounds to zero, as the checks below decide.
        const std::int64_t e = exponent.size() > 7 ? 10'000'000 : std::stoll(exponent);
        point_at += exponent_negative ? -e : e;
    }
    if (i != t.size())
        return r;
    const std::size_t first = digits.find_first_not_of('0');
    r.outcome = Outcome::Value;
    if (first == std::string::npos) {
        r.canonical = "0";
        return r;
    }
    digits.erase(0, first);
    point_at -= static_cast<std::int64_t>(first);
    if (point_at > 10) { // at least 10^10
        r.outcome = Outcome::Overflow;
        return r;
    }
    if (point_at < -2) { // below 0.01
        r.canonical = "0";
        return r;
    }
    if (point_at < 0) {
        digits.insert(0, static_cast<std::size_t>(-point_at), '0');
        point_at = 0;
    }
    if (static_cast<std::size_t>(point_at) > digits.size())
        digits.append(static_cast<std::size_t>(point_at) - digits.size(), '0');
    const std::string whole = digits.substr(0, static_cast<std::size_t>(point_at));
    const std::string fraction = digits.substr(static_cast<std::size_t>(point_at));
    std::int64_t magnitude = whole.empty() ? 0 : std::stoll(whole);
    if (!fraction.empty()) {
        const bool only_zeros_after = fraction.find_first_not_of('0', 1) == std::string::npos;
        if (fraction[0] > '5' || (fraction[0] == '5' && (!only_zeros_after || magnitude % 2 == 1)))
            ++magnitude;
    }
    if (magnitude > (negative ? 2147483648 : 2147483647)) {
        r.outcome = Outcome::Overflow;
        return r;
    }
    r.value = negative ? -magnitude : magnitude;
    r.canonical = std::to_string(r.value);
    return r;
}

const char* name_of(Outcome o) {
    switch (o) {
    case Outcome::Value: return "a value";
    case Outcome::NotANumber: return "not a number";
    case Outcome::Overflow: return "overflow";
    }
    return "?";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Reference ref = reference_parse(text);

    std::int32_t value = 0;
    try {
        value = kvix::parse_int32(text);
    } catch (const kvix::RuntimeError& e) {
        const Outcome got = e.kind() == kvix::ErrorKind::Overflow ? Outcome::Overflow
                                                                  : Outcome::NotANumber;
        check(got == ref.outcome, "parse_int32 agrees with the reference", text,
              std::string("parser: ") + name_of(got) + ", reference: " + name_of(ref.outcome));
        kvix_fuzz::check_refusal(e, text, kvix::Expected::Number, true);
        return 0;
    }
    check(ref.outcome == Outcome::Value && value == ref.value,
          "parse_int32 agrees with the reference", text,
          "parser: " + std::to_string(value) + ", reference: " + name_of(ref.outcome) + " " +
              std::to_string(ref.value));

    const std::string formatted = kvix::format_int32(value);
    check(formatted == ref.canonical, "format_int32 writes the canonical text", text,
          "wrote \"" + formatted + "\", expected \"" + ref.canonical + "\"");
    check(kvix::parse_int32(formatted) == value, "the formatted text parses to the same value",
          text, formatted);

    // The date text of that second, as the positive calculation makes it.
    const double serial = value / kvix::kSecondsPerDay + kvix::kUnixEpochSerial;
    const std::string date = kvix::format_date(kvix::check_date(serial));
    check(kvix::date::read_seconds(date, kvix::date::stopped_clock<0>) == value, "the date text of a value names the same second",
          text, date);
    return 0;
}
