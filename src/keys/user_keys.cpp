#include "keys/user_keys.h"

#include <algorithm>
#include <utility>

#include "keys/modifier_keys.h"
#include "keys/own_input.h"

namespace hkv {

void UserKeys::Restart() {
    fingers_.fill(false);
    presses_.fill(0);
    lifted_.fill(false);
    putBack_.fill(false);
    heldBackCount_ = 0;
    holdingBack_ = 0;
    sendingAgain_ = 0;
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

bool UserKeys::Take(const UserKeyEvent& event) {
    if (event.extraInfo == kSentAgainSignature) {
        // One of those sent again comes through: noted when it was first taken, it reaches the
        // system now.
        CountPress(event);
        sendingAgain_ -= sendingAgain_ > 0 ? 1 : 0;
        return false;
    }
    const bool repeatOfPlayingHotKey = RepeatOfPlayingHotKey(event);
    fingers_[event.vk] = !event.up;
    if (holdingBack_ == 0 && sendingAgain_ == 0 && heldBackCount_ == 0) {
        CountPress(event);
        return false;
    }
    if (holdingBack_ == 0) {
        // Behind events sent again that have not come through yet: it must not overtake them.
        return Queue(event);
    }
    if (event.up && lifted_[event.vk] && heldBackCount_ == 0) {
        putBack_[event.vk] = false; // up in the system already, and nothing waits that needs it
        return true;
    }
    // A held hotkey repeats: played again for each repeat that came during its own playback, it
    // would go on playing long after the user let go. A new press (after a release) is played.
    if (repeatOfPlayingHotKey) {
        return true;
    }
    return Queue(event);
}

bool UserKeys::Queue(const UserKeyEvent& event) {
    if (heldBackCount_ == heldBack_.size()) {
        CountPress(event);
        return false;
    }
    heldBack_[heldBackCount_++] = event;
    return true;
}

void UserKeys::CountPress(const UserKeyEvent& event) {
    // Counted as it reaches the system: a press held back is sent again after the playback has
    // let its keys go, and takes the key over then.
    presses_[event.vk] = static_cast<std::uint16_t>(presses_[event.vk] + (event.up ? 0 : 1));
}

std::span<const UserKeyEvent> UserKeys::SendAgain() {
    if (holdingBack_ > 0 || sendingAgain_ > 0 || heldBackCount_ == 0) {
        return {};
    }
    sending_ = heldBack_;
    const std::size_t count = std::exchange(heldBackCount_, 0);
    for (std::size_t i = 0; i < count; ++i) {
        sending_[i].extraInfo = kSentAgainSignature;
    }
    sendingAgain_ = count;
    return {sending_.data(), count};
}

std::span<const UserKeyEvent> UserKeys::Flush() {
    sendingAgain_ = 0;
    return SendAgain();
}

void UserKeys::BeginPlaying(const HotKey& hotKey) {
    if (playingCount_ < kMaxPlaying) {
        playing_[playingCount_] = hotKey;
    }
    ++playingCount_;
}

void UserKeys::EndPlaying() {
    playingCount_ -= playingCount_ > 0 ? 1 : 0;
}

void UserKeys::Lifted(std::uint8_t vk) {
    fingers_[vk] = true;
    lifted_[vk] = true;
    putBack_[vk] = true;
}

bool UserKeys::PutBack(std::uint8_t vk) {
    const bool down = lifted_[vk] && putBack_[vk];
    lifted_[vk] = putBack_[vk] = false;
    return down;
}

std::span<const UserKeyEvent> UserKeys::EndHoldingBack() {
    if (holdingBack_ == 0 || --holdingBack_ > 0) {
        return {};
    }
    lifted_.fill(false);
    putBack_.fill(false);
    return SendAgain();
}

} // namespace hkv
