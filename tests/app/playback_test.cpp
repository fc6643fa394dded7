// Enabled rows played into a real window of ours as the user presses their hotkeys.
#include "app/app_fixture.h"

using namespace hkv::test;
namespace ids = hkv::ids;

TEST_F(App, EnabledRowsPlayIntoTheFocusedWindowAlsoHiddenClearedAndEmptyRowsPlayNothing) {
    InjectedKeyWatch injected;
    ProgramUnderTest program(L"play");
    ASSERT_TRUE(program.WriteIni(std::string(kMappedIni) +
                                 "Velmo4Text=F9\r\nVelmo4KeyCode=120\r\nVelmo4ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    Enable(program, 1, Tick::Notify);
    Enable(program, 3, Tick::Notify);
    Enable(program, 4, Tick::Notify); // row 4 has no old shortcut
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    FocusGuard guard(target);

    // Where the user's keys land depends on when they come, which a busy machine decides: the
    // release of K goes through as it comes, ahead of the playback, amid it or after it; Ctrl and
    // Alt, lifted for the shortcut, are put back after it for a user who still holds them then.
    // The shortcut itself is the same, and whole, once all of them have come.
    ASSERT_TRUE(guard.Step(
        [&] {
            target.Clear();
            PressHotkeyLikeAPerson({VK_CONTROL, VK_MENU}, 'K');
        },
        [&] {
            return Contains(From(target.keys(), VK_SHIFT), VK_SHIFT, true) &&
                   Contains(target.keys(), 'K', true) && KeysDown().empty();
        }))
        << "saw: " << Describe(target.keys());
    EXPECT_EQ(CountOf(target.keys(), {'K'}), 1) << Describe(target.keys());
    EXPECT_EQ(CountOf(target.keys(), {VK_SHIFT, 'H'}), 4) << Describe(target.keys());

    auto played = From(target.keys(), VK_SHIFT, 'K');
    played.erase(std::find_if(played.begin(), played.end(),
                              [](const RecordedKey& k) { return k.vk == VK_SHIFT && k.up; }) +
                     1,
                 played.end());
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
    const auto before = std::vector<RecordedKey>(
        target.keys().begin(), std::find_if(target.keys().begin(), target.keys().end(),
                                            [](const RecordedKey& k) { return k.vk == VK_SHIFT; }));
    EXPECT_TRUE(Contains(before, VK_CONTROL, true) && Contains(before, VK_MENU, true))
        << Describe(target.keys());
    EXPECT_TRUE(KeysDown().empty());
    // The program's Shift is the left Shift key, as a keyboard sends it.
    EXPECT_TRUE(injected.Saw(VK_LSHIFT, false) && !injected.Saw(VK_SHIFT, false));

    // Row 2, Ctrl + F9 playing Ctrl + C, repeated as people do: Ctrl held (the left key, as a
    // keyboard sends it), F9 tapped three times. The program neither presses nor releases the
    // user's Ctrl, so every tap fires the hotkey again and Ctrl stays down until the user lets go.
    Enable(program, 2, Tick::Notify);
    ASSERT_TRUE(target.TakeFocus());
    target.Clear();
    SendKey(VK_LCONTROL, false);
    for (std::size_t tap = 1; tap <= 3; ++tap) {
        ASSERT_TRUE(guard.Step([] { TapKey(VK_F9); },
                               [&] {
                                   const auto played = From(target.keys(), 'C');
                                   return Downs(played).size() == tap && played.back().vk == 'C' &&
                                          played.back().up;
                               },
                               {VK_LCONTROL}))
            << "tap " << tap << ": " << Describe(target.keys());
    }
    EXPECT_EQ(CountOf(Downs(target.keys()), {VK_CONTROL}), 1 + guard.PressedAgain())
        << "the program sent a Ctrl of its own";
    EXPECT_TRUE(IsKeyDownNow(VK_CONTROL)) << "Ctrl reads up while the user holds it";
    SendKey(VK_LCONTROL, true);
    EXPECT_TRUE(WaitUntil([] { return !IsKeyDownNow(VK_CONTROL); }));
    // Let go after the watch (Ctrl read down at the hotkey): F8 plays A, no Ctrl lifted or put
    // back.
    ASSERT_TRUE(guard.Step([] { TapKey(VK_F8); },
                           [&] { return Contains(From(target.keys(), 'A'), 'A', true); }));
    EXPECT_EQ(CountOf(Downs(target.keys()), {VK_CONTROL}), 1 + guard.PressedAgain())
        << "the user's Ctrl taken as still held";

    // Ctrl let go just as row 1 puts back the Ctrl it lifted: the release comes to the program's
    // watch while it still answers for that press, and must reach the system after it.
    SendKey(VK_LCONTROL, false);
    SendKey(VK_LMENU, false);
    {
        InjectedKeyWatch letGoAtPutBack(VK_LCONTROL, [] { SendKey(VK_LCONTROL, true); });
        TapKey('K');
        ASSERT_TRUE(WaitUntil([&] { return letGoAtPutBack.Saw(VK_LCONTROL, false); }))
            << letGoAtPutBack.Describe();
    }
    SendKey(VK_LMENU, true);
    EXPECT_TRUE(WaitUntil([] { return KeysDown().empty(); }))
        << "left down: " << testing::PrintToString(KeysDown());

    // Cleared, row 1 plays nothing any more.
    SetTicked(program, 1, false, Tick::Notify);
    ASSERT_TRUE(target.TakeFocus());
    target.Clear();
    ASSERT_TRUE(guard.Step(
        [] {
            PressHotkeyLikeAPerson({VK_CONTROL, VK_MENU}, 'K');
        },
        [&] { return Contains(target.keys(), VK_CONTROL, true); }))
        << Describe(target.keys());
    ASSERT_TRUE(guard.Step(
        [] {
            TapKey(VK_F9); // empty list: nothing
            TapKey(VK_F8); // a row that plays, so there is an end to wait for
        },
        [&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    EXPECT_FALSE(Contains(target.keys(), VK_SHIFT, false)) << Describe(target.keys());
    EXPECT_FALSE(Contains(target.keys(), 'H', false)) << Describe(target.keys());
    EXPECT_EQ(Downs(From(target.keys(), 'A')).size(), 1u) << Describe(target.keys());
    // The key K itself now reaches the window: the hotkey is no longer registered.
    EXPECT_TRUE(Contains(target.keys(), 'K', false)) << Describe(target.keys());

    // Hidden in the notification area (by its picture's own notification, as a click reports it),
    // the program still plays.
    PostMessageW(program.Main(), WM_COMMAND, MAKEWPARAM(ids::kImage2, 0),
                 reinterpret_cast<LPARAM>(program.Control(ids::kImage2)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(program.Main()); }));
    target.Clear();
    ASSERT_TRUE(target.TakeFocus());
    ASSERT_TRUE(
        guard.Step([] { TapKey(VK_F8); }, [&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    EXPECT_EQ(Downs(From(target.keys(), 'A')).size(), 1u);
    EXPECT_FALSE(IsWindowVisible(program.Main()));
}

TEST_F(App, PlayedShortcutsAreNotCapturedByAFocusedHotkeyBox) {
    // Row 1: F7 plays Ctrl + C. The user clicks into row 2's box while it plays, and its releases
    // arrive there: a box with the focus pauses the program's hotkeys, so a playback reaches one
    // only this way.
    ProgramUnderTest program(L"ownplay");
    ASSERT_TRUE(program.WriteIni("[conftooltip]\r\n0=2|17|67\r\n"
                                 "[Velmo]\r\nVelmo1Text=F7\r\nVelmo1KeyCode=118\r\n"
                                 "Velmo1ModKeyCode=0\r\nVelmo2Text=F6\r\nVelmo2KeyCode=117\r\n"
                                 "Velmo2ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    Enable(program, 1); // the focus stays on row 1's check box
    const POINT box2 = CentreOf(program.VelmoEdit(2));
    ASSERT_TRUE(PointAtWindow(program.VelmoEdit(2), box2));
    {
        InjectedKeyWatch clickAtC('C', [box2] {
            MouseInput::Press(MouseInput::Button::Left, box2);
            MouseInput::Release(MouseInput::Button::Left, box2);
        });
        TapKey(VK_F7);
        ASSERT_TRUE(WaitUntil([&] {
            return clickAtC.Saw(VK_LCONTROL, true) &&
                   FocusOf(program.Main()) == program.VelmoEdit(2);
        })) << clickAtC.Describe();
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

TEST_F(App, PressDuringAPauseOfAPlaybackPlaysRightAfterItAndAMenuOpenedThenReleasesTheKeysFirst) {
    // Row 1 holds A and B down for its pause; F8 pressed meanwhile waits and plays C after it.
    ProgramUnderTest program(L"nested");
    ASSERT_TRUE(
        program.WriteIni("[conftooltip]\r\n0=2|65|66\r\n2=1|67\r\n"
                         "[Velmo]\r\nVelmo1Text=F7\r\nVelmo1KeyCode=118\r\nVelmo1ModKeyCode=0\r\n"
                         "Velmo3Text=F8\r\nVelmo3KeyCode=119\r\nVelmo3ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    Enable(program, 1, Tick::Notify);
    Enable(program, 3, Tick::Notify);
    {
        KeyRecorder target;
        ASSERT_TRUE(target.TakeFocus());
        FocusGuard guard(target);
        InjectedKeyWatch pressF8AtB;
        ASSERT_TRUE(guard.Step(
            [&] {
                target.Clear();
                InjectedKeyWatch::Then('B', [] { TapKey(VK_F8); });
                TapKey(VK_F7);
            },
            [&] { return Contains(target.keys(), 'C', true); }))
            << Describe(target.keys());
        std::vector<std::pair<int, bool>> seen;
        for (const auto& k : From(target.keys(), 'A')) {
            seen.emplace_back(k.vk, k.up);
        }
        const std::vector<std::pair<int, bool>> expected{{'A', false}, {'B', false}, {'B', true},
                                                         {'A', true},  {'C', false}, {'C', true}};
        EXPECT_EQ(seen, expected) << Describe(target.keys());
        EXPECT_TRUE(WaitUntil([] { return KeysDown().empty(); }));
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
    Enable(program, 1, Tick::Notify);
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    FocusGuard guard(target);
    // The emissions end: every key the program pressed is released again.
    ASSERT_TRUE(guard.Step(
        [&] {
            target.Clear();
            PressHotkeyLikeAPerson({VK_CONTROL, VK_MENU}, 'K');
        },
        [&] { return Contains(target.keys(), VK_CONTROL, true) && KeysDown().empty(); }, {},
        std::chrono::milliseconds(10000)))
        << Describe(target.keys());
    EXPECT_EQ(CountOf(target.keys(), {VK_CONTROL, VK_MENU}), 4) << "not only the user's Ctrl, Alt";
    EXPECT_TRUE(Contains(target.keys(), 'K', false)) << Describe(target.keys());
    EXPECT_TRUE(program.Running()) << "the program ended";
    EXPECT_TRUE(IsWindowVisible(program.Main()));
}

TEST_F(App, BothHandsALayerSwappedRowsAndAHeldHotkeyPlayAsTheUserMeansThem) {
    // Row 1: Alt + L plays Right. Rows 2 and 3: Shift + A and Shift + B play each other. Row 4:
    // F7 plays Ctrl + C. Row 5: F9 plays Ctrl + End. Row 6: Ctrl + Shift + C plays H. Row 7: F6
    // plays Right.
    ProgramUnderTest program(L"habits");
    ASSERT_TRUE(program.WriteIni(
        "[conftooltip]\r\n0=1|39\r\n1=2|16|66\r\n2=2|16|65\r\n3=2|17|67\r\n4=2|17|35\r\n"
        "5=1|72\r\n6=1|39\r\n[Velmo]\r\n"
        "Velmo1Text=Alt + L\r\nVelmo1KeyCode=76\r\nVelmo1ModKeyCode=1\r\n"
        "Velmo2Text=Shift + A\r\nVelmo2KeyCode=65\r\nVelmo2ModKeyCode=4\r\n"
        "Velmo3Text=Shift + B\r\nVelmo3KeyCode=66\r\nVelmo3ModKeyCode=4\r\n"
        "Velmo4Text=F7\r\nVelmo4KeyCode=118\r\nVelmo4ModKeyCode=0\r\n"
        "Velmo5Text=F9\r\nVelmo5KeyCode=120\r\nVelmo5ModKeyCode=0\r\n"
        "Velmo6Text=Ctrl + Shift + C\r\nVelmo6KeyCode=67\r\nVelmo6ModKeyCode=6\r\n"
        "Velmo7Text=F6\r\nVelmo7KeyCode=117\r\nVelmo7ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    for (int row = 1; row <= 7; ++row) {
        Enable(program, row, Tick::Notify);
    }
    TextTarget text;
    ASSERT_TRUE(text.TakeFocus());
    FocusGuard guard(text);

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
            ASSERT_TRUE(guard.Step([] { TapKey('L'); },
                                   [&] { return injected.Count(kNeutralKey, true) == 2 * tap; },
                                   {VK_LMENU}))
                << "tap " << tap << ": " << injected.Describe();
            EXPECT_EQ(text.Caret(), tap);
        }
        SendKey(VK_LMENU, true);
    }
    // Typed once Alt's release has reached the system, as a person types a moment later.
    ASSERT_TRUE(WaitUntil([] { return !IsKeyDownNow(VK_MENU); }));
    ASSERT_TRUE(guard.Step([] { TapKey('X'); }, [&] { return text.Text() == L"abcxdef"; }))
        << Narrow(text.Text()) << ": " << injected.Describe() << " / " << text.Keys() << " menu "
        << text.MenuBarOpened();
    EXPECT_EQ(text.MenuBarOpened(), 0);

    // A held hotkey, with AltGr (right Alt, lifted) or without a modifier (F6, nothing lifted): a
    // tap plays once; held down, repeating as a keyboard repeats it, it plays again and again, and
    // nothing else reaches the text.
    for (const WORD modifier : {WORD{VK_RMENU}, WORD{0}}) {
        const WORD key = modifier != 0 ? 'L' : VK_F6;
        text.SetText(L"abcdef", 0);
        const auto neutralsBefore = injected.Count(kNeutralKey, true);
        if (modifier != 0) {
            SendKey(modifier, false);
        }
        TapKey(key);
        ASSERT_TRUE(WaitUntil([&] {
            return modifier != 0 ? injected.Count(kNeutralKey, true) == neutralsBefore + 2
                                 : text.Caret() == 1 && KeysDown().empty();
        }));
        EXPECT_EQ(text.Caret(), 1) << injected.Describe() << " / " << text.Keys();
        SendKey(key, false);
        for (int repeat = 0; repeat < 100 && text.Caret() < 4; ++repeat) {
            PumpFor(33); // a keyboard's repeat rate
            SendKey(key, false);
        }
        SendKey(key, true);
        if (modifier != 0) {
            SendKey(modifier, true);
        }
        ASSERT_TRUE(WaitUntil([] { return KeysDown().empty(); }));
        TapKey('X');
        ASSERT_TRUE(WaitUntil([&] { return text.Text().find(L'x') != std::wstring::npos; }));
        std::wstring typed = text.Text();
        const auto x = typed.find(L'x');
        EXPECT_GE(x, 4u) << "a held hotkey did not repeat: " << Narrow(typed);
        EXPECT_EQ(typed.erase(x, 1), L"abcdef") << "more than the shortcut reached the text";
        EXPECT_EQ(text.MenuBarOpened(), 0);
    }

    // Right Ctrl pressed during a playback that holds the left one (F7 plays Ctrl + C), and let
    // go just as its press, sent again after the playback, comes through the program's watch:
    // both the program's left Ctrl and the right one end up. Watched from before the program's
    // watch begins, so that the release is pressed while the program still answers for the press.
    InjectedKeyWatch rightCtrlAtC('C', [] {
        SendKey(VK_RCONTROL, false);
        InjectedKeyWatch::Then(VK_RCONTROL, [] { SendKey(VK_RCONTROL, true); });
    });

    // Swapped rows swap, with either hand's Shift.
    const std::wstring swapped[] = {L"", L"B", L"BA"};
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(guard.Step(
            [&] {
                text.SetText(swapped[n].c_str(), n);
                PressHotkeyLikeAPerson({n == 0 ? WORD{VK_LSHIFT} : WORD{VK_RSHIFT}},
                                       static_cast<WORD>('A' + n));
            },
            [&] { return text.Text() == swapped[n + 1]; }))
            << Narrow(text.Text());
    }

    ASSERT_TRUE(
        guard.Step([] { TapKey(VK_F7); }, [&] { return rightCtrlAtC.Saw(VK_RCONTROL, true); }))
        << rightCtrlAtC.Describe();
    EXPECT_TRUE(rightCtrlAtC.Saw(VK_LCONTROL, true)) << "the program's left Ctrl was left down";
    EXPECT_TRUE(WaitUntil([] { return KeysDown().empty(); }))
        << testing::PrintToString(KeysDown()) << rightCtrlAtC.Describe();

    // Typing straight on: F9 plays Ctrl + End; "x", "y" and a character without a key (an
    // on-screen keyboard's) typed while End is down arrive after it, as typed, not as Ctrl + X.
    {
        InjectedKeyWatch typeAtEnd;
        ASSERT_TRUE(guard.Step(
            [&] {
                text.SetText(L"abc", 0);
                InjectedKeyWatch::Then(VK_END, [] {
                    TapKey('X');
                    TapKey('Y');
                    TypeCharacter(L'\u00e9');
                });
                TapKey(VK_F9);
            },
            [&] { return text.Text().size() >= 6; }))
            << Narrow(text.Text()) << ": " << typeAtEnd.Describe();
        EXPECT_EQ(text.Text(), L"abcxy\u00e9") << typeAtEnd.Describe();
    }
    EXPECT_TRUE(WaitUntil([] { return KeysDown().empty(); }));

    // F7 plays Ctrl + C: the program's own Ctrl + Shift + C (row 6) stays registered meanwhile,
    // where another program could take it.
    bool heldCtrlShiftC = false;
    {
        InjectedKeyWatch tryAtC(
            'C', [&] { heldCtrlShiftC = HotKeyTaken(MOD_CONTROL | MOD_SHIFT, 'C'); });
        TapKey(VK_F7);
        ASSERT_TRUE(WaitUntil([&] { return tryAtC.Saw(VK_LCONTROL, true); }));
    }
    EXPECT_TRUE(heldCtrlShiftC) << "Ctrl + Shift + C unregistered while Ctrl + C played";

    // Shift + A plays Shift + B, and row 3's Shift + B is suspended meanwhile: another program
    // that takes it then leaves row 3 unticked; unticked by the user during the pause, it is not
    // registered again afterwards.
    {
        constexpr int kTestHotKey = 1;
        bool took = false;
        InjectedKeyWatch takeAtB(
            'B', [&] { took = RegisterHotKey(nullptr, kTestHotKey, MOD_SHIFT, 'B'); });
        PressHotkeyLikeAPerson({VK_LSHIFT}, 'A');
        ASSERT_TRUE(WaitUntil([&] { return !IsChecked(program, 3); })) << "shown as armed";
        EXPECT_TRUE(took) << takeAtB.Describe();
        UnregisterHotKey(nullptr, kTestHotKey);
    }
    Enable(program, 3);
    {
        InjectedKeyWatch untickAtB('B', [&] {
            PostMessageW(program.Main(), WM_COMMAND, MAKEWPARAM(ids::kCheckFirst + 2, BN_CLICKED),
                         reinterpret_cast<LPARAM>(program.Check(3)));
        });
        PressHotkeyLikeAPerson({VK_LSHIFT}, 'A');
        ASSERT_TRUE(WaitUntil([&] { return untickAtB.Saw('B', true) && KeysDown().empty(); }));
    }
    EXPECT_FALSE(IsChecked(program, 3));
    EXPECT_TRUE(WaitUntil([&] { return !HotKeyTaken(MOD_SHIFT, 'B'); }))
        << "row 3, unticked during the pause, registered again";
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
