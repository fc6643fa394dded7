#pragma once
// Key names of the shortcut editor and their virtual-key codes.
#include <cstdint>
#include <optional>
#include <string_view>

namespace hkv::co {

// The code of the key with exactly this name (case-sensitive, no trimming), or nothing.
std::optional<std::uint16_t> KeyNameToCode(std::wstring_view name);

} // namespace hkv::co
