#pragma once
// What a screen reader is told about the editor: its visible title as its name, its three key
// lists by their place, "添加" and the close image as buttons.
#include <windows.h>

#include "ui/accessible.h"

namespace hkv {

// Attaches the facts to the editor and its controls, found by their ids.
void DescribeEditor(ui::AccessibleControls& accessible, HWND editor);

} // namespace hkv
