#include "keys/keyboard_state.h"

#include <utility>

#include "keys/modifier_keys.h"
#include "keys/own_input.h"

namespace hkv {

void KeyboardState::BeginWatching(const HotKey& playing, std::span<const HotKey> own) {
    // Still watching until the user's events sent again are through: this watch goes on from there.
    if (watches_++ > 0 || std::exchange(draining_, false)) {
        user_.BeginPlaying(playing, own);
        return;
    }
    // Notes of an earlier watch are stale: keys may have gone up or down unseen since.
    user_.Restart();
    user_.BeginPlaying(playing, own);
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
        // Everything, hotkeys or not: the program's hotkeys end with it.
        for (auto events = user_.Flush(); !events.empty(); events = user_.Flush()) {
            SendAgain(events);
        }
        // The last chance for releases the system refused: no retry comes after the end.
        RetryRefused();
        StopWatch();
    }
}

void KeyboardState::EndHoldingBack(const KeyCodeList& keys) {
    SendAgain(user_.EndHoldingBack(keys));
}

void KeyboardState::OweRelease(std::uint8_t virtualKey) {
    user_.Owe({virtualKey, true, 0, false, kOwnInputSignature});
    RetryWhileOwed();
}

void KeyboardState::PayOwed() {
    const auto owed = user_.Owed();
    if (!owed.empty()) {
        user_.Paid(Deliver(owed));
    }
}

void KeyboardState::RetryRefused() {
    PayOwed();
    RetryWhileOwed();
    // The user's keys that waited behind the releases go now.
    if (user_.SendAgainDue()) {
        ScheduleSendAgain();
    }
    StopDrainingWhenThrough();
}

void KeyboardState::RetryWhileOwed() {
    if (!user_.Owed().empty()) {
        ScheduleRetry();
    }
}

bool KeyboardState::PutBack(std::uint8_t virtualKey) {
    const bool down = user_.PutBack(virtualKey);
    if (down) {
        AwaitSentAgain(); // should the watch never see it, the user's keys do not wait for ever
    }
    return down;
}

void KeyboardState::TakeOwnKey(const UserKeyEvent& event) {
    user_.TakeOwn(event);
    AfterTake();
}

bool KeyboardState::TakeUserKey(const UserKeyEvent& event, bool insideAnother) {
    const bool heldBack = user_.Take(event, insideAnother);
    if (user_.Full()) {
        // No room to hold back the next one: everything held goes now, in order, this event (held
        // back too) last, behind the releases owed; what comes later follows them.
        PayOwed();
        RetryWhileOwed();
        SendAgain(user_.SendAllHeld());
    }
    AfterTake();
    return heldBack;
}

void KeyboardState::AfterTake() {
    // Not from inside the watch's call: an event sent from there could reach the system ahead of
    // the one being watched, and with the watch ended there, another event brought into that call
    // (Wine's hooks nest) would pass unseen ahead of it.
    if (user_.SendAgainDue() || (draining_ && !user_.Busy())) {
        ScheduleSendAgain();
    }
}

void KeyboardState::SendAgainNow() {
    SendAgain(user_.SendAgain());
    StopDrainingWhenThrough();
}

void KeyboardState::StopWaitingForSentAgain() {
    // The system may have taken the watch's hook away (it does so with a hook that answered too
    // late too often): a watch that sees nothing would hold back nothing.
    Rewatch();
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
    if (events.empty()) {
        return;
    }
    const std::size_t taken = Deliver(events);
    if (taken > 0) {
        AwaitSentAgain();
    }
    if (taken < events.size()) {
        user_.Refused(events, taken);
        RetryWhileOwed();
        // Those will never come through: what waits behind them goes now.
        if (user_.SendAgainDue()) {
            ScheduleSendAgain();
        }
    }
}

} // namespace hkv
