// Start-up: the program is its settings window. Everything runs on this one thread. The program is
// put together here: the key output, the record of the keys its playbacks hold and the policy that
// decides when to play are made once and handed to the main window and the fault handler.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "app/frmset.h"
#include "app/notices.h"
#include "app/restart_registration.h"
#include "app/running_copy.h"
#include "app/single_instance.h"
#include "app/start_arguments.h"
#include "common/com_apartment.h"
#include "common/executable.h"
#include "common/fatal_fault.h"
#include "common/path.h"
#include "hotkeyctl/velmo_properties.h"
#include "keys/emission_policy.h"
#include "keys/held_keys.h"
#include "keys/system_key_output.h"
#include "keys/system_keyboard.h"
#include "ui/notice.h"

namespace {

// Keys a playback holds would stay down for every other program after a crash, and keys it
// lifted up while the user holds them. Runs inside the fault handler: HeldKeys::ReleaseAllAtEnd
// allocates nothing and takes no lock.
void ReleaseHeldKeysAtFault(void* heldKeys) {
    static_cast<hkv::HeldKeys*>(heldKeys)->ReleaseAllAtEnd();
}

int RunMessageLoop() {
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

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // A library loaded by name from now on, by the program or by the system on its behalf, comes
    // from System32 only, never from the program's folder or the current one, where whoever can
    // write there could leave one to be run. The imports are Known DLLs, which the loader took
    // from System32 before this line.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    hkv::SystemKeyOutput keyOutput;
    // The hooks' wait is read here once: a press asks no registry.
    const auto keyboard = hkv::MakeSystemKeyboard(&SendInput, hkv::SystemHooksTimeoutMs());
    hkv::HeldKeys heldKeys{keyOutput, *keyboard};
    hkv::EndProcessOnFatalFault(&ReleaseHeldKeysAtFault, &heldKeys);
    // One copy at a time, decided before anything reads the settings file: a second copy ends
    // now without reading or writing anything (one that read the hotkeys while the first was
    // leaving would write those old ones back at its own exit). The file is the one the rows'
    // hotkey controls name by default, beside the executable.
    const std::wstring settingsFile = hkv::JoinFolderAndFile(
        hkv::FolderOfPath(hkv::ExecutablePath()), hkv::VelmoProperties{}.iniFileName);
    const hkv::StartMode startMode = hkv::StartModeOf(GetCommandLineW());
    const hkv::SingleInstance instance(hkv::kInstanceMutexName, settingsFile);
    if (!instance.IsFirst()) {
        if (instance.AnotherInThisSession()) {
            // Starting the program again is how a user looks for a window they cannot find; a
            // start at sign-in or by Windows meeting the copy that runs already asks for nothing.
            if (startMode != hkv::StartMode::Armed) {
                hkv::BringRunningCopyToFront();
            }
        } else {
            // Its window is out of reach in the other user's session: a silent end would look
            // like a start that failed.
            hkv::ui::ShowNotice(nullptr, hkv::RunningElsewhereText(settingsFile));
        }
        return 0;
    }
    hkv::RestartArmedAfterWindowsEndsIt();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    hkv::EmissionPolicy emissions{*keyboard, heldKeys};
    int exitCode = 0;
    {
        hkv::ComApartment com;
        hkv::FrmSet frmSet{heldKeys, emissions, com, startMode};
        // False: the window could not be made.
        if (frmSet.Create()) {
            exitCode = RunMessageLoop();
        }
    }
    // Ends the process from inside this frame: exit() destroys no object of it, so the record the
    // fault handler was given stays valid through the runtime's own teardown, as a return would
    // not leave it.
    std::exit(exitCode);
}
