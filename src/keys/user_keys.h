#pragma once
// What the user's fingers hold, as the watch of the keyboard sees it, and the user's key events
// that are held back while a playback plays.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>

#include "keys/hotkey.h"
#include "keys/key_code_list.h"

namespace hkv {

// One key event of the user's as a low-level hook reports it: enough to send it again unchanged.
struct UserKeyEvent {
    std::uint8_t vk = 0;
    bool up = false;
    std::uint16_t scanCode = 0; // for a Unicode packet, its character
    bool extended = false;
    std::uintptr_t extraInfo = 0;
    // A character typed without a key (an on-screen keyboard, a typing tool, a touch keyboard):
    // its key is the packet code and the character stands in the scan code.
    bool unicode = false;
    // Sent by a program (the system marks it so), as the events the watch sends again are.
    bool injected = false;
    // The watch is asked about it only after the system stopped waiting for its answer: the
    // system has passed it on already, whatever the watch answers.
    bool lateCall = false;
};

class UserKeys {
  public:
    // While a playback plays the user's keys wait: within one pause (up to 200 ms) a person types
    // a handful of keys and a held key repeats a few times. Should more come (a typing tool), the
    // held ones are sent at once, in order, and the later ones follow them.
    static constexpr std::size_t kMaxHeldBack = 64;
    // The events sent again that the watch still expects: one full batch sent while another is
    // on its way. Should even more be outstanding, the oldest are no longer waited for.
    static constexpr std::size_t kMaxSentAgain = 2 * kMaxHeldBack;
    // Emissions in progress at the same time that are told apart (nested ones inside pauses);
    // the policy allows fewer.
    static constexpr std::size_t kMaxPlaying = 8;

    // A new watch: nothing known of an earlier one counts. The caller notes the keys the system
    // has down now (NoteHeld). Releases the system refused stay owed.
    void Restart();
    void NoteHeld(std::uint8_t vk) { fingers_[vk] = inSystem_[vk] = true; }

    // The modifier flags of the keys the user holds.
    std::int32_t ModifierFlags() const;
    // How often a press of the user's has reached the system since the watch began (wrapping): a
    // playback that pressed a key leaves it to the user once the user presses it too, held or let
    // go since.
    std::uint16_t Presses(std::uint8_t vk) const { return presses_[vk]; }

    // A key event of the user's reaches the watch. Returns true when the system must not see it
    // now: it is held back (or was a repeat of the hotkey that is playing, which adds nothing, or
    // the release of a lifted key before anything else, which only means not to press it again).
    // `insideAnother`: the watch is asked about it while it still answers for another event, which
    // then reaches the system after this one (Wine's hooks nest so; the system's do not): it is
    // held back too, or a release could overtake the press before it.
    bool Take(const UserKeyEvent& event, bool insideAnother = false);
    // One of the program's own key events comes through the watch.
    void TakeOwn(const UserKeyEvent& event);

