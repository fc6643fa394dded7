// Precompiled for every library of the Windows test build: nearly every source includes these, and
// parsing the Windows headers again for each source took about a second of its compile time. Only
// the Windows (MinGW-w64) debug build uses it; the host and release builds compile each source
// with its own includes alone, so an include missing from a source still fails there.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#endif

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>
