#pragma once
// Real input through SendInput, as a person's keyboard and mouse produce it.
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "support/win_test_util.h"

namespace hkv::test {

inline void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_LWIN || vk == VK_RWIN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP ||
        vk == VK_DOWN || vk == VK_DELETE || vk == VK_INSERT || vk == VK_HOME || vk == VK_END ||
        vk == VK_APPS || vk == VK_RCONTROL || vk == VK_RMENU) {
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    SendInput(1, &in, sizeof in);
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
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

inline void MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
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
