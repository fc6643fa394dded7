#pragma once
// An application window as a person types into one: a menu bar and a text box with the keyboard
// focus. A lone Alt (or F10) opens the menu bar; the window notes that instead of entering the
// menu, so that what is typed next still reaches the text and the test sees both.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "support/user_input.h"
#include "support/win_test_util.h"
#include "ui/window_base.h"

namespace hkv::test {

class TextTarget final : public ui::WindowBase {
  public:
    TextTarget() {
        RegisterWindowClass(kClassName, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        HMENU menuBar = CreateMenu(); // the window's own: destroyed with it
        AppendMenuW(menuBar, MF_STRING, 1, L"&File");
        CreateFor(0, kClassName, L"text target", WS_POPUP | WS_BORDER | WS_VISIBLE, 20, 20, 400,
                  160, nullptr, menuBar);
        edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 360, 24,
                                hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowSubclass(edit_, &NoteKeys, 0, reinterpret_cast<DWORD_PTR>(this));
    }

    // The text and the caret's place in it, as the text box has them now.
    std::wstring Text() const {
        wchar_t text[256] = {};
        GetWindowTextW(edit_, text, 256);
        return text;
    }
    int Caret() const {
        DWORD start = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return static_cast<int>(start);
    }
    void SetText(const wchar_t* text, int caret) {
        SetWindowTextW(edit_, text);
        SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(caret), caret);
    }
    int MenuBarOpened() const { return menuBarOpened_; }
    // The key messages the text box received, for a failure's message: "sysdown 76, char 120".
    const std::string& Keys() const { return keys_; }

    // Brings the window to the front with the focus in the text box; true once it has it and a
    // key tapped there has come through (kFocusProbeKey).
    bool TakeFocus() {
        if (!WaitUntil([this] {
                SetForegroundWindow(hwnd());
                SetFocus(edit_);
                return GetForegroundWindow() == hwnd() && GetFocus() == edit_;
            })) {
            return false;
        }
        const std::string probe = "up " + std::to_string(kFocusProbeKey) + ", ";
        const std::size_t before = Count(probe);
        KeyboardInput::Send(kFocusProbeKey, 0);
        KeyboardInput::Send(kFocusProbeKey, KEYEVENTF_KEYUP);
        return WaitUntil([&] { return Count(probe) > before; });
    }

  private:
    static constexpr wchar_t kClassName[] = L"HkvTestTextTarget";

    std::size_t Count(const std::string& what) const {
        std::size_t n = 0;
        for (auto at = keys_.find(what); at != std::string::npos; at = keys_.find(what, at + 1)) {
            ++n;
        }
        return n;
    }

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) {
            ++menuBarOpened_;
            return 0;
        }
        return DefWindowProcW(hwnd(), msg, wParam, lParam);
    }

    HWND edit_ = nullptr;
    int menuBarOpened_ = 0;
    std::string keys_;

    static LRESULT CALLBACK NoteKeys(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self) {
        const char* name = msg == WM_KEYDOWN      ? "down"
                           : msg == WM_KEYUP      ? "up"
                           : msg == WM_SYSKEYDOWN ? "sysdown"
                           : msg == WM_SYSKEYUP   ? "sysup"
                           : msg == WM_CHAR       ? "char"
                                                  : nullptr;
        if (name) {
            reinterpret_cast<TextTarget*>(self)->keys_ +=
                std::string(name) + " " + std::to_string(wParam) + ", ";
        }
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
};

} // namespace hkv::test
