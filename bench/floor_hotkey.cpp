// Floor for a re-mapped key press: holds hotkeys and, in its WM_HOTKEY handler, types a key at
// once, with no pause and nothing else. Usage: floor_hotkey HOTKEY TYPED_VK [HOTKEY TYPED_VK]...,
// where HOTKEY is the hotkey's virtual-key code plus 256 times its modifier flags (MOD_CONTROL is
// 2: Ctrl + F8 is 631). Its one window is never shown; the harness ends it.
#include <windows.h>

#include <cwchar>
#include <vector>

namespace {

constexpr wchar_t kClass[] = L"BrevinBench.floorHotkey";
std::vector<BYTE> typedKeys; // indexed by hotkey id

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_HOTKEY && wParam < typedKeys.size()) {
        keybd_event(typedKeys[wParam], 0, 0, 0);
        keybd_event(typedKeys[wParam], 0, KEYEVENTF_KEYUP, 0);
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
    wchar_t* end = nullptr;
    for (;;) {
        const long hotkey = std::wcstol(cursor, &end, 10);
        if (end == cursor) {
            break;
        }
        cursor = end;
        const long typed = std::wcstol(cursor, &end, 10);
        if (end == cursor) {
            break;
        }
        cursor = end;
        RegisterHotKey(hwnd, static_cast<int>(typedKeys.size()), static_cast<UINT>(hotkey >> 8),
                       static_cast<UINT>(hotkey & 0xFF));
        typedKeys.push_back(static_cast<BYTE>(typed));
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}
