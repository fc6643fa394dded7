// Floor for start-up and memory: one borderless window of the main window's size (389 x 371
// pixels at 96 DPI), centred and shown, with one line in the program's font (微软雅黑 9 pt,
// GB2312). Nothing else; the harness ends it.
#include <windows.h>

#include <iterator>

#include "common/win_handles.h"

namespace {

constexpr wchar_t kClass[] = L"BrevinBench.floorWindow";
constexpr int kWidth = 389; // the main window's 5835 x 5565 twips at 96 DPI
constexpr int kHeight = 371;
constexpr int kBaseDpi = 96;
constexpr int kPoints = 9;
constexpr int kPointsPerInch = 72;
constexpr int kMargin = 8;
HFONT font = nullptr; // owned by wWinMain

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HGDIOBJ previous = SelectObject(dc, font);
        const wchar_t line[] = L"将这些旧快捷键";
        TextOutW(dc, kMargin, kMargin, line, static_cast<int>(std::size(line) - 1));
        SelectObject(dc, previous);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SetProcessDPIAware(); // as the program's manifest declares
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    hkv::UniqueFont owned(CreateFontW(-MulDiv(kPoints, dpi, kPointsPerInch), 0, 0, 0, FW_NORMAL,
                                      FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                      L"微软雅黑"));
    font = owned.get();
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    const int width = MulDiv(kWidth, dpi, kBaseDpi);
    const int height = MulDiv(kHeight, dpi, kBaseDpi);
    HWND hwnd =
        CreateWindowExW(0, kClass, L"floor", WS_POPUP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                        nullptr, instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}
