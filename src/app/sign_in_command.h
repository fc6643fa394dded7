#pragma once
// The start at sign-in as the user's Run key holds it: the value's text, the program a value
// names, and what Windows' own startup switch (Task Manager's Startup tab) says of it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hkv {

// The value's name in the Run key and in the startup switch's key.
inline constexpr wchar_t kSignInValueName[] = L"Brevin Hotkey Veridir";

// The command that starts this program at sign-in: its full path in quotes, then the switch
// that starts it armed in the notification area.
std::wstring SignInCommand(std::wstring_view exePath);

// The program a command starts, quotes and arguments aside. An unquoted path may hold spaces,
// as the system reads one: it ends at the first ".exe" that ends a word.
std::wstring ProgramOfCommand(std::wstring_view command);

// Whether two full paths name the same file, letter case aside (ASCII letters here; callers fold
// the rest with the system's table first) and either slash as a separator.
bool SamePath(std::wstring_view a, std::wstring_view b);

// Whether Windows' startup switch lets the value start: its entry is absent, or its first byte
// is 2 (enabled). Any other entry (3 when the user disabled it, other first bytes, no bytes at
// all) keeps the program from starting.
bool StartupSwitchOn(const std::optional<std::vector<std::uint8_t>>& entry);

} // namespace hkv
