#pragma once
// The mark on every key event the program itself emits (the extra information of keybd_event), so
// that its own hotkey boxes can tell a played shortcut from a key the user pressed.
#include <cstdint>

namespace hkv {

// "BHKV", for Brevin Hotkey Veridir: a value no keyboard driver or other program is known to set.
inline constexpr std::uintptr_t kOwnInputSignature = 0x42484B56;

// The mark on the user's own key events that the program held back and sends again: the user's,
// not the program's (a hotkey box captures them, a hotkey among them fires), but the program's
// watch knows them when they come through.
inline constexpr std::uintptr_t kSentAgainSignature = 0x42484B57;

} // namespace hkv
