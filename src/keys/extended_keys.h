#pragma once
// The keys a keyboard marks as extended (the 0xE0 prefix of their scan codes). Their scan codes
// are those of keys on the numeric keypad; only the mark tells Home from the keypad's 7, Delete
// from its decimal point, the arrows from 4, 6, 8 and 2. Whatever sends such a key or asks for its
// name has to give the mark along, or applications and the system's key names take it for its
// keypad twin. Wine's MapVirtualKeyW(MAPVK_VK_TO_VSC_EX) does not tell them apart, so they are
// named here.
#include <cstdint>

#include "keys/modifier_keys.h"

namespace hkv {

// Virtual-key codes of the extended keys besides the modifiers (keys/modifier_keys.h).
inline constexpr std::uint8_t kVkCancel = 3; // Break: Ctrl + Pause
inline constexpr std::uint8_t kVkPrior = 33; // Page Up
inline constexpr std::uint8_t kVkNext = 34;  // Page Down
inline constexpr std::uint8_t kVkEnd = 35;
inline constexpr std::uint8_t kVkHome = 36;
inline constexpr std::uint8_t kVkLeft = 37;
inline constexpr std::uint8_t kVkUp = 38;
inline constexpr std::uint8_t kVkRight = 39;
inline constexpr std::uint8_t kVkDown = 40;
inline constexpr std::uint8_t kVkSnapshot = 44; // Print Screen
inline constexpr std::uint8_t kVkInsert = 45;
inline constexpr std::uint8_t kVkDelete = 46;
inline constexpr std::uint8_t kVkApps = 93;    // the menu key, which opens context menus
inline constexpr std::uint8_t kVkDivide = 111; // the keypad's /, the main keyboard's has no mark
inline constexpr std::uint8_t kVkNumLock = 144;

// The keypad's Enter is extended too, but it has the main Enter's code: the code alone cannot
// tell them apart, and it counts as the main one.
inline constexpr std::uint8_t kExtendedKeys[] = {
    kVkRControl, kVkRMenu,  kVkLWin,    kVkRWin,     kVkApps,   kVkInsert, kVkDelete,
    kVkHome,     kVkEnd,    kVkPrior,   kVkNext,     kVkLeft,   kVkUp,     kVkRight,
    kVkDown,     kVkDivide, kVkNumLock, kVkSnapshot, kVkCancel,
};

constexpr bool CarriesExtendedFlag(std::uint8_t vk) {
    for (std::uint8_t key : kExtendedKeys) {
        if (key == vk) {
            return true;
        }
    }
    return false;
}

} // namespace hkv
