#pragma once
// Saving a row's old shortcut as one action: its display text first, its key code list only once
// the text is in the file, and the text put back when the key code list does not follow, so that
// the file never holds one shortcut's text with another's keys because of this save.
#include <string>

#include "common/system_error.h"
#include "editor/composition.h"
#include "editor/editor_notices.h"

namespace hkv::editor {

// One row's two values in the settings file.
class RowFile {
  public:
    enum class Value { Text, KeyCodeList };
    virtual ~RowFile() = default;
    // What the file holds now; a missing value reads as empty, as the row then loads.
    virtual std::wstring Read(Value value) = 0;
    virtual WriteOutcome Write(Value value, const std::wstring& text) = 0;
};

struct RowStored {
    // The file holds both values now: written, or already there in a file that took no write.
    bool kept = false;
    RowInFile inFile;      // what the file holds for the row, read back
    SystemError error = 0; // why a write failed, when one did
};

RowStored SaveRow(RowFile& file, const Composition& composed);

} // namespace hkv::editor
