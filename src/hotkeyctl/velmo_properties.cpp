#include "hotkeyctl/velmo_properties.h"

#include <type_traits>
#include <variant>

namespace hkv {

namespace {

namespace name = velmo_property;

// Integers arrive as int64 whatever their width; a value of another type reads as the default,
// except a boolean where a number belongs.
template <typename T> T ReadAs(const PropertyBag& bag, std::wstring_view name, T defaultValue) {
    const std::wstring key(name);
    if (!bag.Has(key)) {
        return defaultValue;
    }
    const PropertyBag::Value value = bag.Read(key, PropertyBag::Value{});
    if constexpr (std::is_integral_v<T>) {
        if (const auto* number = std::get_if<std::int64_t>(&value)) {
            return static_cast<T>(*number);
        }
        if (const auto* flag = std::get_if<bool>(&value)) {
            return static_cast<T>(*flag);
        }
    } else if (const auto* stored = std::get_if<T>(&value)) {
        return *stored;
    }
    return defaultValue;
}

} // namespace

VelmoProperties ReadVelmoProperties(const PropertyBag& bag, const FontSpec& ambientFont) {
    VelmoProperties p;
    p.backColor = ReadAs(bag, name::kBackColor, p.backColor);
    p.foreColor = ReadAs(bag, name::kForeColor, p.foreColor);
    p.enabled = ReadAs(bag, name::kEnabled, p.enabled);
    p.font = ReadAs(bag, name::kFont, ambientFont);
    p.borderStyle = ReadAs(bag, name::kBorderStyle, p.borderStyle);
    p.appearance = ReadAs(bag, name::kAppearance, p.appearance);
    p.toolTipText = ReadAs(bag, name::kToolTipText, p.toolTipText);
    p.iniFileName = ReadAs(bag, name::kINIFileName, p.iniFileName);
    p.settingLocation = ReadAs(bag, name::kSettingLocation, p.settingLocation);
    p.regKeyName = ReadAs(bag, name::kRegKeyName, p.regKeyName);
    return p;
}

void WriteVelmoProperties(PropertyBag& bag, const VelmoProperties& p, const FontSpec& ambientFont) {
    const VelmoProperties defaults;
    auto write = [&](std::wstring_view key, PropertyBag::Value value,
                     PropertyBag::Value defaultValue) {
        bag.Write(std::wstring(key), value, defaultValue);
    };
    auto number = [](auto value) { return PropertyBag::Value{static_cast<std::int64_t>(value)}; };
    write(name::kBackColor, number(p.backColor), number(defaults.backColor));
    write(name::kForeColor, number(p.foreColor), number(defaults.foreColor));
    write(name::kEnabled, p.enabled, defaults.enabled);
    write(name::kFont, p.font, ambientFont);
    write(name::kBorderStyle, number(p.borderStyle), number(defaults.borderStyle));
    write(name::kAppearance, number(p.appearance), number(defaults.appearance));
    write(name::kToolTipText, p.toolTipText, defaults.toolTipText);
    write(name::kINIFileName, p.iniFileName, defaults.iniFileName);
    write(name::kSettingLocation, number(p.settingLocation), number(defaults.settingLocation));
    write(name::kRegKeyName, p.regKeyName, defaults.regKeyName);
}

std::wstring ReadDesignText(const PropertyBag& bag) {
    return ReadAs(bag, name::kText, std::wstring(kHotKeyPlaceholder));
}

} // namespace hkv
