#pragma once
// Layouts are kept in twips (1/1440 inch) and turned into pixels at the screen's DPI.

namespace hkv {

inline constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, as the layouts were drawn: 15 twips are one pixel at 96 DPI.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                        : -((-scaled + half) / kTwipsPerInch));
}

constexpr int PixelsToTwips(int pixels, int dpi) {
    return dpi > 0 ? static_cast<int>(static_cast<long long>(pixels) * kTwipsPerInch / dpi) : 0;
}

// A rectangle in twips: left, top, width, height, as the layout tables give them.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Edges are converted, not sizes, so that neighbouring controls never overlap or gap by rounding.
constexpr PixelRect ToPixels(const TwipsRect& r, int dpi) {
    const int left = TwipsToPixels(r.left, dpi);
    const int top = TwipsToPixels(r.top, dpi);
    return {left, top, TwipsToPixels(r.left + r.width, dpi) - left,
            TwipsToPixels(r.top + r.height, dpi) - top};
}

} // namespace hkv
