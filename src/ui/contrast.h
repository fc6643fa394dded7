#pragma once
// How far apart two colours are to the eye: the contrast ratio of their relative luminances, as
// accessibility guidelines measure it (1 : 1 for equal colours, 21 : 1 for black on white; 4.5 : 1
// is the least for ordinary text). Colours are 0x00BBGGRR values.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace hkv::contrast {

inline double Linear(std::uint32_t channel) {
    const double c = static_cast<double>(channel & 0xFFu) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline double Luminance(std::uint32_t color) {
    return 0.2126 * Linear(color) + 0.7152 * Linear(color >> 8) + 0.0722 * Linear(color >> 16);
}

inline double Ratio(std::uint32_t a, std::uint32_t b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Black or white, whichever stands out more from the background.
inline std::uint32_t ReadableTextOn(std::uint32_t background) {
    constexpr std::uint32_t kBlack = 0x000000;
    constexpr std::uint32_t kWhite = 0xFFFFFF;
    return Ratio(kBlack, background) >= Ratio(kWhite, background) ? kBlack : kWhite;
}

// The least contrast a thin mark (a focus mark) needs against what it sits on to be made out.
inline constexpr double kLeastMarkContrast = 3.0;

// The colour of a mark on a control: its text's, where that stands out enough from the
// background (a scheme's own pairs do), else black or white: one of the two stands out at
// least 4.5 : 1 from any colour.
inline std::uint32_t MarkColorOn(std::uint32_t text, std::uint32_t background) {
    return Ratio(text, background) >= kLeastMarkContrast ? text : ReadableTextOn(background);
}

} // namespace hkv::contrast
