#include "ui/theme.h"

#include "ui/colors.h"

namespace hkv::ui {
namespace {

struct RoleColors {
    COLORREF fixed;
    int system; // a COLOR_ index
};

RoleColors ColorsOf(ColorRole role) {
    switch (role) {
    case ColorRole::Window:
        return {colors::kBackground, COLOR_WINDOW};
    case ColorRole::WindowText:
        return {colors::kText, COLOR_WINDOWTEXT};
    case ColorRole::Accent:
        return {colors::kAccent, COLOR_HIGHLIGHT};
    case ColorRole::AccentText:
        return {colors::kTitleText, COLOR_HIGHLIGHTTEXT};
    case ColorRole::BoxText:
    case ColorRole::Count:
        break;
    }
    return {colors::kText, COLOR_HIGHLIGHTTEXT};
}

} // namespace

bool SystemHighContrastOn() {
    HIGHCONTRASTW mode{};
    mode.cbSize = sizeof mode;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof mode, &mode, 0) &&
           (mode.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF ColorOf(ColorRole role) {
    const RoleColors colors = ColorsOf(role);
    return HighContrastOn() ? GetSysColor(colors.system) : colors.fixed;
}

HBRUSH RoleBrushes::Brush(ColorRole role) {
    const RoleColors colors = ColorsOf(role);
    if (HighContrastOn()) {
        return GetSysColorBrush(colors.system);
    }
    UniqueBrush& brush = fixed_[static_cast<std::size_t>(role)];
    if (!brush) {
        brush.reset(CreateSolidBrush(colors.fixed));
    }
    return brush.get();
}

bool IsColorChange(UINT msg, WPARAM wParam) {
    return msg == WM_SYSCOLORCHANGE || msg == WM_THEMECHANGED ||
           (msg == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST);
}

void RepaintForNewColors(HWND window) {
    // Top-level windows alone are told; common controls learn it from their parent.
    EnumChildWindows(
        window,
        [](HWND child, LPARAM) -> BOOL {
            SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
            return TRUE;
        },
        0);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

} // namespace hkv::ui
