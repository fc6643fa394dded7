// A saved KeyCode or ModKeyCode: a decimal integer in 32 bits or 0, and only values a hotkey can
// have survive the validity checks.
#include "fuzz/fuzz_input.h"
#include "hotkeyctl/hotkey_capture.h"

using hkv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = hkv::fuzz::WideText(data, size);
    const std::int32_t value = hkv::ParseStoredInt32(text);
    // The canonical spelling of the text: sign kept unless the number is zero, no leading zeros.
    const bool negative = text.starts_with(L'-');
    std::wstring digits = text.substr(negative ? 1 : 0);
    const bool numeric =
        !digits.empty() && digits.find_first_not_of(L"0123456789") == std::wstring::npos;
    digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size()));
    if (value != 0) {
        Require(numeric && std::to_wstring(value) == (negative ? L"-" : L"") + digits);
    } else if (numeric && !digits.empty()) {
        Require(digits.size() >= 10); // only a number too big for 32 bits reads as 0
    }
    const std::int32_t keyCode = hkv::StoredKeyCode(text);
    Require(keyCode == ((value >= 1 && value <= 254) ? value : 0));
    const std::int32_t modifiers = hkv::StoredModKeyCode(text);
    Require(modifiers == ((value & ~hkv::kAllModifiers) == 0 ? value : 0));
    return 0;
}
