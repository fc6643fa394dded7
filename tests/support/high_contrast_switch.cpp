// Linked into the test build of the program in place of the definition in ui/high_contrast.cpp.
#include <windows.h>

#include "support/high_contrast_switch.h"
#include "ui/theme.h"

namespace hkv::ui {

bool HighContrastOn() {
    return GetEnvironmentVariableW(test::kHighContrastVariable, nullptr, 0) > 0 ||
           SystemHighContrastOn();
}

} // namespace hkv::ui
