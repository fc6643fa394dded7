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

using hkv::test::SendKey;
using hkv::test::WaitUntil;
using Events = std::vector<std::string>;

namespace {

bool CtrlDown() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

} // namespace

TEST(SystemWaiter, DropsThePressWhileCtrlIsHeldAndPlaysOnceItIsReleased) {
    hkv::test::RecordingOutput out;
    hkv::HeldKeys held(out);
    hkv::EmissionPolicy policy(hkv::SystemKeyboardState(), hkv::SystemWaiter(), held);
    SendKey(VK_CONTROL, false);
    ASSERT_TRUE(WaitUntil(CtrlDown));

    policy.HotKeyPressed(0, L"2|16|72"); // Ctrl stays down for the whole wait
    EXPECT_EQ(out.events, Events{}) << "Shift + H would have reached the application as Ctrl + "
                                       "Shift + H";
    EXPECT_TRUE(CtrlDown());

    // The user lets go while the row waits: the release is seen in the wait, which then plays.
    std::atomic<bool> waiting{false};
    std::thread user([&] {
        while (!waiting) {
            Sleep(1);
        }
        SendKey(VK_CONTROL, true);
    });
    waiting = true;
    policy.HotKeyPressed(0, L"2|16|72");
    user.join();
    EXPECT_EQ(out.events, (Events{"down 16", "down 72", "pause 200", "up 72", "up 16"}));
    EXPECT_EQ(policy.InProgress(), 0);
    if (CtrlDown()) {
        SendKey(VK_CONTROL, true);
    }
}
