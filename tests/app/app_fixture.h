#pragma once
// What the tests of the real program share: the settings files they start it with, the looks at
// what a target received, stand-ins for the shell and the screen scale, a watch of injected keys
// and the fixture that checks that no scenario leaves a key down.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

#include "support/program_under_test.h"
#include "support/input.h"
#include "support/key_recorder.h"
#include "support/message_box_watcher.h"
#include "support/screen_scale.h"
#include "support/text_target.h"
#include "common/win_handles.h"
#include "tray/tray_icon.h"
#include "ui/twips.h"

namespace hkv::test {

// Row 1: Ctrl + Alt + K plays Shift + H. Row 2: Ctrl + F9 plays Ctrl + C. Row 3: F8 plays A.
inline constexpr char kMappedIni[] =
    "[conftext]\r\n0=Shift + H\r\n1=Ctrl + C\r\n2=A\r\n9=Win + Alt + Enter\r\n10=never read\r\n"
    "[conftooltip]\r\n0=2|16|72\r\n1=2|17|67\r\n2=1|65\r\n9=3|91|18|13\r\n10=1|66\r\n"
    "[Velmo]\r\n"
    "Velmo1Text=Ctrl + Alt + K\r\nVelmo1KeyCode=75\r\nVelmo1ModKeyCode=3\r\n"
    "Velmo2Text=Ctrl + F9\r\nVelmo2KeyCode=120\r\nVelmo2ModKeyCode=2\r\n"
    "Velmo3Text=F8\r\nVelmo3KeyCode=119\r\nVelmo3ModKeyCode=0\r\n";

// Row 1: F7 holds A and B down for its 200 ms pause.
inline constexpr char kHoldingIni[] =
    "[conftooltip]\r\n0=2|65|66\r\n"
    "[Velmo]\r\nVelmo1Text=F7\r\nVelmo1KeyCode=118\r\nVelmo1ModKeyCode=0\r\n";

inline std::vector<RecordedKey> Downs(const std::vector<RecordedKey>& keys) {
    std::vector<RecordedKey> out;
    std::copy_if(keys.begin(), keys.end(), std::back_inserter(out),
                 [](const RecordedKey& k) { return !k.up; });
    return out;
}

// The recorded events from the first key-down of vk on, without the user's releases of the
// hotkeys' keys: of function keys always, and of `hotkeyKey`. The system has the key down since the
// hotkey's press, so its release goes through as it comes: ahead of the playback that the press
// began, amid it or after it, whichever it meets.
inline std::vector<RecordedKey> From(const std::vector<RecordedKey>& keys, int vk,
                                     int hotkeyKey = 0) {
    auto it = std::find_if(keys.begin(), keys.end(),
                           [vk](const RecordedKey& k) { return k.vk == vk && !k.up; });
    std::vector<RecordedKey> out;
    std::copy_if(it, keys.end(), std::back_inserter(out), [hotkeyKey](const RecordedKey& k) {
        return (k.vk < VK_F1 || k.vk > VK_F24) && !(k.up && k.vk == hotkeyKey);
    });
    return out;
}

inline bool IsKeyDownNow(int vk) {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

// Events of these keys, down or up.
inline std::ptrdiff_t CountOf(const std::vector<RecordedKey>& keys,
                              std::initializer_list<int> vks) {
    return std::count_if(keys.begin(), keys.end(), [&](const RecordedKey& k) {
        return std::find(vks.begin(), vks.end(), k.vk) != vks.end();
    });
}

// A stand-in for a taskbar that has just been created: the shell's notification-area window,
// found by the program's icon calls ahead of the real one while it exists. It counts the icon
// messages that reach it from the given window (from any, given none) and answers them as told:
// a shell still starting at sign-in refuses every icon.
class StandInTaskbar {
  public:
    explicit StandInTaskbar(HWND from, bool takesIcons = true) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Shell_TrayWnd";
        RegisterClassExW(&wc);
        from_ = from;
        takesIcons_ = takesIcons;
        window_.reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"",
                                      WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                                      nullptr));
        calls_ = 0;
    }
    // Tells every top-level window that the taskbar was created, as the shell does.
    void AnnounceCreated() const {
        PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(hkv::kTaskbarCreatedMessage), 0, 0);
    }
    int IconCalls() const { return calls_; }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_COPYDATA && (!from_ || reinterpret_cast<HWND>(wParam) == from_)) {
            ++calls_;
            return takesIcons_;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    static inline HWND from_ = nullptr;
    static inline bool takesIcons_ = true;
    static inline int calls_ = 0;
    hkv::UniqueWindow window_;
};

