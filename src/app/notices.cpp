#include "app/notices.h"

#include <algorithm>

#include "common/decimal.h"

namespace hkv {
namespace {

constexpr wchar_t kLineBreak[] = L"\r\n";

} // namespace

std::wstring RowsNotEnabledText(const std::vector<RowHotKey>& rows) {
    std::wstring text = L"These rows were not enabled: their hotkeys are in use by another program "
                        L"or another row. They keep their hotkeys; tick them once the hotkeys are "
                        L"free.";
    text += kLineBreak;
    for (const RowHotKey& r : rows) {
        text += kLineBreak + (L"Row " + DecimalText(r.row) + L": " + r.hotKey);
    }
    return text;
}

std::wstring SettingsNotSavedText(const std::wstring& settingsFile,
                                  const std::vector<RowHotKey>& hotKeysLost, bool statesLost,
                                  const std::vector<SystemError>& reasons) {
    std::wstring text = L"The settings file could not be written:";
    text += kLineBreak + settingsFile + kLineBreak;
    std::vector<std::wstring> named;
    for (const SystemError reason : reasons) {
        std::wstring line = SystemReasonLine(reason);
        if (std::find(named.begin(), named.end(), line) == named.end()) {
            text += line + kLineBreak;
            named.push_back(std::move(line));
        }
    }
    text += kLineBreak;
    text += L"Not kept for the next start:";
    for (const RowHotKey& r : hotKeysLost) {
        text += kLineBreak + (L"- the hotkey of row " + DecimalText(r.row) + L": " + r.hotKey);
    }
    if (statesLost) {
        text += kLineBreak + std::wstring(L"- which rows are enabled");
    }
    return text;
}

std::wstring RunningElsewhereText(const std::wstring& settingsFile) {
    std::wstring text = L"The program is already running in another session of this computer "
                        L"(another user, or a remote desktop), with the settings file";
    text += kLineBreak + settingsFile + kLineBreak;
    text += L"This copy ends: only one copy at a time may keep that file.";
    return text;
}

std::wstring SignInNotChangedText(bool turningOn, SystemError error) {
    std::wstring text = turningOn ? L"Starting at sign-in could not be turned on."
                                  : L"Starting at sign-in could not be turned off.";
    if (error != 0) {
        text += kLineBreak + SystemReasonLine(error);
    }
    return text;
}

std::wstring SignInMovedText(const std::wstring& oldProgram) {
    return L"Signing in now starts this copy instead of " + oldProgram;
}

} // namespace hkv
