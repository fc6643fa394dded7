#include "tray/tray_icon.h"

#include <cwchar>
#include <iterator>

namespace hkv {

void TrayIcon::Add(HWND owner, HICON icon) {
    data_ = {};
    data_.cbSize = sizeof data_;
    data_.hWnd = owner;
    // The icon's handle doubles as its id: one icon per window, and the removal names the same.
    data_.uID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(icon));
    // The keyboard's version below hides the system's tooltip unless the icon asks for it.
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data_.uCallbackMessage = kTrayCallbackMessage;
    data_.hIcon = icon;
    wcsncpy(data_.szTip, kTrayTip, std::size(data_.szTip) - 1);
    // The icon works from the keyboard as the system's own do: it reports a selection with Enter
    // or Space and asks for its menu (Shift + F10, the menu key) at its own place.
    data_.uVersion = NOTIFYICON_VERSION_4;
    // An elevated program receives registered messages from the shell only when it asks to.
    ChangeWindowMessageFilterEx(owner, RegisterWindowMessageW(kTaskbarCreatedMessage), MSGFLT_ALLOW,
                                nullptr);
    added_ = true;
    triesLeft_ = kTrayRetryAttempts;
    TryAdd();
}

void TrayIcon::AddAgain() {
    if (added_) {
        triesLeft_ = kTrayRetryAttempts;
        TryAdd();
    }
}

bool TrayIcon::OnTimer(UINT_PTR timerId) {
    if (timerId != kTrayRetryTimerId) {
        return false;
    }
    if (added_) { // a tick queued before the removal does nothing
        TryAdd();
    }
    return true;
}

void TrayIcon::TryAdd() {
    // A refused add may also mean that the shell shows the icon already (an announcement of a
    // taskbar that kept it): changing it to the same record then succeeds.
    shown_ = Shell_NotifyIconW(NIM_ADD, &data_) || Shell_NotifyIconW(NIM_MODIFY, &data_);
    if (shown_) {
        // Asked for every icon the shell takes: a new taskbar knows nothing of the last one's.
        Shell_NotifyIconW(NIM_SETVERSION, &data_);
    }
    if (shown_ || triesLeft_ == 0) {
        KillTimer(data_.hWnd, kTrayRetryTimerId);
        return;
    }
    --triesLeft_;
    // Replaces a running timer with the same interval: a try between two ticks does not add one.
    SetTimer(data_.hWnd, kTrayRetryTimerId, retryIntervalMs_, nullptr);
}

void TrayIcon::GiveFocusBack() {
    if (shown_) {
        Shell_NotifyIconW(NIM_SETFOCUS, &data_);
    }
}

void TrayIcon::Remove() {
    if (!added_) {
        return;
    }
    KillTimer(data_.hWnd, kTrayRetryTimerId);
    Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
    shown_ = false;
}

} // namespace hkv
