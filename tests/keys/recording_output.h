#pragma once
// A player output that writes down what it is asked to do, for tests and measurements.
#include <functional>
#include <string>
#include <vector>

#include "keys/key_output.h"

namespace hkv::test {

class RecordingOutput : public KeyOutput {
  public:
    // "down 17", "up 67", "pause 200": readable when a comparison fails.
    std::vector<std::string> events;
    // Runs inside each pause, as a message dispatched by the real pause would.
    std::function<void()> onPause;

    bool Key(std::uint8_t virtualKey, bool up) override {
        events.push_back((up ? "up " : "down ") + std::to_string(virtualKey));
        return true;
    }
    void Pause(int milliseconds) override {
        events.push_back("pause " + std::to_string(milliseconds));
        if (onPause) {
            onPause();
        }
    }
};

} // namespace hkv::test
