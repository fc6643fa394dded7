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
void SystemKeyOutput::Key(std::uint8_t key, bool up) {
    DWORD flags = up ? KEYEVENTF_KEYUP : 0;
    if (CarriesExtendedFlag(key)) {
        flags |= KEYEVENTF_EXTENDEDKEY;
    }
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), flags,
                kOwnInputSignature);
}

void SystemKeyOutput::Pause(int milliseconds) {
    keyfunc::Delay(milliseconds);
}

} // namespace hkv
