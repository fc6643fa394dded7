// The emission policy's view of the real keyboard, and its wait for the user to let go of keys.
#include <windows.h>

#include <array>
#include <chrono>
#include <optional>

#include "common/scope_guard.h"
#include "common/win_handles.h"
#include "keys/system_keyboard.h"
#include "keys/keyfunc.h"

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

// Key-ups anywhere in the system seen by the hook, and the count at each key's latest key-up.
unsigned g_keyUps = 0;
std::array<unsigned, 256> g_lastKeyUp{};

// Called on this thread through a sent message, which is what wakes the waiting pump; it only
// counts and passes every event on untouched.
LRESULT CALLBACK CountKeyUp(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION &&
        (reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->flags & LLKHF_UP) != 0) {
        g_lastKeyUp[reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode & 0xFF] = ++g_keyUps;
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
class SystemKeyboard final : public KeyboardState {
  public:
    bool IsDown(std::uint8_t virtualKey) const override {
        if (auto& held = heldSince_[virtualKey]) {
            const bool seenUp = g_lastKeyUp[virtualKey] > held->keyUpsBefore;
            if (!seenUp && std::chrono::steady_clock::now() - held->time < kStaleKeyStateTime) {
                return true;
            }
            held.reset();
        }
        return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
    }

    void HeldWhenHotKeyFired(std::uint8_t virtualKey) override {
        heldSince_[virtualKey] = Held{std::chrono::steady_clock::now(), g_keyUps};
    }

  private:
    struct Held {
        std::chrono::steady_clock::time_point time;
        unsigned keyUpsBefore;
    };
    mutable std::array<std::optional<Held>, 256> heldSince_{};
};

// The release of a key goes to the window that has the focus, usually in another program, and
// wakes nothing here; the message pump alone would notice it only at its next poll (10 ms). A
// low-level keyboard hook is called on this thread for every key event in the system, so the wait
// looks again at once. The hook is installed only while a wait lasts, because every key event of
// the whole system passes through it and this thread must answer it: by the outermost wait, shared
// by waits nested in it, removed when that wait ends however it ends, and by Abandon before the
// program ends inside a wait. Without a hook (refused) the pump's poll still ends the wait.
class HookedWaiter final : public ConditionWaiter {
  public:
    bool WaitUntil(const std::function<bool()>& done, int maxMilliseconds) override {
        const bool outermost = !hook_;
        if (outermost) {
            hook_.reset(
                SetWindowsHookExW(WH_KEYBOARD_LL, &CountKeyUp, GetModuleHandleW(nullptr), 0));
        }
        ScopeGuard removeHook([this, outermost] {
            if (outermost) {
                hook_.reset();
            }
        });
        unsigned seen = g_keyUps;
        return keyfunc::PumpUntil(
            [&] {
                if (done()) {
                    return true;
                }
                if (seen == g_keyUps) {
                    return false;
                }
                seen = g_keyUps;
                return TrueWithinSettleTime(done);
            },
            maxMilliseconds);
    }

    void Abandon() override { hook_.reset(); }

  private:
    UniqueHook hook_;
};

} // namespace

KeyboardState& SystemKeyboardState() {
    static SystemKeyboard keyboard;
    return keyboard;
}

ConditionWaiter& SystemWaiter() {
    static HookedWaiter waiter;
    return waiter;
}

} // namespace hkv
