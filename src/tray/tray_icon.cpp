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
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kTrayCallbackMessage;
    data_.hIcon = icon;
    wcsncpy(data_.szTip, kTrayTip, std::size(data_.szTip) - 1);
    Shell_NotifyIconW(NIM_ADD, &data_);
    added_ = true;
}

void TrayIcon::AddAgain() {
    if (added_) {
        Shell_NotifyIconW(NIM_ADD, &data_);
    }
}

void TrayIcon::Remove() {
    if (!added_) {
        return;
    }
    Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
}

} // namespace hkv
