// The real program, started as its own process under Wine and driven as a user would: real
// clicks, real key presses, a real window of ours receiving the emitted shortcut.
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
#include "support/text_target.h"
#include "common/win_handles.h"
#include "tray/tray_icon.h"
#include "ui/twips.h"

using namespace hkv::test;
namespace ids = hkv::ids;

namespace {

// Row 1: Ctrl + Alt + K plays Shift + H. Row 2: Ctrl + F9 plays Ctrl + C. Row 3: F8 plays A.
const char kMappedIni[] =
    "[conftext]\r\n0=Shift + H\r\n1=Ctrl + C\r\n2=A\r\n9=Win + Alt + Enter\r\n10=never read\r\n"
    "[conftooltip]\r\n0=2|16|72\r\n1=2|17|67\r\n2=1|65\r\n9=3|91|18|13\r\n10=1|66\r\n"
    "[Velmo]\r\n"
    "Velmo1Text=Ctrl + Alt + K\r\nVelmo1KeyCode=75\r\nVelmo1ModKeyCode=3\r\n"
    "Velmo2Text=Ctrl + F9\r\nVelmo2KeyCode=120\r\nVelmo2ModKeyCode=2\r\n"
    "Velmo3Text=F8\r\nVelmo3KeyCode=119\r\nVelmo3ModKeyCode=0\r\n";

// Row 1: F7 holds A and B down for its 200 ms pause.
const char kHoldingIni[] =
    "[conftooltip]\r\n0=2|65|66\r\n"
    "[Velmo]\r\nVelmo1Text=F7\r\nVelmo1KeyCode=118\r\nVelmo1ModKeyCode=0\r\n";

std::vector<RecordedKey> Downs(const std::vector<RecordedKey>& keys) {
    std::vector<RecordedKey> out;
    std::copy_if(keys.begin(), keys.end(), std::back_inserter(out),
                 [](const RecordedKey& k) { return !k.up; });
    return out;
}

// The recorded events from the first key-down of vk on, without the user's releases of function
// key hotkeys: they reach the window, amid a playback that the press began as often as not.
std::vector<RecordedKey> From(const std::vector<RecordedKey>& keys, int vk) {
    auto it = std::find_if(keys.begin(), keys.end(),
                           [vk](const RecordedKey& k) { return k.vk == vk && !k.up; });
    std::vector<RecordedKey> out;
    std::copy_if(it, keys.end(), std::back_inserter(out),
                 [](const RecordedKey& k) { return k.vk < VK_F1 || k.vk > VK_F24; });
    return out;
}

bool IsKeyDownNow(int vk) {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

// Events of these keys, down or up.
std::ptrdiff_t CountOf(const std::vector<RecordedKey>& keys, std::initializer_list<int> vks) {
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

// Sets the screen scale that programs started afterwards see, for the life of the object.
class ScreenScale {
  public:
    explicit ScreenScale(DWORD dpi) { Set(dpi); }
    ~ScreenScale() { Set(96); }
    ScreenScale(const ScreenScale&) = delete;
    ScreenScale& operator=(const ScreenScale&) = delete;

  private:
    static void Set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                        sizeof dpi);
    }
};

// Every key event some program synthesises, as it enters the system's input stream, for as long
// as the object lives (this thread must dispatch messages meanwhile, as WaitUntil does). An action
// may run at the press of one key: it runs while the program that pressed it waits for this hook,
// so what the action presses or posts is there before the program's next step, however slow the
// machine. At the last key before a playback's pause, that is inside the pause.
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
                action_();
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
        Enable(program, 1);
        ASSERT_TRUE(target.TakeFocus());
        InjectedKeyWatch watch('B', std::move(inPause));
        TapKey(VK_F7);
        ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'B', false); }))
            << Describe(target.keys());
    }

    // Starts another copy, which must end at once, and waits until the running copy's window is
    // back in front: shown, not minimised, active.
    void StartAgainAndSeeTheWindowInFront(ProgramUnderTest& p) {
        HANDLE second = p.Launch();
        ASSERT_NE(second, nullptr);
        ASSERT_EQ(WaitForSingleObject(second, 20000), WAIT_OBJECT_0) << "the second copy ran on";
        DWORD code = 1;
        GetExitCodeProcess(second, &code);
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(WaitUntil([&] {
            return IsWindowVisible(p.Main()) && !IsIconic(p.Main()) &&
                   GetForegroundWindow() == p.Main();
        })) << "visible "
            << IsWindowVisible(p.Main()) << ", minimised " << IsIconic(p.Main()) << ", in front "
            << (GetForegroundWindow() == p.Main());
    }

    // Enables a row whose hotkey the system accepts, with a real click on its check box.
    void Enable(const ProgramUnderTest& p, int row) {
        ASSERT_TRUE(ClickOn(p.Check(row))) << "row " << row;
        ASSERT_TRUE(WaitUntil([&] { return IsChecked(p, row); })) << "row " << row;
    }
};

} // namespace

