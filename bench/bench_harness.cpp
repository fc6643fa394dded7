// Drives the release program and the floor programs under the same Wine and display, alternating
// between them, and prints one Markdown table of medians with their p10-p90 spread.
//
//   bench_harness [--quick]   (run by scripts/bench.sh; the floors lie beside this executable)
//
// --quick runs a tenth of every count, for trying the harness out; its figures are not the table's.
//
// Key timings are taken with QueryPerformanceCounter: the moment before SendInput, and the moment
// the harness's focused target window sees the key message.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/frmset_ids.h"
#include "common/win_handles.h"
#include "floor_hotkey.h"
#include "support/input.h"
#include "support/key_recorder.h"
#include "support/program_under_test.h"

namespace {

using namespace hkv::test;
using namespace hkv::bench;
namespace ids = hkv::ids;

// How many of each (divided by kQuickDivisor with --quick); the presses and the editor cycles
// also make up the memory-growth round.
int kStartRuns = 20;
int kWarmUpPresses = 20;
int kWarmUpEditorCycles = 10;
int kLatencyPresses = 1000;
int kModifierPresses = 200;
int kTypedPresses = 200;
int kTwoKeyPresses = 100;
int kEditorCycles = 200;
DWORD kIdleMs = 30'000;
constexpr int kQuickDivisor = 10;
constexpr DWORD kSettleMs = 500; // after input-idle, before the working set is read
// After a program is ended, Wine's desktop process spends up to 2 s withdrawing its windows on a
// display without a window manager; a program started meanwhile waits for it.
constexpr DWORD kAfterEndMs = 3000;
constexpr DWORD kModifierHoldMs = 30; // a person lets go of Ctrl a moment before the next press
constexpr auto kPlayDeadline = std::chrono::milliseconds(3000);
constexpr auto kStartDeadline = std::chrono::milliseconds(30000);
constexpr double kBytesPerKb = 1024.0;
// The goals against the floors: start-up within 5 % of the same job's floor, its working set
// within 1 MB; a press within 0.15 ms of the hook floor, a lifted press within 0.5 ms of the lift
// floor.
constexpr double kStartGoal = 1.05;
constexpr double kMemoryGoalKb = 1024.0;
constexpr double kPressGoalMs = 0.15;
constexpr double kLiftedGoalMs = 0.5;

// The program's rows: hotkeys without modifiers except row 2 (Ctrl + F9); every old shortcut
// types a letter the target can tell apart. Rows 4-10 exist to be enabled for the idle figure.
constexpr WORD kRow1Hotkey = VK_F9;
constexpr WORD kRow1Key = 'A';
constexpr WORD kRow2Key = 'C';
constexpr WORD kRow3Hotkey = VK_F11;
constexpr WORD kRow3LastKey = 'D';   // row 3 plays Ctrl + D
constexpr WORD kFloorHotkey = VK_F8; // the floor cannot hold F9 while the program does
constexpr WORD kFloorKey = 'B';
// The floor's Ctrl + F8 types G, against row 2's Ctrl + F9, which plays C without Ctrl.
constexpr WORD kFloorCtrlHotkey = VK_F8;
constexpr WORD kFloorCtrlKey = 'G';
// The floors that do the program's work: F7 types J under a hook; Ctrl + F7 lifts Ctrl, types K
// and puts Ctrl back, under a hook; F6 holds M as long as row 1 holds A, under a hook.
constexpr WORD kFloorHookHotkey = VK_F7;
constexpr WORD kFloorHookKey = 'J';
constexpr WORD kFloorLiftHotkey = VK_F7;
constexpr WORD kFloorLiftKey = 'K';
constexpr WORD kFloorHeldHotkey = VK_F6;
constexpr WORD kFloorHeldKey = 'M';
// Typed by the user while a shortcut plays: neither a hotkey nor a key any shortcut plays.
constexpr WORD kTypedKey = 'X';
const char kIni[] =
    "[conftext]\r\n0=A\r\n1=C\r\n2=Ctrl + D\r\n3=E\r\n4=E\r\n5=E\r\n6=E\r\n7=E\r\n8=E\r\n9=F10\r\n"
    "[conftooltip]\r\n0=1|65\r\n1=1|67\r\n2=2|17|68\r\n3=1|69\r\n4=1|69\r\n5=1|69\r\n6=1|69\r\n"
    "7=1|69\r\n8=1|69\r\n9=1|121\r\n"
    "[Velmo]\r\n"
    "Velmo1Text=F9\r\nVelmo1KeyCode=120\r\nVelmo1ModKeyCode=0\r\n"
    "Velmo2Text=Ctrl + F9\r\nVelmo2KeyCode=120\r\nVelmo2ModKeyCode=2\r\n"
    "Velmo3Text=F11\r\nVelmo3KeyCode=122\r\nVelmo3ModKeyCode=0\r\n"
    "Velmo4Text=Ctrl + Shift + 1\r\nVelmo4KeyCode=49\r\nVelmo4ModKeyCode=6\r\n"
    "Velmo5Text=Ctrl + Shift + 2\r\nVelmo5KeyCode=50\r\nVelmo5ModKeyCode=6\r\n"
    "Velmo6Text=Ctrl + Shift + 3\r\nVelmo6KeyCode=51\r\nVelmo6ModKeyCode=6\r\n"
    "Velmo7Text=Ctrl + Shift + 4\r\nVelmo7KeyCode=52\r\nVelmo7ModKeyCode=6\r\n"
    "Velmo8Text=Ctrl + Shift + 5\r\nVelmo8KeyCode=53\r\nVelmo8ModKeyCode=6\r\n"
    "Velmo9Text=Ctrl + Shift + 6\r\nVelmo9KeyCode=54\r\nVelmo9ModKeyCode=6\r\n"
    "Velmo10Text=Ctrl + Shift + 7\r\nVelmo10KeyCode=55\r\nVelmo10ModKeyCode=6\r\n";
constexpr wchar_t kLastRowText[] = L"F10";
constexpr wchar_t kFloorWindowClass[] = L"BrevinBench.floorWindow";
constexpr wchar_t kFloorHotkeyClass[] = L"BrevinBench.floorHotkey";

double CounterToMs(LONGLONG counter) {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return 1000.0 * static_cast<double>(counter) / frequency;
}

double NowMs() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return CounterToMs(now.QuadPart);
}

