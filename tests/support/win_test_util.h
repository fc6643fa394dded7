#pragma once
// Helpers for tests that run as Windows programs (under Wine here).
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace hkv::test {

// Dispatches pending messages of this thread.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Waits for a condition with a deadline, dispatching this thread's messages meanwhile.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Whether the thread that owns a window (in any process) answers a message: it has come back to
// its message loop, so input reaches it.
inline bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
}

// Whether the window's thread has taken the input sent before this call: a thread handles a sent
// message before its input, so it is the second of two that comes after the input.
inline bool InputTaken(HWND window) {
    return Answers(window) && Answers(window);
}

inline std::wstring ExecutableFolder() {
    wchar_t buffer[MAX_PATH * 4] = {};
    DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    std::wstring path(buffer, n);
    return path.substr(0, path.find_last_of(L'\\'));
}

// Reads to the end rather than to the reported size: files under /proc (seen through Wine's Z:
// drive) report a size of 0.
inline std::vector<unsigned char> ReadFileBytes(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    constexpr std::size_t kChunk = 64 * 1024;
    for (;;) {
        const std::size_t have = bytes.size();
        bytes.resize(have + kChunk);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + have, static_cast<DWORD>(kChunk), &read, nullptr) ||
            read == 0) {
            bytes.resize(have);
            break;
        }
        bytes.resize(have + read);
    }
    CloseHandle(file);
    return bytes;
}

inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void DeleteFileForced(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// A UTF-8 rendering of a wide text for failure messages.
inline std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

} // namespace hkv::test
