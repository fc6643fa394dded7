#include "keys/user_keys.h"

#include <algorithm>
#include <utility>

#include "keys/modifier_keys.h"
#include "keys/own_input.h"

namespace hkv {

void UserKeys::Restart() {
    fingers_.fill(false);
    inSystem_.fill(false);
    presses_.fill(0);
    lifted_.fill(false);
    putBack_.fill(false);
    puttingBack_.reset();
    needed_.fill(0);
    ownHotKeyKeys_.fill(false);
    heldBackCount_ = 0;
    holdingBack_ = 0;
    sentHead_ = sentCount_ = 0;
    overflowed_ = false;
    playingCount_ = 0;
}

std::int32_t UserKeys::ModifierFlags() const {
    std::int32_t flags = 0;
    for (const ModifierKey& m : kModifierKeys) {
        flags |= fingers_[m.key] ? m.flag : 0;
    }
    for (std::uint8_t both : {kVkShift, kVkControl, kVkMenu}) {
        flags |= fingers_[both] ? ModifierFlagOf(both) : 0;
    }
    return flags;
}

bool UserKeys::RepeatOfPlayingHotKey(const UserKeyEvent& event) const {
    const auto* end = playing_.data() + std::min(playingCount_, kMaxPlaying);
    return !event.up && fingers_[event.vk] &&
           std::any_of(playing_.data(), end, [&](const HotKey& hotKey) {
               return hotKey.key == event.vk && hotKey.modifiers == ModifierFlags();
           });
}

bool UserKeys::Needed(std::uint8_t vk) const {
    return needed_[vk] > 0;
}

bool UserKeys::Take(const UserKeyEvent& event, bool insideAnother) {
    if (ComesThrough(event)) {
        // One of those sent again: noted when it was first taken, it reaches the system now.
        Reached(event);
        return false;
    }
    if (event.lateCall) {
        return TakeLate(event);
    }
    const bool repeatOfPlayingHotKey = RepeatOfPlayingHotKey(event);
    if (event.up && !fingers_[event.vk]) {
        inSystem_[event.vk] = true; // pressed before the watch began, so it reached the system
    }
    fingers_[event.vk] = !event.up;
    if (!event.up) {
        // Pressed again, the key is the user's: a release still owed would let go of it under the
        // user's finger.
        Forgive(event.vk);
    }
    // Releases owed come before the user's presses, which would reach the system with those keys
    // still down; a release reads the same whatever else is down, so it need not wait for them.
    const bool onlyOwedAhead = !insideAnother && !Waiting() && heldBackCount_ == 0;
    const bool nothingWaits = onlyOwedAhead && owedCount_ == 0;
    if (!HoldingBack()) {
        if (nothingWaits || (event.up && onlyOwedAhead)) {
            // A playback that ran out of room may still have lifted this key: let go of now, it
            // is not pressed again.
            putBack_[event.vk] = putBack_[event.vk] && !event.up;
            Reached(event);
            return false;
        }
        // Behind events sent again that have not come through yet: it must not overtake them.
        return Queue(event);
    }
    if (event.up && lifted_[event.vk] && onlyOwedAhead) {
        putBack_[event.vk] = false; // up in the system already, and nothing waits that needs it
        return true;
    }
    // A release whose press reached the system earlier goes through, unless a playback plays
    // with that key down: held back, a release could be lost for good (the system refusing it
    // when sent again), and the key would read down for every program.
    if (event.up && onlyOwedAhead && inSystem_[event.vk] && !Needed(event.vk)) {
        Reached(event);
        return false;
    }
    // A held hotkey repeats: played again for each repeat that came during its own playback, it
    // would go on playing long after the user let go. A new press (after a release) is played.
    if (repeatOfPlayingHotKey) {
        return true;
    }
    return Queue(event);
}

bool UserKeys::TakeLate(const UserKeyEvent& event) {
    fingers_[event.vk] = !event.up;
    if (event.up) {
        putBack_[event.vk] = false; // let go of: a lifted key is not pressed again
    } else {
        Forgive(event.vk);
        lifted_[event.vk] = putBack_[event.vk] = false; // down again, the user's, as it is
    }
    // Ahead of earlier events of its key, still held back or on their way, it would be undone
    // when they arrive (a release ahead of its press leaves the key down): it follows them too.
    // Not a press that types: sent twice, it would type twice; the key then reads up under the
    // finger until it repeats, and none is left down.
    const bool harmlessTwice = event.up || ModifierFlagOf(event.vk) != 0;
    if (harmlessTwice && KeyOnItsWay(event.vk) && !Full()) {
        Queue(event);
    }
    Reached(event);
    return false;
}

bool UserKeys::KeyOnItsWay(std::uint8_t vk) const {
    const auto ofKey = [&](const UserKeyEvent& e) { return e.vk == vk; };
    if (std::any_of(heldBack_.begin(),
                    heldBack_.begin() + static_cast<std::ptrdiff_t>(heldBackCount_), ofKey)) {
        return true;
    }
    for (std::size_t i = 0; i < sentCount_; ++i) {
        if (ofKey(sent_[(sentHead_ + i) % kMaxSentAgain])) {
            return true;
        }
    }
    return false;
}

bool UserKeys::ComesThrough(const UserKeyEvent& event) {
    if (!event.injected || sentCount_ == 0) {
        return false;
    }
    const UserKeyEvent& oldest = sent_[sentHead_];
    const bool same = oldest.vk == event.vk && oldest.up == event.up &&
                      oldest.extraInfo == event.extraInfo && oldest.unicode == event.unicode &&
                      (!event.unicode || oldest.scanCode == event.scanCode);
    if (same) {
        sentHead_ = (sentHead_ + 1) % kMaxSentAgain;
        --sentCount_;
    }
    return same;
}

void UserKeys::TakeOwn(const UserKeyEvent& event) {
    if (event.up || puttingBack_.none()) {
        return;
    }
    // Only modifier keys are lifted, and a hook may report one the program pressed by the other
    // side's code or by the code for both sides.
    const std::int32_t flag = ModifierFlagOf(event.vk);
    for (const ModifierKey& m : kModifierKeys) {
        if (flag != 0 && m.flag == flag) {
            puttingBack_.reset(m.key);
        }
    }
}

bool UserKeys::Queue(const UserKeyEvent& event) {
    // Never full here: the watch sends everything held as soon as the room is used up.
    if (Full()) {
        Reached(event);
        return false;
    }
    heldBack_[heldBackCount_++] = event;
    return true;
}

void UserKeys::Reached(const UserKeyEvent& event) {
    // Counted as it reaches the system: a press held back is sent again after the playback has
    // let its keys go, and takes the key over then.
    presses_[event.vk] = static_cast<std::uint16_t>(presses_[event.vk] + (event.up ? 0 : 1));
    inSystem_[event.vk] = !event.up;
}

std::span<const UserKeyEvent> UserKeys::SendAgain() {
    if (!SendAgainDue()) {
        return {};
    }
    // Up to a press that may fire one of the program's hotkeys: its playback must begin before
    // what follows reaches the system, or that would arrive ahead of the shortcut, or with its
    // keys down.
    std::size_t count = 0;
    while (count < heldBackCount_) {
        const UserKeyEvent& event = heldBack_[count++];
        if (!event.up && ownHotKeyKeys_[event.vk]) {
            break;
        }
    }
    return Dispatch(count);
}

std::span<const UserKeyEvent> UserKeys::SendAllHeld() {
    overflowed_ = holdingBack_ > 0;
    return Dispatch(heldBackCount_);
}

std::span<const UserKeyEvent> UserKeys::Dispatch(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        batch_[i] = heldBack_[i];
        if (sentCount_ == kMaxSentAgain) { // the oldest is not waited for any more
            sentHead_ = (sentHead_ + 1) % kMaxSentAgain;
            --sentCount_;
        }
        sent_[(sentHead_ + sentCount_++) % kMaxSentAgain] = heldBack_[i];
    }
    std::move(heldBack_.begin() + static_cast<std::ptrdiff_t>(count),
              heldBack_.begin() + static_cast<std::ptrdiff_t>(heldBackCount_), heldBack_.begin());
    heldBackCount_ -= count;
    return {batch_.data(), count};
}

