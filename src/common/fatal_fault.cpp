#include "common/fatal_fault.h"

#include <windows.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string_view>

namespace hkv {
namespace {

FatalFaultCleanup g_cleanup = nullptr;
void* g_cleanupContext = nullptr;
LONG g_installed = 0;
LONG g_ending = 0;

// Where the executable's image lies in memory: its code, its data and the runtime linked into it.
struct ImageRange {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
};
ImageRange g_ownImage;

ImageRange OwnImage() {
    const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto start = reinterpret_cast<std::uintptr_t>(base);
    return {start, start + nt->OptionalHeader.SizeOfImage};
}

bool InOwnImage(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    return at >= g_ownImage.start && at < g_ownImage.end;
}

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
// test run); without " at ..." when there is no address. Without the C runtime's printf: in a fault
// handler, and in a program that prints nothing else, it is better left out.
void ReportOnStandardError(std::string_view what, DWORD code, const void* address) {
    char line[96] = "\nFATAL: ";
    std::size_t n = 8;
    auto text = [&](std::string_view s) {
        for (char c : s) {
            line[n++] = c;
        }
    };
    auto hex = [&](unsigned long long value, int digits) {
        text("0x");
        for (int d = digits - 1; d >= 0; --d) {
            line[n++] = "0123456789ABCDEF"[(value >> (4 * d)) & 0xF];
        }
    };
    text(what);
    hex(code, 8);
    if (address) {
        text(" at ");
        hex(reinterpret_cast<std::uintptr_t>(address), 16);
    }
    line[n++] = '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(n), &written, nullptr);
}

void EndProcess(std::string_view what, DWORD code, const void* address) {
    // A fault inside the cleanup ends the process without running it again. The cleanup comes
    // first: writing the report may block (a standard error that nobody reads), and the keys the
    // cleanup releases would stay down for every other program meanwhile.
    if (InterlockedExchange(&g_ending, 1) == 0) {
        if (g_cleanup) {
            g_cleanup(g_cleanupContext);
        }
        ReportOnStandardError(what, code, address);
    }
    TerminateProcess(GetCurrentProcess(), code);
}

// First chance, before any handler runs: only the program's own faults. Another module's fault
// may be one its code expects and handles; if nothing does, OnUnhandled ends the process.
LONG CALLBACK OnFirstChance(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (IsFatal(record->ExceptionCode) && InOwnImage(record->ExceptionAddress)) {
        EndProcess("exception ", record->ExceptionCode, record->ExceptionAddress);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    EndProcess("unhandled exception ", record->ExceptionCode, record->ExceptionAddress);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate() {
    EndProcess("terminate, exit code ", kTerminateExitCode, nullptr);
}

// abort() raises SIGABRT; left to the runtime, the process would end with the cleanup never run.
void OnAbort(int) {
    EndProcess("abort, exit code ", kTerminateExitCode, nullptr);
}

} // namespace

void EndProcessOnFatalFault(FatalFaultCleanup cleanup, void* context) {
    g_cleanup = cleanup;
    g_cleanupContext = context;
    if (InterlockedExchange(&g_installed, 1) != 0) {
        return;
    }
    g_ownImage = OwnImage();
    // First in the chain: it must see the fault before any handler that would swallow it.
    AddVectoredExceptionHandler(1, &OnFirstChance);
    SetUnhandledExceptionFilter(&OnUnhandled);
    std::set_terminate(&OnTerminate);
    // The runtime's abort() may show its message box before it raises SIGABRT (msvcrt does, in a
    // program without a console); the box's loop would hold any pressed key down until answered.
    // Its message goes to standard error instead, like the report of a fault.
    _set_error_mode(_OUT_TO_STDERR);
    std::signal(SIGABRT, &OnAbort);
    // No system box may wait for an answer while keys are held. The thread's mode, not the
    // process's: programs this one starts (the browser that opens a web page) inherit the
    // process's mode, and theirs must show their own boxes.
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX, nullptr);
}

} // namespace hkv
