#pragma once
// A plain top-level window for tests: it hands every message it receives to a test's handler.
#include <windows.h>

#include <functional>

#include "ui/window_base.h"

namespace hkv::test {

class TestWindow final : public ui::WindowBase {
  public:
    using Handler = std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)>;

    explicit TestWindow(bool visible = false) {
        RegisterWindowClass(kClassName, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateFor(0, kClassName, L"keys test", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                  100, 100, 300, 200, nullptr, nullptr);
    }
    // Destroyed while the handler still exists: it sees the messages of the destruction too.
    ~TestWindow() override { Destroy(); }

    // Runs before the default processing of every later message.
    void OnMessage(Handler handler) { handler_ = std::move(handler); }

  private:
    static constexpr wchar_t kClassName[] = L"hkv.keys.TestWindow";

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (handler_) {
            handler_(msg, wParam, lParam);
        }
        return DefWindowProcW(hwnd(), msg, wParam, lParam);
    }

    Handler handler_;
};

} // namespace hkv::test
