#pragma once
// Whether a keyboard layout makes right Alt AltGr, decided from what can be learnt of it.
#include <cstdint>
#include <optional>
#include <span>

namespace hkv {

// What the layout answered for one key asked with Ctrl and Alt down, without touching the state
// it keeps for dead keys: the count of characters (negative for a dead key, 0 for none) and the
// first of them.
struct CtrlAltAnswer {
    std::uint8_t vk;
    int count;
    wchar_t first;
};

// The keys that type characters: digits, letters, and the punctuation keys of the main block.
constexpr bool TypesCharacters(std::uint8_t vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || (vk >= 0xBA && vk <= 0xC0) ||
           (vk >= 0xDB && vk <= 0xE2);
}

// The layout's own AltGr flag (from its layout library) when it could be read; otherwise
// whether Ctrl + Alt types a character on one of the character keys (a dead key counts too),
// the state AltGr produces.
bool LayoutHasAltGr(std::optional<bool> layoutFlag, std::span<const CtrlAltAnswer> answers);

} // namespace hkv
