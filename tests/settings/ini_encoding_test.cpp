#include <gtest/gtest.h>

#include <string>

#include "settings/ini_encoding.h"

namespace {

// Stands in for the system's code page, so that its text shows where it was used.
std::optional<std::u16string> Ansi(std::string_view) {
    return u"ansi";
}

std::string Utf16Le(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    }
    return out;
}

} // namespace

TEST(IniEncoding, EveryEncodingBecomesTheSameUtf16Text) {
    struct Row {
        std::string bytes;
        std::u16string text;
    };
    const Row rows[] = {
        {"[a]\r\n0=\xE9", u"ansi"},                                // the system code page
        {"\xEF\xBB\xBF[a]\r\n0=\xE6\x8C\x89", u"[a]\r\n0=\u6309"}, // UTF-8 with mark
        {"\xEF\xBB\xBF\xF0\x9F\x98\x80", u"\U0001F600"},           // beyond 16 bits
        {"\xEF\xBB\xBF\xC0\xAF|\xED\xA0\x80|\xE6\x8C",
         u"\xFFFD\xFFFD|\xFFFD\xFFFD\xFFFD|\xFFFD\xFFFD"},
        {std::string("\xFE\xFF\x00[\x63\x09", 6), u"[\u6309"}, // UTF-16BE
        {std::string("\xFE\xFF\x00[\x63", 5), u"[\xFFFD"},     // odd length
        {"", u"ansi"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(hkv::ToUtf16LittleEndianFile(row.bytes, Ansi), Utf16Le(row.text))
            << testing::PrintToString(row.bytes);
    }
    const std::string utf16le = Utf16Le(u"[a]\r\n0=\u6309") + "x"; // odd, left as it is
    EXPECT_EQ(hkv::ToUtf16LittleEndianFile(utf16le, Ansi), utf16le);
    EXPECT_EQ(hkv::ToUtf16LittleEndianFile(
                  "x", [](std::string_view) { return std::optional<std::u16string>(); }),
              std::nullopt);
}
