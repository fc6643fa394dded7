#pragma once
// A row's old shortcut in the settings file: its display text and its key code list, saved as one
// action and read back, as the hotkeys are.
#include <string>

#include "editor/composition.h"
#include "editor/editor_notices.h"
#include "editor/row_save.h"

namespace hkv::editor {

RowStored StoreRow(const std::wstring& pd, const Composition& composed);

// What the file holds for the row; a missing key reads as empty, as the row then loads.
RowInFile StoredRow(const std::wstring& pd);

} // namespace hkv::editor
