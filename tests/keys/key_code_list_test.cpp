#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys/key_code_list.h"

using hkv::BuildKeyCodeList;
using hkv::ParseKeyCodeList;

TEST(KeyCodeList, WellFormedListsParseIntoCountAndCodes) {
    struct Row {
        const wchar_t* text;
        int count;
        std::vector<int> codes;
    };
    const Row rows[] = {
        {L"1|65", 1, {65}},
        {L"2|17|67", 2, {17, 67}},
        {L"3|17|16|83", 3, {17, 16, 83}},
        {L"1|65|66", 1, {65}}, // fields after the count are ignored
        {L"1|65|junk|", 1, {65}},
        {L"1|255", 1, {255}},
        {L"2|017|067", 2, {17, 67}}, // leading zeros are still decimal
        {L"3|91|18|13", 3, {91, 18, 13}},
    };
    for (const auto& row : rows) {
        auto list = ParseKeyCodeList(row.text);
        ASSERT_TRUE(list.has_value()) << testing::PrintToString(std::wstring(row.text));
        EXPECT_EQ(list->count, row.count);
        for (std::size_t i = 0; i < row.codes.size(); ++i) {
            EXPECT_EQ(list->codes[i], row.codes[i]) << i;
        }
    }
}

TEST(KeyCodeList, MalformedListsAreRejectedWhole) {
    const wchar_t* rows[] = {
        L"",         // a row without an old shortcut
        L"1",        // count without codes
        L"1|",       // empty code
        L"2|17",     // fewer codes than the count
        L"2|17|",    // a name without a code
        L"3|17||83", // empty middle code
        L"4|17|18|16|83",
        L"0|65",
        L" 1|65",
        L"1 |65",
        L"+1|65",
        L"01|65",
        L"1|0", // no key has code 0
        L"1|256",
        L"1|99999999999999999999",
        L"1|-5",
        L"1|6 5",
        L"1| 65",
        L"1|A",
        L"1|0x41",
        L"|",
        L"||||",
        L"3|1|2",
    };
    for (const wchar_t* text : rows) {
        EXPECT_FALSE(ParseKeyCodeList(text).has_value())
            << testing::PrintToString(std::wstring(text));
    }
}

TEST(KeyCodeList, ParsingNeverReadsPastTheText) {
    // A view into a longer buffer: the characters after the view must not be taken as codes.
    std::wstring buffer = L"2|17|67";
    EXPECT_FALSE(ParseKeyCodeList(std::wstring_view(buffer).substr(0, 5)).has_value()); // "2|17|"
    EXPECT_FALSE(ParseKeyCodeList(std::wstring_view(buffer).substr(0, 4)).has_value()); // "2|17"
    auto list = ParseKeyCodeList(std::wstring_view(buffer).substr(0, 6));               // "2|17|6"
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->codes[1], 6);
}

TEST(KeyCodeList, BuildJoinsNonEmptyPartsAndDropsTheFinalBar) {
    struct Row {
        std::array<std::wstring, 3> parts;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {{L"17|", L"", L""}, L"1|17"},
        {{L"17|", L"", L"67|"}, L"2|17|67"}, // empty middle pick is skipped
        {{L"17|", L"16|", L"83|"}, L"3|17|16|83"},
        {{L"17|", L"|", L""}, L"2|17|"}, // a name without a code still counts as a key
        {{L"", L"", L""}, L""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BuildKeyCodeList(row.parts), row.expected);
    }
}

TEST(KeyCodeList, BuiltListsOfKnownCodesParseBack) {
    std::array<std::wstring, 3> parts{L"91|", L"18|", L"13|"};
    auto list = ParseKeyCodeList(BuildKeyCodeList(parts));
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->count, 3);
    EXPECT_EQ(list->codes[2], 13);
}
