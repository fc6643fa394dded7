// Floor for a re-mapped key press: holds hotkeys and, in its WM_HOTKEY handler, types a key with
// no more work around it than its arguments name (bench/floor_hotkey.h). Usage:
// floor_hotkey HOTKEY TYPED_VK WORK [HOTKEY TYPED_VK WORK]... Its one window is never shown; the
// harness ends it.
#include <windows.h>

#include <cwchar>
#include <iterator>
#include <vector>

#include "common/win_handles.h"
#include "floor_hotkey.h"

namespace {

using namespace hkv::bench;

constexpr wchar_t kClass[] = L"BrevinBench.floorHotkey";
// Another hook ahead of this one may keep the floor's events: answered no longer than the program
// waits for the user's events it sent again (its kSentAgainTimeoutMs), then given up.
constexpr DWORD kAnswerMs = 500;

struct Typing {
    BYTE key;
    UINT modifiers;
    long work;
};
std::vector<Typing> typings; // indexed by hotkey id

// Under the hook: the floor's own events that have passed it, and the user's held back.
int ownPassed = 0;
std::vector<KBDLLHOOKSTRUCT> heldBack;

LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        if (key->dwExtraInfo != kFloorSignature) {
            heldBack.push_back(*key);
            return 1;
        }
        ++ownPassed;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// As a keyboard sends the key, with its scan code, marked as the floor's.
void Send(BYTE vk, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan != 0 ? scan : static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    input.ki.dwExtraInfo = kFloorSignature;
    SendInput(1, &input, sizeof input);
}

void Pump(DWORD timeoutMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

// The left keys of the hotkey's modifiers, in the order a person presses them.
std::vector<BYTE> LeftModifierKeys(UINT modifiers) {
    std::vector<BYTE> keys;
    if (modifiers & MOD_CONTROL) {
        keys.push_back(VK_LCONTROL);
    }
    if (modifiers & MOD_SHIFT) {
        keys.push_back(VK_LSHIFT);
    }
    if (modifiers & MOD_ALT) {
        keys.push_back(VK_LMENU);
    }
    return keys;
}

void Type(const Typing& typing) {
    const bool underHook = (typing.work & kFloorUnderHook) != 0;
    hkv::UniqueHook hook(
        underHook ? SetWindowsHookExW(WH_KEYBOARD_LL, &Watch, GetModuleHandleW(nullptr), 0)
                  : nullptr);
    ownPassed = 0;
    int ownSent = 0;
    auto send = [&](BYTE vk, WORD scan, DWORD flags) {
        Send(vk, scan, flags);
        ++ownSent;
    };
    const std::vector<BYTE> lifted = (typing.work & kFloorLifted) != 0
                                         ? LeftModifierKeys(typing.modifiers)
                                         : std::vector<BYTE>{};
    for (BYTE m : lifted) {
        send(m, 0, KEYEVENTF_KEYUP);
    }
    send(typing.key, 0, 0);
    if ((typing.work & kFloorHeld) != 0) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kFloorHoldMs) {
            Pump(kFloorHoldMs - (GetTickCount() - start));
        }
    }
    send(typing.key, 0, KEYEVENTF_KEYUP);
    for (auto m = lifted.rbegin(); m != lifted.rend(); ++m) {
        send(*m, 0, 0);
    }
    // Answered until everything sent has passed, the user's keys held back meanwhile included, or
    // another hook ahead of this one has kept them for longer than the program waits for its own.
    const DWORD answering = GetTickCount();
    while (hook && (ownPassed < ownSent || !heldBack.empty()) &&
           GetTickCount() - answering < kAnswerMs) {
        for (const KBDLLHOOKSTRUCT& key : heldBack) {
            send(static_cast<BYTE>(key.vkCode), static_cast<WORD>(key.scanCode),
                 ((key.flags & LLKHF_UP) != 0 ? KEYEVENTF_KEYUP : 0) |
                     ((key.flags & LLKHF_EXTENDED) != 0 ? KEYEVENTF_EXTENDEDKEY : 0));
        }
        heldBack.clear();
        if (ownPassed < ownSent) {
            Pump(kAnswerMs);
        }
    }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static bool typing = false; // a hotkey while the hook is answered waits its turn: none comes
    if (msg == WM_HOTKEY && wParam < typings.size() && !typing) {
        typing = true;
        Type(typings[wParam]);
        typing = false;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, kClass, L"floor", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                instance, nullptr);
    const wchar_t* cursor = commandLine;
    for (;;) {
        long numbers[3] = {};
        std::size_t parsed = 0;
        for (wchar_t* end = nullptr; parsed < std::size(numbers); ++parsed, cursor = end) {
            numbers[parsed] = std::wcstol(cursor, &end, 10);
            if (end == cursor) {
                break;
            }
        }
        if (parsed < std::size(numbers)) {
            break;
        }
        const auto modifiers = static_cast<UINT>(numbers[0] / kFloorModifierShift);
        RegisterHotKey(hwnd, static_cast<int>(typings.size()), modifiers,
                       static_cast<UINT>(numbers[0] % kFloorModifierShift));
        typings.push_back({static_cast<BYTE>(numbers[1]), modifiers, numbers[2]});
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}
