#include "keys/altgr_layout.h"

#include <algorithm>

namespace hkv {

bool LayoutHasAltGr(std::optional<std::uint32_t> localeFlags,
                    std::span<const CtrlAltAnswer> answers) {
    if (localeFlags) {
        return (*localeFlags & kLocaleFlagAltGr) != 0;
    }
    return std::any_of(answers.begin(), answers.end(), [](const CtrlAltAnswer& answer) {
        // A control character is what Ctrl alone makes of a letter, not a character typed.
        return TypesCharacters(answer.vk) && answer.count != 0 && answer.first >= L' ';
    });
}

} // namespace hkv
