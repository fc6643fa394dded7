#pragma once
// The emission policy's view of the real keyboard.
#include "keys/keyboard_state.h"

namespace hkv {

// The system's asynchronous key state (GetAsyncKeyState), and while an emission watches, a
// low-level keyboard hook that sees every key event: the user's key presses and releases, which it
// holds back while a playback plays.
KeyboardState& SystemKeyboardState();

// Longer than the program's own pause: the user's events sent again that have not come through by
// then are not coming (another hook swallowed them, or the system removed ours), and the user's
// later keys no longer wait for them.
inline constexpr unsigned kSentAgainTimeoutMs = 500;

// Whether the keyboard's low-level hook is installed now. Every key event of the whole system
// passes through it, so it must be gone whenever no emission is in progress.
bool SystemKeyboardWatched();

} // namespace hkv
