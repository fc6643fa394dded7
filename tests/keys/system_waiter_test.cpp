// The emission policy on the system's key state and the system's waiter, with Ctrl really held.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "keys/held_keys.h"
#include "keys/system_keyboard.h"
#include "recording_output.h"
#include "support/input.h"

using hkv::SystemKeyboardWatched;
using hkv::test::KeyboardInput;
using hkv::test::SendKey;
using hkv::test::WaitUntil;
using Events = std::vector<std::string>;

namespace {

bool CtrlDown() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

} // namespace

// Ctrl as the code for both sides first, as some programs send it, then the left Ctrl key, as a
// keyboard sends it. The keyboard's hook, which sees every key event of the system, is there only
// while an emission is in progress, and gone after it however it ended.
TEST(SystemWaiter, TheUsersCtrlHoldsBackOtherShortcutsAndIsNeverPressedNorReleasedByThem) {
    hkv::test::RecordingOutput out;
    bool watchedInPause = false;
    out.onPause = [&] { watchedInPause = SystemKeyboardWatched(); };
    hkv::HeldKeys held(out, hkv::SystemKeyboardState());
    hkv::EmissionPolicy policy(hkv::SystemKeyboardState(), hkv::SystemWaiter(), held);
    KeyboardInput::Send(VK_CONTROL, 0);
    ASSERT_TRUE(WaitUntil(CtrlDown));

    policy.HotKeyPressed(0, L"2|16|72"); // Ctrl stays down for the whole wait
    EXPECT_EQ(out.events, Events{}) << "Shift + H would have reached the application as Ctrl + "
                                       "Shift + H";
    EXPECT_TRUE(CtrlDown());
    EXPECT_FALSE(SystemKeyboardWatched()) << "still watched after a dropped press";

    // The user lets go while the row waits: the release is seen in the wait, which then plays.
    std::atomic<bool> waiting{false};
    std::thread user([&] {
        while (!waiting) {
            Sleep(1);
        }
        KeyboardInput::Send(VK_CONTROL, KEYEVENTF_KEYUP);
    });
    waiting = true;
    policy.HotKeyPressed(0, L"2|16|72");
    user.join();
    EXPECT_EQ(out.events, (Events{"down 16", "down 72", "pause 200", "up 72", "up 16"}));
    EXPECT_EQ(policy.InProgress(), 0);
    EXPECT_TRUE(watchedInPause) << "not watched while playing";
    EXPECT_FALSE(SystemKeyboardWatched()) << "still watched after a played press";

    // The user presses Ctrl during a playback that pressed Ctrl itself: it is left down. Held on,
    // it is not pressed again by the next one (Ctrl + F9 playing Ctrl + C).
    out.events.clear();
    out.onPause = [] {
        SendKey(VK_LCONTROL, false);
        EXPECT_TRUE(WaitUntil([] { return hkv::SystemKeyboardState().UserHolds(VK_CONTROL); }));
    };
    policy.HotKeyPressed(1, L"2|17|67");
    out.onPause = nullptr;
    policy.HotKeyPressed(2, L"2|17|67", MOD_CONTROL);
    EXPECT_EQ(out.events, (Events{"down 17", "down 67", "pause 200", "up 67", "down 67",
                                  "pause 200", "up 67"}));
    SendKey(VK_LCONTROL, true);
    ASSERT_TRUE(WaitUntil([] { return !CtrlDown(); }));

    // The program ends inside the pause.
    out.onPause = [&] {
        policy.Abandon();
        watchedInPause = SystemKeyboardWatched();
    };
    policy.HotKeyPressed(3, L"1|65");
    EXPECT_FALSE(watchedInPause) << "still watched once the program ends";
}
