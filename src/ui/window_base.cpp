#include "ui/window_base.h"

namespace hkv::ui {

WindowBase::~WindowBase() {
    if (hwnd_) {
        // Cut first: the destruction below must not reach a half-destroyed object.
        SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, 0);
        hwnd_.reset();
    }
}

void WindowBase::Destroy() {
    if (hwnd_) {
        // The handle stays ours until WM_NCDESTROY, so the handlers of the destruction can use it.
        DestroyWindow(hwnd_.get());
    }
}

void WindowBase::RegisterWindowClass(const wchar_t* className, HBRUSH background, UINT classStyle) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, className, &existing)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &WindowBase::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

HWND WindowBase::CreateFor(DWORD exStyle, const wchar_t* className, const wchar_t* text,
                           DWORD style, int x, int y, int width, int height, HWND parent,
                           HMENU menuOrId) {
    return CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent, menuOrId,
                           GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK WindowBase::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<WindowBase*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_.reset(hwnd);
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        const LRESULT result = self->OnMessage(msg, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_.release(); // the system destroys the window; nothing left to close
        return result;
    }
    return self->OnMessage(msg, wParam, lParam);
}

} // namespace hkv::ui