TEST_F(App, StartsWithSavedRowsAllDisabledAndCentredAndShowsAHoveredRowsKeyCodeList) {
    ProgramUnderTest program(L"start");
    ASSERT_TRUE(program.WriteIni(kMappedIni));
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(TextOf(program.Main()), L"设置");
    EXPECT_EQ(TextOf(program.Text1(0)), L"Shift + H");
    EXPECT_EQ(TextOf(program.Text1(1)), L"Ctrl + C");
    EXPECT_EQ(TextOf(program.Text1(9)), L"Win + Alt + Enter");
    for (int i = 3; i < 9; ++i) {
        EXPECT_EQ(TextOf(program.Text1(i)), L"") << "row " << i + 1 << " shows layout text";
    }
    EXPECT_EQ(TextOf(program.VelmoEdit(1)), L"Ctrl + Alt + K");
    EXPECT_EQ(TextOf(program.VelmoEdit(3)), L"F8");
    EXPECT_EQ(TextOf(program.VelmoEdit(4)), L"按下快捷键");
    for (int row = 1; row <= 10; ++row) {
        EXPECT_FALSE(IsChecked(program, row)) << "row " << row;
        EXPECT_EQ(TextOf(program.Check(row)), L"启用");
    }
    RECT rc;
    GetWindowRect(program.Main(), &rc);
    EXPECT_EQ(rc.right - rc.left, 389);
    EXPECT_EQ(rc.bottom - rc.top, 371);
    EXPECT_EQ(rc.left, (GetSystemMetrics(SM_CXSCREEN) - 389) / 2);
    EXPECT_EQ(rc.top, (GetSystemMetrics(SM_CYSCREEN) - 371) / 2);
    EXPECT_EQ(GetWindowLongW(program.Main(), GWL_STYLE) & WS_CAPTION, 0) << "no system frame";
    // Row 10 lies where the layout puts it: 810 + 9 * 480 twips down, 240 twips in.
    RECT box;
    GetWindowRect(program.Text1(9), &box);
    EXPECT_EQ(box.left - rc.left, 16);
    EXPECT_EQ(box.top - rc.top, 342);
    // Hovering a row's box shows its key code list.
    ASSERT_TRUE(PointAtWindow(program.Text1(1), CentreOf(program.Text1(1))));
    MoveMouseTo({CentreOf(program.Text1(1)).x + 3, CentreOf(program.Text1(1)).y});
    std::wstring shown;
    ASSERT_TRUE(WaitUntil([&] {
        HWND tip = FindProcessWindow(program.Pid(), L"tooltips_class32", true);
        shown = tip ? TextOf(tip) : L"";
        return shown == L"2|17|67";
    })) << "tooltip shows: "
        << Narrow(shown);
}

TEST_F(App, TabVisitsTheRowsInTheirLaidOutOrder) {
    ProgramUnderTest program(L"taborder");
    ASSERT_TRUE(program.Start());
    std::vector<HWND> expected{program.Text1(0)};
    for (int row = 1; row <= 10; ++row) {
        expected.push_back(program.Check(row));
    }
    for (int i = 1; i < 10; ++i) {
        expected.push_back(program.Text1(i));
    }
    for (int row = 1; row <= 10; ++row) {
        expected.push_back(program.VelmoEdit(row));
    }
    ASSERT_TRUE(ClickOn(program.Text1(0)));
    // The click opens the editor for row 1; closing it brings the main window back.
    ASSERT_TRUE(WaitUntil([&] { return program.Editor() && IsWindowVisible(program.Editor()); }));
    ASSERT_TRUE(ClickOn(FindDescendant(program.Editor(), ids::kEditImage3)));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.Main()); }));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == expected[0]; }))
        << "the focus did not come back to row 1's box";
    for (std::size_t k = 1; k < expected.size(); ++k) {
        TapKey(VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == expected[k]; }))
            << "Tab number " << k << " went to control id "
            << GetDlgCtrlID(FocusOf(program.Main()));
    }
}

TEST_F(App, FirstStartShowsEmptyRowsASecondCopyEndsAtOnceAndNeitherWritesAnything) {
    ProgramUnderTest program(L"first");
    ASSERT_TRUE(program.Start());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(TextOf(program.Text1(i)), L"");
        EXPECT_EQ(TextOf(program.VelmoEdit(i + 1)), L"按下快捷键");
    }
    StartAgainAndSeeTheWindowInFront(program);
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(FileExists(program.IniPath())) << "a start wrote the settings file";
}

TEST_F(App, WithoutTheTrayIconTheMinimiseImageKeepsTheWindowOnTheTaskbarAndAStartBringsItBack) {
    ProgramUnderTest program(L"notray");
    {
        StandInTaskbar starting(nullptr, false); // the shell at sign-in, refusing every icon
        ASSERT_TRUE(program.Start());
        ASSERT_GT(starting.IconCalls(), 0) << "the icon went elsewhere";
        ASSERT_TRUE(ClickOn(program.Control(ids::kImage2)));
        ASSERT_TRUE(WaitUntil([&] { return IsIconic(program.Main()) != FALSE; }))
            << "not minimised; visible: " << IsWindowVisible(program.Main());
        EXPECT_TRUE(IsWindowVisible(program.Main())) << "hidden with no icon to bring it back";
    }
    ASSERT_NO_FATAL_FAILURE(StartAgainAndSeeTheWindowInFront(program));
    EXPECT_FALSE(FileExists(program.IniPath())) << "a start wrote the settings file";
}

