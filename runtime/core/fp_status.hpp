// The floating-point status around the calculations' formulas.
//
// The status is cleared right after each text-box read or write and tested
// right after each formula; invalid operation, division by zero and overflow
// raise the floating-point fault.  Inexact and underflow are not faults.
//
// On x86-64 with GCC or Clang the status is read and cleared in the
// registers directly: the formulas are double arithmetic, which x86-64 does
// in SSE, whose sticky flags live in MXCSR bits 0-5 (IE DE ZE OE UE PE).
// Reading MXCSR is what fetestexcept does for them, without the call and
// without also storing the x87 status word, which no double arithmetic of
// the program touches.  Clearing clears both units, as feclearexcept does
// (fnclex for the x87, the five standard MXCSR flags for SSE), at a fifth of
// its cost.
// Elsewhere the <cfenv> functions are used.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KVIX_FP_STATUS_MXCSR 1
#else
#define KVIX_FP_STATUS_MXCSR 0
#include <cfenv>
#endif

namespace kvix {

[[noreturn]] void raise_fp_fault();

namespace fp_detail {
#if KVIX_FP_STATUS_MXCSR
// MXCSR flag bits: IE 0x01, DE 0x02 (denormal operand, x86 only), ZE 0x04,
// OE 0x08, UE 0x10, PE 0x20 (inexact).
inline constexpr unsigned kAllFlags = 0x01 | 0x04 | 0x08 | 0x10 | 0x20; // all but DE
inline constexpr unsigned kFaultFlags = 0x01 | 0x04 | 0x08;             // IE, ZE, OE

inline unsigned read_mxcsr() noexcept {
    unsigned csr;
    asm volatile("stmxcsr %0" : "=m"(csr));
    return csr;
}
#endif
} // namespace fp_detail

inline void clear_fp_status() noexcept {
#if KVIX_FP_STATUS_MXCSR
    unsigned csr = fp_detail::read_mxcsr() & ~fp_detail::kAllFlags;
    // The memory clobber keeps the clear where it is written, before any
    // formula that follows.
    asm volatile("fnclex\n\tldmxcsr %0" : : "m"(csr) : "memory");
#else
    std::feclearexcept(FE_ALL_EXCEPT);
#endif
}

// Raises the floating-point fault if invalid operation, division by zero or
// overflow has been signalled since the last clear_fp_status().  `result` is
// the formula's value: taking it makes the test wait for the formula, so the
// compiler cannot move the arithmetic past the test.
inline void check_fp_status(double result) {
#if KVIX_FP_STATUS_MXCSR
    unsigned csr;
    asm volatile("stmxcsr %0" : "=m"(csr) : "x"(result));
    if ((csr & fp_detail::kFaultFlags) != 0) [[unlikely]]
        raise_fp_fault();
#else
    [[maybe_unused]] volatile double computed = result;
    if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0)
        raise_fp_fault();
#endif
}

} // namespace kvix
