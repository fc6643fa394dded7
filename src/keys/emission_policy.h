#pragma once
// What happens when a row's new hotkey fires: when its old shortcut is played, when a press is
// merged into one already waiting, and when it is dropped.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "keys/held_keys.h"
#include "keys/key_code_list.h"
#include "keys/keyboard_state.h"

namespace hkv {

// A wait that keeps the program answering: window messages (further hotkey presses among them)
// are handled while it lasts (keys/system_keyboard.h in the program).
class ConditionWaiter {
  public:
    virtual ~ConditionWaiter() = default;
    // Waits until done() is true or maxMilliseconds have passed; returns done().
    virtual bool WaitUntil(const std::function<bool()>& done, int maxMilliseconds) = 0;
};

class EmissionPolicy {
  public:
    // A hotkey fires on its main key's key-down while the user still holds its modifiers; a person
    // lets go of them well within this time.
    static constexpr int kModifierReleaseWaitMs = 1000;
    // A row whose old shortcut is itself an enabled hotkey fires again at every emission; nesting
    // is bounded so that it cannot exhaust the stack. Waiting presses count.
    static constexpr int kMaxEmissionsInProgress = 4;

    // Plays through heldKeys, which knows what every emission holds.
    EmissionPolicy(KeyboardState& keyboard, ConditionWaiter& waiter, HeldKeys& heldKeys);

    // Row `row`'s hotkey fired; keyCodeList is the row's old shortcut as it is stored now and
    // hotKeyModifiers the hotkey's own modifier flags (1 Alt, 2 Ctrl, 4 Shift, 8 Win). Parses the
    // list once, waits (handling messages) until the user has let go of every modifier the
    // shortcut does not hold, then plays it; or drops the press (see the definition for when).
    void HotKeyPressed(int row, std::wstring_view keyCodeList, std::int32_t hotKeyModifiers = 0);

    // Emissions in progress, the waiting ones included.
    int InProgress() const { return inProgress_; }

    // The program ends now, possibly inside a wait or a pause: every key an emission holds is
    // released (but those the user holds too), the keyboard is no longer watched, and nothing is
    // played any more.
    void Abandon();

  private:
    bool ForeignModifierDown(const KeyCodeList& shortcut) const;

    KeyboardState& keyboard_;
    ConditionWaiter& waiter_;
    HeldKeys& heldKeys_;
    std::vector<int> waitingRows_;
    int inProgress_ = 0;
    bool abandoned_ = false;
};

} // namespace hkv
