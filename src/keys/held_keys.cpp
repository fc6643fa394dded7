#include "keys/held_keys.h"

#include <algorithm>
#include <utility>

namespace hkv {
namespace {

// Knows of no key: only what the playbacks themselves hold counts as down.
class NoKeyboard final : public KeyboardState {
  public:
    bool IsDown(std::uint8_t) const override { return false; }
};

NoKeyboard g_noKeyboard; // holds nothing back: it never watches

} // namespace

HeldKeys::HeldKeys(KeyOutput& output) : HeldKeys(output, g_noKeyboard) {}

int HeldKeys::ActivePlaybacks() const {
    int active = 0;
    for (const Playback* playback = innermost_; playback; playback = playback->outer_) {
        ++active;
    }
    return active;
}

bool HeldKeys::IsHeld(std::uint8_t virtualKey) const {
    for (const Playback* playback = innermost_; playback; playback = playback->outer_) {
        if (std::any_of(playback->pressed_.begin(), playback->pressed_.end(),
                        [&](std::uint8_t key) { return key != 0 && SameKey(key, virtualKey); })) {
            return true;
        }
    }
    return false;
}

void HeldKeys::ReleaseAll() {
    ReleaseEach(true);
}

void HeldKeys::ReleaseAllAtEnd() {
    ReleaseEach(false);
}

void HeldKeys::ReleaseEach(bool resume) {
    // The innermost playback pressed its keys last. An output may start and finish another
    // playback while it releases; that one is gone again before the walk goes on.
    for (Playback* playback = innermost_; playback; playback = playback->outer_) {
        playback->ReleaseAll(resume);
    }
}

HeldKeys::Playback::Playback(HeldKeys& owner, const KeyCodeList& keys, HotKeySuspension* suspension)
    : owner_(owner), keys_(keys), suspension_(suspension), outer_(owner.innermost_) {
    owner_.innermost_ = this;
}

HeldKeys::Playback::~Playback() {
    ReleaseAll();
    // Playbacks nest, so the one that ends is always the innermost.
    owner_.innermost_ = outer_;
}

bool HeldKeys::Playback::ListHolds(std::int32_t modifierFlag) const {
    const auto* first = keys_.codes.data();
    return std::any_of(first, first + keys_.count,
                       [&](std::uint8_t code) { return ModifierFlagOf(code) == modifierFlag; });
}

void HeldKeys::Playback::SendNeutralKey() {
    owner_.output_.Key(kVkNeutral, false);
    owner_.output_.Key(kVkNeutral, true);
}

bool HeldKeys::Playback::LiftedHere(std::uint8_t key) const {
    return std::find(lifted_.begin(), lifted_.end(), key) != lifted_.end();
}

bool HeldKeys::Playback::DownAfterLift(std::uint8_t key) const {
    if (owner_.IsHeld(key)) {
        return true;
    }
    return owner_.keyboard_.IsDown(key) && !LiftedHere(key) &&
           !(altGrCtrlLifted_ && key == kVkLControl);
}

bool HeldKeys::Playback::CodeDownAfterLift(std::uint8_t code) const {
    if (KeyboardKeyOf(code) == code) {
        return DownAfterLift(code);
    }
    return std::any_of(
        std::begin(kModifierKeys), std::end(kModifierKeys),
        [&](const ModifierKey& m) { return SameKey(code, m.key) && DownAfterLift(m.key); });
}

void HeldKeys::Playback::Begin() {
    KeyboardState& keyboard = owner_.keyboard_;
    // From before the first event to after the last: a key of the user's meanwhile would reach
    // the application with the program's keys down, or without the modifiers the user holds.
    holdingBack_ = true;
    keyboard.BeginHoldingBack(keys_);
    std::size_t count = 0;
    for (const ModifierKey& m : kModifierKeys) {
        // An outer playback's key is its own to release: this one plays inside it, as its pause
        // lets it.
        if (!ListHolds(m.flag) && keyboard.IsDown(m.key) && !owner_.IsHeld(m.key)) {
            lifted_[count++] = m.key;
        }
    }
    // AltGr is right Alt with a left Ctrl the system holds for it and lets go with it.
    altGrCtrlLifted_ = LiftedHere(kVkRMenu) && !LiftedHere(kVkLControl) &&
                       keyboard.RightAltIsAltGr() && keyboard.IsDown(kVkLControl);
    // Before every release, so that none of them is taken for a tap of Alt or Win alone.
    if (std::any_of(lifted_.begin(), lifted_.begin() + count, OpensAMenuAlone)) {
        SendNeutralKey();
    }
    for (std::size_t i = 0; i < count; ++i) {
        keyboard.Lifted(lifted_[i]);
        if (!owner_.output_.Key(lifted_[i], true)) {
            keyboard.LiftRefused(lifted_[i]);
            lifted_[i] = 0;
        }
    }
    if (suspension_) {
        std::int32_t down = 0;
        for (const ModifierKey& m : kModifierKeys) {
            down |= DownAfterLift(m.key) ? m.flag : 0;
        }
        suspended_ = suspension_->Suspend(HotKeysSetOff(keys_, down, suspension_->HotKeys()));
    }
}

void HeldKeys::Playback::Press(int index) {
    const std::uint8_t code = keys_.codes[static_cast<std::size_t>(index)];
    // Down already: the user's or an outer playback's, theirs to release. The record is asked
    // too, because the system's key state may answer late for the program's own keys.
    if (CodeDownAfterLift(code)) {
        return;
    }
    const std::uint8_t key = KeyboardKeyOf(code);
    pressed_[static_cast<std::size_t>(index)] = key;
    userPressesThen_[static_cast<std::size_t>(index)] = owner_.keyboard_.UserPresses(key);
    if (!owner_.output_.Key(key, false)) {
        pressed_[static_cast<std::size_t>(index)] = 0; // refused: nothing to release
    }
}

void HeldKeys::Playback::Release(std::uint8_t key) {
    // Refused, the key would read down for every program until the system takes input again.
    if (!owner_.output_.Key(key, true)) {
        owner_.keyboard_.OweRelease(key);
    }
}

void HeldKeys::Playback::ReleaseAll(bool resume) {
    KeyboardState& keyboard = owner_.keyboard_;
    // Each part is cleared before its events, so that a release of everything reached from inside
    // the output does nothing a second time.
    for (std::size_t k = pressed_.size(); k-- > 0;) {
        if (const std::uint8_t key = std::exchange(pressed_[k], 0)) {
            // Released under the user's finger, it would read up while the user holds it; after
            // the user's own release, it would be released twice. Only the very key counts: the
            // user's right Ctrl does not hold the program's left one.
            if (keyboard.UserPresses(key) == userPressesThen_[k]) {
                Release(key);
            }
        }
    }
    bool opensAMenu = false;
    for (std::uint8_t& lifted : lifted_) {
        const std::uint8_t key = std::exchange(lifted, 0);
        if (key != 0 && keyboard.PutBack(key)) {
            if (owner_.output_.Key(key, false)) {
                opensAMenu = opensAMenu || OpensAMenuAlone(key);
            } else {
                keyboard.PutBackRefused(key);
            }
        }
    }
    altGrCtrlLifted_ = false;
    // After every press, so that the user's own release of any of them opens no menu.
    if (opensAMenu) {
        SendNeutralKey();
    }
    if (const std::uint32_t suspended = std::exchange(suspended_, 0); suspended && resume) {
        suspension_->Resume(suspended);
    }
    if (std::exchange(holdingBack_, false)) {
        keyboard.EndHoldingBack(keys_);
    }
}

} // namespace hkv
