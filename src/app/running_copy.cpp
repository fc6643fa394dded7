#include "app/running_copy.h"

#include <windows.h>

#include "app/frmset_ids.h"

namespace hkv {

void BringRunningCopyToFront() {
    // One copy per session, so the window of that class on this desktop is the running copy's.
    HWND window = FindWindowW(ids::kFrmSetClass, nullptr);
    if (!window) {
        return; // still starting, or the copy runs in another session
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    // The system lets a process take the foreground only when the one that has it allows it.
    AllowSetForegroundWindow(pid);
    PostMessageW(window, RegisterWindowMessageW(kShowRunningCopyMessage), 0, 0);
}

} // namespace hkv