struct Spread {
    double median = 0;
    double p10 = 0;
    double p90 = 0;
    std::size_t n = 0;
};

Spread SpreadOf(std::vector<double> values) {
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    auto at = [&](double q) {
        const double pos = q * static_cast<double>(values.size() - 1);
        const auto lo = static_cast<std::size_t>(pos);
        const std::size_t hi = std::min(lo + 1, values.size() - 1);
        return values[lo] + (values[hi] - values[lo]) * (pos - static_cast<double>(lo));
    };
    return {at(0.5), at(0.1), at(0.9), values.size()};
}

std::string Cell(const Spread& s, const char* unit, int decimals) {
    if (s.n == 0) {
        return "—";
    }
    char text[128];
    std::snprintf(text, sizeof text, "%.*f%s%s (%.*f–%.*f)", decimals, s.median, *unit ? " " : "",
                  unit, decimals, s.p10, decimals, s.p90);
    return text;
}

struct Row {
    std::string measure;
    std::string program;
    std::string floor;
    std::string comparison;
};
std::vector<Row> rows;

void AddRow(std::string measure, const Spread& program, const std::optional<Spread>& floor,
            const char* unit, int decimals, std::string note = {}) {
    std::string comparison = note;
    if (floor && floor->n > 0 && program.n > 0) {
        char text[96];
        std::snprintf(text, sizeof text, "%+.*f%s%s (×%.2f)", decimals,
                      program.median - floor->median, *unit ? " " : "", unit,
                      floor->median != 0 ? program.median / floor->median : 0.0);
        comparison = text + (note.empty() ? "" : "; " + note);
    }
    rows.push_back({std::move(measure), Cell(program, unit, decimals),
                    floor ? Cell(*floor, unit, decimals) : "—", std::move(comparison)});
    std::fprintf(stderr, "measured: %s\n", rows.back().measure.c_str());
}

