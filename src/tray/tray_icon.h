#pragma once
// The program's icon in the notification area, from start-up to exit.
#include <windows.h>

#include <shellapi.h>

namespace hkv {

// Notifications from the icon arrive at the owner as this message, with the mouse message or the
// selection the icon received in the low word of lParam and the icon's place in wParam
// (tray/tray_events.h reads them). A message of the program's own: a real mouse move over
// the window (whose x coordinate reaches 514 or 517 on a window wider than that, as at 133 %
// scaling) must never pass for a click on the icon.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 0x100;
// Sent to every top-level window when the taskbar is created anew (the shell restarted, or came
// up after the program at sign-in): its icons are gone and must be added again.
inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
inline constexpr wchar_t kTrayTip[] = L"Brevin Hotkey Veridir";

// While the shell refuses the icon (it is still starting at sign-in, or too busy to answer in
// time) the add is tried again at this interval: seldom enough never to keep an idle program
// awake, soon enough that the icon, the only way back to a hidden window, is not missed for long.
inline constexpr UINT kTrayRetryIntervalMs = 15000;
// Tries after which the icon waits for the shell's own announcement (kTaskbarCreatedMessage), which
// starts them over: ten minutes.
inline constexpr int kTrayRetryAttempts = 40;
// The owner's timer that brings the retries; the owner hands its WM_TIMER to OnTimer.
inline constexpr UINT_PTR kTrayRetryTimerId = 0x7259;

class TrayIcon {
  public:
    explicit TrayIcon(UINT retryIntervalMs = kTrayRetryIntervalMs)
        : retryIntervalMs_(retryIntervalMs) {}
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon; the record is kept, unchanged, for adding it again and for the removal. Lets
    // the taskbar's announcement through to the owner even when the program runs elevated. When
    // the shell refuses the icon, retries on the owner's timer until it takes it.
    void Add(HWND owner, HICON icon);
    // Adds the icon again with the same record, after the taskbar was re-created (an icon still
    // shown is left as it is). Nothing once the icon has been removed.
    void AddAgain();
    // The owner's WM_TIMER; true when it was the retry timer's.
    bool OnTimer(UINT_PTR timerId);
    // Removes the icon added before; nothing when none was added.
    void Remove();
    // After the icon's menu, opened from the keyboard, ended with nothing chosen that takes the
    // focus: the focus goes back to the notification area, on the icon.
    void GiveFocusBack();
    // Whether the shell has taken the icon.
    bool Shown() const { return shown_; }

  private:
    void TryAdd();

    const UINT retryIntervalMs_;
    NOTIFYICONDATAW data_{};
    bool added_ = false;
    bool shown_ = false;
    int triesLeft_ = 0;
};

} // namespace hkv
