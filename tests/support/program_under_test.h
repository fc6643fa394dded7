#pragma once
// The real program, copied into a fresh folder of its own with the settings file a test prepares,
// started as a separate process and driven from outside like a user would.
#include <windows.h>

#ifdef HKV_FAIL_ON_PROGRAM_FAULT
#include <gtest/gtest.h>
#endif

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/frmset_ids.h"
#include "editor/edit_ids.h"
#include "support/win_test_util.h"

namespace hkv::test {

// The first window of the given class that belongs to the process.
inline HWND FindProcessWindow(DWORD pid, const wchar_t* className, bool visibleOnly = false) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        bool visible;
        HWND found;
    } search{pid, className, visibleOnly, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t cls[128] = {};
            GetClassNameW(hwnd, cls, 128);
            if (owner == s->pid && wcscmp(cls, s->cls) == 0 &&
                (!s->visible || IsWindowVisible(hwnd))) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A control anywhere inside a window (controls sit inside picture boxes and hotkey controls).
inline HWND FindDescendant(HWND root, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        root,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetDlgCtrlID(hwnd) == s->id) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a window of another process (asked for, so edit boxes report their contents).
inline std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return buffer;
}

class ProgramUnderTest {
  public:
    // The exit code of a copy ended by the test, and the top bits of the exit code of a copy
    // ended by a fault (the exception code, an NTSTATUS error).
    static constexpr DWORD kKilledExitCode = 99;
    static constexpr DWORD kFaultSeverity = 0xC0000000;

    explicit ProgramUnderTest(const std::wstring& name) {
        folder_ = ExecutableFolder() + L"\\run_" + name;
        CreateDirectoryW(folder_.c_str(), nullptr);
        exe_ = folder_ + L"\\BrevinHotkey.exe";
        DeleteFileForced(IniPath());
        CopyFileW((ExecutableFolder() + L"\\" + HKV_PROGRAM_RELPATH).c_str(), exe_.c_str(), FALSE);
    }
    ~ProgramUnderTest() { Kill(); }
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    std::wstring IniPath() const { return folder_ + L"\\set.ini"; }
    bool WriteIni(const std::string& ansiText) const { return WriteFileBytes(IniPath(), ansiText); }
    std::wstring ReadIni(const wchar_t* section, const wchar_t* key,
                         const wchar_t* fallback = L"<missing>") const {
        wchar_t buffer[512] = {};
        GetPrivateProfileStringW(section, key, fallback, buffer, 512, IniPath().c_str());
        return buffer;
    }

    // Starts a copy of the program with the given arguments; returns its process handle (owned
    // by this object).
    HANDLE Launch(const std::wstring& arguments = L"") {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring cmd = L"\"" + exe_ + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        if (!CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder_.c_str(), &si, &pi)) {
            return nullptr;
        }
        CloseHandle(pi.hThread);
        processes_.push_back(pi.hProcess);
        return pi.hProcess;
    }

    // Starts the program and waits until it takes input: its main window is shown (or only made,
    // for a start that keeps it hidden), the program has finished starting (idle for input) and
    // the window's thread answers.
    bool Start(const std::wstring& arguments = L"", bool shown = true) {
        process_ = Launch(arguments);
        pid_ = process_ ? GetProcessId(process_) : 0;
        const bool started =
            process_ &&
            WaitUntil(
                [this, shown] {
                    main_ = FindProcessWindow(pid_, ids::kFrmSetClass, shown);
                    return main_ != nullptr;
                },
                kStartTimeout) &&
            WaitForInputIdle(process_, static_cast<DWORD>(kStartTimeout.count())) == 0 &&
            WaitUntil([this] { return Answers(main_); }, kStartTimeout);
        if (!started) {
            std::fprintf(stderr, "the program did not start: main window %p, exit code %lu\n",
                         static_cast<void*>(main_), ExitCode());
        }
        return started;
    }

    HWND Main() const { return main_; }
    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_; }
    HWND Control(int id) const { return FindDescendant(main_, id); }
    HWND Text1(int i) const { return Control(ids::kText1First + i); }
    HWND Check(int n) const { return Control(ids::kCheckFirst + n - 1); }
    HWND Velmo(int n) const { return Control(ids::kVelmoFirst + n - 1); }
    // The edit box inside hotkey control n.
    HWND VelmoEdit(int n) const { return FindWindowExW(Velmo(n), nullptr, L"Edit", nullptr); }
    HWND Editor() const { return FindProcessWindow(pid_, ids::kEditClass); }

    // Ticks or clears row n's tick box as a click does (its state, then its notification to the
    // window) but without activating the program; true once the window has handled it.
    bool TickByNotification(int n, bool ticked) const {
        // The box does not tick itself: a click asks for the state other than the one it shows.
        SendMessageW(Check(n), BM_SETCHECK, ticked ? BST_UNCHECKED : BST_CHECKED, 0);
        return SendMessageTimeoutW(main_, WM_COMMAND,
                                   MAKEWPARAM(ids::kCheckFirst + n - 1, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(Check(n)), SMTO_ABORTIFHUNG,
                                   static_cast<UINT>(kStartTimeout.count()), nullptr) != 0;
    }

    bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    // Keeps this thread's windows and hooks answering meanwhile: the program may be waiting for
    // them on its way out.
    bool WaitForExit(DWORD ms = 10000) const {
        return process_ && WaitUntil([this] { return !Running(); }, std::chrono::milliseconds(ms));
    }

    // The exit code of the program once it has ended (STILL_ACTIVE while it runs).
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        return code;
    }

    void Kill() {
        for (HANDLE p : processes_) {
            if (WaitForSingleObject(p, 0) == WAIT_TIMEOUT) {
                TerminateProcess(p, kKilledExitCode);
                WaitForSingleObject(p, 5000);
            }
#ifdef HKV_FAIL_ON_PROGRAM_FAULT
            // A copy that ended by a fault fails the test that started it, whatever it checked.
            DWORD code = 0;
            GetExitCodeProcess(p, &code);
            EXPECT_NE(code & kFaultSeverity, kFaultSeverity)
                << "the program ended by fault 0x" << std::hex << code;
#endif
            CloseHandle(p);
        }
        processes_.clear();
        process_ = nullptr;
    }

  private:
    // A first start of a new Wine prefix takes 10 to 20 s.
    static constexpr std::chrono::milliseconds kStartTimeout{20000};

    std::wstring folder_;
    std::wstring exe_;
    std::vector<HANDLE> processes_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
};

} // namespace hkv::test

namespace hkv::test {

// The window that has the keyboard focus in another process's thread.
inline HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

} // namespace hkv::test
