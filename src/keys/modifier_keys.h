#pragma once
// The modifier keys: their virtual-key codes and the flags a hotkey registration names them by.
#include <cstdint>

namespace hkv {

// Virtual-key codes. Shift, Ctrl and Alt stand for both their left and right keys in the system's
// key state; the Windows keys have no such code.
inline constexpr std::uint8_t kVkShift = 16;
inline constexpr std::uint8_t kVkControl = 17;
inline constexpr std::uint8_t kVkMenu = 18; // Alt
inline constexpr std::uint8_t kVkLWin = 91;
inline constexpr std::uint8_t kVkRWin = 92;

// Modifier flags exactly as RegisterHotKey takes them (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
inline constexpr std::int32_t kModAlt = 1;
inline constexpr std::int32_t kModControl = 2;
inline constexpr std::int32_t kModShift = 4;
inline constexpr std::int32_t kModWin = 8;
inline constexpr std::int32_t kAllModifiers = kModAlt | kModControl | kModShift | kModWin;

// A keyboard has no key for the code that stands for both Shift (Ctrl, Alt) keys: it sends the left
// or the right one, and so does a low-level hook report them.
struct SidedKey {
    std::uint8_t both;
    std::uint8_t left;
    std::uint8_t right;
};
inline constexpr SidedKey kSidedKeys[] = {
    {kVkShift, 160, 161},   // VK_LSHIFT, VK_RSHIFT
    {kVkControl, 162, 163}, // VK_LCONTROL, VK_RCONTROL
    {kVkMenu, 164, 165},    // VK_LMENU, VK_RMENU
};

// Every modifier key with the flag that names it: Win is two keys.
struct ModifierKey {
    std::int32_t flag;
    std::uint8_t key;
};
inline constexpr ModifierKey kModifierKeys[] = {
    {kModAlt, kVkMenu}, {kModControl, kVkControl}, {kModShift, kVkShift},
    {kModWin, kVkLWin}, {kModWin, kVkRWin},
};

} // namespace hkv
