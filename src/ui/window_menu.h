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
};

class WindowMenuItems {
  public:
    // Adds the items, behind a separator, to the window's system menu.
    void Add(HWND window, std::vector<WindowMenuItem> items);
    // The window's WM_SYSCOMMAND: true when it chose one of the items, whose action has then run.
    bool OnSysCommand(WPARAM command) const;

  private:
    std::vector<WindowMenuItem> items_;
};

} // namespace hkv::ui
