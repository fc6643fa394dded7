// Measures what a user feels of the program: how long it takes from start to a shown window, and
// what it costs while it sits idle (processor time, working set). Run by scripts/bench.sh.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "support/program_under_test.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuMilliseconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return 0;
    }
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

void PrintSpread(const char* what, std::vector<double> values, const char* unit) {
    std::sort(values.begin(), values.end());
    std::printf("%-34s min %8.1f  median %8.1f  max %8.1f %s\n", what, values.front(),
                values[values.size() / 2], values.back(), unit);
}

} // namespace

int main() {
    constexpr int kRuns = 5;
    constexpr int kIdleSeconds = 5;
    const char kIni[] = "[conftext]\r\n0=Ctrl + C\r\n[conftooltip]\r\n0=2|17|67\r\n"
                        "[Velmo]\r\nVelmo1Text=Ctrl + Alt + K\r\nVelmo1KeyCode=75\r\n"
                        "Velmo1ModKeyCode=3\r\n";
    std::vector<double> startMs, idleCpuMs, workingSetKb;
    for (int run = 0; run < kRuns; ++run) {
        hkv::test::ProgramUnderTest program(L"bench");
        program.WriteIni(kIni);
        const auto started = Clock::now();
        if (!program.Start()) {
            std::printf("the program did not show its window\n");
            return 1;
        }
        startMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - started).count());
        // Let it settle, then measure a quiet stretch.
        hkv::test::WaitUntil([] { return false; }, std::chrono::milliseconds(3000));
        const double before = CpuMilliseconds(program.Process());
        hkv::test::WaitUntil([] { return false; }, std::chrono::seconds(kIdleSeconds));
        idleCpuMs.push_back(CpuMilliseconds(program.Process()) - before);
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(program.Process(), &memory, sizeof memory);
        workingSetKb.push_back(static_cast<double>(memory.WorkingSetSize) / 1024.0);
    }
    std::printf("Program start-up and idle cost over %d runs (Wine on Xvfb)\n", kRuns);
    PrintSpread("start to window shown", startMs, "ms");
    char label[64];
    std::snprintf(label, sizeof label, "processor time in %d s idle", kIdleSeconds);
    PrintSpread(label, idleCpuMs, "ms");
    PrintSpread("working set while idle", workingSetKb, "KiB");
    return 0;
}
