#pragma once
// No fault in the program's own code is ever swallowed. The window system runs window procedures
// inside its own exception handling and may carry on after an access violation there as if
// nothing had happened (Wine does, and 64-bit Windows does for procedures called from the
// kernel), leaving the program in an unknown state. Faults that other code raises and handles on
// purpose (system routines probing memory, input methods, hooks and shell extensions loaded into
// every process with a window) are theirs: the program must carry on through them.

namespace hkv {

// What runs, once, before the process ends for a fault (e.g. releasing held keys), given the
// context it was installed with; may be null. It runs inside the fault handler: it must allocate
// nothing and take no lock.
using FatalFaultCleanup = void (*)(void* context);

// Installs the handlers for the whole process; a second call only replaces the cleanup
// and its context (which must live as long as the process). The
// process ends, after the cleanup and then a line on standard error:
// - at the first sign of a fault raised inside the executable's own image, with the fault's
//   exception code as its exit code, before any handler could swallow it;
// - at any exception that nothing handled, wherever it was raised, with its code;
// - at std::terminate (an exception that nothing caught, e.g. out of memory), with the exit code
//   abort() gives;
// - at abort() (a failed check of the runtime), with that same exit code, and without the message
//   box the runtime would show first.
// The system's own error boxes (critical errors, fault reports) are turned off for the calling
// thread only: programs this one starts inherit the process's error mode, which stays as it was.
void EndProcessOnFatalFault(FatalFaultCleanup cleanup, void* context = nullptr);

// The exit code after std::terminate: the one abort() leaves, as before this handler existed.
inline constexpr unsigned long kTerminateExitCode = 3;

} // namespace hkv
