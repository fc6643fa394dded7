#pragma once
// Where a control keeps its captured hotkey between runs: the settings file, whose path loading a
// control fixes for the whole program, or the per-user registry store. The control's stored
// properties choose (SettingLocation, INIFileName, RegKeyName).
#include <string>

#include "common/system_error.h"
#include "hotkeyctl/hotkey_capture.h"
#include "hotkeyctl/velmo_properties.h"

namespace hkv {

// The saved hotkey of the control `name`: its text, KeyCode and ModKeyCode, each read on its own
// with its default, the text then made from the codes as a capture makes it. With the settings file
// as the store, this first fixes the settings file path from INIFileName for every later read and
// write in the whole program.
CapturedHotKey RestoreHotKey(const std::wstring& name, const VelmoProperties& where);

// Writes the three values, in that order, to the store. Uses the settings file path fixed at load.
// Failed, with the system's reason, when the store does not hold them afterwards; a file that
// cannot be written but already holds them (one the user keeps read-only) loses nothing.
[[nodiscard]] WriteOutcome SaveHotKey(const std::wstring& name, const VelmoProperties& where,
                                      const CapturedHotKey& hotKey);

// Fixes the path of the one settings file from a name relative to the program's folder.
void UseSettingsFile(const std::wstring& iniFileName);

} // namespace hkv
