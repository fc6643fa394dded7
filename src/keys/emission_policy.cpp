#include "keys/emission_policy.h"

#include "common/scope_guard.h"
#include "keys/player.h"

namespace hkv {

EmissionPolicy::EmissionPolicy(KeyboardState& keyboard, HeldKeys& heldKeys)
    : keyboard_(keyboard), heldKeys_(heldKeys) {}

void EmissionPolicy::HotKeyPressed(std::wstring_view keyCodeList, const HotKey& hotKey,
                                   HotKeySuspension& suspension) {
    if (abandoned_ || inProgress_ >= kMaxEmissionsInProgress) {
        return; // the program is ending, or too deeply nested
    }
    const auto shortcut = ParseKeyCodeList(keyCodeList);
    if (!shortcut) {
        return; // nothing to play (a row without an old shortcut)
    }
    keyboard_.HotKeyFired(hotKey.modifiers);
    // Watched from the start, so that every key event of the user's from now on is seen: the
    // playback learns which keys the user holds and lets go of, and holds back what the user types
    // while it plays.
    keyboard_.BeginWatching(hotKey, suspension.HotKeys());
    ++inProgress_;
    ScopeGuard finished([this] {
        --inProgress_;
        keyboard_.EndWatching();
    });
    opendo(heldKeys_, *shortcut, &suspension); // one parse per press
}

void EmissionPolicy::Abandon() {
    abandoned_ = true;
    // Keys first: a key left down stays down for every other program after this one has ended.
    heldKeys_.ReleaseAllAtEnd();
    keyboard_.StopWatching();
}

} // namespace hkv
