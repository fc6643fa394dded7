#include "ui/pictures.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "common/scope_guard.h"
#include "common/unique_handle.h"
#include "ui/resource_ids.h"

namespace hkv {
namespace {

void DeleteMemoryDc(HDC dc) {
    ::DeleteDC(dc);
}
using UniqueMemoryDc = UniqueHandle<HDC, &DeleteMemoryDc>;

constexpr std::size_t kPictureCount = 3;
constexpr WORD kBitsPerPixel = 32;
constexpr std::size_t kBytesPerPixel = kBitsPerPixel / 8;
constexpr BYTE kOpaque = 255;

// A picture ready to draw: a 32-bit DIB with premultiplied alpha, as GdiAlphaBlend wants it.
struct DecodedPicture {
    UniqueBitmap bitmap;
    int width = 0;
    int height = 0;
};

int ResourceIdOf(PictureId id) {
    switch (id) {
    case PictureId::Close:
        return IDR_PICTURE_CLOSE;
    case PictureId::Menu:
        return IDR_PICTURE_MENU;
    case PictureId::Minimise:
        return IDR_PICTURE_MINIMISE;
    }
    return 0;
}

std::size_t IndexOf(PictureId id) {
    return static_cast<std::size_t>(id);
}

// The pictures are stored as bitmap resources whose pixels are already premultiplied BGRA: they
// are copied into a DIB section as they are. (LoadImage is not used: whether it keeps the alpha
// bytes of a 32-bit bitmap has differed between systems.) Anything else yields no picture.
DecodedPicture Load(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_BITMAP);
    if (info == nullptr) {
        return {};
    }
    const DWORD byteCount = SizeofResource(module, info);
    HGLOBAL loaded = LoadResource(module, info); // resource memory lives as long as the module
    const auto* bytes =
        static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    BITMAPINFO bmi{};
    if (bytes == nullptr || byteCount < sizeof bmi.bmiHeader) {
        return {};
    }
    std::memcpy(&bmi.bmiHeader, bytes, sizeof bmi.bmiHeader);
    const BITMAPINFOHEADER& header = bmi.bmiHeader;
    const LONG width = header.biWidth;
    const LONG height = std::labs(header.biHeight); // rows may run either way; GDI keeps them
    if (header.biSize != sizeof header || header.biBitCount != kBitsPerPixel ||
        header.biCompression != BI_RGB || width <= 0 || height == 0) {
        return {};
    }
    const std::size_t pixelBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kBytesPerPixel;
    if (byteCount - header.biSize < pixelBytes) {
        return {};
    }
    void* bits = nullptr;
    DecodedPicture picture;
    picture.bitmap.reset(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture.bitmap || bits == nullptr) {
        return {};
    }
    std::memcpy(bits, bytes + header.biSize, pixelBytes);
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    return picture;
}

std::array<DecodedPicture, kPictureCount> LoadAll() {
    std::array<DecodedPicture, kPictureCount> pictures;
    for (PictureId id : {PictureId::Close, PictureId::Menu, PictureId::Minimise}) {
        pictures[IndexOf(id)] = Load(ResourceIdOf(id));
    }
    return pictures;
}

// Loaded on first use and kept for the life of the process: the pictures are redrawn on every
// paint of a title strip.
const DecodedPicture& PictureFor(PictureId id) {
    static const std::array<DecodedPicture, kPictureCount> pictures = LoadAll();
    static const DecodedPicture none;
    const std::size_t index = IndexOf(id);
    return index < pictures.size() ? pictures[index] : none;
}

// Draws a premultiplied 32-bit bitmap with its transparency.
void Blend(HDC dc, HBITMAP bitmap, int width, int height, int x, int y, int size) {
    if (bitmap == nullptr || dc == nullptr || size <= 0) {
        return;
    }
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    HGDIOBJ previous = SelectObject(source.get(), bitmap);
    ScopeGuard restore([&] { SelectObject(source.get(), previous); });
    BLENDFUNCTION blend{AC_SRC_OVER, 0, kOpaque, AC_SRC_ALPHA};
    // gdi32's own blend: msimg32's AlphaBlend only forwards to it, and msimg32 is no Known DLL, so
    // importing it would let a copy beside the exe load first.
    GdiAlphaBlend(dc, x, y, size, size, source.get(), 0, 0, width, height, blend);
}

} // namespace

void DrawPicture(HDC dc, PictureId id, int x, int y, int size) {
    const DecodedPicture& picture = PictureFor(id);
    Blend(dc, picture.bitmap.get(), picture.width, picture.height, x, y, size);
}

void DrawPictureIn(HDC dc, PictureId id, COLORREF color, int x, int y, int size) {
    const DecodedPicture& picture = PictureFor(id);
    DIBSECTION section{};
    if (!picture.bitmap ||
        GetObjectW(picture.bitmap.get(), sizeof section, &section) != sizeof section ||
        section.dsBm.bmBits == nullptr) {
        return;
    }
    BITMAPINFO bmi{};
    bmi.bmiHeader = section.dsBmih;
    void* bits = nullptr;
    UniqueBitmap mask(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mask || bits == nullptr) {
        return;
    }
    // Premultiplied: each channel is the colour's scaled by the pixel's own alpha.
    const std::size_t count =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    const auto* from = static_cast<const BYTE*>(section.dsBm.bmBits);
    auto* to = static_cast<BYTE*>(bits);
    const BYTE bgr[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned alpha = from[i * kBytesPerPixel + 3];
        for (std::size_t c = 0; c < 3; ++c) {
            to[i * kBytesPerPixel + c] = static_cast<BYTE>(bgr[c] * alpha / kOpaque);
        }
        to[i * kBytesPerPixel + 3] = static_cast<BYTE>(alpha);
    }
    GdiFlush();
    Blend(dc, mask.get(), picture.width, picture.height, x, y, size);
}

UniqueIcon LoadProgramIcon(int size) {
    return UniqueIcon(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

} // namespace hkv
