#include "common/fatal_fault.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace hkv {
namespace {

FatalFaultCleanup g_cleanup = nullptr;
void* g_cleanupContext = nullptr;
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

// "FATAL: exception 0xC0000005 at 0x0000000140001234" on standard error, where there is one (a
// test run). Without the C runtime's printf: in a fault handler, and in a program that prints
// nothing else, it is better left out.
void ReportOnStandardError(DWORD code, const void* address) {
    char line[80] = "\nFATAL: exception 0x";
    std::size_t n = std::strlen(line);
    auto hex = [&](unsigned long long value, int digits) {
        for (int d = digits - 1; d >= 0; --d) {
            line[n++] = "0123456789ABCDEF"[(value >> (4 * d)) & 0xF];
        }
    };
    hex(code, 8);
    for (const char* s = " at 0x"; *s; ++s) {
        line[n++] = *s;
    }
    hex(reinterpret_cast<std::uintptr_t>(address), 16);
    line[n++] = '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(n), &written, nullptr);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (!IsFatal(code)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    // A fault inside the cleanup ends the process without running it again.
    if (InterlockedExchange(&g_ending, 1) == 0) {
        ReportOnStandardError(code, info->ExceptionRecord->ExceptionAddress);
        if (g_cleanup) {
            g_cleanup(g_cleanupContext);
        }
    }
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void EndProcessOnFatalFault(FatalFaultCleanup cleanup, void* context) {
    g_cleanup = cleanup;
    g_cleanupContext = context;
    // First in the chain: it must see the fault before any handler that would swallow it.
    AddVectoredExceptionHandler(1, &OnException);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

} // namespace hkv