TEST_F(App, AnArmedStartTicksEveryStoredRowAsAUserWouldHiddenAndAStartBringsTheWindow) {
    // Row 4 holds row 1's hotkey: refused as a user's tick is. Row 6 has no old shortcut, row 5
    // no hotkey.
    ProgramUnderTest program(L"armed");
    ASSERT_TRUE(program.WriteIni(std::string(kMappedIni) +
                                 "Velmo4Text=Ctrl + Alt + K\r\nVelmo4KeyCode=75\r\n"
                                 "Velmo4ModKeyCode=3\r\nVelmo6Text=F6\r\nVelmo6KeyCode=117\r\n"
                                 "Velmo6ModKeyCode=0\r\n"));
    MessageBoxWatcher boxes(L"error", MessageBoxWatcher::kAnyProcess);
    // Any letter case, either switch character; arguments it does not know change nothing.
    ASSERT_TRUE(program.Start(L"/unknown -ArMeD", false));
    ASSERT_TRUE(boxes.WaitForCount(1));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(4)) == L"按下快捷键"; }));
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(IsChecked(program, row), row == 1 || row == 2 || row == 3 || row == 6)
            << "row " << row;
    }
    EXPECT_FALSE(IsWindowVisible(program.Main()));
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    TapKey(VK_F8);
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    ASSERT_NO_FATAL_FAILURE(StartAgainAndSeeTheWindowInFront(program));
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u) << "a row without a hotkey was ticked";
    EXPECT_EQ(seen[0].text, L"Hotkey already exists, please change a hotkey.");
}

TEST_F(App, EnabledRowsPlayIntoTheFocusedWindowAlsoHiddenClearedAndEmptyRowsPlayNothing) {
    InjectedKeyWatch injected;
    ProgramUnderTest program(L"play");
    ASSERT_TRUE(program.WriteIni(std::string(kMappedIni) +
                                 "Velmo4Text=F9\r\nVelmo4KeyCode=120\r\nVelmo4ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    Enable(program, 1);
    Enable(program, 3);
    Enable(program, 4); // row 4 has no old shortcut
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());

    PressHotkeyLikeAPerson({VK_CONTROL, VK_MENU}, 'K');
    ASSERT_TRUE(WaitUntil([&] { return Contains(From(target.keys(), VK_SHIFT), VK_SHIFT, true); }))
        << "saw: " << Describe(target.keys());

    const auto played = From(target.keys(), VK_SHIFT);
    ASSERT_EQ(played.size(), 4u) << Describe(target.keys());
    EXPECT_EQ(played[0].vk, VK_SHIFT);
    EXPECT_FALSE(played[0].up);
    EXPECT_EQ(played[1].vk, 'H');
    EXPECT_FALSE(played[1].up);
    EXPECT_EQ(played[2].vk, 'H');
    EXPECT_TRUE(played[2].up);
    EXPECT_EQ(played[3].vk, VK_SHIFT);
    EXPECT_TRUE(played[3].up);
    // Held for the player's pause (200 ms; message times are coarse, so only loosely).
    EXPECT_GE(played[2].time - played[1].time, 150u);
    // The user's Ctrl and Alt were released before the shortcut began: H arrived on its own.
    const auto before = std::vector<RecordedKey>(target.keys().begin(), target.keys().end() - 4);
    EXPECT_TRUE(Contains(before, VK_CONTROL, true) && Contains(before, VK_MENU, true))
        << Describe(target.keys());
    EXPECT_TRUE(KeysDown().empty());
    // The program's Shift is the left Shift key, as a keyboard sends it.
    EXPECT_TRUE(injected.Saw(VK_LSHIFT, false) && !injected.Saw(VK_SHIFT, false));

    // Row 2, Ctrl + F9 playing Ctrl + C, repeated as people do: Ctrl held (the left key, as a
    // keyboard sends it), F9 tapped three times. The program neither presses nor releases the
    // user's Ctrl, so every tap fires the hotkey again and Ctrl stays down until the user lets go.
    Enable(program, 2);
    ASSERT_TRUE(target.TakeFocus());
    target.Clear();
    SendKey(VK_LCONTROL, false);
    for (std::size_t tap = 1; tap <= 3; ++tap) {
        TapKey(VK_F9);
        ASSERT_TRUE(WaitUntil([&] {
            const auto played = From(target.keys(), 'C');
            return Downs(played).size() == tap && played.back().vk == 'C' && played.back().up;
        })) << "tap "
            << tap << ": " << Describe(target.keys());
    }
    EXPECT_EQ(CountOf(target.keys(), {VK_CONTROL}), 1) << "the program sent a Ctrl of its own";
    EXPECT_TRUE(IsKeyDownNow(VK_CONTROL)) << "Ctrl reads up while the user holds it";
    SendKey(VK_LCONTROL, true);
    EXPECT_TRUE(WaitUntil([] { return !IsKeyDownNow(VK_CONTROL); }));

    // Cleared, row 1 plays nothing any more.
    ASSERT_TRUE(ClickOn(program.Check(1)));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(program, 1); }));
    target.Clear();
    ASSERT_TRUE(target.TakeFocus());
    PressHotkeyLikeAPerson({VK_CONTROL, VK_MENU}, 'K'); // cleared: nothing
    TapKey(VK_F9);                                      // empty list: nothing
    TapKey(VK_F8); // a row that plays, so there is an end to wait for
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    EXPECT_FALSE(Contains(target.keys(), VK_SHIFT, false)) << Describe(target.keys());
    EXPECT_FALSE(Contains(target.keys(), 'H', false)) << Describe(target.keys());
    EXPECT_EQ(Downs(From(target.keys(), 'A')).size(), 1u) << Describe(target.keys());
    // The key K itself now reaches the window: the hotkey is no longer registered.
    EXPECT_TRUE(Contains(target.keys(), 'K', false)) << Describe(target.keys());

    // Hidden in the notification area, the program still plays.
    ASSERT_TRUE(ClickOn(program.Control(ids::kImage2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(program.Main()); }));
    target.Clear();
    ASSERT_TRUE(target.TakeFocus());
    TapKey(VK_F8);
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    EXPECT_EQ(Downs(From(target.keys(), 'A')).size(), 1u);
    EXPECT_FALSE(IsWindowVisible(program.Main()));
}

