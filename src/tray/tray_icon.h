#pragma once
// The program's icon in the notification area, from start-up to exit.
#include <windows.h>

#include <shellapi.h>

namespace hkv {

// Notifications from the icon arrive at the owner as this message, with the mouse message the
// icon received in the low word of lParam. A message of the program's own: a real mouse move over
// the window (whose x coordinate reaches 514 or 517 on a window wider than that, as at 133 %
// scaling) must never pass for a click on the icon.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 0x100;
// Sent to every top-level window when the taskbar is created anew (the shell restarted, or came
// up after the program at sign-in): its icons are gone and must be added again.
inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
inline constexpr wchar_t kTrayTip[] = L"Brevin Hotkey Veridir";

class TrayIcon {
  public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon; the record is kept, unchanged, for adding it again and for the removal.
    void Add(HWND owner, HICON icon);
    // Adds the icon again with the same record, after the taskbar was re-created (an icon still
    // shown is left as it is). Nothing once the icon has been removed.
    void AddAgain();
    // Removes the icon added before; nothing when none was added.
    void Remove();

  private:
    NOTIFYICONDATAW data_{};
    bool added_ = false;
};

} // namespace hkv
