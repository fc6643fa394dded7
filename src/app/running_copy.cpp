#include "app/running_copy.h"

#include <windows.h>

#include "app/frmset_ids.h"

namespace hkv {
namespace {

// A copy that holds the session's name but has no window yet is still starting (two starts at
// once: a double click, a sign-in start beside a Startup shortcut); its window comes shortly. The
// system tells no one when another process makes a window, so this start looks again and again.
constexpr ULONGLONG kStartingCopyWaitMs = 5000;
constexpr DWORD kLookAgainMs = 50;

} // namespace

void BringRunningCopyToFront() {
    // One copy per session, so the window of that class on this desktop is the running copy's.
    const ULONGLONG deadline = GetTickCount64() + kStartingCopyWaitMs;
    HWND window = FindWindowW(ids::kFrmSetClass, nullptr);
    while (!window && GetTickCount64() < deadline) {
        Sleep(kLookAgainMs);
        window = FindWindowW(ids::kFrmSetClass, nullptr);
    }
    if (!window) {
        return; // ended meanwhile
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    // The system lets a process take the foreground only when the one that has it allows it.
    AllowSetForegroundWindow(pid);
    PostMessageW(window, RegisterWindowMessageW(kShowRunningCopyMessage), 0, 0);
}

} // namespace hkv
