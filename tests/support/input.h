#pragma once
// Real input through SendInput with a person's timing: a click with a moment between press and
// release, a hotkey held a little while.
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "support/user_input.h"
#include "support/win_test_util.h"

namespace hkv::test {

inline void SendKey(WORD vk, bool up) {
    KeyboardInput::Send(vk, up ? KEYEVENTF_KEYUP : 0);
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

inline void MoveMouseTo(POINT screen) {
    MouseInput::MoveTo(screen);
}

inline void MouseButton(bool down) {
    down ? MouseInput::Press(MouseInput::Button::Left)
         : MouseInput::Release(MouseInput::Button::Left);
}

inline void ClickAt(POINT screen) {
    MoveMouseTo(screen);
    PumpFor(30);
    MouseButton(true);
    PumpFor(30);
    MouseButton(false);
}

// The centre of a window, in screen pixels.
inline POINT CentreOf(HWND window) {
    RECT rc{};
    GetWindowRect(window, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
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

} // namespace hkv::test
