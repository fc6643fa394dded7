// Prints how long Delay really waits, how much processor time the waiting costs, and how fast the
// player runs through its output.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <vector>

#include "keys/keyfunc.h"
#include "keys/player.h"
#include "recording_output.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDelayRuns = 20;
constexpr int kPlaybacks = 1000;

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

} // namespace

int main() {
    // The first wait also sets up the thread's message queue and the timer: not part of a pause.
    hkv::keyfunc::Delay(1);
    MeasureDelay(100);
    MeasureDelay(200);
    MeasurePlayer();
    return 0;
}
