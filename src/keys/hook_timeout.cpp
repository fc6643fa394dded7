#include "keys/hook_timeout.h"

#include <algorithm>

namespace hkv {

std::uint32_t HooksTimeoutMs(std::optional<std::uint32_t> number,
                             std::optional<std::wstring_view> text, std::uint32_t windowsBuild) {
    if (!number && text && !text->empty()) {
        std::uint64_t value = 0;
        for (wchar_t c : *text) {
            if (c < L'0' || c > L'9') {
                return kDefaultHooksTimeoutMs;
            }
            value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - L'0'),
                                            UINT32_MAX);
        }
        number = static_cast<std::uint32_t>(value);
    }
    // No wait at all would leave no hook working: taken as no setting.
    if (!number || *number == 0) {
        return kDefaultHooksTimeoutMs;
    }
    if (windowsBuild < kFirstBuildCappingHooksTimeout) {
        return *number;
    }
    return std::min(*number, kMaxHooksTimeoutMs);
}

} // namespace hkv
