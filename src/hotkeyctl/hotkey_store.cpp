#include "hotkeyctl/hotkey_store.h"

#include "common/decimal.h"
#include "hotkeyctl/registry_settings.h"
#include "hotkeyctl/system_key_name.h"
#include "settings/modini.h"

namespace hkv {
namespace {

// The section in both stores; the value names are the control's name and a suffix.
constexpr wchar_t kSettingsSection[] = L"Velmo";
constexpr wchar_t kTextSuffix[] = L"Text";
constexpr wchar_t kKeyCodeSuffix[] = L"KeyCode";
constexpr wchar_t kModKeyCodeSuffix[] = L"ModKeyCode";

bool InSettingsFile(const VelmoProperties& where) {
    return where.settingLocation == 0;
}

std::wstring ReadSetting(const std::wstring& name, const VelmoProperties& where,
                         const wchar_t* suffix, const std::wstring& defaultValue) {
    const std::wstring key = name + suffix;
    if (InSettingsFile(where)) {
        return modINI::IniRead(kSettingsSection, key, defaultValue);
    }
    return ReadRegistrySetting(where.regKeyName, kSettingsSection, key, defaultValue);
}

} // namespace

CapturedHotKey RestoreHotKey(const std::wstring& name, const VelmoProperties& where) {
    if (InSettingsFile(where)) {
        // Fixes the settings file for the whole program, not only for this control.
        UseSettingsFile(where.iniFileName);
    }
    CapturedHotKey saved;
    saved.text = ReadSetting(name, where, kTextSuffix, std::wstring(kHotKeyPlaceholder));
    saved.keyCode = StoredKeyCode(ReadSetting(name, where, kKeyCodeSuffix, L"0"));
    saved.modKeyCode = StoredModKeyCode(ReadSetting(name, where, kModKeyCodeSuffix, L"0"));
    // The hotkey a row shows is the one it registers, whatever a crash between the writes left.
    return RestoredHotKey(saved, &SystemKeyName);
}

void SaveHotKey(const std::wstring& name, const VelmoProperties& where,
                const CapturedHotKey& hotKey) {
    const modINI::IniEntry values[] = {{name + kTextSuffix, hotKey.text},
                                       {name + kKeyCodeSuffix, DecimalText(hotKey.keyCode)},
                                       {name + kModKeyCodeSuffix, DecimalText(hotKey.modKeyCode)}};
    if (InSettingsFile(where)) {
        // All three or none where the file can tell beforehand; a crash between the writes is
        // mended on the way back in (RestoredHotKey).
        modINI::IniWriteKeys(kSettingsSection, values);
        return;
    }
    for (const modINI::IniEntry& v : values) {
        WriteRegistrySetting(where.regKeyName, kSettingsSection, v.key, v.value);
    }
}

void UseSettingsFile(const std::wstring& iniFileName) {
    modINI::IniSetFile(iniFileName);
}

} // namespace hkv
