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
    modKeyCode_ = (winKeyDown_ ? kModWin : 0) | ((shift & kCtrlMask) != 0 ? kModControl : 0) |
                  ((shift & kAltMask) != 0 ? kModAlt : 0) |
                  ((shift & kShiftMask) != 0 ? kModShift : 0);
    keyCode_ = IsModifierKey(vk) ? 0 : vk;
    return CombinationText(keyCode_, modKeyCode_, keyName);
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

std::wstring CombinationText(std::int32_t keyCode, std::int32_t modKeyCode,
                             const HotKeyCapture::KeyNameFunction& keyName) {
    struct Prefix {
        std::int32_t flag;
        std::wstring_view text;
    };
    static constexpr Prefix kPrefixes[] = {{kModWin, L"Win + "},
                                           {kModControl, L"Ctrl + "},
                                           {kModAlt, L"Alt + "},
                                           {kModShift, L"Shift + "}};
    std::wstring text;
    for (const Prefix& prefix : kPrefixes) {
        if ((modKeyCode & prefix.flag) != 0) {
            text += prefix.text;
        }
    }
    if (keyCode != 0) {
        text += keyName(keyCode);
    }
    return text;
}

CapturedHotKey RestoredHotKey(const CapturedHotKey& saved,
                              const HotKeyCapture::KeyNameFunction& keyName) {
    if (saved.keyCode == 0) {
        return {std::wstring(kHotKeyPlaceholder), 0, 0};
    }
    return {CombinationText(saved.keyCode, saved.modKeyCode, keyName), saved.keyCode,
            saved.modKeyCode};
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
