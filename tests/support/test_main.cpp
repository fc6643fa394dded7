// Entry point of every test executable. Under Wine a crash must end the process at once with a
// failure, never wait in a debugger.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include "common/fatal_fault.h"

namespace {
LONG WINAPI ReportCrashAndExit(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "\nFATAL: unhandled exception 0x%08lX at %p\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}
} // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportCrashAndExit);
    // Also the faults the window system would swallow inside a window procedure.
    hkv::EndProcessOnFatalFault(nullptr);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
