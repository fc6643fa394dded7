#pragma once
// One copy of the program per session, and one per settings file on the whole machine.
#include <windows.h>

#include <string>

#include "common/win_handles.h"

namespace hkv {

// Session-local: each signed-in user may run their own copy, but only one.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\BrevinHotkeyVeridir.SingleInstance";
// Two sessions (fast user switching, remote desktop) share the file beside the executable, and
// the copy that exits later would write back over the other's hotkeys the ones it read at its
// start. So the running copy holds a file beside the settings file, opened with no sharing and
// deleted when it closes, where it can make one (a copy in another session that holds it makes
// its opening fail with a sharing violation), and a machine-wide name in any case: a file only
// denied to this user may be anyone's or left by a crash. The file holds no settings; its name is
// the settings file's followed by this.
inline constexpr wchar_t kSettingsLockSuffix[] = L".running";
// The machine-wide name: this, followed by a digest of the settings file's path.
inline constexpr wchar_t kSettingsFileMutexPrefix[] = L"Global\\BrevinHotkeyVeridir.SettingsFile.";

// The machine-wide name for a settings file: the same for every spelling of its path that names
// the same file (letter case, short names, links to its folder), so it is made from the folder's
// final path where the system can tell it, case-folded.
std::wstring SettingsFileMutexName(const std::wstring& settingsFilePath);

// Holds the names that mark the running copy for as long as it lives.
class SingleInstance {
  public:
    SingleInstance(const wchar_t* sessionName, const std::wstring& settingsFilePath);

    // False when another copy holds either name: this one found it existing, or may not open it
    // at all because the copy that made it runs elevated or as another user, or something else
    // holds it as another kind of object. A copy that finds the session's name held takes
    // nothing else.
    bool IsFirst() const { return !inSession_ && !onSettingsFile_; }
    // Whether the other copy runs in this session, where its window can be reached.
    bool AnotherInThisSession() const { return inSession_; }

  private:
    UniqueKernelHandle sessionMutex_;
    // The lock file beside the settings file, where this copy could make it, and the
    // machine-wide name.
    UniqueKernelHandle settingsFileLock_;
    UniqueKernelHandle settingsFileName_;
    bool inSession_ = false;
    bool onSettingsFile_ = false;
};

} // namespace hkv
