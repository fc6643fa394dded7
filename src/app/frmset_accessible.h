#pragma once
// What a screen reader is told about the main window's controls: each row's three controls named
// by their row and column, the title strip's images by their tooltips.
#include <windows.h>

#include <array>
#include <memory>

#include "app/frmset_ids.h"
#include "hotkeyctl/velmo.h"
#include "ui/accessible.h"

namespace hkv {

// Attaches the facts to the controls of the main window, found by their ids, and to the rows'
// hotkey controls, which outlive what they are told.
void DescribeFrmSet(ui::AccessibleControls& accessible, HWND frmSet,
                    const std::array<std::unique_ptr<Velmo>, ids::kRows>& velmos);

} // namespace hkv
