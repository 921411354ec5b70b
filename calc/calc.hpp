// The two calculations of the main window, each one straight sequence of
// steps from one box's text to the other box's text.
#pragma once

#include <cstdint>

#include "convert.hpp"
#include "date_text.hpp"
#include "fp_status.hpp"
#include "text_box.hpp"

namespace kvix {

// The text boxes of the main window that the calculations read and write.
struct MainFormBoxes {
    TextBox& txtInput;  // the Unix time, as decimal text
    TextBox& txtOutput; // the date text
};

// Unix time in txtInput -> date text in txtOutput.
void CalcPos(const MainFormBoxes& form);
// Date text in txtOutput -> Unix time in txtInput; `clock` says when "now" is.
void CalcNeg(const MainFormBoxes& form, date::Clock clock);

// The formula of each direction, followed by the floating-point test.
// u / 86400 + 25569: the date serial of Unix time u (a floating division, so
// the seconds of the day stay in the fraction).
inline double serial_of_unix_time(std::int32_t u) {
    const double serial = static_cast<double>(u) / kSecondsPerDay + kUnixEpochSerial;
    check_fp_status(serial);
    return serial;
}
// (serial - 25569) * 86400: the Unix time of a date serial, not yet rounded.
inline double unix_seconds_of_serial(double serial) {
    const double seconds = (serial - kUnixEpochSerial) * kSecondsPerDay;
    check_fp_status(seconds);
    return seconds;
}

} // namespace kvix
