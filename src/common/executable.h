#pragma once
// Where the running program lies: the settings file and the delay's timer name both derive from it.
#include <string>

namespace hkv {

// The full path of the program's executable; empty when the system cannot tell.
std::wstring ExecutablePath();

} // namespace hkv
