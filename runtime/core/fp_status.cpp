#include "fp_status.hpp"

#include "error.hpp"

namespace kvix {

void raise_fp_fault() {
    throw RuntimeError(ErrorKind::FloatingPointFault, Expected::Nothing, {});
}

} // namespace kvix
