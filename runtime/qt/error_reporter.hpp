// How the user is told of a run-time error that no handler took.
#pragma once

class QWidget;

namespace kvix {

class RuntimeError;

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report(QWidget* window, const RuntimeError& error) = 0;
};

// The reporter in use: by default a modal message box titled with the
// window's title.  Tests put one of their own in place.
ErrorReporter& error_reporter();
// Puts `reporter` in place (nullptr restores the message box); returns the
// one it replaces.
ErrorReporter* set_error_reporter(ErrorReporter* reporter);

} // namespace kvix
