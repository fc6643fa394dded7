#include "keys/emission_policy.h"

#include <algorithm>

#include "common/scope_guard.h"
#include "keys/modifier_keys.h"
#include "keys/player.h"

namespace hkv {

EmissionPolicy::EmissionPolicy(KeyboardState& keyboard, ConditionWaiter& waiter, HeldKeys& heldKeys)
    : keyboard_(keyboard), waiter_(waiter), heldKeys_(heldKeys) {}

// A modifier that is down and is not one of the shortcut's own keys, unless only an emission in
// progress holds it (a press during another row's pause plays inside it, with that row's keys
// down); one the user holds is foreign whoever else holds it too.
bool EmissionPolicy::ForeignModifierDown(const KeyCodeList& shortcut) const {
    return std::any_of(std::begin(kModifierKeys), std::end(kModifierKeys), [&](ModifierKey m) {
        const auto* first = shortcut.codes.data();
        const bool inShortcut =
            std::find(first, first + shortcut.count, m.key) != first + shortcut.count;
        return !inShortcut && keyboard_.IsDown(m.key) &&
               (!heldKeys_.IsHeld(m.key) || keyboard_.UserHolds(m.key));
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
    // Watched from the start, so that every key event of the user's from now on is seen: the
    // wait wakes at each release, and the playback learns which keys the user holds.
    keyboard_.BeginWatching();
    ++inProgress_;
    ScopeGuard finished([this] {
        --inProgress_;
        keyboard_.EndWatching();
    });
    for (const ModifierKey& modifier : kModifierKeys) {
        if ((hotKeyModifiers & modifier.flag) != 0) {
            keyboard_.HeldWhenHotKeyFired(modifier.key);
        }
    }
    bool clear = false;
    {
        waitingRows_.push_back(row);
        ScopeGuard waited([this, row] { std::erase(waitingRows_, row); });
        clear = waiter_.WaitUntil([&] { return !ForeignModifierDown(*shortcut); },
                                  kModifierReleaseWaitMs);
    }
    if (clear && !abandoned_) {
        opendo(heldKeys_, *shortcut); // the list as parsed above: one parse per press
    }
}

void EmissionPolicy::Abandon() {
    abandoned_ = true;
    // Keys first: a key left down stays down for every other program after this one has ended.
    heldKeys_.ReleaseAll();
    keyboard_.StopWatching();
}

} // namespace hkv
