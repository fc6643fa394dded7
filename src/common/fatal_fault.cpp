#include "common/fatal_fault.h"

#include <windows.h>

#include <cstdio>

namespace hkv {
namespace {

FatalFaultCleanup g_cleanup = nullptr;
LONG g_ending = 0;

// Faults after which the code that raised them cannot sensibly go on. Exceptions the program or
// the system raise on purpose (C++ exceptions, debug output) are not among them.
bool IsFatal(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
    case STATUS_HEAP_CORRUPTION:
    case STATUS_STACK_BUFFER_OVERRUN:
        return true;
    default:
        return false;
    }
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (!IsFatal(code)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    // A fault inside the cleanup ends the process without running it again.
    if (InterlockedExchange(&g_ending, 1) == 0) {
        std::fprintf(stderr, "\nFATAL: exception 0x%08lX at %p\n", static_cast<unsigned long>(code),
                     info->ExceptionRecord->ExceptionAddress);
        std::fflush(stderr);
        if (g_cleanup) {
            g_cleanup();
        }
    }
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void EndProcessOnFatalFault(FatalFaultCleanup cleanup) {
    g_cleanup = cleanup;
    // First in the chain: it must see the fault before any handler that would swallow it.
    AddVectoredExceptionHandler(1, &OnException);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

} // namespace hkv
