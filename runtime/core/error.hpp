// Run-time errors: the one failure signal of the program.
//
// Every runtime operation that can refuse its input throws RuntimeError.
// Nothing in the calculations catches it; the click path of the window
// (FormBase, shared by the window layers) is the one place that does, and
// it reports the error to the user.  It takes any other exception there
// too, as an error of one of the last two kinds.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kvix {

enum class ErrorKind {
    ConversionFailure,  // a text that denotes no number or no date
    Overflow,           // a value outside the range of the type it goes to
    FloatingPointFault, // invalid operation, division by zero or overflow
    ControlCallFailed,  // a text box reported failure on read or write
    OutOfMemory,        // an allocation failed
    InternalError,      // any other exception: a fault of the program
};

// What a conversion was trying to read; decides the wording of a
// conversion failure ("Not a number" or "Not a date").
enum class Expected { Nothing, Number, Date };

class RuntimeError : public std::runtime_error {
public:
    // `refused` is the text (or value) that was refused; it is kept only in
    // shortened form, so a huge paste is never copied around.
    RuntimeError(ErrorKind kind, Expected expected, std::string_view refused,
                 std::string reason = {});

    ErrorKind kind() const noexcept { return kind_; }
    Expected expected() const noexcept { return expected_; }
    const std::string& refused() const noexcept { return refused_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    ErrorKind kind_;
    Expected expected_;
    std::string refused_;
    std::string reason_;
};

// The text of an error as the user reads it: a headline naming the kind in
// plain words, then lines saying what was refused and what would be accepted.
struct ErrorMessage {
    std::string headline;
    std::string details;
};
ErrorMessage describe_error(const RuntimeError& error);

// A text shortened for a message: at most about 60 characters, cut on
// UTF-8 character boundaries, with the total length named when cut.
std::string shorten_for_message(std::string_view text);

} // namespace kvix
