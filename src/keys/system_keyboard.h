#pragma once
// The emission policy's view of the real keyboard and its real wait.
#include "keys/emission_policy.h"

namespace hkv {

// The system's asynchronous key state (GetAsyncKeyState).
KeyboardState& SystemKeyboardState();

// Dispatches this thread's messages while it waits; woken by every key release in the system, so
// that a shortcut starts as soon as the user lets go of the hotkey.
ConditionWaiter& SystemWaiter();

} // namespace hkv
