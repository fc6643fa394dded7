#include "hotkeyctl/hotkey_capture.h"

#include <cstdint>
#include <limits>

namespace hkv {

namespace {

bool IsModifierKey(int vk) {
    return vk == kVkShift || vk == kVkControl || vk == kVkMenu || vk == kVkLWin;
}

} // namespace

std::wstring HotKeyCapture::KeyDown(int vk, int shift, const KeyNameFunction& keyName) {
    if (vk == kVkLWin) {
        winKeyDown_ = true;
    }
    struct Prefix {
        bool held;
        std::wstring_view text;
        std::int32_t flag;
    };
    const Prefix prefixes[] = {
        {winKeyDown_, L"Win + ", kModWin},
        {(shift & kCtrlMask) != 0, L"Ctrl + ", kModControl},
        {(shift & kAltMask) != 0, L"Alt + ", kModAlt},
        {(shift & kShiftMask) != 0, L"Shift + ", kModShift},
    };
    std::wstring text;
    modKeyCode_ = 0;
    for (const Prefix& prefix : prefixes) {
        if (prefix.held) {
            text += prefix.text;
            modKeyCode_ += prefix.flag;
        }
    }
    if (IsModifierKey(vk)) {
        keyCode_ = 0;
    } else {
        text += keyName(vk);
        keyCode_ = vk;
    }
    return text;
}

bool HotKeyCapture::KeyUp(int vk) {
    if (vk == kVkLWin) {
        winKeyDown_ = false;
    }
    if (keyCode_ != 0) {
        return false;
    }
    modKeyCode_ = 0;
    return true;
}

std::int32_t ParseStoredInt32(std::wstring_view text) {
    const bool negative = !text.empty() && text.front() == L'-';
    if (negative) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return 0;
    }
    // Accumulated as a magnitude so that the most negative value still fits.
    using Limits = std::numeric_limits<std::int32_t>;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(Limits::min()) : Limits::max();
    std::int64_t magnitude = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return 0;
        }
        magnitude = magnitude * 10 + (c - L'0');
        if (magnitude > limit) {
            return 0;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t StoredKeyCode(std::wstring_view text) {
    const std::int32_t code = ParseStoredInt32(text);
    return code >= kFirstVirtualKey && code <= kLastVirtualKey ? code : 0;
}

std::int32_t StoredModKeyCode(std::wstring_view text) {
    const std::int32_t flags = ParseStoredInt32(text);
    return (flags & ~kAllModifiers) == 0 ? flags : 0;
}

} // namespace hkv
