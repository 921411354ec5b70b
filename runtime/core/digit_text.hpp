// Decimal digits as text, several at a time: the building blocks of the
// fast paths of the number and date conversions.
//
// Eight digits are handled as one 64-bit word whose bytes are the
// characters in text order (the first character in the lowest byte, the
// way a little-endian machine loads and stores them), with each step done
// in every lane of the word at once (SIMD within a register).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace kvix::digit_text {

// Two-digit groups "00".."99", for writing digits two at a time.
inline constexpr char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes v in [0, 99] as two digits.
inline void put2(char* out, std::uint32_t v) {
    std::memcpy(out, kDigitPairs + 2 * v, 2);
}

// v in [0, 99] as two digit characters in the low 16 bits, the first in the
// lowest byte.
inline std::uint64_t pair_bits(std::uint32_t v) {
    std::uint16_t w;
    std::memcpy(&w, kDigitPairs + 2 * v, 2);
    if constexpr (std::endian::native == std::endian::big)
        w = static_cast<std::uint16_t>(w << 8 | w >> 8);
    return w;
}

// Eight characters <-> a word whose lowest byte is the first character.
inline std::uint64_t load8(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap64(w);
    return w;
}
// Two characters -> the low 16 bits, the first in the lowest byte.
inline std::uint64_t load2(const char* p) {
    std::uint16_t w;
    std::memcpy(&w, p, 2);
    if constexpr (std::endian::native == std::endian::big)
        w = static_cast<std::uint16_t>(w << 8 | w >> 8);
    return w;
}
inline void store8(char* p, std::uint64_t w) {
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap64(w);
    std::memcpy(p, &w, 8);
}

// The same for four characters.
inline void store4(char* p, std::uint32_t w) {
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap32(w);
    std::memcpy(p, &w, 4);
}

inline constexpr std::uint64_t kEachByte = 0x0101010101010101;

// v in [0, 10^8) -> its eight digits, leading zeros included, as characters.
// Splits v into halves of four digits in 32-bit lanes, those into pairs in
// 16-bit lanes, those into digits in bytes, each split a multiply-and-shift
// quotient and a remainder in all lanes at once:
//   q / 100 = (q * 10486) >> 20 for q < 10^4 (10486 / 2^20 exceeds 1/100 by
//   2.3e-7, and q * 2.3e-7 < 1/100, the least room below the next whole);
//   q / 10 = (q * 103) >> 10 for q < 100 (103 / 2^10 exceeds 1/10 by
//   5.9e-4, and q * 5.9e-4 < 1/10).
// No lane's product reaches into the next lane, so no carry crosses.
inline std::uint64_t eight_digits(std::uint32_t v) {
    const std::uint64_t halves = (v / 10000) | (std::uint64_t{v % 10000} << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007F;
    const std::uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000F;
    const std::uint64_t digits = tens | ((pairs - tens * 10) << 8);
    return digits + '0' * kEachByte;
}

// "hh:mm:" for every minute of the day, [0, 1440), as a word whose last two
// bytes are left for the seconds.
inline constexpr auto kClockMinutes = [] {
    struct Table {
        std::uint64_t word[24 * 60];
    } t{};
    for (std::uint32_t m = 0; m < 24 * 60; ++m) {
        const std::uint32_t h = m / 60, mi = m % 60;
        const unsigned char bytes[6] = {static_cast<unsigned char>('0' + h / 10), static_cast<unsigned char>('0' + h % 10), ':',
                                        static_cast<unsigned char>('0' + mi / 10), static_cast<unsigned char>('0' + mi % 10), ':'};
        std::uint64_t w = 0;
        for (int i = 0; i < 6; ++i)
            w |= std::uint64_t{bytes[i]} << (std::endian::native == std::endian::little ? 8 * i : 56 - 8 * i);
        t.word[m] = w;
    }
    return t;
}();

// Whether every byte of w is a digit character '0'..'9' (0x30..0x39): the
// high nibble must be 3, and adding 6 must not carry out of the low nibble.
// A byte of 0xFA or more may carry into the next byte, but has a high
// nibble of F and fails by itself.
inline bool all_digits8(std::uint64_t w) {
    return ((w & (0xF0 * kEachByte)) | (((w + 0x06 * kEachByte) & (0xF0 * kEachByte)) >> 4)) ==
           0x33 * kEachByte;
}

// Eight digit characters (all_digits8 holds) -> their value, [0, 10^8):
// pairs of digits into 16-bit lanes, pairs of pairs into 32-bit lanes, then
// the two halves.  Every lane value stays below its lane's limit (99 * 10 +
// 9, 99 * 100 + 99, 9999 * 10^4 + 9999), so no carry crosses.
inline std::uint32_t value_of_eight_digits(std::uint64_t w) {
    w -= '0' * kEachByte;
    w = (w * 10 + (w >> 8)) & 0x00FF00FF00FF00FF;
    w = (w * 100 + (w >> 16)) & 0x0000FFFF0000FFFF;
    w = (w * 10000 + (w >> 32)) & 0xFFFFFFFF;
    return static_cast<std::uint32_t>(w);
}

} // namespace kvix::digit_text
