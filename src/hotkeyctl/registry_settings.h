#pragma once
// The per-user registry store of the hotkey controls: string values addressed by application,
// section and value name, kept under HKEY_CURRENT_USER\Software\<application>\<section>.
#include <string>

namespace hkv {

// The stored string, or defaultValue when the value (or its key) is absent or not a string.
std::wstring ReadRegistrySetting(const std::wstring& application, const std::wstring& section,
                                 const std::wstring& valueName, const std::wstring& defaultValue);

// Creates the keys as needed. False when the value was not stored; GetLastError then gives the
// system's reason.
bool WriteRegistrySetting(const std::wstring& application, const std::wstring& section,
                          const std::wstring& valueName, const std::wstring& value);

// The key that holds a section's values, relative to HKEY_CURRENT_USER.
std::wstring RegistrySettingsKey(const std::wstring& application, const std::wstring& section);

} // namespace hkv
