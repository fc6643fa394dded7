#pragma once
#include <windows.h>

namespace hkv::moveit {

// Hands a borderless window to the system's move loop, as a press on a caption would; returns
// when the loop ends. A maximised window is left where it is.
void DragWindow(HWND window);

} // namespace hkv::moveit
