#pragma once
// The emission policy's view of the real keyboard and its real wait.
#include "keys/emission_policy.h"
#include "keys/keyboard_state.h"

namespace hkv {

// The system's asynchronous key state (GetAsyncKeyState), and while an emission watches, a
// low-level keyboard hook that sees every key event: the user's key presses and releases.
KeyboardState& SystemKeyboardState();

// Dispatches this thread's messages while it waits; while the keyboard is watched, woken by every
// key release in the system, so that a shortcut starts as soon as the user lets go of the hotkey.
ConditionWaiter& SystemWaiter();

// Whether the keyboard's low-level hook is installed now. Every key event of the whole system
// passes through it, so it must be gone whenever no emission is in progress.
bool SystemKeyboardWatched();

} // namespace hkv
