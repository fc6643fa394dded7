#include "keys/player.h"

#include <algorithm>
#include <vector>

#include "common/scope_guard.h"
#include "keys/key_code_list.h"

namespace hkv {
namespace {

// How long the keys stay down: a single key briefly, a combination of two or three keys longer.
constexpr int kSingleKeyPauseMs = 100;
constexpr int kCombinationPauseMs = 200;

// A playback in progress and the keys of its list it still holds down: codes[0] .. codes[held-1].
struct Playback {
    Playback(KeyOutput& out, const KeyCodeList& list) : output(out), keys(list) {}

    KeyOutput& output; // the one it started with: its releases go where its presses went
    KeyCodeList keys;
    int held = 0;

    void ReleaseAll() {
        while (held > 0) {
            // Counted off before the event, so a release-all reached from inside the output
            // cannot release this key a second time.
            --held;
            output.Key(keys.codes[static_cast<std::size_t>(held)], true);
        }
    }
};

// Outermost first. A press during a pause nests a playback, so they end in reverse order.
std::vector<Playback*>& PlaybacksInProgress() {
    static std::vector<Playback*> playbacks;
    return playbacks;
}

} // namespace

void PlayKeyCodeList(std::wstring_view textall, KeyOutput& output) {
    // A list the player could not finish (a missing or unreadable code) plays nothing at all
    // rather than a part of the shortcut.
    const auto keys = ParseKeyCodeList(textall);
    if (!keys) {
        return;
    }
    Playback playback{output, *keys};
    auto& playbacks = PlaybacksInProgress();
    playbacks.push_back(&playback);
    // However the playback ends (an output that throws), no key it pressed stays down.
    ScopeGuard finish([&] {
        playback.ReleaseAll();
        playbacks.erase(std::find(playbacks.begin(), playbacks.end(), &playback));
    });

    for (int i = 0; i < keys->count; ++i) {
        // Counted as held before the event: a release-all during it must release this key too.
        playback.held = i + 1;
        playback.output.Key(keys->codes[static_cast<std::size_t>(i)], false);
    }
    playback.output.Pause(keys->count == 1 ? kSingleKeyPauseMs : kCombinationPauseMs);
    playback.ReleaseAll();
}

int ActivePlaybacks() {
    return static_cast<int>(PlaybacksInProgress().size());
}

bool IsHeldByPlayback(std::uint8_t virtualKey) {
    for (const Playback* playback : PlaybacksInProgress()) {
        for (int k = 0; k < playback->held; ++k) {
            if (playback->keys.codes[static_cast<std::size_t>(k)] == virtualKey) {
                return true;
            }
        }
    }
    return false;
}

void ReleaseHeldKeys() {
    auto& playbacks = PlaybacksInProgress();
    // The innermost playback pressed its keys last. Indexes, not iterators: an output may start
    // another playback while it releases.
    for (std::size_t i = playbacks.size(); i-- > 0;) {
        playbacks[i]->ReleaseAll();
    }
}

} // namespace hkv
