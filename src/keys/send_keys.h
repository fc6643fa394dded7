#pragma once
// How key events are handed to the system.
#include <windows.h>

namespace hkv {

// SendInput's own signature: its answer, how many of the events the system took, is what the
// keys layer acts on (it refuses input for an elevated window in front, a secure desktop), so a
// stand-in that refuses can be given where a system that refuses must be met.
using SendKeys = UINT(WINAPI*)(UINT count, LPINPUT inputs, int size);

} // namespace hkv
