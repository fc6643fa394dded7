#include "ui/font.h"

#include <cmath>
#include <cwchar>

namespace hkv {

UniqueFont CreateFontFromSpec(const FontSpec& font, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi / 72.0));
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic ? TRUE : FALSE;
    lf.lfUnderline = font.underline ? TRUE : FALSE;
    lf.lfStrikeOut = font.strikethrough ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(font.charset);
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, font.face.c_str(), LF_FACESIZE - 1);
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
