#pragma once
// What a screen reader is told about the main window's controls: each row's three controls named
// by their row and column, the title strip's images by their tooltips.
#include <windows.h>

#include "ui/accessible.h"

namespace hkv {

// Attaches the facts to the controls of the main window, found by their ids.
void DescribeFrmSet(ui::AccessibleControls& accessible, HWND frmSet);

} // namespace hkv