// A goal's note: the goal, and whether the program's median met it.
std::string Goal(const char* goal, const Spread& program, double limit) {
    return std::string("goal: ") + goal + (program.median <= limit ? ", met" : ", NOT met");
}

// A failed step ends the run; thrown so that the programs started so far are ended on the way out.
struct BenchFailure {
    const char* what;
};

[[noreturn]] void Fail(const char* what) {
    throw BenchFailure{what};
}

double WorkingSetKb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return static_cast<double>(memory.WorkingSetSize) / kBytesPerKb;
}

// Windows of a process: top-level (shown or not) with all their descendants, and message-only
// windows.
int CountWindows(DWORD pid) {
    struct Count {
        DWORD pid;
        int n;
    } count{pid, 0};
    auto countOwn = [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Count*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == c->pid) {
            ++c->n;
            EnumChildWindows(
                hwnd,
                [](HWND, LPARAM inner) -> BOOL {
                    ++reinterpret_cast<Count*>(inner)->n;
                    return TRUE;
                },
                lp);
        }
        return TRUE;
    };
    EnumWindows(countOwn, reinterpret_cast<LPARAM>(&count));
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w != nullptr;
         w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) {
        countOwn(w, reinterpret_cast<LPARAM>(&count));
    }
    return count.n;
}

// Processor time (user + system) of the Linux process that runs a Windows program, from /proc
// through Wine's Z: drive: GetProcessTimes of another process is coarse under Wine. The process
// is found by the Windows path in its command line.
struct UnixProcess {
    std::wstring statPath;

