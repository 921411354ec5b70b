// The floating-point status around the calculations' formulas.
//
// The status is cleared right after each text-box read or write and tested
// right after each formula; invalid operation, division by zero and overflow
// raise the floating-point fault.  Inexact and underflow are not faults.
#pragma once

#include <cfenv>

namespace kvix {

[[noreturn]] void raise_fp_fault();

inline void clear_fp_status() noexcept { std::feclearexcept(FE_ALL_EXCEPT); }

// Raises the floating-point fault if invalid operation, division by zero or
// overflow has been signalled since the last clear_fp_status().  `result` is
// the formula's value: storing it where the compiler must write it makes the
// formula finish before the test.
inline void check_fp_status(double result) {
    [[maybe_unused]] volatile double computed = result;
    if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0)
        raise_fp_fault();
}

} // namespace kvix
