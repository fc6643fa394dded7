// The real watch of the user's keys: what it holds back comes through, and events sent again that
// never come through do not keep the user's later keys waiting.
#include <gtest/gtest.h>

#include <windows.h>

#include "keys/own_input.h"
#include "keys/system_keyboard.h"
#include "support/input.h"
#include "support/key_recorder.h"

using hkv::test::Contains;
using hkv::test::KeyRecorder;
using hkv::test::TapKey;
using hkv::test::WaitUntil;

namespace {

// Another program's hook that swallows the first events sent again, as a hook ahead of ours may.
class SwallowSentAgain {
  public:
    SwallowSentAgain() {
        hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &Proc, GetModuleHandleW(nullptr), 0);
    }
    ~SwallowSentAgain() { UnhookWindowsHookEx(hook_); }
    SwallowSentAgain(const SwallowSentAgain&) = delete;
    SwallowSentAgain& operator=(const SwallowSentAgain&) = delete;

  private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION && key->dwExtraInfo == hkv::kSentAgainSignature &&
            key->vkCode == 'A') {
            return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_ = nullptr;
};

} // namespace

TEST(SystemKeyboard, KeysHeldBackArriveAfterAndLostOnesAreNotWaitedFor) {
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    hkv::KeyboardState& keyboard = hkv::SystemKeyboardState();
    keyboard.BeginWatching({});
    keyboard.BeginHoldingBack();
    TapKey('A');
    // The program's own key passes the watch: once it arrives, the user's A before it was held.
    keybd_event(VK_F24, 0, 0, hkv::kOwnInputSignature);
    keybd_event(VK_F24, 0, KEYEVENTF_KEYUP, hkv::kOwnInputSignature);
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), VK_F24, true); }));
    EXPECT_FALSE(Contains(target.keys(), 'A', false)) << "not held back";

    {
        SwallowSentAgain swallow; // A, sent again, never comes through
        keyboard.EndHoldingBack();
        TapKey('B'); // waits behind A
        keyboard.EndWatching();
        ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'B', true); }))
            << "the user's keys waited on for good";
    }
    EXPECT_FALSE(Contains(target.keys(), 'A', false));
    EXPECT_TRUE(WaitUntil([] { return !hkv::SystemKeyboardWatched(); }));
}
