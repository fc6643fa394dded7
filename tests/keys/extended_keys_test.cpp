#include <gtest/gtest.h>

#include <set>

#include "keys/extended_keys.h"

TEST(ExtendedKeys, ExactlyTheKeysAKeyboardMarksCarryTheFlag) {
    // Insert, Delete, Home, End, Page Up/Down, arrows, right Ctrl/Alt, Win, menu, keypad /,
    // NumLock, Print Screen, Break. Not keypad 0-9 or its point, Enter, Pause, F5, left modifiers.
    const std::set<int> marked = {45,  46,  36, 35, 33, 34,  37,  38, 39, 40,
                                  163, 165, 91, 92, 93, 111, 144, 44, 3};
    for (int vk = 0; vk <= 255; ++vk) {
        EXPECT_EQ(hkv::CarriesExtendedFlag(static_cast<std::uint8_t>(vk)), marked.count(vk) == 1)
            << vk;
    }
}
