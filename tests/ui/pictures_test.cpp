// The embedded pictures as the program itself gets them: the icon group from the executable's
// resources, and the title-strip pictures decoded and drawn onto the strip's colour.
#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <string>
#include <objbase.h>
#include <winver.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numeric>
#include <ostream>
#include <utility>
#include <vector>

#include "common/scope_guard.h"
#include "common/unique_handle.h"
#include "common/win_handles.h"
#include "ui/resource_ids.h"

namespace hkv {
namespace {

// The layout of an icon group resource; the system headers do not declare it.
#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD iconId;
};
#pragma pack(pop)

constexpr DWORD kIconFormatVersion = 0x00030000;

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c) {
        return out << "RGB(" << c.r << "," << c.g << "," << c.b << ")";
    }
};

constexpr Rgb kStrip{146, 201, 228};
constexpr Rgb kWhite{255, 255, 255};

void DeleteMemoryDc(HDC dc) {
    ::DeleteDC(dc);
}
using UniqueMemoryDc = UniqueHandle<HDC, &DeleteMemoryDc>;

std::vector<BYTE> ResourceBytes(LPCWSTR name, LPCWSTR type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name, type);
    if (info == nullptr) {
        return {};
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
    return data ? std::vector<BYTE>(data, data + SizeofResource(module, info))
                : std::vector<BYTE>{};
}

// The pixels of a canvas filled with the title-strip colour after one DrawPicture call.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    [[nodiscard]] Rgb At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y * width + x)];
    }
};

Canvas DrawOnStrip(PictureId id, int width, int height, int x, int y, int size) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) {
        ADD_FAILURE() << "no canvas";
        return {};
    }
    auto* words = static_cast<std::uint32_t*>(bits);
    const std::uint32_t strip = (static_cast<std::uint32_t>(kStrip.r) << 16) |
                                (static_cast<std::uint32_t>(kStrip.g) << 8) |
                                static_cast<std::uint32_t>(kStrip.b);
    std::fill(words, words + width * height, strip);
    HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
    ScopeGuard restore([&] { SelectObject(dc.get(), previous); });

    DrawPicture(dc.get(), id, x, y, size);
    GdiFlush();

    Canvas canvas{width, height, {}};
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t w = words[i];
        canvas.pixels.push_back(Rgb{static_cast<int>((w >> 16) & 0xFF),
                                    static_cast<int>((w >> 8) & 0xFF), static_cast<int>(w & 0xFF)});
    }
    return canvas;
}

TEST(ProgramIcon, IsTheFirstIconGroupSoExplorerShowsIt) {
    ULONG_PTR first = 0;
    EnumResourceNamesW(
        GetModuleHandleW(nullptr), RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
            *reinterpret_cast<ULONG_PTR*>(param) = reinterpret_cast<ULONG_PTR>(name);
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&first));
    ASSERT_TRUE(IS_INTRESOURCE(first)) << "the first icon group has a name, not a number";
    EXPECT_EQ(first, static_cast<ULONG_PTR>(IDI_PROGRAM));
}

TEST(ProgramIcon, HoldsThreeSizesAtFourEightAndThirtyTwoBitsPerPixel) {
    const std::vector<BYTE> group = ResourceBytes(MAKEINTRESOURCEW(IDI_PROGRAM), RT_GROUP_ICON);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader)) << "no icon group " << IDI_PROGRAM;
    GroupIconHeader header{};
    std::memcpy(&header, group.data(), sizeof header);
    ASSERT_EQ(group.size(), sizeof header + header.count * sizeof(GroupIconEntry));

    std::vector<std::pair<int, int>> found; // (pixel size, bits per pixel)
    for (WORD i = 0; i < header.count; ++i) {
        GroupIconEntry entry{};
        std::memcpy(&entry, group.data() + sizeof header + i * sizeof entry, sizeof entry);
        EXPECT_EQ(entry.width, entry.height);
        found.emplace_back(entry.width, entry.bitCount);
        SCOPED_TRACE(testing::Message()
                     << "image " << int{entry.width} << " px, " << entry.bitCount << " bpp");

        // The image itself must agree with its directory entry and be usable as an icon.
        std::vector<BYTE> image = ResourceBytes(MAKEINTRESOURCEW(entry.iconId), RT_ICON);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(image.size(), entry.bytesInResource);
        BITMAPINFOHEADER bih{};
        std::memcpy(&bih, image.data(), sizeof bih);
        EXPECT_EQ(bih.biWidth, entry.width);
        EXPECT_EQ(bih.biHeight, 2 * entry.width) << "colour plus AND mask";
        EXPECT_EQ(bih.biBitCount, entry.bitCount);
        UniqueIcon icon(CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()),
                                                 TRUE, kIconFormatVersion, entry.width,
                                                 entry.height, LR_DEFAULTCOLOR));
        EXPECT_TRUE(icon) << "the system refuses the image, error " << GetLastError();
    }
    std::sort(found.begin(), found.end());
    const std::vector<std::pair<int, int>> expected{{16, 4},  {16, 8}, {16, 32}, {32, 4}, {32, 8},
                                                    {32, 32}, {48, 4}, {48, 8},  {48, 32}};
    EXPECT_EQ(found, expected);
}

TEST(ProgramIcon, LoadsAtEachRequestedSize) {
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(testing::Message() << "size " << size);
        UniqueIcon icon = LoadProgramIcon(size);
        ASSERT_TRUE(icon) << "error " << GetLastError();
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        UniqueBitmap colour(info.hbmColor);
        UniqueBitmap mask(info.hbmMask);
        ASSERT_TRUE(colour) << "a monochrome icon was loaded";
        BITMAP bm{};
        ASSERT_NE(GetObjectW(colour.get(), sizeof bm, &bm), 0);
        EXPECT_EQ(bm.bmWidth, size);
        EXPECT_EQ(bm.bmHeight, size);
    }
}

