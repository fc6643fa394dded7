// The emission policy driven by scripts of user events, through the real player, the real record
// of held keys and the real watch of the user's keys, against a model of the system's keyboard.
// The script's next events are injected wherever the real program would dispatch messages: inside
// the player's pauses, so presses nest as they do in the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "common/scope_guard.h"
#include "keys/emission_policy.h"
#include "keys/hook_timeout.h"
#include "keys/modifier_keys.h"
#include "keys/own_input.h"

using hkv::EmissionPolicy;

namespace {

struct Row {
    char tap;         // the script event that taps the hotkey's key (0: see 'l')
    std::uint8_t key; // the hotkey: its key and modifier flags
    std::int32_t modifiers;
    const wchar_t* list;        // the old shortcut
    std::int32_t listModifiers; // and the modifiers it holds
};
// L: Alt + L plays Ctrl + Right, an Alt layer (Alt lifted, the program's own left Ctrl). F: Ctrl +
// F9 plays A (Ctrl lifted; A is row A's key). A and B: Shift + A and Shift + B play each other
// (Shift shared). K: K alone plays Ctrl + C: nothing lifted or suspended. G: Ctrl + Alt + G, as
// AltGr + G sends it where right Alt is AltGr, plays Ctrl + Right (Alt lifted, Ctrl kept).
constexpr Row kRows[] = {
    {0, 76, hkv::kModAlt, L"2|17|39", hkv::kModControl},
    {'F', 120, hkv::kModControl, L"1|65", 0},
    {'A', 65, hkv::kModShift, L"2|16|66", hkv::kModShift},
    {'B', 66, hkv::kModShift, L"2|16|65", hkv::kModShift},
    {'K', 75, 0, L"2|17|67", hkv::kModControl},
    {'G', 71, hkv::kModControl | hkv::kModAlt, L"2|17|39", hkv::kModControl},
};
constexpr std::size_t kRowCount = std::size(kRows);
constexpr std::uint8_t kL = 76;

// The user's modifier keys, each side its own: the script's 1 to 8 press or release them.
constexpr std::uint8_t kToggles[] = {hkv::kVkLControl, hkv::kVkRControl, hkv::kVkLMenu,
                                     hkv::kVkRMenu,    hkv::kVkLShift,   hkv::kVkRShift,
                                     hkv::kVkLWin,     hkv::kVkRWin};

// Events: 1-8 the user presses (or, when held, releases) left Ctrl, right Ctrl, left Alt, right
// Alt (AltGr, with the left Ctrl the system holds for it, where the layout has one), left Shift,
// right Shift, left Win, right Win; l presses or releases L, r repeats L while it is held (a
// keyboard's auto-repeat); F, A, K the user taps that key (a hotkey where the keys down make it
// one); e the current pause ends (time is up); m a modal loop starts (a menu); x the program
// exits; h the program handles the hotkey messages posted (where the script says when: until
// then the user's keys reach the system before the watch begins); d the oldest event sent to the
// system and not yet through arrives (they arrive late, after any later event of the user's); g
// they never come through the watch (another hook, or the system removed ours): they reach the
// system unseen and the program stops waiting for them; z the system starts or stops refusing
// the program's input (a secure desktop, an elevated window in front), while the user types
// elsewhere; t the program's retry of refused releases comes due; n the user's next event is on
// its way, ahead of the program's next press (when the current pause ends) or of the next event
// sent again to arrive, and the watch is asked about it while it answers for that one (Wine's
// hooks nest so): the system takes the user's first; w the watch is asked about the user's next
// event only after the system stopped waiting for it and passed it on; s promptly, but stamped
// earlier than the system's wait (a backlog): its answer counts. At the end of the script
// every pause still running ends, the system takes input again, and everything in flight arrives.
//
// The system's key state is one bit per key, left and right their own: any key-down that reaches
// it sets it, any key-up clears it, whoever sent it, as Windows keeps it; a key-down whose key and
// modifiers are a row's registered hotkey fires that row (its message is handled at the next
// dispatch) and reaches no application. Checked:
// - with no emission in progress, every key is down exactly when the user's fingers hold it (but
//   a press the refusing system lost, which stays up), the keyboard is not watched and no hotkey
//   is suspended;
// - the program never releases a key the user holds, but a modifier the playing shortcut does not
//   hold (lifted), and never one nobody pressed;
// - every key event of the user's reaches the system exactly once, in order, a press with the
//   modifiers the user's fingers held then, by the end of the emission; only a repeat of the
//   playing hotkey and a lifted key's release may be swallowed, and a press sent again that the
//   system refused is lost; no key of the user's reaches the system while a playback plays;
// - every key of the old shortcut goes down with exactly the shortcut's modifiers down;
// - a hotkey press of the user's that reaches the system finds its hotkey registered;
// - every Alt release the program causes, or that follows the program's own Alt press, comes after
//   another key's press since that Alt went down;
// - the program's own keys never set off its own hotkeys, and a repeat of a hotkey during its own
//   playback, held back, never reaches the system; emissions stay within their bound.
// How the system runs: whether right Alt is AltGr, and whether the script says when the program
// handles its posted hotkey messages ('h') rather than at its next look.
// handles its posted hotkey messages ('h') rather than at its next look, and whether events sent
// to the system arrive when the script says ('d', 'g') rather than at once.
struct Options {
    bool altGr = false;
    bool dispatchWhenTold = false;
    bool lateArrivals = false;
};

class Harness final : public hkv::KeyboardState,
                      public hkv::KeyOutput,
                      public hkv::HotKeySuspension {
  public:
    Harness(std::string_view script, bool logging, Options options = {})
        : script_(script), logging_(logging), options_(options) {
        for (std::size_t r = 0; r < kRowCount; ++r) {
            hotKeys_[r] = {kRows[r].key, kRows[r].modifiers};
        }
    }

    void Run() {
        while (!exited_ && faults.empty() && (pos_ < script_.size() || Dispatchable())) {
            Step();
            if (Quiet()) {
                CheckAtRest();
            }
        }
        Settle();
        CheckAtRest();
    }

    int ActivePlaybacks() const { return held_.ActivePlaybacks(); }

    std::string log;
    std::vector<std::string> faults;

  private:
    struct UserEvent {
        std::uint8_t vk;
        bool up;
        std::int32_t modifiers; // what the fingers held as it happened
        bool
            repeatDuringItsPlayback; // its key held down, of a hotkey whose emission is in progress
        bool applied = false;
        bool lost = false; // sent again to a system that refused it
    };

    // KeyboardState: the model's key state, as the program reads it: the program's own events
    // since it last looked at its messages are not in it yet.
    bool IsDown(std::uint8_t vk) const override {
        for (const hkv::ModifierKey& m : hkv::kModifierKeys) {
            if (Seen(m.key) && vk != m.key && hkv::SameKey(vk, m.key)) {
                return true;
            }
        }
        return Seen(vk);
    }
    bool RightAltIsAltGr() const override { return options_.altGr; }
    void StartWatch() override {
        watchedDown_.fill(false); // a new watch knows nothing yet
        hooked_ = true;
    }
    void StopWatch() override { hooked_ = dropped_ = false; }
    void Rewatch() override { hooked_ = hooked_ || std::exchange(dropped_, false); }
    // Sent to the system: they come through later ('d'), or never ('g'); a refusing system takes
    // none.
    std::size_t Deliver(std::span<const hkv::UserKeyEvent> events) override {
        if (refusing_) {
            for (const auto& e : events) {
                Lose(e);
            }
            return 0;
        }
        for (const auto& e : events) {
            // The program's own release owed goes the way of its other key events: at once.
            if (e.extraInfo == hkv::kOwnInputSignature) {
                Arrive(e, false);
            } else {
                inFlight_.push_back(e);
            }
        }
        return events.size();
    }
    void ScheduleSendAgain() override { sendAgainDue_ = true; } // a timer: after posted messages
    void ScheduleRetry() override { retryDue_ = true; }

    // HotKeySuspension: every row is registered.
    std::span<const hkv::HotKey> HotKeys() override { return hotKeys_; }
    std::uint32_t Suspend(std::uint32_t mask) override {
        std::uint32_t suspended = 0;
        for (std::size_t r = 0; r < kRowCount; ++r) {
            if ((mask & (1u << r)) != 0 && !suspended_[r]) {
                suspended_[r] = true;
                suspended |= 1u << r;
            }
        }
        return suspended;
    }
    void Resume(std::uint32_t mask) override {
        for (std::size_t r = 0; r < kRowCount; ++r) {
            suspended_[r] = suspended_[r] && (mask & (1u << r)) == 0;
        }
    }

    // KeyOutput: the program's own key events.
    bool Key(std::uint8_t vk, bool up) override {
        if (exited_) {
            Fail("key event after the exit");
        }
        if (!Watching()) {
            Fail("key event while the keyboard is not watched");
        }
        Log((refusing_ ? "!" : "") + std::string(up ? "^" : "v") + std::to_string(vk));
        if (!up && !refusing_) {
            NestNext();
        }
        if (hooked_ && !refusing_) {
            TakeOwnKey({vk, up, 0, false, hkv::kOwnInputSignature});
        }
        if (refusing_) {
            // A lifted key the program cannot press again stays up under the user's finger.
            lostPress_[vk] = lostPress_[vk] || (!up && liftedAt_[vk] != 0);
            return false;
        }
        if (vk == hkv::kVkNeutral) {
            if (!up) {
                OtherKeyDown(vk);
            }
            return true;
        }
        if (up) {
            const bool lift = usersInSystem_[vk] && hkv::ModifierFlagOf(vk) != 0 &&
                              !firing_.empty() &&
                              (firing_.back()->listModifiers & hkv::ModifierFlagOf(vk)) == 0;
            if (usersInSystem_[vk] && !lift) {
                Fail("key " + std::to_string(vk) + " released under the user's finger");
            } else if (!lift && pressed_[vk] == 0) {
                Fail("key " + std::to_string(vk) + " released but not pressed");
            }
            if (lift) {
                liftedAt_[vk] = firing_.size();
                usersInSystem_[vk] = false;
            }
            pressed_[vk] = 0;
            KeyUp(vk, true);
            if (AltGrsCtrl(vk) && usersInSystem_[hkv::kVkLControl]) {
                // The system lets go of the left Ctrl it holds for AltGr: lifted along.
                liftedAt_[hkv::kVkLControl] = firing_.size();
                usersInSystem_[hkv::kVkLControl] = false;
                KeyUp(hkv::kVkLControl, true);
            }
            return true;
        }
        if (AltGrsCtrl(vk) && liftedAt_[hkv::kVkLControl] != 0) {
            liftedAt_[hkv::kVkLControl] = 0; // put back along with right Alt
            usersInSystem_[hkv::kVkLControl] = true;
            KeyDown(hkv::kVkLControl, true);
        }
        // Put back: the user's again. A playback's own press of the key is in its record already.
        if (liftedAt_[vk] != 0 && !held_.IsHeld(vk)) {
            liftedAt_[vk] = 0;
            usersInSystem_[vk] = true;
        } else if (!usersInSystem_[vk]) {
            ++pressed_[vk];
        }
        if (hkv::ModifierFlagOf(vk) == 0 && !firing_.empty() && !lateSeen_ &&
            SystemModifiers() != firing_.back()->listModifiers) {
            Fail("key " + std::to_string(vk) + " of the shortcut played with other modifiers");
        }
        if (KeyDown(vk, true)) {
            Fail("the program's own key " + std::to_string(vk) + " set off a hotkey");
        }
        return true;
    }

    void Pause(int) override {
        ++pausing_;
        const hkv::ScopeGuard endPause([this] { --pausing_; });
        CheckBound();
        if (logging_) {
            std::string held;
            for (int vk = 0; vk < 256; ++vk) {
                held += down_[vk] ? (held.empty() ? "" : " ") + std::to_string(vk) : "";
            }
            Log("p[" + held + "]");
        }
        while (Step()) {
        }
    }

    bool Dispatchable() const {
        return (firedHead_ < pendingFires_.size() && (!options_.dispatchWhenTold || told_)) ||
               sendAgainDue_;
    }
    bool Quiet() const {
        return !hooked_ && inFlight_.empty() && !Dispatchable() &&
               firedHead_ == pendingFires_.size() && !refusing_;
    }

    // Injects the next event, as the program looks at its messages; false when it ends the
    // current pause.
    bool Step() {
        seen_ = down_;                    // the program is between events: the key state is current
        if (exited_ || !faults.empty()) { // after a fault the script stops: it unwinds at once
            return false;
        }
        if (!options_.lateArrivals && !inFlight_.empty()) {
            ArriveNext(true);
            return true;
        }
        if (firedHead_ < pendingFires_.size() && (!options_.dispatchWhenTold || told_)) {
            Fire(pendingFires_[firedHead_++]);
            return true;
        }
        told_ = false;
        if (std::exchange(sendAgainDue_, false)) {
            SendAgainNow();
            return true;
        }
        if (pos_ == script_.size()) {
            return false;
        }
        if (nestNext_ && (pausing_ == 0 || !IsUserEvent(script_[pos_]))) {
            nestNext_ = false; // no press of the program's is coming for it to wait behind
        } else if (nestNext_ && inFlight_.empty()) {
            return false; // the pause ends with it on its way
        }
        const char event = script_[pos_++];
        if (const auto next = std::string_view("nws").find(event); next != std::string_view::npos) {
            *std::array{&nestNext_, &lateNext_, &oldStampNext_}[next] = pos_ < script_.size();
            return true;
        }
        if (event == 'x') {
            refusingAtExit_ = refusing_;
            policy_.Abandon(); // its releases are the last key events allowed
            exited_ = true;
            return false;
        }
        if (event == 'e') {
            return false;
        }
        switch (event) {
        case 'm':
            held_.ReleaseAll();
            liftedAt_.fill(0); // every lifted key has been put back or left to the user
            letGoDepth_ = held_.ActivePlaybacks(); // those in progress hold nothing now
            break;
        case 'h':
            told_ = true;
            break;
        case 'd':
            if (!inFlight_.empty()) {
                ArriveNext(true);
            }
            break;
        case 'g': {
            // They reach the system without the watch seeing them; the program gives up waiting.
            dropped_ = hooked_ && !inFlight_.empty();
            hooked_ = hooked_ && !dropped_;
            while (!inFlight_.empty()) {
                ArriveNext(false);
            }
            StopWaitingForSentAgain();
            break;
        }
        case 'z':
            refusing_ = !refusing_;
            break;
        case 't':
            if (std::exchange(retryDue_, false)) {
                RetryRefused();
            }
            break;
        default:
            if (!refusing_) { // the user types elsewhere meanwhile
                UserScriptEvent(event);
            }
            break;
        }
        return true;
    }

    static bool IsUserEvent(char event) {
        return (event >= '1' && event <= '8') || event == 'l' || event == 'r' ||
               std::any_of(std::begin(kRows), std::end(kRows),
                           [&](const Row& row) { return row.tap == event && event != 0; });
    }

    void UserScriptEvent(char event) {
        if (event >= '1' && event <= '8') {
            const std::uint8_t key = kToggles[event - '1'];
            if (AltGrsCtrl(key)) {
                User(hkv::kVkLControl, fingers_[key]); // the system's left Ctrl comes first
            }
            User(key, fingers_[key]);
        } else if (event == 'l' || (event == 'r' && fingers_[kL])) {
            User(kL, event == 'l' && fingers_[kL]);
        } else {
            for (const Row& row : kRows) {
                if (row.tap == event && event != 0) {
                    User(row.key, false);
                    User(row.key, true);
                }
            }
        }
    }

    void Fire(const Row* row) {
        firing_.push_back(row);
        policy_.HotKeyPressed(row->list, {row->key, row->modifiers}, *this);
        for (std::size_t& depth : liftedAt_) { // lifted by the emission that ended, not put back
            depth = depth > firing_.size() - 1 ? 0 : depth;
        }
        firing_.pop_back();
    }

    // The end of the script: time passes, the system takes input again, everything in flight
    // arrives and every retry comes due.
    void Settle() {
        refusing_ = false;
        for (int guard = 0; guard < 1000; ++guard) {
            if (!faults.empty()) {
                return;
            }
            told_ = true;
            if (!exited_ && Dispatchable()) {
                Step();
            } else if (!inFlight_.empty()) {
                ArriveNext(!exited_);
            } else if (!exited_ && std::exchange(retryDue_, false)) {
                RetryRefused();
            } else {
                return;
            }
        }
        Fail("the program never comes to rest");
    }

    void ArriveNext(bool throughTheWatch) {
        const hkv::UserKeyEvent e = inFlight_[inFlightHead_++];
        if (inFlightHead_ == inFlight_.size()) {
            inFlight_.clear();
            inFlightHead_ = 0;
        }
        Arrive(e, throughTheWatch);
    }

    // An event sent earlier reaches the system: through the watch, or unseen by it.
    void Arrive(const hkv::UserKeyEvent& e, bool throughTheWatch) {
        Log(std::string(e.extraInfo == hkv::kOwnInputSignature ? "o" : "d") + (e.up ? "^" : "v") +
            std::to_string(e.vk));
        if (e.extraInfo == hkv::kOwnInputSignature) { // a refused release, paid
            if (fingers_[e.vk] && usersInSystem_[e.vk]) {
                Fail("a refused release of " + std::to_string(e.vk) +
                     " let go of it under the user's finger");
            }
            usersInSystem_[e.vk] = false;
            pressed_[e.vk] = 0;
            KeyUp(e.vk, true);
            return;
        }
        watchedDown_[e.vk] = !e.up;
        const bool watched = throughTheWatch && hooked_;
        hkv::UserKeyEvent sent = e;
        sent.injected = true;
        const bool heldBack = watched && TakeUserKey(sent);
        if (watched) {
            NestNext();
        }
        if (!heldBack) {
            ApplyUser(e.vk, e.up);
        }
    }

    // The user's event on its way ('n') is taken inside the watch's answer for the program's event
    // being watched now, and reaches the system first.
    void NestNext() {
        if (std::exchange(nestNext_, false)) {
            nested_ = true;
            UserScriptEvent(script_[pos_++]);
            nested_ = false;
        }
    }

    // Sent again to a refusing system: that event of the user's never arrives; a press lost
    // leaves its key up under the user's finger.
    void Lose(const hkv::UserKeyEvent& e) {
        if (e.extraInfo == hkv::kOwnInputSignature) {
            return;
        }
        for (std::size_t i = lastApplied_; i < events_.size(); ++i) {
            UserEvent& u = events_[i];
            if (!u.applied && !u.lost && !u.repeatDuringItsPlayback && u.vk == e.vk &&
                u.up == e.up) {
                u.lost = true;
                lostPress_[e.vk] = lostPress_[e.vk] || !e.up;
                return;
            }
        }
    }

    // A key event of the user's: through the watch while there is one, then to the system.
    void User(std::uint8_t vk, bool up) {
        const bool repeatDuringItsPlayback =
            !up && fingers_[vk] && watchedDown_[vk] &&
            std::any_of(firing_.begin(), firing_.end(),
                        [&](auto* r) { return r->key == vk && r->modifiers == FingerModifiers(); });
        fingers_[vk] = !up;
        upUnderFinger_[vk] = false;
        watchedDown_[vk] = !up && hooked_;
        events_.push_back({vk, up, FingerModifiers(), repeatDuringItsPlayback});
        // At 600 ms, for a wait of 300: the stamp and the last answer 0 when old ('w', 's').
        const bool gaveUp = std::exchange(lateNext_, false);
        const bool stale = std::exchange(oldStampNext_, false) || gaveUp;
        const bool late = hkv::CameAfterTimeout(stale ? 0 : 600, gaveUp ? 0 : 600, 600, 300, false);
        if (gaveUp && hooked_) {
            ApplyLate(vk, up); // the watch's answer, asked late, no longer matters
            TakeUserKey({.vk = vk, .up = up, .lateCall = late}, nested_);
            return;
        }
        if (!hooked_ || !TakeUserKey({.vk = vk, .up = up, .lateCall = late}, nested_)) {
            ApplyUser(vk, up);
        }
    }

    // Of the key, not yet arrived (a lifted key's release may never come).
    bool Pending(const UserEvent& e, std::uint8_t vk) const {
        return e.vk == vk && !e.applied && !e.lost && !e.repeatDuringItsPlayback &&
               !(e.up && hkv::ModifierFlagOf(vk) != 0);
    }

    // The program's copy of a late event: once every event of its key that it overtook has
    // arrived, if those surely waited; otherwise where no other event can be the one arriving.
    bool SentAgainLate(std::uint8_t vk, bool up) {
        const bool other = std::any_of(events_.begin(), events_.end(), [&](auto& e) {
            return e.vk == vk && e.up == up && !e.applied && !e.lost && !e.repeatDuringItsPlayback;
        });
        const auto late = std::find_if(lateCopies_.begin(), lateCopies_.end(), [&](auto& c) {
            return events_[c.first].vk == vk && events_[c.first].up == up && (c.second || !other);
        });
        const auto overtaken = events_.begin() + static_cast<std::ptrdiff_t>(
                                                     late == lateCopies_.end() ? 0 : late->first);
        if (late == lateCopies_.end() ||
            std::any_of(events_.begin(), overtaken, [&](auto& e) { return Pending(e, vk); })) {
            return false;
        }
        lateCopies_.erase(late);
        return true;
    }

    // Ahead of whatever waits, and whatever plays: from then on the modifiers that the keys meet
    // are the system's doing, not the program's; where the keys end still is.
    void ApplyLate(std::uint8_t vk, bool up) {
        lateSeen_ = events_.back().applied = true;
        events_.back().repeatDuringItsPlayback = false;
        // Events of its key still on their way arrive after it: the program sends it again, if
        // twice does no harm; a press that types is not, and its key may end up under the finger.
        const auto waiting = [&](auto& e) { return Pending(e, vk); };
        const bool overtook = std::any_of(events_.begin(), events_.end(), waiting);
        if (up || hkv::ModifierFlagOf(vk) != 0) {
            lateCopies_.emplace_back(events_.size() - 1, overtook);
        }
        upUnderFinger_[vk] = !up && overtook && hkv::ModifierFlagOf(vk) == 0;
        Reach(vk, up);
    }
    void Reach(std::uint8_t vk, bool up) {
        usersInSystem_[vk] = !up;
        pressed_[vk] = up && !held_.IsHeld(vk) ? 0 : pressed_[vk];
        up ? KeyUp(vk, false) : static_cast<void>(KeyDown(vk, false));
    }

    // A key event of the user's reaches the system: the earliest not yet there, after the last.
    void ApplyUser(std::uint8_t vk, bool up) {
        if (SentAgainLate(vk, up)) {
            Reach(vk, up);
            return;
        }
        std::size_t i = lastApplied_;
        // A repeat of the playing hotkey is swallowed: it is never the one that arrives.
        while (i < events_.size() &&
               (events_[i].applied || events_[i].lost || events_[i].repeatDuringItsPlayback ||
                events_[i].vk != vk || events_[i].up != up)) {
            ++i;
        }
        if (i == events_.size()) {
            Fail("a key event of the user's reached the system twice, out of order, or as a repeat "
                 "of the hotkey during its own playback");
            return;
        }
        events_[i].applied = true;
        lastApplied_ = i;
        letGoDepth_ = std::min(letGoDepth_, held_.ActivePlaybacks());
        if (!up && held_.ActivePlaybacks() > letGoDepth_ && !lateSeen_) {
            Fail("the user's key " + std::to_string(vk) + " reached the system during a playback");
        }
        // A release reads the same whatever else is down.
        if (!up && hkv::ModifierFlagOf(vk) == 0 && !lateSeen_ &&
            SystemModifiersOfTheUser() != (events_[i].modifiers & ~LostModifiers())) {
            Fail("the user's key " + std::to_string(vk) +
                 " reached the system with other "
                 "modifiers than the user held");
        }
        usersInSystem_[vk] = !up;
        lostPress_[vk] = lostPress_[vk] && up;
        if (up) {
            pressed_[vk] = 0;
            KeyUp(vk, false);
            return;
        }
        for (std::size_t r = 0; r < kRowCount; ++r) {
            if (suspended_[r] && kRows[r].key == vk && SystemModifiers() == kRows[r].modifiers) {
                Fail("the user's hotkey " + std::to_string(vk) + " found its hotkey suspended");
            }
        }
        KeyDown(vk, false);
    }

    // True when the key-down was a registered hotkey, which no application receives.
    bool KeyDown(std::uint8_t vk, bool program) {
        down_[vk] = true;
        byProgram_[vk] = program;
        otherSinceDown_[vk] = false;
        for (std::size_t r = 0; r < kRowCount; ++r) {
            if (!suspended_[r] && kRows[r].key == vk && SystemModifiers() == kRows[r].modifiers) {
                pendingFires_.push_back(&kRows[r]);
                return true;
            }
        }
        OtherKeyDown(vk);
        return false;
    }

    void KeyUp(std::uint8_t vk, bool program) {
        if (hkv::OpensAMenuAlone(vk) && down_[vk] && (program || byProgram_[vk]) &&
            !otherSinceDown_[vk]) {
            Fail("Alt " + std::to_string(vk) + " released with no other key since its press");
        }
        down_[vk] = false;
    }

    void OtherKeyDown(std::uint8_t vk) {
        for (const hkv::ModifierKey& m : hkv::kModifierKeys) {
            otherSinceDown_[m.key] = otherSinceDown_[m.key] || m.key != vk;
        }
    }

    bool AltGrsCtrl(std::uint8_t vk) const { return options_.altGr && vk == hkv::kVkRMenu; }
    bool Seen(std::uint8_t vk) const { return seen_[vk]; }

    // The modifier flags of the sided keys for which `holds` is true.
    template <typename Holds> static std::int32_t Modifiers(Holds holds) {
        std::int32_t flags = 0;
        for (const hkv::ModifierKey& m : hkv::kModifierKeys) {
            flags |= holds(m.key) ? m.flag : 0;
        }
        return flags;
    }
    std::int32_t FingerModifiers() const {
        return Modifiers([&](std::uint8_t k) { return fingers_[k]; });
    }
    std::int32_t SystemModifiers() const {
        return Modifiers([&](std::uint8_t k) { return down_[k]; });
    }
    std::int32_t LostModifiers() const {
        return Modifiers([&](std::uint8_t k) { return lostPress_[k] && !down_[k]; });
    }
    // Those a playback holds aside: a press in a pause plays inside it, with its keys down.
    std::int32_t SystemModifiersOfTheUser() const {
        return Modifiers(
            [&](std::uint8_t k) { return down_[k] && (usersInSystem_[k] || !held_.IsHeld(k)); });
    }

    // With no emission in progress and nothing on its way: the keys are the user's, nothing
    // watched or suspended, every event of the user's arrived.
    void CheckAtRest() {
        const bool refusedAtTheEnd = exited_ && refusingAtExit_;
        for (int vk = 0; !refusedAtTheEnd && down_ != fingers_ && vk < 256; ++vk) {
            if (down_[vk] != fingers_[vk] &&
                (down_[vk] || !(lostPress_[vk] || upUnderFinger_[vk]))) {
                Fail("key " + std::to_string(vk) + (down_[vk] ? " down" : " up") +
                     " while the user " + (down_[vk] ? "does not hold it" : "holds it"));
            }
        }
        if (Watching() || hooked_) {
            Fail("the keyboard is still watched");
        }
        for (bool suspended : suspended_) {
            if (suspended && !exited_) {
                Fail("a hotkey is still suspended");
            }
        }
        for (std::size_t i = checkedEvents_; i < events_.size(); ++i) {
            const UserEvent& e = events_[i];
            const bool liftedRelease = e.up && hkv::ModifierFlagOf(e.vk) != 0;
            if (!e.applied && !e.lost && !e.repeatDuringItsPlayback && !liftedRelease &&
                !refusedAtTheEnd) {
                Fail("a key event of the user's (" + std::to_string(e.vk) + ") never arrived");
            }
        }
        checkedEvents_ = events_.size();
        lateCopies_.clear();
    }

    void CheckBound() {
        if (policy_.InProgress() > EmissionPolicy::kMaxEmissionsInProgress ||
            held_.ActivePlaybacks() > EmissionPolicy::kMaxEmissionsInProgress) {
            Fail("more emissions in progress than allowed");
        }
    }

    void Log(const std::string& event) {
        if (logging_) {
            log += (log.empty() ? "" : " ") + event;
        }
    }

    void Fail(const std::string& what) { faults.push_back(what); }

    std::string_view script_;
    bool logging_;
    Options options_;
    std::size_t pos_ = 0;
    std::array<bool, 256> down_{};
    std::array<bool, 256> seen_{}; // the key state as the program last read it fresh
    std::array<bool, 256> fingers_{};
    // Pressed while watched (or sent again), not released since: the watch knows it is down.
    std::array<bool, 256> watchedDown_{};
    std::array<bool, 256> usersInSystem_{}; // the user's key-downs that reached the system
    std::array<bool, 256> lostPress_{};     // held by the user, up: the system refused its press
    std::array<bool, 256> upUnderFinger_{}; // held, up: a late press went ahead of its release
    std::array<bool, 256> byProgram_{};
    std::array<bool, 256> otherSinceDown_{};
    std::array<int, 256> pressed_{};
    std::array<std::size_t, 256> liftedAt_{}; // the depth of the emission that lifted it, or 0
    std::array<bool, kRowCount> suspended_{};
    std::array<hkv::HotKey, kRowCount> hotKeys_{};
    std::vector<UserEvent> events_;
    std::size_t lastApplied_ = 0;
    std::size_t checkedEvents_ = 0;        // those before were checked at an earlier rest
    std::vector<const Row*> pendingFires_; // the hotkey messages posted, handled from the head
    std::size_t firedHead_ = 0;
    std::vector<const Row*> firing_;
    std::vector<hkv::UserKeyEvent> inFlight_; // sent to the system, not through yet, from the head
    std::size_t inFlightHead_ = 0;
    bool told_ = false;
    bool nestNext_ = false; // 'n': the next event of the user's waits for the program's next press
    bool nested_ = false;
    bool lateNext_ = false, lateSeen_ = false, oldStampNext_ = false; // 'w', whether one came, 's'
    bool dropped_ = false; // the system removed the watch's hook ('g'), until it is installed again
    // Late events the program may send again, and whether events of their key surely waited.
    std::vector<std::pair<std::size_t, bool>> lateCopies_;
    int pausing_ = 0; // the program's pauses in progress
    bool sendAgainDue_ = false;
    bool retryDue_ = false;
    bool refusing_ = false;
    bool refusingAtExit_ = false;
    bool exited_ = false;
    bool hooked_ = false; // the watch's hook is installed: every key event passes it
    int letGoDepth_ = 0;  // the playbacks in progress that a modal loop made let go of everything
    hkv::HeldKeys held_{*this, *this};
    EmissionPolicy policy_{*this, held_};
};

} // namespace

