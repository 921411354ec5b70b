// The one writer of two decimal digits, for the date text the program
// writes and for the dates and offsets its messages name.
#pragma once

#include <cstdint>

namespace kvix {

// Writes v, [0, 99], as two ASCII digits at out[0] and out[1]: "07".
constexpr void put_two_digits(char* out, std::uint32_t v) {
    out[0] = static_cast<char>('0' + v / 10);
    out[1] = static_cast<char>('0' + v % 10);
}

} // namespace kvix
