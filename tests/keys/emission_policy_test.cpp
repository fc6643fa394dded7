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
#include <string>
#include <vector>

#include "keys/emission_policy.h"
#include "keys/modifier_keys.h"

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
// (Shift shared). K: K alone plays Ctrl + C: nothing lifted or suspended, so a press in its pause
// plays inside it.
constexpr Row kRows[] = {
    {0, 76, hkv::kModAlt, L"2|17|39", hkv::kModControl},
    {'F', 120, hkv::kModControl, L"1|65", 0},
    {'A', 65, hkv::kModShift, L"2|16|66", hkv::kModShift},
    {'B', 66, hkv::kModShift, L"2|16|65", hkv::kModShift},
    {'K', 75, 0, L"2|17|67", hkv::kModControl},
};
constexpr std::size_t kRowCount = std::size(kRows);
constexpr std::uint8_t kL = 76;

// The user's modifier keys, each side its own: the script's 1 to 6 press or release them.
constexpr std::uint8_t kToggles[] = {hkv::kVkLControl, hkv::kVkRControl, hkv::kVkLMenu,
                                     hkv::kVkRMenu,    hkv::kVkLShift,   hkv::kVkRShift};

// Events: 1-6 the user presses (or, when held, releases) left Ctrl, right Ctrl, left Alt, right
// Alt, left Shift, right Shift; l presses or releases L, r repeats L while it is held (a
// keyboard's auto-repeat); F, A, K the user taps that key (a hotkey where the keys down make it
// one); e the current pause ends (time is up); m a modal loop starts (a menu); x the program
// exits. At the end of the script every pause still running ends.
//
// The system's key state is one bit per key, left and right their own: any key-down that reaches
// it sets it, any key-up clears it, whoever sent it, as Windows keeps it; a key-down whose key and
// modifiers are a row's registered hotkey fires that row (its message is handled at the next
// dispatch) and reaches no application. Checked:
// - with no emission in progress, every key is down exactly when the user's fingers hold it, the
//   keyboard is not watched and no hotkey is suspended;
// - the program never releases a key the user holds, but a modifier the playing shortcut does not
//   hold (lifted), and never one nobody pressed;
// - every key event of the user's reaches the system in order, with the modifiers the user's
//   fingers held then (those a playback holds aside), by the end of the emission; only a repeat of
//   the playing hotkey and a lifted key's release may be swallowed;
// - every Alt release the program causes, or that follows the program's own Alt press, comes after
//   another key's press since that Alt went down;
// - the program's own keys never set off its own hotkeys, and a repeat of a hotkey during its own
//   playback, held back, never reaches the system; emissions stay within their bound.
class Harness final : public hkv::KeyboardState,
                      public hkv::KeyOutput,
                      public hkv::HotKeySuspension {
  public:
    Harness(std::string_view script, bool logging) : script_(script), logging_(logging) {}

    void Run() {
        while (!exited_ && faults.empty() &&
               (pos_ < script_.size() || firedHead_ < pendingFires_.size())) {
            Step();
            CheckAtRest();
        }
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
    };

    // KeyboardState: the model's key state.
    bool IsDown(std::uint8_t vk) const override {
        for (const hkv::ModifierKey& m : hkv::kModifierKeys) {
            if (down_[m.key] && vk != m.key && hkv::SameKey(vk, m.key)) {
                return true;
            }
        }
        return down_[vk];
    }
    void StartWatch() override { watchedDown_.fill(false); } // a new watch knows nothing yet
    void StopWatch() override {}
    // Sent again as the user's: the watch takes them again, then the system.
    void Deliver(std::span<const hkv::UserKeyEvent> events) override {
        for (const auto& e : events) {
            if (logging_) {
                Log(std::string("d") + (e.up ? "^" : "v") + std::to_string(e.vk));
            }
            watchedDown_[e.vk] = !e.up;
            if (!TakeUserKey(e)) {
                ApplyUser(e.vk, e.up);
            }
        }
    }

    // HotKeySuspension: every row whose key is one of the list's.
    std::uint32_t Suspend(const hkv::KeyCodeList& keys) override {
        std::uint32_t mask = 0;
        for (std::size_t r = 0; r < kRowCount; ++r) {
            for (int k = 0; k < keys.count; ++k) {
                if (hkv::SameKey(keys.codes[static_cast<std::size_t>(k)], kRows[r].key) &&
                    !suspended_[r]) {
                    suspended_[r] = true;
                    mask |= 1u << r;
                }
            }
        }
        return mask;
    }
    void Resume(std::uint32_t mask) override {
        for (std::size_t r = 0; r < kRowCount; ++r) {
            suspended_[r] = suspended_[r] && (mask & (1u << r)) == 0;
        }
    }

    // KeyOutput: the program's own key events.
    void Key(std::uint8_t vk, bool up) override {
        if (exited_) {
            Fail("key event after the exit");
        }
        if (!Watching()) {
            Fail("key event while the keyboard is not watched");
        }
        if (logging_) {
            Log((up ? "^" : "v") + std::to_string(vk));
        }
        if (vk == hkv::kVkNeutral) {
            if (!up) {
                OtherKeyDown(vk);
            }
            return;
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
            return;
        }
        // Put back: the user's again. A playback's own press of the key is in its record already.
        if (liftedAt_[vk] != 0 && !held_.IsHeld(vk)) {
            liftedAt_[vk] = 0;
            usersInSystem_[vk] = true;
        } else if (!usersInSystem_[vk]) {
            ++pressed_[vk];
        }
        if (KeyDown(vk, true)) {
            Fail("the program's own key " + std::to_string(vk) + " set off a hotkey");
        }
    }

    void Pause(int) override {
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

    // Injects the next event; false when it ends the current pause.
    bool Step() {
        if (exited_ || !faults.empty()) { // after a fault the script stops: it unwinds at once
            return false;
        }
        if (firedHead_ < pendingFires_.size()) {
            const Row* row = pendingFires_[firedHead_++];
            firing_.push_back(row);
            policy_.HotKeyPressed(row->list, {row->key, row->modifiers}, *this);
            for (std::size_t& depth :
                 liftedAt_) { // lifted by the emission that ended, not put back
                depth = depth > firing_.size() - 1 ? 0 : depth;
            }
            firing_.pop_back();
            return true;
        }
        if (pos_ == script_.size()) {
            return false;
        }
        const char event = script_[pos_++];
        if (event >= '1' && event <= '6') {
            const std::uint8_t key = kToggles[event - '1'];
            User(key, fingers_[key]);
        } else if (event == 'x') {
            policy_.Abandon(); // its releases are the last key events allowed
            exited_ = true;
            return false;
        } else if (event == 'm') {
            held_.ReleaseAll();
            liftedAt_.fill(0); // every lifted key has been put back or left to the user
        } else if (event == 'e') {
            return false;
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
        return true;
    }

    // A key event of the user's: through the watch while there is one, then to the system.
    void User(std::uint8_t vk, bool up) {
        const bool repeatDuringItsPlayback =
            !up && fingers_[vk] && watchedDown_[vk] &&
            std::any_of(firing_.begin(), firing_.end(),
                        [&](auto* r) { return r->key == vk && r->modifiers == FingerModifiers(); });
        fingers_[vk] = !up;
        watchedDown_[vk] = !up && Watching();
        events_.push_back({vk, up, FingerModifiers(), repeatDuringItsPlayback});
        if (!Watching() || !TakeUserKey({vk, up})) {
            ApplyUser(vk, up);
        }
    }

    // A key event of the user's reaches the system: the earliest not yet there, after the last.
    void ApplyUser(std::uint8_t vk, bool up) {
        std::size_t i = lastApplied_;
        // A repeat of the playing hotkey is swallowed: it is never the one that arrives.
        while (i < events_.size() && (events_[i].applied || events_[i].repeatDuringItsPlayback ||
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
        if (hkv::ModifierFlagOf(vk) == 0 && SystemModifiersOfTheUser() != events_[i].modifiers) {
            Fail("the user's key " + std::to_string(vk) +
                 " reached the system with other "
                 "modifiers than the user held");
        }
        usersInSystem_[vk] = !up;
        if (up) {
            pressed_[vk] = 0;
            KeyUp(vk, false);
        } else {
            KeyDown(vk, false);
        }
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
    // Those a playback holds aside: a press in a pause plays inside it, with its keys down.
    std::int32_t SystemModifiersOfTheUser() const {
        return Modifiers(
            [&](std::uint8_t k) { return down_[k] && (usersInSystem_[k] || !held_.IsHeld(k)); });
    }

    // Between the script's top-level events no emission is in progress (after the exit, the
    // interrupted ones are gone too).
    void CheckAtRest() {
        for (int vk = 0; down_ != fingers_ && vk < 256; ++vk) {
            if (down_[vk] != fingers_[vk]) {
                Fail("key " + std::to_string(vk) + (down_[vk] ? " down" : " up") +
                     " while the user " + (down_[vk] ? "does not hold it" : "holds it"));
            }
        }
        if (Watching()) {
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
            if (!e.applied && !e.repeatDuringItsPlayback && !liftedRelease) {
                Fail("a key event of the user's (" + std::to_string(e.vk) + ") never arrived");
            }
        }
        checkedEvents_ = events_.size();
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
    std::size_t pos_ = 0;
    std::array<bool, 256> down_{};
    std::array<bool, 256> fingers_{};
    // Pressed while watched (or sent again), not released since: the watch knows it is down.
    std::array<bool, 256> watchedDown_{};
    std::array<bool, 256> usersInSystem_{}; // the user's key-downs that reached the system
    std::array<bool, 256> byProgram_{};
    std::array<bool, 256> otherSinceDown_{};
    std::array<int, 256> pressed_{};
    std::array<std::size_t, 256> liftedAt_{}; // the depth of the emission that lifted it, or 0
    std::array<bool, kRowCount> suspended_{};
    std::vector<UserEvent> events_;
    std::size_t lastApplied_ = 0;
    std::size_t checkedEvents_ = 0;        // those before were checked at an earlier rest
    std::vector<const Row*> pendingFires_; // the hotkey messages posted, handled from the head
    std::size_t firedHead_ = 0;
    std::vector<const Row*> firing_;
    bool exited_ = false;
    hkv::HeldKeys held_{*this, *this};
    EmissionPolicy policy_{*this, held_};
};

} // namespace

TEST(EmissionPolicy, LiftsHeldModifiersKeepsSidesApartSwapsAndHoldsBackTheUsersKeys) {
    const struct {
        const char* script;
        const char* played;
    } rows[] = {
        // Nothing held, nothing lifted: the program's own left Ctrl, pressed and released.
        {"K", "v162 v67 p[67 162] ^67 ^162"},
        // Alt held as a layer: lifted before (a neutral key first, so that no menu opens), pressed
        // again after (the neutral key after it); the user's L release waits until then.
        {"3lle3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76"},
        {"3llelle3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76 v232 "
                     "^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76"},
        // L held: its first repeat plays once more (the watch began after L's press), the later
        // ones during a playback add nothing.
        {"3lrrle3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 dv76 d^76 v232 "
                    "^232 ^164 v162 v39 p[39 162] ^39 ^162"},
        // A new press during the playback waits, then plays, with the Alt it was pressed with.
        {"3llll3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76 dv76 d^76 "
                   "d^164 v162 v39 p[39 162] ^39 ^162"},
        {"1Fe1", "^162 v65 p[65] ^65 v162"}, // A is row A's key: suspended, it reaches the window
        {"5Ae5", "v66 p[66 160] ^66"},       // Shift shared; B is row B's hotkey, suspended
        // The user's right Ctrl during the pause does not hold the program's left one.
        {"K2e2", "v162 v67 p[67 162] ^67 ^162"},
        // The user's left Ctrl, pressed during the lift, waits: the program's is released first.
        {"3ll1e13", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76 dv162"},
        // Alt let go before anything else was typed: not pressed again.
        {"3l3le", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 d^76"},
        {"3llK3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76 dv75 d^75 "
                  "d^164"},
        // A menu opens in the pause, or the program ends there: everything let go before.
        {"3llmK3", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76"},
        {"3llx", "v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 v164 v232 ^232 d^76"},
        // Ctrl pressed and let go in an earlier emission's pause is not still held: L's later
        // repeats during the second playback are repeats of Alt + L, and add nothing.
        {"K1e13lrrrle3", "v162 v67 p[67 162] ^67 v232 ^232 ^164 v162 v39 p[39 76 162] ^39 ^162 "
                         "v164 v232 ^232 dv76 d^76 v232 ^232 ^164 v162 v39 p[39 162] ^39 ^162"},
    };
    for (const auto& row : rows) {
        Harness h(row.script, true);
        h.Run();
        EXPECT_EQ(h.log, row.played) << "script " << row.script;
        EXPECT_TRUE(h.faults.empty())
            << "script " << row.script << ": " << testing::PrintToString(h.faults);
        EXPECT_EQ(h.ActivePlaybacks(), 0);
    }
}

// Every script of up to N events (the exit only as the last one, since nothing follows it). N is 5
// in the normal run; the build target check_interleavings runs N = 6.
TEST(EmissionPolicy, EveryInterleavingKeepsTheKeyboardTheUsersAndNeverPlaysMixedOrUnbounded) {
    const char* fromEnv = std::getenv("HKV_INTERLEAVING_EVENTS");
    const std::size_t n = fromEnv ? std::strtoul(fromEnv, nullptr, 10) : 5;
    constexpr char kEvents[] = "123456lrFAKe";
    std::string script;
    long long checked = 0;
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    auto check = [&](const std::string& s) {
        Harness h(s, false);
        h.Run();
        ++checked;
        if (!h.faults.empty() && ++failures <= 5) {
            ADD_FAILURE() << "script " << s << ": " << testing::PrintToString(h.faults);
        }
    };
    // Depth-first over the scripts: each prefix also ends once with the exit.
    std::function<void()> extend = [&] {
        if (script.size() == n) {
            check(script);
            return;
        }
        check(script + 'x');
        for (const char* e = kEvents; *e; ++e) {
            script.push_back(*e);
            extend();
            script.pop_back();
        }
    };
    extend();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%lld scripts of up to %zu events checked in %.2f s\n", checked, n, seconds);
    EXPECT_EQ(failures, 0);
}
