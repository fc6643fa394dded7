#pragma once
// The one record of the keys that playbacks hold down or have lifted, and the one way to let them
// go.
#include <array>
#include <cstdint>
#include <iterator>

#include "keys/hotkey_suspension.h"
#include "keys/key_code_list.h"
#include "keys/key_output.h"
#include "keys/keyboard_state.h"
#include "keys/modifier_keys.h"

namespace hkv {

// Plays to one key output and knows, for every playback in progress (nested ones included), which
// keys are down because that playback pressed them and which of the user's modifier keys it
// lifted. Made once where the program is put together and handed to whoever must let the keys go:
// the end of the program (exit, signing out, a fault) and the start of a modal loop (a window
// drag, a menu, a message box), during which a paused playback would hold its keys down, and hold
// back the user's, for as long as the user takes.
class HeldKeys {
  public:
    class Playback;

    // The keyboard tells the keys that are down already and those the user holds: a playback
    // neither presses nor releases a key that is down when it plays (the user's, or an outer
    // playback's), and leaves down a key it pressed that the user pressed too meanwhile, so that
    // the system's key state stays what the user's fingers hold.
    HeldKeys(KeyOutput& output, KeyboardState& keyboard) : output_(output), keyboard_(keyboard) {}
    // Without a keyboard: no key is down but those its own playbacks hold (the player alone).
    explicit HeldKeys(KeyOutput& output);
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    KeyOutput& Output() const { return output_; }

    // Playbacks in progress, nested ones included.
    int ActivePlaybacks() const;

    // Whether a playback in progress holds this key down right now (the code for both sides asks
    // for either).
    bool IsHeld(std::uint8_t virtualKey) const;

    // Ends every playback in progress as its own end would (but for the pause): the keys they hold
    // are released (but those the user holds too), the lifted keys the user still holds are pressed
    // again, suspended hotkeys registered again, held-back keys sent; the innermost playback first,
    // each playback's keys in reverse order. The interrupted playbacks then do nothing twice.
    void ReleaseAll();
    // The same at the end of the program, when its hotkeys go with it: nothing is registered again.
    // Allocates nothing and takes no lock, so that the fault handler may call it.
    void ReleaseAllAtEnd();

  private:
    void ReleaseEach(bool resume);

    KeyOutput& output_;
    KeyboardState& keyboard_;
    Playback* innermost_ = nullptr; // a press during a pause nests: they end in reverse order
};

// One playback's hold on the keys of its list, for as long as it runs. It lives on the player's
// stack; whatever it still holds or lifted when it ends, however it ends, is let go.
class HeldKeys::Playback {
  public:
    // `suspension`, if any, knows the program's hotkeys that its keys must not set off.
    Playback(HeldKeys& owner, const KeyCodeList& keys, HotKeySuspension* suspension = nullptr);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Before the first key: from here to the last release the user's key events are held back;
    // the modifier keys the user holds that the list does not hold are lifted (released), so that
    // the application receives the list alone; the program's hotkeys that its keys would set off,
    // with what is down after the lift, are suspended.
    void Begin();
    // Presses key `index` of the list, recorded as held before the event: a release of everything
    // during the event must release this key too. A key that is down already, after the lift, is
    // not pressed.
    void Press(int index);
    // Releases the keys it still holds, the last pressed first (those the user pressed too are
    // the user's, no longer held); presses again the lifted keys the user still holds; registers
    // the suspended hotkeys again; sends the held-back keys.
    void ReleaseAll(bool resume = true);

  private:
    friend class HeldKeys;

    bool ListHolds(std::int32_t modifierFlag) const;
    bool LiftedHere(std::uint8_t key) const;
    // Whether the key is down once the lift is through: a lifted key is not, nor AltGr's left
    // Ctrl when right Alt was lifted (the system lets it go too), whatever the key state still
    // answers.
    bool DownAfterLift(std::uint8_t key) const;
    // The same for a code of the list, the code for both sides naming either.
    bool CodeDownAfterLift(std::uint8_t code) const;
    void Release(std::uint8_t key);
    // A key event between an Alt or Win key's press and its release (keys/modifier_keys.h).
    void SendNeutralKey();

    HeldKeys& owner_;
    const KeyCodeList keys_;
    HotKeySuspension* const suspension_;
    // The key this playback pressed for each entry of the list (the keyboard's key for the code),
    // 0 for none.
    std::array<std::uint8_t, kMaxShortcutKeys> pressed_{};
    // The user's presses of each such key when this playback pressed it.
    std::array<std::uint16_t, kMaxShortcutKeys> userPressesThen_{};
    // The user's modifier keys this playback lifted, 0 for none.
    std::array<std::uint8_t, std::size(kModifierKeys)> lifted_{};
    std::uint32_t suspended_ = 0;
    bool holdingBack_ = false;
    bool altGrCtrlLifted_ = false;
    Playback* const outer_;
};

} // namespace hkv
