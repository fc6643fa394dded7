#pragma once
// The mark on every key event the program itself emits (the extra information of keybd_event), so
// that its own hotkey boxes can tell a played shortcut from a key the user pressed.
#include <cstdint>

namespace hkv {

// "BHKV", for Brevin Hotkey Veridir: a value no keyboard driver or other program is known to set.
inline constexpr std::uintptr_t kOwnInputSignature = 0x42484B56;

// The user's key events that the program held back go out again with the mark they came with
// (another tool tells its own keys by it); the watch knows them by its record of what it sent.

} // namespace hkv
