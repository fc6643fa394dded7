// Start-up: the program is its settings window. Everything runs on this one thread.
#include <windows.h>

#include <commctrl.h>

#include "app/frmset.h"
#include "app/single_instance.h"
#include "common/fatal_fault.h"
#include "keys/player.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Keys a playback holds would stay down for every other program after a crash.
    hkv::EndProcessOnFatalFault([] { hkv::ReleaseHeldKeys(); });
    // One copy at a time, decided before anything reads the settings file: a second copy ends
    // now without showing, reading or writing anything (one that read the hotkeys while the first
    // was leaving would write those old ones back at its own exit).
    const hkv::SingleInstance instance;
    if (!instance.IsFirst()) {
        return 0;
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    hkv::FrmSet frmSet;
    if (!frmSet.Create()) {
        return 0; // the window could not be made
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab moves between the controls of whichever window the message is for.
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
