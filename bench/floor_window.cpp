// Floor for start-up and memory: the least a program can do for the program's job at start. One
// copy per session and per settings file (a session name, a machine-wide name and the file's lock
// file), the settings file's rows read, and the same windows: a borderless window of the main
// window's size (389 x 371 pixels at 96 DPI), centred and shown, with its title strip and three
// pictures, ten rows of a read-only box, a hotkey box in its container with a hidden window for
// messages, and a tick box, the column headings, a tooltip, and the notification icon. Everything
// in the system's own window classes, painted by the system. The harness ends it.
//
//   floor_window <settings file>
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "common/win_handles.h"

namespace {

constexpr wchar_t kClass[] = L"BrevinBench.floorWindow";
constexpr int kWidth = 389; // the main window's 5835 x 5565 twips at 96 DPI
constexpr int kHeight = 371;
constexpr int kBaseDpi = 96;
constexpr int kPoints = 9;
constexpr int kPointsPerInch = 72;
constexpr int kRows = 10;
constexpr int kRowTop = 54; // the rows' places, in pixels at 96 DPI
constexpr int kRowPitch = 32;
constexpr int kRowHeight = 20;
constexpr int kStripHeight = 25;
constexpr UINT kTrayMessage = WM_APP + 2;
constexpr int kTextChars = 256;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The program's settings reads: per row its old shortcut's text and key list, its hotkey's text,
// key code and modifiers.
void ReadRows(const std::wstring& file) {
    wchar_t text[kTextChars];
    for (int row = 0; row < kRows; ++row) {
        const std::wstring n = std::to_wstring(row);
        const std::wstring velmo = L"Velmo" + std::to_wstring(row + 1);
        GetPrivateProfileStringW(L"conftext", n.c_str(), L"", text, kTextChars, file.c_str());
        GetPrivateProfileStringW(L"conftooltip", n.c_str(), L"", text, kTextChars, file.c_str());
        GetPrivateProfileStringW(L"Velmo", (velmo + L"Text").c_str(), L"", text, kTextChars,
                                 file.c_str());
        GetPrivateProfileIntW(L"Velmo", (velmo + L"KeyCode").c_str(), 0, file.c_str());
        GetPrivateProfileIntW(L"Velmo", (velmo + L"ModKeyCode").c_str(), 0, file.c_str());
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    SetProcessDPIAware(); // as the program's manifest declares
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::wstring file = arguments;
    const hkv::UniqueKernelHandle session(CreateMutexW(nullptr, FALSE, L"BrevinBench.floor"));
    const hkv::UniqueKernelHandle machine(
        CreateMutexW(nullptr, FALSE, L"Global\\BrevinBench.floor.file"));
    const hkv::UniqueKernelHandle lock(CreateFileW((file + L".running").c_str(),
                                                   GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    auto px = [dpi](int pixels) { return MulDiv(pixels, dpi, kBaseDpi); };
    const hkv::UniqueFont font(CreateFontW(-MulDiv(kPoints, dpi, kPointsPerInch), 0, 0, 0,
                                           FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH, L"微软雅黑"));
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    const int width = px(kWidth);
    const int height = px(kHeight);
    HWND main = CreateWindowExW(0, kClass, L"floor", WS_POPUP | WS_CLIPCHILDREN,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
    auto child = [&](HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x,
                     int y, int w, int h) {
        HWND window = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, px(x), px(y),
                                      px(w), px(h), parent, nullptr, instance, nullptr);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        return window;
    };
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                               0, 0, 0, main, nullptr, instance, nullptr);
    HWND strip = child(main, WC_STATICW, L"", 0, 0, 0, kWidth, kStripHeight);
    child(strip, WC_STATICW, L"Brevin Hotkey Veridir", 0, 3, 3, 184, 16);
    for (int picture = 0; picture < 3; ++picture) {
        HWND image = child(strip, WC_STATICW, L"", SS_NOTIFY, 335 + 18 * picture, 4, 16, 16);
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = main;
        info.uId = reinterpret_cast<UINT_PTR>(image);
        info.lpszText = const_cast<wchar_t*>(L"菜单");
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    ReadRows(file);
    for (int row = 0; row < kRows; ++row) {
        const int y = kRowTop + kRowPitch * row;
        child(main, WC_EDITW, L"Text1", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 16,
              y, 129, kRowHeight);
        HWND box = child(main, WC_STATICW, L"", 0, 161, y, 127, kRowHeight);
        child(box, WC_EDITW, L"", WS_TABSTOP | WS_BORDER, 0, 0, 127, kRowHeight);
        CreateWindowExW(0, L"#32770", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
        child(main, WC_BUTTONW, L"启用", WS_TABSTOP | BS_AUTOCHECKBOX, 310, y + 1, 67, kRowHeight);
    }
    HWND headings = child(main, WC_STATICW, L"", 0, 6, 27, 377, kRowHeight);
    child(headings, WC_STATICW, L"将这些旧快捷键", 0, 8, 1, 133, kRowHeight);
    child(headings, WC_STATICW, L"替换为", 0, 153, 0, 129, kRowHeight);
    child(headings, WC_STATICW, L"启用", 0, 296, 0, 73, 19);

    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = main;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    icon.uCallbackMessage = kTrayMessage;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(icon.szTip, L"floor", ARRAYSIZE(icon.szTip));
    icon.uVersion = NOTIFYICON_VERSION_4;
    if (Shell_NotifyIconW(NIM_ADD, &icon)) {
        Shell_NotifyIconW(NIM_SETVERSION, &icon);
    }

    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(main, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
