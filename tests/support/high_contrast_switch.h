#pragma once
// High contrast for the tests. The test build of the program draws as in high contrast while a
// file of this name lies beside it: the test system reports the mode off and cannot turn it on.
#include <windows.h>

#include <algorithm>
#include <iterator>

namespace hkv::test {

inline constexpr wchar_t kHighContrastFile[] = L"high_contrast.on";

// The colours the program draws with in high contrast, and their values in Windows' dark scheme.
inline constexpr int kSchemeColors[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                        COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT};
inline constexpr COLORREF kDarkScheme[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255),
                                           RGB(0, 0, 0), RGB(63, 242, 63)};

// The dark scheme while it lives, for every program started meanwhile (Wine gives a program the
// colours set before it starts); the colours before it afterwards.
class DarkScheme {
  public:
    DarkScheme() {
        std::transform(std::begin(kSchemeColors), std::end(kSchemeColors), saved_, GetSysColor);
        SetSysColors(static_cast<int>(std::size(saved_)), kSchemeColors, kDarkScheme);
    }
    ~DarkScheme() { SetSysColors(static_cast<int>(std::size(saved_)), kSchemeColors, saved_); }
    DarkScheme(const DarkScheme&) = delete;
    DarkScheme& operator=(const DarkScheme&) = delete;

  private:
    COLORREF saved_[std::size(kSchemeColors)] = {};
};

} // namespace hkv::test
