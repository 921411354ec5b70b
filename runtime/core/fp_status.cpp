#include "fp_status.hpp"

#include <cfenv>

#include "error.hpp"

namespace kvix {

void clear_fp_status() noexcept { std::feclearexcept(FE_ALL_EXCEPT); }

void check_fp_status() {
    if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0)
        raise_fp_fault();
}

void raise_fp_fault() {
    throw RuntimeError(ErrorKind::FloatingPointFault, Expected::Nothing, {});
}

} // namespace kvix
