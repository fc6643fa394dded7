#include "hotkeyctl/system_key_name.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <limits>

#include "keys/extended_keys.h"

namespace hkv {
namespace {

// The key name buffer GetKeyNameTextW fills.
constexpr int kKeyNameChars = 255;
// GetKeyNameTextW takes the scan code in bits 16 to 23 and the extended-key bit in 24; the
// "don't care" bit (25) stays clear.
constexpr int kScanCodeShift = 16;
constexpr UINT kScanCodeMask = 0xFF;
constexpr LONG kExtendedKeyBit = 1L << 24;

} // namespace

std::wstring SystemKeyName(int vk) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) & kScanCodeMask;
    LONG key = static_cast<LONG>(scan << kScanCodeShift);
    // Only the keys that carry the mark get it: with it, the system names other keys differently
    // or not at all (Wine's table without a display gives F5 no name then).
    if (vk >= 0 && vk <= std::numeric_limits<std::uint8_t>::max() &&
        CarriesExtendedFlag(static_cast<std::uint8_t>(vk))) {
        key |= kExtendedKeyBit;
    }
    wchar_t buffer[kKeyNameChars] = {};
    const int n = GetKeyNameTextW(key, buffer, kKeyNameChars);
    return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

} // namespace hkv
