// A user without a mouse sets up a row and uses the program: keys only, from the start on.
#include "app/app_fixture.h"
#include "editor/composition.h"
#include "ui/colors.h"
#include "ui/contrast.h"

using namespace hkv::test;
namespace ids = hkv::ids;

namespace {

// Tab, or Shift + Tab, in `root`; true once the focus has moved.
bool Tab(HWND root, bool back = false) {
    const HWND before = FocusOf(root);
    KeyboardInput keys;
    back ? keys.Chord({VK_LSHIFT, VK_TAB}) : keys.Tap(VK_TAB);
    return WaitUntil([&] { return FocusOf(root) && FocusOf(root) != before; });
}

// Moves the focused key list's selection down with the arrow key, one entry at a time.
bool ArrowTo(HWND list, const wchar_t* name) {
    const auto& entries = hkv::editor::KeyListEntries();
    const auto target = std::find(entries.begin(), entries.end(), name) - entries.begin();
    auto selected = [&] { return SendMessageW(list, CB_GETCURSEL, 0, 0); };
    for (auto before = selected(); before != target; before = selected()) {
        TapKey(VK_DOWN);
        if (!WaitUntil([&] { return selected() != before; })) {
            return false;
        }
    }
    return true;
}

// Whether a box shows its focus mark, 3 : 1 or more: a dot of its top line, clear of text and
// caret.
bool ShowsFocusMark(HWND box, COLORREF background) {
    RECT rc{};
    GetWindowRect(box, &rc);
    HDC screen = GetDC(nullptr);
    const COLORREF dot =
        GetPixel(screen, rc.left + 1 + 2 * ((rc.right - rc.left - 4) / 2), rc.top + 1);
    ReleaseDC(nullptr, screen);
    return hkv::contrast::Ratio(dot, background) >= hkv::contrast::kLeastMarkContrast;
}

} // namespace

