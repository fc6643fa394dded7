#pragma once
// The name the system gives a key in the current keyboard layout, as the hotkey box shows it.
#include <string>

namespace hkv {

// The key's name from the main keyboard block ("" when the system has none for it).
std::wstring SystemKeyName(int vk);

} // namespace hkv
