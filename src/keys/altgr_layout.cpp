#include "keys/altgr_layout.h"

#include <algorithm>

namespace hkv {

bool LayoutHasAltGr(std::optional<bool> layoutFlag, std::span<const CtrlAltAnswer> answers) {
    if (layoutFlag) {
        return *layoutFlag;
    }
    return std::any_of(answers.begin(), answers.end(), [](const CtrlAltAnswer& answer) {
        // A control character is what Ctrl alone makes of a letter, not a character typed.
        return TypesCharacters(answer.vk) && answer.count != 0 && answer.first >= L' ';
    });
}

} // namespace hkv
