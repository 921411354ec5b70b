// The floating-point status around the calculations' formulas.
//
// The status is cleared right after each text-box read or write and tested
// right after each formula; invalid operation, division by zero and overflow
// raise the floating-point fault.  Inexact and underflow are not faults.
#pragma once

namespace kvix {

void clear_fp_status() noexcept;

// Raises the floating-point fault if invalid operation, division by zero or
// overflow has been signalled since the last clear_fp_status().
void check_fp_status();

[[noreturn]] void raise_fp_fault();

} // namespace kvix
