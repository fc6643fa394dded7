#include "app/ticked_rows.h"

#include <windows.h>

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
    if (!modINI::IniSectionExists(kSection)) {
        return ticked.set();
    }
    for (int i = 0; i < ids::kRows; ++i) {
        ticked[static_cast<std::size_t>(i)] =
            modINI::IniRead(kSection, DecimalText(i), L"") == kTicked;
    }
    return ticked;
}

WriteOutcome SaveTickedRow(int row, bool ticked, const RowSet& shown) {
    RowSet rows = modINI::IniSectionExists(kSection) ? StoredTickedRows() : shown;
    rows[static_cast<std::size_t>(row)] = ticked;
    std::array<modINI::IniEntry, ids::kRows> entries;
    for (int i = 0; i < ids::kRows; ++i) {
        entries[static_cast<std::size_t>(i)] = {
            DecimalText(i), rows[static_cast<std::size_t>(i)] ? kTicked : kUnticked};
    }
    if (modINI::IniWriteKeys(kSection, entries)) {
        return WriteOutcome::Done();
    }
    const SystemError error = GetLastError();
    return StoredTickedRows() == rows && modINI::IniSectionExists(kSection)
               ? WriteOutcome::Done()
               : WriteOutcome::Failed(error);
}

} // namespace hkv
