#pragma once
// The player's output to the system's real keyboard input stream.
#include "keys/key_output.h"
#include "keys/send_keys.h"

namespace hkv {

// SendInput for the keys, as a keyboard sends them (each key as given: the playback names the
// left or right one; scan codes, the extended flag), keyfunc::Delay for the pause.
class SystemKeyOutput final : public KeyOutput {
  public:
    explicit SystemKeyOutput(SendKeys send = &SendInput) : send_(send) {}
    bool Key(std::uint8_t virtualKey, bool up) override;
    void Pause(int milliseconds) override;

  private:
    SendKeys send_;
};

} // namespace hkv
