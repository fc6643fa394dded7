#pragma once
// A control's hidden hotkey window, the system-wide registration made on it, and the refusals the
// user is told about.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "common/win_handles.h"

namespace hkv {

class Velmo;

class HotKeyRegistration {
  public:
    // Makes the hidden window that a registration names.
    using WindowFactory = HWND (*)(HINSTANCE instance);

    HotKeyRegistration() = default;
    // Unregisters, then destroys the window.
    ~HotKeyRegistration();
    HotKeyRegistration(const HotKeyRegistration&) = delete;
    HotKeyRegistration& operator=(const HotKeyRegistration&) = delete;

    // Creates the hotkey window and hooks it to the control (loading in user mode only).
    void CreateWindowFor(Velmo& control);
    // Puts the window's own procedure back (termination, before the edit box's).
    void Unhook();

    HWND Window() const { return window_.get(); }
    bool Enabled() const { return enabled_; }

    // Writing HotKeyEnabled. Enabling without a captured key, or a combination the system refuses,
    // shows a message box owned by `owner`, after calling beforeMessageBox (if any). Returns false
    // when the system refused the combination (another program or control holds it): the caller
    // then clears the capture, so that the user must press a new one.
    [[nodiscard]] bool Switch(bool enable, std::int32_t keyCode, std::int32_t modKeyCode,
                              HWND owner, const std::function<void()>& beforeMessageBox = {});
    // Registers without any message box: false, with nothing shown, when there is no key or the
    // system refuses. True when already enabled.
    bool EnableQuietly(std::int32_t keyCode, std::int32_t modKeyCode);
    // Unregisters if registered; never refused.
    void Disable();

    // For the length of a playback whose keys would set it off, or while a hotkey box has the
    // focus: unregistered, still enabled. Suspensions nest; each one that returned true is ended
    // by one Resume. False when there was nothing to suspend.
    bool Suspend();
    // Ends one suspension; the last one registers the hotkey again, unless it was disabled
    // meanwhile. Returns whether it is still enabled: not when it was disabled, nor when the
    // system refuses (another program took the combination meanwhile).
    bool Resume(std::int32_t keyCode, std::int32_t modKeyCode);

    // Tests simulate a window that cannot be created; nullptr restores the real factory.
    static void SetWindowFactoryForTesting(WindowFactory factory);

  private:
    bool RegisterOwnHotKey(std::int32_t keyCode, std::int32_t modKeyCode);
    void UnregisterOwnHotKey();

    UniqueWindow window_;
    bool enabled_ = false; // never stored: false after every start
    // Suspensions not yet resumed. Registered exactly while enabled and none is left; disabling
    // keeps the count, since each suspension still gets its Resume.
    int suspensions_ = 0;
};

} // namespace hkv
