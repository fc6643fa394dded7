#pragma once
// A plain top-level window of the test that takes the focus and records every key message it
// receives, standing in for the application a shortcut is meant for.
#include <windows.h>

#include <string>
#include <vector>

#include "support/win_test_util.h"

namespace hkv::test {

struct RecordedKey {
    int vk;
    bool up;
    DWORD time;        // message time, milliseconds
    LONGLONG received; // QueryPerformanceCounter when the window procedure saw it (benchmarks)
};

inline std::string Describe(const std::vector<RecordedKey>& keys) {
    std::string s;
    for (const auto& k : keys) {
        s += std::to_string(k.vk) + (k.up ? "^ " : "v ");
    }
    return s;
}

class KeyRecorder {
  public:
    explicit KeyRecorder(RECT where = {10, 10, 310, 210}) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &KeyRecorder::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"HkvTestKeyRecorder";
        RegisterClassExW(&wc);
        hwnd_ =
            CreateWindowExW(0, wc.lpszClassName, L"key recorder", WS_POPUP | WS_VISIBLE | WS_BORDER,
                            where.left, where.top, where.right - where.left,
                            where.bottom - where.top, nullptr, nullptr, wc.hInstance, this);
    }
    ~KeyRecorder() {
        if (hwnd_) {
            DestroyWindow(hwnd_);
        }
    }
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    HWND hwnd() const { return hwnd_; }
    const std::vector<RecordedKey>& keys() const { return keys_; }
    void Clear() { keys_.clear(); }

    // Brings the window to the front with the keyboard focus; true once it has it.
    bool TakeFocus() {
        return WaitUntil([this] {
            SetForegroundWindow(hwnd_);
            SetFocus(hwnd_);
            return GetForegroundWindow() == hwnd_ && GetFocus() == hwnd_;
        });
    }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<KeyRecorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self &&
            (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYUP)) {
            LARGE_INTEGER now{};
            QueryPerformanceCounter(&now);
            self->keys_.push_back({static_cast<int>(wParam), msg == WM_KEYUP || msg == WM_SYSKEYUP,
                                   static_cast<DWORD>(GetMessageTime()), now.QuadPart});
            return 0;
        }
        if (self && msg == WM_NCDESTROY) {
            self->hwnd_ = nullptr;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
    std::vector<RecordedKey> keys_;
};

} // namespace hkv::test
