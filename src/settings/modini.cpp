#include "settings/modini.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "common/win_handles.h"
#include "settings/ini_path.h"

namespace hkv::modINI {
namespace {

// Values come back cut to one less than this, as they always have.
constexpr DWORD kValueBufferChars = 255;

std::wstring& PathStorage() {
    static std::wstring path;
    return path;
}

std::wstring ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            return std::wstring(buffer.data(), n);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The profile routines keep a file Unicode once it starts with a UTF-16 byte-order mark; an
// existing file, ANSI or not, is left as it is.
void CreateUnicodeFileIfMissing(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return;
    }
    const unsigned char bom[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file.get(), bom, sizeof bom, &written, nullptr);
}

} // namespace

void IniSetFile(const std::wstring& fileName) {
    PathStorage() = JoinFolderAndFile(FolderOfPath(ExecutablePath()), fileName);
}

const std::wstring& IniFilePath() { return PathStorage(); }

std::wstring IniRead(const std::wstring& section, const std::wstring& key,
                     const std::wstring& defaultValue) {
    const std::wstring& path = PathStorage();
    if (path.empty()) {
        return defaultValue; // an empty path would read win.ini
    }
    wchar_t buffer[kValueBufferChars] = {};
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                       kValueBufferChars, path.c_str());
    if (n == 0) {
        return {};
    }
    return std::wstring(buffer, wcsnlen(buffer, n));
}

void IniWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    const std::wstring& path = PathStorage();
    if (path.empty()) {
        return; // an empty path would write win.ini
    }
    CreateUnicodeFileIfMissing(path);
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

} // namespace hkv::modINI
