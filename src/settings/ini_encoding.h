#pragma once
// Which encoding a settings file is in, and its text turned into UTF-16LE: the one encoding the
// profile routines keep any text in on every system code page. No Windows calls here: the caller
// supplies the decoding of the system's ANSI code page.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace hkv {

enum class IniEncoding {
    Utf16LittleEndian, // starts with FF FE
    Utf16BigEndian,    // starts with FE FF
    Utf8WithMark,      // starts with EF BB BF
    Ansi,              // anything else: the system's ANSI code page, as older versions wrote it
};

IniEncoding DetectIniEncoding(std::string_view bytes);

// Decodes text in the system's ANSI code page; nothing when it cannot.
using AnsiDecoder = std::function<std::optional<std::u16string>(std::string_view bytes)>;

// The whole file as UTF-16LE bytes starting with the byte-order mark FF FE. A UTF-16LE file comes
// back unchanged. Bytes that are no character (a broken UTF-8 sequence, the odd last byte of a
// UTF-16 file) become U+FFFD, so the characters around them keep their places. Nothing when the
// ANSI decoder fails.
std::optional<std::string> ToUtf16LittleEndianFile(std::string_view bytes,
                                                   const AnsiDecoder& decodeAnsi);

} // namespace hkv
