// The player's output to the real keyboard input stream of the system.
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "keys/keyfunc.h"
#include "keys/own_input.h"
#include "keys/system_key_output.h"

namespace hkv {
namespace {

// The keys of a keyboard's extended block. A keyboard marks them (the 0xE0 prefix of their scan
// codes), and so must the program, or applications take them for their twins on the numeric
// keypad (Delete for the keypad's decimal point, the arrows for 2, 4, 6 and 8). Wine's
// MapVirtualKeyW(MAPVK_VK_TO_VSC_EX) does not tell them apart, so they are named here.
constexpr BYTE kExtendedKeys[] = {
    VK_RCONTROL, VK_RMENU,  VK_LWIN,    VK_RWIN,     VK_APPS,   VK_INSERT, VK_DELETE,
    VK_HOME,     VK_END,    VK_PRIOR,   VK_NEXT,     VK_LEFT,   VK_UP,     VK_RIGHT,
    VK_DOWN,     VK_DIVIDE, VK_NUMLOCK, VK_SNAPSHOT, VK_CANCEL,
};

} // namespace

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
    if (std::find(std::begin(kExtendedKeys), std::end(kExtendedKeys), key) !=
        std::end(kExtendedKeys)) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    input.ki.dwExtraInfo = kOwnInputSignature;
    // Unlike keybd_event, SendInput tells whether the system took the event.
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

void SystemKeyOutput::Pause(int milliseconds) {
    keyfunc::Delay(milliseconds);
}

} // namespace hkv
