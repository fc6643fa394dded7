#pragma once
// What the shortcut editor keeps for each picked key, and how it turns its picks into a row's
// display text and key code list.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "keys/key_code_list.h"

namespace hkv::editor {

inline constexpr int kKeyListEntries = 63;

// The entries of each key list, in order: the empty entry, the named keys, then A to Z.
const std::array<std::wstring_view, kKeyListEntries>& KeyListEntries();
// How many entries come before the letters (the empty entry and the 36 named keys).
inline constexpr int kFixedEntries = 37;

// The parts kept for one picked key: the name followed by " + ", and the code in decimal
// followed by "|" ("|" alone for a name without a code). Both empty for the empty entry.
struct KeyPick {
    std::wstring namePart;
    std::wstring codePart;
};
KeyPick PickFromName(std::wstring_view name);

struct Composition {
    std::wstring displayText; // "Ctrl + C"
    std::wstring num;         // "2"
    std::wstring keyCodeList; // "2|17|67"
};

// Nothing when the first key is not set: a shortcut must start in the first list.
std::optional<Composition> Compose(const std::array<KeyPick, kMaxShortcutKeys>& picks);

// The row index the editor was opened for: exactly one digit "0" to "9", else nothing.
std::optional<int> RowFromPd(std::wstring_view pd);

} // namespace hkv::editor
