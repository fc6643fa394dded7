#include "editor/list_picks.h"

namespace hkv::editor {

std::variant<Picks, PickRefused> TakePicks(const std::array<ListState, kMaxShortcutKeys>& lists) {
    Picks taken;
    for (std::size_t k = 0; k < lists.size(); ++k) {
        const ListState& list = lists[k];
        const bool known = list.selected && *list.selected >= 0 && *list.selected < kKeyListEntries;
        if (!known && !list.field.empty()) {
            return PickRefused{PickProblem::FieldNamesNoEntry, static_cast<int>(k), list.field};
        }
        taken.names[k] =
            known ? std::wstring(KeyListEntries()[static_cast<std::size_t>(*list.selected)])
                  : std::wstring();
        taken.picks[k] = PickFromName(taken.names[k]);
    }
    if (taken.names[0].empty()) {
        return PickRefused{PickProblem::NoFirstKey, 0, lists[0].field};
    }
    return taken;
}

} // namespace hkv::editor
