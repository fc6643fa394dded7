// High contrast: with the mode on, every window draws in the colours of the user's scheme and stays
// readable; a change of the mode or of the colours shows at once.
#include <map>

#include "app_fixture.h"
#include "support/high_contrast_switch.h"
#include "ui/contrast.h"

namespace hkv::test {
namespace {

constexpr double kReadable = 4.5;
// Pixels of a glyph drawn whole, not only its smoothed edge.
constexpr int kGlyphPixels = 3;

// What a control shows on the screen: its most frequent colour as its background, and how far the
// pixels that stand out most from it stand out.
struct Look {
    COLORREF background = 0;
    double contrast = 1;
    int standingOut = 0;
};

Look LookOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO top{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    const UniqueBitmap copy(CreateDIBSection(nullptr, &top, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(memory, copy.get());
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::map<COLORREF, int> counts;
    for (int i = 0; bits && i < w * h; ++i) {
        const auto* bgr = static_cast<const BYTE*>(bits) + i * 4;
        ++counts[RGB(bgr[2], bgr[1], bgr[0])];
    }
    Look look;
    look.background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                          return a.second < b.second;
                      })->first;
    for (const auto& [color, count] : counts) {
        const double ratio = contrast::Ratio(color, look.background);
        look.contrast = std::max(look.contrast, ratio);
        look.standingOut += ratio >= kReadable ? count : 0;
    }
    return look;
}

// Waits until the control shows the background and readable text or pictures on it.
void ExpectReadable(const char* what, HWND control, COLORREF background) {
    Look look;
    EXPECT_TRUE(WaitUntil([&] {
        look = LookOf(control);
        return look.background == background && look.contrast >= kReadable &&
               look.standingOut >= kGlyphPixels;
    })) << what
        << ": background " << std::hex << look.background << " (expected " << background
        << "), contrast " << std::dec << look.contrast << " over " << look.standingOut << " pixels";
}

} // namespace

TEST_F(App, InHighContrastEveryWindowDrawsReadablyInTheSchemesColours) {
    const DarkScheme scheme;
    ProgramUnderTest p(L"high_contrast");
    const std::wstring modeFile =
        p.IniPath().substr(0, p.IniPath().find_last_of(L'\\') + 1) + kHighContrastFile;
    DeleteFileW(modeFile.c_str());
    ASSERT_TRUE(p.WriteIni(kMappedIni));
    ASSERT_TRUE(p.Start());

    // Off: the program's own colours; the hotkey box's text stands out from its fixed background
    // whatever the system's text colour is.
    ExpectReadable("hotkey box, mode off", p.VelmoEdit(1), RGB(255, 224, 192));

    // Turned on while the program runs, as the system announces it.
    ASSERT_TRUE(WriteFileBytes(modeFile, "on"));
    SendMessageW(p.Main(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    const COLORREF window = kDarkScheme[0], highlight = kDarkScheme[2];
    ExpectReadable("window", p.Control(ids::kPicture1), window);
    for (int id : {ids::kImage1, ids::kImage2, ids::kImage3, ids::kTitle}) {
        ExpectReadable("title strip", p.Control(id), highlight);
    }
    ExpectReadable("heading", p.Control(ids::kLabel4), window);
    ExpectReadable("old shortcut", p.Text1(0), highlight);
    ExpectReadable("hotkey box", p.VelmoEdit(1), window);
    ExpectReadable("tick box", p.Check(1), window);

    ASSERT_TRUE(ClickOn(p.Text1(0)));
    ASSERT_TRUE(WaitUntil([&] { return p.Editor() && InputTaken(p.Editor()); }));
    for (int id : {ids::kEditTitle, ids::kEditImage3, ids::kLabel1}) {
        ExpectReadable("editor", FindDescendant(p.Editor(), id), highlight);
    }

    // Off again, told as a change of the colours: today's look at once.
    ASSERT_TRUE(DeleteFileW(modeFile.c_str()));
    SendMessageW(p.Editor(), WM_SYSCOLORCHANGE, 0, 0);
    const HWND add = FindDescendant(p.Editor(), ids::kLabel1);
    EXPECT_TRUE(WaitUntil([&] { return LookOf(add).background == RGB(146, 201, 228); }));
}

} // namespace hkv::test
