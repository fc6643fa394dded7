#pragma once
// The program's icon in the notification area, from start-up to exit.
#include <windows.h>

#include <shellapi.h>

namespace hkv {

// Notifications from the icon arrive at the owner as this message, with the mouse message the
// icon received in the low word of lParam. The main window shares the mouse-move message with
// its own surface, as it always has.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
inline constexpr wchar_t kTrayTip[] = L"Brevin Hotkey Veridir";

class TrayIcon {
  public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon; the record is kept, unchanged, for the removal.
    void Add(HWND owner, HICON icon);
    // Removes the icon added before; nothing when none was added.
    void Remove();

  private:
    NOTIFYICONDATAW data_{};
    bool added_ = false;
};

} // namespace hkv
