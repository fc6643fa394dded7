#pragma once
// A stand-in for the main window: a visible top-level window that loads Velmo instances the way the
// main window does, with a second edit box to take the focus away from them, a message loop that
// gives dialog navigation the first look, and a log of every event the controls raise.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frmset_velmo.h"
#include "common/scope_guard.h"
#include "hotkeyctl/property_bag.h"
#include "hotkeyctl/system_key_name.h"
#include "hotkeyctl/velmo.h"
#include "settings/modini.h"
#include "support/user_input.h"
#include "support/win_test_util.h"
#include "support/window_watcher.h"
#include "ui/window_base.h"

namespace hkv::test {

inline const std::wstring kPlaceholder = L"按下快捷键";
// The main window's font, and the one it gives its hotkey controls.
inline const FontSpec& kHostFont = frmset::kFormFont;
inline const FontSpec& kRowFont = frmset::kHotkeyFont;

// The stored properties the main window gives each of its hotkey controls.
inline PropertyBag MainWindowBag() {
    return frmset::VelmoProperties();
}

// The name the system gives a key's scan code without the extended mark: for a key of the
// extended block, its keypad twin's. Names differ between systems: tests never spell them out.
inline std::wstring UnmarkedKeyName(int vk) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) & 0xFF;
    wchar_t buffer[255] = {};
    int n = GetKeyNameTextW(static_cast<LONG>(scan << 16), buffer, 255);
    return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// Dots per inch of the screen along LOGPIXELSX or LOGPIXELSY.
inline int ScreenDpi(int axis) {
    HDC screen = GetDC(nullptr);
    ScopeGuard release([screen] { ReleaseDC(nullptr, screen); });
    return GetDeviceCaps(screen, axis);
}

struct VelmoEventLog {
    struct Key {
        std::int16_t keyCode;
        std::int16_t shift;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct Mouse {
        char kind; // 'D'own, 'U'p
        std::int16_t button;
        std::int16_t shift;
        float x;
        float y;
    };
    int hotKeyPressed = 0;
    int restored = 0;
    int messageBoxesOpening = 0;
    int clicks = 0;
    int dblClicks = 0;
    int mouseMoves = 0;
    std::vector<Key> keyDowns;
    std::vector<Key> keyUps;
    std::vector<Mouse> buttons;
    std::vector<std::wstring> changed;
    // Runs inside KeyDown after the values are logged; may change them.
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> onKeyDown;
    std::function<void()> onHotKeyPressed;

    VelmoEvents Events() {
        VelmoEvents events;
        events.HotKeyPressed = [this] {
            ++hotKeyPressed;
            if (onHotKeyPressed) {
                onHotKeyPressed();
            }
        };
        events.CaptureRestored = [this] { ++restored; };
        events.MessageBoxOpening = [this] { ++messageBoxesOpening; };
        events.Click = [this] { ++clicks; };
        events.DblClick = [this] { ++dblClicks; };
        events.KeyDown = [this](std::int16_t& keyCode, std::int16_t& shift) {
            keyDowns.push_back({keyCode, shift});
            if (onKeyDown) {
                onKeyDown(keyCode, shift);
            }
        };
        events.KeyUp = [this](std::int16_t& keyCode, std::int16_t& shift) {
            keyUps.push_back({keyCode, shift});
        };
        events.MouseDown = [this](std::int16_t& b, std::int16_t& s, float& x, float& y) {
            buttons.push_back({'D', b, s, x, y});
        };
        events.MouseUp = [this](std::int16_t& b, std::int16_t& s, float& x, float& y) {
            buttons.push_back({'U', b, s, x, y});
        };
        events.MouseMove = [this](std::int16_t&, std::int16_t&, float&, float&) { ++mouseMoves; };
        events.PropertyChanged = [this](std::wstring_view name) { changed.emplace_back(name); };
        return events;
    }
};

class VelmoTestHost final : public ui::WindowBase {
  public:
    static constexpr int kFirstControlId = 101;
    // 1905 x 300 twips, as on the main window.
    static constexpr int kControlWidth = 127;
    static constexpr int kControlHeight = 20;

    // One host serves every case, and it is never destroyed: without a window manager, Wine
    // waits two seconds for each active top-level window that goes away.
    static VelmoTestHost& Shared() {
        static VelmoTestHost& host = *new VelmoTestHost;
        return host;
    }

    // Shown, active, the focus on the second box, no hotkey counted.
    void Reset() {
        ShowWindow(hwnd(), SW_SHOW);
        SetWindowTextW(other_, L"");
        std::fill(std::begin(hostHotKeys_), std::end(hostHotKeys_), 0);
        Focus(other_);
    }

    HWND Window() const { return hwnd(); }
    HWND Other() const { return other_; }

