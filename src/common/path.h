#pragma once
#include <string>
#include <string_view>

namespace hkv {

// Joins a folder and a file name with exactly one backslash: a drive's root folder ("C:\") already
// ends with one, any other folder does not.
std::wstring JoinFolderAndFile(std::wstring_view folder, std::wstring_view fileName);

// The folder part of a full file path (everything before the last backslash), keeping the
// backslash of a drive's root folder: "C:\Tools\hk.exe" -> "C:\Tools", "C:\hk.exe" -> "C:\".
std::wstring FolderOfPath(std::wstring_view path);

// The file name without folder and extension: "C:\Tools\hk.exe" -> "hk".
std::wstring BaseNameWithoutExtension(std::wstring_view path);

} // namespace hkv
