// Linked into the test build of the program in place of the definition in ui/high_contrast.cpp.
#include <windows.h>

#include <string>

#include "support/high_contrast_switch.h"
#include "ui/theme.h"

namespace hkv::ui {

bool HighContrastOn() {
    wchar_t path[MAX_PATH] = {};
    std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    file = file.substr(0, file.find_last_of(L'\\') + 1) + test::kHighContrastFile;
    return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES || SystemHighContrastOn();
}

} // namespace hkv::ui
