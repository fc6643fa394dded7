// The real watch of the user's keys: what it holds back comes through as it was typed, and events
// sent again that never come through do not keep the user's later keys waiting.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "keys/own_input.h"
#include "keys/system_keyboard.h"
#include "support/input.h"
#include "support/key_recorder.h"

using hkv::test::Contains;
using hkv::test::KeyRecorder;
using hkv::test::TapKey;
using hkv::test::TypeCharacter;
using hkv::test::WaitUntil;

namespace {

constexpr ULONG_PTR kOtherToolsMark = 0x54455854; // another input tool's mark on its own keys

// That tool's hook, ahead of ours, swallows its A when it comes again: known by the tool's mark.
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
        if (code == HC_ACTION && key->dwExtraInfo == kOtherToolsMark && key->vkCode == 'A') {
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
    const auto system = hkv::MakeSystemKeyboard();
    hkv::KeyboardState& keyboard = *system;
    keyboard.BeginWatching({});
    const hkv::KeyCodeList playing{1, {VK_F23}};
    keyboard.BeginHoldingBack(playing);
    const auto scanA = static_cast<BYTE>(MapVirtualKeyW('A', MAPVK_VK_TO_VSC));
    keybd_event('A', scanA, 0, kOtherToolsMark); // another tool's key, held back too
    keybd_event('A', scanA, KEYEVENTF_KEYUP, kOtherToolsMark);
    TypeCharacter(L'\u00e9'); // a character without a key (an on-screen keyboard), held back too
    // The program's own key passes the watch: once it arrives, the user's A before it was held.
    keybd_event(VK_F24, 0, 0, hkv::kOwnInputSignature);
    keybd_event(VK_F24, 0, KEYEVENTF_KEYUP, hkv::kOwnInputSignature);
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), VK_F24, true); }));
    EXPECT_FALSE(Contains(target.keys(), 'A', false)) << "not held back";

    EXPECT_TRUE(target.chars().empty()) << "not held back";

    {
        SwallowSentAgain swallow; // A, sent again, never comes through
        keyboard.EndHoldingBack(playing);
        TapKey('B'); // waits behind A
        keyboard.EndWatching();
        // Given up after half a second (a generous bound for a busy machine).
        ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'B', true); },
                              std::chrono::milliseconds(2000)))
            << "the user's keys waited on for good";
    }
    EXPECT_FALSE(Contains(target.keys(), 'A', false)) << "sent again without the tool's mark";
    // Sent again as the character it was, once.
    EXPECT_EQ(std::count(target.chars().begin(), target.chars().end(), L'\u00e9'), 1)
        << testing::PrintToString(target.chars()) << hkv::test::Describe(target.keys());
    EXPECT_TRUE(WaitUntil([] { return !hkv::SystemKeyboardWatched(); }));
}

TEST(SystemKeyboard, ReadsTheHooksWaitStoredAsTextOrNumber) {
    constexpr wchar_t kKey[] = L"Control Panel\\Desktop", kValue[] = L"LowLevelHooksTimeout";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, L"7", sizeof(L"7")), 0);
    EXPECT_EQ(hkv::SystemHooksTimeoutMs(), 7u) << "text as long as a number";
    const DWORD number = 800;
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(hkv::SystemHooksTimeoutMs(), 800u);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
}