TEST_F(App, EveryStepFromTheKeyboardAlone) {
    ProgramUnderTest program(L"keyboard");
    ASSERT_TRUE(program.Start());
    HWND main = program.Main();
    HWND box1 = program.Text1(0);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main && FocusOf(main) == box1; }))
        << "the first key goes nowhere the user can see";
    // Moved with the keyboard, the focus shows.
    ASSERT_TRUE(Tab(main));
    ASSERT_TRUE(Tab(main, true));
    EXPECT_TRUE(WaitUntil([&] { return ShowsFocusMark(box1, hkv::colors::kAccent); }));

    // Enter opens the editor on its first list, on the blank entry: one Down is Shift.
    TapKey(VK_RETURN);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        editor = program.Editor();
        return editor && IsWindowVisible(editor) && FocusOf(editor) &&
               IsChild(FindDescendant(editor, ids::kLovea), FocusOf(editor));
    }));
    const HWND lists[] = {FindDescendant(editor, ids::kLovea), FindDescendant(editor, ids::kLovek),
                          FindDescendant(editor, ids::kLovem)};
    TapKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(lists[0]) == L"Shift"; }));
    ASSERT_TRUE(ArrowTo(lists[0], L"Ctrl"));
    // Tab goes through the lists left to right, then "添加"; Shift + Tab back.
    HWND add = FindDescendant(editor, ids::kLabel1);
    auto on = [&](HWND c) { return FocusOf(editor) == c || IsChild(c, FocusOf(editor)); };
    const HWND order[] = {lists[1], lists[2], add, lists[0], add, lists[2], lists[1]};
    for (int n = 0; n < 7; ++n) {
        ASSERT_TRUE(Tab(editor, n >= 4) && WaitUntil([&] { return on(order[n]); })) << n;
    }
    // "a" typed in the open list and Enter: the list's A, not Alt, the first name with an a.
    TapKey(VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(lists[1], CB_GETDROPPEDSTATE, 0, 0); }));
    TapKey('A');
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(lists[1]) == L"A"; })) << Narrow(TextOf(lists[1]));
    ASSERT_TRUE(Tab(editor) && Tab(editor) && WaitUntil([&] { return on(add); }));
    EXPECT_TRUE(WaitUntil([&] { return ShowsFocusMark(add, hkv::colors::kAccent); }));
    TapKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !IsWindowVisible(editor); }));
    EXPECT_EQ(TextOf(box1), L"Ctrl + A");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"0"), L"2|17|65");

    // Space opens it again; Esc closes it as its × does, storing nothing.
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == box1; }));
    TapKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(editor) && FocusOf(editor); }));
    TapKey(VK_DOWN);
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(main); }));
    EXPECT_EQ(TextOf(box1), L"Ctrl + A");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"0"), L"2|17|65");

    // Tab along row 1: its hotkey box captures F9 and shows the focus, its tick box takes Space.
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == box1; }));
    ASSERT_TRUE(Tab(main));
    ASSERT_EQ(FocusOf(main), program.VelmoEdit(1));
    EXPECT_TRUE(WaitUntil([&] { return ShowsFocusMark(FocusOf(main), hkv::colors::kHotkeyBack); }));
    TapKey(VK_F9);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(1)) == L"F9"; }));
    ASSERT_TRUE(Tab(main));
    ASSERT_EQ(FocusOf(main), program.Check(1));
    TapKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(program, 1); }));

    // The window menu hides the window into the notification area ("最小化到托盘", third from
    // the foot); the hotkey plays into another program meanwhile. On Wine, what X reported of the
    // editor's close while the program was busy may reach it only once the menu is up, and end the
    // menu as a change of focus (about one run in five here); a person opens it again, and so does
    // the test. From the last tick box, keys that reach the window instead of a menu just closed
    // only move among the tick boxes.
    while (FocusOf(main) != program.Check(hkv::ids::kRows)) {
        ASSERT_TRUE(Tab(main));
    }
    constexpr int kMenuTries = 3;
    for (int tries = 1; IsWindowVisible(main); ++tries) {
        ASSERT_LE(tries, kMenuTries) << "the window menu did not hide the window";
        ASSERT_TRUE(WaitUntil([&] { return !FindProcessWindow(program.Pid(), L"#32768", true); }));
        // Alt held until the menu is there, as a person who waits for it does.
        SendKey(VK_LMENU, false);
        TapKey(VK_SPACE);
        const bool menuShown =
            WaitUntil([&] { return FindProcessWindow(program.Pid(), L"#32768", true); });
        SendKey(VK_LMENU, true);
        ASSERT_TRUE(menuShown);
        for (WORD key : {VK_UP, VK_UP, VK_UP, VK_RETURN}) {
            TapKey(key);
        }
        WaitUntil([&] { return !IsWindowVisible(main); }, std::chrono::seconds(2));
    }
    TextTarget target;
    ASSERT_TRUE(target.TakeFocus());
    FocusGuard guard(target);
    ASSERT_TRUE(guard.Step([] { TapKey(VK_F9); },
                           [&] { return target.Keys().find("down 65") != std::string::npos; }))
        << target.Keys();
    EXPECT_LT(target.Keys().find("down 17"), target.Keys().find("down 65")) << target.Keys();

    // The icon from the keyboard, as the shell reports it: the menu key opens its menu at the
    // icon, not at the pointer; Enter brings the window back, active.
    const POINT icon{200, 180};
    MoveMouseTo({600, 500});
    auto fromIcon = [&](UINT event) {
        PostMessageW(main, hkv::kTrayCallbackMessage, MAKEWPARAM(icon.x, icon.y),
                     MAKELPARAM(event, 0));
    };
    fromIcon(WM_CONTEXTMENU);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        menu = FindProcessWindow(program.Pid(), L"#32768", true);
        return menu != nullptr;
    }));
    RECT at{};
    GetWindowRect(menu, &at);
    EXPECT_TRUE(at.left == icon.x && at.top == icon.y) << at.left << "," << at.top;
    // Esc gives the keys back where they went (or to Wine's desktop, if X is late with the focus).
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));
    EXPECT_TRUE(WaitUntil([&] {
        return GetForegroundWindow() == target.hwnd() ||
               GetForegroundWindow() == GetDesktopWindow();
    }));
    AllowSetForegroundWindow(program.Pid()); // as the shell lets the icon's owner come forward
    fromIcon(NIN_KEYSELECT);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && GetForegroundWindow() == main; }));
}
