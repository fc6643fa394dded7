#include "hotkeyctl/hotkey_store.h"

#include <windows.h>

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

// What a start restores from the store.
CapturedHotKey ReadHotKey(const std::wstring& name, const VelmoProperties& where) {
    CapturedHotKey saved;
    saved.text = ReadSetting(name, where, kTextSuffix, std::wstring(kHotKeyPlaceholder));
    saved.keyCode = StoredKeyCode(ReadSetting(name, where, kKeyCodeSuffix, L"0"));
    saved.modKeyCode = StoredModKeyCode(ReadSetting(name, where, kModKeyCodeSuffix, L"0"));
    // The hotkey a row shows is the one it registers, whatever a crash between the writes left.
    return RestoredHotKey(saved, &SystemKeyName);
}

} // namespace

CapturedHotKey RestoreHotKey(const std::wstring& name, const VelmoProperties& where) {
    if (InSettingsFile(where)) {
        // Fixes the settings file for the whole program, not only for this control.
        UseSettingsFile(where.iniFileName);
    }
    return ReadHotKey(name, where);
}

WriteOutcome SaveHotKey(const std::wstring& name, const VelmoProperties& where,
                        const CapturedHotKey& hotKey) {
    const modINI::IniEntry values[] = {{name + kTextSuffix, hotKey.text},
                                       {name + kKeyCodeSuffix, DecimalText(hotKey.keyCode)},
                                       {name + kModKeyCodeSuffix, DecimalText(hotKey.modKeyCode)}};
    SystemError error = 0;
    if (InSettingsFile(where)) {
        // All three or none where the file can tell beforehand; a crash between the writes is
        // mended on the way back in (RestoredHotKey).
        if (!modINI::IniWriteKeys(kSettingsSection, values)) {
            error = GetLastError();
        }
    } else {
        for (const modINI::IniEntry& v : values) {
            if (!WriteRegistrySetting(where.regKeyName, kSettingsSection, v.key, v.value)) {
                error = GetLastError();
            }
        }
    }
    // A store that takes no writes but gives this hotkey back already (a settings file the user
    // keeps read-only) loses nothing.
    if (error != 0) {
        if (ReadHotKey(name, where) != hotKey) {
            return WriteOutcome::Failed(error);
        }
    }
    return WriteOutcome::Done();
}

void UseSettingsFile(const std::wstring& iniFileName) {
    modINI::IniSetFile(iniFileName);
}

} // namespace hkv
