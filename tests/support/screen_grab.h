#pragma once
// What the screen shows in a rectangle: 24-bit pixels, bottom row first, each row padded to four
// bytes, as a BMP file holds them. Empty when the screen cannot be read.
#include <windows.h>

#include <vector>

#include "common/scope_guard.h"
#include "common/win_handles.h"

namespace hkv::test {

inline std::vector<unsigned char> GrabScreen(const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    const hkv::ScopeGuard releaseScreen([screen] { ReleaseDC(nullptr, screen); });
    HDC memory = CreateCompatibleDC(screen);
    const hkv::ScopeGuard deleteMemory([memory] { DeleteDC(memory); });
    const hkv::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, w, h));
    bool copied = false;
    {
        const HGDIOBJ old = SelectObject(memory, bitmap.get());
        const hkv::ScopeGuard deselect([memory, old] { SelectObject(memory, old); });
        copied = BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    }
    // Read once the bitmap is out of the DC again, as GetDIBits wants it.
    std::vector<unsigned char> pixels;
    if (copied) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        const int stride = (w * 3 + 3) & ~3;
        pixels.resize(static_cast<std::size_t>(stride) * h);
        if (!GetDIBits(memory, bitmap.get(), 0, h, pixels.data(), &info, DIB_RGB_COLORS)) {
            pixels.clear();
        }
    }
    return pixels;
}

// The colour of pixel (x, y) of a grab of the given width and height, counted from its top left.
inline COLORREF PixelAt(const std::vector<unsigned char>& pixels, int width, int height, int x,
                        int y) {
    const int stride = (width * 3 + 3) & ~3;
    const unsigned char* p = &pixels[static_cast<std::size_t>((height - 1 - y) * stride + x * 3)];
    return RGB(p[2], p[1], p[0]);
}

} // namespace hkv::test
