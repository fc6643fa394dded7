#pragma once
// What a screen reader is told about the editor: its visible title and the row it edits as its
// name, what that row shows now as its description, its three key lists by their place, "添加"
// and the close image as buttons.
#include <windows.h>

#include <string>

#include "ui/accessible.h"

namespace hkv {

// Attaches the facts to the editor and its controls, found by their ids.
void DescribeEditor(ui::AccessibleControls& accessible, HWND editor);

// The editor is opened for `row` (1..10; 0 for none), which shows `rowShows` now.
void DescribeEditedRow(ui::AccessibleControls& accessible, HWND editor, int row,
                       const std::wstring& rowShows);

} // namespace hkv
