#include "editor/row_save.h"

namespace hkv::editor {

RowStored SaveRow(RowFile& file, const Composition& composed) {
    using Value = RowFile::Value;
    RowStored stored;
    const std::wstring textBefore = file.Read(Value::Text);
    // Whether the file holds the value after the write: a file that took no write may hold it
    // already, and only what is read back counts.
    auto write = [&](Value value, const std::wstring& text) {
        const WriteOutcome done = file.Write(value, text);
        if (!done && stored.error == 0) {
            stored.error = done.Error();
        }
        return file.Read(value) == text;
    };
    if (write(Value::Text, composed.displayText) &&
        !write(Value::KeyCodeList, composed.keyCodeList)) {
        write(Value::Text, textBefore);
    }
    stored.inFile = {file.Read(Value::Text), file.Read(Value::KeyCodeList)};
    stored.kept = stored.inFile.displayText == composed.displayText &&
                  stored.inFile.keyCodeList == composed.keyCodeList;
    return stored;
}

} // namespace hkv::editor
