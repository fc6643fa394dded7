// A key code list as stored in the settings file: a parsed list always names 1 to 3 real keys,
// and the list built back from them parses to the same keys.
#include "fuzz/fuzz_input.h"
#include "keys/key_code_list.h"

using hkv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = hkv::fuzz::WideText(data, size);
    const auto list = hkv::ParseKeyCodeList(text);
    if (!list) {
        return 0;
    }
    Require(list->count >= 1 && list->count <= hkv::kMaxShortcutKeys);
    Require(text.starts_with(std::to_wstring(list->count) + L"|"));
    std::array<std::wstring, hkv::kMaxShortcutKeys> parts;
    for (int k = 0; k < list->count; ++k) {
        Require(list->codes[static_cast<std::size_t>(k)] != 0);
        parts[static_cast<std::size_t>(k)] =
            std::to_wstring(list->codes[static_cast<std::size_t>(k)]) + L"|";
    }
    const auto rebuilt = hkv::ParseKeyCodeList(hkv::BuildKeyCodeList(parts));
    Require(rebuilt && rebuilt->count == list->count && rebuilt->codes == list->codes);
    return 0;
}
