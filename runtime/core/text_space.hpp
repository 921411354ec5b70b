// The classes of the bytes of a typed or pasted text, and the white space
// that may stand around what a box holds: the ASCII space, the controls
// tab to carriage return (0x09..0x0D), and the Unicode spaces that copied
// text brings (U+00A0 no-break space, U+2000..U+200A en quad to hair
// space, U+202F narrow no-break space, U+205F and U+3000).  The number and
// the date readers both take white space from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvix {

enum ByteClass : std::uint8_t { kByteOther, kByteSpace, kByteDigit, kByteLetter, kByteHigh };

// The class of each byte; bytes from 0x80 start or continue UTF-8 sequences.
inline constexpr struct ByteTable {
    ByteClass cls[256];
    constexpr ByteTable() : cls{} {
        for (int c = 0; c < 256; ++c)
            cls[c] = c == ' ' || (c >= '\t' && c <= '\r') ? kByteSpace
                     : c >= '0' && c <= '9'               ? kByteDigit
                     : (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? kByteLetter
                     : c >= 0x80                          ? kByteHigh
                                                          : kByteOther;
    }
} kByteTable;

constexpr ByteClass byte_class(char c) { return kByteTable.cls[static_cast<unsigned char>(c)]; }

// The bytes of the white space character that starts at text[i]: 1 for
// ASCII white space, 2 or 3 for a Unicode space in UTF-8, 0 for anything
// else (a broken sequence included).
constexpr std::size_t space_length(std::string_view text, std::size_t i) {
    const auto b = [&](std::size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
    };
    if (byte_class(text[i]) == kByteSpace)
        return 1;
    if (b(0) == 0xC2 && b(1) == 0xA0)
        return 2;
    const bool three = (b(0) == 0xE2 && b(1) == 0x80 && (b(2) <= 0x8A || b(2) == 0xAF) && b(2) >= 0x80) ||
                       (b(0) == 0xE2 && b(1) == 0x81 && b(2) == 0x9F) ||
                       (b(0) == 0xE3 && b(1) == 0x80 && b(2) == 0x80);
    return three ? 3 : 0;
}

// The text without the white space around it.
constexpr std::string_view trim_space(std::string_view s) {
    for (std::size_t n; !s.empty() && (n = space_length(s, 0)) != 0;)
        s.remove_prefix(n);
    // From the end: an ASCII space, or the two or three bytes of a Unicode
    // one, which ends in a byte from 0x80 on.
    while (!s.empty() && (byte_class(s.back()) == kByteSpace || byte_class(s.back()) == kByteHigh)) {
        const std::size_t size = s.size();
        const std::size_t n = byte_class(s.back()) == kByteSpace                  ? 1
                              : size >= 2 && space_length(s, size - 2) == 2 ? 2
                              : size >= 3 && space_length(s, size - 3) == 3 ? 3
                                                                            : 0;
        if (n == 0)
            break;
        s.remove_suffix(n);
    }
    return s;
}
static_assert(trim_space(" \t\xC2\xA0" "1\xE2\x80\xAF\n") == "1");

} // namespace kvix
