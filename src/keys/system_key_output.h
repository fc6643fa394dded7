#pragma once
// The player's output to the system's real keyboard input stream.
#include "keys/key_output.h"

namespace hkv {

// SendInput for the keys, as a keyboard sends them (each key as given: the playback names the
// left or right one; scan codes, the extended flag), keyfunc::Delay for the pause.
class SystemKeyOutput final : public KeyOutput {
  public:
    bool Key(std::uint8_t virtualKey, bool up) override;
    void Pause(int milliseconds) override;
};

} // namespace hkv
