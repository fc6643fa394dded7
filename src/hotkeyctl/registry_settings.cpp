#include "hotkeyctl/registry_settings.h"

#include <windows.h>

#include <vector>

#include "common/win_handles.h"

namespace hkv {

std::wstring RegistrySettingsKey(const std::wstring& application, const std::wstring& section) {
    return L"Software\\" + application + L"\\" + section;
}

std::wstring ReadRegistrySetting(const std::wstring& application, const std::wstring& section,
                                 const std::wstring& valueName, const std::wstring& defaultValue) {
    const std::wstring key = RegistrySettingsKey(application, section);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS) {
        return defaultValue;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                     buffer.data(), &bytes) != ERROR_SUCCESS) {
        return defaultValue;
    }
    return std::wstring(buffer.data());
}

bool WriteRegistrySetting(const std::wstring& application, const std::wstring& section,
                          const std::wstring& valueName, const std::wstring& value) {
    HKEY raw = nullptr;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CURRENT_USER, RegistrySettingsKey(application, section).c_str(), 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status == ERROR_SUCCESS) {
        UniqueRegKey key(raw);
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        status = RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    }
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

} // namespace hkv
