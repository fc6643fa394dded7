// What ends the process, with which code, after the cleanup, and what leaves it running (the
// handler is installed in every test executable by test_main.cpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>

#include "common/fatal_fault.h"
#include "support/win_test_util.h"

namespace {

void* const kUnmapped = reinterpret_cast<void*>(std::uintptr_t{16}); // no page is ever there

void Cleanup(void*) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), "cleanup ran\n", 12, &written, nullptr);
}

// The program's own code: the first chance, before any handler that could swallow it.
void FaultInOwnCode() {
    *static_cast<volatile int*>(kUnmapped) = 0;
}

// On a thread of its own, where no handler of the test framework is around it.
void UnhandledFaultInASystemLibrary() {
    auto fillUnmapped = [](void*) -> DWORD {
        using Fill = void* (*)(void*, int, std::size_t);
        const FARPROC memset = GetProcAddress(LoadLibraryW(L"msvcrt.dll"), "memset");
        reinterpret_cast<Fill>(reinterpret_cast<void*>(memset))(kUnmapped, 0, sizeof(int));
        return 0;
    };
    WaitForSingleObject(CreateThread(nullptr, 0, fillUnmapped, nullptr, 0, nullptr), INFINITE);
}

void ExceptionNothingCatches() noexcept {
    std::rethrow_exception(std::make_exception_ptr(std::bad_alloc()));
}

// A failed check of the runtime; its message box would wait for an answer first (the test would
// hang on it).
void Abort() {
    std::abort();
}

} // namespace

// The cleanup (the release of held keys) runs before the report, which may block on a standard
// error that nobody reads.
TEST(FatalFaultDeathTest, OnlyOwnOrUnhandledFaultsAndUncaughtExceptionsEndTheProcess) {
    // A fault that a system routine raises and handles on purpose.
    EXPECT_TRUE(IsBadReadPtr(kUnmapped, sizeof(int)));

    const struct {
        void (*body)();
        DWORD exitCode;
        const char* stderrPattern;
    } endings[] = {
        {&FaultInOwnCode, EXCEPTION_ACCESS_VIOLATION,
         "cleanup ran\\s+FATAL: exception 0xC0000005 at 0x\\w+"},
        {&UnhandledFaultInASystemLibrary, EXCEPTION_ACCESS_VIOLATION,
         "cleanup ran\\s+FATAL: unhandled exception 0xC0000005 at 0x\\w+"},
        {&ExceptionNothingCatches, hkv::kTerminateExitCode,
         "cleanup ran\\s+FATAL: terminate, exit code 0x00000003"},
        {&Abort, hkv::kTerminateExitCode, "cleanup ran\\s+FATAL: abort, exit code 0x00000003"},
    };
    for (const auto& e : endings) {
        EXPECT_EXIT((hkv::EndProcessOnFatalFault(&Cleanup), e.body()),
                    testing::ExitedWithCode(static_cast<int>(e.exitCode)), e.stderrPattern);
    }
}

TEST(FatalFault, ProgramsStartedDoNotInheritTheSuppressedErrorBoxes) {
    // The probe starts with the system's default mode (this process's is the test framework's)
    // and reports the mode that a program it starts (the browser a link opens) would inherit, and
    // the one its own thread keeps for itself.
    const std::wstring probe = hkv::test::ExecutableFolder() + L"\\error_mode_probe.exe";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(probe.c_str(), nullptr, nullptr, nullptr, FALSE,
                               CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD mode = 1;
    GetExitCodeProcess(pi.hProcess, &mode);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(mode & 0xFFFF, 0u) << "inherited";
    EXPECT_EQ(mode >> 16, static_cast<DWORD>(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX))
        << "the program's own";
}