std::span<const UserKeyEvent> UserKeys::Flush() {
    sentHead_ = sentCount_ = 0;
    puttingBack_.reset();
    return SendAgain();
}

void UserKeys::Refused(std::span<const UserKeyEvent> sent, std::size_t taken) {
    // The last ones sent: they never come through.
    sentCount_ -= std::min(sent.size() - taken, sentCount_);
    for (std::size_t i = taken; i < sent.size(); ++i) {
        if (sent[i].up) {
            // Owed even where the system may have the key up already (its press sent again and
            // not seen through): a release too many changes nothing. Marked as the program's: by
            // now it mends the system's key state rather than repeating what the user typed.
            UserKeyEvent release = sent[i];
            release.extraInfo = kOwnInputSignature;
            Owe(release);
        } else {
            // Pressed again by the user: the key the system still has down is the user's.
            Forgive(sent[i].vk);
        }
    }
}

void UserKeys::Forgive(std::uint8_t vk) {
    const auto end = owed_.begin() + static_cast<std::ptrdiff_t>(owedCount_);
    owedCount_ = static_cast<std::size_t>(
        std::remove_if(owed_.begin(), end,
                       [&](const UserKeyEvent& owed) { return owed.vk == vk; }) -
        owed_.begin());
}

void UserKeys::Owe(const UserKeyEvent& release) {
    const auto end = owed_.begin() + static_cast<std::ptrdiff_t>(owedCount_);
    if (owedCount_ < owed_.size() && std::none_of(owed_.begin(), end, [&](const UserKeyEvent& e) {
            return e.vk == release.vk;
        })) {
        owed_[owedCount_++] = release;
    }
}

