#include "fp_status.hpp"

#include <cfenv>

#include "error.hpp"

namespace kvix {

#if KVIX_FP_STATUS_MXCSR
// The MXCSR flags tested are the ones <cfenv> names: on x86-64 each FE_
// macro is the bit of its flag in MXCSR (and in the x87 status word).
static_assert(FE_INVALID == 0x01 && FE_DIVBYZERO == 0x04 && FE_OVERFLOW == 0x08);
static_assert(fp_detail::kFaultFlags == (FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW));
static_assert(fp_detail::kAllFlags == FE_ALL_EXCEPT);
#endif

void raise_fp_fault() {
    throw RuntimeError(ErrorKind::FloatingPointFault, Expected::Nothing, {});
}

} // namespace kvix
