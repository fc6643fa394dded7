#pragma once
// What the system tells of a keyboard layout.
#include <windows.h>

namespace hkv {

// Whether the layout makes right Alt AltGr: its own flag where its layout library can be read,
// otherwise whether Ctrl + Alt types a character with it.
bool SystemLayoutHasAltGr(HKL layout);

} // namespace hkv
