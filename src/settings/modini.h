#pragma once
// The settings file "set.ini" next to the executable. Every call goes straight to the file through
// the system's profile-string routines; nothing is cached and nothing is reported.
#include <string>

namespace hkv::modINI {

// Fixes the settings file to the executable's folder joined with fileName. The one path is shared
// by the whole program.
void IniSetFile(const std::wstring& fileName);

// The full path fixed by IniSetFile; empty before the first call.
const std::wstring& IniFilePath();

// The value of key in section, cut to 254 characters; "" for a key present with an empty value;
// defaultValue when the file, the section or the key is missing, or before IniSetFile.
std::wstring IniRead(const std::wstring& section, const std::wstring& key,
                     const std::wstring& defaultValue);

// Creates or replaces the key. A file that does not exist yet is first created as UTF-16 so that
// Chinese texts survive on any system code page. A failed write is lost silently.
void IniWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value);

} // namespace hkv::modINI
