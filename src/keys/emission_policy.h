#pragma once
// What happens when a row's new hotkey fires: its old shortcut is played at once, within a bound
// on nesting.
#include <cstdint>
#include <string_view>

#include "keys/held_keys.h"
#include "keys/hotkey_suspension.h"
#include "keys/keyboard_state.h"
#include "keys/user_keys.h"

namespace hkv {

class EmissionPolicy {
  public:
    // A press during a pause plays inside it, and a press there may nest again; nesting is bounded
    // so that a person's presses (or a held key's repeats where nothing holds them back) cannot
    // exhaust the stack.
    static constexpr int kMaxEmissionsInProgress = 4;

    // Plays through heldKeys, which knows what every emission holds.
    EmissionPolicy(KeyboardState& keyboard, HeldKeys& heldKeys);

    // A row's hotkey fired; keyCodeList is the row's old shortcut as it is stored now. Parses the
    // list once and plays it at once, the user's modifiers that it does not hold lifted for its
    // length and the hotkeys its keys would set off suspended (`suspension`).
    void HotKeyPressed(std::wstring_view keyCodeList, const HotKey& hotKey,
                       HotKeySuspension& suspension);

    // Emissions in progress.
    int InProgress() const { return inProgress_; }

    // The program ends now, possibly inside a pause: every key an emission holds is released (but
    // those the user holds too), every key it lifted that the user holds pressed again, the
    // keyboard is no longer watched, and nothing is played any more.
    void Abandon();

  private:
    KeyboardState& keyboard_;
    HeldKeys& heldKeys_;
    int inProgress_ = 0;
    bool abandoned_ = false;
};

} // namespace hkv
