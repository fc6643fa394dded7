#include "settings/ini_encoding.h"

#include <cstdint>

namespace hkv {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char16_t kReplacement = u'\xFFFD';
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

unsigned Byte(char c) {
    return static_cast<unsigned char>(c);
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
        return;
    }
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

// What the first byte of a UTF-8 sequence says: how many bytes follow, its own payload bits and
// the smallest code point the sequence may hold (a smaller one is an overlong form).
struct Utf8Lead {
    int extra;
    char32_t bits;
    char32_t smallest;
};

std::optional<Utf8Lead> ReadUtf8Lead(unsigned lead) {
    if ((lead & 0xE0) == 0xC0) {
        return Utf8Lead{1, lead & 0x1Fu, 0x80};
    }
    if ((lead & 0xF0) == 0xE0) {
        return Utf8Lead{2, lead & 0x0Fu, 0x800};
    }
    if ((lead & 0xF8) == 0xF0) {
        return Utf8Lead{3, lead & 0x07u, 0x10000};
    }
    return std::nullopt;
}

// The code point of a multi-byte sequence starting at bytes[at], or nothing when it is not strict
// UTF-8 (overlong, a surrogate, past U+10FFFF, cut short).
std::optional<char32_t> ReadUtf8Sequence(std::string_view bytes, std::size_t at,
                                         const Utf8Lead& lead) {
    if (at + static_cast<std::size_t>(lead.extra) >= bytes.size()) {
        return std::nullopt;
    }
    char32_t cp = lead.bits;
    for (int k = 1; k <= lead.extra; ++k) {
        const unsigned next = Byte(bytes[at + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < lead.smallest || cp > kLastCodePoint ||
        (cp >= kFirstSurrogate && cp <= kLastSurrogate)) {
        return std::nullopt;
    }
    return cp;
}

// Each byte that does not start a valid sequence becomes one U+FFFD and decoding goes on after it.
std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned first = Byte(bytes[i]);
        if (first < 0x80) {
            out += static_cast<char16_t>(first);
            ++i;
            continue;
        }
        const std::optional<Utf8Lead> lead = ReadUtf8Lead(first);
        const std::optional<char32_t> cp = lead ? ReadUtf8Sequence(bytes, i, *lead) : std::nullopt;
        if (!cp) {
            out += kReplacement;
            ++i;
            continue;
        }
        AppendCodePoint(out, *cp);
        i += static_cast<std::size_t>(lead->extra) + 1;
    }
    return out;
}

std::u16string DecodeUtf16BigEndian(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out += static_cast<char16_t>(Byte(bytes[i]) << 8 | Byte(bytes[i + 1]));
    }
    if (bytes.size() % 2 != 0) {
        out += kReplacement;
    }
    return out;
}

std::string EncodeUtf16LittleEndianFile(std::u16string_view text) {
    std::string out(kUtf16LeMark);
    out.reserve(2 + text.size() * 2);
    for (char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

} // namespace

IniEncoding DetectIniEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LeMark)) {
        return IniEncoding::Utf16LittleEndian;
    }
    if (bytes.starts_with(kUtf16BeMark)) {
        return IniEncoding::Utf16BigEndian;
    }
    if (bytes.starts_with(kUtf8Mark)) {
        return IniEncoding::Utf8WithMark;
    }
    return IniEncoding::Ansi;
}

std::optional<std::string> ToUtf16LittleEndianFile(std::string_view bytes,
                                                   const AnsiDecoder& decodeAnsi) {
    switch (DetectIniEncoding(bytes)) {
    case IniEncoding::Utf16LittleEndian:
        return std::string(bytes);
    case IniEncoding::Utf16BigEndian:
        return EncodeUtf16LittleEndianFile(DecodeUtf16BigEndian(bytes.substr(kUtf16BeMark.size())));
    case IniEncoding::Utf8WithMark:
        return EncodeUtf16LittleEndianFile(DecodeUtf8(bytes.substr(kUtf8Mark.size())));
    case IniEncoding::Ansi:
        break;
    }
    std::optional<std::u16string> text = decodeAnsi(bytes);
    if (!text) {
        return std::nullopt;
    }
    return EncodeUtf16LittleEndianFile(*text);
}

} // namespace hkv
