// The emission policy driven by scripts of user events, through the real player. The script's
// next events are injected wherever the real program would dispatch messages: inside the player's
// pauses and inside the policy's waits, so presses nest as they do in the program.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "keys/emission_policy.h"

using hkv::EmissionPolicy;

namespace {

struct Row {
    int index;
    const wchar_t* list;
    std::int32_t hotKeyModifiers; // as registered: 2 is Ctrl
    bool holdsCtrl;               // Ctrl is one of the old shortcut's own keys
};
// Row A plays Shift + H, row B plays Win + C; row S plays Ctrl + Alt + K, which is its own hotkey;
// row C, hotkey Ctrl + F9, plays Ctrl + C: a person repeats it holding Ctrl and tapping F9.
constexpr Row kRowA{0, L"2|16|72", 0, false};
constexpr Row kRowB{1, L"2|91|67", 0, false};
constexpr Row kRowS{2, L"3|17|18|75", 0, true};
constexpr Row kRowC{3, L"2|17|67", 2, true};
constexpr std::uint8_t kShift = 16, kCtrl = 17, kAlt = 18, kWin = 91, kRightWin = 92, kK = 75;

// Events: A, B, S a row's hotkey fires; C the user taps F9, which fires row C while the system
// believes Ctrl and no other modifier is down; v / ^ the user presses / releases Ctrl; e the
// current pause or wait ends (time is up); x the program exits. At the end of the script every
// pause and wait still running ends.
//
// The system's key state is one bit per key: any key-down sets it, any key-up clears it, whoever
// sent it, as Windows keeps it. Checked: with no emission in progress every bit is what the user
// holds; the program never releases a key the user holds, nor one it did not press; no old
// shortcut key is pressed while the user holds a modifier the shortcut does not hold; the
// keyboard is watched for as long as an emission is in progress, and no longer.
class Harness final : public hkv::KeyboardState,
                      public hkv::ConditionWaiter,
                      public hkv::KeyOutput {
  public:
    Harness(std::string_view script, bool logging) : script_(script), logging_(logging) {}

    void Run() {
        while (!exited_ && faults.empty() && pos_ < script_.size()) {
            Step();
            CheckAtRest();
        }
        CheckAtRest();
    }

    int ActivePlaybacks() const { return held_.ActivePlaybacks(); }

    std::string log;
    std::vector<std::string> faults;

  private:
    bool IsDown(std::uint8_t vk) const override { return down_[vk]; }
    // As the program's hook sees it: only a press made while the keyboard is watched.
    bool UserHolds(std::uint8_t vk) const override {
        return vk == kCtrl && userHoldsCtrl_ && ctrlPressWatched_;
    }
    void BeginWatching() override {
        if (watches_++ == 0) {
            ctrlPressWatched_ = false;
        }
    }
    void EndWatching() override { watches_ -= watches_ > 0 ? 1 : 0; }
    void StopWatching() override { watches_ = 0; }

    bool WaitUntil(const std::function<bool()>& done, int maxMs) override {
        CheckBound();
        if (maxMs > EmissionPolicy::kModifierReleaseWaitMs) {
            Fail("wait beyond its bound");
        }
        while (!done()) {
            if (!Step()) {
                return !exited_ && done();
            }
        }
        return true;
    }

    void Key(std::uint8_t vk, bool up) override {
        if (exited_) {
            Fail("key event after the exit");
        }
        if (watches_ == 0) {
            Fail("key event while the keyboard is not watched");
        }
        Log((up ? "^" : "v") + std::to_string(vk));
        pressed_[vk] += up ? -1 : 1;
        if (pressed_[vk] < 0) {
            Fail("key " + std::to_string(vk) + " released but not pressed");
        }
        if (up && vk == kCtrl && userHoldsCtrl_) {
            Fail("key " + std::to_string(vk) + " released under the user's finger");
        }
        down_[vk] = !up;
        if (up) {
            return;
        }
        if (userHoldsCtrl_ && !firing_.empty() && !firing_.back()->holdsCtrl) {
            Fail("old shortcut key " + std::to_string(vk) + " pressed while the user holds Ctrl");
        }
        if (vk == kK && down_[kCtrl] && down_[kAlt] && !down_[kShift] && !WinDown()) {
            ++pendingSelfFires_; // the system sees Ctrl + Alt + K: row S's hotkey
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

    // Injects the next event; false when it ends the current pause or wait.
    bool Step() {
        if (exited_ || !faults.empty()) { // after a fault the script stops: it unwinds at once
            return false;
        }
        if (pendingSelfFires_ > 0) {
            --pendingSelfFires_;
            Fire(kRowS);
            return true;
        }
        if (pos_ == script_.size()) {
            return false;
        }
        switch (script_[pos_++]) {
        case 'A':
            Fire(kRowA);
            break;
        case 'B':
            Fire(kRowB);
            break;
        case 'S':
            Fire(kRowS);
            break;
        case 'C':
            if (down_[kCtrl] && !down_[kAlt] && !down_[kShift] && !WinDown()) {
                Fire(kRowC);
            } // otherwise F9 reaches the application as it is
            break;
        case 'v':
            userHoldsCtrl_ = down_[kCtrl] = true;
            ctrlPressWatched_ = watches_ > 0;
            break;
        case '^':
            userHoldsCtrl_ = down_[kCtrl] = false;
            break;
        case 'x':
            policy_.Abandon(); // its releases are the last key events allowed
            exited_ = true;
            return false;
        default: // 'e'
            return false;
        }
        return true;
    }

    void Fire(const Row& row) {
        firing_.push_back(&row);
        policy_.HotKeyPressed(row.index, row.list, row.hotKeyModifiers);
        firing_.pop_back();
    }

    bool WinDown() const { return down_[kWin] || down_[kRightWin]; }

    // Between the script's top-level events no emission is in progress (after the exit, the
    // interrupted ones are gone too).
    void CheckAtRest() {
        for (int vk = 0; vk < 256; ++vk) {
            if (down_[vk] != (vk == kCtrl && userHoldsCtrl_)) {
                Fail("key " + std::to_string(vk) + (down_[vk] ? " down" : " up") +
                     " while the user " + (down_[vk] ? "does not hold it" : "holds it"));
            }
        }
        if (watches_ != 0) {
            Fail("the keyboard is still watched");
        }
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
    std::array<int, 256> pressed_{};
    bool userHoldsCtrl_ = false;
    bool ctrlPressWatched_ = false;
    bool exited_ = false;
    int watches_ = 0;
    int pendingSelfFires_ = 0;
    std::vector<const Row*> firing_;
    hkv::HeldKeys held_{*this, *this};
    EmissionPolicy policy_{*this, *this, held_};
};

} // namespace

TEST(EmissionPolicy, PlaysMergesAndDropsPressesAsTheUserHoldsAndReleasesCtrl) {
    // Row S fires again inside itself; every key of it is down already, so that one presses and
    // releases nothing.
    const std::string self = "v17 v18 v75 p[17 18 75] p[17 18 75] ^75 ^18 ^17";
    const struct {
        const char* script;
        std::string played;
    } rows[] = {
        {"A", "v16 v72 p[16 72] ^72 ^16"},
        {"vA^", "v16 v72 p[16 72] ^72 ^16"},   // played once Ctrl is up
        {"vAe", ""},                           // Ctrl still down when time is up: dropped
        {"vAeAeAe^", ""},                      // a held, repeating hotkey never plays mixed
        {"vAAA^", "v16 v72 p[16 72] ^72 ^16"}, // presses while waiting merge into one
        {"vAB^", "v91 v67 p[67 91] ^67 ^91 v16 v72 p[16 72] ^72 ^16"}, // the inner wait ends first
        // A press in a pause plays inside it at once: Win is held by the emission, not the user.
        {"BA", "v91 v67 p[67 91] v16 v72 p[16 67 72 91] ^72 ^16 ^67 ^91"},
        {"BvAe", "v91 v67 p[67 91] ^67 ^91"}, // but the user's Ctrl holds it back there too
        {"S", self},
        // S holds Ctrl and Alt, the user does not: a press in its pause plays inside it.
        {"SA", "v17 v18 v75 p[17 18 75] p[17 18 75] v16 v72 p[16 17 18 72 75] ^72 ^16 ^75 ^18 ^17"},
        // Ctrl held and F9 tapped three times: C each time, the user's Ctrl never pressed nor
        // released by the program; without Ctrl, F9 fires nothing.
        {"vCeCeCe^", "v67 p[17 67] ^67 v67 p[17 67] ^67 v67 p[17 67] ^67"},
        {"C", ""},
        {"vCCe^", "v67 p[17 67] p[17 67] ^67"},            // a tap in the pause: C is down already
        {"vS", "v18 v75 p[17 18 75] p[17 18 75] ^75 ^18"}, // Ctrl one of its own keys: no wait
        // The user pressed the Ctrl that S holds: it is left down, the user's, by the exit too.
        {"Sv", "v17 v18 v75 p[17 18 75] p[17 18 75] ^75 ^18"},
        {"Svx", "v17 v18 v75 p[17 18 75] p[17 18 75] ^75 ^18"},
        // Four in progress (two waiting): a further press is dropped.
        {"vABCS", "v67 p[17 67] v18 v75 p[17 18 67 75] ^75 ^18 ^67"},
        {"vBx", ""},                        // the exit ends a wait: nothing played
        {"Bx", "v91 v67 p[67 91] ^67 ^91"}, // the exit releases what a pause holds
        {"BAx", "v91 v67 p[67 91] v16 v72 p[16 67 72 91] ^72 ^16 ^67 ^91"}, // innermost first
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

// Every script of up to N events (the exit only as the last one, since nothing follows it). N is 6
// in the normal run (about 137,000 scripts, a few seconds with the sanitizers); the build target
// check_interleavings runs N = 8 (about 6.7 million, a few minutes).
TEST(EmissionPolicy, EveryInterleavingReleasesEverythingAndNeverPlaysMixedOrUnbounded) {
    const char* fromEnv = std::getenv("HKV_INTERLEAVING_EVENTS");
    const std::size_t n = fromEnv ? std::strtoul(fromEnv, nullptr, 10) : 6;
    constexpr char kEvents[] = "ABCSv^e";
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
