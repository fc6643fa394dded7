#pragma once
// The emission policy's view of the real keyboard.
#include <cstdint>
#include <memory>

#include "keys/hook_timeout.h"
#include "keys/keyboard_state.h"
#include "keys/send_keys.h"

namespace hkv {

// The system's asynchronous key state (GetAsyncKeyState), and while an emission watches, a
// low-level keyboard hook that sees every key event: the user's key presses and releases, which it
// holds back while a playback plays. Made once where the program is put together, one at a time (a
// hook or timer procedure is given no context); `send` hands the events it sends to the system;
// `hooksTimeoutMs`: how long the system waits for the hook (SystemHooksTimeoutMs).
std::unique_ptr<KeyboardState>
MakeSystemKeyboard(SendKeys send = &SendInput,
                   std::uint32_t hooksTimeoutMs = kDefaultHooksTimeoutMs);

// How long the system waits for a low-level hook, as the user's settings say (a number, or text
// holding one, depending on who wrote it) and as the running Windows caps it. Windows documents
// no re-read of it: read once, at the program's start, so that a press asks no registry.
std::uint32_t SystemHooksTimeoutMs();

// Longer than the program's own pause: the user's events sent again that have not come through by
// then are not coming (another hook swallowed them, or the system removed ours), and the user's
// later keys no longer wait for them.
inline constexpr unsigned kSentAgainTimeoutMs = 500;

// Whether the keyboard's low-level hook is installed now. Every key event of the whole system
// passes through it, so it must be gone whenever no emission is in progress.
bool SystemKeyboardWatched();

} // namespace hkv
