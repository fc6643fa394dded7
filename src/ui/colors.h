#pragma once
// The program's colours, as 0x00BBGGRR values (the layout of a Win32 COLORREF).
#include <cstdint>

namespace hkv::colors {

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(b) << 16);
}

// Window background of the main window and the editor, check boxes and column headings.
inline constexpr std::uint32_t kBackground = Rgb(213, 234, 245);
// Title strips, old-shortcut boxes, frame lines, the editor's add button.
inline constexpr std::uint32_t kAccent = Rgb(146, 201, 228);
// Text on the title strips and on the add button.
inline constexpr std::uint32_t kTitleText = Rgb(255, 255, 255);
// Text on the window background (check boxes, column headings) and in the old-shortcut boxes.
inline constexpr std::uint32_t kText = Rgb(0, 0, 0);
// Background of the hotkey controls.
inline constexpr std::uint32_t kHotkeyBack = Rgb(255, 224, 192);

} // namespace hkv::colors
