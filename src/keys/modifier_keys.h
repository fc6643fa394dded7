#pragma once
// The modifier keys: their virtual-key codes, their left and right keys, and the flags a hotkey
// registration names them by.
#include <cstdint>

namespace hkv {

// Virtual-key codes. Shift, Ctrl and Alt stand for both their left and right keys in the system's
// key state; the Windows keys have no such code.
inline constexpr std::uint8_t kVkShift = 16;
inline constexpr std::uint8_t kVkControl = 17;
inline constexpr std::uint8_t kVkMenu = 18; // Alt
inline constexpr std::uint8_t kVkLWin = 91;
inline constexpr std::uint8_t kVkRWin = 92;
inline constexpr std::uint8_t kVkLShift = 160;
inline constexpr std::uint8_t kVkRShift = 161;
inline constexpr std::uint8_t kVkLControl = 162;
inline constexpr std::uint8_t kVkRControl = 163;
inline constexpr std::uint8_t kVkLMenu = 164;
inline constexpr std::uint8_t kVkRMenu = 165;

// A code no key and no layout has (unassigned). Sent between an Alt or Windows key's press and its
// release that the program causes, so that the release is not taken for a tap of that key alone,
// which opens the menu bar or the Start menu.
inline constexpr std::uint8_t kVkNeutral = 0xE8;

// Modifier flags exactly as RegisterHotKey takes them (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
inline constexpr std::int32_t kModAlt = 1;
inline constexpr std::int32_t kModControl = 2;
inline constexpr std::int32_t kModShift = 4;
inline constexpr std::int32_t kModWin = 8;
inline constexpr std::int32_t kAllModifiers = kModAlt | kModControl | kModShift | kModWin;

// Every modifier key a keyboard has, each side its own key, with the flag that names it. A
// keyboard never sends the code that stands for both sides: it sends the left or the right key,
// and the user presses either.
struct ModifierKey {
    std::int32_t flag;
    std::uint8_t key;
};
inline constexpr ModifierKey kModifierKeys[] = {
    {kModShift, kVkLShift},     {kModShift, kVkRShift}, {kModControl, kVkLControl},
    {kModControl, kVkRControl}, {kModAlt, kVkLMenu},    {kModAlt, kVkRMenu},
    {kModWin, kVkLWin},         {kModWin, kVkRWin},
};

// The flag of a modifier key, named by either side's code or by the code for both; 0 for every
// other key.
constexpr std::int32_t ModifierFlagOf(std::uint8_t vk) {
    switch (vk) {
    case kVkShift:
    case kVkLShift:
    case kVkRShift:
        return kModShift;
    case kVkControl:
    case kVkLControl:
    case kVkRControl:
        return kModControl;
    case kVkMenu:
    case kVkLMenu:
    case kVkRMenu:
        return kModAlt;
    case kVkLWin:
    case kVkRWin:
        return kModWin;
    default:
        return 0;
    }
}

// The key a keyboard has for a code: for the code that stands for both Shift (Ctrl, Alt) keys the
// left one; every other code is a key of its own.
constexpr std::uint8_t KeyboardKeyOf(std::uint8_t vk) {
    switch (vk) {
    case kVkShift:
        return kVkLShift;
    case kVkControl:
        return kVkLControl;
    case kVkMenu:
        return kVkLMenu;
    default:
        return vk;
    }
}

// Whether two codes name the same key, the code for both sides naming either side.
constexpr bool SameKey(std::uint8_t a, std::uint8_t b) {
    const bool eitherNamesBothSides = KeyboardKeyOf(a) != a || KeyboardKeyOf(b) != b;
    return a == b || (eitherNamesBothSides && ModifierFlagOf(a) == ModifierFlagOf(b));
}

// Releasing one of these that the program pressed, or pressing one again that it lifted, with no
// other key between, would open a menu bar or the Start menu.
constexpr bool OpensAMenuAlone(std::uint8_t vk) {
    const std::int32_t flag = ModifierFlagOf(vk);
    return flag == kModAlt || flag == kModWin;
}

} // namespace hkv
