// What the system answers, decided without it: the hooks' wait from the setting as stored, a call
// that came after it, and AltGr from what a layout answers.
#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

#include "keys/altgr_layout.h"
#include "keys/hook_timeout.h"

TEST(HookTimeout, TheSettingAsAnyToolStoresItAndCallsAfterIt) {
    using Text = std::optional<std::wstring_view>;
    const struct {
        std::optional<std::uint32_t> number;
        Text text;
        std::uint32_t wait;
    } settings[] = {
        {std::nullopt, std::nullopt, 300}, {200, std::nullopt, 200},
        {5000, std::nullopt, 1000},        {0, std::nullopt, 300},
        {std::nullopt, L"450", 450},       {std::nullopt, L"99999999999", 1000},
        {std::nullopt, L"", 300},          {std::nullopt, L"2 s", 300},
        {std::nullopt, L"-5", 300},
    };
    for (const auto& s : settings) {
        EXPECT_EQ(hkv::HooksTimeoutMs(s.number, s.text), s.wait)
            << (s.text ? std::string(s.text->begin(), s.text->end()) : "number");
    }
    EXPECT_FALSE(hkv::CameAfterTimeout(1000, 1300, 300));
    EXPECT_TRUE(hkv::CameAfterTimeout(1000, 1301, 300));
    EXPECT_TRUE(hkv::CameAfterTimeout(0xFFFFFF00u, 400, 300)); // the tick count wrapped meanwhile
    EXPECT_FALSE(hkv::CameAfterTimeout(1400, 1000, 300));      // stamped after the clock was read
}

TEST(AltGr, TheLayoutsOwnFlagFirstThenWhatCtrlAltTypes) {
    using Answers = std::vector<hkv::CtrlAltAnswer>;
    const struct {
        std::optional<bool> flag;
        Answers answers;
        bool altGr;
    } layouts[] = {
        {std::nullopt, {{'Q', 1, L'@'}}, true},                  // German: AltGr + Q types @
        {std::nullopt, {{0xDD, -1, L'^'}}, true},                // a dead key typed with AltGr
        {std::nullopt, {{'A', 1, L'\x01'}, {'1', 0, 0}}, false}, // Ctrl + A's control character
        {std::nullopt, {{0x70, 1, L'x'}}, false},                // F1 types no character
        {std::nullopt, {}, false},
        {false, {{'E', 1, L'\u20ac'}}, false}, // the layout says none: Ctrl + Alt only
        {true, {}, true},
    };
    for (const auto& l : layouts) {
        EXPECT_EQ(hkv::LayoutHasAltGr(l.flag, l.answers), l.altGr)
            << (l.answers.empty() ? 0 : l.answers[0].vk);
    }
}