// Every key event some program synthesises, as it enters the system's input stream, for as long
// as the object lives (this thread must dispatch messages meanwhile, as WaitUntil does). An action
// may run at the press of one key: it runs while the program that pressed it waits for this hook,
// so what the action presses or posts is there before the program's next step, however slow the
// machine. At the last key before a playback's pause, that is inside the pause. It runs once, at
// the first press: Wine may call a hook of this process more than once for one event while the
// program's own watch of the keyboard is installed too.
class InjectedKeyWatch {
  public:
    explicit InjectedKeyWatch(DWORD actionKey = 0, std::function<void()> action = {}) {
        events_.clear();
        actionKey_ = actionKey;
        action_ = std::move(action);
        hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &Proc, GetModuleHandleW(nullptr), 0);
    }
    ~InjectedKeyWatch() { UnhookWindowsHookEx(hook_); }
    InjectedKeyWatch(const InjectedKeyWatch&) = delete;
    InjectedKeyWatch& operator=(const InjectedKeyWatch&) = delete;

    // From inside an action: the next action, at a later press.
    static void Then(DWORD actionKey, std::function<void()> action) {
        actionKey_ = actionKey;
        action_ = std::move(action);
    }

    bool Saw(DWORD vk, bool up) const { return Count(vk, up) > 0; }
    // For a failure's message: "164v 76v 76^ ...".
    std::string Describe() const {
        std::string s;
        for (const auto& [vk, up] : events_) {
            s += std::to_string(vk) + (up ? "^ " : "v ");
        }
        return s;
    }
    std::ptrdiff_t Count(DWORD vk, bool up) const {
        return std::count(events_.begin(), events_.end(), std::make_pair(vk, up));
    }

  private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION && (key->flags & LLKHF_INJECTED) != 0) {
            const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
            events_.emplace_back(key->vkCode, up);
            if (key->vkCode == actionKey_ && !up && action_) {
                std::exchange(action_, {})();
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline std::vector<std::pair<DWORD, bool>> events_;
    static inline DWORD actionKey_ = 0;
    static inline std::function<void()> action_;
    HHOOK hook_ = nullptr;
};

class App : public testing::Test {
  protected:
    // No scenario may leave a key down; whatever happened, none stays down for the next case.
    void TearDown() override { EXPECT_TRUE(NoKeyLeftDown()); }

    bool IsChecked(const ProgramUnderTest& p, int row) {
        return SendMessageW(p.Check(row), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    // Starts the program with row 1 (F7 holding A and B) enabled, gives the target the focus and
    // presses F7; `inPause` runs as the program presses B (see InjectedKeyWatch). Returns once B
    // is down at the target.
    void StartHoldingPlayback(ProgramUnderTest& program, KeyRecorder& target,
                              std::function<void()> inPause = {}) {
        ASSERT_TRUE(program.WriteIni(kHoldingIni));
        ASSERT_TRUE(program.Start());
        Enable(program, 1, Tick::Notify);
        ASSERT_TRUE(target.TakeFocus());
        FocusGuard guard(target);
        InjectedKeyWatch watch;
        ASSERT_TRUE(guard.Step(
            [&] {
                InjectedKeyWatch::Then('B', inPause);
                TapKey(VK_F7);
            },
            [&] { return Contains(target.keys(), 'B', false); }))
            << Describe(target.keys());
    }

    // Starts another copy, which must end at once, and waits until the running copy's window is
    // back in front: shown, not minimised, active, taken from another window that had the front.
    void StartAgainAndSeeTheWindowInFront(ProgramUnderTest& p) {
        KeyRecorder inFront;
        ASSERT_TRUE(inFront.TakeFocus());
        HANDLE second = p.Launch();
        ASSERT_NE(second, nullptr);
        ASSERT_EQ(WaitForSingleObject(second, 20000), WAIT_OBJECT_0) << "the second copy ran on";
        DWORD code = 1;
        GetExitCodeProcess(second, &code);
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(WaitUntil([&] {
            return IsWindowVisible(p.Main()) && !IsIconic(p.Main()) &&
                   GetForegroundWindow() == p.Main() && IsChild(p.Main(), FocusOf(p.Main()));
        })) << "visible "
            << IsWindowVisible(p.Main()) << ", minimised " << IsIconic(p.Main()) << ", in front "
            << (GetForegroundWindow() == p.Main());
    }

    // Enables a row whose hotkey the system accepts, with a real click on its check box, or
    // through the box's own notification (ticked and reported to the window, as a click does)
    // where keys are typed into another window next: a click activates the program, and Wine can
    // apply that activation after the other window took the focus (see FocusGuard).
    enum class Tick { Click, Notify };
    void Enable(const ProgramUnderTest& p, int row, Tick how = Tick::Click) {
        SetTicked(p, row, true, how);
    }
    void SetTicked(const ProgramUnderTest& p, int row, bool ticked, Tick how) {
        if (how == Tick::Click) {
            ASSERT_TRUE(ClickOn(p.Check(row))) << "row " << row;
        } else {
            ASSERT_TRUE(p.TickByNotification(row, ticked)) << "row " << row;
        }
        ASSERT_TRUE(WaitUntil([&] { return IsChecked(p, row) == ticked; })) << "row " << row;
    }
};

} // namespace hkv::test
