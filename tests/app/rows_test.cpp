// A row's tick, its hotkey box and its editor, and the exit that saves them.
#include "app/app_fixture.h"

using namespace hkv::test;
namespace ids = hkv::ids;

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
    for (int i = 0; i < 10; ++i) { // the first tick writes every row as the window shows it
        EXPECT_EQ(program.ReadIni(L"confenabled", std::to_wstring(i).c_str()), i ? L"0" : L"1");
    }
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
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.Text1(2); }));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(program, 3); }))
        << "the row lost its tick; its box shows " << Narrow(TextOf(program.VelmoEdit(3)));
    EXPECT_EQ(TextOf(program.VelmoEdit(3)), L"F8");
    ASSERT_TRUE(ClickOn(program.VelmoEdit(2)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(2); }));
    // Registered again as the box was left, row 3's hotkey still waits while a box has the focus:
    // the box captures it.
    TapKey(VK_F8);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(2)) == L"F8"; }))
        << "row 3 played instead: " << Narrow(TextOf(program.VelmoEdit(2)));
    // Away from the first click, which would make this one a double click.
    ASSERT_TRUE(ClickOn(program.VelmoEdit(3),
                        {CentreOf(program.VelmoEdit(3)).x + 30, CentreOf(program.VelmoEdit(3)).y}));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(3); }));
    TapKey(VK_F9);
    // The new combination is not registered until the row is ticked again, and the box says so.
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(program, 3); }))
        << "the row still looks enabled; its box shows " << Narrow(TextOf(program.VelmoEdit(3)));
    Enable(program, 3, Tick::Notify);
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    FocusGuard guard(target);
    ASSERT_TRUE(
        guard.Step([] { TapKey(VK_F9); }, [&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
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
    // A first key ("Shift", the entry after the blank one the list starts on), or "添加" would
    // store nothing.
    HWND first = FindDescendant(program.Editor(), ids::kLovea);
    ASSERT_TRUE(WaitUntil([&] { return IsChild(first, FocusOf(program.Editor())); }));
    TapKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(first, CB_GETCURSEL, 0, 0) == 1; }));
    ASSERT_TRUE(ClickOn(FindDescendant(program.Editor(), ids::kLabel1)));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.Main()); }));
    ASSERT_NE(program.Editor(), nullptr);
    // Capture a new hotkey in row 5 by pressing it in its box.
    ASSERT_TRUE(ClickOn(program.VelmoEdit(5)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(5); }));
    SendKey(VK_CONTROL, false);
    SendKey(VK_SHIFT, false);
    SendKey('Z', false);
    ASSERT_TRUE(WaitUntil([&] { return program.ReadIni(L"Velmo", L"Velmo5ModKeyCode") == L"6"; }));
    WritePrivateProfileStringW(L"Velmo", L"Velmo5KeyCode", L"1", program.IniPath().c_str());
    SendMessageW(program.VelmoEdit(5), EM_SETSEL, 0, 0); // a repeat puts the caret at the end
    SendKey('Z', false);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(program.VelmoEdit(5), EM_GETSEL, 0, 0) > 0; }));
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo5KeyCode"), L"1") << "a repeat wrote it again";
    SendKey('Z', true);
    SendKey(VK_SHIFT, true);
    SendKey(VK_CONTROL, true);
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
