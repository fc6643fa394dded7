#include "keys/key_code_list.h"

#include "common/decimal.h"

namespace hkv {
namespace {

// A decimal number from 1 to 255 made of digits only (leading zeros allowed, nothing else).
std::optional<std::uint8_t> ParseCode(std::wstring_view field) {
    if (field.empty()) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (wchar_t c : field) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > 255) {
            return std::nullopt;
        }
    }
    if (value == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace

std::optional<KeyCodeList> ParseKeyCodeList(std::wstring_view text) {
    KeyCodeList list;
    std::size_t start = 0;
    for (int field = 0; field <= list.count; ++field) {
        if (start > text.size()) {
            return std::nullopt; // fewer fields than the count promises
        }
        std::size_t bar = text.find(L'|', start);
        std::wstring_view value = text.substr(
            start, bar == std::wstring_view::npos ? std::wstring_view::npos : bar - start);
        start = bar == std::wstring_view::npos ? text.size() + 1 : bar + 1;
        if (field == 0) {
            if (value != L"1" && value != L"2" && value != L"3") {
                return std::nullopt;
            }
            list.count = value[0] - L'0';
            continue;
        }
        auto code = ParseCode(value);
        if (!code) {
            return std::nullopt;
        }
        list.codes[static_cast<std::size_t>(field - 1)] = *code;
    }
    return list;
}

std::wstring BuildKeyCodeList(const std::array<std::wstring, kMaxShortcutKeys>& codeParts) {
    int count = 0;
    std::wstring joined;
    for (const auto& part : codeParts) {
        if (!part.empty()) {
            ++count;
            joined += part;
        }
    }
    if (count == 0) {
        return {};
    }
    std::wstring list = DecimalText(count) + L"|" + joined;
    list.pop_back();
    return list;
}

} // namespace hkv
