#include "settings/modini.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "common/win_handles.h"
#include "common/executable.h"
#include "common/path.h"

namespace hkv::modINI {
namespace {

// Values come back cut to one less than this, as they always have.
constexpr DWORD kValueBufferChars = 255;
// A settings file is a few kilobytes; anything far larger is not converted.
constexpr LONGLONG kLargestConvertedFile = 16 * 1024 * 1024;

std::wstring& PathStorage() {
    static std::wstring path;
    return path;
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

bool FitsAnsiCodePage(const std::wstring& text) {
    if (text.empty()) {
        return true;
    }
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                        nullptr, 0, nullptr, &lossy);
    return !lossy;
}

bool StartsWithUnicodeMark(const std::vector<char>& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// An ANSI file from an earlier version stays ANSI while everything written to it fits the code
// page. A text that does not fit (Chinese on a Western system) would be stored as question
// marks, so the file is first turned into UTF-16 with all it holds.
void MakeUnicodeIfNeeded(const std::wstring& path, const std::wstring& section,
                         const std::wstring& key, const std::wstring& value) {
    if (FitsAnsiCodePage(section) && FitsAnsiCodePage(key) && FitsAnsiCodePage(value)) {
        return;
    }
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestConvertedFile) {
        return;
    }
    std::vector<char> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return;
    }
    if (StartsWithUnicodeMark(bytes)) {
        return;
    }
    std::wstring text(bytes.size(), L'\0');
    const int n = bytes.empty()
                      ? 0
                      : MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                            text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(n));
    text.insert(text.begin(), L'\xFEFF');
    SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (WriteFile(file.get(), text.data(), length, &written, nullptr) && written == length) {
        SetEndOfFile(file.get());
    }
}

} // namespace

void IniSetFile(const std::wstring& fileName) {
    PathStorage() = JoinFolderAndFile(FolderOfPath(ExecutablePath()), fileName);
}

const std::wstring& IniFilePath() {
    return PathStorage();
}

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
    MakeUnicodeIfNeeded(path, section, key, value);
    WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

} // namespace hkv::modINI