TEST_F(App, RefusedEnablesShowOneMessageEachAndACapturedHotkeyClearsARowsTick) {
    // Rows 1 and 4 hold the same hotkey; row 5 holds none.
    ProgramUnderTest program(L"refused");
    ASSERT_TRUE(program.WriteIni(std::string(kMappedIni) +
                                 "Velmo4Text=Ctrl + Alt + K\r\nVelmo4KeyCode=75\r\n"
                                 "Velmo4ModKeyCode=3\r\n"));
    ASSERT_TRUE(program.Start());
    MessageBoxWatcher boxes(L"error", program.Pid());
    Enable(program, 1);

    ASSERT_TRUE(ClickOn(program.Check(4)));
    ASSERT_TRUE(boxes.WaitForCount(1))
        << "no message for a hotkey already held; row 4 checked: " << IsChecked(program, 4)
        << ", its box shows " << Narrow(TextOf(program.VelmoEdit(4)));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(4)) == L"按下快捷键"; }))
        << Narrow(TextOf(program.VelmoEdit(4)));
    EXPECT_FALSE(IsChecked(program, 4));
    EXPECT_TRUE(IsChecked(program, 1)) << "the first row stays enabled";
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.Check(4); }))
        << "the focus did not come back to the check box after the message";

    ASSERT_TRUE(ClickOn(program.Check(5)));
    ASSERT_TRUE(boxes.WaitForCount(2)) << "no message for a row without a hotkey";
    // A third message would have been answered by now if the refusal raised a second click.
    ASSERT_TRUE(ClickOn(program.Check(1)));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(program, 1); }));
    EXPECT_FALSE(IsChecked(program, 5));

    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, L"Hotkey already exists, please change a hotkey.");
    EXPECT_EQ(seen[1].text, L"Not set hotkey");
    for (const auto& box : seen) {
        EXPECT_EQ(box.title, L"error");
        EXPECT_EQ(box.icon, MessageBoxIcon::Hand);
        EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    }

    // Capturing a new hotkey in an enabled row clears its tick.
    Enable(program, 3);
    ASSERT_TRUE(ClickOn(program.VelmoEdit(3)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(3); }));
    // Shift+Tab out of the box is no new combination: the row keeps its hotkey and its tick.
    PressHotkeyLikeAPerson({VK_SHIFT}, VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(2); }));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(program, 3); }))
        << "the row lost its tick; its box shows " << Narrow(TextOf(program.VelmoEdit(3)));
    EXPECT_EQ(TextOf(program.VelmoEdit(3)), L"F8");
    // Away from the first click, which would make this one a double click.
    ASSERT_TRUE(ClickOn(program.VelmoEdit(3),
                        {CentreOf(program.VelmoEdit(3)).x + 30, CentreOf(program.VelmoEdit(3)).y}));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(3); }));
    TapKey(VK_F9);
    // The new combination is not registered until the row is ticked again, and the box says so.
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(program, 3); }))
        << "the row still looks enabled; its box shows " << Narrow(TextOf(program.VelmoEdit(3)));
    Enable(program, 3);
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    TapKey(VK_F9);
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
}

TEST_F(App, PlayedShortcutsAreNotCapturedByAFocusedHotkeyBox) {
    // Row 1: F7 plays Ctrl + C. Its playback goes to row 2's box, then to row 1's own.
    ProgramUnderTest program(L"ownplay");
    ASSERT_TRUE(program.WriteIni("[conftooltip]\r\n0=2|17|67\r\n"
                                 "[Velmo]\r\nVelmo1Text=F7\r\nVelmo1KeyCode=118\r\n"
                                 "Velmo1ModKeyCode=0\r\nVelmo2Text=F6\r\nVelmo2KeyCode=117\r\n"
                                 "Velmo2ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    Enable(program, 1);
    for (int box : {2, 1}) {
        ASSERT_TRUE(ClickOn(program.VelmoEdit(box)));
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(box); }));
        TapKey(VK_F7);
        bool played = false;
        ASSERT_TRUE(WaitUntil([&] { return (played |= IsKeyDownNow('C')) && KeysDown().empty(); }))
            << "row 1 played nothing into box " << box;
    }
    // A key of the user's in row 3's box: once it shows, the played keys have been handled too.
    ASSERT_TRUE(ClickOn(program.VelmoEdit(3)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(3); }));
    PressHotkeyLikeAPerson({}, VK_F9);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(3)) != L"按下快捷键"; }));
    EXPECT_EQ(TextOf(program.VelmoEdit(2)), L"F6");
    EXPECT_EQ(TextOf(program.VelmoEdit(1)), L"F7");
    EXPECT_TRUE(IsChecked(program, 1)) << "row 1 unregistered by its own playback";
}

