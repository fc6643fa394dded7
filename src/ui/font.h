#pragma once
#include <windows.h>

#include "common/win_handles.h"
#include "ui/font_spec.h"

namespace hkv {

// A GDI font for the font described, at the given DPI (points to pixels: points * dpi / 72).
UniqueFont CreateFontFromSpec(const FontSpec& font, int dpi);

// The DPI the program lays itself out at: the screen's logical pixels per inch (the same along
// both axes), read once.
int ScreenDpi();

} // namespace hkv
