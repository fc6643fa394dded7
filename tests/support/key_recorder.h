#pragma once
// A plain top-level window of the test that takes the focus and records every key message it
// receives, standing in for the application a shortcut is meant for.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/user_input.h"
#include "support/win_test_util.h"
#include "ui/window_base.h"

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

inline bool Contains(const std::vector<RecordedKey>& keys, int vk, bool up) {
    return std::any_of(keys.begin(), keys.end(),
                       [&](const RecordedKey& k) { return k.vk == vk && k.up == up; });
}

class KeyRecorder final : public ui::WindowBase {
  public:
    explicit KeyRecorder(RECT where = {10, 10, 310, 210}) {
        RegisterWindowClass(kClassName, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateFor(0, kClassName, L"key recorder", WS_POPUP | WS_VISIBLE | WS_BORDER, where.left,
                  where.top, where.right - where.left, where.bottom - where.top, nullptr, nullptr);
    }

    const std::vector<RecordedKey>& keys() const { return keys_; }
    // The characters typed, as the window received them.
    const std::wstring& chars() const { return chars_; }
    void Clear() {
        keys_.clear();
        chars_.clear();
    }

    // Brings the window to the front with the keyboard focus; true once it has it and a key tapped
    // there has come through (kFocusProbeKey: by then Wine has set the modifiers to the display's).
    bool TakeFocus() {
        const bool focused = WaitUntil([this] {
            SetForegroundWindow(hwnd());
            SetFocus(hwnd());
            return GetForegroundWindow() == hwnd() && GetFocus() == hwnd();
        });
        KeyboardInput::Send(kFocusProbeKey, 0);
        KeyboardInput::Send(kFocusProbeKey, KEYEVENTF_KEYUP);
        const bool through =
            focused && WaitUntil([this] { return Contains(keys_, kFocusProbeKey, true); });
        std::erase_if(keys_, [](const RecordedKey& k) { return k.vk == kFocusProbeKey; });
        return through;
    }

  private:
    static constexpr wchar_t kClassName[] = L"HkvTestKeyRecorder";

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYUP) {
            LARGE_INTEGER now{};
            QueryPerformanceCounter(&now);
            keys_.push_back({static_cast<int>(wParam), msg == WM_KEYUP || msg == WM_SYSKEYUP,
                             static_cast<DWORD>(GetMessageTime()), now.QuadPart});
            return 0;
        }
        if (msg == WM_CHAR) {
            chars_.push_back(static_cast<wchar_t>(wParam));
            return 0;
        }
        return DefWindowProcW(hwnd(), msg, wParam, lParam);
    }

    std::vector<RecordedKey> keys_;
    std::wstring chars_;
};

} // namespace hkv::test
