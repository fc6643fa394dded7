#pragma once
// What the program knows of the keyboard: the keys the system believes are down, which of them
// the user's own fingers hold, and the user's key events held back while a playback plays.
#include <cstdint>
#include <span>

#include "keys/user_keys.h"

namespace hkv {

// In the program the system's asynchronous key state and a low-level hook that watches the user's
// key events (keys/system_keyboard.h); a model of the keyboard in tests. The watching itself, what
// it notes and what it holds back, is the same for both (keys/user_keys.h).
class KeyboardState {
  public:
    virtual ~KeyboardState() = default;

    // Whether the system believes the key is down now: the user's keys and the program's own alike
    // (synthetic key events change the key state like real ones). A code for one side asks for
    // that side alone, the code for both sides for either.
    virtual bool IsDown(std::uint8_t virtualKey) const = 0;

    // A hotkey with these modifier flags just fired (before its watch begins).
    virtual void HotKeyFired(std::int32_t /*modifierFlags*/) {}

    // Whether the keyboard layout makes right Alt AltGr: the system then holds a left Ctrl with it
    // and lets it go with it, also when the program releases right Alt.
    virtual bool RightAltIsAltGr() const { return false; }

    // How often the user has pressed the key since the watch began, each side a key of its own. A
    // key a playback pressed that the user then presses too is the user's: the playback must not
    // release it, under the user's finger or after the user's own release.
    std::uint16_t UserPresses(std::uint8_t virtualKey) const { return user_.Presses(virtualKey); }

    // An emission of `playing` watches the keyboard from its hotkey until it has played; `own` are
    // the program's registered hotkeys then. Watches nest (a press during a pause); the outermost
    // one's end ends the watching, once the user's events sent again have come through. The
    // outermost begins afresh: what the user holds then is what the system has down of the
    // modifier keys.
    void BeginWatching(const HotKey& playing, std::span<const HotKey> own = {});
    void EndWatching();
    // The program ends, possibly inside emissions whose watches will never end: stop now.
    void StopWatching();

    // A playback of `keys` is about to press its first key (or lift the user's modifier keys):
    // from now until its EndHoldingBack the user's key events wait, so that none reaches an
    // application with the program's keys down or without the modifiers the user holds, or sets
    // off nothing.
    void BeginHoldingBack(const KeyCodeList& keys) { user_.BeginHoldingBack(keys); }
    void Lifted(std::uint8_t virtualKey) { user_.Lifted(virtualKey); }
    void LiftRefused(std::uint8_t virtualKey) { user_.LiftRefused(virtualKey); }
    // Whether to press the lifted key again; if so, the user's events wait until that press has
    // come through the watch (PutBackRefused if the system refuses it).
    bool PutBack(std::uint8_t virtualKey);
    void PutBackRefused(std::uint8_t virtualKey) { user_.PutBackRefused(virtualKey); }
    // Sends the held-back events again, as the user's own, once the last holding back has ended.
    void EndHoldingBack(const KeyCodeList& keys);
    // The system refused the program's release of this key: sent again until it takes it.
    void OweRelease(std::uint8_t virtualKey);

  protected:
    // The watch's own part: the hook that feeds TakeUserKey, installed and removed, and installed
    // afresh when the system may have removed it.
    virtual void StartWatch() {}
    virtual void StopWatch() {}
    virtual void Rewatch() {}
    // Sends the events to the system, in order, as they came (the user's again, or a release
    // owed): the watch takes them like any other. Returns how many the system took: the first
    // ones, as SendInput does; it refuses input for an elevated window in front, a secure desktop
    // (sign-in, a consent prompt).
    virtual std::size_t Deliver(std::span<const UserKeyEvent> events) { return events.size(); }
    // The user's events just sent again should come through within a few milliseconds: if they do
    // not, StopWaitingForSentAgain.
    virtual void AwaitSentAgain() {}
    // Releases are owed: RetryRefused later, when the system may take input again.
    virtual void ScheduleRetry() {}
    void RetryRefused();

    // A key event of the user's (not the program's own) seen by the watch: true when the system
    // must not see it now (`insideAnother`: see UserKeys::Take). Once the events sent again are
    // through, what waited behind them is due, and a watch kept only for them may end:
    // ScheduleSendAgain asks for SendAgainNow outside the watch's own call.
    bool TakeUserKey(const UserKeyEvent& event, bool insideAnother = false);
    // One of the program's own key events seen by the watch.
    void TakeOwnKey(const UserKeyEvent& event);
    virtual void ScheduleSendAgain() { SendAgainNow(); }
    void SendAgainNow();
    // Events sent again that never come through (another hook swallowed them, or the system
    // removed the watch's hook) must not keep the user's later keys waiting: the watch stops
    // waiting for them, sends what waits behind them and ends if it was only waiting.
    void StopWaitingForSentAgain();
    bool Watching() const { return watches_ > 0; }

  private:
    void SendAgain(std::span<const UserKeyEvent> events);
    void PayOwed();
    void RetryWhileOwed();
    // The watch was kept only for the user's events sent again: it ends once they are through.
    void StopDrainingWhenThrough();
    void AfterTake();

    int watches_ = 0;
    bool draining_ = false; // no watch left, but the user's events sent again are not through yet
    UserKeys user_;
};

} // namespace hkv
