#pragma once
// Turns fuzzer bytes into the text the program would hold: UTF-16 code units, two bytes each, as
// wchar_t is on Windows (the last odd byte is dropped).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace hkv::fuzz {

inline std::wstring WideText(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    }
    return text;
}

// A broken promise of the code under test: abort, so that libFuzzer keeps the input.
inline void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace hkv::fuzz
