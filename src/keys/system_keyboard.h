#pragma once
// The emission policy's view of the real keyboard.
#include <memory>

#include "keys/keyboard_state.h"
#include "keys/send_keys.h"

namespace hkv {

// The system's asynchronous key state (GetAsyncKeyState), and while an emission watches, a
// low-level keyboard hook that sees every key event: the user's key presses and releases, which it
// holds back while a playback plays. Made once where the program is put together, one at a time (a
// hook or timer procedure is given no context); `send` hands the events it sends to the system.
std::unique_ptr<KeyboardState> MakeSystemKeyboard(SendKeys send = &SendInput);

// Longer than the program's own pause: the user's events sent again that have not come through by
// then are not coming (another hook swallowed them, or the system removed ours), and the user's
// later keys no longer wait for them.
inline constexpr unsigned kSentAgainTimeoutMs = 500;

// Whether the keyboard's low-level hook is installed now. Every key event of the whole system
// passes through it, so it must be gone whenever no emission is in progress.
bool SystemKeyboardWatched();

} // namespace hkv
