#pragma once
// The one record of the keys that playbacks hold down, and the one way to let them go.
#include <array>
#include <cstdint>

#include "keys/key_code_list.h"
#include "keys/key_output.h"
#include "keys/keyboard_state.h"

namespace hkv {

// Plays to one key output and knows, for every playback in progress (nested ones included), which
// of its keys are down because that playback pressed them. Made once where the program is put
// together and handed to whoever must let the keys go: the end of the program (exit, signing out,
// a fault) and the start of a modal loop (a window drag, a menu, a message box), during which a
// paused playback would hold its keys down for as long as the user takes.
class HeldKeys {
  public:
    class Playback;

    // The keyboard tells the keys that are down already and those the user holds: a playback
    // neither presses nor releases a key that is down when it plays (the user's, or an outer
    // playback's), and leaves down a key it pressed that the user pressed too meanwhile, so that
    // the system's key state stays what the user's fingers hold.
    HeldKeys(KeyOutput& output, const KeyboardState& keyboard)
        : output_(output), keyboard_(keyboard) {}
    // Without a keyboard: no key is down but those its own playbacks hold (the player alone).
    explicit HeldKeys(KeyOutput& output);
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    KeyOutput& Output() const { return output_; }

    // Playbacks in progress, nested ones included.
    int ActivePlaybacks() const;

    // Whether a playback in progress holds this key down right now.
    bool IsHeld(std::uint8_t virtualKey) const;

    // Releases every key a playback in progress holds (but those the user holds too): the
    // innermost playback's first, each playback's in reverse order. The interrupted playbacks then
    // release nothing twice. Allocates nothing and takes no lock, so that the fault handler may
    // call it.
    void ReleaseAll();

  private:
    KeyOutput& output_;
    const KeyboardState& keyboard_;
    Playback* innermost_ = nullptr; // a press during a pause nests: they end in reverse order
};

// One playback's hold on the keys of its list, for as long as it runs. It lives on the player's
// stack; whatever it still holds when it ends, however it ends, is released.
class HeldKeys::Playback {
  public:
    Playback(HeldKeys& owner, const KeyCodeList& keys);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Presses key `index` of the list, recorded as held before the event: a release of everything
    // during the event must release this key too. A key that is down already is not pressed.
    void Press(int index);
    // Releases the keys it still holds, the last pressed first; those the user holds too are
    // left down, no longer held.
    void ReleaseAll();

  private:
    friend class HeldKeys;

    HeldKeys& owner_;
    const KeyCodeList keys_;
    // Which keys of the list are down because this playback pressed them.
    std::array<bool, kMaxShortcutKeys> down_{};
    Playback* const outer_;
};

} // namespace hkv
