// The property system and the members of Velmo that forward to it.
#include "hotkeyctl/velmo_property_system.h"

#include <cmath>
#include <utility>

#include "common/app_error.h"
#include "hotkeyctl/hotkey_store.h"
#include "hotkeyctl/raise_event.h"
#include "hotkeyctl/velmo_impl.h"
#include "ui/contrast.h"
#include "ui/font.h"
#include "ui/theme.h"

namespace hkv {
namespace {

namespace property = velmo_property;

constexpr wchar_t kErrorSource[] = L"Velmo";
constexpr double kPointsPerInch = 72.0;

COLORREF ResolveOleColor(std::uint32_t oleColor) {
    if ((oleColor & kSystemColorFlag) != 0) {
        return GetSysColor(static_cast<int>(oleColor & ~kSystemColorFlag));
    }
    return static_cast<COLORREF>(oleColor);
}

} // namespace

VelmoPropertySystem::VelmoPropertySystem(HostMode mode, int dpi, FontSpec ambientFont,
                                         const VelmoEvents& events, const HotKeyBox& box)
    : mode_(mode), dpi_(dpi), ambientFont_(std::move(ambientFont)), events_(events), box_(box) {}

FontSpec VelmoPropertySystem::AmbientFontOf(HWND parent, int dpiY) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
    if (font == nullptr) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    FontSpec ambient;
    ambient.face = logFont.lfFaceName;
    ambient.points = std::abs(logFont.lfHeight) * kPointsPerInch / dpiY;
    ambient.weight = logFont.lfWeight;
    ambient.charset = logFont.lfCharSet;
    ambient.italic = logFont.lfItalic != 0;
    ambient.underline = logFont.lfUnderline != 0;
    ambient.strikethrough = logFont.lfStrikeOut != 0;
    return ambient;
}

void VelmoPropertySystem::ApplyDefaults() {
    values_ = VelmoProperties{};
    values_.font = ambientFont_;
    ShowAll();
}

void VelmoPropertySystem::Load(const PropertyBag& stored) {
    values_ = ReadVelmoProperties(stored, ambientFont_);
    ShowAll();
}

void VelmoPropertySystem::Save(PropertyBag& stored) const {
    VelmoProperties current = values_;
    current.enabled = BoxEnabled();
    WriteVelmoProperties(stored, current, ambientFont_);
}

bool VelmoPropertySystem::BoxEnabled() const {
    return IsWindowEnabled(box_.Window()) != FALSE;
}

template <typename T>
void VelmoPropertySystem::Change(T VelmoProperties::*field, const T& value, Show show,
                                 std::wstring_view propertyName) {
    values_.*field = value;
    if (show) {
        (this->*show)();
    }
    Raise(events_.PropertyChanged, propertyName);
}

template <typename T>
void VelmoPropertySystem::ChangeDesignOnly(T VelmoProperties::*field, const T& value,
                                           std::wstring_view propertyName) {
    if (mode_ == HostMode::User) {
        throw AppError(kErrSetNotPermitted, kErrorSource,
                       L"'" + std::wstring(propertyName) + L"' cannot be set at run time");
    }
    Change(field, value, Show{}, propertyName);
}

