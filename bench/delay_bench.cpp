// Prints how long Delay really waits, how much processor time the waiting costs, how fast the
// player runs through its output, and how soon an old shortcut starts after the user lets go of
// the hotkey's modifier.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <optional>
#include <thread>
#include <vector>

#include "keys/emission_policy.h"
#include "keys/keyfunc.h"
#include "keys/system_key_output.h"
#include "keys/system_keyboard.h"
#include "recording_output.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDelayRuns = 20;
constexpr int kPlaybacks = 1000;
constexpr int kReleaseRuns = 40;

double MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// User plus kernel time of this process so far, in milliseconds.
double ProcessCpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto units = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    constexpr double kUnitsPerMs = 10'000; // FILETIME counts 100 ns
    return static_cast<double>(units(kernel) + units(user)) / kUnitsPerMs;
}

void MeasureDelay(double ms) {
    std::vector<double> runs;
    const double cpuBefore = ProcessCpuMs();
    const auto wallBefore = Clock::now();
    for (int i = 0; i < kDelayRuns; ++i) {
        const auto start = Clock::now();
        hkv::keyfunc::Delay(ms);
        runs.push_back(MsBetween(start, Clock::now()));
    }
    const double wall = MsBetween(wallBefore, Clock::now());
    const double cpu = ProcessCpuMs() - cpuBefore;
    std::sort(runs.begin(), runs.end());
    const double median = (runs[kDelayRuns / 2 - 1] + runs[kDelayRuns / 2]) / 2;
    std::printf("Delay(%.0f) x %d: min %.2f ms, median %.2f ms, max %.2f ms; "
                "process CPU %.2f ms over %.0f ms waited (%.3f%%)\n",
                ms, kDelayRuns, runs.front(), median, runs.back(), cpu, wall, 100.0 * cpu / wall);
}

void MeasurePlayer() {
    hkv::test::RecordingOutput output;
    hkv::SetKeyOutput(&output);
    const wchar_t* lists[] = {L"1|65", L"2|17|67", L"3|17|16|83", L"4|17|18|16|83"};
    const auto start = Clock::now();
    for (int i = 0; i < kPlaybacks; ++i) {
        hkv::opendo(lists[i % std::size(lists)]);
    }
    const double ms = MsBetween(start, Clock::now());
    hkv::SetKeyOutput(nullptr);
    std::printf("opendo x %d through a recording output: %.3f ms in all, %.2f us each "
                "(%zu events recorded)\n",
                kPlaybacks, ms, 1000.0 * ms / kPlaybacks, output.events.size());
}

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

bool CtrlDown() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

// The wait as it was before the keyboard hook: the message pump and its poll alone.
class PollingWaiter final : public hkv::ConditionWaiter {
  public:
    bool WaitUntil(const std::function<bool()>& done, int maxMilliseconds) override {
        return hkv::keyfunc::PumpUntil(done, maxMilliseconds);
    }
};

// Notes when the first key of the old shortcut goes down; sends nothing.
class FirstKeyClock final : public hkv::KeyOutput {
  public:
    std::optional<Clock::time_point> firstDown;
    void Key(std::uint8_t, bool up) override {
        if (!up && !firstDown) {
            firstDown = Clock::now();
        }
    }
    void Pause(int) override {}
};

// A row plays A while the user holds Ctrl; another thread, whose window has the focus as the
// application's would, lets go of Ctrl. Measures from just before that release to the first key
// of the shortcut.
void MeasureReleaseToPlay(const char* name, hkv::ConditionWaiter& waiter) {
    FirstKeyClock output;
    hkv::EmissionPolicy policy(hkv::SystemKeyboardState(), waiter, output);
    std::atomic<int> round{-1};
    std::atomic<bool> played{false};
    std::vector<Clock::time_point> released(kReleaseRuns);
    std::thread user([&] {
        HWND focus = CreateWindowExW(0, L"STATIC", L"application", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                     100, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(focus);
        SetFocus(focus);
        for (int i = 0; i < kReleaseRuns; ++i) {
            SendKey(VK_CONTROL, false);
            while (round.load() != i) {
                Sleep(1);
            }
            // A person lets go some moments after the press: not in step with any poll.
            Sleep(20 + static_cast<DWORD>(i % 7) * 3);
            released[static_cast<std::size_t>(i)] = Clock::now();
            SendKey(VK_CONTROL, true);
            while (!played.exchange(false)) {
                Sleep(1);
            }
        }
        DestroyWindow(focus);
    });
    std::vector<double> ms;
    for (int i = 0; i < kReleaseRuns; ++i) {
        hkv::keyfunc::PumpUntil(CtrlDown, 1000);
        output.firstDown.reset();
        round = i;
        policy.HotKeyPressed(0, L"1|65");
        if (output.firstDown) {
            ms.push_back(MsBetween(released[static_cast<std::size_t>(i)], *output.firstDown));
        }
        played = true;
    }
    user.join();
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) {
        std::printf("release to play, %s: nothing played\n", name);
        return;
    }
    std::printf("release to play, %s, %zu of %d runs: min %.3f ms, median %.3f ms, max %.3f ms\n",
                name, ms.size(), kReleaseRuns, ms.front(), ms[ms.size() / 2], ms.back());
}

} // namespace

int main() {
    // The first wait also sets up the thread's message queue and the timer: not part of a pause.
    hkv::keyfunc::Delay(1);
    MeasureDelay(100);
    MeasureDelay(200);
    MeasurePlayer();
    PollingWaiter polling;
    MeasureReleaseToPlay("message pump polling alone", polling);
    MeasureReleaseToPlay("with the keyboard hook", hkv::SystemWaiter());
    return 0;
}
