#include "ui/form.h"

#include "ui/font.h"
#include "ui/pictures.h"
#include "ui/twips.h"

namespace hkv::ui {

bool Form::CreateForm(const wchar_t* className, const wchar_t* caption, int widthPx, int heightPx) {
    dpi_ = ScreenDpi();
    RegisterWindowClass(className);
    // WS_SYSMENU keeps Alt+F4 and the taskbar's close; WS_EX_CONTROLPARENT lets Tab reach the
    // controls inside picture boxes and hotkey controls.
    if (!CreateFor(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, className, caption,
                   WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, widthPx,
                   heightPx, nullptr, nullptr)) {
        return false;
    }
    // As in a dialog: focus marks show from the start when the window was opened from the
    // keyboard, else from the first key that moves the focus.
    SendMessageW(hwnd(), WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    iconLarge_ = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
    iconSmall_ = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconLarge_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_.get()));
    return true;
}

void Form::FitFrame() {
    RECT outer;
    GetWindowRect(hwnd(), &outer);
    const int heightTwips = PixelsToTwips(outer.bottom - outer.top, dpi_);
    const int widthTwips = PixelsToTwips(outer.right - outer.left, dpi_);
    const PixelRect frame = ToPixels({2, 2, widthTwips - 2, heightTwips - 2}, dpi_);
    frame_ = {frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
}

void Form::CentreOnScreen() {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::FocusLastControl() {
    const HWND focus = GetFocus();
    if ((!focus || !IsChild(hwnd(), focus)) && lastFocus_ && IsWindow(lastFocus_) &&
        IsChild(hwnd(), lastFocus_)) {
        SetFocus(lastFocus_);
    }
}

LRESULT Form::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd(), &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brushes_.Brush(ColorRole::Window));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        // Drawn over everything painted on the window itself; child windows stay above it.
        FrameRect(dc, &frame_, brushes_.Brush(ColorRole::Accent));
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_ACTIVATE:
        // A message box or another program took the focus away; the user comes back to the
        // control they were in, as in a dialog (the first time, to the first control).
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd(), focus)) {
                lastFocus_ = focus;
            }
        } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd(), lastFocus_) &&
                   IsWindowVisible(hwnd())) {
            SetFocus(lastFocus_);
            return 0;
        }
        return DefWindowProcW(hwnd(), msg, wParam, lParam);
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ENTERMENULOOP:
        OnMenuLoop();
        return 0;
    default:
        if (IsColorChange(msg, wParam)) {
            RepaintForNewColors(hwnd());
        }
        return DefWindowProcW(hwnd(), msg, wParam, lParam);
    }
}

} // namespace hkv::ui
