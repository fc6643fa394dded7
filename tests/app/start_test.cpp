// The program started as a user starts it: its saved rows, its window, a second start, an armed
// start.
#include "app/app_fixture.h"
#include "ui/notice.h"

using namespace hkv::test;
namespace ids = hkv::ids;

TEST_F(App, StartsWithSavedRowsAllDisabledAndCentredAndShowsAHoveredRowsKeyCodeList) {
    ProgramUnderTest program(L"start");
    // Rows ticked at the last end stay unticked at a start the user makes.
    ASSERT_TRUE(program.WriteIni(std::string(kMappedIni) + "[confenabled]\r\n0=1\r\n2=1\r\n"));
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

TEST_F(App, TabGoesAlongEachRowBeforeTheNextAndShiftTabBack) {
    ProgramUnderTest program(L"taborder");
    ASSERT_TRUE(program.Start());
    std::vector<HWND> expected;
    for (int row = 1; row <= 10; ++row) {
        expected.insert(expected.end(),
                        {program.Text1(row - 1), program.VelmoEdit(row), program.Check(row)});
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
    for (std::size_t k = expected.size() - 1; k-- > 0;) {
        KeyboardInput().Chord({static_cast<WORD>(k % 2 ? VK_RSHIFT : VK_LSHIFT), VK_TAB});
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == expected[k]; })) << k;
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

TEST_F(App,
       AnArmedStartTicksTheRowsTickedByHandHiddenNamesTheRefusedOnesOnceAndOnlyClicksChangeThem) {
    // Row 4 holds row 1's hotkey and row 7 row 3's: refused, they keep them. Row 6 has no old
    // shortcut, row 5 no hotkey; row 8 was unticked by hand, row 9 has no entry.
    ProgramUnderTest program(L"armed");
    ASSERT_TRUE(
        program.WriteIni(std::string(kMappedIni) +
                         "Velmo4Text=Ctrl + Alt + K\r\nVelmo4KeyCode=75\r\nVelmo4ModKeyCode=3\r\n"
                         "Velmo6Text=F6\r\nVelmo6KeyCode=117\r\nVelmo6ModKeyCode=0\r\n"
                         "Velmo7Text=F8\r\nVelmo7KeyCode=119\r\nVelmo7ModKeyCode=0\r\n"
                         "Velmo8Text=F5\r\nVelmo8KeyCode=116\r\nVelmo8ModKeyCode=0\r\n"
                         "[confenabled]\r\n0=1\r\n1=1\r\n2=1\r\n3=1\r\n5=1\r\n6=1\r\n7=0\r\n"));
    MessageBoxWatcher boxes(L"error", MessageBoxWatcher::kAnyProcess);
    MessageBoxWatcher notices(hkv::ui::kNoticeTitle, MessageBoxWatcher::kAnyProcess);
    // Any letter case, either switch character; arguments it does not know change nothing.
    ASSERT_TRUE(program.Start(L"/unknown -ArMeD", false));
    ASSERT_TRUE(notices.WaitForCount(1));
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(IsChecked(program, row), row == 1 || row == 2 || row == 3 || row == 6)
            << "row " << row;
    }
    EXPECT_EQ(TextOf(program.VelmoEdit(4)), L"Ctrl + Alt + K");
    EXPECT_FALSE(IsWindowVisible(program.Main()));
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    TapKey(VK_F8);
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    // Started at sign-in once more (a Startup shortcut beside the Run key): nothing shows.
    ASSERT_EQ(WaitForSingleObject(program.Launch(L"/armed"), 20000), WAIT_OBJECT_0);
    EXPECT_TRUE(InputTaken(program.Main()) && !IsWindowVisible(program.Main()));
    ASSERT_NO_FATAL_FAILURE(StartAgainAndSeeTheWindowInFront(program));
    EXPECT_EQ(boxes.Count(), 0u) << "a box per row";
    const auto told = notices.Seen();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text.substr(told[0].text.find(L"Row ")),
              L"Row 4: Ctrl + Alt + K\r\nRow 7: F8");
    // The refused rows, left alone, are still to be armed next time; a row unticked is not, from
    // the click on. Neither the exit nor a plain start and its exit change that.
    auto ticked = [&] {
        std::wstring digits;
        for (int i = 0; i < 10; ++i) {
            digits += program.ReadIni(L"confenabled", std::to_wstring(i).c_str());
        }
        return digits;
    };
    ASSERT_TRUE(ClickOn(program.Check(2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(program, 2); }));
    EXPECT_EQ(ticked(), L"1011011000");
    ASSERT_TRUE(ClickOn(program.Control(ids::kImage3)));
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(ticked(), L"1011011000") << "the exit";
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(ClickOn(program.Control(ids::kImage3)));
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(ticked(), L"1011011000") << "a plain start and its exit";
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo4KeyCode"), L"75");
    // From an older file, without the entries, the first click writes each row as it shows.
    WritePrivateProfileStringW(L"confenabled", nullptr, nullptr, program.IniPath().c_str());
    ASSERT_TRUE(program.Start(L"/armed", false) && notices.WaitForCount(2));
    ASSERT_NO_FATAL_FAILURE(StartAgainAndSeeTheWindowInFront(program));
    ASSERT_TRUE(ClickOn(program.Check(2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(program, 2); }));
    EXPECT_EQ(ticked(), L"1011011100");
}
