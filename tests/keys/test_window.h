#pragma once
// A plain top-level window for tests: it hands every message it receives to a test's handler.
#include <windows.h>

#include <functional>

#include "common/win_handles.h"

namespace hkv::test {

class TestWindow {
  public:
    using Handler = std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)>;

    explicit TestWindow(bool visible = false) {
        static const ATOM windowClass = RegisterWindowClass();
        window_.reset(CreateWindowExW(0, MAKEINTATOM(windowClass), L"keys test",
                                      WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 100, 100,
                                      300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), this));
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    [[nodiscard]] HWND hwnd() const { return window_.get(); }
    // Runs before the default processing of every later message.
    void OnMessage(Handler handler) { handler_ = std::move(handler); }

  private:
    static ATOM RegisterWindowClass() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TestWindow::StaticProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"hkv.keys.TestWindow";
        return RegisterClassExW(&wc);
    }

    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        }
        return self ? self->Proc(hwnd, msg, wParam, lParam)
                    : DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (handler_) {
            handler_(msg, wParam, lParam);
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    Handler handler_;
    UniqueWindow window_; // last: destroyed first, while the handler still exists
};

} // namespace hkv::test