struct KnownPixels {
    PictureId id;
    const char* name;
    std::vector<POINT> glyph;       // white
    std::vector<POINT> transparent; // the strip shows through
};

const std::vector<KnownPixels>& AllPictures() {
    static const std::vector<KnownPixels> pictures{
        {PictureId::Close,
         "close",
         {{7, 7}, {8, 8}, {3, 3}, {12, 3}, {3, 12}, {12, 12}},
         {{0, 0}, {7, 3}, {3, 7}, {15, 15}}},
        {PictureId::Menu,
         "menu",
         {{2, 3}, {13, 4}, {7, 7}, {7, 12}},
         {{0, 0}, {7, 5}, {7, 9}, {1, 7}, {15, 15}}},
        {PictureId::Minimise,
         "minimise",
         {{3, 11}, {7, 11}, {12, 12}},
         {{0, 0}, {7, 7}, {7, 10}, {7, 13}, {15, 15}}},
    };
    return pictures;
}

// The program draws the pictures on a thread that may already be in COM's multithreaded
// apartment; the pictures must come out all the same.
class Pictures : public testing::Test {
  protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }
};

TEST_F(Pictures, DrawWhiteGlyphsAndLetTheStripShowThroughElsewhere) {
    constexpr int kLeft = 5;
    constexpr int kTop = 3;
    constexpr int kCanvas = 24;
    for (const KnownPixels& picture : AllPictures()) {
        SCOPED_TRACE(picture.name);
        const Canvas canvas = DrawOnStrip(picture.id, kCanvas, kCanvas, kLeft, kTop, kPictureSize);
        ASSERT_EQ(canvas.pixels.size(), std::size_t{kCanvas * kCanvas});
        for (const POINT& p : picture.glyph) {
            EXPECT_EQ(canvas.At(kLeft + p.x, kTop + p.y), kWhite) << "at " << p.x << "," << p.y;
        }
        for (const POINT& p : picture.transparent) {
            EXPECT_EQ(canvas.At(kLeft + p.x, kTop + p.y), kStrip) << "at " << p.x << "," << p.y;
        }
        int outsideChanged = 0;
        int blended = 0;
        for (int y = 0; y < kCanvas; ++y) {
            for (int x = 0; x < kCanvas; ++x) {
                const Rgb c = canvas.At(x, y);
                const bool inside =
                    x >= kLeft && x < kLeft + kPictureSize && y >= kTop && y < kTop + kPictureSize;
                if (!inside && c != kStrip) {
                    ++outsideChanged;
                }
                if (inside && c != kStrip && c != kWhite) {
                    ++blended;
                }
            }
        }
        EXPECT_EQ(outsideChanged, 0) << "pixels changed outside the 16x16 square";
        EXPECT_EQ(blended, 0) << "pixels neither white nor the strip's colour";
    }
}

TEST_F(Pictures, DifferFromEachOther) {
    const auto& pictures = AllPictures();
    std::vector<Canvas> drawn;
    for (const KnownPixels& picture : pictures) {
        drawn.push_back(DrawOnStrip(picture.id, kPictureSize, kPictureSize, 0, 0, kPictureSize));
    }
    for (std::size_t a = 0; a < drawn.size(); ++a) {
        for (std::size_t b = a + 1; b < drawn.size(); ++b) {
            const auto differing = std::inner_product(
                drawn[a].pixels.begin(), drawn[a].pixels.end(), drawn[b].pixels.begin(), 0,
                std::plus<>(), std::not_equal_to<>());
            EXPECT_GT(differing, 0)
                << pictures[a].name << " looks the same as " << pictures[b].name;
        }
    }
}

TEST_F(Pictures, StretchToTheRequestedSize) {
    constexpr int kDouble = 2 * kPictureSize;
    const Canvas canvas = DrawOnStrip(PictureId::Close, kDouble, kDouble, 0, 0, kDouble);
    ASSERT_EQ(canvas.pixels.size(), std::size_t{kDouble * kDouble});
    // The arms' ends reach the far corner only when the picture is drawn twice as large.
    EXPECT_EQ(canvas.At(24, 24), kWhite);
    EXPECT_EQ(canvas.At(25, 25), kWhite);
    EXPECT_EQ(canvas.At(15, 15), kWhite);
    EXPECT_EQ(canvas.At(0, 0), kStrip);
    EXPECT_EQ(canvas.At(15, 6), kStrip);
    EXPECT_EQ(canvas.At(31, 31), kStrip);
}

} // namespace
} // namespace hkv

TEST(ProgramVersion, NamesTheProductAndVersionOneDotZero) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(found, nullptr) << "no version resource";
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    // VerQueryValue may write into the block it reads: it gets a copy.
    std::vector<BYTE> block(bytes, bytes + SizeofResource(nullptr, found));
    auto text = [&](const wchar_t* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) {
            return std::wstring(L"<none>");
        }
        return std::wstring(static_cast<const wchar_t*>(value));
    };
    EXPECT_EQ(text(L"ProductName"), L"Brevin Hotkey Veridir");
    EXPECT_EQ(text(L"ProductVersion"), L"1.0");
    EXPECT_EQ(text(L"OriginalFilename"), L"BrevinHotkey.exe");
    EXPECT_NE(text(L"FileDescription"), L"<none>");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(0, 1))) << "version 1.0";
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ProgramManifest, DeclaresDpiAwarenessAndNoElevation) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr) << "no application manifest";
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(bytes, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}
