#include "keys/held_keys.h"

namespace hkv {
namespace {

// Knows of no key: only what the playbacks themselves hold counts as down.
class NoKeyboard final : public KeyboardState {
  public:
    bool IsDown(std::uint8_t) const override { return false; }
};

const NoKeyboard kNoKeyboard;

} // namespace

HeldKeys::HeldKeys(KeyOutput& output) : HeldKeys(output, kNoKeyboard) {}

int HeldKeys::ActivePlaybacks() const {
    int active = 0;
    for (const Playback* playback = innermost_; playback; playback = playback->outer_) {
        ++active;
    }
    return active;
}

bool HeldKeys::IsHeld(std::uint8_t virtualKey) const {
    for (const Playback* playback = innermost_; playback; playback = playback->outer_) {
        for (int k = 0; k < playback->keys_.count; ++k) {
            if (playback->down_[static_cast<std::size_t>(k)] &&
                playback->keys_.codes[static_cast<std::size_t>(k)] == virtualKey) {
                return true;
            }
        }
    }
    return false;
}

void HeldKeys::ReleaseAll() {
    // The innermost playback pressed its keys last. An output may start and finish another
    // playback while it releases; that one is gone again before the walk goes on.
    for (Playback* playback = innermost_; playback; playback = playback->outer_) {
        playback->ReleaseAll();
    }
}

HeldKeys::Playback::Playback(HeldKeys& owner, const KeyCodeList& keys)
    : owner_(owner), keys_(keys), outer_(owner.innermost_) {
    owner_.innermost_ = this;
}

HeldKeys::Playback::~Playback() {
    ReleaseAll();
    // Playbacks nest, so the one that ends is always the innermost.
    owner_.innermost_ = outer_;
}

void HeldKeys::Playback::Press(int index) {
    const auto k = static_cast<std::size_t>(index);
    const std::uint8_t key = keys_.codes[k];
    // Down already: the user's or an outer playback's, theirs to release. The record is asked
    // too, because the system's key state may answer late for the program's own keys.
    if (owner_.IsHeld(key) || owner_.keyboard_.IsDown(key)) {
        return;
    }
    down_[k] = true;
    owner_.output_.Key(key, false);
}

void HeldKeys::Playback::ReleaseAll() {
    for (std::size_t k = down_.size(); k-- > 0;) {
        if (down_[k]) {
            // Cleared before the event, so a release of everything reached from inside the
            // output cannot release this key a second time.
            down_[k] = false;
            // Released under the user's finger, it would read up while the user holds it.
            if (!owner_.keyboard_.UserHolds(keys_.codes[k])) {
                owner_.output_.Key(keys_.codes[k], true);
            }
        }
    }
}

} // namespace hkv
