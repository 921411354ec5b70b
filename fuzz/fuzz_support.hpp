// What the fuzz targets share: how a broken property is reported, a UTF-8
// check, and the checks every refusal must pass.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "error.hpp"

namespace kvix_fuzz {

// The white space both parsers trim from both ends: the six characters
// that isspace() accepts in the C locale (never a locale's own), and the
// Unicode spaces copied text brings, in UTF-8: U+00A0, U+2000..U+200A,
// U+202F, U+205F, U+3000.
constexpr std::string_view kSpaces[] = {
    " ", "\t", "\n", "\r", "\v", "\f", "\u00A0", "\u2000", "\u2001", "\u2002", "\u2003",
    "\u2004", "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200A", "\u202F", "\u205F", "\u3000"};
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

inline std::string_view trim(std::string_view s) {
    for (bool cut = true; cut;) {
        cut = false;
        for (const std::string_view sp : kSpaces) {
            if (s.starts_with(sp)) {
                s.remove_prefix(sp.size());
                cut = true;
            }
            if (s.ends_with(sp)) {
                s.remove_suffix(sp.size());
                cut = true;
            }
        }
    }
    return s;
}

// Prints the broken property and the input (printable ASCII as is, every
// other byte as \xHH), then aborts so that the fuzzer keeps the input.
[[noreturn]] inline void fail(std::string_view property, std::string_view input,
                              std::string_view detail = {}) {
    std::fprintf(stderr, "PROPERTY BROKEN: %.*s\n  input (%zu bytes): \"",
                 static_cast<int>(property.size()), property.data(), input.size());
    for (std::size_t i = 0; i < input.size() && i < 400; ++i) {
        const auto b = static_cast<unsigned char>(input[i]);
        if (b >= 0x20 && b < 0x7F && b != '\\' && b != '"')
            std::fputc(b, stderr);
        else
            std::fprintf(stderr, "\\x%02X", b);
    }
    std::fprintf(stderr, "%s\"\n", input.size() > 400 ? "..." : "");
    if (!detail.empty())
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void check(bool ok, std::string_view property, std::string_view input,
                  std::string_view detail = {}) {
    if (!ok)
        fail(property, input, detail);
}

// Well-formed UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing
// above U+10FFFF, no stray continuation bytes.
inline bool is_valid_utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        std::size_t n;
        unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b0 < 0x80) { ++i; continue; }
        else if (b0 >= 0xC2 && b0 <= 0xDF) n = 1;
        else if (b0 >= 0xE0 && b0 <= 0xEF) { n = 2; if (b0 == 0xE0) lo = 0xA0; if (b0 == 0xED) hi = 0x9F; }
        else if (b0 >= 0xF0 && b0 <= 0xF4) { n = 3; if (b0 == 0xF0) lo = 0x90; if (b0 == 0xF4) hi = 0x8F; }
        else return false;
        if (i + n >= s.size()) // the character runs past the end
            return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF))
                return false;
        }
        i += n + 1;
    }
    return true;
}

// The most a message may hold, whatever was refused: a headline, a shortened
// refused text, a reason and a line on what is accepted.  The longest
// reason quotes a shortened text and lists the zone names read (about 330
// bytes).
inline constexpr std::size_t kMaxMessageBytes = 1024;

// Every refusal: the expected kinds only, the headline that names the kind,
// a message of bounded size whatever the input's size, and well-formed
// UTF-8 whenever the input was (a window box always gives well-formed text).
inline void check_refusal(const kvix::RuntimeError& e, std::string_view input,
                          kvix::Expected expected, bool overflow_allowed) {
    using kvix::ErrorKind;
    check(e.expected() == expected, "a refusal names what was expected", input);
    check(e.kind() == ErrorKind::ConversionFailure ||
              (overflow_allowed && e.kind() == ErrorKind::Overflow),
          "a refusal is a conversion failure or an overflow", input, e.what());
    const kvix::ErrorMessage m = kvix::describe_error(e);
    const std::string_view headline =
        e.kind() == ErrorKind::Overflow
            ? "Overflow"
            : (expected == kvix::Expected::Date ? "Not a date" : "Not a number");
    check(m.headline == headline, "the headline names the kind", input, m.headline);
    check(m.details.size() <= kMaxMessageBytes, "a message is short whatever the input",
          input, "details are " + std::to_string(m.details.size()) + " bytes");
    if (is_valid_utf8(input))
        check(is_valid_utf8(m.headline) && is_valid_utf8(m.details),
              "the message of a well-formed text is well-formed UTF-8", input, m.details);
}

} // namespace kvix_fuzz
