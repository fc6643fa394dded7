#include "app/restart_registration.h"

#include <windows.h>

#include "app/start_arguments.h"

namespace hkv {

void RestartArmedAfterWindowsEndsIt() {
    // Whatever the outcome, the program runs as before: only the restart would be missing.
    RegisterApplicationRestart(kArmedArgument, RESTART_NO_CRASH | RESTART_NO_HANG);
}

void NoRestart() {
    UnregisterApplicationRestart();
}

} // namespace hkv
