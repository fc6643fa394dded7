#include "keys/hotkey_suspension.h"

#include <algorithm>

#include "keys/modifier_keys.h"

namespace hkv {

std::uint32_t HotKeysSetOff(const KeyCodeList& keys, std::int32_t modifiersDown,
                            std::span<const HotKey> hotKeys) {
    const std::size_t count = std::min(hotKeys.size(), std::size_t{HotKeySuspension::kMaxHotKeys});
    std::uint32_t setOff = 0;
    std::int32_t down = modifiersDown;
    for (int i = 0; i < keys.count; ++i) {
        const std::uint8_t code = keys.codes[static_cast<std::size_t>(i)];
        // Whether a modifier key's own flag counts for a hotkey on that very key is the system's
        // affair: such a hotkey is suspended either way, as a suspension too many costs nothing.
        const std::int32_t withItself = down | ModifierFlagOf(code);
        for (std::size_t h = 0; h < count; ++h) {
            const HotKey& hotKey = hotKeys[h];
            if (hotKey.key != 0 && SameKey(code, hotKey.key) &&
                (hotKey.modifiers == down || hotKey.modifiers == withItself)) {
                setOff |= 1u << h;
            }
        }
        down |= ModifierFlagOf(code);
    }
    return setOff;
}

} // namespace hkv
