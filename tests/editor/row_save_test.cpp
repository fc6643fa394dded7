#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editor/row_save.h"

using namespace hkv::editor;
using Value = RowFile::Value;

namespace {

// A row that shows Alt, in a file that refuses the writes of some values, or all after a count.
struct RefusingRowFile final : RowFile {
    std::map<Value, std::wstring> held{{Value::Text, L"Alt"}, {Value::KeyCodeList, L"1|18"}};
    std::set<Value> refused;
    int writesTaken = 3;
    std::wstring Read(Value value) override { return held[value]; }
    hkv::WriteOutcome Write(Value value, const std::wstring& text) override {
        if (refused.count(value) || writesTaken-- <= 0) {
            return hkv::WriteOutcome::Failed(5);
        }
        held[value] = text;
        return hkv::WriteOutcome::Done();
    }
};

} // namespace

TEST(EditorSave, TheKeysAreWrittenOnlyAfterTheTextAndTheTextGoesBackWithoutThem) {
    const Composition ctrlC{L"Ctrl + C", L"2", L"2|17|67"};
    struct Case {
        std::set<Value> refused;
        int writesTaken;
        RowInFile after;
    };
    const Case cases[] = {
        {{}, 3, {L"Ctrl + C", L"2|17|67"}},
        {{Value::Text}, 3, {L"Alt", L"1|18"}},
        {{Value::KeyCodeList}, 3, {L"Alt", L"1|18"}},
        {{Value::KeyCodeList}, 1, {L"Ctrl + C", L"1|18"}}, // nor the text put back: told as it is
    };
    for (const Case& c : cases) {
        RefusingRowFile file;
        file.refused = c.refused;
        file.writesTaken = c.writesTaken;
        const RowStored stored = SaveRow(file, ctrlC);
        EXPECT_EQ(stored.inFile.displayText, c.after.displayText) << c.writesTaken;
        EXPECT_EQ(stored.inFile.keyCodeList, c.after.keyCodeList) << c.refused.size();
        EXPECT_EQ(stored.kept, c.refused.empty());
        EXPECT_EQ(stored.error, c.refused.empty() ? 0u : 5u);
    }
}
