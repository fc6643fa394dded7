#include "editor/list_picks.h"

#include <algorithm>

namespace hkv::editor {
namespace {

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, {}, AsciiUpper, AsciiUpper);
}

} // namespace

std::optional<int> EntryNamed(std::wstring_view field) {
    const auto& entries = KeyListEntries();
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (SameName(field, entries[k])) {
            return static_cast<int>(k);
        }
    }
    return std::nullopt;
}

std::variant<Picks, PickRefused>
TakePicks(const std::array<std::wstring, kMaxShortcutKeys>& fields) {
    Picks taken;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const auto entry = EntryNamed(fields[k]);
        if (!entry) {
            return PickRefused{PickProblem::FieldNamesNoEntry, static_cast<int>(k), fields[k]};
        }
        taken.names[k] = std::wstring(KeyListEntries()[static_cast<std::size_t>(*entry)]);
        taken.picks[k] = PickFromName(taken.names[k]);
    }
    if (taken.names[0].empty()) {
        return PickRefused{PickProblem::NoFirstKey, 0, fields[0]};
    }
    return taken;
}

} // namespace hkv::editor
