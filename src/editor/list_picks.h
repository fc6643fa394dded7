#pragma once
// What "添加" takes from the three key lists: what each field shows. A field names an entry when
// it holds the entry's name, letter case aside ("ctrl" is Ctrl), and is then set to the name as
// the list spells it; the empty field is the blank entry, no key. A field that names no entry,
// or no key in the first list, is told to the user and nothing is stored.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "editor/composition.h"

namespace hkv::editor {

// The index of the key list entry `field` names, or nothing.
std::optional<int> EntryNamed(std::wstring_view field);

enum class PickProblem { NoFirstKey, FieldNamesNoEntry };

struct PickRefused {
    PickProblem problem;
    int list = 0; // 0..2
    std::wstring field;
};

struct Picks {
    std::array<KeyPick, kMaxShortcutKeys> picks;
    std::array<std::wstring, kMaxShortcutKeys> names; // what each field is to show
};

std::variant<Picks, PickRefused>
TakePicks(const std::array<std::wstring, kMaxShortcutKeys>& fields);

} // namespace hkv::editor
