#pragma once
// Whole numbers as the decimal text the settings file and the key code lists hold. Written out
// here rather than through std::to_wstring, which links the C runtime's whole formatted-printing
// engine into the program (about 20 KB of a 250 KB executable) for what is a loop of divisions.
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

} // namespace hkv
