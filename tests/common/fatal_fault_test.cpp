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

TEST(FatalFaultDeathTest, OnlyOwnOrUnhandledFaultsAndUncaughtExceptionsEndTheProcess) {
    // A fault that a system routine raises and handles on purpose.
    EXPECT_TRUE(IsBadReadPtr(kUnmapped, sizeof(int)));

    const struct {
        void (*body)();
        DWORD exitCode;
        const char* stderrPattern;
    } endings[] = {
        {&FaultInOwnCode, EXCEPTION_ACCESS_VIOLATION,
         "FATAL: exception 0xC0000005 at 0x\\w+\\s+cleanup ran"},
        {&UnhandledFaultInASystemLibrary, EXCEPTION_ACCESS_VIOLATION,
         "FATAL: unhandled exception 0xC0000005 at 0x\\w+\\s+cleanup ran"},
        {&ExceptionNothingCatches, hkv::kTerminateExitCode,
         "FATAL: terminate, exit code 0x00000003\\s+cleanup ran"},
        {&Abort, hkv::kTerminateExitCode, "FATAL: abort, exit code 0x00000003\\s+cleanup ran"},
    };
    for (const auto& e : endings) {
        EXPECT_EXIT((hkv::EndProcessOnFatalFault(&Cleanup), e.body()),
                    testing::ExitedWithCode(static_cast<int>(e.exitCode)), e.stderrPattern);
    }
}
