#include "ui/font.h"

#include <cmath>
#include <cwchar>

namespace hkv {

UniqueFont CreateFontFromSpec(const FontSpec& spec, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(spec.points * dpi / 72.0));
    lf.lfWeight = spec.weight;
    lf.lfItalic = spec.italic ? TRUE : FALSE;
    lf.lfUnderline = spec.underline ? TRUE : FALSE;
    lf.lfStrikeOut = spec.strikethrough ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(spec.charset);
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, spec.face.c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&lf));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

} // namespace hkv
