// The emission policy's view of the real keyboard, and its wait for the user to let go of keys.
#include <windows.h>

#include <array>
#include <chrono>
#include <optional>

#include "common/win_handles.h"
#include "keys/keyfunc.h"
#include "keys/modifier_keys.h"
#include "keys/own_input.h"
#include "keys/system_keyboard.h"

namespace hkv {
namespace {

// The system updates its key state only after the low-level hooks have seen the event, so just
// after a key-up the state may still show the key down. For this long the condition is looked at
// again without sleeping; a message-aware sleep would last a whole timer tick on Windows.
constexpr auto kSettleTime = std::chrono::milliseconds(2);

// Wine answers GetAsyncKeyState from a copy of the key state that it keeps up to this long
// without asking again, as long as this process handles no input of its own; a key the user
// pressed in another program meanwhile still reads as up.
constexpr auto kStaleKeyStateTime = std::chrono::milliseconds(50);

// What the hook has seen of the keyboard while it is watched: the key-ups anywhere in the system,
// the count at each key's latest key-up, and the keys the user holds (pressed by anyone but this
// program, not released since), each under the code it was reported with. Process-wide because a
// hook procedure is given no context; only the one system keyboard below installs the hook.
struct SeenKeys {
    unsigned keyUps = 0;
    std::array<unsigned, 256> lastKeyUp{};
    std::array<bool, 256> userHolds{};
};
SeenKeys g_seen;

// The code that stands for both sides of a left or right Shift, Ctrl or Alt key, which the key
// state and the policy ask for; 0 for every other key (the Win keys have no such code: each is
// asked for on its own).
std::uint8_t BothSidesCode(std::uint8_t vk) {
    for (const SidedKey& sided : kSidedKeys) {
        if (vk == sided.left || vk == sided.right) {
            return sided.both;
        }
    }
    return 0;
}

// Called on this thread through a sent message, which is what wakes a waiting pump; it only takes
// notes and passes every event on untouched. A left or right modifier's key-up is filed under the
// code for both sides too, so that a wait for Ctrl sees a real keyboard let go of it. The
// program's own events carry its mark; every other key event is the user's.
LRESULT CALLBACK WatchKey(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        const auto vk = static_cast<std::uint8_t>(key->vkCode & 0xFF);
        const bool up = (key->flags & LLKHF_UP) != 0;
        if (up) {
            ++g_seen.keyUps;
            g_seen.lastKeyUp[vk] = g_seen.keyUps;
            if (const std::uint8_t both = BothSidesCode(vk)) {
                g_seen.lastKeyUp[both] = g_seen.keyUps;
            }
        }
        if (key->dwExtraInfo != kOwnInputSignature) {
            g_seen.userHolds[vk] = !up;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool TrueWithinSettleTime(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kSettleTime;
    while (std::chrono::steady_clock::now() < end) {
        SwitchToThread();
        if (done()) {
            return true;
        }
    }
    return false;
}

// A hotkey's own modifiers count as down from the moment it fired until the hook sees them go
// up, or until the key state can no longer be an old copy; the state alone could report them up
// while the user still holds them, and the shortcut would reach the application with them.
//
// The hook is installed only while an emission is watching, because every key event of the
// whole system passes through it and this thread must answer it: by the outermost watch, shared
// by the watches nested in it, removed when that one ends however it ends, and by StopWatching
// when the program ends inside emissions. Without a hook (refused) the key state alone answers.
class SystemKeyboard final : public KeyboardState {
  public:
    bool IsDown(std::uint8_t virtualKey) const override {
        if (auto& held = heldSince_[virtualKey]) {
            const bool seenUp = g_seen.lastKeyUp[virtualKey] > held->keyUpsBefore;
            if (!seenUp && std::chrono::steady_clock::now() - held->time < kStaleKeyStateTime) {
                return true;
            }
            held.reset();
        }
        return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
    }

    void HeldWhenHotKeyFired(std::uint8_t virtualKey) override {
        heldSince_[virtualKey] = Held{std::chrono::steady_clock::now(), g_seen.keyUps};
    }

    // Shift, Ctrl or Alt as such is held when either of its keys is.
    bool UserHolds(std::uint8_t virtualKey) const override {
        const auto& holds = g_seen.userHolds;
        for (const SidedKey& sided : kSidedKeys) {
            if (virtualKey == sided.both && (holds[sided.left] || holds[sided.right])) {
                return true;
            }
        }
        return holds[virtualKey];
    }

    void BeginWatching() override {
        if (watches_++ == 0) {
            // Keys pressed before are the key state's to tell: the notes start afresh.
            g_seen.userHolds.fill(false);
            hook_.reset(SetWindowsHookExW(WH_KEYBOARD_LL, &WatchKey, GetModuleHandleW(nullptr), 0));
        }
    }
    void EndWatching() override {
        if (watches_ > 0 && --watches_ == 0) {
            hook_.reset();
        }
    }
    void StopWatching() override {
        watches_ = 0;
        hook_.reset();
    }

    bool Watching() const { return hook_.get() != nullptr; }

  private:
    struct Held {
        std::chrono::steady_clock::time_point time;
        unsigned keyUpsBefore;
    };
    mutable std::array<std::optional<Held>, 256> heldSince_{};
    int watches_ = 0;
    UniqueHook hook_;
};

SystemKeyboard& TheKeyboard() {
    static SystemKeyboard keyboard;
    return keyboard;
}

// The release of a key goes to the window that has the focus, usually in another program, and
// wakes nothing here; the message pump alone would notice it only at its next poll (10 ms). While
// an emission watches the keyboard, its hook is called on this thread for every key event in the
// system, so the wait looks again at once.
class PumpingWaiter final : public ConditionWaiter {
  public:
    bool WaitUntil(const std::function<bool()>& done, int maxMilliseconds) override {
        unsigned seen = g_seen.keyUps;
        return keyfunc::PumpUntil(
            [&] {
                if (done()) {
                    return true;
                }
                if (seen == g_seen.keyUps) {
                    return false;
                }
                seen = g_seen.keyUps;
                return TrueWithinSettleTime(done);
            },
            maxMilliseconds);
    }
};

} // namespace

KeyboardState& SystemKeyboardState() {
    return TheKeyboard();
}

ConditionWaiter& SystemWaiter() {
    static PumpingWaiter waiter;
    return waiter;
}

bool SystemKeyboardWatched() {
    return TheKeyboard().Watching();
}

} // namespace hkv
