#pragma once
// The behaviour of an old-shortcut box (a read-only edit): a click, or Enter or Space while it has
// the focus, tells its parent (ui::kNotifyClick) that the user wants its editor; it shows a focus
// mark while it has the focus and keyboard cues are on.
#include <windows.h>

namespace hkv {

// Gives the box that behaviour; it lasts as long as the box.
void MakeShortcutBox(HWND box);

} // namespace hkv
