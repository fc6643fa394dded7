#pragma once
// The program's own registered hotkeys, as far as a playback's keys could set them off.
#include <cstdint>
#include <span>

#include "keys/hotkey.h"
#include "keys/key_code_list.h"

namespace hkv {

// A registered hotkey takes synthetic key events too: a played key that is one of the program's
// own hotkeys would fire that row instead of reaching the application (two rows that swap
// shortcuts would deliver nothing). The main window suspends those that a playback's keys would
// set off, for the length of the playback.
class HotKeySuspension {
  public:
    // At most this many hotkeys: one bit each in a mask.
    static constexpr std::size_t kMaxHotKeys = 32;

    virtual ~HotKeySuspension() = default;
    // The program's registered hotkeys now; a mask names them by their place in this list.
    virtual std::span<const HotKey> HotKeys() = 0;
    // Unregisters, until Resume, the hotkeys of the mask. Returns those it suspended.
    virtual std::uint32_t Suspend(std::uint32_t hotKeys) = 0;
    // Registers them again; a row whose hotkey cannot be registered again is no longer enabled.
    virtual void Resume(std::uint32_t suspended) = 0;
};

// The hotkeys that playing `keys` would set off: a hotkey fires when its key goes down while
// exactly its modifiers are down, so only a hotkey whose key is played, with the modifiers down at
// that moment (`modifiersDown`, those down before the playback presses anything, and the list's
// own modifiers pressed before that key), is set off. Ctrl + C played leaves Ctrl + Shift + C be,
// which another program could otherwise take while it is unregistered.
std::uint32_t HotKeysSetOff(const KeyCodeList& keys, std::int32_t modifiersDown,
                            std::span<const HotKey> hotKeys);

} // namespace hkv
