#pragma once
#include <windows.h>

#include <functional>

namespace hkv::moveit {

// Hands a borderless window to the system's move loop, as a press on a caption would; returns
// when the loop ends. A maximised window is left where it is, and nothing happens without the
// primary button down. beforeLoop runs only when the loop is about to start: it lasts as long as
// the user drags, and nothing else of the program runs meanwhile unless the loop dispatches it.
void DragWindow(HWND window, const std::function<void()>& beforeLoop = {});

} // namespace hkv::moveit
