#pragma once
// A row's old shortcut in the settings file: its display text and its key code list, written as
// one action and read back, as the hotkeys are.
#include <string>

#include "common/system_error.h"
#include "editor/composition.h"
#include "editor/editor_notices.h"

namespace hkv::editor {

struct RowStored {
    // The file holds both values now: written, or already there in a file that took no write.
    bool kept = false;
    RowInFile inFile;      // what the file holds for the row, read back
    SystemError error = 0; // why a write failed, when one did
};

RowStored StoreRow(const std::wstring& pd, const Composition& composed);

// What the file holds for the row; a missing key reads as empty, as the row then loads.
RowInFile StoredRow(const std::wstring& pd);

} // namespace hkv::editor
