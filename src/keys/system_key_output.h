#pragma once
// The player's output to the system's real keyboard input stream, and the player as the program
// calls it.
#include <string_view>

#include "keys/player.h"

namespace hkv {

// The system's keyboard (keybd_event with scan code 0, and keyfunc::Delay for the pause).
KeyOutput& SystemKeyOutput();

// Replaces the output of opendo for the calls that follow (nullptr restores the system output).
void SetKeyOutput(KeyOutput* output);

// Plays a key code list to the current output: the system's keyboard unless replaced.
void opendo(std::wstring_view textall);

} // namespace hkv
