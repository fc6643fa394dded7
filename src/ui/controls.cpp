#include "ui/controls.h"

#include <windowsx.h>

#include <iterator>

namespace hkv::ui {
namespace {

constexpr wchar_t kClassName[] = L"BrevinHotkeyVeridir.Control";

void FillBackground(HDC dc, const RECT& rc, ColorRole role) {
    UniqueBrush brush(CreateSolidBrush(ColorOf(role)));
    FillRect(dc, &rc, brush.get());
}

} // namespace

HWND CreateControl(HWND parent, int dpi, const ControlArgs& args) {
    const PixelRect r = ToPixels(args.bounds, dpi);
    HWND control = CreateWindowExW(0, args.className, args.text, WS_CHILD | WS_VISIBLE | args.style,
                                   r.left, r.top, r.width, r.height + args.extraHeightPx, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control && args.font) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
    }
    return control;
}

void NotifyParent(HWND control, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
                 reinterpret_cast<LPARAM>(control));
}

std::wstring ControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

bool ChildControl::CreateChild(HWND parent, int id, const PixelRect& bounds,
                               const std::wstring& text) {
    RegisterWindowClass(kClassName, nullptr, CS_DBLCLKS);
    return CreateFor(0, kClassName, text.c_str(),
                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, bounds.left,
                     bounds.top, bounds.width, bounds.height, parent,
                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

LRESULT ChildControl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = this->hwnd();
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT, without flicker
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        Paint(dc, client);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_MOUSEMOVE:
        Notify(kNotifyMouseMove);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP: {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
        RECT client;
        GetClientRect(hwnd, &client);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (wasPressed && PtInRect(&client, pt)) {
            Notify(kNotifyClick); // a click is a press and a release on the same control
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void ChildControl::Notify(WORD code) const {
    NotifyParent(hwnd(), code);
}

bool Label::Create(HWND parent, int id, const PixelRect& bounds, const std::wstring& text,
                   const LabelStyle& style) {
    style_ = style;
    return CreateChild(parent, id, bounds, text);
}

void Label::Paint(HDC dc, const RECT& client) {
    FillBackground(dc, client, style_.backColor);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd(), text, static_cast<int>(std::size(text)));
    HGDIOBJ oldFont = style_.font ? SelectObject(dc, style_.font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorOf(style_.textColor));
    RECT rc = client;
    DrawTextW(dc, text, -1, &rc,
              (style_.centred ? DT_CENTER : DT_LEFT) | DT_WORDBREAK | DT_NOPREFIX);
    if (oldFont) {
        SelectObject(dc, oldFont);
    }
}

bool PictureBox::Create(HWND parent, int id, const PixelRect& bounds, ColorRole backColor) {
    backColor_ = backColor;
    return CreateChild(parent, id, bounds, L"");
}

LRESULT PictureBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        // The window that holds the box handles what happens on it.
        return SendMessageW(GetParent(hwnd()), msg, wParam, lParam);
    }
    return ChildControl::OnMessage(msg, wParam, lParam);
}

void PictureBox::Paint(HDC dc, const RECT& client) {
    FillBackground(dc, client, backColor_);
}

bool ImageBox::Create(HWND parent, int id, const PixelRect& bounds, PictureId picture) {
    picture_ = picture;
    return CreateChild(parent, id, bounds, L"");
}

void ImageBox::Paint(HDC dc, const RECT& client) {
    FillBackground(dc, client, ColorRole::Accent);
    const int size = client.right - client.left;
    if (HighContrastOn()) {
        DrawPictureIn(dc, picture_, ColorOf(ColorRole::AccentText), 0, 0, size);
    } else {
        DrawPicture(dc, picture_, 0, 0, size);
    }
}

} // namespace hkv::ui