TEST_F(App, PressDuringAPauseOfAPlaybackPlaysInsideItAndAMenuOpenedThenReleasesTheKeysFirst) {
    // Row 1 holds A and B down for its pause; F8 pressed meanwhile plays C inside it. (The outer
    // shortcut holds no modifier: with Ctrl held, F8 would be Ctrl + F8, another hotkey.)
    ProgramUnderTest program(L"nested");
    ASSERT_TRUE(
        program.WriteIni("[conftooltip]\r\n0=2|65|66\r\n2=1|67\r\n"
                         "[Velmo]\r\nVelmo1Text=F7\r\nVelmo1KeyCode=118\r\nVelmo1ModKeyCode=0\r\n"
                         "Velmo3Text=F8\r\nVelmo3KeyCode=119\r\nVelmo3ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    Enable(program, 1);
    Enable(program, 3);
    {
        KeyRecorder target;
        ASSERT_TRUE(target.TakeFocus());
        InjectedKeyWatch pressF8AtB('B', [] { TapKey(VK_F8); });
        TapKey(VK_F7);
        ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
            << Describe(target.keys());
        std::vector<std::pair<int, bool>> seen;
        for (const auto& k : From(target.keys(), 'A')) {
            seen.emplace_back(k.vk, k.up);
        }
        const std::vector<std::pair<int, bool>> expected{{'A', false}, {'B', false}, {'C', false},
                                                         {'C', true},  {'B', true},  {'A', true}};
        EXPECT_EQ(seen, expected) << Describe(target.keys());
        EXPECT_TRUE(KeysDown().empty());
    }
    // The tray menu opened in the pause. Seen where synthetic input enters the system: the focus
    // moves to the menu, and Wine then resets the keyboard state by itself, so neither a window
    // nor the key state could tell.
    InjectedKeyWatch injected('B', [&] {
        PostMessageW(program.Main(), hkv::kTrayCallbackMessage, 0, MAKELPARAM(WM_RBUTTONUP, 0));
    });
    TapKey(VK_F7);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(program.Pid(), L"#32768", true); }));
    EXPECT_TRUE(WaitUntil([&] { return injected.Saw('A', true) && injected.Saw('B', true); }))
        << "keys held while the menu is open";
    EXPECT_NE(FindProcessWindow(program.Pid(), L"#32768", true), nullptr);
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !FindProcessWindow(program.Pid(), L"#32768", true); }));
    // Then the window's system menu, as Alt + Space opens it while the window has the focus.
    ASSERT_TRUE(WaitUntil([&] {
        SetForegroundWindow(program.Main());
        return GetForegroundWindow() == program.Main();
    }));
    InjectedKeyWatch altSpaceAtB('B', [] {
        SendKey(VK_MENU, false);
        TapKey(VK_SPACE);
        SendKey(VK_MENU, true);
    });
    TapKey(VK_F7);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(program.Pid(), L"#32768", true); }));
    EXPECT_TRUE(WaitUntil([&] { return altSpaceAtB.Saw('A', true) && altSpaceAtB.Saw('B', true); }))
        << "keys held while the system menu is open";
    ASSERT_TRUE(WaitUntil([&] {
        TapKey(VK_ESCAPE);
        return !FindProcessWindow(program.Pid(), L"#32768", true);
    }));
    EXPECT_TRUE(program.Running());
}

TEST_F(App, ARowThatPlaysItsOwnHotkeyPlaysItIntoTheWindowAndReleasesEverything) {
    // Row 1 plays its own hotkey: its K reaches the window with the user's Ctrl and Alt, which the
    // shortcut holds too, instead of firing the row again.
    ProgramUnderTest program(L"selfloop");
    ASSERT_TRUE(program.WriteIni("[conftooltip]\r\n0=3|17|18|75\r\n"
                                 "[Velmo]\r\nVelmo1Text=Ctrl + Alt + K\r\nVelmo1KeyCode=75\r\n"
                                 "Velmo1ModKeyCode=3\r\n"));
    ASSERT_TRUE(program.Start());
    Enable(program, 1);
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    PressHotkeyLikeAPerson({VK_CONTROL, VK_MENU}, 'K');
    // The emissions end: every key the program pressed is released again.
    ASSERT_TRUE(
        WaitUntil([&] { return Contains(target.keys(), VK_CONTROL, true) && KeysDown().empty(); },
                  std::chrono::milliseconds(10000)))
        << Describe(target.keys());
    EXPECT_EQ(CountOf(target.keys(), {VK_CONTROL, VK_MENU}), 4) << "not only the user's Ctrl, Alt";
    EXPECT_TRUE(Contains(target.keys(), 'K', false)) << Describe(target.keys());
    EXPECT_TRUE(program.Running()) << "the program ended";
    EXPECT_TRUE(IsWindowVisible(program.Main()));
}

