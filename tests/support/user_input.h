#pragma once
// Keyboard and mouse input through SendInput, as a user's hardware would give it: it goes to
// whichever window has the focus, the keyboard state follows it, and registered hotkeys fire.
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "keys/extended_keys.h"

namespace hkv::test {

// Tapped in a window that has just taken the focus: once it has come through, so has what Wine
// does when its window gets the display's focus (it sets the modifier keys to what the display has
// down, none, whatever was sent). It types nothing and fires nothing.
inline constexpr WORD kFocusProbeKey = VK_F24;

// Presses and releases keys. Every key still down when it goes out of scope is released, so a test
// that fails half-way leaves no modifier stuck for the next one.
class KeyboardInput {
  public:
    KeyboardInput() = default;
    ~KeyboardInput() { ReleaseAll(); }
    KeyboardInput(const KeyboardInput&) = delete;
    KeyboardInput& operator=(const KeyboardInput&) = delete;

    void Down(WORD vk) {
        Send(vk, 0);
        held_.push_back(vk);
    }
    void Up(WORD vk) {
        Send(vk, KEYEVENTF_KEYUP);
        std::erase(held_, vk);
    }
    void Tap(WORD vk) {
        Down(vk);
        Up(vk);
    }
    // Presses the keys in order, then releases them in reverse order.
    void Chord(std::initializer_list<WORD> keys) {
        for (WORD vk : keys) {
            Down(vk);
        }
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
            Up(*it);
        }
    }
    void ReleaseAll() {
        while (!held_.empty()) {
            Up(held_.back());
        }
    }

    // One key event, without tracking it.
    static void Send(WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags =
            flags |
            (CarriesExtendedFlag(static_cast<std::uint8_t>(vk)) ? KEYEVENTF_EXTENDEDKEY : 0);
        SendInput(1, &input, sizeof input);
    }

  private:
    std::vector<WORD> held_;
};

// Mouse buttons at a point of the screen.
class MouseInput {
  public:
    enum class Button { Left, Right, Middle };

    static void MoveTo(POINT screen) { Send(MOUSEEVENTF_MOVE, screen); }
    // A button event carries its place: it lands there even if something moved the pointer since
    // (the X events of a window that has only just been mapped can).
    static void Press(Button button, POINT screen) { Send(Flag(button, true), screen); }
    static void Release(Button button, POINT screen) { Send(Flag(button, false), screen); }
    static void Click(POINT screen, Button button = Button::Left) {
        MoveTo(screen);
        Press(button, screen);
        Release(button, screen);
    }
    static void DoubleClick(POINT screen) {
        Click(screen);
        Click(screen);
    }

  private:
    static DWORD Flag(Button button, bool down) {
        switch (button) {
        case Button::Left:
            return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        case Button::Right:
            return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
        case Button::Middle:
            return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
        }
        return 0;
    }

    static void Send(DWORD flags, POINT screen) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        // Absolute positions are in 0..65535 across the primary screen.
        input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        SendInput(1, &input, sizeof input);
    }
};

} // namespace hkv::test
