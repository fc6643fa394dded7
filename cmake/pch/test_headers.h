// Precompiled for every test executable of the Windows and host test builds: each test source
// includes GoogleTest and most of them the Windows headers, which together took about half of a
// test's compile time. Kept to what nearly every test includes itself, so that it hides as few
// missing includes as possible; the MSVC tests compile each test with its own.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
