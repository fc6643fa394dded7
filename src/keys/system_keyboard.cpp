// The emission policy's view of the real keyboard: the system's key state and a watch of the
// user's key events.
#include <windows.h>

#include <array>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

#include "common/win_handles.h"
#include "keys/altgr_layout.h"
#include "keys/hook_timeout.h"
#include "keys/modifier_keys.h"
#include "keys/own_input.h"
#include "keys/system_keyboard.h"
#include "keys/system_layout.h"

namespace hkv {
namespace {

// Wine answers GetAsyncKeyState from a per-thread copy of the key state that it keeps up to 50 ms
// without asking again, so a modifier the user pressed in another program just before a hotkey
// may still read up here; Windows always answers from the current state. A thread that never
// asked, or last asked longer ago than that, asks again: on Wine alone, the modifiers are read
// there when a hotkey with modifiers fires, and taken as down until the watch sees them go up.
bool RunsOnWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

using ModifierSnapshot = std::array<bool, std::size(kModifierKeys)>;

// Releases the system refused (its input desktop switched, an elevated window in front) are sent
// again this often until it takes them: a person at the lock screen for an hour costs a timer.
constexpr UINT kRetryRefusedMs = 250;

void ReadModifiers(ModifierSnapshot& down) {
    for (std::size_t i = 0; i < down.size(); ++i) {
        down[i] = (GetAsyncKeyState(kModifierKeys[i].key) & 0x8000) != 0;
    }
}

DWORD WINAPI ReadModifiersOnce(void* snapshot) {
    ReadModifiers(*static_cast<ModifierSnapshot*>(snapshot));
    return 0;
}

// How long Wine keeps a thread's copy of the key state, and a little more for the rounding of its
// tick count and of the counter measured here: a thread whose last read is older asks again.
constexpr LONGLONG kWineKeyStateCopyMs = 50;
constexpr LONGLONG kCopyExpiredMs = kWineKeyStateCopyMs + 10;
constexpr LONGLONG kMsPerSecond = 1000;

LONGLONG NowMs() {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart * kMsPerSecond / frequency.QuadPart;
}

// The modifiers read on a thread whose copy of the key state is not kept (Wine alone). Creating a
// thread for each hotkey cost about 1 ms of every such press, so one thread is kept, started at
// the first need and asked by a signal; a hotkey that comes before its copy has expired is read on
// a thread created for it.
class FreshModifierReader {
  public:
    FreshModifierReader() = default;
    ~FreshModifierReader() {
        if (thread_) {
            stopping_ = true;
            SetEvent(request_.get());
            WaitForSingleObject(thread_.get(), INFINITE);
        }
    }
    FreshModifierReader(const FreshModifierReader&) = delete;
    FreshModifierReader& operator=(const FreshModifierReader&) = delete;

    // False when no thread could be had to read on.
    bool Read(ModifierSnapshot& down) {
        const bool keptCopyExpired = thread_ && NowMs() - lastReadMs_ >= kCopyExpiredMs;
        if (keptCopyExpired || (!thread_ && Start())) {
            // One call to signal and wait: each is a round trip to Wine's server.
            if (SignalObjectAndWait(request_.get(), done_.get(), INFINITE, FALSE) !=
                WAIT_OBJECT_0) {
                return false;
            }
            lastReadMs_ = NowMs();
            down = snapshot_;
            return true;
        }
        ModifierSnapshot snapshot{};
        const UniqueKernelHandle reader(
            CreateThread(nullptr, 0, &ReadModifiersOnce, &snapshot, 0, nullptr));
        if (!reader) {
            return false;
        }
        WaitForSingleObject(reader.get(), INFINITE);
        down = snapshot;
        return true;
    }

  private:
    bool Start() {
        request_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        done_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (request_ && done_) {
            thread_.reset(CreateThread(nullptr, 0, &Serve, this, 0, nullptr));
        }
        return static_cast<bool>(thread_);
    }

    // The events order every access to the snapshot and the stop between the two threads.
    static DWORD WINAPI Serve(void* reader) {
        auto& self = *static_cast<FreshModifierReader*>(reader);
        DWORD woken = WaitForSingleObject(self.request_.get(), INFINITE);
        while (woken == WAIT_OBJECT_0 && !self.stopping_) {
            ReadModifiers(self.snapshot_);
            woken = SignalObjectAndWait(self.done_.get(), self.request_.get(), INFINITE, FALSE);
        }
        return 0;
    }

