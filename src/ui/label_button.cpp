#include "ui/label_button.h"

#include "ui/focus_mark.h"
#include "ui/key_bits.h"

namespace hkv::ui {

bool LabelButton::Create(HWND parent, int id, const PixelRect& bounds, const std::wstring& text,
                         const LabelStyle& style) {
    if (!Label::Create(parent, id, bounds, text, style)) {
        return false;
    }
    SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_TABSTOP);
    return true;
}

LRESULT LabelButton::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE:
        // Dialog navigation presses a focused default button with Enter.
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && (lParam & kKeyWasDown) == 0) {
            spaceDown_ = true;
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && spaceDown_) {
            spaceDown_ = false;
            Notify(kNotifyClick);
        }
        return 0;
    case WM_CHAR:
        return 0; // Space types nothing
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
        spaceDown_ = false;
        const LRESULT result = Label::OnMessage(msg, wParam, lParam);
        InvalidateRect(hwnd(), nullptr, FALSE);
        return result;
    }
    default:
        return Label::OnMessage(msg, wParam, lParam);
    }
}

void LabelButton::Paint(HDC dc, const RECT& client) {
    Label::Paint(dc, client);
    if (GetFocus() == hwnd() && KeyboardCuesShown(hwnd())) {
        DrawFocusMark(dc, client, ColorOf(Style().textColor), ColorOf(Style().backColor));
    }
}

} // namespace hkv::ui
