#pragma once
// The texts of what the editor tells the user when "添加" cannot store an old shortcut, or the
// settings file did not keep it.
#include <string>

#include "editor/list_picks.h"

namespace hkv::editor {

// "添加" found nothing it could store; the editor stays open with the user's picks.
std::wstring PicksRefusedText(const PickRefused& refused);

// What the settings file holds for a row after a write that did not keep the new old shortcut.
struct RowInFile {
    std::wstring displayText;
    std::wstring keyCodeList;
};

// Row `row` (1..10) shows `shown` now, but `settingsFile` did not keep it: it names what the row
// will be at the next start. `reason`, when known, is the system's word for why.
std::wstring RowNotKeptText(int row, const std::wstring& shown, const std::wstring& settingsFile,
                            const RowInFile& kept, const std::wstring& reason);

} // namespace hkv::editor
