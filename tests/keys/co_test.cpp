#include <gtest/gtest.h>

#include <string>

#include "keys/co.h"

using hkv::co::KeyNameToCode;

TEST(KeyNameToCode, EveryLetterYieldsItsCapitalCharacterCode) {
    for (wchar_t c = L'A'; c <= L'Z'; ++c) {
        auto code = KeyNameToCode(std::wstring(1, c));
        ASSERT_TRUE(code.has_value()) << static_cast<char>(c);
        EXPECT_EQ(*code, static_cast<std::uint16_t>(c)) << static_cast<char>(c);
    }
    EXPECT_EQ(KeyNameToCode(L"J"), 74);
    EXPECT_EQ(KeyNameToCode(L"K"), 75);
}

TEST(KeyNameToCode, NamedKeysYieldTheirVirtualKeyCodes) {
    struct Row {
        const wchar_t* name;
        int code;
    };
    const Row rows[] = {
        {L"Shift", 16},    {L"Ctrl", 17},  {L"Alt", 18},    {L"Win", 91},
        {L"Backspace", 8}, {L"Space", 32}, {L"ESC", 27},    {L"LEFT", 37},
        {L"Right", 39},    {L"UP", 38},    {L"BOTTOM", 40}, {L"+", 107},
        {L"-", 109},       {L"*", 106},    {L"/", 111},     {L"Enter", 13},
    };
    for (const auto& row : rows) {
        auto code = KeyNameToCode(row.name);
        ASSERT_TRUE(code.has_value()) << std::wstring(row.name).size();
        EXPECT_EQ(*code, row.code);
    }
}

TEST(KeyNameToCode, DigitFamiliesDistinguishMainKeyboardFromKeypad) {
    for (int d = 0; d <= 9; ++d) {
        auto left = KeyNameToCode(L"L-" + std::to_wstring(d));
        auto right = KeyNameToCode(L"R-" + std::to_wstring(d));
        ASSERT_TRUE(left && right) << d;
        EXPECT_EQ(*left, 48 + d);
        EXPECT_EQ(*right, 96 + d);
    }
}

TEST(KeyNameToCode, NearMissesHaveNoCode) {
    const wchar_t* misses[] = {L"a",     L" A",    L"A ",     L"esc",   L"Esc",  L"Down", L"",
                               L"left",  L"RIGHT", L"Up",     L"ctrl",  L"L-10", L"R-",   L"AB",
                               L"enter", L"L1",    L"Space ", L"\u0410" /* Cyrillic A */};
    for (const wchar_t* name : misses) {
        EXPECT_FALSE(KeyNameToCode(name).has_value())
            << "name of length " << std::wstring(name).size();
    }
}
