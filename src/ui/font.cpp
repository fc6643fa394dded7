#include "ui/font.h"

#include <cmath>
#include <cwchar>

namespace hkv {
namespace {

// What a screen without a readable DPI is taken to have.
constexpr int kDefaultDpi = 96;

} // namespace

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
    // The system DPI of a process is fixed for its whole life: read once.
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int read = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
        if (screen) {
            ReleaseDC(nullptr, screen);
        }
        return read > 0 ? read : kDefaultDpi;
    }();
    return dpi;
}

} // namespace hkv
