#pragma once
// High contrast for the tests. The test build of the program draws as in high contrast while a
// file of this name lies beside it: the test system reports the mode off and refuses to turn it
// on. The colours are set as a scheme sets them, for every program started afterwards (Wine gives
// a program the colours set before it starts, not those set while it runs).
#include <windows.h>

#include <iterator>

namespace hkv::test {

inline constexpr wchar_t kHighContrastFile[] = L"high_contrast.on";

// The colours the program draws with in high contrast, and Windows' dark scheme's values of them.
inline constexpr int kSchemeColors[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                        COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT};
inline constexpr COLORREF kDarkScheme[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255),
                                           RGB(0, 0, 0), RGB(63, 242, 63)};

// The dark scheme while it lives; the colours before it afterwards.
class DarkScheme {
  public:
    DarkScheme() {
        for (std::size_t i = 0; i < std::size(kSchemeColors); ++i) {
            saved_[i] = GetSysColor(kSchemeColors[i]);
        }
        Set(kDarkScheme);
    }
    ~DarkScheme() { Set(saved_); }
    DarkScheme(const DarkScheme&) = delete;
    DarkScheme& operator=(const DarkScheme&) = delete;

  private:
    static void Set(const COLORREF* colors) {
        SetSysColors(static_cast<int>(std::size(kSchemeColors)), kSchemeColors, colors);
    }
    COLORREF saved_[std::size(kSchemeColors)] = {};
};

} // namespace hkv::test
