#include "keys/player.h"

namespace hkv {
namespace {

// How long the keys stay down: a single key briefly, a combination of two or three keys longer.
constexpr int kSingleKeyPauseMs = 100;
constexpr int kCombinationPauseMs = 200;

} // namespace

void opendo(HeldKeys& keys, const KeyCodeList& list, HotKeySuspension* suspension) {
    if (list.count < 1 || list.count > kMaxShortcutKeys) {
        return; // no list the parser gives: nothing to press, nothing to wait for
    }
    // However the playback ends (an output that throws), no key it pressed stays down and no key
    // it lifted stays up.
    HeldKeys::Playback playback(keys, list, suspension);
    playback.Begin();
    for (int i = 0; i < list.count; ++i) {
        playback.Press(i);
    }
    keys.Output().Pause(list.count == 1 ? kSingleKeyPauseMs : kCombinationPauseMs);
    playback.ReleaseAll();
}

void opendo(HeldKeys& keys, std::wstring_view textall) {
    // A list the player could not finish (a missing or unreadable code) plays nothing at all
    // rather than a part of the shortcut.
    if (const auto list = ParseKeyCodeList(textall)) {
        opendo(keys, *list);
    }
}

} // namespace hkv
