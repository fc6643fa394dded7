#include "app/start_arguments.h"

#include <windows.h>

#include <shellapi.h>

#include "common/unique_handle.h"

namespace hkv {
namespace {

void FreeArguments(LPWSTR* arguments) {
    LocalFree(arguments);
}
using UniqueArguments = UniqueHandle<LPWSTR*, &FreeArguments>;

bool IsArmedSwitch(const wchar_t* argument) {
    return (argument[0] == L'/' || argument[0] == L'-') &&
           CompareStringOrdinal(argument + 1, -1, kArmedSwitchName, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

StartMode StartModeOf(const wchar_t* commandLine) {
    int count = 0;
    // Split as the system splits every program's command line (quotes, backslashes).
    const UniqueArguments arguments(CommandLineToArgvW(commandLine, &count));
    // The first is the program's own name.
    for (int i = 1; arguments && i < count; ++i) {
        if (IsArmedSwitch(arguments.get()[i])) {
            return StartMode::Armed;
        }
    }
    return StartMode::Shown;
}

} // namespace hkv
