#include "error.hpp"

#include <cstddef>
#include <utility>

namespace kvix {
namespace {

constexpr std::size_t kMaxShown = 60;  // bytes a refused text may show whole
constexpr std::size_t kHeadShown = 40; // bytes kept from its start when cut
constexpr std::size_t kTailShown = 12; // and from its end

constexpr std::string_view kRangeLine =
    "Unix times go from -2147483648 to 2147483647, that is from "
    "1901-12-13 20:45:52 to 2038-01-19 03:14:07 UTC.";

std::string_view headline_of(ErrorKind kind, Expected expected) {
    switch (kind) {
    case ErrorKind::ConversionFailure:
        return expected == Expected::Date ? "Not a date" : "Not a number";
    case ErrorKind::Overflow: return "Overflow";
    case ErrorKind::FloatingPointFault: return "Floating-point fault";
    case ErrorKind::ControlCallFailed: return "Control call failed";
    case ErrorKind::OutOfMemory: return "Not enough memory";
    case ErrorKind::InternalError: return "Internal error";
    }
    return "Error";
}

std::string_view accepted_line(const RuntimeError& e) {
    switch (e.kind()) {
    case ErrorKind::ConversionFailure:
        if (e.expected() == Expected::Date)
            return "Enter a UTC date and time such as 2038-01-19 03:14:07, from "
                   "1901-12-13 20:45:52 to 2038-01-19 03:14:07 (Unix times "
                   "-2147483648 to 2147483647).";
        return "Enter a number of seconds from -2147483648 to 2147483647 "
               "(1901-12-13 20:45:52 to 2038-01-19 03:14:07 UTC), such as 1700000000; "
               "a fraction is rounded to the nearest second.";
    case ErrorKind::Overflow: return kRangeLine;
    case ErrorKind::FloatingPointFault:
    case ErrorKind::ControlCallFailed:
    case ErrorKind::OutOfMemory:
    case ErrorKind::InternalError: return "Both boxes are unchanged.";
    }
    return {};
}

bool is_continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string shorten_for_message(std::string_view text) {
    if (text.size() <= kMaxShown)
        return std::string(text);
    std::size_t head = kHeadShown;
    while (head > 0 && is_continuation(text[head]))
        --head;
    std::size_t tail = text.size() - kTailShown;
    while (tail < text.size() && is_continuation(text[tail]))
        ++tail;
    std::size_t characters = 0;
    for (char c : text)
        characters += is_continuation(c) ? 0 : 1;
    return std::string(text.substr(0, head)) + "\xE2\x80\xA6" + std::string(text.substr(tail)) + " (" +
           std::to_string(characters) + " characters)"; // U+2026, an ellipsis, between head and tail
}

RuntimeError::RuntimeError(ErrorKind kind, Expected expected,
                           std::string_view refused, std::string reason)
    : std::runtime_error(std::string(headline_of(kind, expected))), kind_(kind),
      expected_(expected), refused_(shorten_for_message(refused)),
      reason_(std::move(reason)) {}

ErrorMessage describe_error(const RuntimeError& e) {
    ErrorMessage m;
    m.headline = std::string(headline_of(e.kind(), e.expected()));
    std::string& d = m.details;
    if (!e.refused().empty() && (e.kind() == ErrorKind::ConversionFailure ||
                                 e.kind() == ErrorKind::Overflow)) {
        d += "Refused: \u201C" + e.refused() + "\u201D\n";
    }
    if (!e.reason().empty())
        d += e.reason() + '\n';
    d += accepted_line(e);
    return m;
}

} // namespace kvix
