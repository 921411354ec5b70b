#include "utf16.hpp"

#include <windows.h>

#include <stdexcept>

namespace kvix {
namespace {

// The Win32 conversions count in int.
int length_of(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("text too long to convert");
    return static_cast<int>(size);
}

} // namespace

std::wstring utf16_of(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int in = length_of(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, out.data(), n);
    return out;
}

std::string utf8_of(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    const int in = length_of(utf16.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace kvix
