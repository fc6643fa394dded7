#pragma once
// What the hotkey floor is told on its command line: for each hotkey, the key it types and the
// work it does around it (bench/floor_hotkey.cpp), so that the harness and the floor agree.
#include <cstdint>

namespace hkv::bench {

// A hotkey is passed as its virtual-key code plus this times its modifier flags (MOD_CONTROL is 2:
// Ctrl + F8 is 631), one number per hotkey.
inline constexpr long kFloorModifierShift = 256;

// The work around the typed key, as flags. None: typed at once in the WM_HOTKEY handler.
// Under a hook: a low-level keyboard hook is installed first, answered until the floor's own
// events have passed it, and removed, as the program watches the keyboard for every playback; the
// user's key events meanwhile are held back and sent again at the end. Lifted: the hotkey's
// modifiers (their left keys, as the harness presses them) are released before the key and
// pressed again after it. Held: the key is held down as long as the program holds a one-key
// shortcut, so that the user can type during the playback.
inline constexpr long kFloorUnderHook = 1;
inline constexpr long kFloorLifted = 2;
inline constexpr long kFloorHeld = 4;

// The program's hold of a one-key shortcut, in milliseconds.
inline constexpr unsigned kFloorHoldMs = 100;

// The mark on the floor's own key events (and on the user's sent again), which its hook lets pass.
inline constexpr std::uintptr_t kFloorSignature = 0x464C4F52; // "FLOR"

} // namespace hkv::bench