TEST_F(App, BothHandsALayerSwappedRowsAndAHeldHotkeyPlayAsTheUserMeansThem) {
    // Row 1: Alt + L plays Right. Rows 2 and 3: Shift + A and Shift + B play each other. Row 4:
    // F7 plays Ctrl + C.
    ProgramUnderTest program(L"habits");
    ASSERT_TRUE(program.WriteIni(
        "[conftooltip]\r\n0=1|39\r\n1=2|16|66\r\n2=2|16|65\r\n3=2|17|67\r\n[Velmo]\r\n"
        "Velmo1Text=Alt + L\r\nVelmo1KeyCode=76\r\nVelmo1ModKeyCode=1\r\n"
        "Velmo2Text=Shift + A\r\nVelmo2KeyCode=65\r\nVelmo2ModKeyCode=4\r\n"
        "Velmo3Text=Shift + B\r\nVelmo3KeyCode=66\r\nVelmo3ModKeyCode=4\r\n"
        "Velmo4Text=F7\r\nVelmo4KeyCode=118\r\nVelmo4ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    for (int row = 1; row <= 4; ++row) {
        Enable(program, row);
    }
    TextTarget text;
    ASSERT_TRUE(text.TakeFocus());

    // Alt held as a layer, L tapped three times: the caret moves three places while Alt is held,
    // and what is typed after Alt is let go goes into the text, not into the menu bar. A person
    // taps again after the playback: its last event is the key that keeps Alt's release from
    // opening the menu bar, sent after Alt is pressed again, as one is before it is lifted.
    constexpr DWORD kNeutralKey = 0xE8;
    text.SetText(L"abcdef", 0);
    InjectedKeyWatch injected;
    {
        SendKey(VK_LMENU, false);
        for (int tap = 1; tap <= 3; ++tap) {
            TapKey('L');
            ASSERT_TRUE(WaitUntil([&] { return injected.Count(kNeutralKey, true) == 2 * tap; }))
                << "tap " << tap << ": " << injected.Describe();
            EXPECT_EQ(text.Caret(), tap);
        }
        SendKey(VK_LMENU, true);
    }
    // Typed once Alt's release has reached the system, as a person types a moment later.
    ASSERT_TRUE(WaitUntil([] { return !IsKeyDownNow(VK_MENU); }));
    TapKey('X');
    ASSERT_TRUE(WaitUntil([&] { return text.Text() == L"abcxdef"; }))
        << Narrow(text.Text()) << ": " << injected.Describe() << " / " << text.Keys() << " menu "
        << text.MenuBarOpened();
    EXPECT_EQ(text.MenuBarOpened(), 0);

    // The same with AltGr (right Alt): a tap plays once; L held down, repeating as a keyboard
    // repeats it, plays again and again, and nothing else reaches the text.
    text.SetText(L"abcdef", 0);
    {
        const auto neutralsBefore = injected.Count(kNeutralKey, true);
        SendKey(VK_RMENU, false);
        TapKey('L');
        ASSERT_TRUE(
            WaitUntil([&] { return injected.Count(kNeutralKey, true) == neutralsBefore + 2; }));
        EXPECT_EQ(text.Caret(), 1) << injected.Describe() << " / " << text.Keys();
        SendKey('L', false);
        for (int repeat = 0; repeat < 100 && text.Caret() < 4; ++repeat) {
            PumpFor(33); // a keyboard's repeat rate
            SendKey('L', false);
        }
        SendKey('L', true);
        SendKey(VK_RMENU, true);
    }
    ASSERT_TRUE(WaitUntil([] { return !IsKeyDownNow(VK_MENU); }));
    TapKey('X');
    ASSERT_TRUE(WaitUntil([&] { return text.Text().find(L'x') != std::wstring::npos; }));
    std::wstring typed = text.Text();
    const auto x = typed.find(L'x');
    EXPECT_GE(x, 4u) << "a held hotkey did not repeat: " << Narrow(typed);
    EXPECT_EQ(typed.erase(x, 1), L"abcdef") << "more than the shortcut reached the text";
    EXPECT_EQ(text.MenuBarOpened(), 0);

    // Swapped rows swap, with either hand's Shift.
    text.SetText(L"", 0);
    PressHotkeyLikeAPerson({VK_LSHIFT}, 'A');
    ASSERT_TRUE(WaitUntil([&] { return text.Text() == L"B"; })) << Narrow(text.Text());
    PressHotkeyLikeAPerson({VK_RSHIFT}, 'B');
    ASSERT_TRUE(WaitUntil([&] { return text.Text() == L"BA"; })) << Narrow(text.Text());

    // Right Ctrl pressed during a playback that holds the left one, let go after it: the
    // program's left Ctrl is released all the same.
    InjectedKeyWatch rightCtrlAtC('C', [] { SendKey(VK_RCONTROL, false); });
    TapKey(VK_F7);
    ASSERT_TRUE(WaitUntil([&] { return rightCtrlAtC.Saw(VK_LCONTROL, true); }))
        << "the program's left Ctrl was left down";
    SendKey(VK_RCONTROL, true);
    EXPECT_TRUE(WaitUntil([] { return KeysDown().empty(); }));
}

TEST_F(App, ARowsBoxOpensItsEditorAndTheExitSavesEveryHotkeyControlAndEnds) {
    ProgramUnderTest program(L"exit");
    ASSERT_TRUE(program.WriteIni(kMappedIni));
    ASSERT_TRUE(program.Start());
    // A click on row 3's box opens the editor for that row in the window's place. It stays,
    // hidden, after "添加": the exit must take it down cleanly too.
    ASSERT_TRUE(ClickOn(program.Text1(2)));
    ASSERT_TRUE(WaitUntil([&] {
        return program.Editor() && IsWindowVisible(program.Editor()) &&
               !IsWindowVisible(program.Main());
    }));
    EXPECT_EQ(TextOf(FindDescendant(program.Editor(), ids::kPd)), L"2");
    EXPECT_EQ(GetWindow(program.Editor(), GW_OWNER), nullptr) << "the editor has no owner";
    ASSERT_TRUE(ClickOn(FindDescendant(program.Editor(), ids::kLabel1)));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.Main()); }));
    ASSERT_NE(program.Editor(), nullptr);
    // Capture a new hotkey in row 5 by pressing it in its box.
    ASSERT_TRUE(ClickOn(program.VelmoEdit(5)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(5); }));
    PressHotkeyLikeAPerson({VK_CONTROL, VK_SHIFT}, 'Z');
    ASSERT_TRUE(WaitUntil([&] {
        return TextOf(program.VelmoEdit(5)).rfind(L"Ctrl + Shift + ", 0) == 0;
    })) << Narrow(TextOf(program.VelmoEdit(5)));
    const std::wstring captured = TextOf(program.VelmoEdit(5));

    ASSERT_TRUE(ClickOn(program.Control(ids::kImage3)));
    ASSERT_TRUE(program.WaitForExit()) << "the exit image did not end the program";
    EXPECT_EQ(program.ExitCode(), 0u) << "a fault on the way out";
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo5Text"), captured);
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo5KeyCode"), L"90");
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo5ModKeyCode"), L"6");
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo1Text"), L"Ctrl + Alt + K");
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo1KeyCode"), L"75");
    for (int n = 1; n <= 10; ++n) {
        const std::wstring name = L"Velmo" + std::to_wstring(n);
        EXPECT_NE(program.ReadIni(L"Velmo", (name + L"Text").c_str()), L"<missing>") << n;
        EXPECT_NE(program.ReadIni(L"Velmo", (name + L"KeyCode").c_str()), L"<missing>") << n;
        EXPECT_NE(program.ReadIni(L"Velmo", (name + L"ModKeyCode").c_str()), L"<missing>") << n;
    }
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo10Text"), L"按下快捷键");
    // The old shortcuts were not touched.
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"0"), L"2|16|72");
}

