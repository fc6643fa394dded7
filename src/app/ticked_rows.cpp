#include "app/ticked_rows.h"

#include <array>

#include "common/decimal.h"
#include "settings/modini.h"

namespace hkv {
namespace {

// Keys "0" to "9", the row's index, as in the sections of the old shortcuts.
constexpr wchar_t kSection[] = L"confenabled";
constexpr wchar_t kTicked[] = L"1";
constexpr wchar_t kUnticked[] = L"0";

} // namespace

RowSet StoredTickedRows() {
    RowSet ticked;
    for (int i = 0; i < ids::kRows; ++i) {
        ticked[static_cast<std::size_t>(i)] =
            modINI::IniRead(kSection, DecimalText(i), kTicked) != kUnticked;
    }
    return ticked;
}

bool SaveTickedRows(const RowSet& ticked) {
    std::array<modINI::IniEntry, ids::kRows> entries;
    for (int i = 0; i < ids::kRows; ++i) {
        entries[static_cast<std::size_t>(i)] = {
            DecimalText(i), ticked[static_cast<std::size_t>(i)] ? kTicked : kUnticked};
    }
    return modINI::IniWriteKeys(kSection, entries) || StoredTickedRows() == ticked;
}

} // namespace hkv
