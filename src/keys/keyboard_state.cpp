#include "keys/keyboard_state.h"

#include "keys/modifier_keys.h"

namespace hkv {

void KeyboardState::BeginWatching(const HotKey& playing) {
    if (watches_++ > 0) {
        user_.BeginPlaying(playing);
        return;
    }
    // Notes of an earlier watch are stale: keys may have gone up or down unseen since.
    user_.Restart();
    user_.BeginPlaying(playing);
    StartWatch();
    // After the watch starts, so that no change between the look and the watch goes unseen.
    for (const ModifierKey& m : kModifierKeys) {
        if (IsDown(m.key)) {
            user_.NoteHeld(m.key);
        }
    }
}

void KeyboardState::EndWatching() {
    user_.EndPlaying();
    if (watches_ > 0 && --watches_ == 0) {
        StopWatch();
    }
}

void KeyboardState::StopWatching() {
    const bool watching = watches_ > 0;
    watches_ = 0;
    if (watching) {
        StopWatch();
    }
}

void KeyboardState::EndHoldingBack() {
    const auto events = user_.EndHoldingBack();
    if (!events.empty()) {
        Deliver(events);
    }
}

} // namespace hkv
