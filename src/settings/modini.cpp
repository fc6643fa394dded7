#include "settings/modini.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <optional>
#include <string_view>
#include <vector>

#include "common/scope_guard.h"
#include "common/win_handles.h"
#include "common/executable.h"
#include "common/path.h"
#include "settings/ini_encoding.h"

namespace hkv::modINI {
namespace {

// Values come back cut to one less than this, as they always have.
constexpr DWORD kValueBufferChars = 255;
// Room for the section names at first, made larger until they all fit: a settings file has a few.
constexpr std::size_t kSectionNamesFirstChars = 512;
// Beyond this an older file is not converted (it would take more memory than a settings tool
// should); a value that needs the conversion is then not written at all rather than written lossy.
constexpr ULONGLONG kLargestConvertedFile = 512ull * 1024 * 1024;
// Files are read and written in pieces a single ReadFile or WriteFile call can take.
constexpr DWORD kIoChunkBytes = 16 * 1024 * 1024;
// The converted copy is written next to the file, so that the swap is a rename on one volume.
constexpr std::wstring_view kConvertedCopySuffix = L".new";

std::wstring& PathStorage() {
    static std::wstring path;
    return path;
}

UniqueKernelHandle OpenFileHandle(const std::wstring& path, DWORD access, DWORD share,
                                  DWORD disposition) {
    HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    return UniqueKernelHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// The profile routines keep a file Unicode once it starts with a UTF-16 byte-order mark; an
// existing file, ANSI or not, is left as it is. The system's reason when there is no file and
// none could be made (a protected folder), else 0.
DWORD CreateUnicodeFileIfMissing(const std::wstring& path) {
    UniqueKernelHandle file = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_NEW);
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? 0 : error;
    }
    const unsigned char bom[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file.get(), bom, sizeof bom, &written, nullptr);
    return 0;
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

std::optional<std::u16string> DecodeAnsiCodePage(std::string_view bytes) {
    if (bytes.empty()) {
        return std::u16string();
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::u16string text(static_cast<std::size_t>(needed), u'\0');
    static_assert(sizeof(char16_t) == sizeof(wchar_t));
    if (MultiByteToWideChar(CP_ACP, 0, bytes.data(), length,
                            reinterpret_cast<wchar_t*>(text.data()), needed) != needed) {
        return std::nullopt;
    }
    return text;
}

// What identifies the version of a file that was read: a change in between means someone else
// wrote it, and the converted copy would undo their write.
struct FileStamp {
    ULONGLONG size = 0;
    FILETIME lastWrite{};
    bool operator==(const FileStamp& o) const {
        return size == o.size && CompareFileTime(&lastWrite, &o.lastWrite) == 0;
    }
};

FileStamp MakeStamp(DWORD sizeHigh, DWORD sizeLow, const FILETIME& lastWrite) {
    return {(ULONGLONG{sizeHigh} << 32) | sizeLow, lastWrite};
}

std::optional<FileStamp> StampOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return MakeStamp(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

// Runs step(offset, bytes, moved) over [0, total) in pieces a single ReadFile or WriteFile call
// can take; false at the first piece that fails or moves nothing.
template <typename Step> bool InPieces(std::size_t total, Step step) {
    for (std::size_t done = 0; done < total;) {
        const auto want = static_cast<DWORD>(std::min<std::size_t>(total - done, kIoChunkBytes));
        DWORD moved = 0;
        if (!step(done, want, moved) || moved == 0) {
            return false;
        }
        done += moved;
    }
    return true;
}

// Reads the whole file, leaving other programs free to read and write it meanwhile.
std::optional<std::string> ReadWholeFile(const std::wstring& path, FileStamp& stamp) {
    UniqueKernelHandle file = OpenFileHandle(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    stamp = MakeStamp(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
    if (stamp.size > kLargestConvertedFile) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(stamp.size), '\0');
    const bool read = InPieces(bytes.size(), [&](std::size_t at, DWORD want, DWORD& moved) {
        return ReadFile(file.get(), bytes.data() + at, want, &moved, nullptr) != FALSE;
    });
    return read ? std::optional<std::string>(std::move(bytes)) : std::nullopt;
}

// Writes the bytes to a new file and makes them durable before anything points at them.
bool WriteDurableFile(const std::wstring& path, std::string_view bytes) {
    UniqueKernelHandle file = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) {
        return false;
    }
    const bool written = InPieces(bytes.size(), [&](std::size_t at, DWORD want, DWORD& moved) {
        return WriteFile(file.get(), bytes.data() + at, want, &moved, nullptr) != FALSE;
    });
    return written && FlushFileBuffers(file.get()) != FALSE;
}

// Windows opens no read-only file for writing. Asked beforehand, so that a system that would
// (Wine run as the administrator, root) leaves the file as Windows does.
bool MarkedReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Makes sure the file is UTF-16LE before a text that does not fit the ANSI code page is written:
// the profile routines would store it as question marks in any other encoding they write. An older
// file is converted into a complete copy beside it, which then replaces it in one rename, so the
// file on disk is at every moment either the old one or the whole new one. False when the file
// could not be made Unicode now; the caller then writes nothing and the next write tries again.
// The system's reason is the thread's last error then.
bool MakeUnicode(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if (MarkedReadOnly(path)) {
        SetLastError(ERROR_FILE_READ_ONLY);
        return false;
    }
    FileStamp stamp;
    const std::optional<std::string> bytes = ReadWholeFile(path, stamp);
    if (!bytes) {
        return false;
    }
    if (DetectIniEncoding(*bytes) == IniEncoding::Utf16LittleEndian) {
        return true;
    }
    const std::optional<std::string> converted =
        ToUtf16LittleEndianFile(*bytes, DecodeAnsiCodePage);
    if (!converted) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    const std::wstring copy = path + std::wstring(kConvertedCopySuffix);
    // Leaves the reason the conversion stopped as the last error.
    ScopeGuard removeCopy([&copy] {
        const DWORD error = GetLastError();
        DeleteFileW(copy.c_str());
        SetLastError(error);
    });
    if (!WriteDurableFile(copy, *converted)) {
        return false;
    }
    if (StampOf(path) != stamp) {
        SetLastError(ERROR_SHARING_VIOLATION); // another program wrote the file meanwhile
        return false;
    }
    if (!MoveFileExW(copy.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    removeCopy.dismiss();
    return true;
}

bool FitsAnsiCodePage(const std::wstring& section, std::span<const IniEntry> entries) {
    return FitsAnsiCodePage(section) &&
           std::all_of(entries.begin(), entries.end(), [](const IniEntry& e) {
               return FitsAnsiCodePage(e.key) && FitsAnsiCodePage(e.value);
           });
}

// The encoding the file's first bytes announce; nothing when it cannot be read (missing, or held
// by another program without sharing).
std::optional<IniEncoding> EncodingOfFile(const std::wstring& path) {
    UniqueKernelHandle file = OpenFileHandle(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    char head[3] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), head, sizeof head, &read, nullptr)) {
        return std::nullopt;
    }
    return DetectIniEncoding(std::string_view(head, read));
}

// A file that starts with a mark other than FF FE is one the profile routines of Windows read
// and write as ANSI bytes.
bool IsMarkedOtherThanUtf16Le(IniEncoding encoding) {
    return encoding == IniEncoding::Utf8WithMark || encoding == IniEncoding::Utf16BigEndian;
}

// Why the file would not take the entries now, each in its encoding, making it Unicode first
// where that is needed: the system's reason, or 0 when it would.
DWORD WhyNotReadyToTake(const std::wstring& path, const std::wstring& section,
                        std::span<const IniEntry> entries) {
    const std::optional<IniEncoding> encoding = EncodingOfFile(path);
    if (!encoding) {
        return GetLastError();
    }
    const bool unicodeNeeded =
        IsMarkedOtherThanUtf16Le(*encoding) ||
        (*encoding == IniEncoding::Ansi && !FitsAnsiCodePage(section, entries));
    if (unicodeNeeded && !MakeUnicode(path)) {
        return GetLastError();
    }
    if (MarkedReadOnly(path)) {
        return ERROR_FILE_READ_ONLY;
    }
    // Held by another program that lets nobody write it, or not ours to write.
    const UniqueKernelHandle writable = OpenFileHandle(
        path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    return writable ? 0 : GetLastError();
}

} // namespace

void IniSetFile(const std::wstring& fileName) {
    PathStorage() = JoinFolderAndFile(FolderOfPath(ExecutablePath()), fileName);
    const std::optional<IniEncoding> encoding = EncodingOfFile(PathStorage());
    if (encoding && IsMarkedOtherThanUtf16Le(*encoding)) {
        // When this fails the file is read as well as it can be, and written not at all.
        MakeUnicode(PathStorage());
    }
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

bool IniSectionExists(const std::wstring& section) {
    const std::wstring& path = PathStorage();
    if (path.empty()) {
        return false;
    }
    // The names, each ended by a null, the list by a second one; cut short (the size less two
    // returned) when the buffer is too small.
    std::vector<wchar_t> names(kSectionNamesFirstChars);
    DWORD n = 0;
    while ((n = GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()),
                                               path.c_str())) == names.size() - 2) {
        names.resize(names.size() * 2);
    }
    for (const wchar_t* name = names.data(); name < names.data() + n && *name != L'\0';
         name += wcslen(name) + 1) {
        if (CompareStringOrdinal(name, -1, section.c_str(), static_cast<int>(section.size()),
                                 TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

bool IniWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    const IniEntry entry{key, value};
    return IniWriteKeys(section, {&entry, 1});
}

bool IniWriteKeys(const std::wstring& section, std::span<const IniEntry> entries) {
    const std::wstring& path = PathStorage();
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false; // an empty path would write win.ini
    }
    DWORD reason = CreateUnicodeFileIfMissing(path);
    if (reason == 0) {
        reason = WhyNotReadyToTake(path, section, entries);
    }
    // A file the system could not open or read without giving a reason is not ours to write.
    const auto failed = [](DWORD error) {
        SetLastError(error != 0 ? error : ERROR_ACCESS_DENIED);
        return false;
    };
    if (reason != 0) {
        return failed(reason);
    }
    for (const IniEntry& e : entries) {
        if (!WritePrivateProfileStringW(section.c_str(), e.key.c_str(), e.value.c_str(),
                                        path.c_str())) {
            return failed(GetLastError());
        }
    }
    return true;
}

} // namespace hkv::modINI
