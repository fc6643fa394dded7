// Which of the program's hotkeys a playback's keys would set off, and so must be suspended.
#include <gtest/gtest.h>

#include "keys/hotkey_suspension.h"
#include "keys/modifier_keys.h"

namespace {

using hkv::HotKey;

TEST(HotKeySuspension, OnlyAHotkeyWhoseKeyGoesDownWithExactlyItsModifiersIsSetOff) {
    constexpr std::int32_t kCtrl = hkv::kModControl;
    constexpr std::int32_t kShift = hkv::kModShift;
    const HotKey hotKeys[] = {
        {'C', kCtrl},          // 0: Ctrl + C
        {'C', kCtrl | kShift}, // 1: Ctrl + Shift + C
        {'C', 0},              // 2: C
        {'B', kShift},         // 3: Shift + B
        {0, 0},                // 4: none
        {120, 0},              // 5: F9
    };
    const struct {
        const wchar_t* list;
        std::int32_t down; // modifiers down after the lift
        std::uint32_t setOff;
    } rows[] = {
        {L"2|17|67", 0, 1u << 0},      // Ctrl + C leaves Ctrl + Shift + C and C be
        {L"2|162|67", 0, 1u << 0},     // the left Ctrl's own code
        {L"2|17|67", kShift, 1u << 1}, // the user's Shift kept: Ctrl + Shift + C
        {L"3|17|16|67", 0, 1u << 1},   // Ctrl, Shift, C
        {L"1|67", 0, 1u << 2},         // C alone
        {L"1|67", kCtrl, 1u << 0},     // C with the user's Ctrl
        {L"2|16|66", 0, 1u << 3},      // Shift + B
        {L"2|66|16", 0, 0},            // B before Shift: B alone
        {L"1|120", 0, 1u << 5},        // a row that plays its own hotkey
        {L"2|18|65", 0, 0},            // no hotkey has A
    };
    for (const auto& row : rows) {
        const auto list = hkv::ParseKeyCodeList(row.list);
        ASSERT_TRUE(list.has_value());
        EXPECT_EQ(hkv::HotKeysSetOff(*list, row.down, hotKeys), row.setOff)
            << testing::PrintToString(row.list) << " with modifiers " << row.down;
    }
}

} // namespace
