#pragma once
// Real input through SendInput with a person's timing: a click with a moment between press and
// release, a hotkey held a little while; a click only once its window takes input.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/user_input.h"
#include "support/win_test_util.h"

namespace hkv::test {

// A key as a keyboard sends it: Shift, Ctrl and Alt named by the code for both sides as their left
// keys (a keyboard never sends that code), each key with its scan code; the right keys
// (VK_RCONTROL, VK_RMENU: AltGr, VK_RSHIFT) as they are, with the extended flag where a keyboard
// sets it. What the focused window receives names the key for both sides all the same.
// KeyboardInput::Send sends a code as it is given.
inline WORD AsSent(WORD vk) {
    return vk == VK_SHIFT     ? VK_LSHIFT
           : vk == VK_CONTROL ? VK_LCONTROL
           : vk == VK_MENU    ? VK_LMENU
                              : vk;
}

inline void SendKey(WORD vk, bool up) {
    KeyboardInput::Send(AsSent(vk), up ? KEYEVENTF_KEYUP : 0);
}

// A key pressed and let go at once.
inline void TapKey(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
}

// A character typed without a key, as an on-screen keyboard or a typing tool sends it.
inline void TypeCharacter(wchar_t character) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = character;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Keeps this thread's windows answering for a while, e.g. for as long as a person holds a key.
// This is input timing, not synchronisation: nothing waits for a result here.
inline void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    PumpMessages();
}

// A person pressing a hotkey: modifiers down, main key down and up, modifiers released a moment
// later, in reverse.
inline void PressHotkeyLikeAPerson(std::initializer_list<WORD> modifiers, WORD key,
                                   DWORD holdMs = 150) {
    for (WORD m : modifiers) {
        SendKey(m, false);
    }
    SendKey(key, false);
    SendKey(key, true);
    PumpFor(holdMs);
    std::vector<WORD> reversed(modifiers);
    for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
        SendKey(*it, true);
    }
}

// Keys typed into a window of the test's own while the program under test runs. On a display
// without a window manager, Wine can apply a focus request the program made a moment before (its
// activation by a click) after the test's window took the focus: the foreground moves away, and
// the key state is reset to the display's, which releases the modifiers the test holds
// (docs/developing.md). Each step is checked for that while it runs and, only when it is seen,
// said on stderr, the focus taken again and the step repeated; any other miss fails as it would.
class FocusGuard {
  public:
    template <class Window>
    explicit FocusGuard(Window& target)
        : target_(target.hwnd()), takeFocus_([&target] { return target.TakeFocus(); }) {
        std::fill(std::begin(releases_), std::end(releases_), 0);
        hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &Proc, GetModuleHandleW(nullptr), 0);
    }
    ~FocusGuard() { UnhookWindowsHookEx(hook_); }
    FocusGuard(const FocusGuard&) = delete;
    FocusGuard& operator=(const FocusGuard&) = delete;

    // Presses, with the keys `held` down since before the step, and waits until `done`: true then,
    // false when neither that nor Wine's doing comes in time.
    [[nodiscard]] bool Step(const std::function<void()>& press, const std::function<bool()>& done,
                            std::initializer_list<WORD> held = {},
                            std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        for (int attempt = 1;; ++attempt) {
            const std::vector<long> releasesBefore(std::begin(releases_), std::end(releases_));
            std::string seen;
            press();
            if (!WaitUntil(
                    [&] {
                        if (done()) {
                            return true;
                        }
                        seen = WinesDoing(held, releasesBefore);
                        return !seen.empty();
                    },
                    timeout)) {
                return false;
            }
            if (seen.empty()) {
                return true;
            }
            std::fprintf(stderr, "typing, try %d: %s; the focus is taken again\n", attempt,
                         seen.c_str());
            if (attempt == kAttempts || !takeFocus_()) {
                return false;
            }
            for (WORD key : held) {
                if (!(GetAsyncKeyState(AsSent(key)) & 0x8000)) {
                    SendKey(key, false);
                    ++pressedAgain_;
                }
            }
        }
    }
    // The held keys pressed again after Wine released them.
    int PressedAgain() const { return pressedAgain_; }

  private:
    static constexpr int kAttempts = 3;

    // What Wine did, or "": the foreground moved away, or a held key reads up though no release
    // of it came through this process's hook.
    std::string WinesDoing(std::initializer_list<WORD> held,
                           const std::vector<long>& releasesBefore) const {
        if (GetForegroundWindow() != target_) {
            return "the foreground moved to window " +
                   std::to_string(reinterpret_cast<std::uintptr_t>(GetForegroundWindow()));
        }
        for (WORD key : held) {
            const WORD vk = AsSent(key);
            if (!(GetAsyncKeyState(vk) & 0x8000) && releases_[vk] == releasesBefore[vk]) {
                return "key " + std::to_string(vk) + " reads up with no release";
            }
        }
        return {};
    }

    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION && (wParam == WM_KEYUP || wParam == WM_SYSKEYUP)) {
            ++releases_[key->vkCode & 0xFF];
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline long releases_[256] = {};
    HWND target_;
    std::function<bool()> takeFocus_;
    HHOOK hook_ = nullptr;
    int pressedAgain_ = 0;
};