TEST_F(App, TitleStripDragsTheWindowOnlyWhileTheButtonIsDown) {
    ProgramUnderTest program(L"drag");
    // Moved over the strip without a button pressed during a playback's pause: no drag starts,
    // so the playback's keys stay down for their whole pause.
    KeyRecorder target;
    ASSERT_NO_FATAL_FAILURE(StartHoldingPlayback(program, target, [&] {
        RECT rc;
        GetWindowRect(program.Main(), &rc);
        MoveMouseTo({rc.left + 250, rc.top + 12});
        MoveMouseTo({rc.left + 280, rc.top + 17});
    }));
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    const auto played = From(target.keys(), 'A');
    EXPECT_GE(played.back().time - played.front().time, 150u) << Describe(target.keys());
    RECT start;
    GetWindowRect(program.Main(), &start);
    const POINT grip{start.left + 250, start.top + 12}; // on the strip, clear of the images
    // Moving over the strip without a button pressed leaves the window where it is.
    ASSERT_TRUE(PointAtWindow(program.Main(), grip));
    MoveMouseTo({grip.x + 30, grip.y + 5});
    ASSERT_TRUE(InputTaken(program.Main()));
    RECT hovered;
    GetWindowRect(program.Main(), &hovered);
    EXPECT_EQ(hovered.left, start.left);
    EXPECT_EQ(hovered.top, start.top);

    ASSERT_TRUE(PointAtWindow(program.Main(), grip));
    MouseInput::Press(MouseInput::Button::Left, grip);
    for (int step = 1; step <= 10; ++step) {
        PumpFor(20);
        MoveMouseTo({grip.x - 6 * step, grip.y + 4 * step});
    }
    PumpFor(50);
    MouseInput::Release(MouseInput::Button::Left, {grip.x - 60, grip.y + 40});
    RECT now{};
    ASSERT_TRUE(WaitUntil([&] {
        GetWindowRect(program.Main(), &now);
        // The move loop starts at the first move, so the window may lag by that one step.
        return now.left <= start.left - 54 && now.left >= start.left - 60 &&
               now.top >= start.top + 36 && now.top <= start.top + 40;
    })) << "the window did not follow the mouse: it went from "
        << start.left << "," << start.top << " to " << now.left << "," << now.top;
}

TEST_F(App, LeavingDuringAnEmissionReleasesTheKeysItHolds) {
    // Row 1 holds A and B down for its 200 ms pause; the exit operation runs meanwhile. It is
    // started by the exit image's own notification rather than a click: a click would move the
    // focus, and Wine then resets the keyboard state by itself, hiding what the program did.
    ProgramUnderTest program(L"exitduring");
    KeyRecorder target;
    ASSERT_NO_FATAL_FAILURE(StartHoldingPlayback(program, target, [&] {
        PostMessageW(program.Main(), WM_COMMAND, MAKEWPARAM(ids::kImage3, 0),
                     reinterpret_cast<LPARAM>(program.Control(ids::kImage3)));
    }));
    ASSERT_TRUE(program.WaitForExit());
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << "the keys were left down: " << Describe(target.keys());
    const auto played = From(target.keys(), 'A');
    ASSERT_EQ(played.size(), 4u) << Describe(target.keys());
    EXPECT_TRUE(played[2].vk == 'B' && played[2].up && played[3].vk == 'A' && played[3].up)
        << "released in reverse: " << Describe(target.keys());
    // The exit ends the process inside the pause, which never resumes: released by the exit.
    EXPECT_FALSE(IsKeyDownNow('A') || IsKeyDownNow('B'));
}

