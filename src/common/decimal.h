#pragma once
// Whole numbers as the decimal text the settings file and the key code lists hold, and as the
// hexadecimal digits the system names keyboard layouts with. Written out here rather than through
// std::to_wstring or swprintf, which link the C runtime's whole formatted-printing engine into the
// program (about 20 KB of a 250 KB executable) for what is a loop of divisions.
#include <cstdint>
#include <string>

namespace hkv {

inline std::wstring DecimalText(long long value) {
    wchar_t digits[24];
    wchar_t* end = digits + sizeof digits / sizeof digits[0];
    wchar_t* p = end;
    // Counted in the negative range, so that the most negative value needs no special case.
    long long rest = value < 0 ? value : -value;
    do {
        *--p = static_cast<wchar_t>(L'0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) {
        *--p = L'-';
    }
    return std::wstring(p, end);
}

// The value in upper-case hexadecimal digits, with leading zeros to at least `digits` of them.
inline std::wstring HexText(std::uint32_t value, std::size_t digits) {
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (; value != 0 || text.size() < digits; value >>= 4) {
        text.insert(text.begin(), kDigits[value & 0xF]);
    }
    return text;
}

} // namespace hkv
