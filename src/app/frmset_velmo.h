#pragma once
// What the main window gives its rows' hotkey controls when it loads them: the stored properties
// it keeps for them and its own font, which they fall back on for what those leave out. The hotkey
// control's tests load their instances with the same.
#include <cstdint>

#include "hotkeyctl/property_bag.h"
#include "ui/colors.h"
#include "ui/font_spec.h"

namespace hkv::frmset {

// The form's font: its labels and boxes, and the ambient font of its hotkey controls.
inline const FontSpec kFormFont{L"微软雅黑", 9, 400, 134};
// The hotkey controls' own font.
inline const FontSpec kHotkeyFont{L"宋体", 9, 400, 134};

// Only these three differ from the control's defaults, so the controls keep their hotkeys in the
// settings file.
inline PropertyBag VelmoProperties() {
    PropertyBag bag;
    bag.Set(L"BackColor", std::int64_t{colors::kHotkeyBack});
    bag.Set(L"Font", kHotkeyFont);
    bag.Set(L"BorderStyle", std::int64_t{0});
    return bag;
}

} // namespace hkv::frmset
