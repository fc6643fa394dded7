#pragma once
// The texts of what the main window tells the user about rows it could not arm and settings it
// could not keep.
#include <string>
#include <vector>

#include "common/system_error.h"

namespace hkv {

// A row (1..10) and the hotkey it shows.
struct RowHotKey {
    int row = 0;
    std::wstring hotKey;
};

// An armed start could not register these rows' hotkeys.
std::wstring RowsNotEnabledText(const std::vector<RowHotKey>& rows);

// The settings file did not take these rows' hotkeys, nor (when statesLost) which rows are
// ticked; reasons: the system's errors it met, each named once.
std::wstring SettingsNotSavedText(const std::wstring& settingsFile,
                                  const std::vector<RowHotKey>& hotKeysLost, bool statesLost,
                                  const std::vector<SystemError>& reasons);

// A copy in another session (another user, a remote desktop) runs on the same settings file, so
// this copy ends.
std::wstring RunningElsewhereText(const std::wstring& settingsFile);

// The start at sign-in could not be turned on (or off); error: the system's reason, 0 for none.
std::wstring SignInNotChangedText(bool turningOn, SystemError error);

// The start at sign-in started another copy of the program, at oldProgram; now it starts this one.
std::wstring SignInMovedText(const std::wstring& oldProgram);

} // namespace hkv
