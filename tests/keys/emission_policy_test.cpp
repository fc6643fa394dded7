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
};
// Row A plays Shift + H, row B plays Win + C; row S plays Ctrl + Alt + K, which is its own hotkey.
// No two rows share a key, so a key tells which row plays it.
constexpr Row kRowA{0, L"2|16|72"};
constexpr Row kRowB{1, L"2|91|67"};
constexpr Row kRowS{2, L"3|17|18|75"};
constexpr std::uint8_t kShift = 16, kCtrl = 17, kAlt = 18, kWin = 91, kK = 75;
// The modifier the user holds: foreign to rows A and B, one of row S's own keys.
constexpr std::uint8_t kUserModifier = kCtrl;

// Events: A, B, S a row's hotkey fires; v / ^ the user presses / releases Ctrl; e the current
// pause or wait ends (time is up); x the program exits. At the end of the script every pause and
// wait still running ends.
class Harness final : public hkv::KeyboardState,
                      public hkv::ConditionWaiter,
                      public hkv::KeyOutput {
  public:
    Harness(std::string_view script, bool logging) : script_(script), logging_(logging) {}

    void Run() {
        while (!exited_ && faults.empty() && pos_ < script_.size()) {
            Step();
        }
        for (int vk = 0; vk < 256; ++vk) {
            if (pressed_[vk] != 0) {
                Fail("key " + std::to_string(vk) + " left down");
            }
        }
    }

    int ActivePlaybacks() const { return held_.ActivePlaybacks(); }

    std::string log;
    std::vector<std::string> faults;

  private:
    bool IsDown(std::uint8_t vk) const override { return down_[vk]; }

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
        Log((up ? "^" : "v") + std::to_string(vk));
        pressed_[vk] += up ? -1 : 1;
        if (pressed_[vk] < 0) {
            Fail("key " + std::to_string(vk) + " released but not pressed");
        }
        down_[vk] = !up; // a synthetic event changes the system's key state like a real one
        if (up) {
            return;
        }
        const bool ofRowS = vk == kCtrl || vk == kAlt || vk == kK; // the one holding Ctrl itself
        if (userHolds_ && down_[kUserModifier] && !ofRowS && !held_.IsHeld(kUserModifier)) {
            Fail("old shortcut key " + std::to_string(vk) + " pressed while the user holds Ctrl");
        }
        if (vk == kK && down_[kCtrl] && down_[kAlt] && !down_[kShift] && !down_[kWin]) {
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
        case 'v':
            userHolds_ = down_[kUserModifier] = true;
            break;
        case '^':
            userHolds_ = down_[kUserModifier] = false;
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

    void Fire(const Row& row) { policy_.HotKeyPressed(row.index, row.list); }

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
    bool userHolds_ = false;
    bool exited_ = false;
    int pendingSelfFires_ = 0;
    hkv::HeldKeys held_{*this};
    EmissionPolicy policy_{*this, *this, held_};
};

} // namespace

TEST(EmissionPolicy, PlaysMergesAndDropsPressesAsTheUserHoldsAndReleasesCtrl) {
    const std::string selfFour = "v17 v18 v75 p[17 18 75] v17 v18 v75 p[17 18 75] "
                                 "v17 v18 v75 p[17 18 75] v17 v18 v75 p[17 18 75] "
                                 "^75 ^18 ^17 ^75 ^18 ^17 ^75 ^18 ^17 ^75 ^18 ^17";
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
        {"S", selfFour},                      // nested to the bound, then everything is released
        {"vS", selfFour},                     // Ctrl is one of its own keys: no wait
        {"SA", selfFour},                     // at the bound a further press is dropped
        {"vBx", ""},                          // the exit ends a wait: nothing played
        {"Bx", "v91 v67 p[67 91] ^67 ^91"},   // the exit releases what a pause holds
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
// in the normal run (about a second); the build target check_interleavings runs N = 8.
TEST(EmissionPolicy, EveryInterleavingReleasesEverythingAndNeverPlaysMixedOrUnbounded) {
    const char* fromEnv = std::getenv("HKV_INTERLEAVING_EVENTS");
    const std::size_t n = fromEnv ? std::strtoul(fromEnv, nullptr, 10) : 6;
    constexpr char kEvents[] = "ABSv^e";
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
