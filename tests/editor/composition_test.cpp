#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor/composition.h"
#include "keys/co.h"

using hkv::editor::Compose;
using hkv::editor::KeyListEntries;
using hkv::editor::KeyPick;
using hkv::editor::PickFromName;
using hkv::editor::RowFromPd;

namespace {
std::array<KeyPick, 3> Picks(const wchar_t* a, const wchar_t* b, const wchar_t* c) {
    return {PickFromName(a), PickFromName(b), PickFromName(c)};
}
} // namespace

TEST(EditorKeyList, HoldsTheEmptyEntryTheNamedKeysThenTheLetters) {
    const auto& entries = KeyListEntries();
    EXPECT_EQ(entries[0], L"");
    EXPECT_EQ(entries[1], L"Shift");
    EXPECT_EQ(entries[5], L"Enter");
    EXPECT_EQ(entries[12], L"BOTTOM");
    EXPECT_EQ(entries[26], L"L-0");
    EXPECT_EQ(entries[36], L"R-0");
    for (int k = 0; k < 26; ++k) {
        EXPECT_EQ(entries[static_cast<std::size_t>(hkv::editor::kFixedEntries + k)],
                  std::wstring(1, static_cast<wchar_t>(L'A' + k)));
    }
    std::set<std::wstring_view> unique(entries.begin(), entries.end());
    EXPECT_EQ(unique.size(), entries.size()) << "an entry appears twice";
}

TEST(EditorKeyList, EveryOfferedNameHasACode) {
    for (std::size_t e = 1; e < KeyListEntries().size(); ++e) {
        EXPECT_TRUE(hkv::co::KeyNameToCode(KeyListEntries()[e]).has_value()) << e;
    }
}

TEST(EditorPick, KeepsNameWithSeparatorAndCodeWithBar) {
    EXPECT_EQ(PickFromName(L"Ctrl").namePart, L"Ctrl + ");
    EXPECT_EQ(PickFromName(L"Ctrl").codePart, L"17|");
    EXPECT_EQ(PickFromName(L"R-0").codePart, L"96|");
    EXPECT_EQ(PickFromName(L"").namePart, L"");
    EXPECT_EQ(PickFromName(L"").codePart, L"");
    // A name the key table does not know still counts as a key, with an empty code.
    EXPECT_EQ(PickFromName(L"Pause").codePart, L"|");
    EXPECT_EQ(PickFromName(L"Pause").namePart, L"Pause + ");
}

TEST(EditorCompose, BuildsDisplayTextCountAndKeyCodeList) {
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        const wchar_t* c;
        const wchar_t* text;
        const wchar_t* num;
        const wchar_t* list;
    };
    const Row rows[] = {
        {L"Ctrl", L"", L"", L"Ctrl", L"1", L"1|17"},
        {L"Alt", L"", L"", L"Alt", L"1", L"1|18"},
        {L"Ctrl", L"Shift", L"S", L"Ctrl + Shift + S", L"3", L"3|17|16|83"},
        {L"Ctrl", L"", L"C", L"Ctrl + C", L"2", L"2|17|67"},
        {L"Ctrl", L"Pause", L"", L"Ctrl + Pause", L"2", L"2|17|"},
        {L"Win", L"Alt", L"Enter", L"Win + Alt + Enter", L"3", L"3|91|18|13"},
    };
    for (const auto& row : rows) {
        auto composed = Compose(Picks(row.a, row.b, row.c));
        ASSERT_TRUE(composed.has_value());
        EXPECT_EQ(composed->displayText, row.text);
        EXPECT_EQ(composed->num, row.num);
        EXPECT_EQ(composed->keyCodeList, row.list);
    }
}

TEST(EditorCompose, NothingWithoutAFirstKey) {
    EXPECT_FALSE(Compose(Picks(L"", L"Ctrl", L"C")).has_value());
    EXPECT_FALSE(Compose(Picks(L"", L"", L"")).has_value());
}

TEST(EditorPd, OnlyASingleDigitIsARow) {
    for (int d = 0; d <= 9; ++d) {
        EXPECT_EQ(RowFromPd(std::to_wstring(d)), d);
    }
    for (const wchar_t* bad : {L"", L"Text1", L"10", L"-1", L" 3", L"3 ", L"03", L"x", L"9a"}) {
        EXPECT_FALSE(RowFromPd(bad).has_value()) << std::wstring(bad).size();
    }
}
