// The player's output to the real keyboard input stream of the system.
#include <windows.h>

#include "keys/keyfunc.h"
#include "keys/player.h"

namespace hkv {
namespace {

class SystemOutput final : public KeyOutput {
  public:
    void Key(std::uint8_t virtualKey, bool up) override {
        // Scan code 0: the system derives it from the virtual-key code.
        keybd_event(virtualKey, 0, up ? KEYEVENTF_KEYUP : 0, 0);
    }
    void Pause(int milliseconds) override { keyfunc::Delay(milliseconds); }
};

} // namespace

KeyOutput& SystemKeyOutput() {
    static SystemOutput output;
    return output;
}

} // namespace hkv