// Whether a combination is registered as a hotkey (by another program): the test cannot take it.
inline bool HotKeyTaken(UINT modifiers, UINT vk) {
    constexpr int kProbeId = 0xBFFF;
    if (!RegisterHotKey(nullptr, kProbeId, modifiers, vk)) {
        return true;
    }
    UnregisterHotKey(nullptr, kProbeId);
    return false;
}

inline void MoveMouseTo(POINT screen) {
    MouseInput::MoveTo(screen);
}

// The centre of a window, in screen pixels.
inline POINT CentreOf(HWND window) {
    RECT rc{};
    GetWindowRect(window, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// Long enough for a program busy starting up on a loaded machine; a window that is not ready by
// then never will be.
constexpr std::chrono::milliseconds kInputReadyTimeout{10000};

// Puts the pointer on the point and waits until the window takes input there: it (or a child of
// it) is the window under the point, the pointer stays on the point (the X events of a window just
// mapped or opened can move it back, and it is put there again) and the window's thread has taken
// its arrival. False, saying what is there instead on stderr, when that does not come in time.
[[nodiscard]] inline bool PointAtWindow(HWND target, POINT at) {
    HWND hit = nullptr;
    POINT cursor{};
    const bool ready = WaitUntil(
        [&] {
            GetCursorPos(&cursor);
            if (cursor.x != at.x || cursor.y != at.y) {
                MoveMouseTo(at);
                return false;
            }
            hit = WindowFromPoint(at);
            return target && (hit == target || IsChild(target, hit)) && InputTaken(target);
        },
        kInputReadyTimeout);
    if (!ready) {
        wchar_t found[64] = {};
        GetClassNameW(hit, found, 64);
        std::fprintf(
            stderr, "no input to control %d at %ld,%ld (pointer at %ld,%ld): %ls %d is there\n",
            GetDlgCtrlID(target), at.x, at.y, cursor.x, cursor.y, found, GetDlgCtrlID(hit));
    }
    return ready;
}

// A person's left click on a window at a point of it, once it takes input there (PointAtWindow);
// false, clicking nothing, when it never does.
[[nodiscard]] inline bool ClickOn(HWND target, POINT at) {
    if (!PointAtWindow(target, at)) {
        return false;
    }
    MouseInput::Press(MouseInput::Button::Left, at);
    PumpFor(30);
    MouseInput::Release(MouseInput::Button::Left, at);
    return true;
}

[[nodiscard]] inline bool ClickOn(HWND target) {
    return ClickOn(target, CentreOf(target));
}

// Virtual keys (other than the mouse buttons) that the system believes are down.
inline std::vector<int> KeysDown() {
    std::vector<int> down;
    for (int vk = 1; vk < 255; ++vk) {
        if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON || vk == VK_XBUTTON1 ||
            vk == VK_XBUTTON2) {
            continue;
        }
        if (GetAsyncKeyState(vk) & 0x8000) {
            down.push_back(vk);
        }
    }
    return down;
}

// Whether every key is up, or comes up within a moment (a playback may still be ending). Keys left
// down are named on stderr and released, so that the next case starts clean.
[[nodiscard]] inline bool NoKeyLeftDown() {
    const bool up = WaitUntil([] { return KeysDown().empty(); }, std::chrono::milliseconds(2000));
    for (int vk : KeysDown()) {
        std::fprintf(stderr, "key %d was left down\n", vk);
        SendKey(static_cast<WORD>(vk), true);
    }
    return up && WaitUntil([] { return KeysDown().empty(); });
}

} // namespace hkv::test
