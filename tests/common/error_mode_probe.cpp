// Installs the fault handler as the program does, then exits with the process's error mode (the
// mode that every program it starts inherits) in the low word and this thread's own mode in the
// high word. Started by fatal_fault_test.cpp.
#include <windows.h>

#include "common/fatal_fault.h"

int main() {
    hkv::EndProcessOnFatalFault(nullptr);
    return static_cast<int>(GetErrorMode() | (GetThreadErrorMode() << 16));
}