    static RECT Slot(int slot) {
        const int top = 10 + slot * 30;
        return RECT{10, top, 10 + kControlWidth, top + kControlHeight};
    }

    std::unique_ptr<Velmo> Load(const std::wstring& name, const PropertyBag& bag,
                                VelmoEventLog& log, HostMode mode = HostMode::User, int slot = 0) {
        return Velmo::Load(hwnd(), name, kFirstControlId + slot, Slot(slot), bag, kHostFont, mode,
                           log.Events());
    }

    std::unique_ptr<Velmo> CreateNew(const std::wstring& name, VelmoEventLog& log, int slot = 0) {
        return Velmo::CreateNew(hwnd(), name, kFirstControlId + slot, Slot(slot), HostMode::User,
                                log.Events());
    }

    // Dispatches messages as the main window's loop does, dialog navigation first, until the
    // condition holds.
    bool WaitUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(hwnd(), &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            if (condition()) {
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    // Makes the host the foreground window with the keyboard focus on target.
    // Asked again until it holds: a message box that just closed may hand the foreground on after
    // the first request.
    bool Focus(HWND target) const {
        return WaitUntil([&] {
            SetForegroundWindow(hwnd());
            SetFocus(target);
            return GetForegroundWindow() == hwnd() && GetFocus() == target;
        });
    }

    // A hotkey of the host's own window, as another program would hold one.
    bool RegisterHostHotKey(int id, UINT modifiers, UINT vk) const {
        return RegisterHotKey(hwnd(), id, modifiers, vk) != FALSE;
    }
    void UnregisterHostHotKey(int id) const { UnregisterHotKey(hwnd(), id); }
    // How often the host's hotkey `id` has fired.
    int HostHotKeys(int id) const { return id < kMaxHotKeyId ? hostHotKeys_[id] : 0; }

  private:
    static constexpr int kMaxHotKeyId = 16;
    static constexpr wchar_t kClassName[] = L"HkvVelmoTestHost";

    VelmoTestHost() {
        RegisterWindowClass(kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        CreateFor(WS_EX_CONTROLPARENT, kClassName, L"velmo host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                  40, 40, 480, 320, nullptr, nullptr);
        other_ =
            CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 250,
                            10, 150, 24, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_HOTKEY && wParam < static_cast<WPARAM>(kMaxHotKeyId)) {
            ++hostHotKeys_[wParam];
            return 0;
        }
        return DefWindowProcW(hwnd(), message, wParam, lParam);
    }

    int hostHotKeys_[kMaxHotKeyId] = {};
    HWND other_ = nullptr; // child of the host's window
};

// Every case starts without a settings file next to the test program and with the focus away
// from any control.
class VelmoTest : public testing::Test {
  protected:
    static std::wstring SetIniPath() { return ExecutableFolder() + L"\\set.ini"; }

    void SetUp() override {
        DeleteFileForced(SetIniPath());
        host_.Reset();
    }
    void TearDown() override { DeleteFileForced(SetIniPath()); }

    // Writes a set.ini holding one control's saved hotkey, as an earlier run would have left it.
    static void WriteSavedHotKey(const std::wstring& name, const std::wstring& text,
                                 const std::wstring& keyCode, const std::wstring& modKeyCode) {
        const std::wstring path = SetIniPath();
        WritePrivateProfileStringW(L"Velmo", (name + L"Text").c_str(), text.c_str(), path.c_str());
        WritePrivateProfileStringW(L"Velmo", (name + L"KeyCode").c_str(), keyCode.c_str(),
                                   path.c_str());
        WritePrivateProfileStringW(L"Velmo", (name + L"ModKeyCode").c_str(), modKeyCode.c_str(),
                                   path.c_str());
    }

    // Presses a key in the focused box and waits until the box has raised its KeyDown.
    bool Down(WORD vk) {
        const std::size_t before = log_.keyDowns.size();
        keys_.Down(vk);
        return host_.WaitUntil([&] { return log_.keyDowns.size() > before; });
    }
    // Releases a key and waits until the box has raised its KeyUp.
    bool Up(WORD vk) {
        const std::size_t before = log_.keyUps.size();
        keys_.Up(vk);
        return host_.WaitUntil([&] { return log_.keyUps.size() > before; });
    }
    // Presses the keys in order in the focused box, then releases them in reverse order.
    void Press(std::initializer_list<WORD> combination) {
        for (WORD vk : combination) {
            ASSERT_TRUE(Down(vk)) << "no KeyDown for key " << vk;
        }
        for (auto it = std::rbegin(combination); it != std::rend(combination); ++it) {
            ASSERT_TRUE(Up(*it)) << "no KeyUp for key " << *it;
        }
    }

    VelmoTestHost& host_ = VelmoTestHost::Shared();
    VelmoEventLog log_;
    KeyboardInput keys_;
};

} // namespace hkv::test