TEST_F(App, ACancelledSignOutChangesNothingAndSigningOutSavesTheHotkeysAndReleasesHeldKeys) {
    ProgramUnderTest program(L"endsession");
    StandInTaskbar taskbar(nullptr); // sees the icon's removal
    KeyRecorder target;
    // Another program cancels the sign-out, told in a playback's pause: the session goes on.
    ASSERT_NO_FATAL_FAILURE(StartHoldingPlayback(program, target, [&] {
        PostMessageW(program.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        PostMessageW(program.Main(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    }));
    const int iconCalls = taskbar.IconCalls();
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }));
    ASSERT_TRUE(InputTaken(program.Main()));
    const auto played = From(target.keys(), 'A');
    ASSERT_EQ(played.size(), 4u) << Describe(target.keys());
    EXPECT_GE(played[3].time - played[1].time, 150u) << "the pause was cut short";
    EXPECT_EQ(taskbar.IconCalls(), iconCalls) << "the icon left the notification area";
    const auto saved = ReadFileBytes(program.IniPath());
    EXPECT_TRUE(std::string(saved.begin(), saved.end()) == kHoldingIni) << "saved";
    target.Clear();
    TapKey(VK_F7);
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'B', false); }))
        << "the row no longer plays: " << Describe(target.keys());
    // As the system asks at sign-out: may the session end, then it ends.
    EXPECT_NE(SendMessageW(program.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
    SendMessageW(program.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << "keys held at the end of the session: " << Describe(target.keys());
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo1KeyCode"), L"118");
    EXPECT_GT(taskbar.IconCalls(), iconCalls) << "the icon was not removed";
    for (int n = 2; n <= 10; ++n) {
        EXPECT_EQ(program.ReadIni(L"Velmo", (L"Velmo" + std::to_wstring(n) + L"Text").c_str()),
                  L"按下快捷键")
            << n;
    }
}

TEST_F(App, TrayIconBringsTheWindowBackSurvivesATaskbarRestartAndItsMenuExitSaves) {
    ProgramUnderTest program(L"tray");
    ASSERT_TRUE(program.WriteIni(kMappedIni));
    ASSERT_TRUE(program.Start());
    auto iconMessage = [&](UINT mouse) {
        PostMessageW(program.Main(), hkv::kTrayCallbackMessage, 0, MAKELPARAM(mouse, 0));
    };
    ASSERT_TRUE(ClickOn(program.Control(ids::kImage2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(program.Main()); }));
    iconMessage(WM_LBUTTONDOWN);
    iconMessage(WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.Main()); }));

    // Minimised from the taskbar, the window comes back whole.
    PostMessageW(program.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(program.Main()) != FALSE; }));
    iconMessage(WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(program.Main()); })) << "still minimised";
    EXPECT_TRUE(IsWindowVisible(program.Main()));

    // A new taskbar gets the icon again.
    {
        StandInTaskbar taskbar(program.Main());
        taskbar.AnnounceCreated();
        EXPECT_TRUE(WaitUntil([&] { return taskbar.IconCalls() == 1; }))
            << "icon messages at the new taskbar: " << taskbar.IconCalls();
    }

    // Hidden again, the icon's menu item "退出" leaves like the exit image.
    ASSERT_TRUE(ClickOn(program.Control(ids::kImage2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(program.Main()); }));
    MoveMouseTo({600, 500});
    PostMessageW(program.Main(), hkv::kTrayCallbackMessage, 0, MAKELPARAM(WM_RBUTTONUP, 0));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        menu = FindProcessWindow(program.Pid(), L"#32768", true);
        return menu != nullptr;
    })) << "no popup menu";
    EXPECT_FALSE(IsWindowVisible(program.Main())) << "the menu must not show the window";
    // The last item, "退出", at the menu's foot. A click, as it reaches the menu even when the
    // standalone tray window of Wine's shell has taken the activation meanwhile.
    RECT items{};
    GetWindowRect(menu, &items);
    ASSERT_TRUE(ClickOn(menu, {(items.left + items.right) / 2, items.bottom - 8}));
    ASSERT_TRUE(program.WaitForExit()) << "choosing 退出 did not end the program";
    EXPECT_EQ(program.ExitCode(), 0u) << "a fault on the way out";
    for (int n = 1; n <= 10; ++n) {
        EXPECT_NE(program.ReadIni(L"Velmo", (L"Velmo" + std::to_wstring(n) + L"KeyCode").c_str()),
                  L"<missing>")
            << n;
    }
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo3Text"), L"F8");
}

TEST_F(App, AtAScaleOf150PercentMouseMovesOverTheWindowOpenNoMenu) {
    ScreenScale scale(144);
    ProgramUnderTest program(L"scale144");
    ASSERT_TRUE(program.Start());
    RECT window{};
    GetWindowRect(program.Main(), &window);
    ASSERT_GT(window.right - window.left, 517) << "the program did not see 144 DPI";
    // Across the whole width, in the band between the title strip and the column headings where
    // the pointer is over the window itself.
    const int y = window.top + hkv::TwipsToPixels(390, 144);
    for (int x = window.left; x < window.right; ++x) {
        MoveMouseTo({x, y});
    }
    ASSERT_TRUE(InputTaken(program.Main()));
    EXPECT_EQ(FindProcessWindow(program.Pid(), L"#32768", true), nullptr) << "a menu opened";
}
