#pragma once
// cd: a window that is never shown; it owns the tray's popup menu and handles its items.
#include <windows.h>

#include <functional>

#include "common/win_handles.h"
#include "ui/window_base.h"

namespace hkv {

// The item that arms the program's start at sign-in, in the tray menu and the window menu.
inline constexpr wchar_t kSignInStartText[] = L"登录时自动启动";

struct TrayMenuActions {
    std::function<void()> Show; // "显示"
    // kSignInStartText: whether it shows checked, asked each time the menu opens; its click.
    std::function<bool()> SignInStartArmed;
    std::function<void()> SignInStartClick;
    std::function<void()> Exit; // "退出"
    // Runs before "关于 Velmo Change Hotkey" hands the product page to the shell, which may show
    // a dialog of its own first (no browser chosen yet, a security prompt) and wants COM entered
    // on this thread.
    std::function<void()> BeforeShell;
};

class CdWindow : public ui::WindowBase {
  public:
    explicit CdWindow(TrayMenuActions actions);
    ~CdWindow() override;

    bool Create();
    // Opens the menu at the point of the screen (the pointer, or the icon when asked from the
    // keyboard); returns when it has closed (and the chosen item has run).
    void PopupMenuAt(POINT screen);

    // Menu item ids, for tests that pick them.
    static constexpr UINT kShowId = 1;
    static constexpr UINT kAchId = 2;
    static constexpr UINT kExitId = 3;
    static constexpr UINT kSignInStartId = 4;
    // The window's one button, never seen: the window is never shown.
    static constexpr int kCommand1Id = 1;

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    TrayMenuActions actions_;
    UniqueMenu menuBar_; // "cd" with its items; the tray shows its first submenu
};

} // namespace hkv
