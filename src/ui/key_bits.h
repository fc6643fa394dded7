#pragma once
// Bits of the keyboard's messages and state that more than one of the program's windows reads.
#include <windows.h>

namespace hkv::ui {

// Bit 30 of a key message's lParam: the key was already down (an auto-repeat).
inline constexpr LPARAM kKeyWasDown = 1 << 30;
// The high bit of GetAsyncKeyState: the key is down now.
inline constexpr SHORT kKeyDownNow = static_cast<SHORT>(0x8000);

} // namespace hkv::ui
