#include "ui/focus_mark.h"

#include "ui/contrast.h"

namespace hkv::ui {
namespace {

// One pixel on, one off, as the system's own focus rectangles are dotted.
constexpr int kDotStep = 2;

} // namespace

bool KeyboardCuesShown(HWND control) {
    return (SendMessageW(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

void DrawFocusMark(HDC dc, const RECT& client, COLORREF text, COLORREF background) {
    const COLORREF color = contrast::MarkColorOn(text, background);
    const int left = client.left + 1;
    const int top = client.top + 1;
    const int right = client.right - 2;
    const int bottom = client.bottom - 2;
    if (right <= left || bottom <= top) {
        return;
    }
    for (int x = left; x <= right; x += kDotStep) {
        SetPixelV(dc, x, top, color);
        SetPixelV(dc, x, bottom, color);
    }
    for (int y = top; y <= bottom; y += kDotStep) {
        SetPixelV(dc, left, y, color);
        SetPixelV(dc, right, y, color);
    }
}

void FollowFocusMark(HWND edit, UINT msg) {
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
        InvalidateRect(edit, nullptr, TRUE);
        break;
    case WM_PAINT: {
        if (GetFocus() != edit || !KeyboardCuesShown(edit)) {
            break;
        }
        HDC dc = GetDC(edit);
        // The colours the parent gives the box for its text; a read-only or disabled edit asks
        // for them as static text.
        const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
        const UINT ask =
            (style & (ES_READONLY | WS_DISABLED)) != 0 ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SendMessageW(GetParent(edit), ask, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(edit));
        RECT client;
        GetClientRect(edit, &client);
        DrawFocusMark(dc, client, GetTextColor(dc), GetBkColor(dc));
        ReleaseDC(edit, dc);
        break;
    }
    default:
        break;
    }
}

} // namespace hkv::ui
