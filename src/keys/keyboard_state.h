#pragma once
// What the program knows of the keyboard: the keys the system believes are down, and which of
// them the user's own hands hold.
#include <cstdint>

namespace hkv {

// In the program the system's asynchronous key state and a low-level hook that watches the user's
// key events (keys/system_keyboard.h); a model of the keyboard in tests.
class KeyboardState {
  public:
    virtual ~KeyboardState() = default;

    // Whether the system believes the key is down: the user's keys and the program's own alike
    // (synthetic key events change the key state like real ones).
    virtual bool IsDown(std::uint8_t virtualKey) const = 0;

    // A hotkey just fired, so its modifier keys were down a moment ago, whatever a state that
    // lags behind the keyboard may still say.
    virtual void HeldWhenHotKeyFired(std::uint8_t /*virtualKey*/) {}

    // Whether the user holds the key, as seen while the keyboard is watched: the user pressed it
    // (not the program) and has not let go of it since. A key a playback pressed that the user
    // then presses too is the user's: the playback must not release it under the user's finger.
    virtual bool UserHolds(std::uint8_t /*virtualKey*/) const { return false; }

    // An emission watches the keyboard from its hotkey until it has played or was dropped. Watches
    // nest (a press during a pause); the outermost one's end ends the watching.
    virtual void BeginWatching() {}
    virtual void EndWatching() {}
    // The program ends, possibly inside emissions whose watches will never end: stop now.
    virtual void StopWatching() {}
};

} // namespace hkv
