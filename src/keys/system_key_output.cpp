// The player's output to the real keyboard input stream of the system, and the player as the
// program calls it.
#include <windows.h>

#include "keys/keyfunc.h"
#include "keys/own_input.h"
#include "keys/system_key_output.h"

namespace hkv {
namespace {

class SystemOutput final : public KeyOutput {
  public:
    void Key(std::uint8_t virtualKey, bool up) override {
        // Scan code 0: the system derives it from the virtual-key code. Marked as the program's
        // own, so that a focused hotkey box of ours does not capture the shortcut it plays.
        keybd_event(virtualKey, 0, up ? KEYEVENTF_KEYUP : 0, kOwnInputSignature);
    }
    void Pause(int milliseconds) override { keyfunc::Delay(milliseconds); }
};

KeyOutput* g_output = nullptr; // nullptr: the system

} // namespace

KeyOutput& SystemKeyOutput() {
    static SystemOutput output;
    return output;
}

void SetKeyOutput(KeyOutput* output) {
    g_output = output;
}

void opendo(std::wstring_view textall) {
    PlayKeyCodeList(textall, g_output ? *g_output : SystemKeyOutput());
}

} // namespace hkv