    UniqueKernelHandle request_;
    UniqueKernelHandle done_;
    UniqueKernelHandle thread_;
    ModifierSnapshot snapshot_{};
    bool stopping_ = false;
    LONGLONG lastReadMs_ = 0;
};

// The hook is installed only while an emission is watching, because every key event of the
// whole system passes through it and this thread must answer it: by the outermost watch, shared
// by the watches nested in it, removed when that one ends however it ends, and by StopWatching
// when the program ends inside emissions. Without a hook (refused) the key state alone answers and
// nothing is held back.
class SystemKeyboard final : public KeyboardState {
  public:
    SystemKeyboard(SendKeys send, std::uint32_t hooksTimeoutMs)
        : send_(send), hooksTimeoutMs_(hooksTimeoutMs) {
        self_ = this;
    }
    ~SystemKeyboard() override {
        // Its timers would otherwise reach a keyboard that is gone.
        KillTimer(nullptr, retryTimer_);
        KillTimer(nullptr, giveUpTimer_);
        watching_ = self_ = nullptr;
    }
    SystemKeyboard(const SystemKeyboard&) = delete;
    SystemKeyboard& operator=(const SystemKeyboard&) = delete;

    bool IsDown(std::uint8_t virtualKey) const override {
        if (onWine_) {
            for (std::size_t i = 0; i < std::size(kModifierKeys); ++i) {
                if (freshlyDown_[i] && SameKey(virtualKey, kModifierKeys[i].key)) {
                    return true;
                }
            }
        }
        return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
    }

    void HotKeyFired(std::int32_t modifierFlags) override {
        if (!onWine_ || modifierFlags == 0 || Watching()) {
            return; // inside a watch, every change since its start has been seen
        }
        ModifierSnapshot snapshot{};
        if (freshReader_.Read(snapshot)) {
            freshlyDown_ = snapshot;
        }
    }

    static bool Watched() { return self_ && self_->hook_.get() != nullptr; }

    void ScheduleSendAgain() override {
        // A thread timer with a procedure of its own: dispatched by whichever loop runs next.
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &SendAgainLater);
    }

  protected:
    void StartWatch() override {
        watching_ = this;
        answeredMs_ = GetTickCount(); // no call before the hook is in place
        hook_.reset(Hook());
    }
    void Rewatch() override {
        // The new hook first, so that no event passes unwatched between the two.
        const DWORD installedMs = GetTickCount();
        if (UniqueHook fresh{Hook()}) {
            hook_ = std::move(fresh);
            answeredMs_ = installedMs;
        }
    }
    void StopWatch() override {
        hook_.reset();
        watching_ = nullptr;
        freshlyDown_ = {};
    }

    // As they came, with the key, scan code and flags they came with, and the mark they carry
    // (the user's own sent again, or the program's release owed), so that a hotkey among them
    // fires, a focused hotkey box captures them, and another tool still knows its own.
    std::size_t Deliver(std::span<const UserKeyEvent> events) override {
        std::array<INPUT, UserKeys::kMaxHeldBack> inputs{};
        UINT count = 0;
        for (const UserKeyEvent& event : events) {
            if (count == inputs.size()) {
                break;
            }
            INPUT& input = inputs[count++];
            input.type = INPUT_KEYBOARD;
            input.ki.dwFlags = event.up ? KEYEVENTF_KEYUP : 0;
            if (event.unicode) {
                // The character alone: with a key code the system would not take it as one.
                input.ki.wScan = event.scanCode;
                input.ki.dwFlags |= KEYEVENTF_UNICODE;
            } else {
                input.ki.wVk = event.vk;
                input.ki.wScan = event.scanCode != 0
                                     ? event.scanCode
                                     : static_cast<WORD>(MapVirtualKeyW(event.vk, MAPVK_VK_TO_VSC));
                input.ki.dwFlags |= event.extended ? KEYEVENTF_EXTENDEDKEY : 0;
            }
            input.ki.dwExtraInfo = event.extraInfo;
        }
        return send_(count, inputs.data(), sizeof(INPUT));
    }

    void AwaitSentAgain() override {
        // They come through within a few milliseconds; should they not, the user's later keys
        // must not wait for them.
        KillTimer(nullptr, giveUpTimer_);
        giveUpTimer_ = SetTimer(nullptr, 0, kSentAgainTimeoutMs, &GiveUpWaiting);
    }

    void ScheduleRetry() override {
        KillTimer(nullptr, retryTimer_);
        retryTimer_ = SetTimer(nullptr, 0, kRetryRefusedMs, &RetryLater);
    }

    bool RightAltIsAltGr() const override {
        const HKL layout =
            GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
        return altGrByLayout_.HasAltGr(reinterpret_cast<std::uintptr_t>(layout),
                                       [&] { return SystemLayoutHasAltGr(layout); });
    }

  private:
    static HHOOK Hook() {
        return SetWindowsHookExW(WH_KEYBOARD_LL, &WatchKey, GetModuleHandleW(nullptr), 0);
    }

    // Called on this thread through a sent message for every key event in the system.
    static LRESULT CALLBACK WatchKey(int code, WPARAM wParam, LPARAM lParam) {
        const LRESULT answer = Answer(code, wParam, lParam);
        // The system's next call comes after this answer: whether it came late is judged from it.
        if (watching_) {
            watching_->answeredMs_ = GetTickCount();
        }
        return answer;
    }

