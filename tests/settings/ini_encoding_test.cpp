#include <gtest/gtest.h>

#include <string>

#include "settings/ini_encoding.h"

namespace {

// Stands in for the system's code page: Latin-1, one character per byte.
std::optional<std::u16string> Latin1(std::string_view bytes) {
    std::u16string text;
    for (char c : bytes) {
        text += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    return text;
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
        {"[a]\r\n0=\xE9", u"[a]\r\n0=\u00E9"},                     // ANSI
        {"\xEF\xBB\xBF[a]\r\n0=\xE6\x8C\x89", u"[a]\r\n0=\u6309"}, // UTF-8 with mark
        {"\xEF\xBB\xBF\xF0\x9F\x98\x80", u"\U0001F600"},           // beyond 16 bits
        {"\xEF\xBB\xBF\xC0\xAF|\xED\xA0\x80|\xE6\x8C",
         u"\xFFFD\xFFFD|\xFFFD\xFFFD\xFFFD|\xFFFD\xFFFD"},
        {std::string("\xFE\xFF\x00[\x63\x09", 6), u"[\u6309"}, // UTF-16BE
        {std::string("\xFE\xFF\x00[\x63", 5), u"[\xFFFD"},     // odd length
        {"", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(hkv::ToUtf16LittleEndianFile(row.bytes, Latin1), Utf16Le(row.text))
            << testing::PrintToString(row.bytes);
    }
    const std::string utf16le = Utf16Le(u"[a]\r\n0=\u6309") + "x"; // odd, left as it is
    EXPECT_EQ(hkv::ToUtf16LittleEndianFile(utf16le, Latin1), utf16le);
    EXPECT_EQ(hkv::ToUtf16LittleEndianFile(
                  "x", [](std::string_view) { return std::optional<std::u16string>(); }),
              std::nullopt);
}
