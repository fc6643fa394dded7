#pragma once
// The stored properties of a Velmo instance: the values a host window keeps with its layout, their
// names, defaults and order.
#include <cstdint>
#include <string>
#include <string_view>

#include "hotkeyctl/hotkey_capture.h"
#include "hotkeyctl/property_bag.h"
#include "ui/font_spec.h"

namespace hkv {

// Stored names, also the names PropertyChanged reports.
namespace velmo_property {
inline constexpr std::wstring_view kBackColor = L"BackColor";
inline constexpr std::wstring_view kForeColor = L"ForeColor";
inline constexpr std::wstring_view kEnabled = L"Enabled";
inline constexpr std::wstring_view kFont = L"Font";
inline constexpr std::wstring_view kBorderStyle = L"BorderStyle";
inline constexpr std::wstring_view kAppearance = L"Appearance";
inline constexpr std::wstring_view kToolTipText = L"ToolTipText";
inline constexpr std::wstring_view kINIFileName = L"INIFileName";
inline constexpr std::wstring_view kSettingLocation = L"SettingLocation";
inline constexpr std::wstring_view kRegKeyName = L"RegKeyName";
// Read in design mode only, never written.
inline constexpr std::wstring_view kText = L"Text";
} // namespace velmo_property

// OLE colours: the top bit marks a system colour index in the low bits, anything else is
// 0x00BBGGRR.
inline constexpr std::uint32_t kSystemColorFlag = 0x80000000u;
inline constexpr std::uint32_t kColorWindowBackground = kSystemColorFlag | 5u; // COLOR_WINDOW
inline constexpr std::uint32_t kColorWindowText = kSystemColorFlag | 8u;       // COLOR_WINDOWTEXT

struct VelmoProperties {
    std::uint32_t backColor = kColorWindowBackground;
    std::uint32_t foreColor = kColorWindowText;
    bool enabled = true;
    FontSpec font;                // the host's ambient font unless stored
    std::int16_t borderStyle = 1; // 0 none, 1 single
    std::int16_t appearance = 1;  // 0 flat, 1 three-dimensional
    std::wstring toolTipText;
    std::wstring iniFileName = L"set.ini";
    std::int32_t settingLocation = 0; // 0 settings file, anything else the registry
    std::wstring regKeyName = L"Velmo";

    friend bool operator==(const VelmoProperties&, const VelmoProperties&) = default;
};

// Each stored value, or its default when absent or of another type.
VelmoProperties ReadVelmoProperties(const PropertyBag& bag, const FontSpec& ambientFont);

// Writes the ten stored values in their order; a value equal to its default is left out.
void WriteVelmoProperties(PropertyBag& bag, const VelmoProperties& properties,
                          const FontSpec& ambientFont);

// The edit box text a layout editor shows: the stored "Text", or the placeholder.
std::wstring ReadDesignText(const PropertyBag& bag);

} // namespace hkv
