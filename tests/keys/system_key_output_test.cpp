// The player to the real keyboard input stream: what a focused window of this program receives.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "keys/held_keys.h"
#include "keys/player.h"
#include "keys/system_key_output.h"
#include "keys/system_keyboard.h"
#include "support/win_test_util.h"
#include "test_window.h"

using hkv::test::TestWindow;
using hkv::test::WaitUntil;

namespace {

constexpr int kHighestKey = 254;
constexpr SHORT kKeyIsDown = static_cast<SHORT>(0x8000);

struct KeyMessage {
    std::string text; // "down 17", "up 67"
    bool ctrlDown;    // GetKeyState(VK_CONTROL) as the message was generated
    int playbacks;    // playbacks in progress when it was handled
    WPARAM vk;
    LPARAM lParam; // the scan code in bits 16-23, the extended flag in bit 24
};

// A secure desktop in front for a while: the releases of a playback and their first retry are
// refused, the next retry is taken in part, the one after in full.
int g_releasesSent = 0;
UINT WINAPI RefuseReleasesForAWhile(UINT count, LPINPUT inputs, int size) {
    if ((inputs[0].ki.dwFlags & KEYEVENTF_KEYUP) == 0) {
        return SendInput(count, inputs, size);
    }
    const UINT take = ++g_releasesSent <= 3 ? 0 : g_releasesSent == 4 ? 1 : count;
    return take > 0 ? SendInput(take, inputs, size) : 0;
}

std::vector<int> KeysDown() {
    std::vector<int> down;
    for (int vk = 1; vk <= kHighestKey; ++vk) {
        if (GetAsyncKeyState(vk) & kKeyIsDown) {
            down.push_back(vk);
        }
    }
    return down;
}

class SystemKeyOutput : public testing::Test {
  protected:
    // One window for all cases: Wine takes two seconds to destroy a focused window.
    static void SetUpTestSuite() { window_ = std::make_unique<TestWindow>(true); }
    static void TearDownTestSuite() { window_.reset(); }

    void SetUp() override {
        ASSERT_NE(window_->hwnd(), nullptr);
        SetForegroundWindow(window_->hwnd());
        SetFocus(window_->hwnd());
        ASSERT_TRUE(WaitUntil([&] {
            return GetForegroundWindow() == window_->hwnd() && GetFocus() == window_->hwnd();
        })) << "the test window did not get the keyboard focus";
        ASSERT_TRUE(WaitUntil([] { return KeysDown().empty(); }))
            << "keys were down before the test: " << testing::PrintToString(KeysDown());
        window_->OnMessage([&](UINT msg, WPARAM wParam, LPARAM lParam) {
            if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_KEYUP ||
                msg == WM_SYSKEYUP) {
                const bool up = msg == WM_KEYUP || msg == WM_SYSKEYUP;
                received_.push_back({(up ? "up " : "down ") + std::to_string(wParam),
                                     GetKeyState(VK_CONTROL) < 0, held_.ActivePlaybacks(), wParam,
                                     lParam});
                if (onKey_) {
                    onKey_(received_.back().text); // a copy: a nested playback adds messages
                }
            }
        });
    }
    void TearDown() override {
        window_->OnMessage(nullptr);
        held_.ReleaseAll();
        EXPECT_TRUE(WaitUntil([] { return KeysDown().empty(); }))
            << "keys left down: " << testing::PrintToString(KeysDown());
    }

    std::vector<std::string> Received() const {
        std::vector<std::string> texts;
        for (const auto& m : received_) {
            texts.push_back(m.text);
        }
        return texts;
    }

    static inline std::unique_ptr<TestWindow> window_;
    hkv::SystemKeyOutput output_;
    hkv::HeldKeys held_{output_};
    std::vector<KeyMessage> received_;
    std::function<void(std::string key)> onKey_;
};

} // namespace

