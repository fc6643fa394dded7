// Entry point of every test executable. Under Wine a crash must end the process at once with a
// failure, never wait in a debugger.
#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include "common/fatal_fault.h"
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Faults in the tests' own code (also those the window system would swallow inside a window
    // procedure) and faults nothing handled end the process with their code and a line on stderr.
    hkv::EndProcessOnFatalFault(nullptr);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
