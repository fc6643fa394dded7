// The player's output to the real keyboard input stream of the system.
#include <windows.h>

#include "keys/keyfunc.h"
#include "keys/own_input.h"
#include "keys/system_key_output.h"

namespace hkv {

void SystemKeyOutput::Key(std::uint8_t virtualKey, bool up) {
    // Scan code 0: the system derives it from the virtual-key code. Marked as the program's own,
    // so that a focused hotkey box of ours does not capture the shortcut it plays.
    keybd_event(virtualKey, 0, up ? KEYEVENTF_KEYUP : 0, kOwnInputSignature);
}

void SystemKeyOutput::Pause(int milliseconds) {
    keyfunc::Delay(milliseconds);
}

} // namespace hkv
