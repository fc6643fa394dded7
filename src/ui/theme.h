#pragma once
// The colours the windows draw with. Normally the program's own; while Windows' high-contrast mode
// is on, the system's, so that the user's chosen scheme is what they read: a fixed colour is never
// put beside a system one, where the two may clash.
#include <windows.h>

#include <array>

#include "common/win_handles.h"

namespace hkv::ui {

// What a colour is used for.
enum class ColorRole {
    Window,     // backgrounds: windows, check boxes, column headings
    WindowText, // text on them
    Accent,     // title strips, old-shortcut boxes, the add button, frame lines
    AccentText, // text and pictures on the title strips and on the add button
    BoxText,    // text in the old-shortcut boxes
    Count
};

// Whether Windows' high-contrast mode is on now: the one place the program asks.
bool HighContrastOn();
// What the system itself says, which HighContrastOn passes on (the program's test build can
// switch the mode on besides).
bool SystemHighContrastOn();

// The colour of a role now.
COLORREF ColorOf(ColorRole role);

// Brushes of the roles' colours now, for the window that paints with them. With high contrast on
// they are the system's own, which follow every change of the scheme; the program's fixed ones
// are made once.
class RoleBrushes {
  public:
    HBRUSH Brush(ColorRole role);

  private:
    std::array<UniqueBrush, static_cast<std::size_t>(ColorRole::Count)> fixed_;
};

// A window's answer to a change of the system's colours or of the mode (WM_SYSCOLORCHANGE,
// WM_SETTINGCHANGE, WM_THEMECHANGED): whether the message is one. Then RepaintForNewColors.
bool IsColorChange(UINT msg, WPARAM wParam);
// Tells the window's system controls (which keep colours of their own) and repaints it all now.
void RepaintForNewColors(HWND window);

} // namespace hkv::ui