TEST_F(SystemKeyOutput, FocusedWindowReceivesTheShortcutAndNoKeyStaysDown) {
    struct Row {
        const wchar_t* list;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {L"2|17|67", {"down 17", "down 67", "up 67", "up 17"}},
        {L"1|65", {"down 65", "up 65"}},
        {L"3|17|16|83", {"down 17", "down 16", "down 83", "up 83", "up 16", "up 17"}},
        {L"1|46", {"down 46", "up 46"}}, // Delete, a key of the extended block
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.list)));
        received_.clear();
        hkv::opendo(held_, row.list);
        EXPECT_TRUE(WaitUntil([&] { return received_.size() >= row.expected.size(); }));
        EXPECT_EQ(Received(), row.expected);
        // The pause dispatches messages: the presses arrive while the keys are held.
        const std::size_t presses = row.expected.size() / 2;
        for (std::size_t i = 0; i < presses && i < received_.size(); ++i) {
            EXPECT_EQ(received_[i].playbacks, 1) << received_[i].text << " not seen in the pause";
        }
        // As a keyboard sends them: with their scan codes, Delete flagged as an extended key.
        for (const KeyMessage& m : received_) {
            EXPECT_EQ((m.lParam >> 16) & 0xFF, MapVirtualKeyW(m.vk, MAPVK_VK_TO_VSC)) << m.text;
            EXPECT_EQ((m.lParam >> 24) & 1, m.vk == VK_DELETE ? 1 : 0) << m.text;
        }
        EXPECT_TRUE(WaitUntil([] { return KeysDown().empty(); }))
            << "keys left down: " << testing::PrintToString(KeysDown());
    }
    // The C of Ctrl + C came while Ctrl was down.
    received_.clear();
    hkv::opendo(held_, L"2|17|67");
    ASSERT_TRUE(WaitUntil([&] { return received_.size() >= 4; }));
    EXPECT_TRUE(received_[1].ctrlDown) << received_[1].text;
    EXPECT_FALSE(received_[3].ctrlDown) << received_[3].text;
}

// A hotkey pressed again during the pause: the second playback, with its own delay on the shared
// timer, runs inside the first, whose keys stay down meanwhile.
TEST_F(SystemKeyOutput, NestedPlaybackRunsInsideTheOuterPause) {
    bool nested = false;
    onKey_ = [&](const std::string& key) {
        if (key == "down 67" && !nested) {
            nested = true;
            hkv::opendo(held_, L"1|65");
        }
    };
    hkv::opendo(held_, L"2|17|67");
    EXPECT_TRUE(WaitUntil([&] { return received_.size() >= 6; }));
    EXPECT_EQ(Received(), (std::vector<std::string>{"down 17", "down 67", "down 65", "up 65",
                                                    "up 67", "up 17"}));
    EXPECT_EQ(held_.ActivePlaybacks(), 0);
}

// Releases the system refused reach it once it takes input again, each once, in order: three
// retries a quarter second apart, well within the wait's bound of seconds.
TEST_F(SystemKeyOutput, RefusedReleasesReachTheSystemOnceItTakesInputAgain) {
    g_releasesSent = 0;
    const auto keyboard = hkv::MakeSystemKeyboard(&RefuseReleasesForAWhile);
    hkv::SystemKeyOutput output(&RefuseReleasesForAWhile);
    hkv::HeldKeys held(output, *keyboard);
    keyboard->BeginWatching({});
    hkv::opendo(held, L"2|17|67");
    keyboard->EndWatching();
    EXPECT_TRUE(WaitUntil([&] { return received_.size() >= 4 && KeysDown().empty(); }));
    EXPECT_EQ(Received(), (std::vector<std::string>{"down 17", "down 67", "up 67", "up 17"}));
    EXPECT_EQ(g_releasesSent, 5);
    EXPECT_TRUE(WaitUntil([] { return !hkv::SystemKeyboardWatched(); }));
}
