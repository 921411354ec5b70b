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

// The reference: white space around, one optional sign, then one or more
// ASCII digits.  The value is decided on the digit string itself, of any
// length: after the leading zeros are dropped, a longer string is a larger
// number, and strings of equal length compare as text.
Reference reference_parse(std::string_view text) {
    Reference r;
    std::string_view t = kvix_fuzz::trim(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty())
        return r;
    for (char c : t)
        if (!kvix_fuzz::is_digit(c))
            return r;
    while (t.size() > 1 && t.front() == '0')
        t.remove_prefix(1);
    const std::string_view limit = negative ? "2147483648" : "2147483647";
    if (t.size() > limit.size() || (t.size() == limit.size() && t > limit)) {
        r.outcome = Outcome::Overflow;
        return r;
    }
    r.outcome = Outcome::Value;
    for (char c : t) // at most 10 digits now
        r.value = r.value * 10 + (c - '0');
    if (negative)
        r.value = -r.value;
    r.canonical = (negative && r.value != 0 ? "-" : "") + std::string(t);
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
