#pragma once
// Items of the program's own in a window's system menu (Alt + Space), after the system's: what the
// title strip's pictures do, reached from the keyboard.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace hkv::ui {

struct WindowMenuItem {
    std::wstring text;
    std::function<void()> action;
    // For an item with a check: whether it is checked, asked each time the menu opens.
    std::function<bool()> checked = {};
};

class WindowMenuItems {
  public:
    // Adds the items, behind a separator, to the window's system menu.
    void Add(HWND window, std::vector<WindowMenuItem> items);
    // The window's WM_SYSCOMMAND: true when it chose one of the items, whose action has then run.
    bool OnSysCommand(WPARAM command) const;
    // The window's WM_INITMENUPOPUP: the system menu opening sets the items' checks.
    void OnInitMenuPopup(WPARAM menu, LPARAM lParam) const;

  private:
    std::vector<WindowMenuItem> items_;
};

} // namespace hkv::ui
