// Any settings file turns into UTF-16LE without losing a character: ANSI and UTF-16BE files keep
// one character per unit, UTF-8 files come out as well-formed UTF-16, UTF-16LE files unchanged.
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "settings/ini_encoding.h"

using hkv::fuzz::Require;

namespace {

std::optional<std::u16string> Latin1(std::string_view bytes) {
    std::u16string text;
    for (char c : bytes) {
        text += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    return text;
}

bool WellFormedUtf16(std::string_view le) {
    for (std::size_t i = 2; i + 1 < le.size(); i += 2) {
        const unsigned unit =
            static_cast<unsigned char>(le[i]) | static_cast<unsigned char>(le[i + 1]) << 8;
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (low) {
            return false;
        }
        if (high) {
            const std::size_t j = i + 2;
            if (j + 1 >= le.size()) {
                return false;
            }
            const unsigned next =
                static_cast<unsigned char>(le[j]) | static_cast<unsigned char>(le[j + 1]) << 8;
            if (next < 0xDC00 || next > 0xDFFF) {
                return false;
            }
            i = j;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto out = hkv::ToUtf16LittleEndianFile(bytes, Latin1);
    Require(out.has_value());
    switch (hkv::DetectIniEncoding(bytes)) {
    case hkv::IniEncoding::Utf16LittleEndian:
        Require(*out == bytes);
        return 0;
    case hkv::IniEncoding::Ansi:
        Require(out->size() == 2 + 2 * size);
        break;
    case hkv::IniEncoding::Utf16BigEndian:
        Require(out->size() == 2 + 2 * ((size - 2 + 1) / 2));
        break;
    case hkv::IniEncoding::Utf8WithMark:
        Require(out->size() >= 2 && out->size() <= 2 + 2 * (size - 3));
        Require(WellFormedUtf16(*out));
        break;
    }
    Require(out->starts_with("\xFF\xFE") && out->size() % 2 == 0);
    const auto refused = hkv::ToUtf16LittleEndianFile(
        bytes, [](std::string_view) { return std::optional<std::u16string>(); });
    Require(refused.has_value() == (hkv::DetectIniEncoding(bytes) != hkv::IniEncoding::Ansi));
    return 0;
}
