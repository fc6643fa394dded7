#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editor/row_save.h"

namespace hkv::editor {
using Value = RowFile::Value;

// A row that shows Alt, in a file that refuses the writes of some values, or all after a count.
struct RefusingRowFile final : RowFile {
    explicit RefusingRowFile(std::set<Value> refusing, int taking = 3)
        : refused(std::move(refusing)), writesTaken(taking) {}
    std::map<Value, std::wstring> held{{Value::Text, L"Alt"}, {Value::KeyCodeList, L"1|18"}};
    std::set<Value> refused;
    int writesTaken;
    std::wstring Read(Value value) override { return held[value]; }
    WriteOutcome Write(Value value, const std::wstring& text) override {
        if (refused.count(value) || writesTaken-- <= 0) {
            return WriteOutcome::Failed(5);
        }
        held[value] = text;
        return WriteOutcome::Done();
    }
};

TEST(EditorSave, TheKeysAreWrittenOnlyAfterTheTextAndTheTextGoesBackWithoutThem) {
    const std::pair<RefusingRowFile, RowInFile> cases[] = {
        {RefusingRowFile({}), {L"Ctrl + C", L"2|17|67"}},
        {RefusingRowFile({Value::Text}), {L"Alt", L"1|18"}},
        {RefusingRowFile({Value::KeyCodeList}), {L"Alt", L"1|18"}},
        // Nor the text put back: told as it is.
        {RefusingRowFile({Value::KeyCodeList}, 1), {L"Ctrl + C", L"1|18"}},
    };
    for (auto [file, after] : cases) {
        const RowStored stored = SaveRow(file, {L"Ctrl + C", L"2", L"2|17|67"});
        EXPECT_EQ(stored.inFile.displayText + L" " + stored.inFile.keyCodeList,
                  after.displayText + L" " + after.keyCodeList);
        EXPECT_EQ(stored.kept, file.refused.empty());
        EXPECT_EQ(stored.error, stored.kept ? 0u : 5u);
    }
}
} // namespace hkv::editor