void UserKeys::Paid(std::size_t taken) {
    taken = std::min(taken, owedCount_);
    for (std::size_t i = 0; i < taken; ++i) {
        inSystem_[owed_[i].vk] = false;
    }
    std::move(owed_.begin() + static_cast<std::ptrdiff_t>(taken),
              owed_.begin() + static_cast<std::ptrdiff_t>(owedCount_), owed_.begin());
    owedCount_ -= taken;
}

void UserKeys::BeginPlaying(const HotKey& hotKey, std::span<const HotKey> own) {
    if (playingCount_ < kMaxPlaying) {
        playing_[playingCount_] = hotKey;
    }
    ++playingCount_;
    for (const HotKey& h : own) {
        ownHotKeyKeys_[h.key] = ownHotKeyKeys_[h.key] || h.key != 0;
    }
}

void UserKeys::EndPlaying() {
    playingCount_ -= playingCount_ > 0 ? 1 : 0;
}

void UserKeys::BeginHoldingBack(const KeyCodeList& keys) {
    ++holdingBack_;
    CountNeeded(keys, 1);
}

void UserKeys::CountNeeded(const KeyCodeList& keys, int change) {
    auto count = [&](std::uint8_t vk) {
        needed_[vk] = static_cast<std::uint8_t>(std::max(needed_[vk] + change, 0));
    };
    for (int i = 0; i < keys.count; ++i) {
        const std::uint8_t code = keys.codes[static_cast<std::size_t>(i)];
        count(code);
        // A modifier's other names: the code for both sides names either, and a hook may report
        // either side's key by the code for both (an injected one).
        for (const ModifierKey& m : kModifierKeys) {
            if (m.key != code && SameKey(code, m.key)) {
                count(m.key);
            }
        }
        for (std::uint8_t both : {kVkShift, kVkControl, kVkMenu}) {
            if (both != code && SameKey(code, both)) {
                count(both);
            }
        }
    }
}

void UserKeys::Lifted(std::uint8_t vk) {
    // Not taken as held: down in the system, it may be a key an earlier playback put back whose
    // release by the user still waits.
    lifted_[vk] = true;
    putBack_[vk] = true;
}

bool UserKeys::PutBack(std::uint8_t vk) {
    const bool down = lifted_[vk] && putBack_[vk];
    lifted_[vk] = putBack_[vk] = false;
    if (down) {
        puttingBack_.set(vk);
    }
    return down;
}

std::span<const UserKeyEvent> UserKeys::EndHoldingBack(const KeyCodeList& keys) {
    if (holdingBack_ == 0) {
        return {};
    }
    CountNeeded(keys, -1);
    if (--holdingBack_ > 0) {
        return {};
    }
    overflowed_ = false;
    lifted_.fill(false);
    putBack_.fill(false);
    return SendAgain();
}

} // namespace hkv
