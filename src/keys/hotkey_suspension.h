#pragma once
// The program's own registered hotkeys, as far as a playback's keys could set them off.
#include <cstdint>

#include "keys/key_code_list.h"

namespace hkv {

// A registered hotkey takes synthetic key events too: a played key that is one of the program's own
// hotkeys would fire that row instead of reaching the application (two rows that swap shortcuts
// would deliver nothing). The main window suspends them for the length of a playback.
class HotKeySuspension {
  public:
    virtual ~HotKeySuspension() = default;
    // Unregisters, until Resume, every hotkey of the program whose key is one of `keys`. Returns
    // what to resume; 0 when none was suspended.
    virtual std::uint32_t Suspend(const KeyCodeList& keys) = 0;
    // Registers them again; a row whose hotkey cannot be registered again is no longer enabled.
    virtual void Resume(std::uint32_t suspended) = 0;
};

} // namespace hkv
