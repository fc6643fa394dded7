// The player's output to the real keyboard input stream of the system.
#include <windows.h>

#include "keys/extended_keys.h"
#include "keys/keyfunc.h"
#include "keys/own_input.h"
#include "keys/system_key_output.h"

namespace hkv {

// As a keyboard sends the key, so that the focused application and every low-level hook see what
// a keyboard gives them: its key, its scan code, and the extended flag of the keys that have it.
// Marked as the program's own, so that a focused hotkey box of ours does not capture the shortcut
// it plays, and the program tells its own key events from the user's.
bool SystemKeyOutput::Key(std::uint8_t key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (CarriesExtendedFlag(key)) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    input.ki.dwExtraInfo = kOwnInputSignature;
    // Unlike keybd_event, SendInput tells whether the system took the event.
    return send_(1, &input, sizeof(INPUT)) == 1;
}

void SystemKeyOutput::Pause(int milliseconds) {
    keyfunc::Delay(milliseconds);
}

} // namespace hkv
