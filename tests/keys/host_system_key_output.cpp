// Outside Windows there is no system keyboard: the host test program supplies the player's default
// output itself, so that the player links and a test can tell the default from a replacement.
#include "recording_output.h"

namespace hkv {

KeyOutput& SystemKeyOutput() {
    static test::RecordingOutput output;
    return output;
}

} // namespace hkv
