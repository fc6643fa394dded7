#pragma once
// The name the system gives a key in the current keyboard layout, as the hotkey box shows it.
#include <string>

namespace hkv {

// The key's name as the keyboard labels it: the keys of the extended block (Home, Delete, the
// arrows...) by their own names, not by those of their twins on the numeric keypad. "" when the
// system has none for it.
std::wstring SystemKeyName(int vk);

} // namespace hkv
