#include "fp_status.hpp"

#include <cfenv>

#include "error.hpp"

namespace kvix {

#if KVIX_FP_STATUS_MXCSR
// The MXCSR flags tested are the ones <cfenv> names: on x86-64 each FE_
// macro is the bit of its flag in MXCSR (and in the x87 status word).
static_assert(FE_INVALID == 0x01 && FE_DIVBYZERO == 0x04 && FE_OVERFLOW == 0x08);
static_assert(fp_detail::kFaultFlags == (FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW));
// FE_ALL_EXCEPT is the five standard flags; MinGW's also names x86's
// denormal-operand flag (0x02), which the clear leaves alone.
static_assert((fp_detail::kAllFlags | 0x02) == (FE_ALL_EXCEPT | 0x02));
#endif

void raise_fp_fault() {
    throw RuntimeError(ErrorKind::FloatingPointFault, Expected::Nothing, {});
}

} // namespace kvix
