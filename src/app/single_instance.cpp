#include "app/single_instance.h"

#include <cstdint>
#include <vector>

#include "common/path.h"

namespace hkv {
namespace {

// FNV-1a, 64 bits: names are limited in length and may not hold backslashes, so the path goes
// into the name as a digest. Collisions between the few settings files of one machine are not a
// practical concern; one would only keep a second copy from starting.
constexpr std::uint64_t kDigestOffsetBasis = 14695981039346656037ull;
constexpr std::uint64_t kDigestPrime = 1099511628211ull;
constexpr int kDigestHexDigits = 16;

// Whether another copy holds the name; keeps the name for this copy when none does.
bool HeldByAnother(const wchar_t* name, UniqueKernelHandle& mine) {
    SetLastError(ERROR_SUCCESS);
    mine.reset(CreateMutexW(nullptr, FALSE, name));
    const DWORD error = GetLastError();
    // Another kind of object under the name (an event, a section) fails the call with an invalid
    // handle: someone holds the name all the same, and without it no copy would keep out another.
    // Any other failure (no resources for the name) must not keep the one copy from running.
    return error == ERROR_ALREADY_EXISTS ||
           (!mine && (error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_HANDLE));
}

// The folder's path as the system resolves it (short names expanded, links followed), or the
// full path as given when it cannot tell (the folder is missing or may not be opened).
std::wstring FinalFolderPath(const std::wstring& folder) {
    HANDLE h =
        CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const UniqueKernelHandle opened(h == INVALID_HANDLE_VALUE ? nullptr : h);
    if (opened) {
        const DWORD needed = GetFinalPathNameByHandleW(opened.get(), nullptr, 0, 0);
        std::vector<wchar_t> buffer(needed + 1);
        const DWORD n = GetFinalPathNameByHandleW(opened.get(), buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), 0);
        if (n > 0 && n < buffer.size()) {
            return std::wstring(buffer.data(), n);
        }
    }
    const DWORD needed = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD n =
        GetFullPathNameW(folder.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    return n > 0 && n < buffer.size() ? std::wstring(buffer.data(), n) : folder;
}

// File names differ only in letter case on the file systems Windows runs from.
std::wstring CaseFolded(std::wstring text) {
    if (!text.empty()) {
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(),
                      static_cast<int>(text.size()), text.data(), static_cast<int>(text.size()),
                      nullptr, nullptr, 0);
    }
    return text;
}

// Whether another copy holds the settings file; holds it for this copy when none does, by the
// machine-wide name first and then by the lock file where this copy can make or open it. The
// name decides: a copy that meets it held leaves the file alone, so that two copies starting at
// once in two sessions cannot each take one of the two and both end.
bool SettingsFileHeldByAnother(const std::wstring& settingsFilePath, UniqueKernelHandle& lockFile,
                               UniqueKernelHandle& name) {
    // Every copy holds the name, also one that could not make the file and would otherwise not
    // keep out one that can.
    if (HeldByAnother(SettingsFileMutexName(settingsFilePath).c_str(), name)) {
        name.reset();
        return true;
    }
    const std::wstring lock = settingsFilePath + kSettingsLockSuffix;
    HANDLE h = CreateFileW(lock.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    // A lock file this copy may not open (access denied: another user's, left by a crash or put
    // there on purpose) proves nothing by itself; one in use does.
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
        name.reset();
        return true;
    }
    lockFile.reset(h == INVALID_HANDLE_VALUE ? nullptr : h);
    return false;
}

} // namespace

std::wstring SettingsFileMutexName(const std::wstring& settingsFilePath) {
    const std::wstring fileName =
        settingsFilePath.substr(settingsFilePath.find_last_of(L"\\/") + 1);
    const std::wstring canonical =
        CaseFolded(JoinFolderAndFile(FinalFolderPath(FolderOfPath(settingsFilePath)), fileName));
    std::uint64_t digest = kDigestOffsetBasis;
    for (wchar_t c : canonical) {
        digest = (digest ^ static_cast<std::uint16_t>(c)) * kDigestPrime;
    }
    std::wstring name = kSettingsFileMutexPrefix;
    for (int d = kDigestHexDigits - 1; d >= 0; --d) {
        name += L"0123456789ABCDEF"[(digest >> (4 * d)) & 0xF];
    }
    return name;
}

SingleInstance::SingleInstance(const wchar_t* sessionName, const std::wstring& settingsFilePath)
    : inSession_(HeldByAnother(sessionName, sessionMutex_)) {
    // A copy of this session decides alone: one that is still starting may be about to take the
    // settings file, and must not find it taken by a copy that is going to end.
    if (!inSession_) {
        onSettingsFile_ =
            SettingsFileHeldByAnother(settingsFilePath, settingsFileLock_, settingsFileName_);
    }
}

} // namespace hkv
