#pragma once
// Where played key events and their pause go: the system's keyboard in the program
// (keys/system_key_output.h), a recording in tests.
#include <cstdint>

namespace hkv {

class KeyOutput {
  public:
    virtual ~KeyOutput() = default;
    // False when the system refused the event (an elevated window in front, a secure desktop).
    virtual bool Key(std::uint8_t virtualKey, bool up) = 0;
    virtual void Pause(int milliseconds) = 0;
};

} // namespace hkv
