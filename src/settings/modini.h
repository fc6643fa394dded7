#pragma once
// The settings file "set.ini" next to the executable. Every call goes straight to the file through
// the system's profile-string routines; nothing is cached. Writes tell their caller whether they
// reached the file; telling the user is the caller's part.
#include <span>
#include <string>

namespace hkv::modINI {

// Fixes the settings file to the executable's folder joined with fileName. The one path is shared
// by the whole program. A file there that starts with a UTF-8 or UTF-16 big-endian mark is
// converted to UTF-16LE at once, before anything reads it: the profile routines of Windows take
// a file as Unicode only with the mark FF FE and would read any other as ANSI bytes. A file
// without a mark (ANSI) is left as it is; Windows reads it.
void IniSetFile(const std::wstring& fileName);

// The full path fixed by IniSetFile; empty before the first call.
const std::wstring& IniFilePath();

// The value of key in section, cut to 254 characters; "" for a key present with an empty value;
// defaultValue when the file, the section or the key is missing, or before IniSetFile.
std::wstring IniRead(const std::wstring& section, const std::wstring& key,
                     const std::wstring& defaultValue);

// Whether the file has the section, with keys or without, in any letter case.
bool IniSectionExists(const std::wstring& section);

// Creates or replaces the key. A file that does not exist yet is first created as UTF-16 so that
// Chinese texts survive on any system code page. False when the value did not reach the file;
// GetLastError then gives the system's reason (read-only, access denied, disk full...).
bool IniWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value);

struct IniEntry {
    std::wstring key;
    std::wstring value;
};

// Creates or replaces the keys of one section, in their order, all of them or none: nothing is
// written when the file cannot take every one of them now (a text its encoding cannot hold and
// the file cannot be made Unicode, a file in an encoding the profile routines would write wrong,
// a file another program holds or that is read-only). True when all were written; when not,
// GetLastError gives the system's reason, as it does after IniWrite.
bool IniWriteKeys(const std::wstring& section, std::span<const IniEntry> entries);

} // namespace hkv::modINI