    static std::optional<UnixProcess> Find(const std::wstring& exeTail) {
        std::wstring wanted = exeTail;
        for (auto& c : wanted) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
        if (search == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        std::optional<UnixProcess> result;
        do {
            if (!std::iswdigit(found.cFileName[0])) {
                continue;
            }
            const std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName;
            std::vector<unsigned char> bytes = ReadFileBytes(dir + L"\\cmdline");
            std::wstring cmdline;
            for (unsigned char b : bytes) {
                cmdline += static_cast<wchar_t>(std::towlower(b));
            }
            if (cmdline.find(wanted) != std::wstring::npos) {
                result = UnixProcess{dir + L"\\stat"};
                break;
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return result;
    }

    // utime + stime, in clock ticks of 10 ms.
    [[nodiscard]] double CpuMs() const {
        std::vector<unsigned char> bytes = ReadFileBytes(statPath);
        std::string stat(bytes.begin(), bytes.end());
        const std::size_t close = stat.rfind(')'); // the name may hold blanks
        if (close == std::string::npos) {
            return -1;
        }
        // Fields after the name: state(3) ... utime(14) stime(15).
        constexpr int kUtimeAfterName = 12;
        constexpr double kMsPerTick = 10.0;
        std::size_t pos = close + 2;
        for (int field = 0; field < kUtimeAfterName - 1; ++field) {
            pos = stat.find(' ', pos) + 1;
        }
        const double utime = std::strtod(stat.c_str() + pos, nullptr);
        pos = stat.find(' ', pos) + 1;
        const double stime = std::strtod(stat.c_str() + pos, nullptr);
        return (utime + stime) * kMsPerTick;
    }
};

// The floor programs, started from beside this executable.
class FloorProcess {
  public:
    FloorProcess(const wchar_t* exe, const std::wstring& args) {
        std::wstring path = ExecutableFolder() + L"\\" + exe;
        std::wstring cmd = L"\"" + path + L"\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &si, &pi)) {
            CloseHandle(pi.hThread);
            process_.reset(pi.hProcess);
            pid_ = pi.dwProcessId;
        }
    }
    ~FloorProcess() {
        if (process_) {
            TerminateProcess(process_.get(), 0);
            WaitForSingleObject(process_.get(), INFINITE);
        }
    }
    FloorProcess(const FloorProcess&) = delete;
    FloorProcess& operator=(const FloorProcess&) = delete;

    [[nodiscard]] HANDLE Process() const { return process_.get(); }
    [[nodiscard]] DWORD Pid() const { return pid_; }

  private:
    hkv::UniqueKernelHandle process_;
    DWORD pid_ = 0;
};

// Waits, polling every millisecond, until the process shows a window of the class.
std::optional<HWND> WaitVisible(HANDLE process, DWORD pid, const wchar_t* cls) {
    const double deadline = NowMs() + static_cast<double>(kStartDeadline.count());
    while (NowMs() < deadline) {
        if (HWND w = FindProcessWindow(pid, cls, true)) {
            return w;
        }
        if (MsgWaitForMultipleObjects(1, &process, FALSE, 1, QS_ALLINPUT) == WAIT_OBJECT_0) {
            return std::nullopt; // it ended
        }
        PumpMessages();
    }
    return std::nullopt;
}

struct StartSample {
    double visibleMs;
    double idleMs;
    double workingSetKb;
    int windows;
};

StartSample MeasureStart(HANDLE process, DWORD pid, double started, const wchar_t* cls,
                         const std::function<bool(HWND)>& loaded) {
    const std::optional<HWND> shown = WaitVisible(process, pid, cls);
    const double visible = NowMs();
    if (!shown || !loaded(*shown)) {
        Fail("a program did not show its window with its contents");
    }
    WaitForInputIdle(process, static_cast<DWORD>(kStartDeadline.count()));
    const double idle = NowMs();
    PumpFor(kSettleMs);
    return {visible - started, idle - started, WorkingSetKb(process), CountWindows(pid)};
}

void MeasureStartUp() {
    ProgramUnderTest program(L"start");
    program.WriteIni(kIni);
    std::vector<double> visible[2], idle[2], memory[2], windows[2];
    auto keep = [&](int who, const StartSample& s) {
        visible[who].push_back(s.visibleMs);
        idle[who].push_back(s.idleMs);
        memory[who].push_back(s.workingSetKb);
        windows[who].push_back(s.windows);
    };
    // The order is rotated each round, so that neither side always follows the other's end.
    auto measureProgram = [&] {
        {
            const double started = NowMs();
            HANDLE process = program.Launch();
            if (!process) {
                Fail("the program could not be started");
            }
            const DWORD pid = GetProcessId(process);
            keep(0, MeasureStart(process, pid, started, ids::kFrmSetClass, [](HWND main) {
                     return TextOf(FindDescendant(main, ids::kText1First + ids::kRows - 1)) ==
                            kLastRowText;
                 }));
            program.Kill();
        }
        PumpFor(kAfterEndMs);
    };
    auto measureFloor = [&] {
        {
            const double started = NowMs();
            FloorProcess floor(L"floor_window.exe", program.IniPath());
            keep(1, MeasureStart(floor.Process(), floor.Pid(), started, kFloorWindowClass,
                                 [](HWND) { return true; }));
        }
        PumpFor(kAfterEndMs);
    };
    for (int run = 0; run < kStartRuns; ++run) {
        if (run % 2 == 0) {
            measureProgram();
            measureFloor();
        } else {
            measureFloor();
            measureProgram();
        }
    }
    char label[96];
    std::snprintf(label, sizeof label, "Start-up: creation to window shown, rows loaded (%d runs)",
                  kStartRuns);
    const Spread floorVisible = SpreadOf(visible[1]);
    const Spread floorIdle = SpreadOf(idle[1]);
    const Spread floorMemory = SpreadOf(memory[1]);
    AddRow(label, SpreadOf(visible[0]), floorVisible, "ms", 0,
           Goal("≤ 1.05 × floor", SpreadOf(visible[0]), kStartGoal * floorVisible.median));
    AddRow("Start-up: creation to input-idle", SpreadOf(idle[0]), floorIdle, "ms", 0,
           Goal("≤ 1.05 × floor", SpreadOf(idle[0]), kStartGoal * floorIdle.median));
    AddRow("Windows the process creates (top-level, child, message-only)", SpreadOf(windows[0]),
           SpreadOf(windows[1]), "", 0);
    AddRow("Working set after start-up (+0.5 s)", SpreadOf(memory[0]), floorMemory, "KB", 0,
           Goal("≤ floor + 1024 KB", SpreadOf(memory[0]), floorMemory.median + kMemoryGoalKb));
}

// One press of a hotkey without modifiers; returns the target's key events it caused once the
// last key of the shortcut and the hotkey are up again.
double ReceivedMs(const KeyRecorder& target, WORD vk, bool up) {
    for (const RecordedKey& k : target.keys()) {
        if (k.vk == vk && k.up == up) {
            return CounterToMs(k.received);
        }
    }
    return -1;
}

// Both the shortcut's last key and the hotkey's own release have come. The program holds the
// release back while it plays and sends it again after: until it is through, the program's watch
// holds back every other key event, the next press's included.
bool ReleasedBoth(const KeyRecorder& target, WORD hotkey, WORD lastKey) {
    return ReceivedMs(target, lastKey, true) >= 0 && ReceivedMs(target, hotkey, true) >= 0;
}

bool Press(KeyRecorder& target, WORD hotkey, WORD lastKey, double& sent) {
    target.Clear();
    sent = NowMs();
    SendKey(hotkey, false);
    SendKey(hotkey, true);
    return WaitUntil([&] { return ReleasedBoth(target, hotkey, lastKey); }, kPlayDeadline);
}

// A key typed while a one-key shortcut plays, once its key is down: held back until the
// shortcut's release, then sent again. True once the typed key is up in the target; `delay` is
// from the shortcut key's release to the typed key's press, both as the target saw them.
bool PressAndType(KeyRecorder& target, WORD hotkey, WORD key, double& delay) {
    target.Clear();
    SendKey(hotkey, false);
    SendKey(hotkey, true);
    if (!WaitUntil([&] { return ReceivedMs(target, key, false) >= 0; }, kPlayDeadline)) {
        return false;
    }
    SendKey(kTypedKey, false);
    SendKey(kTypedKey, true);
    const bool through = WaitUntil(
        [&] {
            return ReceivedMs(target, kTypedKey, true) >= 0 && ReleasedBoth(target, hotkey, key);
        },
        kPlayDeadline);
    delay = ReceivedMs(target, kTypedKey, false) - ReceivedMs(target, key, true);
    return through;
}

// A hotkey with Ctrl as a person presses it on a keyboard: the left Ctrl key down (with its scan
// code, as a keyboard sends it), the key down and up, Ctrl still held until the shortcut's key has
// come; notes when the key went down. Row 2's shortcut (C) does not hold Ctrl: the program lifts
// it first. True once the shortcut's key is up again.
bool PressWithCtrl(KeyRecorder& target, WORD hotkey, WORD key, double& sent) {
    target.Clear();
    SendKey(VK_LCONTROL, false);
    sent = NowMs();
    SendKey(hotkey, false);
    SendKey(hotkey, true);
    const bool played = WaitUntil([&] { return ReleasedBoth(target, hotkey, key); }, kPlayDeadline);
    SendKey(VK_LCONTROL, true);
    // The user's release too may be held back and sent again.
    const bool released = WaitUntil(
        [&] {
            const auto& keys = target.keys();
            const auto last = std::find_if(keys.rbegin(), keys.rend(),
                                           [](const RecordedKey& k) { return k.vk == VK_CONTROL; });
            return last != keys.rend() && last->up;
        },
        kPlayDeadline);
    PumpFor(kModifierHoldMs);
    return played && released;
}

bool ClickControl(HWND control) {
    return control && ClickOn(control);
}

// Opens row 1's editor with a click on its old-shortcut box and closes it with its close image.
void EditorCycle(ProgramUnderTest& program) {
    if (!ClickControl(program.Text1(0)) ||
        !WaitUntil([&] { return FindProcessWindow(program.Pid(), ids::kEditClass, true); },
                   kPlayDeadline)) {
        Fail("the editor did not open");
    }
    HWND editor = FindProcessWindow(program.Pid(), ids::kEditClass, true);
    if (!ClickControl(FindDescendant(editor, ids::kEditImage3)) ||
        !WaitUntil([&] { return IsWindowVisible(program.Main()) != FALSE; }, kPlayDeadline)) {
        Fail("the editor did not close");
    }
}

void MeasureRunning() {
    ProgramUnderTest program(L"bench");
    program.WriteIni(kIni);
    if (!program.Start()) {
        Fail("the program did not start");
    }
    std::wstring floorArgs;
    auto floorTypes = [&](long hotkey, WORD key, long work) {
        floorArgs += std::to_wstring(hotkey) + L" " + std::to_wstring(key) + L" " +
                     std::to_wstring(work) + L" ";
    };
    const long ctrl = kFloorModifierShift * MOD_CONTROL;
    floorTypes(kFloorHotkey, kFloorKey, 0);
    floorTypes(kFloorCtrlHotkey + ctrl, kFloorCtrlKey, 0);
    floorTypes(kFloorHookHotkey, kFloorHookKey, kFloorUnderHook);
    floorTypes(kFloorLiftHotkey + ctrl, kFloorLiftKey, kFloorUnderHook | kFloorLifted);
    floorTypes(kFloorHeldHotkey, kFloorHeldKey, kFloorUnderHook | kFloorHeld);
    FloorProcess floor(L"floor_hotkey.exe", floorArgs);
    if (!WaitUntil([&] { return FindProcessWindow(floor.Pid(), kFloorHotkeyClass) != nullptr; },
                   kStartDeadline)) {
        Fail("the hotkey floor did not start");
    }
    for (int n = 1; n <= ids::kRows; ++n) {
        SendMessageW(program.Check(n), BM_CLICK, 0, 0);
    }
    if (!WaitUntil([&] {
            for (int n = 1; n <= ids::kRows; ++n) {
                if (SendMessageW(program.Check(n), BM_GETCHECK, 0, 0) != BST_CHECKED) {
                    return false;
                }
            }
            return true;
        })) {
        Fail("the rows could not all be enabled");
    }
    KeyRecorder target;
    double sent = 0;
    double delay = 0;
    auto focus = [&] {
        if (!target.TakeFocus()) {
            Fail("the target window did not get the focus");
        }
    };

    // Warm-up: first presses and editor openings load code and fill caches.
    for (int i = 0; i < kWarmUpEditorCycles; ++i) {
        EditorCycle(program);
    }
    focus();
    // Every path measured below is taken once or more before the first reading.
    for (int i = 0; i < kWarmUpPresses; ++i) {
        Press(target, kRow1Hotkey, kRow1Key, sent);
        Press(target, kFloorHotkey, kFloorKey, sent);
        Press(target, kRow3Hotkey, kRow3LastKey, sent);
        PressWithCtrl(target, kRow1Hotkey, kRow2Key, sent);
        PressWithCtrl(target, kFloorCtrlHotkey, kFloorCtrlKey, sent);
        Press(target, kFloorHookHotkey, kFloorHookKey, sent);
        PressWithCtrl(target, kFloorLiftHotkey, kFloorLiftKey, sent);
        PressAndType(target, kRow1Hotkey, kRow1Key, delay);
        PressAndType(target, kFloorHeldHotkey, kFloorHeldKey, delay);
    }
    const double memoryBefore = WorkingSetKb(program.Process());

    // A press whose shortcut never arrives is counted and reported, not measured.
    int missed = 0;
    auto miss = [&] {
        ++missed;
        std::fprintf(stderr, "missed: %s\n", Describe(target.keys()).c_str());
        SendKey(VK_LCONTROL, true);
        PumpFor(kModifierHoldMs);
    };
    // The first key-down's latency of a press whose shortcut arrived.
    auto keepLatency = [&](bool arrived, std::vector<double>& into, WORD key) {
        if (arrived) {
            into.push_back(ReceivedMs(target, key, false) - sent);
        } else {
            miss();
        }
    };
    // Index 0 the program, 1 the floor that types at once, 2 the floor that does the same work.
    std::vector<double> latency[3], withCtrl[3], typedAfter[2], holdOne, holdTwo;
    // Each round presses the three in turn, starting one further on each time.
    constexpr int kSides = 3;
    for (int i = 0; i < kLatencyPresses; ++i) {
        for (int turn = 0; turn < kSides; ++turn) {
            switch ((i + turn) % kSides) {
            case 0: {
                const bool played = Press(target, kRow1Hotkey, kRow1Key, sent);
                keepLatency(played, latency[0], kRow1Key);
                if (played) {
                    holdOne.push_back(ReceivedMs(target, kRow1Key, true) -
                                      ReceivedMs(target, kRow1Key, false));
                }
                break;
            }
            case 1:
                keepLatency(Press(target, kFloorHotkey, kFloorKey, sent), latency[1], kFloorKey);
                break;
            default:
                keepLatency(Press(target, kFloorHookHotkey, kFloorHookKey, sent), latency[2],
                            kFloorHookKey);
                break;
            }
        }
    }
    for (int i = 0; i < kModifierPresses; ++i) {
        for (int turn = 0; turn < kSides; ++turn) {
            switch ((i + turn) % kSides) {
            case 0:
                keepLatency(PressWithCtrl(target, kRow1Hotkey, kRow2Key, sent), withCtrl[0],
                            kRow2Key);
                break;
            case 1:
                keepLatency(PressWithCtrl(target, kFloorCtrlHotkey, kFloorCtrlKey, sent),
                            withCtrl[1], kFloorCtrlKey);
                break;
            default:
                keepLatency(PressWithCtrl(target, kFloorLiftHotkey, kFloorLiftKey, sent),
                            withCtrl[2], kFloorLiftKey);
                break;
            }
        }
    }
    for (int i = 0; i < kTypedPresses; ++i) {
        for (auto [hotkey, key, into] :
             {std::tuple{kRow1Hotkey, kRow1Key, &typedAfter[0]},
              std::tuple{kFloorHeldHotkey, kFloorHeldKey, &typedAfter[1]}}) {
            if (PressAndType(target, hotkey, key, delay)) {
                into->push_back(delay);
            } else {
                miss();
            }
        }
    }
    for (int i = 0; i < kTwoKeyPresses; ++i) {
        if (Press(target, kRow3Hotkey, kRow3LastKey, sent)) {
            holdTwo.push_back(ReceivedMs(target, kRow3LastKey, true) -
                              ReceivedMs(target, kRow3LastKey, false));
        } else {
            miss();
        }
    }
    const double memoryAfterPresses = WorkingSetKb(program.Process());
    for (int i = 0; i < kEditorCycles; ++i) {
        EditorCycle(program);
    }
    const double memoryAfter = WorkingSetKb(program.Process());

    // A measure's name with the count of its presses or cycles.
    auto counted = [](const char* format, int count) {
        char label[160];
        std::snprintf(label, sizeof label, format, count);
        return std::string(label);
    };
    AddRow(counted("Latency: SendInput of F9 to the first key-down (%d presses)", kLatencyPresses),
           SpreadOf(latency[0]), SpreadOf(latency[1]), "ms", 2,
           "floor types at once in WM_HOTKEY (F8)");
    AddRow("Latency: the same presses of F9, against a floor under a low-level hook",
           SpreadOf(latency[0]), SpreadOf(latency[2]), "ms", 2,
           "floor (F7) hooks, types, answers the hook until its key passed, unhooks; " +
               Goal("≤ floor + 0.15 ms", SpreadOf(latency[0]),
                    SpreadOf(latency[2]).median + kPressGoalMs));
    AddRow(counted("Latency, Ctrl held and lifted: SendInput of Ctrl + F9 to the first key-down "
                   "(%d presses)",
                   kModifierPresses),
           SpreadOf(withCtrl[0]), SpreadOf(withCtrl[1]), "ms", 2,
           "floor types at once in WM_HOTKEY (Ctrl + F8), Ctrl held");
    AddRow("Latency, Ctrl held and lifted: the same presses, against a floor that lifts Ctrl "
           "under a low-level hook",
           SpreadOf(withCtrl[0]), SpreadOf(withCtrl[2]), "ms", 2,
           "floor (Ctrl + F7) hooks, lifts Ctrl, types, puts Ctrl back, answers the hook, "
           "unhooks; " +
               Goal("≤ floor + 0.5 ms", SpreadOf(withCtrl[0]),
                    SpreadOf(withCtrl[2]).median + kLiftedGoalMs));
    AddRow(counted("A key typed during a playback (F9, A held): the shortcut's release to the "
                   "typed key's press (%d presses)",
                   kTypedPresses),
           SpreadOf(typedAfter[0]), SpreadOf(typedAfter[1]), "ms", 2,
           "floor (F6) holds M as long under a hook, holds the typed key back and sends it "
           "again after M's release");
    AddRow("Hold, one-key shortcut (goal 100 ms ±1 %, p90 ±2 %)", SpreadOf(holdOne), std::nullopt,
           "ms", 2);
    AddRow(counted("Hold, two-key shortcut, last down to first up (goal 200 ms ±1 %%; %d presses)",
                   kTwoKeyPresses),
           SpreadOf(holdTwo), std::nullopt, "ms", 2);
    AddRow("Presses whose shortcut (or typed key) never arrived (3 s deadline)",
           SpreadOf({double(missed)}), std::nullopt, "", 0,
           Goal("0", SpreadOf({double(missed)}), 0));
    AddRow(counted("Working-set growth over %d presses, after a warm-up",
                   kLatencyPresses + kModifierPresses + kTypedPresses + kTwoKeyPresses),
           SpreadOf({memoryAfterPresses - memoryBefore}), std::nullopt, "KB", 0, "goal ≤ 64 KB");
    AddRow(counted("Working-set growth over the next %d editor open/close cycles", kEditorCycles),
           SpreadOf({memoryAfter - memoryAfterPresses}), std::nullopt, "KB", 0, "goal ≤ 64 KB");

    // Idle: all ten rows enabled, the window hidden to the tray by its own image.
    if (!ClickControl(program.Control(ids::kImage2)) ||
        !WaitUntil([&] { return !IsWindowVisible(program.Main()); }, kPlayDeadline)) {
        Fail("the window did not hide");
    }
    const auto programUnix = UnixProcess::Find(L"run_bench\\brevinhotkey.exe");
    const auto floorUnix = UnixProcess::Find(L"floor_hotkey.exe");
    if (!programUnix || !floorUnix) {
        Fail("the processes were not found in /proc");
    }
    const double programBefore = programUnix->CpuMs();
    const double floorBefore = floorUnix->CpuMs();
    PumpFor(kIdleMs);
    AddRow(counted("Processor time in %d s idle, hidden, ten rows enabled",
                   static_cast<int>(kIdleMs / 1000)),
           SpreadOf({programUnix->CpuMs() - programBefore}),
           SpreadOf({floorUnix->CpuMs() - floorBefore}), "ms", 0,
           "/proc, 10 ms ticks; floor holds one hotkey");
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--quick") {
        for (int* count : {&kStartRuns, &kWarmUpPresses, &kWarmUpEditorCycles, &kLatencyPresses,
                           &kModifierPresses, &kTypedPresses, &kTwoKeyPresses, &kEditorCycles}) {
            *count = std::max(1, *count / kQuickDivisor);
        }
        kIdleMs /= kQuickDivisor;
    }
    try {
        MeasureStartUp();
        MeasureRunning();
    } catch (const BenchFailure& failure) {
        std::fprintf(stderr, "bench_harness: %s\n", failure.what);
        return 1;
    }
    std::printf(
        "| Measure | Program: median (p10–p90) | Floor: median (p10–p90) | Program − floor |\n");
    std::printf("|---|---|---|---|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %s | %s | %s |\n", r.measure.c_str(), r.program.c_str(),
                    r.floor.c_str(), r.comparison.c_str());
    }
    return 0;
}
