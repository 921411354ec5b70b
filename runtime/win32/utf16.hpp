// Texts at the boundary of the Win32 API: UTF-8 inside the program, UTF-16
// in the windows.
#pragma once

#include <string>
#include <string_view>

namespace kvix {

// Invalid sequences become U+FFFD in either direction.
std::wstring utf16_of(std::string_view utf8);
std::string utf8_of(std::wstring_view utf16);

} // namespace kvix
