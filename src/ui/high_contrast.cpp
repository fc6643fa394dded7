// Alone in its file: the test build of the program links a definition of its own in its place,
// which the tests can switch on, since the test system cannot turn the mode on.
#include "ui/theme.h"

namespace hkv::ui {

bool HighContrastOn() {
    return SystemHighContrastOn();
}

} // namespace hkv::ui