TEST(EmissionPolicy, LiftsHeldModifiersKeepsSidesApartSwapsAndHoldsBackTheUsersKeys) {
    constexpr Options kAltGr{true, false, false};
    constexpr Options kLateAndTold{false, true, true};
    const struct {
        const char* script;
        const char* played;
        Options options = {};
    } rows[] = {
        // Nothing held, nothing lifted: the program's own left Ctrl, pressed and released.
        {"K", "v162 v67 p[67 162] ^67 ^162"},
        // A key typed while it plays waits until the program's Ctrl is up.
        {"Klle", "v162 v67 p[67 162] ^67 ^162 dv76 d^76"},
        // Alt held as a layer: lifted before (a neutral key first, so that no menu opens), pressed
        // again after (the neutral key after it); the release of L, pressed before, goes through.
        {"3lle3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232"},
        {"3llelle3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 v232 ^232 ^164 "
                     "v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232"},
        // L held: its first repeat plays once more (the watch began after L's press), the later
        // ones during a playback add nothing.
        {"3lrrle3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 dv76 v232 ^232 "
                    "^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76 d^164"},
        // A new press during the playback waits, then plays, with the Alt it was pressed with.
        {"3llll3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 dv76 v232 ^232 "
                   "^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76 d^164"},
        {"1Fe1", "^162 v65 p[65] ^65 v162"}, // A is row A's key: suspended, it reaches the window
        {"5Ae5", "v66 p[66 160] ^66"},       // Shift shared; B is row B's hotkey, suspended
        // The user's right Ctrl during the pause waits and does not hold the program's left one.
        {"K2e2", "v162 v67 p[67 162] ^67 ^162 dv163"},
        // The user's left Ctrl, pressed during the lift, waits: the program's is released first.
        {"3ll1e13", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 dv162"},
        // Alt let go before anything else was typed: not pressed again.
        {"3l3le", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162"},
        {"3llK3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 dv75 d^75 d^164"},
        // A menu opens in the pause, or the program ends there: everything let go before.
        {"3llmK3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232"},
        {"3llx", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232"},
        // Ctrl pressed and let go in an earlier emission's pause is not still held: L's later
        // repeats during the second playback are repeats of Alt + L, and add nothing.
        {"K1e13lrrrle3", "v162 v67 p[67 162] ^67 ^162 dv162 v232 ^232 ^164 v162 v39 p[39 76 162] "
                         "^39 ^162 v164 v232 ^232 dv76 v232 ^232 ^164 v162 v39 p[39 76 162] ^39 "
                         "^162 v164 v232 ^232 d^76 d^164"},
        // AltGr: lifting right Alt lets go of the left Ctrl the system holds for it, so the
        // shortcut's Ctrl is pressed after all; putting right Alt back brings that Ctrl back.
        {"4G4", "v232 ^232 ^165 v162 v39 p[39 162] ^39 ^162 v165 v232 ^232 d^162 d^165", kAltGr},
        // Sent again: the user's next key waits behind them; one that arrives lets the next batch
        // go (a press of a hotkey's key ends a batch); those that never come through are not
        // waited for.
        {"Khlleldgl", "v162 v67 p[67 162] ^67 ^162 dv76 d^76 dv76", kLateAndTold},
        // The system refuses the program's release: it is owed, and sent when the system takes
        // input again; the user's Ctrl release, held back while Ctrl + C plays, waits behind it.
        {"K1h1z", "v67 p[67 162] !^67 o^67 d^162", kLateAndTold},
        // Shift let go and pressed again, both refused when sent again: the press forgives the
        // release owed. L waits behind releases owed. Refused releases stay owed.
        {"5AhK55ezd", "v66 p[66 160] ^66 dv75 o^75", kLateAndTold},
        {"Khzezl", "v162 v67 p[67 162] !^67 !^162 o^67 o^162 dv76", kLateAndTold},
        {"KhKezd", "v162 v67 p[67 162] ^67 ^162 dv75 v162 v67 p[67 75 162] ^67 ^162 o^75",
         kLateAndTold},
        {"lKhzet", "v162 v67 p[67 76 162] !^67 !^162 o^67 o^162", kLateAndTold},
        // The system removed the watch's hook: installed again, it holds back the next playback's.
        {"KhleKgdh1",
         "v162 v67 p[67 162] ^67 ^162 dv76 dv75 v162 v67 p[67 75 76 162] ^67 ^162 d^75 dv162",
         kLateAndTold},
        // L pressed again, asked about late: it reached the system first, and is not sent twice.
        {"Kllwle", "v162 v67 p[67 162] ^67 ^162 dv76 d^76"},
        // Alt let go just as the program puts back the Alt it lifted: the release, taken while
        // the watch answers for that press, reaches the system after it.
        {"3ln3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^164"},
        // Shift let go as its press, sent again, comes through: the release reaches the system
        // after it.
        {"K5n5", "v162 v67 p[67 162] ^67 ^162 dv160 d^160"},
    };
    for (const auto& row : rows) {
        Harness h(row.script, true, row.options);
        h.Run();
        EXPECT_EQ(h.log, row.played) << "script " << row.script;
        EXPECT_TRUE(h.faults.empty())
            << "script " << row.script << ": " << testing::PrintToString(h.faults);
        EXPECT_EQ(h.ActivePlaybacks(), 0);
    }
}

// Every script of up to N events over each alphabet (the exit only as the last one, since nothing
// follows it): the user's both hands, layers, swaps and held keys; the user typing while events
// sent to the system arrive late, never, or are refused, and before the program handles a hotkey;
// right Alt as AltGr. N is 5 in the normal run; the build target check_interleavings runs N = 6.
TEST(EmissionPolicy, EveryInterleavingKeepsTheKeyboardTheUsersAndNeverPlaysMixedOrUnbounded) {
    const char* fromEnv = std::getenv("HKV_INTERLEAVING_EVENTS");
    const std::size_t n = fromEnv ? std::strtoul(fromEnv, nullptr, 10) : 5;
    const struct {
        const char* events;
        Options options;
    } alphabets[] = {
        {"123456lrFAKew", {}},
        {"137lKehdgzt", {false, true, true}},
        {"45lrGKens", {true, false, false}},
    };
    for (const auto& alphabet : alphabets) {
        std::string script;
        long long checked = 0;
        int failures = 0;
        const auto start = std::chrono::steady_clock::now();
        auto check = [&](const std::string& s) {
            Harness h(s, false, alphabet.options);
            h.Run();
            ++checked;
            if (!h.faults.empty() && ++failures <= 5) {
                ADD_FAILURE() << alphabet.events << " script " << s << ": "
                              << testing::PrintToString(h.faults);
            }
        };
        // Depth-first over the scripts: each prefix also ends once with the exit.
        std::function<void()> extend = [&] {
            if (script.size() == n) {
                check(script);
                return;
            }
            check(script + 'x');
            for (const char* e = alphabet.events; *e; ++e) {
                script.push_back(*e);
                extend();
                script.pop_back();
            }
        };
        extend();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s: %lld scripts of up to %zu events checked in %.2f s\n", alphabet.events,
                    checked, n, seconds);
        EXPECT_EQ(failures, 0) << alphabet.events;
    }
}

// More keys than there is room to hold back (a typing tool): those held go at once, in order,
// each with its own mark, behind the releases owed, and the later ones follow them, never ahead.
TEST(UserKeys, PastItsRoomTheHeldKeysGoFirstInOrderWithTheirMarks) {
    struct System final : hkv::KeyboardState {
        bool IsDown(std::uint8_t) const override { return false; }
        std::size_t Deliver(std::span<const hkv::UserKeyEvent> events) override {
            inFlight.insert(inFlight.end(), events.begin(), events.end());
            return events.size();
        }
        bool Take(hkv::UserKeyEvent e) { return TakeUserKey(e); }
        std::vector<hkv::UserKeyEvent> inFlight;
    } system;
    std::vector<std::uintptr_t> typed(hkv::UserKeys::kMaxHeldBack + 6), reached;
    std::iota(typed.begin(), typed.end(), 1); // each event's mark
    const hkv::KeyCodeList list{2, {17, 67}};
    system.BeginWatching({75, 0});
    system.BeginHoldingBack(list);
    system.Lifted(hkv::kVkLControl);
    system.OweRelease('Z');
    for (std::uintptr_t i : typed) {
        if (!system.Take({static_cast<std::uint8_t>('A' + i % 8), i % 2 == 0, 0, false, i})) {
            reached.push_back(i);
        }
    }
    ASSERT_TRUE(!system.inFlight.empty() && system.inFlight[0].vk == 'Z' && system.inFlight[0].up);
    system.inFlight.erase(system.inFlight.begin());
    for (std::size_t i = 0; i < system.inFlight.size(); ++i) { // they come through in order
        hkv::UserKeyEvent e = system.inFlight[i];
        reached.push_back(e.extraInfo);
        e.injected = true;
        EXPECT_FALSE(system.Take(e)) << "sent again, then held back";
    }
    EXPECT_EQ(reached, typed);
    // The lifted Ctrl let go meanwhile passes, and is not pressed again at the playback's end.
    EXPECT_FALSE(system.Take({hkv::kVkLControl, true}));
    EXPECT_FALSE(system.PutBack(hkv::kVkLControl)) << "Ctrl left down";
    system.EndHoldingBack(list);
}

// On Windows the watch is asked about the user's events after the program's own that came later
// are already queued: a release of a lifted key, ahead of the press that puts it back, waits until
// that press has come through.
TEST(UserKeys, AReleaseWaitsBehindThePressThatPutsItsKeyBack) {
    hkv::UserKeys keys;
    keys.Restart();
    keys.NoteHeld(hkv::kVkLMenu);
    keys.BeginPlaying({76, hkv::kModAlt}, {});
    const hkv::KeyCodeList list{1, {39}};
    keys.BeginHoldingBack(list);
    keys.Lifted(hkv::kVkLMenu);
    ASSERT_TRUE(keys.PutBack(hkv::kVkLMenu));
    EXPECT_TRUE(keys.EndHoldingBack(list).empty());
    EXPECT_TRUE(keys.Take({hkv::kVkLMenu, true}));
    EXPECT_FALSE(keys.SendAgainDue());
    keys.TakeOwn({hkv::kVkMenu, false, 0, false, hkv::kOwnInputSignature});
    const auto again = keys.SendAgain();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_TRUE(again[0].vk == hkv::kVkLMenu && again[0].up);
}
