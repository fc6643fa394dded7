// The notification-area icon and its menu, and the end of the session.
#include "app/app_fixture.h"
#include "common/system_error.h"
#include "ui/notice.h"

using namespace hkv::test;
namespace ids = hkv::ids;

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
    EXPECT_EQ(program.ReadIni(L"Velmo", L"Velmo2Text"), L"<missing>") << "saved";
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
    EXPECT_EQ(program.ReadIni(L"confenabled", L"0"), L"1") << "the ticked row, for an armed start";
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

    // A new taskbar gets the icon again, and is asked to let it work from the keyboard.
    {
        StandInTaskbar taskbar(program.Main());
        taskbar.AnnounceCreated();
        EXPECT_TRUE(WaitUntil([&] { return taskbar.IconCalls() == 2; }))
            << "icon messages at the new taskbar: " << taskbar.IconCalls();
    }

    // Hidden, "显示" brings the window back focused as it was; "退出" leaves like the exit image.
    ASSERT_TRUE(ClickOn(program.Control(ids::kImage2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(program.Main()); }));
    iconMessage(WM_RBUTTONUP);
    HWND shown = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (shown = FindProcessWindow(program.Pid(), L"#32768", true)); }));
    RECT first{};
    GetWindowRect(shown, &first);
    ASSERT_TRUE(ClickOn(shown, {(first.left + first.right) / 2, first.top + 8}));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.Text1(0); }));
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

TEST_F(App,
       AFileThatTakesNoWritesIsToldOnceWithNoKeyDownTheExitAddsTheUntoldAndSignOutShowsNothing) {
    ProgramUnderTest program(L"readonlyrun");
    ASSERT_TRUE(program.WriteIni(kMappedIni));
    ASSERT_TRUE(SetFileAttributesW(program.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(program.Start());
    MessageBoxWatcher notices(hkv::ui::kNoticeTitle, program.Pid());
    auto boxOpen = [&] { return FindProcessWindow(program.Pid(), L"#32770", true) != nullptr; };
    // A combination is written as it completes, with its keys still down: told once they are up.
    ASSERT_TRUE(ClickOn(program.VelmoEdit(5)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(5); }));
    SendKey(VK_CONTROL, false);
    SendKey(VK_F11, false);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(5)) == L"Ctrl + F11"; }));
    SendKey(VK_F11, true);
    SendKey(VK_F12, false);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(5)) == L"Ctrl + F12"; }));
    EXPECT_FALSE(
        WaitUntil([&] { return notices.Count() > 0 || boxOpen(); }, std::chrono::milliseconds(400)))
        << "told with the keys down";
    SendKey(VK_F12, true);
    SendKey(VK_CONTROL, true);
    ASSERT_TRUE(notices.WaitForCount(1)) << "a hotkey the file did not take, never told";
    ASSERT_TRUE(WaitUntil([&] { return !boxOpen(); }));
    const std::wstring reason = hkv::SystemErrorText(ERROR_FILE_READ_ONLY);
    EXPECT_NE(notices.Seen()[0].text.find(program.IniPath() + L"\r\nWindows reports: " + reason),
              std::wstring::npos)
        << Narrow(notices.Seen()[0].text);
    // Once per run: what the file does not take later is named by the exit.
    ASSERT_TRUE(ClickOn(program.VelmoEdit(6)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(6); }));
    TapKey(VK_F7);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.VelmoEdit(6)) == L"F7"; }));
    Enable(program, 2);
    ASSERT_TRUE(ClickOn(program.Control(ids::kImage3)));
    ASSERT_TRUE(program.WaitForExit());
    const auto told = notices.Seen();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_NE(told[0].text.find(L"row 5: Ctrl + F12"), std::wstring::npos);
    EXPECT_EQ(told[0].text.find(L"F11"), std::wstring::npos) << Narrow(told[0].text);
    EXPECT_EQ(told[1].text.find(L"row 5"), std::wstring::npos) << "told twice";
    EXPECT_NE(told[1].text.find(L"row 6: F7"), std::wstring::npos) << Narrow(told[1].text);
    EXPECT_NE(told[1].text.find(L"which rows are enabled"), std::wstring::npos);

    // Signing out with the run's second failure untold shows nothing, not even at a later close.
    ASSERT_TRUE(program.Start());
    MessageBoxWatcher atSignOut(hkv::ui::kNoticeTitle, program.Pid());
    for (const int row : {7, 8}) {
        ASSERT_TRUE(ClickOn(program.VelmoEdit(row)));
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(row); }));
        TapKey(VK_F6);
        ASSERT_TRUE(atSignOut.WaitForCount(1) && WaitUntil([&] {
                        return !boxOpen() && TextOf(program.VelmoEdit(row)) == L"F6";
                    }));
    }
    constexpr UINT kSignOutWaitMs = 5000; // what Windows gives a program before it asks the user
    DWORD_PTR mayEnd = 0;
    EXPECT_NE(SendMessageTimeoutW(program.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, kSignOutWaitMs, &mayEnd),
              0);
    EXPECT_NE(mayEnd, 0u);
    EXPECT_NE(SendMessageTimeoutW(program.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, kSignOutWaitMs, nullptr),
              0)
        << "the session waits on the program";
    PostMessageW(program.Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_TRUE(atSignOut.Count() == 1 && !boxOpen());
    ASSERT_TRUE(program.Start(L"/armed", false));
    PostMessageW(program.Main(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_TRUE(program.WaitForExit()) << "still running after an installer's close";
}
