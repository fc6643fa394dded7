#include <gtest/gtest.h>

#include "ui/colors.h"
#include "ui/twips.h"

TEST(Twips, FifteenTwipsAreOnePixelAt96Dpi) {
    EXPECT_EQ(hkv::TwipsToPixels(15, 96), 1);
    EXPECT_EQ(hkv::TwipsToPixels(5835, 96), 389);
    EXPECT_EQ(hkv::TwipsToPixels(5565, 96), 371);
    EXPECT_EQ(hkv::TwipsToPixels(810 + 480 * 9, 96), 342);
    EXPECT_EQ(hkv::TwipsToPixels(2, 96), 0);
    EXPECT_EQ(hkv::TwipsToPixels(8, 96), 1); // rounds to nearest
    EXPECT_EQ(hkv::TwipsToPixels(5835, 144), 584);
    EXPECT_EQ(hkv::TwipsToPixels(-15, 96), -1);
}

TEST(Twips, RectanglesConvertEdgesSoNeighboursMeetExactly) {
    // Two boxes that touch in twips still touch in pixels at an awkward DPI.
    const hkv::TwipsRect a{240, 810, 1935, 300};
    const hkv::TwipsRect b{240 + 1935, 810, 240, 300};
    for (int dpi : {96, 120, 144, 168, 192}) {
        auto pa = hkv::ToPixels(a, dpi);
        auto pb = hkv::ToPixels(b, dpi);
        EXPECT_EQ(pa.left + pa.width, pb.left) << dpi;
    }
    auto row10 = hkv::ToPixels({2415, 810 + 480 * 9, 1905, 300}, 96);
    EXPECT_EQ(row10.left, 161);
    EXPECT_EQ(row10.top, 342);
    EXPECT_EQ(row10.width, 127);
    EXPECT_EQ(row10.height, 20);
}

TEST(Colors, AreStoredRedInTheLowByte) {
    EXPECT_EQ(hkv::colors::kHotkeyBack, 0x00C0E0FFu);
    EXPECT_EQ(hkv::colors::kAccent, 0x00E4C992u);
}