    // The hotkeys whose emissions are in progress, innermost last: a repeat of one of them (its
    // key held down) while the user's keys are held back adds nothing. `own` are the program's
    // registered hotkeys: events sent again stop after a press of one of their keys, so that the
    // playback it starts holds back what follows (keys/keyboard_state.h).
    void BeginPlaying(const HotKey& hotKey, std::span<const HotKey> own);
    void EndPlaying();
    // A playback of `keys` starts holding back the user's key events, until its End: from its
    // first key to its last, any key of the user's would reach the application with the program's
    // keys down, or without the user's own.
    void BeginHoldingBack(const KeyCodeList& keys);
    // The program let go of a modifier key the user holds (the key is the user's, up in the
    // system).
    void Lifted(std::uint8_t vk);
    // The playback that lifted the key puts it back now: whether it must go down again (the user
    // still holds it, or a held-back event came while it was held). No longer lifted after this.
    // Until that press has come through the watch, the user's events wait behind it: the user's
    // release of the key, ahead of it in the system's queue, would otherwise pass first and leave
    // the key down.
    bool PutBack(std::uint8_t vk);
    // The system refused the press that puts the key back: nothing to wait for.
    void PutBackRefused(std::uint8_t vk) { puttingBack_.reset(vk); }
    // The system refused to lift the key: still down, the user's as before.
    void LiftRefused(std::uint8_t vk) { lifted_[vk] = putBack_[vk] = false; }
    // Ends the latest holding back. When none is left, the events to send again, in order, each
    // as it came, its extra information included (valid until the next Take or Restart);
    // otherwise none. They are known again by the record of what was sent, not by a mark. Until
    // all of them have come through Take, later events of the user's wait behind them: sent again
    // after they have (SendAgain).
    std::span<const UserKeyEvent> EndHoldingBack(const KeyCodeList& keys);
    // The events that waited behind those sent again, once those have come through; else none.
    std::span<const UserKeyEvent> SendAgain();
    bool SendAgainDue() const {
        return !HoldingBack() && !Waiting() && heldBackCount_ > 0 && owedCount_ == 0;
    }
    // No room is left to hold back another event: SendAllHeld now, or a later event would have
    // to overtake the held ones.
    bool Full() const { return heldBackCount_ == kMaxHeldBack; }
    // Every held event, in order, whatever holds them back, to be sent now. The playbacks in
    // progress hold back nothing more: the later events follow these as they come.
    std::span<const UserKeyEvent> SendAllHeld();
    // Stops waiting for the events sent again to come through: whatever waits behind them is sent
    // now (the program ends, or they are lost).
    std::span<const UserKeyEvent> Flush();
    // The system took only the first `taken` of the events just sent again: the others never come
    // through. A refused press is lost; a refused release is owed, or the key would read down
    // while nobody holds it (unless a refused press of it follows: the user holds it again).
    void Refused(std::span<const UserKeyEvent> sent, std::size_t taken);
    // Whether events are held back, or sent again and not yet through: the watch must go on
    // until they are, or a later event of the user's could overtake them.
    // Releases owed keep it too: a press of the user's meanwhile makes the key the user's again.
    bool Busy() const {
        return holdingBack_ > 0 || Waiting() || heldBackCount_ > 0 || owedCount_ > 0;
    }

    // Releases the system refused, the user's and the program's own (extra information
    // kOwnInputSignature): to be sent again until it takes them.
    void Owe(const UserKeyEvent& release);
    std::span<const UserKeyEvent> Owed() const { return {owed_.data(), owedCount_}; }
    // The first `taken` of the owed releases reached the system.
    void Paid(std::size_t taken);

  private:
    // Events of the program's that the user's must not overtake have not come through yet.
    bool Waiting() const { return sentCount_ > 0 || puttingBack_.any(); }
    bool HoldingBack() const { return holdingBack_ > 0 && !overflowed_; }
    // Whether the event is the oldest one sent again that has not come through yet (the record
    // then forgets it).
    bool ComesThrough(const UserKeyEvent& event);
    // The first `count` held events, moved to the record of those sent again.
    std::span<const UserKeyEvent> Dispatch(std::size_t count);
    bool KeyOnItsWay(std::uint8_t vk) const;
    bool TakeLate(const UserKeyEvent& event);
    bool RepeatOfPlayingHotKey(const UserKeyEvent& event) const;
    bool Queue(const UserKeyEvent& event);
    void Reached(const UserKeyEvent& event);
    bool Needed(std::uint8_t vk) const;
    void CountNeeded(const KeyCodeList& keys, int change);
    // The key is the user's again: no release of it is owed.
    void Forgive(std::uint8_t vk);

    std::array<bool, 256> fingers_{};
    std::array<bool, 256> inSystem_{}; // the user's presses that reached it, not released since
    std::array<std::uint16_t, 256> presses_{};
    std::array<bool, 256> lifted_{};
    std::array<bool, 256> putBack_{};
    std::bitset<256> puttingBack_;           // lifted keys pressed again, not yet through the watch
    std::array<std::uint8_t, 256> needed_{}; // keys of the playbacks holding back, per playback
    std::array<bool, 256> ownHotKeyKeys_{};
    std::array<UserKeyEvent, kMaxHeldBack> heldBack_{};
    std::size_t heldBackCount_ = 0;
    std::array<UserKeyEvent, kMaxHeldBack> batch_{}; // the latest sent again, as they were sent
    // Those sent again that have not come through yet, the oldest at the head (a ring).
    std::array<UserKeyEvent, kMaxSentAgain> sent_{};
    std::size_t sentHead_ = 0;
    std::size_t sentCount_ = 0;
    bool overflowed_ = false; // the playbacks in progress ran out of room: they hold back no more
    std::array<UserKeyEvent, kMaxHeldBack> owed_{};
    std::size_t owedCount_ = 0;
    std::array<HotKey, kMaxPlaying> playing_{};
    std::size_t playingCount_ = 0;
    std::size_t holdingBack_ = 0;
};

} // namespace hkv