HBRUSH VelmoPropertySystem::PaintBox(HDC dc) const {
    if (!backBrush_) {
        return nullptr;
    }
    // A user who chose high contrast reads the box in the scheme's own colours, whatever the
    // control's properties say.
    if (ui::HighContrastOn()) {
        SetTextColor(dc, GetSysColor(BoxEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    const COLORREF back = ResolveOleColor(values_.backColor);
    COLORREF text = ResolveOleColor(values_.foreColor);
    // The system's text colour may be anything, white included: on a fixed background the text
    // is black or white, whichever stands out.
    if ((values_.foreColor & kSystemColorFlag) != 0 &&
        (values_.backColor & kSystemColorFlag) == 0) {
        text = contrast::ReadableTextOn(back);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    return backBrush_.get();
}

void VelmoPropertySystem::ShowAll() {
    ShowColors();
    ShowEnabled();
    ShowFont();
    ShowBorder();
    ShowToolTip();
}

void VelmoPropertySystem::ShowColors() {
    backBrush_ = UniqueBrush(CreateSolidBrush(ResolveOleColor(values_.backColor)));
    InvalidateRect(box_.Window(), nullptr, TRUE);
}

void VelmoPropertySystem::ShowEnabled() {
    EnableWindow(box_.Window(), values_.enabled);
}

void VelmoPropertySystem::ShowFont() {
    // The box takes the new font before the old one is deleted.
    UniqueFont next = CreateFontFromSpec(values_.font, dpi_);
    SendMessageW(box_.Window(), WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
    font_ = std::move(next);
}

void VelmoPropertySystem::ShowBorder() {
    HWND edit = box_.Window();
    if (!edit) {
        return;
    }
    LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
    LONG_PTR exStyle =
        GetWindowLongPtrW(edit, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE);
    if (values_.borderStyle != 0) {
        if (values_.appearance != 0) {
            exStyle |= WS_EX_CLIENTEDGE; // sunken, three-dimensional
        } else {
            style |= WS_BORDER; // a flat line
        }
    }
    SetWindowLongPtrW(edit, GWL_STYLE, style);
    SetWindowLongPtrW(edit, GWL_EXSTYLE, exStyle);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void VelmoPropertySystem::ShowToolTip() {
    HWND edit = box_.Window();
    if (edit && (toolTip_.hwnd() || !values_.toolTipText.empty())) {
        toolTip_.SetText(edit, values_.toolTipText);
    }
}

// --- Velmo's properties --------------------------------------------------------------------------

using System = VelmoPropertySystem;

void Velmo::SaveProperties(PropertyBag& stored) const {
    impl_->Properties().Save(stored);
}

std::uint32_t Velmo::BackColor() const {
    return impl_->Properties().Values().backColor;
}

void Velmo::SetBackColor(std::uint32_t oleColor) {
    impl_->Properties().Change(&VelmoProperties::backColor, oleColor, &System::ShowColors,
                               property::kBackColor);
}

std::uint32_t Velmo::ForeColor() const {
    return impl_->Properties().Values().foreColor;
}

void Velmo::SetForeColor(std::uint32_t oleColor) {
    impl_->Properties().Change(&VelmoProperties::foreColor, oleColor, &System::ShowColors,
                               property::kForeColor);
}

bool Velmo::Enabled() const {
    return impl_->Properties().BoxEnabled();
}

void Velmo::SetEnabled(bool enabled) {
    impl_->Properties().Change(&VelmoProperties::enabled, enabled, &System::ShowEnabled,
                               property::kEnabled);
}

FontSpec Velmo::Font() const {
    return impl_->Properties().Values().font;
}

void Velmo::SetFont(const FontSpec& font) {
    impl_->Properties().Change(&VelmoProperties::font, font, &System::ShowFont, property::kFont);
}

std::int16_t Velmo::BorderStyle() const {
    return impl_->Properties().Values().borderStyle;
}

void Velmo::SetBorderStyle(std::int16_t style) {
    impl_->Properties().Change(&VelmoProperties::borderStyle, style, &System::ShowBorder,
                               property::kBorderStyle);
}

std::int16_t Velmo::Appearance() const {
    return impl_->Properties().Values().appearance;
}

void Velmo::SetAppearance(std::int16_t appearance) {
    impl_->Properties().Change(&VelmoProperties::appearance, appearance, &System::ShowBorder,
                               property::kAppearance);
}

std::wstring Velmo::ToolTipText() const {
    return impl_->Properties().Values().toolTipText;
}

void Velmo::SetToolTipText(const std::wstring& text) {
    impl_->Properties().Change(&VelmoProperties::toolTipText, text, &System::ShowToolTip,
                               property::kToolTipText);
}

const std::wstring& Velmo::INIFileName() const {
    return impl_->Properties().Values().iniFileName;
}

void Velmo::SetINIFileName(const std::wstring& value) {
    impl_->Properties().ChangeDesignOnly(&VelmoProperties::iniFileName, value,
                                         property::kINIFileName);
    UseSettingsFile(value);
}

std::int32_t Velmo::SettingLocation() const {
    return impl_->Properties().Values().settingLocation;
}

void Velmo::SetSettingLocation(std::int32_t value) {
    impl_->Properties().ChangeDesignOnly(&VelmoProperties::settingLocation, value,
                                         property::kSettingLocation);
}

const std::wstring& Velmo::RegKeyName() const {
    return impl_->Properties().Values().regKeyName;
}

void Velmo::SetRegKeyName(const std::wstring& value) {
    impl_->Properties().ChangeDesignOnly(&VelmoProperties::regKeyName, value,
                                         property::kRegKeyName);
}

HWND Velmo::ToolTipWindow() const {
    return impl_->Properties().ToolTipWindow();
}

} // namespace hkv
