#pragma once
// The stored form of an old shortcut: "count|code|code...", e.g. "2|17|67" for Ctrl + C.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hkv {

inline constexpr int kMaxShortcutKeys = 3;

struct KeyCodeList {
    int count = 0; // 1 to 3
    std::array<std::uint8_t, kMaxShortcutKeys> codes{};
};

// Field 0 must be exactly "1", "2" or "3" and be followed by that many decimal codes from 1 to 255;
// later fields are ignored. Anything else yields nothing, so a player never starts a list that it
// cannot finish. Never throws and never reads past the text.
std::optional<KeyCodeList> ParseKeyCodeList(std::wstring_view text);

// Builds a list from up to three code parts as the editor keeps them ("17|", "|" for a name
// without a code, or "" for no key): the number of non-empty parts, a bar, the parts joined, and
// the final bar dropped. Returns "" when every part is empty.
std::wstring BuildKeyCodeList(const std::array<std::wstring, kMaxShortcutKeys>& codeParts);

} // namespace hkv
