// The user guide's pictures are screenshots of the real windows (scripts/screenshots.sh): each
// has its window's size, and a placeholder or a blank screen grab fails.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui/twips.h"

namespace {

// The windows' outer sizes in twips, as their layouts give them; the main window and the editor
// have no frame, so the picture of the window is exactly this.
constexpr int kMainWidthTwips = 5835;
constexpr int kMainHeightTwips = 5565;
constexpr int kEditorWidthTwips = 6855;
constexpr int kEditorHeightTwips = 2625;
constexpr int kNormalDpi = 96;
constexpr int kLargeScaleDpi = 144;
// A window's edges in pixels may round either way at a scale.
constexpr int kTolerancePixels = 2;
// The tray menu and its submenu take their size from the font: four items and one need at
// least this much.
constexpr int kMenuMinWidth = 120;
constexpr int kMenuMinHeight = 40;
// Title strips, texts, boxes and check boxes: far more colours than a blank grab's one or two.
constexpr std::size_t kMinColours = 8;

struct PngFacts {
    bool valid = false;
    int width = 0;
    int height = 0;
    std::size_t paletteColours = 0;
};

std::uint32_t BigEndian32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

// The header's size and the palette's length; the pictures are palette PNGs, so the palette is
// the set of colours they use.
PngFacts ReadPng(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file),
                                           std::istreambuf_iterator<char>()};
    static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngFacts facts;
    if (bytes.size() < sizeof kSignature ||
        !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin())) {
        return facts;
    }
    constexpr std::size_t kChunkFrame = 12; // length, type, checksum
    for (std::size_t at = sizeof kSignature; at + kChunkFrame <= bytes.size();) {
        const std::size_t length = BigEndian32(bytes, at);
        const std::string type(bytes.begin() + at + 4, bytes.begin() + at + 8);
        if (at + kChunkFrame + length > bytes.size()) {
            return facts;
        }
        if (type == "IHDR" && length >= 8) {
            facts.width = static_cast<int>(BigEndian32(bytes, at + 8));
            facts.height = static_cast<int>(BigEndian32(bytes, at + 12));
        } else if (type == "PLTE") {
            facts.paletteColours = length / 3;
        } else if (type == "IEND") {
            facts.valid = facts.width > 0;
        }
        at += kChunkFrame + length;
    }
    return facts;
}

struct Picture {
    const char* file;
    int minWidth;
    int maxWidth;
    int minHeight;
    int maxHeight;
};

constexpr Picture WindowPicture(const char* file, int widthTwips, int heightTwips, int dpi) {
    const int w = hkv::TwipsToPixels(widthTwips, dpi);
    const int h = hkv::TwipsToPixels(heightTwips, dpi);
    return {file, w - kTolerancePixels, w + kTolerancePixels, h - kTolerancePixels,
            h + kTolerancePixels};
}

constexpr Picture kPictures[] = {
    WindowPicture("main-window.png", kMainWidthTwips, kMainHeightTwips, kNormalDpi),
    WindowPicture("main-window-144dpi.png", kMainWidthTwips, kMainHeightTwips, kLargeScaleDpi),
    WindowPicture("main-window-high-contrast.png", kMainWidthTwips, kMainHeightTwips, kNormalDpi),
    WindowPicture("editor.png", kEditorWidthTwips, kEditorHeightTwips, kNormalDpi),
    {"tray-menu.png", kMenuMinWidth, kMenuMinWidth * 4, kMenuMinHeight, kMenuMinHeight * 4},
};

} // namespace

TEST(GuidePictures, EachShowsItsWholeWindowInMoreThanAFewColours) {
    for (const Picture& picture : kPictures) {
        const PngFacts png = ReadPng(std::string(HKV_DOCS_DIR) + "/" + picture.file);
        SCOPED_TRACE(picture.file);
        ASSERT_TRUE(png.valid) << "not a complete PNG";
        EXPECT_GE(png.width, picture.minWidth);
        EXPECT_LE(png.width, picture.maxWidth);
        EXPECT_GE(png.height, picture.minHeight);
        EXPECT_LE(png.height, picture.maxHeight);
        EXPECT_GE(png.paletteColours, kMinColours) << "blank, or not a palette PNG";
    }
}
