#include "hotkeyctl/hotkey_registration.h"

#include "hotkeyctl/modsubclass.h"

namespace hkv {
namespace {

// Every instance registers identifier 1: each does so on its own hotkey window.
constexpr int kHotKeyId = 1;

constexpr wchar_t kNotSetMessage[] = L"Not set hotkey";
constexpr wchar_t kAlreadyExistsMessage[] = L"Hotkey already exists, please change a hotkey.";
constexpr wchar_t kRefusalTitle[] = L"error";
constexpr UINT kRefusalStyle = MB_ICONHAND | MB_OK;

HWND CreateHotKeyWindow(HINSTANCE instance) {
    // An invisible, zero-sized, ownerless window of the system's dialog class, for messages only:
    // WM_HOTKEY reaches it all the same, while nothing outside the program sees it, and the
    // system spends less on it at start than on a top-level window.
    return CreateWindowExW(0, L"#32770", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                           nullptr);
}

HotKeyRegistration::WindowFactory g_windowFactory = &CreateHotKeyWindow;

// A message box runs its own message loop until the user answers it.
void ShowRefusal(HWND owner, const wchar_t* text, const std::function<void()>& beforeMessageBox) {
    if (beforeMessageBox) {
        beforeMessageBox();
    }
    MessageBoxW(owner, text, kRefusalTitle, kRefusalStyle);
}

} // namespace

HotKeyRegistration::~HotKeyRegistration() {
    // Destroying the window would free the registration too, but only once the system gets to it.
    if (enabled_ && suspensions_ == 0) {
        UnregisterOwnHotKey();
    }
}

void HotKeyRegistration::CreateWindowFor(Velmo& control) {
    window_.reset(g_windowFactory(GetModuleHandleW(nullptr)));
    if (window_) {
        modSubClass::HookHotKeyWindow(window_.get(), control);
    }
}

void HotKeyRegistration::Unhook() {
    if (window_) {
        modSubClass::UnhookHotKeyWindow(window_.get());
    }
}

bool HotKeyRegistration::Switch(bool enable, std::int32_t keyCode, std::int32_t modKeyCode,
                                HWND owner, const std::function<void()>& beforeMessageBox) {
    if (enable == enabled_) {
        return true;
    }
    if (!enable) {
        Disable();
        return true;
    }
    if (keyCode == 0) {
        ShowRefusal(owner, kNotSetMessage, beforeMessageBox);
        return true;
    }
    if (RegisterOwnHotKey(keyCode, modKeyCode)) {
        enabled_ = true;
        // Enabled again during a suspension: registering told whether the system takes the
        // combination; it is held back until the last Resume.
        if (suspensions_ > 0) {
            UnregisterOwnHotKey();
        }
        return true;
    }
    ShowRefusal(owner, kAlreadyExistsMessage, beforeMessageBox);
    return false;
}

bool HotKeyRegistration::EnableQuietly(std::int32_t keyCode, std::int32_t modKeyCode) {
    if (!enabled_ && keyCode != 0) {
        enabled_ = RegisterOwnHotKey(keyCode, modKeyCode);
    }
    return enabled_;
}

void HotKeyRegistration::Disable() {
    if (enabled_) {
        if (suspensions_ == 0) {
            UnregisterOwnHotKey();
        }
        enabled_ = false;
    }
}

bool HotKeyRegistration::Suspend() {
    if (!enabled_) {
        return false;
    }
    if (suspensions_++ == 0) {
        UnregisterOwnHotKey();
    }
    return true;
}

bool HotKeyRegistration::Resume(std::int32_t keyCode, std::int32_t modKeyCode) {
    if (suspensions_ == 0) {
        return enabled_;
    }
    if (--suspensions_ == 0 && enabled_) {
        // Another program may have taken the combination meanwhile.
        enabled_ = RegisterOwnHotKey(keyCode, modKeyCode);
    }
    return enabled_;
}

bool HotKeyRegistration::RegisterOwnHotKey(std::int32_t keyCode, std::int32_t modKeyCode) {
    // Without its window a registration would go to the thread and fire for no control. The
    // flags go as they are: a hotkey held down fires again at every repeat of its key, and plays
    // again, as a held key types again.
    return window_ && RegisterHotKey(window_.get(), kHotKeyId, static_cast<UINT>(modKeyCode),
                                     static_cast<UINT>(keyCode)) != FALSE;
}

void HotKeyRegistration::UnregisterOwnHotKey() {
    if (window_) {
        UnregisterHotKey(window_.get(), kHotKeyId);
    }
}

void HotKeyRegistration::SetWindowFactoryForTesting(WindowFactory factory) {
    g_windowFactory = factory ? factory : &CreateHotKeyWindow;
}

} // namespace hkv
