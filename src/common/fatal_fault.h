#pragma once
// No fault is ever swallowed. The window system runs window procedures inside its own exception
// handling and may carry on after an access violation there as if nothing had happened (Wine
// does, and 64-bit Windows does for procedures called from the kernel), leaving the program in
// an unknown state. A vectored handler sees every such fault first and ends the process.

namespace hkv {

// What runs, once, before the process ends for a fault (e.g. releasing held keys), given the
// context it was installed with; may be null. It runs inside the fault handler: it must allocate
// nothing and take no lock.
using FatalFaultCleanup = void (*)(void* context);

// Installs the handler for the whole process. The process then ends with the fault's own
// exception code as its exit code, after the cleanup and a line on standard error. The context
// must live as long as the process.
void EndProcessOnFatalFault(FatalFaultCleanup cleanup, void* context = nullptr);

} // namespace hkv
