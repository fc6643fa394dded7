#include "keys/keyboard_state.h"

#include <utility>

#include "keys/modifier_keys.h"

namespace hkv {

void KeyboardState::BeginWatching(const HotKey& playing) {
    // Still watching until the user's events sent again are through: this watch goes on from there.
    if (watches_++ > 0 || std::exchange(draining_, false)) {
        user_.BeginPlaying(playing);
        return;
    }
    // Notes of an earlier watch are stale: keys may have gone up or down unseen since.
    user_.Restart();
    user_.BeginPlaying(playing);
    StartWatch();
    // After the watch starts, so that no change between the look and the watch goes unseen. Not
    // the hotkey's own key: its release may already be on its way, unseen, and a new press taken
    // for a repeat would be lost; its first repeat, if any, plays once more.
    for (const ModifierKey& m : kModifierKeys) {
        if (IsDown(m.key)) {
            user_.NoteHeld(m.key);
        }
    }
}

void KeyboardState::EndWatching() {
    user_.EndPlaying();
    if (watches_ > 0 && --watches_ == 0) {
        if (user_.Busy()) {
            draining_ = true; // the user's events sent again must come through first
            return;
        }
        StopWatch();
    }
}

void KeyboardState::StopWatching() {
    const bool watching = watches_ > 0 || draining_;
    watches_ = 0;
    draining_ = false;
    if (watching) {
        SendAgain(user_.Flush());
        StopWatch();
    }
}

void KeyboardState::EndHoldingBack() {
    SendAgain(user_.EndHoldingBack());
}

bool KeyboardState::TakeUserKey(const UserKeyEvent& event) {
    const bool heldBack = user_.Take(event);
    if (user_.SendAgainDue()) {
        ScheduleSendAgain();
    }
    StopDrainingWhenThrough();
    return heldBack;
}

void KeyboardState::SendAgainNow() {
    SendAgain(user_.SendAgain());
    StopDrainingWhenThrough();
}

void KeyboardState::StopWaitingForSentAgain() {
    SendAgain(user_.Flush());
    StopDrainingWhenThrough();
}

void KeyboardState::StopDrainingWhenThrough() {
    if (draining_ && !user_.Busy()) {
        draining_ = false;
        StopWatch();
    }
}

void KeyboardState::SendAgain(std::span<const UserKeyEvent> events) {
    if (!events.empty()) {
        Deliver(events);
    }
}

} // namespace hkv
