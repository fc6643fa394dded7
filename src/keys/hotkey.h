#pragma once
// A registered hotkey as the keyboard sees it.
#include <cstdint>

namespace hkv {

// Its main key and its modifier flags (1 Alt, 2 Ctrl, 4 Shift, 8 Win); key 0 for none.
struct HotKey {
    std::uint8_t key = 0;
    std::int32_t modifiers = 0;
};

} // namespace hkv
