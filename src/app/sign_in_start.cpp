#include "app/sign_in_start.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "app/notices.h"
#include "app/sign_in_command.h"

namespace hkv {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The value's data in the user's hive, of the types `flags` allow; nothing when it is absent or
// cannot be read. A string of environment variables (REG_EXPAND_SZ) comes expanded.
std::optional<Bytes> ReadValue(const wchar_t* key, DWORD flags) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key, kSignInValueName, flags, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    Bytes data(size);
    for (;;) {
        const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, key, kSignInValueName, flags,
                                            nullptr, data.data(), &size);
        if (status == ERROR_MORE_DATA) { // it grew meanwhile
            data.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        data.resize(size);
        return data;
    }
}

std::optional<std::wstring> ReadText(const wchar_t* key) {
    const std::optional<Bytes> data = ReadValue(key, RRF_RT_REG_SZ);
    if (!data) {
        return std::nullopt;
    }
    std::wstring text(data->size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data->data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

// The path made full and its short (8.3) names long, as far as the file is there to ask.
std::wstring LongFullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    }
    if (n == 0 || n >= full.size()) {
        return path;
    }
    full.resize(n);
    std::wstring longPath(n + MAX_PATH, L'\0');
    n = GetLongPathNameW(full.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    if (n == 0 || n >= longPath.size()) {
        return full; // moved away or deleted: compared as it is written
    }
    longPath.resize(n);
    return longPath;
}

std::wstring Capitals(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The Run key is made when it is missing.
SystemError WriteRunValue(const wchar_t* key, const std::wstring& command) {
    return static_cast<SystemError>(
        RegSetKeyValueW(HKEY_CURRENT_USER, key, kSignInValueName, REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))));
}

// A value already gone is no refusal.
SystemError DeleteValue(const wchar_t* key) {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, key, kSignInValueName);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<SystemError>(status);
}

} // namespace

SignInStart::SignInStart(const std::wstring& exePath, Keys keys)
    : exePath_(LongFullPath(exePath)), exeFolded_(Capitals(exePath_)), keys_(keys) {}

SignInStart::Reading SignInStart::Read() const {
    const std::optional<std::wstring> command = ReadText(keys_.run);
    if (!command) {
        return {};
    }
    Reading reading{State::ThisCopy, ProgramOfCommand(*command)};
    if (!SamePath(Capitals(LongFullPath(reading.program)), exeFolded_)) {
        reading.state = State::OtherCopy;
    } else if (!StartupSwitchOn(ReadValue(keys_.startupSwitch, RRF_RT_ANY))) {
        reading.state = State::SwitchedOff;
    }
    return reading;
}

bool SignInStart::Armed() const {
    return Read().state == State::ThisCopy;
}

std::wstring SignInStart::Toggle() {
    const Reading before = Read();
    if (before.state == State::ThisCopy) {
        const SystemError error = DeleteValue(keys_.run);
        return Armed() ? SignInNotChangedText(false, error) : std::wstring();
    }
    SystemError error = WriteRunValue(keys_.run, SignInCommand(exePath_));
    if (error == ERROR_SUCCESS) {
        // Windows then takes the value for a new one, which its switch lets start.
        error = DeleteValue(keys_.startupSwitch);
    }
    if (!Armed()) {
        return SignInNotChangedText(true, error);
    }
    // A value that named no program at all has no old place to tell.
    return before.state == State::OtherCopy && !before.program.empty()
               ? SignInMovedText(before.program)
               : std::wstring();
}

} // namespace hkv