    // The program's own events carry its mark and pass; every other key event is the user's,
    // noted, and held back (returned as handled) while a playback has the user's modifiers lifted.
    static LRESULT Answer(int code, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        // The watch may end in here (the user's last event sent again came through).
        if (code == HC_ACTION && watching_) {
            // The message tells a release too: Wine leaves LLKHF_UP clear on a character's.
            const bool up =
                (key->flags & LLKHF_UP) != 0 || wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
            const UserKeyEvent event{static_cast<std::uint8_t>(key->vkCode & 0xFF),
                                     up,
                                     static_cast<std::uint16_t>(key->scanCode & 0xFFFF),
                                     (key->flags & LLKHF_EXTENDED) != 0,
                                     key->dwExtraInfo,
                                     key->vkCode == VK_PACKET,
                                     (key->flags & LLKHF_INJECTED) != 0,
                                     CameAfterTimeout(key->time, watching_->answeredMs_,
                                                      GetTickCount(), watching_->hooksTimeoutMs_,
                                                      (key->flags & LLKHF_INJECTED) != 0)};
            if (event.up) {
                watching_->ForgetFreshlyDown(event.vk);
            }
            if (key->dwExtraInfo == kOwnInputSignature) {
                watching_->TakeOwnKey(event);
            } else if (watching_->TakeUserKey(event, answering_ > 0)) {
                return 1;
            }
        }
        // While this thread waits for the next hooks to answer, Wine may bring it another event to
        // answer for, which then reaches the system before this one; Windows calls the hooks for
        // one event at a time, so there this count never passes one.
        ++answering_;
        const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
        --answering_;
        return next;
    }

    static void CALLBACK GiveUpWaiting(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (watching_ && watching_->giveUpTimer_ == timer) {
            watching_->giveUpTimer_ = 0;
            watching_->StopWaitingForSentAgain();
        }
    }

    static void CALLBACK RetryLater(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (self_ && self_->retryTimer_ == timer) {
            self_->retryTimer_ = 0;
            self_->RetryRefused();
        }
    }

    static void CALLBACK SendAgainLater(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (watching_) {
            watching_->SendAgainNow();
        }
    }

    // Wine keeps a right Shift that was sent as a left one in its key state while its hook reports
    // the right one: any release of a modifier ends what the fresh read saw of that modifier.
    void ForgetFreshlyDown(std::uint8_t vk) {
        for (std::size_t i = 0; i < std::size(kModifierKeys); ++i) {
            freshlyDown_[i] = freshlyDown_[i] && ModifierFlagOf(vk) != kModifierKeys[i].flag;
        }
    }

    // A hook procedure is given no context: the one keyboard that installed it.
    static inline SystemKeyboard* watching_ = nullptr;
    // Calls of WatchKey in progress on this thread.
    static inline int answering_ = 0;
    // Nor a timer procedure: the one keyboard.
    static inline SystemKeyboard* self_ = nullptr;
    mutable AltGrByLayout altGrByLayout_;
    const SendKeys send_;
    UINT_PTR retryTimer_ = 0;
    const bool onWine_ = RunsOnWine();
    ModifierSnapshot freshlyDown_{};
    FreshModifierReader freshReader_;
    UINT_PTR giveUpTimer_ = 0;
    const std::uint32_t hooksTimeoutMs_;
    // When the hook last answered, or was installed: the system calls it next after that.
    DWORD answeredMs_ = 0;
    UniqueHook hook_;
};

// The running Windows' build, as the system itself reports it (unlike GetVersionEx, whatever
// the executable's manifest says); 0 when it cannot be had.
std::uint32_t WindowsBuild() {
    using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto getVersion = ntdll ? reinterpret_cast<GetVersionFunction>(reinterpret_cast<void*>(
                                        GetProcAddress(ntdll, "RtlGetVersion")))
                                  : nullptr;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return getVersion && getVersion(&version) == 0 ? version.dwBuildNumber : 0;
}

} // namespace

std::uint32_t SystemHooksTimeoutMs() {
    constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
    constexpr wchar_t kValue[] = L"LowLevelHooksTimeout";
    const std::uint32_t build = WindowsBuild();
    DWORD number = 0;
    DWORD size = sizeof(number);
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &number, &size) ==
        ERROR_SUCCESS) {
        return HooksTimeoutMs(number, std::nullopt, build);
    }
    std::array<wchar_t, 16> text{};
    size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, text.data(), &size) ==
        ERROR_SUCCESS) {
        return HooksTimeoutMs(std::nullopt, std::wstring_view(text.data()), build);
    }
    return HooksTimeoutMs(std::nullopt, std::nullopt, build);
}

std::unique_ptr<KeyboardState> MakeSystemKeyboard(SendKeys send, std::uint32_t hooksTimeoutMs) {
    return std::make_unique<SystemKeyboard>(send, hooksTimeoutMs);
}

bool SystemKeyboardWatched() {
    return SystemKeyboard::Watched();
}

} // namespace hkv
