#include "hotkeyctl/system_key_name.h"

#include <windows.h>

#include <cstddef>

namespace hkv {
namespace {

// The key name buffer GetKeyNameTextW fills.
constexpr int kKeyNameChars = 255;
// GetKeyNameTextW takes the scan code in bits 16 to 23. The extended-key bit (24) and the
// "don't care" bit (25) stay clear, so the names are those of the main keyboard block.
constexpr int kScanCodeShift = 16;
constexpr UINT kScanCodeMask = 0xFF;

} // namespace

std::wstring SystemKeyName(int vk) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) & kScanCodeMask;
    wchar_t buffer[kKeyNameChars] = {};
    const int n = GetKeyNameTextW(static_cast<LONG>(scan << kScanCodeShift), buffer, kKeyNameChars);
    return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

} // namespace hkv
