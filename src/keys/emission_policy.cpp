#include "keys/emission_policy.h"

#include <algorithm>

#include "common/scope_guard.h"

namespace hkv {
namespace {

// Virtual-key codes of the keys that change what another key means. Ctrl, Alt and Shift stand
// for both their left and right keys in the system's key state; the Win keys have no such code.
constexpr std::uint8_t kVkShift = 16;
constexpr std::uint8_t kVkControl = 17;
constexpr std::uint8_t kVkAlt = 18;
constexpr std::uint8_t kVkLeftWin = 91;
constexpr std::uint8_t kVkRightWin = 92;
constexpr std::uint8_t kModifierKeys[] = {kVkControl, kVkAlt, kVkShift, kVkLeftWin, kVkRightWin};

// A hotkey's modifier flags (as registered) and the keys each stands for: Win is two keys.
struct ModifierFlag {
    std::int32_t flag;
    std::uint8_t key;
};
constexpr ModifierFlag kModifierFlags[] = {
    {1, kVkAlt}, {2, kVkControl}, {4, kVkShift}, {8, kVkLeftWin}, {8, kVkRightWin},
};

} // namespace

EmissionPolicy::EmissionPolicy(KeyboardState& keyboard, ConditionWaiter& waiter, KeyOutput& output)
    : keyboard_(keyboard), waiter_(waiter), output_(output) {}

// A modifier that is down and is neither one of the shortcut's own keys nor held by an emission in
// progress (a press during another row's pause plays inside it, with that row's keys down).
bool EmissionPolicy::ForeignModifierDown(const KeyCodeList& shortcut) const {
    return std::any_of(std::begin(kModifierKeys), std::end(kModifierKeys), [&](std::uint8_t vk) {
        const auto* first = shortcut.codes.data();
        const bool inShortcut =
            std::find(first, first + shortcut.count, vk) != first + shortcut.count;
        return !inShortcut && !IsHeldByPlayback(vk) && keyboard_.IsDown(vk);
    });
}

// When the modifiers are still down at the end of the wait, the press is dropped: the old shortcut
// would otherwise reach the application combined with them (Ctrl + Alt + Shift + H for Shift + H).
// Releasing them for the user and pressing them again afterwards was weighed and refused: once a
// synthetic key-up has been sent, the system's key state reports the key up whether or not the
// user still holds it, so the program could no longer tell whether to press it again, and a wrong
// guess leaves a key stuck down for every program. A dropped press costs the user one more press.
void EmissionPolicy::HotKeyPressed(int row, std::wstring_view keyCodeList,
                                   std::int32_t hotKeyModifiers) {
    if (abandoned_ || inProgress_ >= kMaxEmissionsInProgress ||
        std::find(waitingRows_.begin(), waitingRows_.end(), row) != waitingRows_.end()) {
        return; // the program is ending, too deeply nested, or merged into the waiting press
    }
    const auto shortcut = ParseKeyCodeList(keyCodeList);
    if (!shortcut) {
        return; // nothing to play (a row without an old shortcut): nothing to wait for either
    }
    for (const ModifierFlag& modifier : kModifierFlags) {
        if ((hotKeyModifiers & modifier.flag) != 0) {
            keyboard_.HeldWhenHotKeyFired(modifier.key);
        }
    }
    ++inProgress_;
    ScopeGuard finished([this] { --inProgress_; });
    bool clear = false;
    {
        waitingRows_.push_back(row);
        ScopeGuard waited([this, row] { std::erase(waitingRows_, row); });
        clear = waiter_.WaitUntil([&] { return !ForeignModifierDown(*shortcut); },
                                  kModifierReleaseWaitMs);
    }
    if (clear && !abandoned_) {
        PlayKeyCodeList(keyCodeList, output_);
    }
}

void EmissionPolicy::Abandon() {
    abandoned_ = true;
    // Keys first: a key left down stays down for every other program after this one has ended.
    ReleaseHeldKeys();
    waiter_.Abandon();
}

} // namespace hkv
