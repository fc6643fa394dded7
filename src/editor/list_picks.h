#pragma once
// What "添加" takes from the three key lists. Each list's own selection is the pick: a field that
// shows something else (a letter typed while the list was open selects an entry but leaves the
// typing in the field) is set to the selected entry's name. A list without a selection picks
// nothing when its field is empty; a field that names no entry, or no key in the first list, is
// told to the user and nothing is stored.
#include <array>
#include <optional>
#include <string>
#include <variant>

#include "editor/composition.h"

namespace hkv::editor {

struct ListState {
    std::optional<int> selected; // the entry the list itself has selected
    std::wstring field;          // the text its field shows
};

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

std::variant<Picks, PickRefused> TakePicks(const std::array<ListState, kMaxShortcutKeys>& lists);

} // namespace hkv::editor
